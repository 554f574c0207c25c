// The Device menu against the simulated ECU on COM3: a chosen port is saved and used, a
// search walks the ports until the ECU answers, OFFLINE stops every exchange, and a
// change in the number of interface cables restarts the link.

#include "SimApp.h"
#include "common/Wait.h"

#include "common/FileFaults.h"
#include "ui/Controls.h"

#include <QAction>
#include <algorithm>
#include <cerrno>
#include <cstring>

using testing_support::RunFor;
using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace app_tests {
namespace {

QAction* Item(app::FrmLX735& window, const QString& name) {
    return qobject_cast<QAction*>(window.Control(name));
}

// The indexes of the checked port items.
QList<int> CheckedPorts(app::FrmLX735& window) {
    QList<int> checked;
    for (int i = 0; i <= 9; ++i) {
        if (Item(window, ui::ArrayName("MnuDevCom", i))->isChecked()) {
            checked << i;
        }
    }
    return checked;
}

TEST_F(SimAppFixture, ChoosingCom3SavesTheChoiceAndTalksThere) {
    tree.Write("BIN/SetCom.ini", SetComFile(1, false)); // COM1 has no ECU
    Start();
    RunFor(500ms);
    EXPECT_FALSE(Connected());
    EXPECT_EQ(FrameLines(), 0);

    window->MnuDevCom_Click(3);
    const QByteArray settings = tree.Read("BIN/SetCom.ini");
    EXPECT_TRUE(settings.contains("[Comport]\r\n3\r\n")) << settings.constData();
    EXPECT_TRUE(settings.contains("[SearchCom]\r\n 255 \r\n")) << settings.constData();
    EXPECT_TRUE(settings.contains("[UsbCom]\r\n 0 \r\n"));
    EXPECT_EQ(CheckedPorts(*window), QList<int>{3});
    EXPECT_EQ(context->Comm().ComPort(), 3);

    ASSERT_TRUE(WaitFor([&] { return Connected(); }, 60s));
    EXPECT_GT(FrameLines(), 1) << "the probe and its reply, on the ECU's line";
    const QByteArrayList lines = LogLines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [](const QByteArray& line) { return line.contains(" R 42"); }));
}

// A choice that cannot be saved (a full disk) is told once, with the file and the
// reason, and still holds for this run.
TEST_F(SimAppFixture, AChoiceThatCannotBeSavedIsToldAndStillUsed) {
    tree.Write("BIN/SetCom.ini", SetComFile(1, false));
    Start();
    const QByteArray settings = tree.Read("BIN/SetCom.ini");
    {
        const testing_support::FailWritesBelow full(tree.Path("BIN"));
        window->MnuDevCom_Click(3);
    }
    EXPECT_EQ(tree.Read("BIN/SetCom.ini"), settings);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].prompt.contains(tree.Path("BIN/SetCom.ini")));
    EXPECT_TRUE(boxes.boxes[0].prompt.contains(QString::fromLocal8Bit(std::strerror(ENOSPC))));
    EXPECT_EQ(context->Comm().ComPort(), 3);
    EXPECT_TRUE(WaitFor([&] { return Connected(); }, 60s));
}

TEST_F(SimAppFixture, ChoosingUsbKeepsTheComNumber) {
    Start();
    ASSERT_TRUE(WaitFor([&] { return Connected(); }, 60s));
    window->MnuDevCom_Click(0);
    EXPECT_TRUE(context->Comm().UsbCom());
    EXPECT_EQ(CheckedPorts(*window), QList<int>{0});
    EXPECT_TRUE(tree.Read("BIN/SetCom.ini").contains("[UsbCom]\r\n 1 \r\n"));
    EXPECT_TRUE(tree.Read("BIN/SetCom.ini").contains("[Comport]\r\n3\r\n"));
    RunFor(300ms);
    EXPECT_FALSE(Connected()) << "no cable attached";
}

// The switch waits for the exchange in flight, at most about four seconds.
TEST_F(SimAppFixture, PortSwitchWaitsForTheLinkToBeIdle) {
    Start();
    ASSERT_TRUE(WaitFor([&] { return Connected(); }, 60s));
    context->Comm().ComState(app::COM_WAIT_REPLY);
    window->Timer1().stop(); // nothing finishes the exchange
    const double before = time.NowUsec();
    window->MnuDevCom_Click(3);
    EXPECT_NEAR(time.NowUsec() - before, 4e6, 5000);
    EXPECT_EQ(context->Comm().ComState(), app::COM_RESTART);
    EXPECT_TRUE(window->Timer1().isActive());
    EXPECT_TRUE(window->Timer2().isActive());
    ASSERT_TRUE(WaitFor([&] { return Connected(); }, 60s));
}

TEST_F(SimAppFixture, PortChoiceWhileOffLineGoesOnLine) {
    Start();
    ASSERT_TRUE(WaitFor([&] { return Connected(); }, 60s));
    window->MnuOffLine_Click();
    ASSERT_TRUE(WaitFor([&] { return context->OffLineMode; }, 60s));
    window->MnuDevCom_Click(3);
    EXPECT_FALSE(Item(*window, "MnuOffLine")->isChecked());
    EXPECT_FALSE(context->OffLineMode);
    ASSERT_TRUE(WaitFor([&] { return Connected(); }, 60s));
}

TEST_F(SimAppFixture, OffLineStopsEveryExchange) {
    Start();
    ASSERT_TRUE(WaitFor([&] { return Connected(); }, 60s));
    RunFor(5s); // a keep-alive or two
    window->MnuOffLine_Click();
    RunFor(10ms);
    EXPECT_EQ(context->Comm().ComState(), app::COM_STOP);
    EXPECT_EQ(StatusText(1), "COM STOP");
    const int frames = FrameLines();
    RunFor(10s);
    EXPECT_EQ(FrameLines(), frames);
    EXPECT_EQ(context->Comm().ComState(), app::COM_STOP);
}

// SEARCH COM tries the cable, then COM1, COM2, ... and stays on the port that answers;
// the settings file is written only once the ECU is accepted (by the identification).
TEST_F(SimAppFixture, SearchWalksThePortsUntilTheEcuAnswers) {
    tree.Write("BIN/SetCom.ini", SetComFile(7, false));
    Start();
    const QByteArray settings = tree.Read("BIN/SetCom.ini");
    window->MnuSearcCom_Click();
    EXPECT_EQ(context->Comm().FlagRicercaCom(), 0);
    EXPECT_TRUE(context->Comm().FirmwareEcu().isEmpty());
    EXPECT_EQ(CheckedPorts(*window), QList<int>{0});

    QStringList shown;
    ASSERT_TRUE(WaitFor(
        [&] {
            if (shown.isEmpty() || shown.last() != StatusText(0)) {
                shown << StatusText(0);
            }
            return Connected();
        },
        60s));
    EXPECT_EQ(shown.filter("SEARCH COMUNICATION PORT: ").first(), "SEARCH COMUNICATION PORT: USB");
    EXPECT_TRUE(shown.contains("SEARCH COMUNICATION PORT: COM 1")) << shown.join('|').toStdString();
    EXPECT_TRUE(shown.contains("SEARCH COMUNICATION PORT: COM 2"));
    EXPECT_EQ(shown.last(), "SEARCH COMUNICATION PORT: COM 3");
    EXPECT_EQ(context->Comm().ComPort(), 3);
    EXPECT_EQ(CheckedPorts(*window), QList<int>{3});
    EXPECT_EQ(tree.Read("BIN/SetCom.ini"), settings);
}

TEST_F(SimAppFixture, CableCountChangeRestartsTheLink) {
    Start();
    ASSERT_TRUE(WaitFor([&] { return Connected(); }, 60s));
    window->WatchUsbDevices();
    EXPECT_EQ(context->Comm().ComState(), app::COM_READY)
        << "the cables of the start are no change";

    testing_support::SimPort cable(ecu);
    ftdi->AddDevice(cable);
    window->WatchUsbDevices();
    EXPECT_EQ(window->UsbDeviceCount, 1);
    EXPECT_EQ(context->Comm().ComState(), app::COM_RESTART);

    ASSERT_TRUE(WaitFor([&] { return Connected(); }, 60s));
    ftdi->listStatus = platform::FtStatusIoError;
    ftdi->RemoveDevices();
    window->WatchUsbDevices();
    EXPECT_EQ(window->UsbDeviceCount, 1) << "a failing count changes nothing";
    EXPECT_EQ(context->Comm().ComState(), app::COM_READY);
}

TEST_F(SimAppFixture, SelectedPortIsTheFirstCheckedItem) {
    Start();
    EXPECT_EQ(window->PortaDiComSelected(), 3);
    window->MnuOffLine_Click();
    EXPECT_EQ(window->PortaDiComSelected(), 10);
}

} // namespace
} // namespace app_tests
