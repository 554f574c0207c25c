#include "EndToEndRun.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <chrono>

namespace bench {

namespace {

bool Fail(QString* error, const QString& text) {
    *error = text;
    return false;
}

} // namespace

EndToEndRun::EndToEndRun(const BuildPaths& paths) : paths_(paths), tree_(paths.program) {
    for (staging::Child* p : {&sim_, &program_, &bareTimer_}) {
        p->process.setStandardOutputFile(QProcess::nullDevice());
        p->process.setStandardErrorFile(QProcess::nullDevice());
    }
}

EndToEndRun::~EndToEndRun() {
    Stop();
}

bool EndToEndRun::Stage(const staging::PortSettings& settings, QString* error) {
    if (!tree_.Valid()) {
        return Fail(error, "cannot copy the runnable tree " + paths_.program.root);
    }
    staging::PortSettings onCom1 = settings;
    onCom1.comPort = 1;
    onCom1.title = "Benchmark";
    if (!tree_.WriteSetCom(onCom1) || !tree_.WriteComPorts({{1, Path("BIN/com1")}})) {
        return Fail(error, "cannot write the port settings");
    }
    return true;
}

bool EndToEndRun::StartSim(QString* error) {
    return tree_.StartSim(sim_, Path("BIN/com1"), {}) ||
           Fail(error, "lx735-sim did not start or put its link in place");
}

bool EndToEndRun::StartProgram(QString* error) {
    return tree_.StartProgram(program_) || Fail(error, "cannot start " + Path("BIN/lx735"));
}

bool EndToEndRun::StartBareTimer(QString* error) {
    return bareTimer_.Start(paths_.bareTimer, {}, QProcessEnvironment::systemEnvironment()) ||
           Fail(error, "cannot start " + paths_.bareTimer);
}

void EndToEndRun::Stop() {
    program_.Stop();
    sim_.Stop();
    bareTimer_.Stop();
}

namespace {

// The threads' time on a CPU, summed; none when the process is gone.
std::optional<double> ScheduledSeconds(const QString& proc) {
    const QStringList tasks = QDir(proc + "task").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (tasks.isEmpty()) {
        return std::nullopt;
    }
    double nanoseconds = 0;
    for (const QString& task : tasks) {
        QFile schedstat(proc + "task/" + task + "/schedstat");
        if (schedstat.open(QIODevice::ReadOnly)) {
            nanoseconds += schedstat.readAll().split(' ').value(0).toDouble();
        }
    }
    return nanoseconds / 1e9;
}

} // namespace

std::optional<ProcessSample> SampleProcess(qint64 pid) {
    const QString proc = QString("/proc/%1/").arg(pid);
    QFile status(proc + "status");
    const std::optional<double> cpu = ScheduledSeconds(proc);
    if (!cpu || !status.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    ProcessSample sample;
    sample.cpuSeconds = *cpu;
    for (const QByteArray& entry : status.readAll().split('\n')) {
        if (entry.startsWith("VmHWM:")) {
            sample.vmHwmKb = entry.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return sample;
}

double SteadyMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

} // namespace bench
