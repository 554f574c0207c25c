// The label-layout file: blocks applied by control name, the two switches, and what is
// passed over.

#include "AppFixture.h"

#include "app/LablesFile.h"
#include "ui/Controls.h"
#include "ui/TabStrip.h"
#include "ui/TextCell.h"

#include <QLabel>

namespace app_tests {
namespace {

class LablesTest : public AppFixture {
protected:
    LablesTest() {
        PrepareOnly();
        window = std::make_unique<app::FrmLX735>(*context, services);
    }
    void Apply(const QByteArray& text) {
        tree.Write("LNG/Lables.cfg", text);
        app::ApplyLablesMainPage(*window, tree.Path("LNG/Lables.cfg"));
        app::ApplyLablesStatusBar(*window, tree.Path("LNG/Lables.cfg"));
    }
};

TEST_F(LablesTest, BlocksApplyByNameAndIndex) {
    const int rpmHeight = ui::HeightTwips(*Widget("LblParRpm"));
    Apply("[Sessione pagina Principale]\r\n"
          "[Name]\r\nNoSuchControl\r\n[Index]\r\n \r\n[Width]\r\n900\r\n[EndName]\r\n"
          "[Name]\r\nLblParRpm\r\n[Index]\r\n \r\n[Width]\r\n1200\r\n[Height]\r\n \r\n"
          "[Left]\r\n300\r\n[EndName]\r\n"
          "[Name]\r\nLblParGradi\r\n[Index]\r\n1\r\n[Visible]\r\nFalse\r\n[EndName]\r\n"
          "[pagina Map-F7]\r\n0\r\n"
          "[Fine pagina Principale]\r\n"
          "[Sessione pagina Barra Stato Macchina]\r\n"
          "[Name]\r\nTxtStatusBar\r\n[Index]\r\n2\r\n[Top]\r\n45\r\n[EndName]\r\n"
          "[Fine pagina Barra Stato Macchina]\r\n");
    EXPECT_EQ(ui::WidthTwips(*Widget("LblParRpm")), 1200);
    EXPECT_EQ(ui::LeftTwips(*Widget("LblParRpm")), 300);
    EXPECT_EQ(ui::HeightTwips(*Widget("LblParRpm")), rpmHeight) << "a blank value changes nothing";
    EXPECT_TRUE(Widget("LblParGradi(1)")->isHidden());
    EXPECT_FALSE(Widget("LblParGradi(0)")->isHidden());
    EXPECT_EQ(ui::TopTwips(*Widget("TxtStatusBar(2)")), 45);
    EXPECT_TRUE(window->SstMain().isTabVisible(5)) << "the switch inside a section is no switch";
}

// A status cell takes its colours and alignment from the file, draws them, and writes
// them back as a text box does.
TEST_F(LablesTest, StatusCellsTakeColoursAndAlignment) {
    Apply("[Sessione pagina Barra Stato Macchina]\r\n"
          "[Name]\r\nTxtStatusBar\r\n[Index]\r\n1\r\n[Alignment]\r\n2\r\n"
          "[BackColor]\r\n255\r\n[ForeColor]\r\n16777215\r\n[EndName]\r\n"
          "[Fine pagina Barra Stato Macchina]\r\n");
    auto* cell = qobject_cast<ui::TextCell*>(Widget("TxtStatusBar(1)"));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->Back(), QColor(Qt::red));
    EXPECT_EQ(cell->Fore(), QColor(Qt::white));
    EXPECT_EQ(cell->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    cell->resize(120, 20);
    cell->setText("COM OK.  ");
    const QImage drawn = cell->grab().toImage();
    EXPECT_EQ(drawn.pixelColor(4, 10), QColor(Qt::red));

    ASSERT_TRUE(app::ApplyLablesIndexed(*window, tree.Path("LNG/written.cfg")));
    EXPECT_TRUE(tree.Read("LNG/written.cfg")
                    .contains("[Alignment]\r\n2 \r\n[BackColor]\r\n255 \r\n[ForeColor]\r\n"
                              "16777215 \r\n"));
}

TEST_F(LablesTest, SwitchesShowTheMapTabAndHideTheViewerButton) {
    Apply("[pagina Map-F7]\r\n1\r\n[Osci Scope]\r\nFalse\r\n");
    EXPECT_TRUE(window->SstMain().isTabVisible(5));
    EXPECT_FALSE(window->SstMain().isTabVisible(4));
    EXPECT_TRUE(Widget("CmdView")->isHidden());

    Apply("[pagina Map-F7]\r\n2\r\n[Osci Scope]\r\n-1\r\n");
    EXPECT_FALSE(window->SstMain().isTabVisible(5));
    EXPECT_FALSE(Widget("CmdView")->isHidden());
}

TEST_F(LablesTest, WrittenBlocksReadBackOntoTheWindow) {
    QWidget form;
    QLabel label(&form);
    label.setObjectName("LblTest(2)");
    label.setAlignment(Qt::AlignRight);
    ui::MoveTwips(label, 150, 300, 1200, 450);
    QWidget shape(&form);
    shape.setObjectName("ShpTest");
    shape.setVisible(false);
    ASSERT_TRUE(app::ApplyLablesIndexed(form, tree.Path("LNG/written.cfg")));
    const QByteArray written = tree.Read("LNG/written.cfg");
    EXPECT_TRUE(written.contains("[Name]\r\nLblTest\r\n[Index]\r\n2\r\n[Visible]\r\nTrue \r\n"
                                 "[Width]\r\n1200 \r\n[Height]\r\n450 \r\n[Top]\r\n300 \r\n"
                                 "[Left]\r\n150 \r\n[Alignment]\r\n1 \r\n"));
    EXPECT_TRUE(written.contains("[Name]\r\nShpTest\r\n[Index]\r\n \r\n[Visible]\r\nFalse \r\n"))
        << "no index, and no alignment for a control without one";
    EXPECT_TRUE(written.contains("[Alignment]\r\n \r\n[BackColor]"));

    ui::MoveTwips(label, 0, 0, 600, 300);
    ui::TabStrip sstMain(&form); // the main page's section hides a tab of the window's strip
    sstMain.setObjectName("SstMain");
    tree.Write("LNG/Lables.cfg",
               "[Sessione pagina Principale]\r\n" + written + "[Fine pagina Principale]\r\n");
    app::ApplyLablesMainPage(form, tree.Path("LNG/Lables.cfg"));
    EXPECT_EQ(ui::WidthTwips(label), 1200);
    EXPECT_EQ(ui::LeftTwips(label), 150);
}

TEST_F(LablesTest, EmptyOrMissingFileOnlyHidesTheLambdaTab) {
    const int width = ui::WidthTwips(*Widget("LblParRpm"));
    Apply("");
    EXPECT_FALSE(window->SstMain().isTabVisible(4));
    EXPECT_TRUE(window->SstMain().isTabVisible(5));
    EXPECT_EQ(ui::WidthTwips(*Widget("LblParRpm")), width);

    window->SstMain().setTabVisible(4, true);
    app::ApplyLablesMainPage(*window, tree.Path("LNG/None.cfg"));
    EXPECT_FALSE(window->SstMain().isTabVisible(4));
}

TEST_F(LablesTest, ItemsFollowTheSequentialInputRules) {
    Apply("[Sessione pagina Principale]\r\n"
          "[Name],  LblSupVoltage , [Index], \"\", [Width], 1500\r\n"
          "[BackColor]\r\n255\r\n[ForeColor]\r\nnot a number\r\n[EndName]\r\n");
    EXPECT_EQ(ui::WidthTwips(*Widget("LblSupVoltage")), 1500);
    EXPECT_EQ(Widget("LblSupVoltage")->palette().color(QPalette::Window), QColor(255, 0, 0));
}

TEST_F(LablesTest, ValuesBeyondThirtyTwoBitsArePassedOver) {
    const int left = ui::LeftTwips(*Widget("LblSupVoltage"));
    Apply("[Sessione pagina Principale]\r\n"
          "[Name]\r\nLblSupVoltage\r\n[Index]\r\n \r\n[Left]\r\n1e300\r\n"
          "[Width]\r\n4294967296\r\n[Top]\r\n-1e20\r\n[Height]\r\n600\r\n[EndName]\r\n");
    EXPECT_EQ(ui::LeftTwips(*Widget("LblSupVoltage")), left);
    EXPECT_EQ(ui::HeightTwips(*Widget("LblSupVoltage")), 600) << "reading goes on";
}

TEST_F(LablesTest, ShippedSampleApplies) {
    tree.Write("LNG/Lables.cfg", ShippedFile("LNG/Lables.cfg"));
    app::ApplyLablesMainPage(*window, tree.Path("LNG/Lables.cfg"));
    EXPECT_TRUE(window->SstMain().isTabVisible(5));
    EXPECT_TRUE(Widget("CmdView")->isHidden());
}

} // namespace
} // namespace app_tests
