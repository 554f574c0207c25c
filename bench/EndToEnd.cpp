// lx735-bench-e2e: lx735 offscreen against lx735-sim at the wire pace for a fixed time.
// Prints the live-data records read per second beside the rate that the poll schedule
// and the link timings allow (and how that rate is derived), the share of the time the
// wire is busy, the CPU time lx735 uses per wall second and its peak memory. The counts
// come from the program's own link log, BIN/RxTx.TXT. Its CPU is measured beside a bare
// Qt program with one 1 ms precise timer over the same window, connected and polling,
// then off-line, then with no ECU on any port. The ratio of the two is taken in slices
// of the window and the median given: a burst of load from elsewhere on a shared machine
// costs the busier program more, and moves the whole window's ratio with it.
// Run by hand; not a test.

#include "EndToEndRun.h"
#include "LinkLogStats.h"
#include "PollModel.h"

#include "common/Wait.h"
#include "sim/Ecu.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>

namespace {

using namespace bench;

constexpr int DefaultSeconds = 60;
constexpr int PollingWaitMs = 60000;
// The first complete read and the one-second pause after it are over by then.
constexpr double SettleMs = 5000;
constexpr double TailMs = 1000;
// Off-line and searching: the window after the settling, a third of the polling one.
constexpr double SideSettleMs = 3000;
constexpr int MinSideSeconds = 10;
constexpr double SliceMs = 5000;
// Ten periods of the whole schedule (lcm of 4, 8, 24, 54 and 504 ticks).
constexpr int ModelTicks = 10 * 1512;
const QString ModelReads[] = {LiveRead, Zone2Read, Zone3Read, ErrorRead};

using namespace std::chrono_literals;

std::chrono::milliseconds Millis(double ms) {
    return std::chrono::milliseconds(std::llround(ms));
}

struct Options {
    int seconds = DefaultSeconds;
    bool keep = false;
};

BuildPaths Paths() {
    return {{LX735_EXECUTABLE, LX735_SIM_EXE, LX735_ROOT_DIR}, LX735_BARE_TIMER};
}

void Print(const QString& text) {
    std::fputs(qPrintable(text + "\n"), stdout);
    std::fflush(stdout);
}

QString Fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

bool ParseOptions(const QStringList& args, Options* options) {
    for (int i = 1; i < args.size(); ++i) {
        bool ok = true;
        if (args[i] == "--seconds" && i + 1 < args.size()) {
            options->seconds = args[++i].toInt(&ok);
            ok = ok && options->seconds > 0;
        } else if (args[i] == "--keep") {
            options->keep = true;
        } else {
            ok = false;
        }
        if (!ok) {
            return false;
        }
    }
    return true;
}

// The time stamp of the first good live read; -1 before it.
qint64 FirstLiveReadMs(const EndToEndRun& run) {
    for (const staging::LoggedExchange& e : run.Tree().Log().Exchanges()) {
        if (e.name == LiveRead && e.Good()) {
            return e.ms;
        }
    }
    return -1;
}

void PrintExchanges(const QMap<QString, CommandStats>& stats, double seconds) {
    Print("Exchanges in the window (from BIN/RxTx.TXT)");
    Print(QString("  %1%2%3%4%5%6%7")
              .arg("command", -24)
              .arg("sent", 7)
              .arg("good", 7)
              .arg("good/s", 9)
              .arg("request B", 11)
              .arg("reply B", 9)
              .arg("reply after ms", 16));
    for (auto it = stats.begin(); it != stats.end(); ++it) {
        const CommandStats& s = it.value();
        Print(QString("  %1%2%3%4%5%6%7")
                  .arg(it.key(), -24)
                  .arg(s.sent, 7)
                  .arg(s.good, 7)
                  .arg(Fixed(s.good / seconds, 2), 9)
                  .arg(Fixed(s.requestBytes, 1), 11)
                  .arg(Fixed(s.replyBytes, 1), 9)
                  .arg(Fixed(s.replyMs, 1), 16));
    }
}

// The costs of the schedule's reads, with their sizes as the log shows them.
QMap<QString, double> PrintExchangeCosts(const QMap<QString, CommandStats>& sizes,
                                         const LinkTimings& t) {
    Print("  One exchange = request bytes x AttesaByteTx_usec");
    Print("               + the longer of Idle_usec and (the ECU's answer delay + reply bytes"
          " x " +
          Fixed(WireByteUsec / 1000, 3) + " ms on the wire)");
    Print("               + " + Fixed(Timer1Usec / 1000, 1) +
          " ms for the link timer's step that takes the reply in.");
    Print("    The ECU answers while the program waits out Idle_usec; the program looks for "
          "the reply only after it.");
    Print("    The ECU's answer delay is lx735-sim's, " + Fixed(t.ecuAnswerUsec / 1000, 1) +
          " ms; sizes are the means in the log.");
    QMap<QString, double> costs;
    for (const QString& name : ModelReads) {
        const CommandStats s = sizes.value(name);
        const ExchangeCost c = CostOf(s.requestBytes, s.replyBytes, t);
        costs[name] = c.TotalUsec();
        Print(QString("    %1 %2 x %3 + max(%4, %5 + %6 x %7 = %8) + %9 = %10 ms")
                  .arg(name + ":", -15)
                  .arg(Fixed(s.requestBytes, 0))
                  .arg(Fixed(t.attesaByteTxUsec / 1000, 3))
                  .arg(Fixed(t.idleUsec / 1000, 1))
                  .arg(Fixed(t.ecuAnswerUsec / 1000, 1))
                  .arg(Fixed(s.replyBytes, 0))
                  .arg(Fixed(WireByteUsec / 1000, 3))
                  .arg(Fixed(c.replyWireUsec / 1000, 1))
                  .arg(Fixed(c.pickupUsec / 1000, 1))
                  .arg(Fixed(c.TotalUsec() / 1000, 1)));
    }
    return costs;
}

QString RatesLine(const std::function<double(const QString&)>& rate) {
    return QString("live %1/s, zone 2 %2/s, zone 3 %3/s, errors %4/s")
        .arg(Fixed(rate(LiveRead), 2), Fixed(rate(Zone2Read), 2), Fixed(rate(Zone3Read), 2),
             Fixed(rate(ErrorRead), 3));
}

// Prints the derivation and returns the allowed live-read rate.
double PrintAllowedRate(const QMap<QString, CommandStats>& window,
                        const QMap<QString, CommandStats>& sizes, double seconds,
                        const LinkTimings& timings) {
    Print("How the allowed rate is derived");
    const QMap<QString, double> costs = PrintExchangeCosts(sizes, timings);
    Print("  The poll scheduler (Timer2, " + Fixed(Timer2Usec / 1000, 0) +
          " ms) serves one request every 4th tick, in the request server's order: zone 3,");
    Print("    zone 2, then the live record. It raises the live read every 8th tick, zone 2 "
          "every 24th and zone 3");
    Print("    every 54th (so they take turns in the serving ticks) and reads the errors "
          "itself every 504th.");
    const double live = costs.value(LiveRead);
    const int held = static_cast<int>(std::ceil(live / Timer2Usec));
    Print("    A tick that exchanges holds Timer2 until the reply is in; the countdowns go on "
          "at the first tick after it:");
    Print(QString("    a live read holds it for %1 ticks (%2 ms) instead of one.")
              .arg(held)
              .arg(Fixed(held * Timer2Usec / 1000, 0)));
    const ScheduleResult model = ModelSchedule(costs, ModelTicks);
    Print(QString("  Modelled over %1 ticks (%2 s): %3")
              .arg(model.ticks)
              .arg(Fixed(model.seconds, 1))
              .arg(RatesLine([&](const QString& n) { return model.PerSecond(n); })));
    Print(QString("  Measured over %1 s:            %2")
              .arg(Fixed(seconds, 1))
              .arg(RatesLine([&](const QString& n) { return window.value(n).good / seconds; })));
    Print(QString("  For comparison: the schedule if exchanges took no time allows %1/s (one per "
                  "8 ticks);")
              .arg(Fixed(1e6 / (8 * Timer2Usec), 2)));
    Print(QString("    the link alone, live reads back to back, %1/s.").arg(Fixed(1e6 / live, 2)));
    return model.PerSecond(LiveRead);
}

// CPU seconds per wall second of lx735 and of the bare timer over one window, and the
// median of their ratios over the window's slices.
struct CpuPair {
    double program = 0;
    double bare = 0;
    double medianRatio = 0;
    int slices = 0;
};

QString CpuText(const CpuPair& cpu) {
    return QString("lx735 %1 % of one core, bare 1 ms timer %2 %: ratio %3 (median of %4 "
                   "slices of %5 s; whole window %6)")
        .arg(Fixed(100 * cpu.program, 2), Fixed(100 * cpu.bare, 2), Fixed(cpu.medianRatio, 2))
        .arg(cpu.slices)
        .arg(Fixed(SliceMs / 1000, 0),
             cpu.bare > 0 ? Fixed(cpu.program / cpu.bare, 2) : QString("-"));
}

double Median(QList<double> values) {
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Samples lx735 and the bare timer at the window's ends and every slice between; the
// window ends early if the program does.
struct CpuWindow {
    ProcessSample before;
    ProcessSample after;
    CpuPair cpu;
};

std::optional<CpuWindow> SampleCpu(EndToEndRun& run, double seconds) {
    const double from = SteadyMs();
    std::optional<ProcessSample> p = SampleProcess(run.ProgramPid());
    std::optional<ProcessSample> b = SampleProcess(run.BareTimerPid());
    if (!p || !b) {
        return std::nullopt;
    }
    CpuWindow window{*p, *p, {}};
    const ProcessSample bareBefore = *b;
    QList<double> ratios;
    double sliceFrom = from;
    while (SteadyMs() < from + seconds * 1000 && run.ProgramRunning()) {
        testing_support::RunFor(100ms);
        const double now = SteadyMs();
        if (now - sliceFrom < SliceMs && now < from + seconds * 1000) {
            continue;
        }
        const std::optional<ProcessSample> p1 = SampleProcess(run.ProgramPid());
        const std::optional<ProcessSample> b1 = SampleProcess(run.BareTimerPid());
        if (!p1 || !b1) {
            return std::nullopt;
        }
        const double bare = b1->cpuSeconds - b->cpuSeconds;
        if (bare > 0) {
            ratios << (p1->cpuSeconds - p->cpuSeconds) / bare;
        }
        p = p1;
        b = b1;
        sliceFrom = now;
    }
    window.after = *p;
    const double wall = (SteadyMs() - from) / 1000;
    window.cpu = {(p->cpuSeconds - window.before.cpuSeconds) / wall,
                  (b->cpuSeconds - bareBefore.cpuSeconds) / wall, Median(ratios),
                  int(ratios.size())};
    return window;
}

std::optional<CpuPair> MeasureCpu(EndToEndRun& run, double seconds) {
    const std::optional<CpuWindow> window = SampleCpu(run, seconds);
    return window ? std::optional(window->cpu) : std::nullopt;
}

// The measured window of one run, on the link log's clock.
struct Measurement {
    double startedMs = 0; // the program started
    double pollingMs = 0; // its first live read
    double fromMs = 0;
    double toMs = 0;
    CpuWindow cpu;
    double Seconds() const { return (toMs - fromMs) / 1000; }
};

// Device > OFFLINE through the program's test script, then its CPU while off-line.
std::optional<CpuPair> MeasureOffLine(EndToEndRun& run, double seconds) {
    const auto stopped = [&run] {
        const QList<staging::LogLine> lines = run.Tree().Log().Lines();
        return std::any_of(lines.begin(), lines.end(),
                           [](const staging::LogLine& line) { return line.text == "C 8"; });
    };
    if (!run.SendCommand("click MnuOffLine")) {
        return std::nullopt;
    }
    if (!testing_support::WaitFor(stopped, std::chrono::milliseconds(PollingWaitMs))) {
        return std::nullopt;
    }
    testing_support::RunFor(Millis(SideSettleMs));
    return MeasureCpu(run, seconds);
}

// A program with no ECU on any port: it searches every port in turn.
std::optional<CpuPair> MeasureSearching(const staging::PortSettings& connected, double seconds) {
    staging::PortSettings settings = connected;
    settings.search = true;
    EndToEndRun run(Paths());
    QString error;
    if (!run.Stage(settings, &error) || !run.StartProgram(&error) || !run.StartBareTimer(&error)) {
        Print("lx735-bench-e2e: " + error);
        return std::nullopt;
    }
    testing_support::RunFor(Millis(SideSettleMs));
    return MeasureCpu(run, seconds);
}

// Waits for polling and its settling, then samples the program over the window.
std::optional<Measurement> Measure(EndToEndRun& run, const Options& options) {
    Measurement m;
    m.startedMs = SteadyMs();
    if (!testing_support::WaitFor(
            [&run] { return FirstLiveReadMs(run) >= 0 || !run.ProgramRunning(); },
            std::chrono::milliseconds(PollingWaitMs)) ||
        FirstLiveReadMs(run) < 0) {
        Print("lx735-bench-e2e: the program did not start polling the simulated ECU");
        return std::nullopt;
    }
    m.pollingMs = static_cast<double>(FirstLiveReadMs(run));
    testing_support::RunFor(Millis(SettleMs));

    m.fromMs = SteadyMs();
    const std::optional<CpuWindow> cpu = SampleCpu(run, options.seconds);
    m.toMs = SteadyMs();
    // The replies to the window's last requests come in meanwhile.
    testing_support::RunFor(Millis(TailMs));
    if (!cpu || !run.ProgramRunning()) {
        Print("lx735-bench-e2e: the program ended during the measurement");
        return std::nullopt;
    }
    m.cpu = *cpu;
    return m;
}

void PrintSetUp(const staging::PortSettings& settings, const Measurement& m) {
    Print("lx735 end-to-end benchmark: lx735 offscreen against lx735-sim at the 38400-baud "
          "wire pace");
    Print(QString("  Port settings (BIN/SetCom.ini, the program's defaults): AttesaByteTx_usec "
                  "%1, AttesaGlobale_usec %2,")
              .arg(settings.attesaByteTxUsec)
              .arg(settings.attesaGlobaleUsec));
    Print(QString("    MolAttesaGlobale %1, Idle_usec %2, NumResend %3; COM1, no port search")
              .arg(settings.molAttesaGlobale)
              .arg(settings.idleUsec)
              .arg(settings.numResend));
    Print(QString("  Polling began %1 s after the start; measured over %2 s of polling after %3 "
                  "s more.")
              .arg(Fixed((m.pollingMs - m.startedMs) / 1000, 1), Fixed(m.Seconds(), 1),
                   Fixed(SettleMs / 1000, 0)));
}

// The wire's and the link's busy shares and the program's own cost.
void PrintLoad(const QList<staging::LoggedExchange>& exchanges, const Measurement& m,
               const LinkTimings& t, const QList<staging::ProgramEvent>& events) {
    double wireUsec = 0;
    double linkUsec = 0;
    for (const staging::LoggedExchange& e : exchanges) {
        if (e.ms >= m.fromMs && e.ms < m.toMs) {
            wireUsec += static_cast<double>(e.request.size() + e.reply.size()) * WireByteUsec;
            linkUsec += static_cast<double>(e.request.size()) * t.attesaByteTxUsec;
            linkUsec += e.Good() ? static_cast<double>(e.replyMs - e.ms) * 1000 : 0;
        }
    }
    const double windowUsec = m.Seconds() * 1e6;
    Print(QString("Wire busy:                                           %1 % of the time "
                  "(request and reply bytes at 38400 baud)")
              .arg(Fixed(100 * wireUsec / windowUsec, 1)));
    Print(QString("Link busy with an exchange:                          %1 % of the time (paced "
                  "request to whole reply)")
              .arg(Fixed(100 * linkUsec / windowUsec, 1)));
    const double cpu = m.cpu.cpu.program;
    Print(QString("CPU used by lx735:                                   %1 s per wall second "
                  "(%2 % of one core)")
              .arg(Fixed(cpu, 4), Fixed(100 * cpu, 1)));
    Print("CPU connected and polling, same window:             " + CpuText(m.cpu.cpu));
    Print(QString("Peak memory of lx735 (VmHWM):                        %1 MiB")
              .arg(Fixed(static_cast<double>(m.cpu.after.vmHwmKb) / 1024, 1)));
    const auto boxes = std::count_if(events.begin(), events.end(),
                                     [](const auto& event) { return event.kind == "MSGBOX"; });
    Print(QString("Message boxes shown:                                 %1").arg(boxes));
}

int Run(const Options& options) {
    const staging::PortSettings settings;
    EndToEndRun run(Paths());
    if (options.keep) {
        run.Keep();
    }
    QString error;
    if (!run.Stage(settings, &error) || !run.StartSim(&error) || !run.StartProgram(&error) ||
        !run.StartBareTimer(&error)) {
        Print("lx735-bench-e2e: " + error);
        return 1;
    }
    const std::optional<Measurement> m = Measure(run, options);
    if (!m) {
        return 1;
    }
    const double sideSeconds = std::max(MinSideSeconds, options.seconds / 3);
    const std::optional<CpuPair> offLine = MeasureOffLine(run, sideSeconds);
    run.Stop();
    const std::optional<CpuPair> searching = MeasureSearching(settings, sideSeconds);
    const QList<staging::LoggedExchange> exchanges = run.Tree().Log().Exchanges();
    const auto window =
        Summarise(exchanges, static_cast<qint64>(m->fromMs), static_cast<qint64>(m->toMs));
    const auto sizes = Summarise(exchanges, 0, std::numeric_limits<qint64>::max());
    const LinkTimings timings{static_cast<double>(settings.attesaByteTxUsec),
                              static_cast<double>(settings.idleUsec),
                              sim::EcuConfig().processingUsec};

    PrintSetUp(settings, *m);
    if (options.keep) {
        Print("  Staged tree kept: " + run.Path(""));
    }
    Print("");
    PrintExchanges(window, m->Seconds());
    Print("");
    const double measured = window.value(LiveRead).good / m->Seconds();
    const double allowed = PrintAllowedRate(window, sizes, m->Seconds(), timings);
    Print("");
    Print(QString("Live-data records read:                              %1/s")
              .arg(Fixed(measured, 2)));
    Print(QString("Allowed by the poll schedule and the link timings:   %1/s (measured: %2 % of "
                  "it)")
              .arg(Fixed(allowed, 2), Fixed(100 * measured / allowed, 1)));
    PrintLoad(exchanges, *m, timings, run.Tree().Events());
    Print(QString("CPU off-line (Device > OFFLINE), %1 s:               ").arg(sideSeconds, 2) +
          (offLine ? CpuText(*offLine) : QString("not measured")));
    Print(QString("CPU with no ECU on any port (searching), %1 s:       ").arg(sideSeconds, 2) +
          (searching ? CpuText(*searching) : QString("not measured")));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    Options options;
    if (!ParseOptions(QCoreApplication::arguments(), &options)) {
        Print("Usage: lx735-bench-e2e [--seconds N] [--keep]\n"
              "Runs lx735 offscreen against lx735-sim at the wire pace for N seconds of "
              "polling\n(default " +
              QString::number(DefaultSeconds) +
              ") and prints its live-data read rate, the rate the poll schedule and\nthe "
              "link timings allow, the wire's busy share, CPU time and peak memory.\n"
              "--keep leaves the staged tree (with its link log) in place.");
        return 2;
    }
    return Run(options);
}
