#pragma once

// One run of the end-to-end benchmark: the program staged in a temporary tree
// (common/Staging.h) with the shipped default port settings and COM1 mapped to the
// simulated ECU's link, lx735-sim at the 38400-baud wire pace, and lx735 offscreen (its
// message boxes answered and recorded, as under test). Every process ends with the
// object, on every path.

#include "common/Staging.h"

#include <QString>
#include <optional>

namespace bench {

struct BuildPaths {
    staging::BuildPaths program; // lx735, lx735-sim and the runnable tree
    QString bareTimer;           // lx735-bench-timer
};

class EndToEndRun {
public:
    explicit EndToEndRun(const BuildPaths& paths);
    ~EndToEndRun();
    EndToEndRun(const EndToEndRun&) = delete;
    EndToEndRun& operator=(const EndToEndRun&) = delete;

    QString Path(const QString& relative) const { return tree_.Path(relative); }
    const staging::StagedTree& Tree() const { return tree_; }
    // Keeps the staged tree after the run.
    void Keep() { tree_.Keep(); }

    // The port settings on COM1, its device path the simulated ECU's link.
    bool Stage(const staging::PortSettings& settings, QString* error);
    bool StartSim(QString* error);
    bool StartProgram(QString* error);
    bool StartBareTimer(QString* error);
    bool ProgramRunning() const { return program_.Running(); }
    qint64 ProgramPid() const { return program_.process.processId(); }
    qint64 BareTimerPid() const { return bareTimer_.process.processId(); }
    // A line of the program's test script (Device > OFFLINE: "click MnuOffLine").
    bool SendCommand(const QString& line) { return tree_.SendScript({line}); }
    // Ends the program, then the simulated ECU.
    void Stop();

private:
    BuildPaths paths_;
    staging::StagedTree tree_;
    staging::Child sim_;
    staging::Child program_;
    staging::Child bareTimer_;
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
