// The one control builder: names, places and parents as designed, an existing control
// adopted, and an unknown name stopping the program with the name in the message (the
// design mistakes it refuses are in ControlBuilderDeathTest.cpp).

#include "ui/ControlBuilder.h"
#include "ui/TextBoxStyle.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

using ui::ControlDesc;
using ui::ControlKind;

const ui::ControlDesc Design[] = {
    {ui::ControlKind::Frame, "FrmBox", -1, "root", "Box", 150, 300, 4500, 3000},
    {ui::ControlKind::Label, "LblRow", 0, "FrmBox", "Row", 120, 240, 900, 285, 3},
    {ui::ControlKind::HScroll, "HScrRow", 0, "FrmBox", "", 1200, 240, 1500, 285, 2, 1650},
    {ui::ControlKind::Check, "ChkOne", -1, "FrmBox", "One"},
    {ui::ControlKind::Check, "ChkTwo", -1, "FrmBox", "Two"},
    {ui::ControlKind::Button, "CmdOk", 4, "root", "OK", 3000, 3600, 1200, 420},
};

TEST(ControlBuilder, BuildsNamesPlacesAndParentsAsDesigned) {
    QWidget root;
    root.setObjectName("FrmTest");
    ui::ControlBuilder builder(root);
    builder.AddParent("root", root);
    const std::vector<QWidget*> built = builder.Build(Design);
    ASSERT_EQ(built.size(), 9u);

    auto& frame = ui::Bind<QGroupBox>(root, "FrmBox");
    EXPECT_EQ(frame.title(), "Box");
    EXPECT_EQ(frame.parentWidget(), &root);
    EXPECT_EQ(frame.geometry(), QRect(10, 20, 300, 200));

    // Stacked array: height + 45 twips apart; side by side: stepX apart.
    const std::vector<QLabel*> rows = ui::BindArray<QLabel>(root, "LblRow", 0, 3);
    EXPECT_EQ(rows[2]->parentWidget(), &frame);
    EXPECT_EQ(ui::TopTwips(*rows[2]), 240 + 2 * 330);
    EXPECT_EQ(ui::LeftTwips(ui::Bind<QScrollBar>(root, "HScrRow", 1)), 1200 + 1650);

    // No place given: the parent's free slots, one row after another.
    EXPECT_EQ(ui::TopTwips(ui::Bind<QCheckBox>(root, "ChkTwo")),
              ui::TopTwips(ui::Bind<QCheckBox>(root, "ChkOne")) + 360);

    EXPECT_EQ(ui::Bind<QPushButton>(root, "CmdOk", 4).text(), "OK");
}

TEST(ControlBuilder, AdoptsAControlTheRootHoldsAlreadyKeepingWhetherItIsShown) {
    QWidget root;
    auto* made = new QLabel("Row", &root);
    made->setObjectName("LblRow(1)");
    auto* hidden = new QLabel("Row", &root);
    hidden->setObjectName("LblRow(2)");
    hidden->hide();
    ui::ControlBuilder builder(root);
    builder.AddParent("root", root);
    builder.Build(Design);
    root.show();

    EXPECT_EQ(&ui::Bind<QLabel>(root, "LblRow", 1), made);
    EXPECT_EQ(made->parentWidget(), &ui::Bind<QGroupBox>(root, "FrmBox"));
    EXPECT_EQ(ui::TopTwips(*made), 240 + 330);
    EXPECT_EQ(root.findChildren<QLabel*>("LblRow(1)").size(), 1);
    EXPECT_TRUE(made->isVisible());
    EXPECT_FALSE(hidden->isVisible());
}

// The main window's text boxes are flat and opaque; a dialog's keep the style's own field.
TEST(ControlBuilder, OnlyTheMainWindowsTextBoxesTakeItsFlatLook) {
    QWidget root;
    const ui::ControlDesc design[] = {{ui::ControlKind::Text, "TxtMain", -1, "root", ""},
                                      {ui::ControlKind::Edit, "TxtDialog", -1, "root", "7"}};
    ui::ControlBuilder builder(root);
    builder.AddParent("root", root);
    builder.Build(design);
    EXPECT_EQ(ui::Bind<QLineEdit>(root, "TxtMain").style(), &ui::SharedTextBoxStyle());
    EXPECT_NE(ui::Bind<QLineEdit>(root, "TxtDialog").style(), &ui::SharedTextBoxStyle());
    EXPECT_EQ(ui::Bind<QLineEdit>(root, "TxtDialog").text(), "7");
}

TEST(ControlBuilder, AParentMayBeAControlTheRootHolds) {
    QWidget root;
    auto* frame = new QGroupBox(&root);
    frame->setObjectName("FrmMade");
    const ui::ControlDesc design[] = {{ui::ControlKind::Button, "CmdIn", -1, "FrmMade", "In"}};
    ui::ControlBuilder(root).Build(design);
    EXPECT_EQ(ui::Bind<QPushButton>(root, "CmdIn").parentWidget(), frame);
}

TEST(ControlBuilderDeathTest, AnUnknownNameStopsTheProgramNamingIt) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QWidget root;
    root.setObjectName("FrmTest");
    ui::ControlBuilder builder(root);
    builder.AddParent("root", root);
    builder.Build(Design);

    EXPECT_DEATH(ui::Bind<QLabel>(root, "LblMissing"), "FrmTest has no control LblMissing");
    // A control of another kind than the one asked for.
    EXPECT_DEATH(ui::Bind<QLabel>(root, "CmdOk", 4), "no control CmdOk\\(4\\)");

    const ui::ControlDesc orphan[] = {{ui::ControlKind::Label, "LblLost", -1, "FrmNowhere", ""}};
    EXPECT_DEATH(builder.Build(orphan), "no parent FrmNowhere");
}

} // namespace
