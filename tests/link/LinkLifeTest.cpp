// One life of the link against the simulated ECU mapped as COM3, read from BIN/RxTx.TXT
// as an installer would: a search from the cable that settles on COM3, keep-alives
// while idle, an ECU that falls silent and answers again.

#include "LinkRig.h"
#include "common/Wait.h"
#include "link/Frames.h"
#include "link/LinkStateMachine.h"

#include <QFile>
#include <gtest/gtest.h>

using testing_support::RunFor;
using testing_support::WaitFor;
using namespace std::chrono_literals;

using namespace comm;
using link_test::LinkRig;

namespace {

struct LogLine {
    qint64 ms = -1; // -1: a name line, which has no time stamp
    QString text;
};

QList<LogLine> ParseLog(const LinkRig& rig) {
    QList<LogLine> lines;
    for (const QByteArray& raw : rig.LogLines()) {
        const QString line = QString::fromLatin1(raw).remove('"');
        const qsizetype blank = line.indexOf(' ');
        bool stamped = false;
        const qint64 ms = line.left(blank).toLongLong(&stamped);
        lines.append(stamped ? LogLine{ms, line.mid(blank + 1)} : LogLine{-1, line});
    }
    return lines;
}

QStringList Texts(const QList<LogLine>& lines) {
    QStringList texts;
    for (const LogLine& line : lines) {
        texts << line.text;
    }
    return texts;
}

const QString ProbeSent = "T 4102060945434F05";
const QString ProbeReply = "R 42010409004E";

} // namespace

TEST(LinkLife, SearchKeepAliveSilenceAndReconnectionOnCom3) {
    LinkRig rig(QByteArray(), 3); // no BIN/SetCom.ini: the search starts at the cable

    // The cable (none plugged), COM1 and COM2 fail to open; COM3 gets the probe. The
    // settings file waits for the probe's reply.
    ASSERT_TRUE(WaitFor([&] { return rig.link.ComState() == COM_WAIT_REPLY; }, 120s));
    EXPECT_FALSE(QFile::exists(rig.tree.Path("BIN/SetCom.ini")));
    ASSERT_TRUE(rig.Connect());
    EXPECT_EQ(rig.link.ComPort(), 3);
    EXPECT_FALSE(rig.link.UsbCom());
    EXPECT_EQ(rig.ftdi.listCalls, 1);
    EXPECT_TRUE(rig.tree.Read("BIN/SetCom.ini").contains("[Comport]\r\n3\r\n"));
    RunFor(1ms);
    EXPECT_EQ(Texts(ParseLog(rig)),
              (QStringList{"C 7", "C 0", "C 7", "open /dev/ttyS0 2 No such file or directory",
                           "C 0", "C 7", "open /dev/ttyS1 2 No such file or directory", "C 0",
                           "C 7", "CMD_GET_ECO", ProbeSent, "C 3", ProbeReply, "C 1"}))
        << "a failed open leaves its state lines and the reason";

    // Idle: a keep-alive 4 s after the last reply, each answered.
    const qsizetype idleFrom = ParseLog(rig).size();
    RunFor(13s);
    const QList<LogLine> log = ParseLog(rig);
    int keepAlives = 0;
    qint64 lastReply = log[idleFrom - 2].ms; // the probe's reply, before "C 1"
    for (const LogLine& line : log.mid(idleFrom)) {
        if (line.text == ProbeSent) {
            ++keepAlives;
            // The line is written once the frame is out: 8 bytes at 500 us.
            EXPECT_NEAR(line.ms - lastReply, 4000 + 4, 2) << "after 4 s of silence";
        } else if (line.text == ProbeReply) {
            lastReply = line.ms;
        } else if (line.ms >= 0) {
            EXPECT_TRUE(line.text == "C 3" || line.text == "C 1") << line.text.toStdString();
        }
    }
    EXPECT_EQ(keepAlives, 3);
    EXPECT_EQ(rig.link.ComState(), COM_READY);

    // The ECU falls silent: the request goes out eleven times, 4.1 s apart (reply wait
    // plus idle time), then the search moves on without a word and the caller hears of
    // the failure.
    sim::Fault silence;
    silence.kind = sim::FaultKind::Silence;
    silence.count = sim::kForever;
    rig.ecu.AddFault(silence);
    const qsizetype silentFrom = ParseLog(rig).size();
    const QByteArray readMem1 = BuildMsg(ReqHeader, ReqByte2, CMD_READ_MEM1, {});
    EXPECT_FALSE(SendMsgAndWait(rig.link, readMem1));
    QList<qint64> sends;
    for (const LogLine& line : ParseLog(rig).mid(silentFrom)) {
        if (line.text == "T 4102030C4C") {
            sends << line.ms;
        }
        EXPECT_FALSE(line.text.startsWith("R ")) << line.text.toStdString();
    }
    ASSERT_EQ(sends.size(), 11);
    for (qsizetype i = 1; i < sends.size(); ++i) {
        EXPECT_NEAR(sends[i] - sends[i - 1], 4100, 5) << i;
    }
    EXPECT_TRUE(rig.BoxTexts().isEmpty());

    // It answers again: the search restarts from COM4, goes round (COM4..COM9, the
    // cable, COM1, COM2) and reconnects on COM3.
    rig.ecu.ClearFaults();
    const qsizetype statesFrom = rig.LoggedStates().size();
    ASSERT_TRUE(rig.Connect());
    RunFor(1ms);
    QStringList expected;
    for (int failed = 0; failed < 9; ++failed) {
        expected << "7"
                 << "0";
    }
    expected << "7"
             << "3"
             << "1";
    EXPECT_EQ(rig.LoggedStates().mid(statesFrom), expected);
    EXPECT_EQ(rig.link.ComPort(), 3);
    EXPECT_TRUE(SendMsgAndWait(rig.link, readMem1));
}
