// The level-sensor and injector dialogs against the simulated ECU: the rows as read,
// the threshold push and the offsets reaching zone 3, Default, the live values and
// lamps, the mode requests, and nothing armed merely by opening them.

#include "SettingsRig.h"
#include "common/Wait.h"

#include "settings/FrmInjSet.h"
#include "settings/FrmLevelSetting.h"
#include "sim/Frame.h"
#include "sim/Memory.h"
#include "ui/ControlLook.h"
#include "ui/Controls.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTest>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace settings_test {
namespace {

class DialogsTest : public SettingsRig {
protected:
    DialogsTest() { ecu.Engine().reducerTempC = 20; } // cold: stays on petrol

    settings::FrmLevelSetting& Level() {
        page->CmdTpyGLS_Click();
        return *page->LevelDialog();
    }
    settings::FrmInjSet& Injectors() {
        page->CmdTpyInj_Click();
        return *page->InjectorDialog();
    }
    static void Steps(QAbstractSlider& bar, QAbstractSlider::SliderAction action, int times) {
        for (int i = 0; i < times; ++i) {
            bar.triggerAction(action);
        }
    }
    QString Label(QWidget& dialog, const char* name) {
        return dialog.findChild<QLabel*>(name)->text();
    }
};

TEST_F(DialogsTest, ThresholdsPushTheirNeighboursAndReachTheEcu) {
    Connect();
    settings::FrmLevelSetting& dialog = Level();
    EXPECT_EQ(Label(dialog, "LblLevel(3)"), "4/4");
    EXPECT_LT(dialog.HScrLevel(3).y(), dialog.HScrLevel(0).y()) << "4/4 on top";
    // A reversed sensor: row 0 shows element 4, row 3 element 1.
    EXPECT_EQ(dialog.HScrLevel(0).value(), 823);
    EXPECT_EQ(dialog.HScrLevel(3).value(), 204);
    EXPECT_EQ(context->Requests.Mem3WriteCountdown, 0) << "opening arms nothing";

    Steps(dialog.HScrLevel(3), QAbstractSlider::SliderPageStepAdd, 5);
    EXPECT_EQ(dialog.HScrLevel(2).value(), 704);
    EXPECT_EQ(dialog.HScrLevel(1).value(), 704);
    EXPECT_EQ(dialog.HScrLevel(0).value(), 823);
    EXPECT_EQ(dialog.TxtLevel(3).text(), "68,81");
    EXPECT_EQ(context->Images.Mem3Write.LevelThr[4], -1) << "row 0 did not move";
    EXPECT_EQ(context->Requests.Mem3WriteCountdown, 4.0);
    ASSERT_TRUE(WrittenAndReadBack());
    EXPECT_EQ(Hex(ecu.Ram().zone3, 42, 8), "C0 02 C0 02 C0 02 37 03");

    // Default puts the type's six counts back, armed for the next pass.
    dialog.findChild<QPushButton*>("CmdDefaultLevel")->click();
    EXPECT_EQ(context->Images.Mem3Write.LevelThr,
              (std::array<qint16, 6>{0, 204, 409, 618, 823, 1023}));
    EXPECT_EQ(context->Requests.Mem3WriteCountdown, 1.0);
    EXPECT_EQ(dialog.HScrLevel(2).value(), 409);
}

TEST_F(DialogsTest, NotReversedTheRowsRiseFromRowZero) {
    Connect();
    window->Timer2().stop();
    context->Images.Mem3Data.LevelType = 0; // "Resistive 0-90 Ohm", not reversed
    settings::FrmLevelSetting& dialog = Level();
    EXPECT_EQ(dialog.HScrLevel(0).value(), 204);
    dialog.HScrLevel(2).setValue(100);
    EXPECT_EQ(dialog.HScrLevel(1).value(), 100);
    EXPECT_EQ(dialog.HScrLevel(0).value(), 100);
    EXPECT_EQ(dialog.HScrLevel(3).value(), 823);
    EXPECT_EQ(context->Images.Mem3Write.LevelThr[1], 100);
    EXPECT_EQ(context->Images.Mem3Write.LevelThr[3], 100);
    EXPECT_EQ(context->Images.Mem3Write.LevelThr[4], -1);
}

TEST_F(DialogsTest, LiveReadingLampsAndATypeChangedElsewhere) {
    ecu.Engine().levelCounts = 600;
    Connect();
    settings::FrmLevelSetting& dialog = Level();
    dialog.Timer1_Timer();
    EXPECT_EQ(Label(dialog, "LblSensVal"), "2,929");

    // Reversed: lamp 0 blinks with the reading at T(4).
    window->Timer2().stop();
    context->Images.Mem1Data.Level2 = context->Images.Mem3Data.LevelThr[4];
    QWidget& lamp = *dialog.findChild<QWidget*>("ShpLevAct(0)");
    dialog.MarkLevelShapes();
    const int first = ui::BackStyle(lamp);
    dialog.MarkLevelShapes();
    EXPECT_NE(ui::BackStyle(lamp), first) << "blinks";
    EXPECT_EQ(ui::BackStyle(*dialog.findChild<QWidget*>("ShpLevAct(1)")), 0) << "823 < 618";

    context->Images.Mem3Data.LevelType = 0;
    dialog.Timer1_Timer();
    EXPECT_EQ(dialog.HScrLevel(0).value(), context->Images.Mem3Data.LevelThr[1]);
}

TEST_F(DialogsTest, EcuValuesBeyondTheControlsArmNothing) {
    Connect();
    window->Timer2().stop();
    context->Images.Mem3Data.LevelThr[1] = 2000;
    context->Images.Mem3Data.CylTime[1] = 30.0;
    context->Images.Mem3Data.BadBit = 0;
    settings::FrmLevelSetting& level = Level();
    EXPECT_EQ(level.HScrLevel(3).value(), 1023);
    EXPECT_EQ(level.TxtLevel(3).text(), "195,50") << "the true value";
    settings::FrmInjSet& inj = Injectors();
    EXPECT_EQ(inj.HScrTime(1).value(), 50);
    EXPECT_EQ(inj.TxtInjGas(1).text(), "30");
    EXPECT_EQ(inj.SldBadBit().value(), 1);
    ecudata::EcuImages fresh;
    EXPECT_EQ(context->Images.Mem3Write, fresh.Mem3Write);
    EXPECT_EQ(context->Requests.Mem3WriteCountdown, 0);

    // Default with a type the table lacks does nothing.
    context->Images.Mem3Data.LevelType = 99;
    level.findChild<QPushButton*>("CmdDefaultLevel")->click();
    EXPECT_EQ(context->Images.Mem3Write, fresh.Mem3Write);
}

TEST_F(DialogsTest, OffsetsAndSensibilityReachTheEcu) {
    Connect();
    settings::FrmInjSet& dialog = Injectors();
    ASSERT_EQ(dialog.Rows(), 4);
    EXPECT_FALSE(dialog.findChild<QWidget*>("LblInj(4)"));
    EXPECT_EQ(dialog.findChild<QLabel*>("LblInj(3)")->text(), "Inj #4");
    EXPECT_FALSE(dialog.CmbSelect(0).isEnabled());
    EXPECT_TRUE(dialog.CmbSelect(1).isEnabled());
    EXPECT_EQ(dialog.CmbSelect(1).itemText(1), dialog.ModeItem1Text);
    EXPECT_EQ(dialog.windowTitle(), "Injectors - Fast 2 Ohm");

    Steps(dialog.HScrTime(1), QAbstractSlider::SliderSingleStepAdd, 3);
    EXPECT_EQ(dialog.TxtInjGas(1).text(), "1,2");
    EXPECT_EQ(context->Requests.Mem3WriteCountdown, 4.0);
    Steps(dialog.SldBadBit(), QAbstractSlider::SliderSingleStepAdd, 1);
    ASSERT_TRUE(WrittenAndReadBack());
    EXPECT_EQ(Hex(ecu.Ram().zone3, 34, 2), "96 00");
    EXPECT_EQ(Hex(ecu.Ram().zone3, 73, 1), "06");

    dialog.findChild<QPushButton*>("CmdDefaultTime(1)")->click();
    EXPECT_EQ(context->Images.Mem3Write.CylTime[1], 0);
    ASSERT_TRUE(WrittenAndReadBack());
    EXPECT_EQ(Hex(ecu.Ram().zone3, 34, 2), "00 00");

    // Modes 3 and 4 show their live gas time, others "0.00".
    window->Timer2().stop();
    context->Images.Mem3Data.CylState = {3, 0, 4, 1, 0, 0, 0, 0};
    context->Images.Mem1Data.TInjGas = {4.567, 9, 1.2, 3, 0, 0, 0, 0};
    dialog.Timer1_Timer();
    EXPECT_EQ(dialog.TxtInjFuelGas(0).text(), "04,56");
    EXPECT_EQ(dialog.TxtInjFuelGas(1).text(), "0.00");
    EXPECT_EQ(dialog.TxtInjFuelGas(2).text(), "01,20");
    EXPECT_EQ(dialog.TxtInjFuelGas(3).text(), "0.00");
}

// Reopened before its write lands, the dialog shows the pending values and a key steps
// from them; a read that lands while it is open refills it.
TEST_F(DialogsTest, AReopenedInjectorDialogStepsFromThePendingValues) {
    Connect();
    window->Timer2().stop(); // the write waits
    settings::FrmInjSet* dialog = &Injectors();
    Steps(dialog->HScrTime(1), QAbstractSlider::SliderSingleStepAdd, 3);
    Steps(dialog->SldBadBit(), QAbstractSlider::SliderSingleStepAdd, 1);
    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    dialog = &Injectors();
    EXPECT_EQ(dialog->HScrTime(1).value(), 15);
    EXPECT_EQ(dialog->TxtInjGas(1).text(), "1,2");
    EXPECT_EQ(dialog->SldBadBit().value(), 6);
    Steps(dialog->HScrTime(1), QAbstractSlider::SliderSingleStepAdd, 1);
    Steps(dialog->SldBadBit(), QAbstractSlider::SliderSingleStepAdd, 1);
    window->Timer2().start();
    ASSERT_TRUE(WrittenAndReadBack());
    EXPECT_EQ(Hex(ecu.Ram().zone3, 34, 2), "C8 00") << "20 steps, not 5";
    EXPECT_EQ(Hex(ecu.Ram().zone3, 73, 1), "07");

    ecu.Ram().zone3[34] = 0x32; // changed in the ECU: 5 steps
    const quint32 reads = context->Images.AcceptedReplies[sim::CMD_READ_MEM3];
    context->Requests.ReqReadMem3 = true;
    ASSERT_TRUE(
        WaitFor([&] { return context->Images.AcceptedReplies[sim::CMD_READ_MEM3] != reads; }, 60s));
    dialog->Timer1_Timer();
    EXPECT_EQ(dialog->HScrTime(1).value(), 5);
}

TEST_F(DialogsTest, EveryPressOnAnOffsetBarCountsWhileTheLastStepIsTaken) {
    Connect();
    settings::FrmInjSet& dialog = Injectors();
    QScrollBar& bar = dialog.HScrTime(1);
    dialog.activateWindow();
    // Activation comes from the window system, whose events a wait on the simulated clock
    // leaves to the event loop: the look lets them in.
    ASSERT_TRUE(WaitFor(
        [&] {
            QCoreApplication::processEvents();
            return dialog.isActiveWindow();
        },
        60s));
    bar.setFocus();
    // Queued together, as the window system hands over presses that came in while the
    // first one's handler runs the events.
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::postEvent(&bar,
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier));
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(bar.value(), 15);
    EXPECT_EQ(dialog.TxtInjGas(1).text(), "1,2");
    EXPECT_EQ(QApplication::focusWidget(), &bar);
    ASSERT_TRUE(WrittenAndReadBack());
    EXPECT_EQ(Hex(ecu.Ram().zone3, 34, 2), "96 00");
}

TEST_F(DialogsTest, ModeRequests) {
    Connect();
    window->Timer2().stop();
    context->Requests.InjSetMode = 2; // a cylinder-count step still pending
    settings::FrmInjSet& dialog = Injectors();
    EXPECT_EQ(context->Requests.InjSetMode, 2) << "opening keeps it";
    context->Requests.InjSetMode = 0;
    {
        Answer ok(support::vbOK);
        dialog.CmbSelect(1).setCurrentIndex(1);
        ASSERT_EQ(ok.boxes.size(), 1u);
        EXPECT_EQ(ok.boxes[0], "Injectors - Fast 2 Ohm|" + context->Texts.MsgConfig[2]);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(context->Requests.InjSetMode, 0);
    EXPECT_EQ(dialog.CmbSelect(1).currentIndex(), 0) << "back on the mode as read";

    context->Images.Mem2Data.FuelState = 3;
    dialog.CmbSelect(1).setCurrentIndex(1);
    EXPECT_EQ(context->Requests.InjSetMode, 1);
    EXPECT_EQ(context->Requests.InjSetIndex, 1);
    EXPECT_EQ(context->Requests.InjSetState, 4);
    dialog.CmbSelect(2).setCurrentIndex(2);
    EXPECT_EQ(context->Requests.InjSetIndex, 2);
    EXPECT_EQ(context->Requests.InjSetState, 0);

    // Opened again, a single injector's pending step is dropped.
    dialog.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Injectors();
    EXPECT_EQ(context->Requests.InjSetMode, 0);
    EXPECT_EQ(context->Requests.InjSetState, -1);
}

TEST_F(DialogsTest, OffLineEditsOfTheDialogsAreTakenAtOnce) {
    Connect();
    window->MnuOffLine_Click();
    ASSERT_TRUE(WaitFor([this] { return context->Comm().ComState() == app::COM_STOP; }, 60s));
    Injectors().HScrTime(2).setValue(-5);
    Level().HScrLevel(3).setValue(300);
    ASSERT_TRUE(WaitFor([this] { return context->Requests.Mem3WriteCountdown == 0; }, 60s));
    EXPECT_DOUBLE_EQ(context->Images.Mem3Data.CylTime[2], -0.4);
    EXPECT_EQ(context->Images.Mem3Data.LevelThr[1], 300) << "in the image a saved file takes";
}

} // namespace
} // namespace settings_test
