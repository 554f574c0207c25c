// The ECU pulled away while connected, with the link timings the program ships with (a
// reply wait of 4 s and ten resends): the status leaves "COM OK" without waiting out
// every resend, the link log grows by a few lines a try while the device is gone, and a device
// back on the same path is found again.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;
// Frames sent after the device went, before the status left "COM OK": a link that waits
// out every resend sends eleven.
constexpr int MaxSendsAfterGone = 2;
// What one failed reopen of the missing path may add to the link log: a few lines.
constexpr qint64 MaxLogBytesPerTry = 2048;
// Enough failed reopens of the missing path to measure the log's growth over.
constexpr int RestartsToWatch = 5;

// A fixed COM1 with the shipped timings: 500 us a byte, a 4 s reply wait after 100 ms
// of idle, ten resends.
QByteArray ShippedTimings() {
    return "[Comport]\r\n1\r\n[SearchCom]\r\n 255 \r\n[UsbCom]\r\n 0 \r\n"
           "[AttesaByteTx_usec]\r\n500\r\n[AttesaGlobale_usec]\r\n4000000\r\n"
           "[MolAttesaGlobale]\r\n500\r\n[Idle_usec]\r\n100000\r\n[NumResend]\r\n10\r\n";
}

// The link's cell of the status bar.
QString StatusText(StagedProgram& staged) {
    return staged.ReadControl("TxtStatusBar(1)").value_or(QMap<QString, QString>()).value("text");
}

int RestartsAfter(const StagedProgram& staged, qint64 ms) {
    int n = 0;
    for (const LogLine& line : staged.LogLines()) {
        n += line.ms > ms && line.text == "C 0";
    }
    return n;
}

TEST(EndToEndVanishedDevice, IsALostLinkAtOnceWithASmallLogAndIsFoundAgain) {
    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    staged.SetTimeScale(1);
    ASSERT_TRUE(staged.Write("BIN/SetCom.ini", ShippedTimings()));
    staged.MapCom(1, staged.StartSim("ecu"));
    ASSERT_TRUE(staged.StartProgram());
    const auto connected = [&](qint64 afterMs) {
        return GoodExchangesAfter(staged, "CMD_READ_MEM1", afterMs).size() >= 3 &&
               StatusText(staged).startsWith("COM OK");
    };
    ASSERT_TRUE(WaitFor([&] { return connected(0); }, LongMs * 1ms))
        << staged.Read("BIN/RxTx.TXT").right(3000).constData();

    const QString log = staged.Path("BIN/RxTx.TXT");
    const qint64 stopMs = staged.LogLines().last().ms;
    ASSERT_TRUE(staged.StopSim("ecu"));
    const qint64 logAtStop = QFileInfo(log).size();
    ASSERT_TRUE(WaitFor([&] { return !StatusText(staged).startsWith("COM OK"); }, LongMs * 1ms));
    const auto sendsAfterGone = [&] {
        int n = 0;
        for (const LoggedRequest& r : staged.Requests()) {
            n += r.ms > stopMs;
        }
        return n;
    };
    EXPECT_LE(sendsAfterGone(), MaxSendsAfterGone)
        << "the status stood at \"COM OK\" through the resends with the device gone\n"
        << staged.Read("BIN/RxTx.TXT").right(3000).constData();

    // While the device stays gone the link keeps trying the missing path; the status
    // never says "COM OK" and the log grows by a few lines a try.
    QStringList okTexts;
    ASSERT_TRUE(WaitFor(
        [&] {
            const QString status = StatusText(staged);
            if (status.startsWith("COM OK")) {
                okTexts << status;
            }
            return RestartsAfter(staged, stopMs) >= RestartsToWatch;
        },
        LongMs * 1ms))
        << staged.Read("BIN/RxTx.TXT").right(3000).constData();
    const qint64 tries = RestartsAfter(staged, stopMs);
    const qint64 bytesPerTry = (QFileInfo(log).size() - logAtStop) / tries;
    EXPECT_TRUE(okTexts.isEmpty()) << okTexts.join(", ").toStdString();
    EXPECT_LT(bytesPerTry, MaxLogBytesPerTry)
        << staged.Read("BIN/RxTx.TXT").right(3000).constData();

    // A new ECU on the same path: found, identified and polled again.
    const qint64 backMs = staged.LogLines().last().ms;
    ASSERT_FALSE(staged.StartSim("ecu").isEmpty());
    ASSERT_TRUE(WaitFor([&] { return connected(backMs); }, LongMs * 1ms))
        << staged.Read("BIN/RxTx.TXT").right(3000).constData();
    EXPECT_FALSE(GoodExchangesAfter(staged, "CMD_READ_FIRMWARE", backMs).isEmpty());
    EXPECT_TRUE(staged.MessageBoxes().isEmpty()) << staged.MessageBoxes().join('\n').toStdString();
    EXPECT_TRUE(staged.ProgramRunning());
}

} // namespace
} // namespace e2e
