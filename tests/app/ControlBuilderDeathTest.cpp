// The design mistakes the control builder refuses: each stops the program with a message
// naming the control and the table that made the mistake.

#include "ui/ControlBuilder.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {

using ui::ControlDesc;
using ui::ControlKind;

// The window's own table, built first: a label and a three-element array.
const ui::ControlDesc WindowDesign[] = {
    {ui::ControlKind::Label, "LblTitle", -1, "root", "Title", 120, 120, 2400, 285},
    {ui::ControlKind::Label, "LblRow", 0, "root", "", 120, 600, 2400, 285, 3},
};

// Builds the window's table, then design as the page's table on the same root.
void BuildPage(std::span<const ui::ControlDesc> design) {
    QWidget root;
    root.setObjectName("FrmTest");
    ui::ControlBuilder window(root, "WindowTable");
    window.AddParent("root", root);
    window.Build(WindowDesign);
    ui::ControlBuilder page(root, "PageTable");
    page.AddParent("root", root);
    page.Build(design);
}

TEST(ControlBuilderDeathTest, ADesignMistakeStopsTheProgramNamingTheControlAndTheTable) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const ui::ControlDesc twice[] = {{ui::ControlKind::Button, "CmdGo", -1, "root", "Go"},
                                     {ui::ControlKind::Button, "CmdGo", -1, "root", "Go"}};
    // An element given alone that an array of the same table already holds.
    const ui::ControlDesc twiceInArray[] = {
        {ui::ControlKind::Check, "ChkSel", 0, "root", "", 0, 0, 900, 285, 4},
        {ui::ControlKind::Check, "ChkSel", 2, "root", ""}};
    // A control the window's table describes, described again by the page: even alike.
    const ui::ControlDesc again[] = {{ui::ControlKind::Label, "LblTitle", -1, "root", "Title"}};
    const ui::ControlDesc elementOfOtherKind[] = {{ui::ControlKind::Cell, "LblRow", 2, "root", ""}};
    const struct {
        std::span<const ui::ControlDesc> design;
        const char* message;
    } cases[] = {
        {twice, "PageTable: the control CmdGo is described twice"},
        {twiceInArray, "PageTable: the control ChkSel\\(2\\) is described twice"},
        {again, "PageTable: the control LblTitle is described twice \\(also in WindowTable\\)"},
        {elementOfOtherKind,
         "PageTable: the control LblRow\\(2\\) is described twice \\(also in WindowTable"},
    };
    for (const auto& c : cases) {
        EXPECT_DEATH(BuildPage(c.design), c.message) << c.message;
    }
}

// A control the program's code made may be placed by a table, as what it is.
TEST(ControlBuilderDeathTest, AControlMadeByCodeIsAdoptedOnlyAsWhatItIs) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto adopt = [](ui::ControlKind kind, const char* caption) {
        QWidget root;
        auto* label = new QLabel("Made", &root);
        label->setObjectName("LblMade");
        ui::ControlBuilder builder(root, "PageTable");
        builder.AddParent("root", root);
        const ui::ControlDesc design[] = {{kind, "LblMade", -1, "root", caption}};
        builder.Build(design);
    };
    // A label is a frame as well, but no shape.
    for (ControlKind other : {ui::ControlKind::Check, ui::ControlKind::Shape}) {
        EXPECT_DEATH(adopt(other, "Made"),
                     "PageTable: the control LblMade is adopted as another kind than the "
                     "program's code made it");
    }
    EXPECT_DEATH(adopt(ui::ControlKind::Label, "Other"),
                 "PageTable: the control LblMade is adopted with the caption \"Other\", the "
                 "program's code gave it \"Made\"");
}

} // namespace
