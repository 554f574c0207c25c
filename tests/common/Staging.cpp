#include "common/Staging.h"

#include "common/Wait.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace staging {

namespace {

// ConfigScale.ini's calibration block: parameter Pn stands 2n lines below it.
const QByteArray CalibrationParamsBlock = "[PARAMETRI DI TARATURA]\r";

constexpr int StopMs = 5000;

bool CopyTree(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + "/" + QDir(from).relativeFilePath(source);
        QDir().mkpath(QFileInfo(target).path());
        if (!QFile::copy(source, target)) {
            return false;
        }
    }
    return true;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QByteArray Lines(const QStringList& lines) {
    return (lines.join("\r\n") + "\r\n").toLocal8Bit();
}

} // namespace

bool Child::Start(const QString& program, const QStringList& arguments,
                  const QProcessEnvironment& environment) {
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    return process.waitForStarted(StartMs);
}

void Child::Stop() {
    if (!Running()) {
        return;
    }
    process.terminate();
    if (!process.waitForFinished(StopMs)) {
        process.kill();
        process.waitForFinished(StopMs);
    }
}

StagedTree::StagedTree(const BuildPaths& paths) : paths_(paths) {
    if (qEnvironmentVariableIsSet("LX735_E2E_KEEP")) {
        Keep();
        qInfo("staged tree kept in %s", qPrintable(dir_.path()));
    }
    const QString root = QDir::cleanPath(paths.root) + "/";
    valid_ = dir_.isValid() && CopyTree(root + "LNG", Path("LNG")) && QDir().mkpath(Path("BIN")) &&
             QDir().mkpath(Path("SAMPLES"));
    for (const char* file : {"BIN/Flash.ini", "BIN/TarvencoInj468.frh"}) {
        valid_ = valid_ && QFile::copy(root + file, Path(file));
    }
    valid_ = valid_ && QFile::copy(paths.program, Path("BIN/lx735"));
}

bool StagedTree::WriteSetCom(const PortSettings& s) const {
    const auto number = [](qint64 value) { return QString::number(value); };
    return WriteFile(Path("BIN/SetCom.ini"), Lines({"[Setport]",
                                                    "38400,N,8,1",
                                                    "[Comport]",
                                                    number(s.comPort),
                                                    "[MemoPath]",
                                                    dir_.path(),
                                                    "[Titolo]",
                                                    s.title,
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
                                                    "0"}));
}

bool StagedTree::WriteComPorts(const QMap<int, QString>& ports) const {
    QStringList lines;
    for (auto it = ports.cbegin(); it != ports.cend(); ++it) {
        lines << QString("[COM%1]").arg(it.key()) << it.value();
    }
    return WriteFile(Path("BIN/ComPorts.ini"), Lines(lines));
}

bool StagedTree::StartSim(Child& sim, const QString& linkPath, const QStringList& arguments) const {
    // The link is in place once the simulator has opened its pseudo-terminal.
    return sim.Start(paths_.sim, QStringList{"--link", linkPath} + arguments,
                     QProcessEnvironment::systemEnvironment()) &&
           testing_support::WaitFor([&] { return QFileInfo(linkPath).isSymLink(); },
                                    std::chrono::milliseconds(StartMs));
}

bool StagedTree::StartProgram(Child& program, const QMap<QString, QString>& environment) const {
    QProcessEnvironment all = QProcessEnvironment::systemEnvironment();
    all.insert("QT_QPA_PLATFORM", "offscreen");
    all.insert("LX735_TEST_EVENTS", Path("events.txt"));
    all.insert("LX735_TEST_COMMANDS", Path("commands.txt"));
    for (auto it = environment.cbegin(); it != environment.cend(); ++it) {
        all.insert(it.key(), it.value());
    }
    program.process.setWorkingDirectory(dir_.path());
    return program.Start(Path("BIN/lx735"), {}, all);
}

bool StagedTree::Drop(const QString& relative, const QByteArray& bytes) const {
    const QString target = Path(relative);
    if (!testing_support::WaitFor([&] { return !QFile::exists(target); },
                                  std::chrono::milliseconds(StartMs))) {
        return false;
    }
    const QString draft = target + ".new";
    return WriteFile(draft, bytes) && QFile::rename(draft, target);
}

QByteArray StagedTree::Read(const QString& relative) const {
    QFile file(Path(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool StagedTree::Write(const QString& relative, const QByteArray& bytes) const {
    return WriteFile(Path(relative), bytes);
}

QList<ProgramEvent> StagedTree::Events() const {
    QStringList lines = QString::fromUtf8(Read("events.txt")).split('\n');
    lines.removeLast(); // after the last end: "" or a line not yet ended
    QList<ProgramEvent> events;
    for (const QString& line : lines) {
        if (!line.isEmpty()) {
            events.append({line.section(' ', 0, 0), line.section(' ', 1, 1).toLongLong(),
                           line.section(' ', 2)});
        }
    }
    return events;
}

qint64 StagedTree::CommandMs(const QString& line) const {
    qint64 ms = -1;
    for (const ProgramEvent& event : Events()) {
        if (event.kind == "EVENT" && event.text == "command: " + line) {
            ms = event.ms;
        }
    }
    return ms;
}

bool StagedTree::ShortenCalibration() const {
    QList<QByteArray> lines = Read("LNG/ConfigScale.ini").split('\n');
    const qsizetype block = lines.indexOf(CalibrationParamsBlock);
    if (block < 0) {
        return false;
    }
    for (const auto& [position, value] :
         {std::pair{2, 4}, {3, 3}, {4, 4}, {5, 3}, {6, 3}, {7, 2}, {16, 4}, {17, 3}, {18, 2}}) {
        lines[block + 2 * position] = QByteArray::number(value) + "\r";
    }
    return Write("LNG/ConfigScale.ini", lines.join('\n'));
}

int StagedTree::CalibrationParam(int n) const {
    const QList<QByteArray> lines = Read("LNG/ConfigScale.ini").split('\n');
    const qsizetype block = lines.indexOf(CalibrationParamsBlock);
    return block < 0 ? 0 : lines.value(block + 2 * n).trimmed().toInt();
}

} // namespace staging
