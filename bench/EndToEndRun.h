#pragma once

// One run of the end-to-end benchmark: a temporary copy of the build's runnable tree
// (the executable copied, not linked) with the shipped default port settings and COM1
// mapped to the simulated ECU's link, lx735-sim at the 38400-baud wire pace, and lx735
// offscreen (its message boxes answered and recorded, as under test). Both processes
// end with the object, on every path.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <optional>

namespace bench {

// The port settings the run writes: the program's defaults (what it takes without a
// BIN/SetCom.ini; ./demo.sh writes the same), with the search off on COM1.
struct PortSettings {
    qint64 attesaByteTxUsec = 500;
    qint64 attesaGlobaleUsec = 4000000;
    qint64 molAttesaGlobale = 500;
    qint64 idleUsec = 100000;
    qint64 numResend = 10;
    bool search = false; // a port search from COM1 (no ECU: every port fails)
};

struct BuildPaths {
    QString program;   // lx735
    QString sim;       // lx735-sim
    QString root;      // the build's runnable tree
    QString bareTimer; // lx735-bench-timer
};

class EndToEndRun {
public:
    explicit EndToEndRun(const BuildPaths& paths);
    ~EndToEndRun();
    EndToEndRun(const EndToEndRun&) = delete;
    EndToEndRun& operator=(const EndToEndRun&) = delete;

    QString Path(const QString& relative) const { return dir_.filePath(relative); }
    // Keeps the staged tree after the run.
    void Keep() { dir_.setAutoRemove(false); }

    bool Stage(const PortSettings& settings, QString* error);
    bool StartSim(QString* error);
    bool StartProgram(QString* error);
    bool StartBareTimer(QString* error);
    bool ProgramRunning() const { return program_.state() == QProcess::Running; }
    qint64 ProgramPid() const { return program_.processId(); }
    qint64 BareTimerPid() const { return bareTimer_.processId(); }
    // A line of the program's test script (Device > OFFLINE: "click MnuOffLine").
    bool SendCommand(const QString& line);
    // Ends the program, then the simulated ECU.
    void Stop();

private:
    BuildPaths paths_;
    QTemporaryDir dir_;
    QProcess sim_;
    QProcess program_;
    QProcess bareTimer_;
};

// CPU seconds (user and system) and peak resident memory of a running process. The CPU
// is the scheduler's nanosecond count summed over the process's threads
// (/proc/<pid>/task/*/schedstat): the clock-tick count of /proc/<pid>/stat moves in
// steps of 10 ms, too coarse for a program that uses a few ms a second.
struct ProcessSample {
    double cpuSeconds = 0;
    qint64 vmHwmKb = 0;
};
std::optional<ProcessSample> SampleProcess(qint64 pid);

// The steady clock in milliseconds: the clock of the link log's time stamps.
double SteadyMs();

} // namespace bench
