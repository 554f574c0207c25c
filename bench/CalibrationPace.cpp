// lx735-bench-calibration: one whole automatic calibration of lx735 offscreen against
// lx735-sim at the wire pace, on the link timings the program ships with and with its
// pauses at their real length. Prints the time from Start to the confirmation beside the
// least time that the run's states, the 250 ms tick and the link allow (and how that is
// derived), and their ratio: a run that keeps the tick's pace stays close to 1. The
// calibration parameters are the short ones the end-to-end tests use, so that a run
// takes about a minute. Run by hand; not a test.

#include "common/Staging.h"
#include "common/Wait.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using staging::Child;
using staging::StagedTree;

constexpr int ConnectMs = 60000;
constexpr int RunMs = 600000;
const QString CrLf = QStringLiteral("\r\n");
const QString Confirm = "Calibration successful" + CrLf + CrLf + "Press Start to store the result";
const QString ControlFile = QStringLiteral("sim-com1.control");

// The link timings the program ships with (staging::PortSettings' defaults): a pause after
// each byte sent, the reply looked for no sooner than the idle time after the request,
// from a simulator that answers at the wire's pace.
struct LinkPace {
    double byteUsec = 500;
    double idleUsec = 100000;
    // The shortest exchange: the request (5 bytes and its data) sent byte by byte, the
    // reply (6 bytes and its data, 10 bits a byte at 38400 baud) not read before idle.
    double ExchangeUsec(int requestData, int replyData) const {
        return (5 + requestData) * byteUsec + std::max(idleUsec, (6 + replyData) * 1e7 / 38400);
    }
};

// What a run did: its cycles and supply-mode writes; p(n) is calibration parameter Pn.
struct RunShape {
    std::function<int(int)> p;
    int maxCycles = 0;
    int minCycles = 0;
    int modeWrites = 0;
};

// The least time from Start to the confirmation: every tick waits for the 250 ms timer
// and takes at least its reads of the live record and of zone 2, its own write and its
// pauses; a state writes the supply mode on every tick until the ECU reports it.
double LeastRunUsec(const LinkPace& link, const RunShape& run, QStringList* derivation) {
    constexpr double TickUsec = 250000;
    constexpr int LiveRecord = 91, Zone2 = 14; // data bytes on the wire
    const auto& p = run.p;
    const double reads = link.ExchangeUsec(0, LiveRecord) + link.ExchangeUsec(0, Zone2);
    // The cycles' fixed counts: samples of cycles 0 and 1, the pause after cycle 1.
    const auto maxSamples = [&](int i) { return i == 0 ? 4 : i == 1 ? 6 : p(6); };
    const auto maxPause = [&](int done) { return done == 1 ? 8 : p(7); };
    const auto minSamples = [&](int i) { return i == 0 ? 6 : i == 1 ? 4 : p(17); };
    const auto minPause = [&](int done) { return done == 1 ? 4 : p(18); };

    std::vector<double> extra; // per tick, what it takes beside its reads
    const auto ticks = [&](int count, double usec = 0) { extra.insert(extra.end(), count, usec); };
    ticks(1, link.ExchangeUsec(0, 0) + 1e6);      // the ECU to slave mode, 1 s to settle
    ticks(1, 1e6);                                // seen in slave mode, 1 s again
    ticks(1, 10 * 20000 + 500000);                // the temperature reached
    ticks(p(2) + (p(3) + 1) + p(4) + (p(5) + 1)); // settle, reference, rpm wait, raised
    int maxTicks = 0;
    for (int i = 0; i < run.maxCycles; ++i) {
        maxTicks += maxSamples(i) + 1 + (i + 1 < run.maxCycles ? maxPause(i + 1) : 0);
    }
    ticks(maxTicks); // the first clears, N - 1 sample, the last adds the Nth and writes mode 0
    ticks(p(16));    // back at the reference rpm
    int minTicks = 0;
    for (int i = 0; i < run.minCycles; ++i) {
        minTicks += minSamples(i) + 1 + (i + 1 < run.minCycles ? minPause(i + 1) : 0);
    }
    ticks(minTicks);
    ticks(run.modeWrites, link.ExchangeUsec(Zone2, 0)); // each on a tick of its own
    double least = TickUsec + reads; // the first tick after Start; the last shows the result
    for (const double usec : extra) {
        least += std::max(TickUsec, reads + usec);
    }
    *derivation
        << QString("tick %1 ms; its two reads %2 ms (live record %3 and zone 2 %4 data bytes, "
                   "%5 us a byte sent, replies read no sooner than %6 ms)")
               .arg(TickUsec / 1000)
               .arg(reads / 1000, 0, 'f', 1)
               .arg(LiveRecord)
               .arg(Zone2)
               .arg(link.byteUsec)
               .arg(link.idleUsec / 1000)
        << QString("start: slave mode and two 1 s settles, the temperature's 0.7 s; settle P2 "
                   "%1, reference P3+1 %2, rpm wait P4 %3, raised rpm P5+1 %4 ticks")
               .arg(p(2))
               .arg(p(3) + 1)
               .arg(p(4))
               .arg(p(5) + 1)
        << QString("%1 raised-rpm cycles (N+1 ticks each) with their pauses %2 ticks; back at idle "
                   "P16 %3; %4 "
                   "idle cycles (N+1 each) with their pauses %5 ticks; %6 supply-mode writes")
               .arg(run.maxCycles)
               .arg(maxTicks)
               .arg(p(16))
               .arg(run.minCycles)
               .arg(minTicks)
               .arg(run.modeWrites)
        << QString("%1 ticks in all, each the longer of the tick and what it takes")
               .arg(extra.size() + 1);
    return least;
}

void Print(const QString& text) {
    std::fputs(qPrintable(text + "\n"), stdout);
    std::fflush(stdout);
}

int Fail(const QString& why) {
    std::fputs(qPrintable("lx735-bench-calibration: " + why + "\n"), stderr);
    return 1;
}

int Requests(const StagedTree& tree, const QString& name, qint64 afterMs) {
    const QList<staging::LoggedRequest> requests = tree.Log().Requests();
    return static_cast<int>(std::count_if(requests.begin(), requests.end(), [&](const auto& r) {
        return r.name == name && r.ms > afterMs;
    }));
}

bool SimControl(const StagedTree& tree, const QString& lines) {
    const QString path = tree.Path(ControlFile);
    return tree.Drop(ControlFile, lines.toUtf8() + '\n') &&
           testing_support::WaitFor([&] { return !QFile::exists(path); },
                                    std::chrono::milliseconds(staging::StartMs));
}

int Measure() {
    StagedTree tree({LX735_EXECUTABLE, LX735_SIM_EXE, LX735_ROOT_DIR});
    if (!tree.Valid()) {
        return Fail("cannot copy the runnable tree " LX735_ROOT_DIR);
    }
    RunShape run;
    const LinkPace pace;
    Child sim;
    Child program;
    const QString link = tree.Path("BIN/com1");
    // The short waits and cycles the end-to-end tests stage.
    if (!tree.ShortenCalibration() || !tree.WriteSetCom({}) || !tree.WriteComPorts({{1, link}})) {
        return Fail("cannot stage the parameters and port settings");
    }
    if (!tree.StartSim(sim, link, {"--control", tree.Path(ControlFile)}) ||
        !SimControl(tree, staging::CalibrationEngine + "set target 1.04")) {
        return Fail("lx735-sim did not start");
    }
    if (!tree.StartProgram(program) ||
        !testing_support::WaitFor([&] { return Requests(tree, "CMD_READ_TBL_COR", -1) >= 4; },
                                  std::chrono::milliseconds(ConnectMs))) {
        return Fail("lx735 did not connect and read the ECU");
    }
    const QString start = "click CmdCalStart";
    const QString end = "until LblCalMsg text \"" + QString(Confirm).replace(CrLf, "\\r\\n") +
                        "\" " + QString::number(RunMs);
    Print("calibration run from Start to the confirmation ...");
    if (!tree.SendScript({"tab SstMain 2", "until CmdCalStart enabled 1 20000", start, end}) ||
        !testing_support::WaitFor([&] { return tree.CommandMs(end) >= 0; },
                                  std::chrono::milliseconds(RunMs + ConnectMs))) {
        return Fail("the run did not reach the confirmation");
    }
    const qint64 startMs = tree.CommandMs(start);
    const qint64 runMs = tree.CommandMs(end) - startMs;
    const QString log = QString::fromLatin1(tree.Read("BIN/TaraCorr.txt"));
    run.maxCycles = static_cast<int>(log.count("\"TaraMax Ciclo "));
    run.minCycles = static_cast<int>(log.count("\"TaraMin Ciclo "));
    run.modeWrites = Requests(tree, "CMD_WRT_MEM2", startMs);
    run.p = [&tree](int n) { return tree.CalibrationParam(n); };
    QStringList derivation;
    const double leastMs = LeastRunUsec(pace, run, &derivation) / 1000;
    Print(QString("measured  %1 ms").arg(runMs));
    Print(QString("least     %1 ms").arg(qRound(leastMs)));
    for (const QString& line : derivation) {
        Print("          " + line);
    }
    Print(QString("ratio     %1 (measured / least)").arg(runMs / leastMs, 0, 'f', 3));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    if (app.arguments().size() > 1) {
        std::fputs("usage: lx735-bench-calibration\n", stderr);
        return 2;
    }
    return Measure();
}
