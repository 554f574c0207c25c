// The link status in the status bar: the state cell's texts and colours, the reply-wait
// dots and the pending-write blinking at a readable pace, the search text and the port
// check marks.

#include "AppFixture.h"

#include "common/FakeTime.h"
#include "sim/PseudoTerminal.h"
#include "support/Colors.h"
#include "ui/Controls.h"
#include "ui/TextCell.h"

#include <QAction>

namespace app_tests {
namespace {

const QColor Red = support::ColorFromBgr(0x0000FF);
const QColor Green = support::ColorFromBgr(0x00FF00);
const QColor White = support::ColorFromBgr(0xFFFFFF);
const QColor Black = support::ColorFromBgr(0x000000);

class StatusBarTest : public AppFixture {
protected:
    void SetUp() override { Start(); }

    ui::TextCell& Cell(int cell) {
        return *qobject_cast<ui::TextCell*>(window->Control(ui::ArrayName("TxtStatusBar", cell)));
    }
    QColor Back(int cell) { return Cell(cell).Back(); }
    QColor Fore(int cell) { return Cell(cell).Fore(); }
    QColor Face() { return support::ColorFromBgr(support::ColorButtonFace); }
    // One tick, some time after the previous one.
    void Tick(double afterUsec = 1000) {
        time.Advance(afterUsec);
        window->AggiornaStatoCom();
    }
    void State(quint8 state) { context->Comm().ComState(state); }
    bool Checked(int item) {
        return qobject_cast<QAction*>(window->Control(ui::ArrayName("MnuDevCom", item)))
            ->isChecked();
    }

    void MapCom1(const QString& device) {
        tree.Write("BIN/ComPorts.ini", ("[COM1]\r\n" + device + "\r\n").toUtf8());
    }
    // A fixed COM1 on the device fails to open, and a tick follows.
    void FailToOpen(const QString& device) {
        MapCom1(device);
        app::ClsComm& comm = context->Comm();
        comm.FlagRicercaCom(comm::NoSearch);
        comm.UsbCom(false);
        comm.ComPort(1);
        EXPECT_FALSE(comm.SetComm());
        State(app::COM_RESTART);
        Tick();
    }

    testing_support::FakeTime time;
};

TEST_F(StatusBarTest, StateCellShowsTheLinkState) {
    context->Comm().FlagRicercaCom(comm::NoSearch);
    const struct {
        quint8 state;
        const char* text;
        QColor back; // after a reply wait left the cell green on black
        QColor fore;
    } cases[] = {
        {app::COM_RESTART, "COM CLOSED", Red, White},
        {app::COM_READY, "COM OK   ", Green, Black},
        {app::COM_SENDING, "COM OK...", Green, Black},
        {app::COM_ERROR, "COM WDOG", Red, White},
        {app::COM_SEARCH, "COM INI", Green, Black},
        {app::COM_STOP, "COM STOP", Red, White},
        {4, "Text....", Red, White},
        {6, "Text....", Red, White},
    };
    for (const auto& c : cases) {
        State(app::COM_WAIT_REPLY);
        Tick();
        State(c.state);
        Tick();
        EXPECT_EQ(Cell(1).text(), c.text) << int(c.state);
        EXPECT_EQ(Back(1), c.back) << int(c.state);
        EXPECT_EQ(Fore(1), c.fore) << int(c.state);
    }
}

// A try left unanswered: while the link holds the port and tries again the cell says
// the ECU does not answer; the error states still tell their own.
TEST_F(StatusBarTest, AnUnansweredTryShowsNoReplyUntilAGoodReply) {
    context->Comm().FlagRicercaCom(comm::NoSearch);
    context->Comm().NoReply(true);
    const struct {
        quint8 state;
        const char* text;
    } cases[] = {
        {app::COM_WAIT_REPLY, "NO REPLY"}, {app::COM_READY, "NO REPLY"},
        {app::COM_SENDING, "NO REPLY"},    {app::COM_ERROR, "COM WDOG"},
        {app::COM_RESTART, "COM CLOSED"},
    };
    for (const auto& c : cases) {
        State(c.state);
        Tick();
        EXPECT_EQ(Cell(1).text(), c.text) << int(c.state);
        EXPECT_EQ(Back(1), Red) << int(c.state);
        EXPECT_EQ(Fore(1), White) << int(c.state);
    }
    context->Comm().NoReply(false);
    State(app::COM_WAIT_REPLY);
    Tick();
    EXPECT_EQ(Cell(1).text(), "COM OK.  ");
    EXPECT_EQ(Back(1), Green);
}

// The link ticks every millisecond; the dots move on at most every 80 ms.
TEST_F(StatusBarTest, ReplyWaitDotsAdvanceAtAReadablePace) {
    State(app::COM_READY);
    Tick();
    State(app::COM_WAIT_REPLY);
    Tick();
    EXPECT_EQ(Cell(1).text(), "COM OK.  ") << "the wait shows at once";
    for (const char* next : {"COM OK.. ", "COM OK...", "COM OK.  "}) {
        for (int i = 0; i < 20; ++i) {
            Tick(1000);
        }
        EXPECT_NE(Cell(1).text(), next) << "not yet after 20 ms";
        Tick(60000);
        EXPECT_EQ(Cell(1).text(), next);
    }
}

TEST_F(StatusBarTest, PendingWritesLightUpgrade) {
    context->Comm().FlagRicercaCom(comm::NoSearch);
    ecudata::EcuRequests& r = context->Requests;
    const struct {
        const char* what;
        std::function<void()> set;
        bool pending;
    } cases[] = {
        {"nothing", [] {}, false},
        {"Mem3 0.4", [&] { r.Mem3WriteCountdown = 0.4; }, false},
        {"Mem3 1.0", [&] { r.Mem3WriteCountdown = 1.0; }, true},
        {"model 0.5 rounds to even", [&] { r.ModWriteCountdown = 0.5; }, false},
        {"model 2.0", [&] { r.ModWriteCountdown = 2.0; }, true},
        {"Mem2 countdown alone", [&] { r.Mem2WriteCountdown = 1.0; }, false},
        {"emulation countdown alone", [&] { r.EmulaWriteCountdown = 1; }, false},
        {"Mem2 write", [&] { r.ReqWriteMem2 = true; }, true},
        {"emulation write", [&] { r.ReqWriteEmus = true; }, true},
        {"flash save", [&] { r.ReqSaveFlash = true; }, true},
        {"comp table", [&] { r.CompWriteCountdown = 6; }, true},
        {"file sending", [&] { context->ParamFileSending = true; }, true},
    };
    for (const auto& c : cases) {
        r = ecudata::EcuRequests{};
        context->ParamFileSending = false;
        c.set();
        Tick(100000);
        EXPECT_EQ(Cell(0).text(), c.pending ? "UPGRADE" : "") << c.what;
    }
    r = ecudata::EcuRequests{};
    Tick(100000);
    EXPECT_EQ(Back(0), Face()) << "not pending: the plain face again";
}

TEST_F(StatusBarTest, UpgradeBlinksAtAReadablePace) {
    context->Comm().FlagRicercaCom(comm::NoSearch);
    context->Requests.ReqWriteMem3 = true;
    Tick(100000);
    const QColor first = Back(0);
    for (int i = 0; i < 50; ++i) {
        Tick(1000);
    }
    EXPECT_EQ(Back(0), first) << "50 ms of ticks do not blink it";
    Tick(40000);
    const QColor second = Back(0);
    EXPECT_NE(second, first);
    Tick(80000);
    EXPECT_EQ(Back(0), first);
    EXPECT_TRUE((first == Red && second == Face()) || (first == Face() && second == Red));
}

TEST_F(StatusBarTest, SearchShowsThePortTriedAndChecksItsItem) {
    comm::ClsComm& link = context->Comm();
    const struct {
        quint8 flag;
        bool usb;
        qint16 port;
        const char* text;
        int checked; // -1: none
    } cases[] = {
        {0, true, 0, "SEARCH COMUNICATION PORT: USB", 0},
        {3, false, 3, "SEARCH COMUNICATION PORT: COM 3", 3},
        // Past the menu's last item: the text, but no item to check.
        {10, false, 10, "SEARCH COMUNICATION PORT: COM 10", -1},
    };
    for (const auto& c : cases) {
        context->Requests.ReqWriteMem3 = true; // the search text wins over "UPGRADE"
        link.FlagRicercaCom(c.flag);
        link.UsbCom(c.usb);
        link.ComPort(c.port);
        Tick();
        EXPECT_EQ(Cell(0).text(), c.text);
        for (int i = 0; i <= 9; ++i) {
            EXPECT_EQ(Checked(i), i == c.checked) << c.text << " item " << i;
        }
    }

    // Without a search neither the text nor the checks are touched.
    link.FlagRicercaCom(comm::NoSearch);
    context->Requests.ReqWriteMem3 = false;
    window->MnuOffLine_Click();
    Tick();
    EXPECT_EQ(Cell(0).text(), "");
    for (int i = 0; i <= 9; ++i) {
        EXPECT_FALSE(Checked(i)) << i;
    }
}

// At a thousand ticks a second nothing is repainted that did not change; a change is.
TEST_F(StatusBarTest, RepaintsOnlyWhatChanges) {
    context->Comm().FlagRicercaCom(comm::NoSearch);
    State(app::COM_READY);
    Tick();
    ASSERT_TRUE(Cell(1).isVisible());
    QCoreApplication::processEvents();
    struct Counter : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            count += event->type() == QEvent::Paint;
            return false;
        }
    } paints;
    Cell(0).installEventFilter(&paints);
    Cell(1).installEventFilter(&paints);
    for (int i = 0; i < 200; ++i) {
        Tick();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(paints.count, 0);

    State(app::COM_WAIT_REPLY);
    Tick();
    QCoreApplication::processEvents();
    EXPECT_EQ(Cell(1).text(), "COM OK.  ");
    EXPECT_EQ(paints.count, 1);
}

// A port that cannot be opened is told whole in the wide cell, in the window's language,
// for as long as the link holds no port; the link time in the last cell stays.
TEST_F(StatusBarTest, PortThatCannotBeOpenedIsToldWholeInTheWideCell) {
    Cell(2).setText("Time: 0:00:05");
    FailToOpen("/dev/ttyLX9");
    const QString english =
        "COM1 (/dev/ttyLX9): no such device; plug in the cable or pick another port";
    EXPECT_EQ(Cell(0).text(), english);
    EXPECT_LE(Cell(0).fontMetrics().horizontalAdvance(english), Cell(0).TextRoom());
    EXPECT_EQ(Cell(2).text(), "Time: 0:00:05");

    window->MnuLngT_Click(1);
    Tick();
    EXPECT_EQ(Cell(0).text(),
              "COM1 (/dev/ttyLX9): dispositivo assente; collegare il cavo o cambiare porta");

    // Once a port opens the text goes; the same failure later is told again.
    sim::PseudoTerminal pty;
    ASSERT_TRUE(pty.Open(nullptr));
    MapCom1(pty.SlavePath());
    ASSERT_TRUE(context->Comm().SetComm());
    State(app::COM_READY);
    Tick();
    EXPECT_EQ(Cell(0).text(), "");
    context->Comm().CloseComPort();
    FailToOpen("/dev/ttyLX9");
    EXPECT_TRUE(Cell(0).text().startsWith("COM1 (/dev/ttyLX9): dispositivo assente"));
}

// A device path too long for the cell gives way to its file name, then is shortened in its
// middle: the reason and the remedy stay whole.
TEST_F(StatusBarTest, LongDevicePathGivesWayToTheReason) {
    const QString reason = "no such device; plug in the cable or pick another port";
    const struct {
        QString device;
        QString shown; // "" : shortened in the middle
    } cases[] = {
        {"/dev/serial/by-id/usb-ftdi-A5-port0", "usb-ftdi-A5-port0"},
        {"/dev/serial/by-id/usb-" + QString(200, 'x') + "-port0", ""},
    };
    for (const auto& c : cases) {
        FailToOpen(c.device);
        const QString text = Cell(0).text();
        EXPECT_LE(Cell(0).fontMetrics().horizontalAdvance(text), Cell(0).TextRoom())
            << text.toStdString();
        EXPECT_TRUE(text.startsWith("COM1 (")) << text.toStdString();
        EXPECT_TRUE(text.endsWith("): " + reason)) << text.toStdString();
        if (!c.shown.isEmpty()) {
            EXPECT_EQ(text, "COM1 (" + c.shown + "): " + reason);
        } else {
            EXPECT_TRUE(text.contains(QChar(0x2026)) && text.contains("-port0"))
                << text.toStdString();
        }
    }
}

} // namespace
} // namespace app_tests
