#include "EmulaRig.h"
#include "common/Wait.h"

#include "emulation/FrmCompensaTbl.h"
#include "sim/Memory.h"
#include "ui/Controls.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <cmath>

using testing_support::RunFor;
using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace emulation_test {

namespace {

using emulation::FrmCompensaTbl;

constexpr quint8 CmdWriteCompGasTemp = 0x3A;
constexpr quint8 CmdWriteCompRidTemp = 0x39;
constexpr quint8 CmdWriteCompPresGas = 0x3B;
constexpr quint8 CmdWriteCmpSmag = 0x5E;

void Key(QWidget& widget, QEvent::Type type, int key, Qt::KeyboardModifiers mods = {},
         bool autoRepeat = false) {
    QKeyEvent event(type, key, mods, QString(), autoRepeat);
    QCoreApplication::sendEvent(&widget, &event);
}

class CompWindow : public EmulaRig {
protected:
    FrmCompensaTbl& Open() {
        Get<QPushButton>("CmdTableComp").click();
        auto* frm = window->findChild<FrmCompensaTbl*>("FrmCompensaTbl");
        if (!frm) {
            ADD_FAILURE() << "no window";
        }
        return *frm;
    }
    template <typename T> T& In(FrmCompensaTbl& frm, const char* name) {
        return Found(frm.findChild<T*>(name), name);
    }
    QString Text(FrmCompensaTbl& frm, const char* grid, int row, int col) {
        const QTableWidgetItem* item = In<QTableWidget>(frm, grid).item(row, col);
        return item ? item->text() : QString();
    }
    int SimWord(const QByteArray& table, int element) const {
        return sim::GetS16(table, 2 * element);
    }
};

TEST_F(CompWindow, OpensOnTheTablesAndOnceOnly) {
    Connect();
    FrmCompensaTbl& frm = Open();
    EXPECT_EQ(Text(frm, "GrdTemp", 0, 1), "-20");
    EXPECT_EQ(Text(frm, "GrdTemp", 0, 15), "120");
    EXPECT_EQ(Text(frm, "GrdTemp", 1, 0), "%");
    EXPECT_EQ(Text(frm, "GrdSmag", 0, 1), "1");
    EXPECT_TRUE(In<QCheckBox>(frm, "ChkGrdTemp").isChecked());
    EXPECT_FALSE(In<QCheckBox>(frm, "ChkGrdPres").isChecked());
    EXPECT_EQ(In<QComboBox>(frm, "CmbSmagAcc").currentText(), "8");
    EXPECT_EQ(frm.windowTitle(), context->Texts.AppTitle + " - " + app::ReleaseText);
    Open();
    EXPECT_EQ(window->findChildren<FrmCompensaTbl*>().size(), 1u);
    EXPECT_EQ(context->Requests.CompWriteCountdown, 0);
}

TEST_F(CompWindow, AHeldKeyWritesTheTableOnceAfterTheRelease) {
    Connect();
    FrmCompensaTbl& frm = Open();
    auto& grid = In<QTableWidget>(frm, "GrdTemp");
    grid.setCurrentCell(1, 3);
    EXPECT_TRUE(frm.windowTitle().endsWith("  [1,3]"));
    const QString start = Text(frm, "GrdTemp", 1, 3);
    ecu.ClearCommandLog();
    Key(grid, QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier);
    Key(grid, QEvent::KeyRelease, Qt::Key_Plus, Qt::KeypadModifier, true);
    Key(grid, QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier, true);
    QTRY_VERIFY_WITH_TIMEOUT(Text(frm, "GrdTemp", 1, 3).toInt() >= start.toInt() + 3, 10000);
    RunFor(1s);
    EXPECT_EQ(Writes(CmdWriteCompGasTemp), 0);
    Key(grid, QEvent::KeyRelease, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(context->Requests.CompWriteCountdown, 6);
    EXPECT_EQ(context->Requests.CompWriteTable, 1);
    ASSERT_TRUE(WaitFor([&] { return Writes(CmdWriteCompGasTemp) > 0; }, 60s));
    RunFor(2s);
    EXPECT_EQ(Writes(CmdWriteCompGasTemp), 1);
    for (int c = 1; c <= 15; ++c) {
        EXPECT_EQ(qint8(ecu.Ram().compGasTemp[2 * (c - 1) + 1]), Text(frm, "GrdTemp", 1, c).toInt())
            << c;
    }
    // A digit steps nothing.
    Key(grid, QEvent::KeyPress, Qt::Key_5);
    EXPECT_FALSE(frm.Hold().Active());
}

TEST_F(CompWindow, EnableBoxesAndTheStepNumberWriteTheirTableOnly) {
    Connect();
    FrmCompensaTbl& frm = Open();
    ecu.ClearCommandLog();
    In<QCheckBox>(frm, "ChkGrdTemp").click();
    EXPECT_EQ(ecudata::ShownCompTable(context->Images, 1)[30], 0);
    ASSERT_TRUE(WaitFor([&] { return ecu.Ram().compGasTemp[30] == 0; }, 60s));
    EXPECT_EQ(ecu.Ram().compGasTemp[31], 0);
    ASSERT_TRUE(WaitFor([&] { return Get<QWidget>("LblCompAttiva").isHidden(); }, 60s));
    ecu.ClearCommandLog();
    In<QCheckBox>(frm, "ChkGrdPres").click();
    ASSERT_TRUE(WaitFor([&] { return SimWord(ecu.Ram().compPress, 30) == 1; }, 60s));
    EXPECT_EQ(SimWord(ecu.Ram().compPress, 31), 1);
    EXPECT_EQ(Writes(CmdWriteCompPresGas), 1);
    EXPECT_EQ(Writes(CmdWriteCompGasTemp) + Writes(CmdWriteCompRidTemp) + Writes(CmdWriteCmpSmag),
              0);
    ASSERT_TRUE(WaitFor([&] { return !Get<QWidget>("LblCompAttiva").isHidden(); }, 60s));
    In<QComboBox>(frm, "CmbSmagAcc").setCurrentText("12");
    ASSERT_TRUE(WaitFor([&] { return SimWord(ecu.Ram().compSmag, 31) == 12; }, 60s));
    EXPECT_EQ(SimWord(ecu.Ram().compSmag, 30), 0);
}

TEST_F(CompWindow, TheUnlockedLeaningAxisStepsInMillisecondsAndAClosedWindowStillWrites) {
    Connect();
    FrmCompensaTbl& frm = Open();
    auto& button = In<QPushButton>(frm, "CmdModScala");
    auto& grid = In<QTableWidget>(frm, "GrdSmag");
    grid.setCurrentCell(0, 1);
    EXPECT_EQ(grid.currentRow(), -1); // locked: the axis takes no current cell
    button.click();
    EXPECT_EQ(button.text(), "Blocca Scala");
    grid.setCurrentCell(0, 1);
    Key(grid, QEvent::KeyPress, Qt::Key_F9);
    Key(grid, QEvent::KeyRelease, Qt::Key_F9);
    EXPECT_EQ(Text(frm, "GrdSmag", 0, 1), "1.008");
    frm.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(WaitFor([&] { return SimWord(ecu.Ram().compSmag, 0) == 126; }, 60s));
    // Loaded anew, locked again.
    FrmCompensaTbl& again = Open();
    EXPECT_TRUE(FrmCompensaTbl::AxisLocked(In<QTableWidget>(again, "GrdSmag")));
    In<QPushButton>(again, "CmdModScala").click();
    In<QPushButton>(again, "CmdModScala").click();
    EXPECT_EQ(In<QPushButton>(again, "CmdModScala").text(), "Modifica Scala");
    // Shift alone with the right button on a frame unlocks its grid; Ctrl+Shift does not.
    again.ToggleCompGridFlag(2, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_TRUE(FrmCompensaTbl::AxisLocked(In<QTableWidget>(again, "GrdPres")));
    again.ToggleCompGridFlag(2, Qt::RightButton, Qt::ShiftModifier);
    EXPECT_FALSE(FrmCompensaTbl::AxisLocked(In<QTableWidget>(again, "GrdPres")));
}

TEST_F(CompWindow, TheFillsMakeTheLeaningRowsLinear) {
    Connect();
    FrmCompensaTbl& frm = Open();
    auto& grid = In<QTableWidget>(frm, "GrdSmag");
    grid.item(0, 15)->setText("8");
    grid.item(1, 1)->setText("0");
    grid.item(1, 15)->setText("-7");
    In<QPushButton>(frm, "CmdAutoMinMaxSmagTInj").click();
    In<QPushButton>(frm, "CmdAutoMinMaxSmagPerc").click();
    EXPECT_EQ(Text(frm, "GrdSmag", 0, 2), "1.496");
    EXPECT_EQ(Text(frm, "GrdSmag", 0, 14), "7.448");
    EXPECT_EQ(Text(frm, "GrdSmag", 1, 3), "-1");
    EXPECT_EQ(ecudata::ShownCompTable(context->Images, 4)[2], 187); // 1.496 ms
    EXPECT_EQ(ecudata::ShownCompTable(context->Images, 4)[28], 1000);
    EXPECT_EQ(context->Requests.CompWriteTable, 4);
    EXPECT_EQ(context->Requests.CompWriteCountdown, 6);
}

TEST_F(CompWindow, MarkersFollowTheLiveValues) {
    Connect();
    FrmCompensaTbl& frm = Open();
    ecu.Engine().gasTempC = 25;
    ecu.Engine().leanStep = 3;
    ASSERT_TRUE(WaitFor(
        [&] {
            return std::abs(context->Images.Mem1Data.Temp1 - 25) < 0.5 &&
                   context->Images.Mem1Data.StatusKeyHigh == 3;
        },
        60s));
    frm.Timer1_Timer();
    const auto left = [&](const char* name) { return ui::LeftTwips(In<QWidget>(frm, name)); };
    EXPECT_EQ(left("PctGrdTemp"), left("GrdTemp") + 3780);
    EXPECT_EQ(left("PctGrdSmag"), left("GrdSmag") + 2610);
}

TEST_F(CompWindow, CaptionsComeFromTheDictionaryOrStayEmpty) {
    Connect();
    FrmCompensaTbl& frm = Open();
    EXPECT_EQ(In<QGroupBox>(frm, "FrmGrdTemp").title(), "Gas temperature");
    EXPECT_EQ(In<QCheckBox>(frm, "ChkSmagAcc").text(), "Enable");
    EXPECT_EQ(In<QGroupBox>(frm, "FrmSmagAcc").title(), "Leaning on acceleration");
    frm.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    support::ClsLingue& lingue = context->ObjLingue;
    for (qint16 i = 0; i <= lingue.UboundVoci(); ++i) {
        if (lingue.VoceDizionario(0, i) == "[FrmCompensaTbl]" ||
            lingue.VoceDizionario(0, i) == "[New_Functions]") {
            lingue.VoceDizionario(0, i, "[gone]");
        }
    }
    FrmCompensaTbl& bare = Open();
    EXPECT_EQ(In<QGroupBox>(bare, "FrmGrdTemp").title(), "");
    EXPECT_EQ(In<QPushButton>(bare, "CmdModScala").text(), "");
    EXPECT_EQ(In<QLabel>(bare, "LblHelp").text(), "");
}

// Changes to two tables before the first is written: the write carries all four tables,
// and both changes reach the ECU; the next lone change names its table again.
TEST_F(CompWindow, TwoTablesChangedBeforeTheWriteAreBothWritten) {
    Connect();
    FrmCompensaTbl& frm = Open();
    In<QCheckBox>(frm, "ChkGrdTemp").click();
    In<QCheckBox>(frm, "ChkGrdPres").click();
    EXPECT_EQ(context->Requests.CompWriteTable, 0);
    ASSERT_TRUE(WaitFor([&] { return context->Requests.CompWriteCountdown == 0; }, 60s));
    EXPECT_EQ(ecu.Ram().compGasTemp[30], 0);
    EXPECT_EQ(SimWord(ecu.Ram().compPress, 30), 1);
    In<QCheckBox>(frm, "ChkGrdTempRid").click();
    EXPECT_EQ(context->Requests.CompWriteTable, 2);
}

// A refused write stays pending with every table it carried, a change to another table
// made while it is refused joins it, and all of them go out once the ECU takes them.
TEST_F(CompWindow, ARefusedWriteKeepsItsTablesAndALaterChangeJoinsThem) {
    Connect();
    FrmCompensaTbl& frm = Open();
    Refuse(CmdWriteCompPresGas);
    In<QCheckBox>(frm, "ChkGrdPres").click();
    // Refused with its resends, then again once the link is back.
    ASSERT_TRUE(WaitFor([&] { return Writes(CmdWriteCompPresGas) > 0; }, 60s));
    const int firstTry = Writes(CmdWriteCompPresGas);
    ASSERT_TRUE(WaitFor([&] { return Writes(CmdWriteCompPresGas) > firstTry; }, 60s));
    In<QCheckBox>(frm, "ChkGrdTemp").click();
    EXPECT_EQ(context->Requests.CompWriteTable, 0);
    // The tables before the pressure one go out; the pressure table is refused again.
    const int secondTry = Writes(CmdWriteCompPresGas);
    ASSERT_TRUE(WaitFor([&] { return Writes(CmdWriteCompPresGas) > secondTry; }, 60s));
    EXPECT_EQ(ecu.Ram().compGasTemp[30], 0);
    EXPECT_NE(context->Requests.CompWriteCountdown, 0);
    EXPECT_EQ(context->Requests.CompWriteTable, 0);
    ecu.ClearFaults();
    ASSERT_TRUE(WaitFor([&] { return context->Requests.CompWriteCountdown == 0; }, 60s));
    EXPECT_EQ(SimWord(ecu.Ram().compPress, 30), 1);
    EXPECT_EQ(ecu.Ram().compGasTemp[30], 0);
}

} // namespace

} // namespace emulation_test
