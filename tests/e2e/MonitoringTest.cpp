// The program on the simulated ECU: the identification at connection, then the
// periodic reads at their rates, as the link log shows them.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;

// The periodic reads come in proportion to the poll ticks: per error read (504 ticks)
// the live record 63 times (8 ticks; a few fewer when a read raised again before it
// was served is read once), zone 2 21 times (24 ticks), zone 3 9 or 10 (54 ticks).
TEST(EndToEndMonitoring, IdentifiesTheEcuThenPollsEachZoneAtItsRate) {
    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    staged.MapCom(1, staged.StartSim("com1"));
    ASSERT_TRUE(staged.StartProgram());
    ASSERT_TRUE(WaitFor([&] { return staged.Requests("CMD_READ_ERR").size() >= 2; }, LongMs * 1ms))
        << staged.Read("BIN/RxTx.TXT").right(2000).toStdString();

    const QList<LoggedRequest> identification = staged.Requests("CMD_READ_FIRMWARE");
    const QList<LoggedRequest> live = staged.Requests("CMD_READ_MEM1");
    const QList<LoggedRequest> errors = staged.Requests("CMD_READ_ERR");
    ASSERT_FALSE(identification.isEmpty());
    ASSERT_FALSE(live.isEmpty());
    EXPECT_LT(identification.first().ms, live.first().ms) << "identified before polling";
    // The first error read comes with the poll's first error-read period (63 live reads),
    // not after a delay of its own: counted in live reads, with a period's slack.
    qsizetype liveBeforeErrors = 0;
    for (const LoggedRequest& r : live) {
        liveBeforeErrors += r.ms < errors.first().ms;
    }
    EXPECT_LE(liveBeforeErrors, 2 * 63);

    // One error-read period.
    const qint64 from = errors[0].ms;
    const qint64 to = errors[1].ms;
    const auto countIn = [&](const QString& name) {
        int n = 0;
        for (const LoggedRequest& r : staged.Requests(name)) {
            n += r.ms > from && r.ms <= to;
        }
        return n;
    };
    const int mem1 = countIn("CMD_READ_MEM1");
    const int mem2 = countIn("CMD_READ_MEM2");
    const int mem3 = countIn("CMD_READ_MEM3");
    EXPECT_GE(to - from, 504 * 14 * 9 / 10) << "504 ticks of 14 ms";
    EXPECT_GE(mem1 * 1000.0 / double(to - from), 3.0) << "several live reads a second";
    EXPECT_GE(mem1, 50);
    EXPECT_LE(mem1, 64);
    EXPECT_GE(mem2, 19);
    EXPECT_LE(mem2, 22);
    EXPECT_GE(mem3, 8);
    EXPECT_LE(mem3, 11);
    EXPECT_EQ(staged.Requests("CMD_READ_FIRMWARE").size(), identification.size())
        << "identified once";
    EXPECT_TRUE(staged.Events().isEmpty()) << "no box";
    EXPECT_TRUE(staged.ProgramRunning());
}

} // namespace
} // namespace e2e
