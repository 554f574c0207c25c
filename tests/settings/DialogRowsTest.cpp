// The rows of the level-sensor and injector dialogs: their arithmetic and their design.

#include "settings/DialogRows.h"
#include "settings/DialogDesigns.h"

#include <algorithm>

#include <gtest/gtest.h>

using namespace settings;

TEST(DialogRows, LevelRowsAndValues) {
    EXPECT_EQ(LevelRowTop(120, 285, 285, 3), 120 + 285 + 150) << "4/4 on top";
    EXPECT_EQ(LevelRowTop(120, 285, 285, 0), 120 + 285 + 150 + 3 * 510);
    EXPECT_EQ(LevelElement(0, false), 1);
    EXPECT_EQ(LevelElement(3, false), 4);
    EXPECT_EQ(LevelElement(0, true), 4);
    EXPECT_EQ(LevelElement(3, true), 1);
    EXPECT_EQ(LevelValueText(100, 1023, 704, ","), "68,81") << "the division first";
    EXPECT_EQ(LevelValueText(100, 1023, 0, "."), "0.00");
    EXPECT_EQ(LevelValueText(1, 0, 0, ","), "0,00") << "a zero full count divides by 0.000001";
}

TEST(DialogRows, InjectorOffsetsAndModes) {
    EXPECT_EQ(OffsetSteps(1.2, 0.008), 15);
    EXPECT_EQ(OffsetSteps(-0.4, 0.008), -5);
    EXPECT_EQ(OffsetSteps(0.12, 0.008), 2) << "1,5 steps: halves to even";
    EXPECT_EQ(OffsetSteps(30, 0.008), 375) << "not clamped here";
    EXPECT_EQ(OffsetSteps(1.2, 0), 0);
    for (const auto& [mode, item] : {std::pair{3, 0}, {4, 1}, {0, 2}, {1, 0}, {2, 0}}) {
        EXPECT_EQ(ModeItem(mode), item) << mode;
    }
    for (const auto& [item, mode] : {std::pair{0, 3}, {1, 4}, {2, 0}}) {
        EXPECT_EQ(ItemMode(item), mode) << item;
    }
}

namespace {

const ui::ControlDesc& Desc(const std::vector<ui::ControlDesc>& design, const char* name,
                            int index = -1) {
    const auto found = std::find_if(design.begin(), design.end(), [&](const ui::ControlDesc& d) {
        return QString(d.name) == name && d.index == index;
    });
    EXPECT_NE(found, design.end()) << name << "(" << index << ")";
    return found != design.end() ? *found : design.front();
}

int Bottom(const ui::ControlDesc& desc) {
    return desc.top + desc.height;
}

} // namespace

TEST(DialogRows, LevelDesignStacksTheRowsBelowTheHeading) {
    std::vector<ui::ControlDesc> design = LevelDesign();
    const std::vector<ui::ControlDesc> rows = LevelRowsDesign();
    design.insert(design.end(), rows.begin(), rows.end());
    const ui::ControlDesc& heading = Desc(design, "LblGasLevel");
    for (int row = 0; row < LevelRows; ++row) {
        const ui::ControlDesc& label = Desc(design, "LblLevel", row);
        EXPECT_EQ(label.top, LevelRowTop(heading.top, heading.height, label.height, row));
        EXPECT_EQ(QString(label.caption), QString("%1/4").arg(row + 1));
        for (const char* array : {"TxtLevel", "LblMisura", "HScrLevel"}) {
            EXPECT_EQ(Desc(design, array, row).top, label.top) << array << row;
        }
        EXPECT_EQ(Desc(design, "ShpLevAct", row).top, label.top + 45);
    }
    EXPECT_GT(heading.top, 0);
    EXPECT_GT(Desc(design, "LblLevel", 3).top, Bottom(heading)) << "4/4 on top, below the heading";
    // Default lines up with the bars, below the lowest row; the readings below it.
    const ui::ControlDesc& lowest = Desc(design, "HScrLevel", 0);
    const ui::ControlDesc& byDefault = Desc(design, "CmdDefaultLevel");
    EXPECT_EQ(byDefault.left, lowest.left);
    EXPECT_EQ(byDefault.width, lowest.width);
    EXPECT_GT(byDefault.top, Bottom(lowest));
    EXPECT_GT(Desc(design, "LblSensVal").top, Bottom(byDefault));
    EXPECT_LE(Bottom(Desc(design, "LblSensValNoFiltro")), Desc(design, "FrmLevel").height);
}

TEST(DialogRows, InjectorDesignFitsItsRows) {
    for (const auto& [injectors, rows] : {std::pair{1, 1}, {4, 4}, {8, 8}, {0, 1}, {12, 8}}) {
        const std::vector<ui::ControlDesc> design = InjDesign(injectors);
        EXPECT_EQ(
            std::count_if(design.begin(), design.end(),
                          [](const ui::ControlDesc& d) { return QString(d.name) == "LblInj"; }),
            rows)
            << injectors;
        const ui::ControlDesc& frame = Desc(design, "FrmInj");
        const ui::ControlDesc& last = Desc(design, "CmbSelect", rows - 1);
        EXPECT_EQ(QString(Desc(design, "LblInj", rows - 1).caption), QString("Inj #%1").arg(rows));
        EXPECT_LT(Bottom(last), frame.height) << injectors;
        const ui::ControlDesc& slider = Desc(design, "SldBadBit");
        EXPECT_GT(slider.top, Bottom(frame)) << injectors;
        EXPECT_GT(Desc(design, "CmdBack").height, Bottom(slider)) << injectors;
    }
}
