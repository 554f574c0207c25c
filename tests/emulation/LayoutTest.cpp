#include "emulation/EmulaDesign.h"
#include "emulation/EmulaLayout.h"

#include <gtest/gtest.h>

using namespace emulation;

namespace {

TEST(EmulaLayout, FontSetsSwitchAboveTheirHeightAndWidth) {
    struct Case {
        float outerWidth, outerHeight;
        float font, help, gridFont;
    };
    for (const Case c : {Case{13500, 11520, 12, 330, 10}, Case{13515, 11535, 16, 450, 14}}) {
        ui::TwipsGeometry page;
        LayoutEmulaPage(page, 12000, 9000, c.outerWidth, c.outerHeight);
        EXPECT_EQ(page["LblHelpTabDelay"].FontSize, c.font);
        EXPECT_EQ(page["LblHelpTabDelay"].Height, c.help);
        for (const char* name : {"LblTabSoglie", "CmbAbilEmula", "TxtEmulLevAltoAnte", "LblAnte"}) {
            EXPECT_EQ(page[name].FontSize, c.font) << name;
        }
        for (const char* name : {"GrdTitolo", "GrdRpm", "GrdBar", "GrdEmul"}) {
            EXPECT_EQ(page[name].FontSize, c.gridFont) << name;
        }
        // The grids start this far below the thresholds label.
        EXPECT_NEAR(page["GrdRpm"].Top - page["LblTabSoglie"].Top, c.help == 330 ? 330 : 420, 0.01);
    }
}

TEST(EmulaLayout, GridsShareTheLabelAndRowsFollowItsHeight) {
    ui::TwipsGeometry page;
    LayoutEmulaPage(page, 12000, 9000, 12000, 9600);
    const ui::TwipsBox frame = page["FrmEmul"];
    const ui::TwipsBox label = page["LblTabSoglie"];
    EXPECT_FLOAT_EQ(label.Top, frame.Height * 510 / 1000);
    EXPECT_FLOAT_EQ(label.Height, frame.Height * 460 / 1000 - 330);
    const float h = page["GrdRpm"].Height;
    EXPECT_EQ(h, std::nearbyint((label.Height - 180) / 100 * 18));
    EXPECT_EQ(page["GrdEmul"].Height, 4 * h);
    EXPECT_EQ(page["GrdBar"].Top, page["GrdRpm"].Top + h);
    const float area = label.Width - 120;
    EXPECT_FLOAT_EQ(page["GrdBar"].Width, area * 12 / 100);
    EXPECT_FLOAT_EQ(page["GrdEmul"].Width, area * 88 / 100);
    EXPECT_FLOAT_EQ(page["GrdEmul"].Left, label.Left + 60 + area * 12 / 100);
    for (const char* name : {"TxtLambdaOut1", "TxtLambdaOut2", "TxtAbsPres"}) {
        EXPECT_EQ(page[name].Height, 405) << name;
    }
}

// A control the page makes and the layout does not place would stay where the design put
// it, over the table, whatever the window's size. The marker follows the working point.
TEST(EmulaLayout, PlacesEveryControlThePageMakes) {
    ui::TwipsGeometry page;
    LayoutEmulaPage(page, 12000, 9000, 12000, 9600);
    for (const ui::ControlDesc& desc : EmulaPageDesign()) {
        const QString name = ui::DescName(desc, 0);
        if (name != "PctGrdLambda") {
            EXPECT_GT(page[name].Width, 0) << desc.name;
            EXPECT_TRUE(EmulaPageControls().contains(name)) << desc.name;
        }
    }
}

} // namespace
