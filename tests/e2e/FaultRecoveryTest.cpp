// The program against a simulated ECU that fails while a pending edit is being written:
// it falls silent, answers with garbage, a bad checksum, the wrong command, status 254
// or 255, in two pieces, or hangs up. Each time the program recovers, writes the edit
// once the ECU answers again, and leaves its files whole.
//
// The edit is the end-of-gas check switched off (zone 3), chosen on the Configuration
// page: the deferred zone-3 write then reads the zone, merges the edit and writes it,
// which is where the fault strikes.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int StartMs = 30000;
constexpr int RecoverMs = 60000;

// The end-of-gas byte of zone 3 in a write request and in a read reply; the simulated
// ECU starts with it on (1).
constexpr int EmptyGasInRequest = 4 + 67;
constexpr int EmptyGasInReply = 5 + 67;
const QStringList Edit = {"tab SstMain 1", "choose CmbEmptyGas 0"};

struct FaultCase {
    const char* name;
    const char* fault; // lx735-sim's fault on the zone-3 write (command 17)
    bool restarts;     // the write fails for good: the link restarts and reconnects
};

void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << c.fault;
}

// The staged settings resend twice: count=3 spoils the first send and both resends.
const FaultCase Cases[] = {
    {"SilentMidWrite", "silence count=3", true},
    {"GarbageBeforeTheReply", "noise count=3", true},
    {"GarbledReply", "garble count=3", true},
    {"BadChecksum", "badchecksum count=3", true},
    {"WrongEcho", "wrongecho count=3", true},
    {"Status254", "status value=254 count=3", true},
    {"Status255", "status value=255 count=3", true},
    {"SplitReplyWithinTheDeadline", "split value=200000", false},
    {"SplitReplyPastTheDeadline", "split value=1500000 count=3", true},
    {"HangUp", "hangup value=1000000", true},
};

int GoodCount(const QList<LoggedExchange>& exchanges, const QString& name, qint64 afterMs = 0) {
    int n = 0;
    for (const LoggedExchange& e : exchanges) {
        n += e.name == name && e.ms > afterMs && e.Good();
    }
    return n;
}

// The zone-3 writes, the good one among them, and the read-back after it.
struct EditHistory {
    QList<LoggedExchange> writes;
    std::optional<LoggedExchange> goodWrite;
    std::optional<LoggedExchange> readBack;
    int liveReadsAfter = 0;
};

EditHistory History(const StagedProgram& staged) {
    EditHistory h;
    const QList<LoggedExchange> exchanges = staged.Exchanges();
    for (const LoggedExchange& e : exchanges) {
        if (e.name == "CMD_WRT_MEM3") {
            h.writes.append(e);
            if (e.Good() && !h.goodWrite) {
                h.goodWrite = e;
            }
        } else if (e.name == "CMD_READ_MEM3" && h.goodWrite && !h.readBack && e.Good()) {
            h.readBack = e;
        }
    }
    if (h.readBack) {
        h.liveReadsAfter = GoodCount(exchanges, "CMD_READ_MEM1", h.readBack->ms);
    }
    return h;
}

bool LinesBetween(const StagedProgram& staged, qint64 from, qint64 to, const QString& text) {
    for (const LogLine& line : staged.LogLines()) {
        if (line.ms > from && line.ms < to && line.text == text) {
            return true;
        }
    }
    return false;
}

// Every line of the link log is one whole quoted entry ended by CR LF.
bool LinkLogWhole(const QByteArray& log) {
    static const QRegularExpression whole("^(\"[^\"\\r\\n]*\"\\r\\n)+$");
    return whole.match(QString::fromLatin1(log)).hasMatch();
}

class EndToEndFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(EndToEndFaults, RecoversAndWritesThePendingEditOnce) {
    const FaultCase& c = GetParam();
    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    // A search: the program writes its port settings when it accepts the ECU found.
    staged.WriteSetCom(1, true);
    const QByteArray language = staged.Read("LNG/M3.con");
    staged.MapCom(1, staged.StartSim("com1", {"--fault", QString(c.fault) + " cmd=17"}));
    ASSERT_TRUE(staged.StartProgram());
    ASSERT_TRUE(
        WaitFor([&] { return GoodCount(staged.Exchanges(), "CMD_READ_MEM1") >= 3; }, StartMs * 1ms))
        << staged.Read("BIN/RxTx.TXT").right(3000).toStdString();
    ASSERT_TRUE(staged.Run(Edit));

    ASSERT_TRUE(WaitFor([&] { return History(staged).liveReadsAfter >= 3; }, RecoverMs * 1ms))
        << "the edit is written, read back and polling goes on\n"
        << staged.Read("BIN/RxTx.TXT").right(6000).toStdString();
    const EditHistory h = History(staged);
    ASSERT_FALSE(h.writes.isEmpty());
    for (const LoggedExchange& write : h.writes) {
        ASSERT_GT(write.request.size(), EmptyGasInRequest);
        EXPECT_EQ(write.request[EmptyGasInRequest], 0) << "every try carries the edit";
    }
    EXPECT_EQ(h.writes.last().ms, h.goodWrite->ms) << "written once: nothing after the good write";
    ASSERT_GT(h.readBack->reply.size(), EmptyGasInReply);
    EXPECT_EQ(h.readBack->reply[EmptyGasInReply], 0) << "the ECU holds the edit";

    const qint64 firstTry = h.writes.first().ms;
    const qint64 written = h.goodWrite->ms;
    if (c.restarts) {
        EXPECT_GE(h.writes.size(), 2);
        EXPECT_TRUE(LinesBetween(staged, firstTry, written, "C 0")) << "the link restarted";
        EXPECT_GE(GoodCount(staged.Exchanges(), "CMD_READ_FIRMWARE", firstTry), 1)
            << "the ECU was identified again";
    } else {
        EXPECT_EQ(h.writes.size(), 1);
        EXPECT_FALSE(LinesBetween(staged, firstTry, written + 1, "C 0"));
    }

    // A write the ECU refused on every try is told once, naming the block; any other
    // fault is the link's, shown in the status bar alone.
    const bool refused = QString(c.fault).startsWith("status");
    if (refused) {
        ASSERT_TRUE(WaitFor([&] { return !staged.MessageBoxes().isEmpty(); }, RecoverMs * 1ms));
    }
    const QStringList boxes = staged.MessageBoxes();
    ASSERT_EQ(boxes.size(), refused ? 1 : 0) << boxes.join("\n").toStdString();
    if (refused) {
        EXPECT_TRUE(boxes[0].contains("refuses") && boxes[0].contains("Parameters, zone 3"))
            << boxes[0].toStdString();
    }
    EXPECT_TRUE(staged.ProgramRunning());

    // The files the program owns are whole.
    EXPECT_TRUE(LinkLogWhole(staged.Read("BIN/RxTx.TXT")));
    EXPECT_EQ(staged.Read("LNG/M3.con"), language);
    // The port settings as the program wrote them on accepting the ECU: the test's own,
    // with the search ended on the port found.
    const QByteArray setCom = staged.Read("BIN/SetCom.ini");
    staged.WriteSetCom(1, false);
    EXPECT_EQ(setCom, staged.Read("BIN/SetCom.ini"));
}

INSTANTIATE_TEST_SUITE_P(WhileWritingAnEdit, EndToEndFaults, testing::ValuesIn(Cases),
                         [](const testing::TestParamInfo<FaultCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace e2e
