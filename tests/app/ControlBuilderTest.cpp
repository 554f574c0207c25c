// The one control builder: names, places and parents as designed, an existing control
// adopted, and an unknown name stopping the program with the name in the message (the
// design mistakes it refuses are in ControlBuilderDeathTest.cpp).

#include "app/ControlBuilder.h"
#include "app/TextBoxStyle.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

using app::ControlDesc;
using app::ControlKind;

const ControlDesc Design[] = {
    {ControlKind::Frame, "FrmBox", -1, "root", "Box", 150, 300, 4500, 3000},
    {ControlKind::Label, "LblRow", 0, "FrmBox", "Row", 120, 240, 900, 285, 3},
    {ControlKind::HScroll, "HScrRow", 0, "FrmBox", "", 1200, 240, 1500, 285, 2, 1650},
    {ControlKind::Check, "ChkOne", -1, "FrmBox", "One"},
    {ControlKind::Check, "ChkTwo", -1, "FrmBox", "Two"},
    {ControlKind::Button, "CmdOk", 4, "root", "OK", 3000, 3600, 1200, 420},
};

TEST(ControlBuilder, BuildsNamesPlacesAndParentsAsDesigned) {
    QWidget root;
    root.setObjectName("FrmTest");
    app::ControlBuilder builder(root);
    builder.AddParent("root", root);
    const std::vector<QWidget*> built = builder.Build(Design);
    ASSERT_EQ(built.size(), 9u);

    auto& frame = app::Bind<QGroupBox>(root, "FrmBox");
    EXPECT_EQ(frame.title(), "Box");
    EXPECT_EQ(frame.parentWidget(), &root);
    EXPECT_EQ(frame.geometry(), QRect(10, 20, 300, 200));

    // Stacked array: height + 45 twips apart; side by side: stepX apart.
    const std::vector<QLabel*> rows = app::BindArray<QLabel>(root, "LblRow", 0, 3);
    EXPECT_EQ(rows[2]->parentWidget(), &frame);
    EXPECT_EQ(app::TopTwips(*rows[2]), 240 + 2 * 330);
    EXPECT_EQ(app::LeftTwips(app::Bind<QScrollBar>(root, "HScrRow", 1)), 1200 + 1650);

    // No place given: the parent's free slots, one row after another.
    EXPECT_EQ(app::TopTwips(app::Bind<QCheckBox>(root, "ChkTwo")),
              app::TopTwips(app::Bind<QCheckBox>(root, "ChkOne")) + 360);

    EXPECT_EQ(app::Bind<QPushButton>(root, "CmdOk", 4).text(), "OK");
}

TEST(ControlBuilder, AdoptsAControlTheRootHoldsAlreadyKeepingWhetherItIsShown) {
    QWidget root;
    auto* made = new QLabel("Row", &root);
    made->setObjectName("LblRow(1)");
    auto* hidden = new QLabel("Row", &root);
    hidden->setObjectName("LblRow(2)");
    hidden->hide();
    app::ControlBuilder builder(root);
    builder.AddParent("root", root);
    builder.Build(Design);
    root.show();

    EXPECT_EQ(&app::Bind<QLabel>(root, "LblRow", 1), made);
    EXPECT_EQ(made->parentWidget(), &app::Bind<QGroupBox>(root, "FrmBox"));
    EXPECT_EQ(app::TopTwips(*made), 240 + 330);
    EXPECT_EQ(root.findChildren<QLabel*>("LblRow(1)").size(), 1);
    EXPECT_TRUE(made->isVisible());
    EXPECT_FALSE(hidden->isVisible());
}

// The main window's text boxes are flat and opaque; a dialog's keep the style's own field.
TEST(ControlBuilder, OnlyTheMainWindowsTextBoxesTakeItsFlatLook) {
    QWidget root;
    const ControlDesc design[] = {{ControlKind::Text, "TxtMain", -1, "root", ""},
                                  {ControlKind::Edit, "TxtDialog", -1, "root", "7"}};
    app::ControlBuilder builder(root);
    builder.AddParent("root", root);
    builder.Build(design);
    EXPECT_EQ(app::Bind<QLineEdit>(root, "TxtMain").style(), &app::SharedTextBoxStyle());
    EXPECT_NE(app::Bind<QLineEdit>(root, "TxtDialog").style(), &app::SharedTextBoxStyle());
    EXPECT_EQ(app::Bind<QLineEdit>(root, "TxtDialog").text(), "7");
}

TEST(ControlBuilder, AParentMayBeAControlTheRootHolds) {
    QWidget root;
    auto* frame = new QGroupBox(&root);
    frame->setObjectName("FrmMade");
    const ControlDesc design[] = {{ControlKind::Button, "CmdIn", -1, "FrmMade", "In"}};
    app::ControlBuilder(root).Build(design);
    EXPECT_EQ(app::Bind<QPushButton>(root, "CmdIn").parentWidget(), frame);
}

TEST(ControlBuilderDeathTest, AnUnknownNameStopsTheProgramNamingIt) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QWidget root;
    root.setObjectName("FrmTest");
    app::ControlBuilder builder(root);
    builder.AddParent("root", root);
    builder.Build(Design);

    EXPECT_DEATH(app::Bind<QLabel>(root, "LblMissing"), "FrmTest has no control LblMissing");
    // A control of another kind than the one asked for.
    EXPECT_DEATH(app::Bind<QLabel>(root, "CmdOk", 4), "no control CmdOk\\(4\\)");

    const ControlDesc orphan[] = {{ControlKind::Label, "LblLost", -1, "FrmNowhere", ""}};
    EXPECT_DEATH(builder.Build(orphan), "no parent FrmNowhere");
}

} // namespace
