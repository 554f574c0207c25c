// The link against the simulated ECU: search, keep-alive, resends, failures and the
// replies' effects, all on simulated time.

#include "LinkFixture.h"
#include "LinkRig.h"
#include "common/Wait.h"
#include "link/Frames.h"
#include "link/ReplyDispatch.h"
#include "support/Conversions.h"

#include <QFile>
#include <gtest/gtest.h>
#include <limits>

using testing_support::RunFor;
using testing_support::WaitFor;
using namespace std::chrono_literals;

using namespace comm;
using link_test::LinkRig;

namespace {

QByteArray Request(quint8 command, const QByteArray& payload = {}) {
    return BuildMsg(ReqHeader, ReqByte2, command, payload);
}

sim::Fault Fault(sim::FaultKind kind, int count = 1, double value = 0,
                 int command = sim::kAnyCommand) {
    sim::Fault fault;
    fault.kind = kind;
    fault.count = count;
    fault.value = value;
    fault.command = command;
    return fault;
}

// Short timings so that failing exchanges end quickly.
const QByteArray QuickFixedCom1 = "[SearchCom]\r\n 255 \r\n[Comport]\r\n1\r\n[NumResend]\r\n2\r\n"
                                  "[AttesaGlobale_usec]\r\n300000\r\n[Idle_usec]\r\n20000\r\n";

} // namespace

TEST(LinkSearch, FindsTheEcuOnCom3AndRemembersIt) {
    LinkRig rig(QByteArray(), 3); // no settings file: search from the USB interface
    ASSERT_TRUE(rig.link.MemoDatiCom());
    ASSERT_TRUE(rig.Connect());
    RunFor(10ms);
    EXPECT_EQ(rig.LoggedStates(), (QStringList{"7", "0", "7", "0", "7", "0", "7", "3", "1"}));
    EXPECT_FALSE(rig.link.UsbCom());
    EXPECT_EQ(rig.link.ComPort(), 3);
    EXPECT_EQ(rig.link.FlagRicercaCom(), 3);
    EXPECT_EQ(rig.ftdi.listCalls, 1);
    EXPECT_EQ(rig.port.Opens(), 1);

    const QList<QByteArray> log = rig.LogLines();
    const qsizetype probe = log.indexOf("\"CMD_GET_ECO\"");
    ASSERT_GE(probe, 0);
    EXPECT_TRUE(log[probe + 1].endsWith(" T 4102060945434F05\""));
    EXPECT_TRUE(log[probe + 2].endsWith(" C 3\""));
    EXPECT_TRUE(log[probe + 3].endsWith(" R 42010409004E\""));

    // The first keep-alive reply wrote the settings file with the port found.
    EXPECT_FALSE(rig.link.MemoDatiCom());
    const QByteArray setCom = rig.tree.Read("BIN/SetCom.ini");
    EXPECT_TRUE(setCom.contains("[Comport]\r\n3\r\n"));
    EXPECT_TRUE(setCom.contains("[SearchCom]\r\n 3 \r\n"));
}

TEST(LinkSearch, FindsTheEcuBehindTheUsbInterface) {
    LinkRig rig(QByteArray(), 9);
    testing_support::SimPort cable(rig.ecu);
    rig.ftdi.AddDevice(cable);
    ASSERT_TRUE(rig.Connect());
    EXPECT_TRUE(rig.link.UsbCom());
    EXPECT_EQ(rig.link.ComPort(), 0);
    EXPECT_EQ(rig.ftdi.opened, std::vector<qint32>{0});
    EXPECT_EQ(rig.ftdi.settings.baud, 38400u);
    EXPECT_EQ(rig.ftdi.settings.wordLength, 8);
    EXPECT_EQ(rig.ftdi.settings.stopBits, 0);
    EXPECT_EQ(rig.ftdi.settings.parity, 0);
    EXPECT_EQ(rig.ftdi.settings.flowControl, 0);
    EXPECT_EQ(rig.ftdi.settings.readMs, 50u);
    EXPECT_EQ(rig.ftdi.settings.writeMs, 50u);
    EXPECT_EQ(rig.ftdi.settings.eventChar, 0x7E);
    EXPECT_FALSE(rig.ftdi.settings.eventEnabled);
    EXPECT_FALSE(rig.ftdi.settings.errorEnabled);
    EXPECT_TRUE(SendMsgAndWait(rig.link, Request(CMD_READ_MEM1)));
    EXPECT_EQ(rig.link.ComState(), COM_READY);
}

TEST(LinkSearch, SilentCablesAreTriedInTurnThenTheComPorts) {
    LinkRig rig("[SearchCom]\r\n 0 \r\n[NumResend]\r\n0\r\n[AttesaGlobale_usec]\r\n100000\r\n", 9);
    rig.ecu.AddFault(Fault(sim::FaultKind::Silence, sim::kForever));
    testing_support::SimPort first(rig.ecu);
    testing_support::SimPort second(rig.ecu);
    rig.ftdi.AddDevice(first);
    rig.ftdi.AddDevice(second);
    ASSERT_TRUE(WaitFor([&] { return rig.ftdi.opened.size() >= 3; }, 120s));
    EXPECT_EQ(rig.ftdi.opened, (std::vector<qint32>{0, 1, 0}));
    // Between the second cable and the first again: COM1..COM9, and COM9 was silent.
    EXPECT_EQ(rig.port.Opens(), 1);
    EXPECT_TRUE(rig.BoxTexts().isEmpty()) << "a silent port during a search says nothing";
}

TEST(LinkKeepAlive, ProbesAfterFourSecondsOfSilenceOnlyInRunOrSlave) {
    LinkRig rig;
    ASSERT_TRUE(rig.Connect());
    rig.ecu.ClearCommandLog();
    RunFor(10s);
    EXPECT_EQ(rig.Received(CMD_GET_ECO), 2);
    EXPECT_EQ(rig.link.ComState(), COM_READY);

    rig.link.EcuState(ECU_PRG);
    rig.ecu.ClearCommandLog();
    RunFor(10s);
    EXPECT_EQ(rig.Received(CMD_GET_ECO), 0);
}

TEST(SendMsgAndWait, GoodExchangeIsTrueAndPaced) {
    sim::EcuConfig config;
    config.identity.descriptor = "LX735 CLIENT INJ468";
    LinkRig rig(link_test::FixedCom1, 1, config);
    ASSERT_TRUE(rig.Connect());
    const double start = rig.time.NowUsec();
    ASSERT_TRUE(SendMsgAndWait(rig.link, Request(CMD_READ_FIRMWARE)));
    // Five bytes at 500 us, then 100 ms before reading.
    EXPECT_GE(rig.time.NowUsec() - start, 5 * 500 + 100000);
    EXPECT_EQ(rig.link.FirmwareEcuVersStr(), "01.12");
    EXPECT_EQ(rig.link.FirmwareEcuDataStr(), "14/04/2011");
    EXPECT_EQ(rig.link.DescProgettoEcu_CODICE(), "INJ468");
    EXPECT_FALSE(rig.link.WDogPresente());
    EXPECT_TRUE(rig.link.InBuffer().isEmpty());
    EXPECT_TRUE(rig.link.OutBuffer().isEmpty());
}

TEST(SendMsgAndWait, SilentEcuFailsAfterTheResendsAndTheLinkRecovers) {
    LinkRig rig; // default timings: 11 sends of 4.1 s each
    ASSERT_TRUE(rig.Connect());
    rig.ecu.AddFault(Fault(sim::FaultKind::Silence, sim::kForever));
    rig.ecu.ClearCommandLog();
    const double start = rig.time.NowUsec();
    EXPECT_FALSE(SendMsgAndWait(rig.link, Request(CMD_READ_MEM1)));
    EXPECT_NEAR(rig.time.NowUsec() - start, 11 * 4.1e6, 1e6);
    EXPECT_EQ(rig.Received(CMD_READ_MEM1), 11);
    EXPECT_EQ(rig.BoxTexts(), QStringList{ErrWDog});
    EXPECT_TRUE(rig.link.WDogPresente());
    EXPECT_EQ(rig.link.NumWDogSend(), 1);
    EXPECT_EQ(rig.link.FlagRicercaCom(), NoSearch) << "a fixed port stays fixed";

    rig.ecu.ClearFaults();
    ASSERT_TRUE(rig.Connect());
    RunFor(10ms);
    const QStringList states = rig.LoggedStates();
    EXPECT_EQ(states.mid(states.size() - 4), (QStringList{"0", "7", "3", "1"}));
    EXPECT_TRUE(SendMsgAndWait(rig.link, Request(CMD_READ_MEM1)));
    EXPECT_EQ(rig.link.NumWDogSend(), 0);
}

TEST(SendMsgAndWait, BadRepliesEndWithTheirTextInTheDeveloperView) {
    const struct {
        sim::FaultKind kind;
        double value;
        QString text;
    } cases[] = {
        {sim::FaultKind::BadChecksum, 0, ErrRxCheckSum},
        {sim::FaultKind::WrongEcho, 0, ErrEcoCommand},
        {sim::FaultKind::Status, 254, ErrExeErr},
        {sim::FaultKind::Status, 255, ErrTxCheckSum},
        {sim::FaultKind::Status, 1, ErrNotDefine},
    };
    for (const auto& c : cases) {
        LinkRig rig(QuickFixedCom1);
        ASSERT_TRUE(rig.Connect());
        rig.ecu.AddFault(Fault(c.kind, sim::kForever, c.value, CMD_READ_ERR));
        EXPECT_FALSE(SendMsgAndWait(rig.link, Request(CMD_READ_ERR))) << c.text.toStdString();
        EXPECT_EQ(rig.Received(CMD_READ_ERR), 3) << c.text.toStdString();
        EXPECT_EQ(rig.BoxTexts(), QStringList{c.text});
        EXPECT_EQ(rig.link.ComState(), COM_RESTART);
    }
}

TEST(SendMsgAndWait, WithoutTheDeveloperViewFailuresShowNothing) {
    LinkRig rig(QuickFixedCom1);
    rig.host.developer = false;
    ASSERT_TRUE(rig.Connect());
    rig.ecu.AddFault(Fault(sim::FaultKind::Silence, sim::kForever));
    EXPECT_FALSE(SendMsgAndWait(rig.link, Request(CMD_READ_MEM2)));
    EXPECT_TRUE(rig.BoxTexts().isEmpty());
}

TEST(SendMsgAndWait, OneDamagedReplyIsResentAndSucceeds) {
    const sim::FaultKind kinds[] = {sim::FaultKind::Garble, sim::FaultKind::Noise,
                                    sim::FaultKind::Silence};
    for (const sim::FaultKind kind : kinds) {
        LinkRig rig(QuickFixedCom1);
        ASSERT_TRUE(rig.Connect());
        rig.ecu.AddFault(Fault(kind, 1, 0, CMD_READ_ERR));
        rig.ecu.ErrorBytes()[5] = 7;
        EXPECT_TRUE(SendMsgAndWait(rig.link, Request(CMD_READ_ERR)))
            << sim::FaultKindName(kind).toStdString();
        EXPECT_EQ(rig.Received(CMD_READ_ERR), 2);
        EXPECT_EQ(rig.link.ErrInj(5), 7);
        EXPECT_TRUE(rig.BoxTexts().isEmpty());
    }
}

TEST(ReciveMsg, SplitReplyGivesGrowingReceiveLines) {
    LinkRig rig;
    ASSERT_TRUE(rig.Connect());
    rig.ecu.AddFault(Fault(sim::FaultKind::Split, 1, 300000, CMD_GET_ECO));
    ASSERT_TRUE(SendMsgAndWait(rig.link, Request(CMD_GET_ECO, "ECO")));
    QList<QByteArray> received;
    for (const QByteArray& line : rig.LogLines()) {
        if (line.contains(" R ")) {
            received << line.split(' ').last();
        }
    }
    ASSERT_GE(received.size(), 3);
    EXPECT_EQ(received.last(), "42010409004E\"");
    EXPECT_LT(received[received.size() - 2].size(), received.last().size());
}

// With the default reply wait (4 s) and resends (10), a line that hangs up would hold
// the exchange for 45 s; it ends at once, the failed call logged once, and the link
// comes back when the line does.
TEST(SendMsgAndWait, AHungUpLineEndsTheExchangeAtOnceAsALostLink) {
    LinkRig rig;
    ASSERT_TRUE(rig.Connect());
    rig.ecu.AddFault(Fault(sim::FaultKind::HangUp, 1, 2000000, CMD_READ_MEM2));
    const qsizetype logged = rig.LoggedStates().size();
    const double start = rig.time.NowUsec();
    EXPECT_FALSE(SendMsgAndWait(rig.link, Request(CMD_READ_MEM2)));
    EXPECT_LT(rig.time.NowUsec() - start, 1e6);
    EXPECT_TRUE(rig.link.WDogPresente());
    EXPECT_TRUE(rig.BoxTexts().isEmpty());

    const QList<QByteArray> log = rig.LogLines();
    qsizetype failed = 0;
    while (failed < log.size() && !log[failed].contains("ClearCommError Recive")) {
        ++failed;
    }
    ASSERT_LT(failed + 4, log.size());
    EXPECT_TRUE(log[failed].endsWith(" ClearCommError Recive \""));
    EXPECT_TRUE(log[failed + 1].endsWith(" lpErrors 0\""));
    EXPECT_TRUE(log[failed + 2].endsWith(" GetLastError 5\"")); // EIO
    EXPECT_TRUE(log[failed + 3].endsWith(" LastDllError 5\""));
    EXPECT_TRUE(log[failed + 4].contains(" H 5 "));

    ASSERT_TRUE(rig.Connect());
    EXPECT_GE(rig.time.NowUsec() - start, 2e6) << "back once the line is";
    const QStringList states = rig.LoggedStates().mid(logged);
    EXPECT_TRUE(states.contains("0")) << "restarted" << states.join(' ').toStdString();
    EXPECT_FALSE(states.contains("5")) << "not a watchdog expiry";
    EXPECT_TRUE(SendMsgAndWait(rig.link, Request(CMD_READ_MEM2)));
}

TEST(SendMsgAndWait, AStoppedLinkTimerCannotHoldTheCaller) {
    LinkRig rig(QuickFixedCom1);
    ASSERT_TRUE(rig.Connect());
    rig.TimerRunning(false);
    EXPECT_FALSE(SendMsgAndWait(rig.link, Request(CMD_READ_MEM1)));
    EXPECT_EQ(rig.link.ComState(), COM_RESTART);
}

TEST(SendMsgAndWait, RefusedAtOnceWhenTheLinkIsNotReady) {
    LinkRig rig;
    ASSERT_TRUE(rig.Connect());
    rig.TimerRunning(false);
    rig.link.ComState(COM_STOP);
    const double start = rig.time.NowUsec();
    EXPECT_FALSE(SendMsgAndWait(rig.link, Request(CMD_READ_MEM1)));
    EXPECT_NEAR(rig.time.NowUsec() - start, 500000, 2000);
    EXPECT_EQ(rig.link.ComState(), COM_STOP);
    EXPECT_EQ(rig.Received(CMD_READ_MEM1), 0);
}

TEST(Dispatch, RepliesReachTheirStores) {
    LinkRig rig;
    ASSERT_TRUE(rig.Connect());
    rig.ecu.ErrorBytes().fill(3);

    ASSERT_TRUE(SendMsgAndWait(rig.link, Request(CMD_READ_ERR)));
    EXPECT_EQ(rig.link.ErrInj(0), 3);
    EXPECT_EQ(rig.link.ErrInj(63), 3);
    ASSERT_TRUE(SendMsgAndWait(rig.link, Request(CMD_CANC_ERR)));
    EXPECT_EQ(rig.link.ErrInj(0), 0);

    ASSERT_TRUE(SendMsgAndWait(rig.link, Request(CMD_SET_ECU_SLAVE, QByteArray(1, '\0'))));
    EXPECT_EQ(rig.link.EcuState(), ECU_SLAVE);
    ASSERT_TRUE(SendMsgAndWait(rig.link, Request(CMD_SET_ECU_RUN, QByteArray(1, '\0'))));
    EXPECT_EQ(rig.link.EcuState(), ECU_RUN);

    ASSERT_TRUE(SendMsgAndWait(rig.link, Request(CMD_READ_TBL_COR, QByteArray::fromHex("0030"))));
    EXPECT_EQ(PopReplyQueue(rig.link).size(), 96);
    ASSERT_TRUE(
        SendMsgAndWait(rig.link, Request(CMD_READ_MEM_ZONE, QByteArray::fromHex("00FFE00006"))));
    EXPECT_EQ(PopReplyQueue(rig.link), QByteArray::fromHex("011214042011"));
    EXPECT_EQ(PopReplyQueue(rig.link), QByteArray());

    ASSERT_TRUE(SendMsgAndWait(rig.link, Request(CMD_READ_MEM1)));
    ASSERT_EQ(rig.host.calls.size(), 1);
    EXPECT_EQ(rig.host.calls[0].first, "ParseMem1");
    EXPECT_EQ(rig.host.calls[0].second.size(), 97) << "the whole reply frame";

    ASSERT_TRUE(SendMsgAndWait(rig.link, Request(CMD_GET_ADR_VAR)));
    EXPECT_TRUE(rig.link.RichiediIndVar());
}

TEST(Dispatch, FlashEndHoldsTheLinkTenSeconds) {
    LinkRig rig;
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(SendMsgAndWait(rig.link, Request(CMD_SET_ECU_PRG, QByteArray(1, '\0'))));
    EXPECT_EQ(rig.link.EcuState(), ECU_PRG);
    const double start = rig.time.NowUsec();
    ASSERT_TRUE(SendMsgAndWait(rig.link, Request(CMD_WRT_FLASH_END)));
    EXPECT_GE(rig.time.NowUsec() - start, 10e6);
    EXPECT_LT(rig.time.NowUsec() - start, 11e6);
    EXPECT_EQ(rig.link.EcuState(), ECU_RUN);
    EXPECT_FALSE(rig.link.WDogPresente());
}

TEST(LinkStop, ClosesThePortAndStaysStopped) {
    LinkRig rig;
    ASSERT_TRUE(rig.Connect());
    rig.link.ComState(COM_STOP);
    RunFor(10s);
    EXPECT_EQ(rig.link.ComState(), COM_STOP);
    EXPECT_FALSE(rig.link.IsOpen());
    EXPECT_EQ(rig.port.Handle(), 0);
    EXPECT_FALSE(rig.link.WDogPresente());
    EXPECT_EQ(rig.tree.Read("BIN/Handle.ini"), "\r\n");
    rig.link.ComState(COM_RESTART);
    EXPECT_TRUE(rig.Connect());
}

// A line that carries bytes which never frame (a wrong device, a chattering adapter):
// a receive buffer longer than any reply is a damaged reply at once, so the buffer, and
// the log lines that show it, stay small; the resends run out and the link restarts.
TEST(LinkJunk, BytesThatNeverFrameKeepTheReceiveBufferBounded) {
    testing_support::TempTree tree;
    testing_support::FakeTime time;
    double sentUpTo = time.NowUsec();
    const auto junk = [&sentUpTo](double now) {
        constexpr double ByteUsec = 1e6 / 3840; // the wire rate
        QByteArray bytes;
        for (; sentUpTo + ByteUsec <= now; sentUpTo += ByteUsec) {
            bytes.append('\x55');
        }
        return bytes;
    };
    testing_support::SimPort port([](const QByteArray&, double) {}, junk,
                                  [] { return std::optional<double>(); },
                                  testing_support::SimDevice);
    platform::FakeFtdiDriver ftdi;
    tree.Write("BIN/ComPorts.ini", "[COM1]\r\n" + testing_support::SimDevice.toLatin1() + "\r\n");
    tree.Write("BIN/SetCom.ini", link_test::FixedCom1);
    ClsComm link(tree.Root(), port, ftdi);
    link.ReadSetCom("/BIN/SetCom.ini");
    double nextTick = time.NowUsec();
    time.onPump = [&] {
        if (time.NowUsec() >= nextTick) {
            nextTick = time.NowUsec() + 1000;
            ProcessComState(link);
        }
    };
    WaitFor([&] { return link.ComState() == COM_ERROR; }, 120s);
    time.onPump = nullptr;

    const QList<QByteArray> log = link_test::ReadLogLines(tree);
    qsizetype longest = 0;
    for (const QByteArray& line : log) {
        longest = std::max(longest, line.size());
    }
    // Before the reply deadline the buffer would hold 4 s of the line (about 15 KB).
    EXPECT_LT(longest, 2 * 1024);
    EXPECT_LT(tree.Read("BIN/RxTx.TXT").size(), 4 * 1024 * 1024);
    EXPECT_EQ(link.ComState(), COM_ERROR);
}

// A stop (or restart) set while a frame's bytes go out stands: the send ends there,
// nothing waits for a reply or resends, and the caller gets False.
TEST(SendMsgAndWait, AStopDuringTheSendStands) {
    for (const quint8 setDuringSend : {quint8(COM_STOP), quint8(COM_RESTART)}) {
        LinkRig rig;
        ASSERT_TRUE(rig.Connect());
        rig.link.AttesaByteTx_usec(100000); // a slow send: 0.1 s a byte
        const double stopAt = rig.time.NowUsec() + 250000;
        bool set = false;
        const std::function<void()> tick = rig.time.onPump;
        rig.time.onPump = [&] {
            if (!set && rig.time.NowUsec() >= stopAt) {
                set = true;
                rig.TimerRunning(setDuringSend == COM_RESTART); // a stopped link stays so
                rig.link.ComState(setDuringSend);
            }
            tick();
        };
        EXPECT_FALSE(SendMsgAndWait(rig.link, Request(CMD_READ_ERR)));
        EXPECT_TRUE(set);
        if (setDuringSend == COM_STOP) {
            RunFor(10s);
            EXPECT_EQ(rig.link.ComState(), COM_STOP);
        }
        EXPECT_EQ(rig.Received(CMD_READ_ERR), 0);
        const QList<QByteArray> log = rig.LogLines();
        EXPECT_TRUE(log.last().contains(" D 4102031A5A") || setDuringSend == COM_RESTART)
            << log.last().constData();
        EXPECT_EQ(std::count_if(log.begin(), log.end(),
                                [](const QByteArray& l) { return l == "\"CMD_READ_ERR\""; }),
                  1)
            << "no resend";
    }
}

// The pump's next step: a sent frame wakes it (OnWork) and it then sleeps through the
// Idle_usec wait to the first read; reading goes at once; idle, it sleeps to the
// keep-alive; a stop wakes it at once and then only new work does.
TEST(NextStepDueUsec, SleepsThroughKnownWaitsAndWakesForWork) {
    LinkRig rig;
    ASSERT_TRUE(rig.Connect());
    RunFor(10ms);
    int wakes = 0;
    rig.link.OnWork([&wakes] { ++wakes; });
    const double now = rig.time.NowUsec();
    EXPECT_EQ(NextStepDueUsec(rig.link), rig.link.SilenceDeadline() + 1) << "idle: the keep-alive";
    EXPECT_GT(NextStepDueUsec(rig.link), now + 3e6);

    rig.TimerRunning(false);
    ASSERT_TRUE(rig.link.SendMsg(Request(CMD_READ_MEM2)));
    EXPECT_GE(wakes, 1) << "a queued request wakes the pump";
    EXPECT_EQ(NextStepDueUsec(rig.link), rig.link.RxNotBefore());
    EXPECT_GE(rig.link.RxNotBefore() - rig.time.NowUsec(), rig.link.Idle_usec() - 1);
    rig.time.Advance(rig.link.Idle_usec() + 1);
    EXPECT_EQ(NextStepDueUsec(rig.link), rig.time.NowUsec()) << "reading: every tick";

    wakes = 0;
    rig.link.ComState(COM_STOP);
    EXPECT_EQ(wakes, 1) << "OFFLINE wakes the pump";
    EXPECT_EQ(NextStepDueUsec(rig.link), std::numeric_limits<double>::infinity());
    rig.link.OnWork(nullptr);
}

// Only a try left without a reply for the whole reply wait says that the ECU does not
// answer, and leaves the live record stale; a damaged reply is an answer.
TEST(NoReply, OnlyATryUnansweredWithinTheReplyWaitCounts) {
    const struct {
        sim::FaultKind kind;
        bool noReply;
    } cases[] = {{sim::FaultKind::Garble, false}, {sim::FaultKind::Silence, true}};
    for (const auto& c : cases) {
        const std::string name = sim::FaultKindName(c.kind).toStdString();
        LinkRig rig(QuickFixedCom1);
        ASSERT_TRUE(rig.Connect());
        ASSERT_TRUE(SendMsgAndWait(rig.link, Request(CMD_READ_MEM1)));
        rig.ecu.AddFault(Fault(c.kind, sim::kForever, 0, CMD_READ_ERR));
        EXPECT_FALSE(SendMsgAndWait(rig.link, Request(CMD_READ_ERR))) << name;
        EXPECT_EQ(rig.link.NoReply(), c.noReply) << name;
        EXPECT_EQ(rig.link.LiveStale(), c.noReply) << name;
    }
}

// The ECU is heard again at its first good reply; the live record is current again only
// with the next live record.
TEST(NoReply, EndsAtAGoodReplyAndTheStaleLiveRecordAtTheNextLiveRecord) {
    LinkRig rig(QuickFixedCom1);
    ASSERT_TRUE(rig.Connect());
    rig.ecu.AddFault(Fault(sim::FaultKind::Silence, 1, 0, CMD_READ_ERR));
    ASSERT_TRUE(SendMsgAndWait(rig.link, Request(CMD_READ_ERR)));
    EXPECT_FALSE(rig.link.NoReply());
    EXPECT_TRUE(rig.link.LiveStale());
    ASSERT_TRUE(SendMsgAndWait(rig.link, Request(CMD_READ_MEM1)));
    EXPECT_FALSE(rig.link.LiveStale());
}
