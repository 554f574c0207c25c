// The Configuration page's layout in twips.

#include "settings/ConfigPageDesign.h"
#include "settings/ConfigPageLayout.h"

#include <gtest/gtest.h>

using namespace settings;
using ui::TwipsGeometry;

namespace {

// Design sizes the layout keeps.
TwipsGeometry Design() {
    ui::TwipsGeometry g;
    g["CmbSwtchRpm"].Width = 1000;
    g["CmbTpyGLS"].Width = 2400;
    g["CmbEmptyGas"].Width = 2400;
    g["CmdReserVar"].Width = 1800;
    return g;
}

} // namespace

TEST(ConfigLayout, ColumnsAndSteps) {
    ui::TwipsGeometry g = Design();
    LayoutConfigPage(g, 10680, 7500, 9000, 6000, 1335);
    for (const char* box : {"ShpFrmSwitch", "ShpFrmTyp", "ShpFrmRPM", "ShpFrmSensor",
                            "ShpFrmOption(0)", "ShpFrmOption(1)"}) {
        EXPECT_EQ(g[box].Width, 4965) << box;
    }
    EXPECT_EQ(g["ShpFrmSensor"].Left, 5130);
    EXPECT_EQ(g["LblFrmSensor"].Left, 5220);
    EXPECT_EQ(g["LblTypGLS"].Left, 5220);
    EXPECT_EQ(g["CmbTpyGLS"].Left, 5130 + 4965 - 2400 - 60);
    // a = 1655
    EXPECT_EQ(g["CmbSwtchTemp"].Width, 1655);
    EXPECT_EQ(g["LblSwtchTemp"].Width, 3130);
    EXPECT_EQ(g["CmbSwtchSeq"].Left, 105 + 3130 + 60);
    EXPECT_EQ(g["CmbSwtchRpm"].Left, 3295 - 1000 - 30);
    EXPECT_EQ(g["LblSwtchRpm"].Width, 2265 - 105 - 60);
    // c = 993
    EXPECT_EQ(g["LblSwtchCilindri"].Width, 2 * 993 - 120);
    EXPECT_EQ(g["CmbSwtchBobine"].Width, 933);
    EXPECT_EQ(g["CmbSwtchBobine"].Left, 105 + 1866 + 60 + 933 + 60 + 933 + 60);
    // d = 709
    EXPECT_EQ(g["OptTypFuel(1)"].Width, 2 * 709 - 60);
    EXPECT_EQ(g["LblTypFuel"].Width, 3 * 709 - 120);
    // e = 50
    EXPECT_EQ(g["LblSwtchPres"].Width, 1900);
    EXPECT_EQ(g["CmbSwtchBar"].Width, 900);
    EXPECT_EQ(g["CmbSwtchDelayPress"].Width, 900);
    EXPECT_EQ(g["LblSwtchPressDelay"].Width, 1000);
    EXPECT_EQ(g["CmbSwtchDelayPress"].Left + 900, g["CmbEmptyGas"].Left + 2400)
        << "right-aligned with the end-of-gas combo";
    EXPECT_EQ(g["CmbSonda2Bis"].Left, g["CmbEmptyGas"].Left);
    EXPECT_EQ(g["LblSonda1Bis"].Width, g["LblTypGLS"].Width);
}

TEST(ConfigLayout, TheLiveFrameNeedsAWindowOf9800Twips) {
    struct Case {
        float H;
        bool shown;
        float tabHeight, pageHeight;
    };
    for (const Case& c :
         {Case{9799, false, 6000, 7500 - 1575}, Case{9800, true, 6000 - 1335 - 30, 7500 - 3000}}) {
        ui::TwipsGeometry g = Design();
        const ConfigRoom room = LayoutConfigPage(g, 10680, 7500, c.H, 6000, 1335);
        EXPECT_EQ(room.liveFrameShown, c.shown) << c.H;
        EXPECT_EQ(room.tabHeight, c.tabHeight) << c.H;
        EXPECT_EQ(g["FrmCongif"].Height, c.pageHeight) << c.H;
        EXPECT_EQ(g["FrmCongif"].Width, 10680 - 540);
    }
}
