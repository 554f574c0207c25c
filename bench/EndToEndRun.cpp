#include "EndToEndRun.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QThread>

#include <chrono>
#include <functional>

namespace bench {

namespace {

constexpr int StartMs = 10000;
constexpr int StopMs = 5000;
constexpr int PollMs = 50;

// What an earlier run of the build tree may have left there.
const QStringList LeftOvers = {"BIN/RxTx.TXT", "BIN/RxTx_Last.TXT", "BIN/Handle.ini",
                               "BIN/SetCom.ini", "BIN/ComPorts.ini"};

bool CopyTree(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = QDir(from).relativeFilePath(source);
        if (LeftOvers.contains(relative)) {
            continue;
        }
        const QString target = to + "/" + relative;
        QDir().mkpath(QFileInfo(target).path());
        if (!QFile::copy(source, target)) {
            return false;
        }
    }
    return true;
}

bool WriteLines(const QString& path, const QStringList& lines) {
    QFile file(path);
    const QByteArray bytes = (lines.join("\r\n") + "\r\n").toLocal8Bit();
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

bool WaitFor(const std::function<bool()>& condition, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > ms) {
            return false;
        }
        QThread::msleep(PollMs);
    }
    return true;
}

void End(QProcess& process) {
    if (process.state() == QProcess::NotRunning) {
        return;
    }
    process.terminate();
    if (!process.waitForFinished(StopMs)) {
        process.kill();
        process.waitForFinished(StopMs);
    }
}

bool Fail(QString* error, const QString& text) {
    *error = text;
    return false;
}

} // namespace

EndToEndRun::EndToEndRun(const BuildPaths& paths) : paths_(paths) {
    for (QProcess* p : {&sim_, &program_, &bareTimer_}) {
        p->setStandardOutputFile(QProcess::nullDevice());
        p->setStandardErrorFile(QProcess::nullDevice());
    }
}

EndToEndRun::~EndToEndRun() {
    Stop();
}

bool EndToEndRun::Stage(const PortSettings& s, QString* error) {
    if (!dir_.isValid()) {
        return Fail(error, "no temporary folder");
    }
    if (!CopyTree(paths_.root, dir_.path()) || !QDir().mkpath(Path("SAMPLES"))) {
        return Fail(error, "cannot copy the runnable tree " + paths_.root);
    }
    QFile::remove(Path("BIN/lx735"));
    if (!QFile::copy(paths_.program, Path("BIN/lx735"))) {
        return Fail(error, "cannot copy " + paths_.program);
    }
    const auto number = [](qint64 value) { return QString::number(value); };
    const QStringList setCom = {"[Setport]",
                                "38400,N,8,1",
                                "[Comport]",
                                "1",
                                "[MemoPath]",
                                dir_.path(),
                                "[Titolo]",
                                "Benchmark",
                                "[AttesaByteTx_usec]",
                                number(s.attesaByteTxUsec),
                                "[AttesaGlobale_usec]",
                                number(s.attesaGlobaleUsec),
                                "[MolAttesaGlobale]",
                                number(s.molAttesaGlobale),
                                "[Idle_usec]",
                                number(s.idleUsec),
                                "[NumResend]",
                                number(s.numResend),
                                "[UsbCom]",
                                " 0 ",
                                "[SearchCom]",
                                s.search ? " 1 " : " 255 ",
                                "[DCB_fBitFields]",
                                "0",
                                "[LogPoint]",
                                "0"};
    if (!WriteLines(Path("BIN/SetCom.ini"), setCom) ||
        !WriteLines(Path("BIN/ComPorts.ini"), {"[COM1]", Path("BIN/com1")})) {
        return Fail(error, "cannot write the port settings");
    }
    return true;
}

bool EndToEndRun::StartSim(QString* error) {
    sim_.start(paths_.sim, {"--link", Path("BIN/com1")});
    if (!sim_.waitForStarted(StartMs)) {
        return Fail(error, "cannot start " + paths_.sim);
    }
    if (!WaitFor([&] { return QFileInfo(Path("BIN/com1")).isSymLink(); }, StartMs)) {
        return Fail(error, "lx735-sim did not put its link in place");
    }
    return true;
}

bool EndToEndRun::StartProgram(QString* error) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("LX735_TEST_EVENTS", Path("events.txt"));
    environment.insert("LX735_TEST_COMMANDS", Path("commands.txt"));
    program_.setProcessEnvironment(environment);
    program_.setWorkingDirectory(dir_.path());
    program_.start(Path("BIN/lx735"), {});
    if (!program_.waitForStarted(StartMs)) {
        return Fail(error, "cannot start " + Path("BIN/lx735"));
    }
    return true;
}

bool EndToEndRun::StartBareTimer(QString* error) {
    bareTimer_.start(paths_.bareTimer, {});
    if (!bareTimer_.waitForStarted(StartMs)) {
        return Fail(error, "cannot start " + paths_.bareTimer);
    }
    return true;
}

bool EndToEndRun::SendCommand(const QString& line) {
    // Written aside and renamed into place: the program takes whole files only.
    return WriteLines(Path("commands.new"), {line}) &&
           QFile::rename(Path("commands.new"), Path("commands.txt"));
}

void EndToEndRun::Stop() {
    End(program_);
    End(sim_);
    End(bareTimer_);
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
