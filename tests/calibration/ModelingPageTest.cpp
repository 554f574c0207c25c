#include "ModelingRig.h"
#include "common/Wait.h"

#include "calibration/ChartCanvas.h"
#include "sim/Frame.h"
#include "ui/ControlLook.h"
#include "ui/Controls.h"
#include "ui/InputBox.h"

#include <QLineEdit>
#include <QPushButton>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace calibration_test {

namespace {

using calibration::Red;
using calibration::White;
using calibration::Yellow;

int CountOf(const QList<quint8>& commands, quint8 command) {
    return static_cast<int>(commands.count(command));
}

class ModelingPage : public ModelingRig {
protected:
    // Connected with the Modeling tab shown, the log cleared.
    void StartOnModeling() {
        Start();
        ASSERT_TRUE(Connect());
        ShowTab(3);
        ecu.ClearCommandLog();
    }
    // An offset edit, then Reset: the ECU gets the default set's table, the error clear
    // and the flash save, nothing else of the set.
    void ResetToDefaults(bool firstWriteRefused) {
        StartOnModeling();
        Click("CmdOffsetUp");
        ASSERT_TRUE(Written([&] { return Cell(181) == 104; }));
        ecu.ClearCommandLog();
        if (firstWriteRefused) {
            ecu.AddFault(sim::ParseFault("status cmd=19 count=3").value());
        }
        Click("CmdReset");
        ASSERT_TRUE(
            WaitFor([&] { return context->ParamFilePending.isEmpty() && Cell(181) == 0; }, 20s));
        const QList<quint8> c = Commands();
        EXPECT_GE(CountOf(c, sim::CMD_CANC_ERR), 1);
        EXPECT_EQ(CountOf(c, sim::CMD_SAVE_FLASH), 1);
        for (const quint8 never : {sim::CMD_WRT_MEM3, sim::CMD_WRIT_EMUS,
                                   sim::CMD_WRITE_COMP_GAS_TEMP, sim::CMD_WRITE_CMP_SMAG}) {
            EXPECT_EQ(CountOf(c, never), 0) << int(never);
        }
        for (int k = 0; k <= 180; ++k) {
            ASSERT_EQ(Cell(k), 0) << k;
        }
        EXPECT_EQ(context->ParamNoSend, 0);
        EXPECT_TRUE(WaitFor([&] { return Text("TxtOffsetPos") == "0,0"; }, 10s));
    }
    quint32 Back(const QString& name) { return ui::BackColor(Widget(name)); }
    bool Raised(const QString& name) { return Widget(name).property("Appearance").toInt() == 1; }
    bool Written(std::function<bool()> ecuHolds) {
        return WaitFor([&] { return context->Requests.ModWriteCountdown == 0 && ecuHolds(); }, 3s);
    }
};

// The developer view shows every point of the correction table, also those the page adds
// to the window's designed ones, and hides them again.
TEST_F(ModelingPage, TheDeveloperViewSwitchesEveryTablePoint) {
    StartOnModeling();
    const ui::ScopedInputBoxHandler password(
        [](const QString&, const QString&, const QString&) { return QString("KOLT5829"); });
    constexpr int AllModifiers = 1 | 2 | 4;
    for (const bool on : {true, false}) {
        ASSERT_TRUE(window->Form_KeyUp('X', AllModifiers));
        ASSERT_EQ(context->DeveloperView, on);
        for (const int point : {0, 8, 9, 191}) {
            EXPECT_EQ(Widget(ui::ArrayName("ShpPunti", point)).isVisibleTo(window.get()), on)
                << "ShpPunti(" << point << ")";
        }
    }
}

TEST_F(ModelingPage, PointStepIsWrittenToTheEcuTableAndReadBack) {
    StartOnModeling();
    Click("LblPntMod(3)");
    EXPECT_EQ(Back("LblPntMod(3)"), Yellow);
    EXPECT_EQ(Back("LblPntMod(2)"), Red);
    EXPECT_EQ(Back("TxtYPos(2)"), Yellow);
    EXPECT_TRUE(Raised("TxtXPos(2)"));
    Click("CmdUp");
    EXPECT_EQ(Text("TxtYPos(2)"), "0,1");
    EXPECT_EQ(context->Requests.ModWriteCountdown, 2.0);
    ASSERT_TRUE(Written([&] { return Cell(71) == 13; }));
    EXPECT_EQ(Cell(186), 71);
    const QList<quint8> c = Commands();
    const qsizetype firstWrite = c.indexOf(sim::CMD_WRT_TBL_COR);
    ASSERT_GE(firstWrite, 0);
    EXPECT_EQ(c.mid(firstWrite, 8),
              QList<quint8>(4, sim::CMD_WRT_TBL_COR) + QList<quint8>(4, sim::CMD_READ_TBL_COR));
}

TEST_F(ModelingPage, OffsetStepShiftsTheWholeTable) {
    StartOnModeling();
    Click("CmdOffsetUp");
    EXPECT_EQ(Text("TxtOffsetPos"), "0,1");
    EXPECT_EQ(Back("TxtOffsetPos"), Yellow);
    EXPECT_EQ(Back("LblPntMod(0)"), Yellow); // the line counts as selected
    ASSERT_TRUE(Written([&] { return Cell(181) == 104; }));
    for (int k = 0; k <= 180; ++k) {
        ASSERT_EQ(Cell(k), 13) << k;
    }
}

TEST_F(ModelingPage, ArrowsDoNothingWithoutAPointButTheReleaseArmsTheWrite) {
    StartOnModeling();
    const ecudata::ModRec before = context->Images.ModPoints;
    for (const char* selection : {"", "TxtALfaPos", "LblPntMod(0)", "LblPntMod(7)"}) {
        if (*selection) {
            Click(selection);
        }
        context->Requests.ModWriteCountdown = 0;
        Click("CmdLeft");
        EXPECT_EQ(context->Images.ModPoints, before) << selection;
        EXPECT_EQ(context->Requests.ModWriteCountdown, 2.0) << selection;
    }
}

TEST_F(ModelingPage, HeldButtonRepeatsFasterAndStopsAtTheRelease) {
    StartOnModeling();
    QPushButton& up = static_cast<QPushButton&>(Widget("CmdOffsetUp"));
    emit up.pressed();
    EXPECT_TRUE(monitor->hooks.ModButtonHeld());
    EXPECT_FLOAT_EQ(context->Images.ModPoints.Offset, 0.104f);
    // The repeat runs on its own timer; here its ticks are played on simulated time.
    int steps = 1;
    const double end = time.NowUsec() + 1e6;
    while (time.NowUsec() < end) {
        time.Advance(1000);
        const float before = context->Images.ModPoints.Offset;
        pages.modeling->HoldTick();
        steps += context->Images.ModPoints.Offset != before;
    }
    // 0.2 + 0.167 + 0.139 + 0.116 + 0.096 + 0.080 + 0.067 + 0.056 + 0.047 = 0.967 s.
    EXPECT_EQ(steps, 10);
    EXPECT_EQ(context->Requests.ModWriteCountdown, 0);
    emit up.released();
    EXPECT_FALSE(monitor->hooks.ModButtonHeld());
    EXPECT_EQ(context->Requests.ModWriteCountdown, 2.0);
    time.Advance(1e6);
    pages.modeling->HoldTick();
    EXPECT_FLOAT_EQ(context->Images.ModPoints.Offset, 10 * 0.104f);
}

TEST_F(ModelingPage, EcuTableBecomesTheModelAfterConnecting) {
    ecu.Ram().SetCorrectionCell(181, 520);
    ecu.Ram().SetCorrectionCell(182, 1100);
    Start();
    ASSERT_TRUE(Connect());
    EXPECT_EQ(Text("TxtOffsetPos"), "0,5");
    EXPECT_EQ(Text("TxtALfaPos"), "1,10");
    EXPECT_EQ(context->Images.TblCorEdit, context->Images.TblCorRead);
}

// 0.7 and 1.05 lie just below their decimals as floats: floored from the float they would
// show one step low ("0,6", "1,04").
TEST_F(ModelingPage, BoxesShowTheTablesCountsExactly) {
    ecu.Ram().SetCorrectionCell(181, 700);
    ecu.Ram().SetCorrectionCell(182, 1050);
    Start();
    ASSERT_TRUE(Connect());
    EXPECT_EQ(Text("TxtOffsetPos"), "0,7");
    EXPECT_EQ(Text("TxtALfaPos"), "1,05");
}

TEST_F(ModelingPage, CompleteReadLeavesAModelEditWaitingToBeWritten) {
    StartOnModeling();
    context->Images.ModPoints.Offset = 1.04f;
    context->Requests.ModWriteCountdown = 2.0;
    pages.modeling->UpdateCorTable(true);
    EXPECT_FLOAT_EQ(context->Images.ModPoints.Offset, 1.04f);
    context->Requests.ModWriteCountdown = 0;
    pages.modeling->UpdateCorTable(true);
    EXPECT_FLOAT_EQ(context->Images.ModPoints.Offset, 0.0f);
}

TEST_F(ModelingPage, ComputeModelAppliesTheInjectorTypesRule) {
    QByteArray scale = tree.Read("LNG/ConfigScale.ini");
    scale.replace("P7|+0|+150;R0|1|6", "P1|+0|+100");
    tree.Write("LNG/ConfigScale.ini", scale);
    StartOnModeling();
    for (int i = 0; i < 5; ++i) {
        Click("CmdOffsetUp");
    }
    EXPECT_EQ(Text("TxtOffsetPos"), "0,5");
    ASSERT_TRUE(Written([&] { return Cell(181) == 520; }));
    const float point1 = context->Images.ModPoints.Y[1];
    Click("CmdComputeModl(0)");
    EXPECT_EQ(Text("TxtOffsetPos"), "0,4");
    EXPECT_FLOAT_EQ(context->Images.ModPoints.Y[1], point1);
    ASSERT_TRUE(Written([&] { return Cell(181) == 420; }));
}

TEST_F(ModelingPage, ChartPlacesPointsLineAndLivePoint) {
    StartOnModeling();
    const calibration::ModGeometry& g = pages.modeling->Geometry();
    QWidget& p3 = Widget("LblPntMod(3)");
    EXPECT_EQ(p3.toolTip(), "P3 (9,0 ; 9,0)");
    EXPECT_NEAR(ui::LeftTwips(p3) + 82.5, g.X(9.088), 15);
    EXPECT_NEAR(ui::TopTwips(p3) + 82.5, g.Y(9.088), 15);
    auto* ref = window->findChild<calibration::ChartLine*>("LineRifModel");
    ASSERT_TRUE(ref);
    EXPECT_EQ(ref->X1, g.OrgX);
    EXPECT_EQ(ref->Y1, g.OrgY);
    EXPECT_FLOAT_EQ(ref->X2, g.X(20.096));
    EXPECT_FLOAT_EQ(ref->Y2, g.Y(20.096));
    auto* seg = window->findChild<calibration::ChartLine*>("LineRMod(2)");
    ASSERT_TRUE(seg);
    EXPECT_NEAR(seg->X2, ui::LeftTwips(p3) + 82.5, 15);

    // A live petrol time beyond the chart pins the point on its right edge.
    context->InjTimes.TInjHist3[0] = 25;
    context->InjTimes.TInjHist4[0] = 5;
    pages.modeling->VisualizzaPuntoInjTimeMod();
    QWidget& live = Widget("ShpInjTimeMod(0)");
    EXPECT_NEAR(ui::LeftTwips(live) + ui::WidthTwips(live) / 2.0, g.X(20), 15);
    EXPECT_NEAR(ui::TopTwips(live) + ui::HeightTwips(live) / 2.0, g.Y(5), 15);
    EXPECT_EQ(ui::FillColor(Widget("ShpInjTimeMod(15)")), 0xFFFF00u + 15 * 15);
}

TEST_F(ModelingPage, ResetLineAsksAndPutsThePointsBackOnTheLine) {
    StartOnModeling();
    Click("LblPntMod(4)");
    Click("CmdDown");
    Click("CmdOffsetUp");
    answer = support::vbNo;
    Click("CmdResetLine");
    EXPECT_FLOAT_EQ(context->Images.ModPoints.dY[4], -0.104f);
    answer = support::vbYes;
    Click("CmdResetLine");
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_TRUE(boxes[1].endsWith("|" + context->Texts.MsgMod[3]));
    EXPECT_TRUE(boxes[1].startsWith(context->Texts.AppTitle + " - " + app::ReleaseText + "|"));
    EXPECT_FLOAT_EQ(context->Images.ModPoints.dY[4], 0);
    EXPECT_FLOAT_EQ(context->Images.ModPoints.Offset, 0.104f);
    EXPECT_EQ(Back("LblPntMod(4)"), Red);
    EXPECT_EQ(context->Requests.ModWriteCountdown, 2.0);
}

TEST_F(ModelingPage, ResetSendsOnlyTheDefaultTable) {
    ResetToDefaults(false);
}

TEST_F(ModelingPage, ResetRetriedAfterARefusedTableWriteStillSendsOnlyTheTable) {
    ResetToDefaults(true);
}

TEST_F(ModelingPage, ResetOnGasQueuesTheCngDefaultsAndAPendingFileBlocksIt) {
    Start();
    ASSERT_TRUE(Connect());
    context->Images.Mem3Data.FuelType = 1;
    context->ParamFilePending = "x.var";
    Click("CmdReset");
    EXPECT_EQ(context->ParamFilePending, "x.var");
    EXPECT_EQ(context->ParamNoSend, 0);
    context->ParamFilePending.clear();
    Click("CmdReset");
    EXPECT_EQ(context->ParamFilePending, context->AppFolder + "/LNG/DefaultCng.Xar");
    EXPECT_EQ(context->ParamNoSend, 1);
}

TEST_F(ModelingPage, SaveAndOpenCarryTheModelThroughAFile) {
    StartOnModeling();
    Click("CmdOffsetUp");
    ASSERT_TRUE(Written([&] { return Cell(181) == 104; }));
    chosenFile = tree.Path("m.var");
    Click("CmdModSave");
    EXPECT_TRUE(window->windowTitle().endsWith(" - [" + chosenFile + "]"));
    QByteArray saved = tree.Read("m.var");
    ASSERT_TRUE(saved.contains("[COR]"));
    // The [COR] block ends with Offset, Alfa, the eight point cells and -1.
    const qsizetype alfa = saved.lastIndexOf("\r\n 1\r\n 0\r\n 28\r\n");
    ASSERT_GT(alfa, 0);
    const qsizetype offset = saved.lastIndexOf("\r\n", alfa - 1) + 2;
    EXPECT_TRUE(saved.mid(offset, alfa - offset).startsWith(" 0,104"));
    saved.replace(offset, alfa - offset, " 0,52");
    tree.Write("o.var", saved);

    chosenFile = tree.Path("o.var");
    answer = support::vbNo;
    Click("CmdModOpen");
    EXPECT_TRUE(context->ParamFilePending.isEmpty());
    answer = support::vbYes;
    Click("CmdModOpen");
    EXPECT_EQ(boxes.last(), context->Texts.AppTitle + "|" + context->Texts.MsgMod[2]);
    ASSERT_TRUE(
        WaitFor([&] { return Cell(181) == 520 && context->ParamFilePending.isEmpty(); }, 20s));
    ASSERT_TRUE(WaitFor([&] { return Text("TxtOffsetPos") == "0,5"; }, 10s));
}

TEST_F(ModelingPage, FileSavedConnectedRestoresTheEcusTable) {
    for (int k = 0; k <= 180; ++k) {
        ecu.Ram().SetCorrectionCell(k, k % 7 - 3);
    }
    ecu.Ram().SetCorrectionCell(181, 300);
    Start();
    ASSERT_TRUE(Connect());
    const QByteArray before = ecu.Ram().correction;
    chosenFile = tree.Path("s.var");
    window->MnuFileSaveConf_Click();
    for (int k = 0; k <= 181; k += 5) {
        ecu.Ram().SetCorrectionCell(k, 77);
    }
    window->MnuFileLoadConf_Click();
    ASSERT_TRUE(WaitFor([&] { return context->ParamFilePending.isEmpty(); }, 20s));
    EXPECT_EQ(ecu.Ram().correction, before);
    EXPECT_EQ(ecu.Saved().correction, before);
}

} // namespace

} // namespace calibration_test
