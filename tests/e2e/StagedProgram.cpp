#include "StagedProgram.h"

#include "common/BuildTools.h"
#include "common/Wait.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QStandardPaths>
#include <algorithm>

using namespace std::chrono_literals;

namespace e2e {

namespace {

constexpr int StartMs = staging::StartMs;
constexpr int ConnectMs = 180000;

} // namespace

StagedProgram::StagedProgram()
    : tree_({LX735_EXECUTABLE, LX735_SIM_EXE, testing_support::StagedRootPath("")}) {
    WriteSetCom(1, false);
    WriteComPorts();
}

void StagedProgram::WriteSetCom(int comPort, bool search) {
    // Short reply waits and few resends, so that a failed exchange ends quickly, and a
    // quick pace (the simulator's link is a pseudo-terminal: bytes 100 us apart, the
    // reply looked for 5 ms after the request).
    staging::PortSettings settings;
    settings.comPort = comPort;
    settings.title = "End-to-end";
    settings.attesaByteTxUsec = 100;
    settings.attesaGlobaleUsec = 500000;
    settings.molAttesaGlobale = 500;
    settings.idleUsec = 5000;
    settings.numResend = 2;
    settings.search = search;
    tree_.WriteSetCom(settings);
}

void StagedProgram::MapCom(int n, const QString& path) {
    comPorts_[n] = path;
    WriteComPorts();
}

void StagedProgram::WriteComPorts() {
    QMap<int, QString> ports;
    for (int n = 1; n <= 9; ++n) {
        ports[n] = comPorts_.value(n, Path("BIN/no-such-port"));
    }
    tree_.WriteComPorts(ports);
}

bool StagedProgram::WriteImage(const QString& version, const QString& date,
                               const QString& project) {
    return testing_support::RunBuildTool("lx735-make-firmware",
                                         {"--version", version, "--date", date, "--project",
                                          project, Path("BIN/TarvencoInj468.frh")});
}

// Where a simulator started under that name reads its control lines, in the tree.
QString StagedProgram::ControlPath(const QString& name) const {
    return "sim-" + name + ".control";
}

QString StagedProgram::StartSim(const QString& name, const QStringList& extra) {
    const QString link = Path("BIN/" + name);
    auto sim = std::make_unique<Child>();
    if (!tree_.StartSim(*sim, link, QStringList{"--control", Path(ControlPath(name))} + extra)) {
        return {};
    }
    simsByName_.insert(name, sim.get());
    sims_.push_back(std::move(sim));
    return link;
}

bool StagedProgram::StopSim(const QString& name) {
    Child* sim = simsByName_.take(name);
    if (!sim) {
        return false;
    }
    sim->Stop();
    return !sim->Running();
}

bool StagedProgram::SimControl(const QString& name, const QString& lines) {
    const QString target = Path(ControlPath(name));
    return tree_.Drop(ControlPath(name), lines.toUtf8() + '\n') &&
           testing_support::WaitFor([&] { return !QFile::exists(target); }, StartMs * 1ms);
}

bool StagedProgram::SimPoke(const QString& name, const QString& block, int offset,
                            const QByteArray& bytes) {
    return SimControl(
        name,
        QString("poke %1 %2 %3").arg(block).arg(offset).arg(QString::fromLatin1(bytes.toHex())));
}

std::optional<SimDump> StagedProgram::SimState(const QString& name) {
    const QString path = Path(QString("sim-%1.dump%2").arg(name).arg(++dumps_));
    if (!SimControl(name, "dump " + path) ||
        !testing_support::WaitFor([&] { return QFile::exists(path); }, StartMs * 1ms)) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    SimDump dump;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const qsizetype blank = line.indexOf(' ');
        const QByteArray key = line.left(blank), value = line.mid(blank + 1);
        if (key == "mode") {
            dump.mode = QString::fromLatin1(value);
        } else if (key == "flash") {
            const QList<QByteArray> fields = value.split(' ');
            dump.flash.insert(fields.value(0).toUInt(nullptr, 16),
                              QByteArray::fromHex(fields.value(1)));
        } else if (blank > 0) {
            dump.images.insert(QString::fromLatin1(key), QByteArray::fromHex(value));
        }
    }
    file.remove();
    return dump;
}

QByteArray SimDump::Bytes(const QString& image, int offset, int count) const {
    const QByteArray bytes = images.value(image);
    return offset >= 0 && offset + count <= bytes.size() ? bytes.mid(offset, count) : QByteArray();
}

QByteArray SimDump::FlashBytes(quint32 address, int count) const {
    QByteArray bytes(count, static_cast<char>(0xFF));
    for (auto block = flash.cbegin(); block != flash.cend(); ++block) {
        for (int i = 0; i < block.value().size(); ++i) {
            const qint64 at = static_cast<qint64>(block.key()) + i - address;
            if (at >= 0 && at < count) {
                bytes[at] = block.value()[i];
            }
        }
    }
    return bytes;
}

QString SimDump::Hex(const QString& image, int offset, int count) const {
    return QString::fromLatin1(Bytes(image, offset, count).toHex(' ').toUpper());
}

XServer::XServer(const QString& screen) {
    if (!Installed()) {
        return;
    }
    // It picks a free display and writes its number on standard output.
    if (server_.Start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", screen},
                      QProcessEnvironment::systemEnvironment()) &&
        server_.process.waitForReadyRead(2 * StartMs)) {
        const QString number = QString::fromLatin1(server_.process.readLine()).trimmed();
        display_ = number.isEmpty() ? QString() : ":" + number;
    }
}

bool XServer::Installed() const {
    return !QStandardPaths::findExecutable("Xvfb").isEmpty();
}

QList<int> SimDump::Words(const QString& image, int first, int count) const {
    QList<int> words;
    const QByteArray bytes = Bytes(image, 2 * first, 2 * count);
    for (int i = 0; i + 1 < bytes.size(); i += 2) {
        words << qint16(quint8(bytes[i]) | quint8(bytes[i + 1]) << 8);
    }
    return words;
}

bool StagedProgram::StartProgram(const QString& display) {
    QMap<QString, QString> environment = switches_;
    environment.insert("LX735_TEST_TIME_SCALE", QString::number(timeScale_));
    if (!display.isEmpty()) {
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert("DISPLAY", display);
    }
    return tree_.StartProgram(program_, environment);
}

bool StagedProgram::ShortenCalibration() {
    return tree_.ShortenCalibration();
}

bool StagedProgram::StartOnCalibrationTab(const QString& engine, const QStringList& simArgs) {
    if (!ShortenCalibration()) {
        return false;
    }
    const QString link = StartSim("com1", simArgs);
    if (link.isEmpty()) {
        return false;
    }
    MapCom(1, link);
    return SimControl("com1", staging::CalibrationEngine + engine) && StartProgram() &&
           testing_support::WaitFor([&] { return Requests("CMD_READ_TBL_COR").size() >= 4; },
                                    ConnectMs * 1ms) &&
           Run({"tab SstMain 2", "until CmdCalStart enabled 1 60000"});
}

bool StagedProgram::StartConnected(const QString& sim) {
    const QString link = StartSim(sim, {"--fast"});
    if (link.isEmpty()) {
        return false;
    }
    MapCom(1, link);
    return StartProgram() &&
           testing_support::WaitFor([&] { return !Requests("CMD_READ_ERR").isEmpty(); },
                                    ConnectMs * 1ms);
}

bool StagedProgram::SendCommand(const QString& line) {
    return SendScript({line});
}

bool StagedProgram::SendScript(const QStringList& lines) {
    return tree_.SendScript(lines);
}

bool StagedProgram::Run(const QStringList& lines, int ms) {
    const qsizetype before = Events().size();
    if (!SendScript(lines)) {
        return false;
    }
    const qsizetype expected = lines.size() - lines.count(QString());
    QStringList refused;
    qsizetype done = 0;
    const bool recorded = testing_support::WaitFor(
        [&] {
            done = 0;
            refused.clear();
            for (const ProgramEvent& event : Events().mid(before)) {
                if (event.kind == "EVENT" && event.text.startsWith("command refused: ")) {
                    refused << event.text;
                    ++done;
                } else if (event.kind == "EVENT" && event.text.startsWith("command: ")) {
                    ++done;
                }
            }
            return done >= expected;
        },
        ms * 1ms);
    for (const QString& line : refused) {
        qWarning("%s", qPrintable(line));
    }
    if (!recorded) {
        QStringList outstanding = lines;
        outstanding.removeAll(QString());
        ADD_FAILURE() << "the program did not carry out \"" << outstanding.value(done).toStdString()
                      << "\" within " << ms << " ms";
    }
    return recorded && refused.isEmpty();
}

std::optional<QMap<QString, QString>> StagedProgram::ReadControl(const QString& name, int ms) {
    const qsizetype before = Events().size();
    if (!SendScript({"read " + name})) {
        return std::nullopt;
    }
    std::optional<QMap<QString, QString>> fields;
    testing_support::WaitFor(
        [&] {
            for (const ProgramEvent& event : Events().mid(before)) {
                // A control of another window is recorded by its own name.
                if (event.text.startsWith("read: " + name + " ") ||
                    event.text.startsWith("read: " + name.section('.', -1) + " ")) {
                    fields = ParseFields(event.text.section(' ', 2));
                    return true;
                }
                if (event.text.startsWith("command refused: read " + name)) {
                    return true;
                }
            }
            return false;
        },
        ms * 1ms);
    return fields;
}

QStringList StagedProgram::Refusals() const {
    QStringList refused;
    for (const ProgramEvent& event : Events()) {
        if (event.kind == "EVENT" && event.text.startsWith("command refused: ")) {
            refused << event.text.mid(17);
        }
    }
    return refused;
}

QStringList StagedProgram::MessageBoxes() const {
    QStringList boxes;
    for (const ProgramEvent& event : Events()) {
        if (event.kind == "MSGBOX") {
            boxes << event.text;
        }
    }
    return boxes;
}

QStringList StagedProgram::RecordedWords(const QString& text) {
    QStringList words;
    QString word;
    bool inWord = false;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == ' ') {
            if (inWord) {
                words << word;
            }
            word.clear();
            inWord = false;
            continue;
        }
        inWord = true;
        if (text[i] != '"') {
            word += text[i];
            continue;
        }
        for (++i; i < text.size() && text[i] != '"'; ++i) {
            if (text[i] == '\\' && i + 1 < text.size()) {
                const QChar next = text[++i];
                word += next == 'n' ? QChar('\n') : next == 'r' ? QChar('\r') : next;
            } else {
                word += text[i];
            }
        }
    }
    if (inWord) {
        words << word;
    }
    return words;
}

QMap<QString, QString> StagedProgram::ParseFields(const QString& text) {
    QMap<QString, QString> fields;
    for (const QString& word : RecordedWords(text)) {
        fields.insert(word.section('=', 0, 0), word.section('=', 1));
    }
    return fields;
}

std::optional<QStringList> StagedProgram::Items(const QString& name, int ms) {
    const qsizetype before = Events().size();
    if (!Run({"items " + name}, ms)) {
        return std::nullopt;
    }
    for (const ProgramEvent& event : Events().mid(before)) {
        if (event.text.startsWith("items: " + name + " ") || event.text == "items: " + name) {
            return RecordedWords(event.text).mid(2);
        }
    }
    return std::nullopt;
}

std::optional<GridCells> StagedProgram::Grid(const QString& name, int ms) {
    const qsizetype before = Events().size();
    if (!Run({"grid " + name}, ms)) {
        return std::nullopt;
    }
    std::optional<GridCells> grid;
    // The lines of one grid are written one after the other: wait for the last row.
    testing_support::WaitFor(
        [&] {
            grid = GridCells();
            int rows = -1;
            for (const ProgramEvent& event : Events().mid(before)) {
                const QString prefix = "grid: " + name + " ";
                if (!event.text.startsWith(prefix)) {
                    continue;
                }
                const QStringList words = RecordedWords(event.text.mid(prefix.size()));
                if (words.value(0).startsWith("rows=")) {
                    rows = words[0].mid(5).toInt();
                } else if (words.value(0) == "head") {
                    grid->head = words.mid(1);
                } else {
                    grid->rows << words.mid(1);
                }
            }
            return rows >= 0 && grid->rows.size() == rows;
        },
        ms * 1ms);
    return grid;
}

std::optional<int> StagedProgram::WaitForProgramEnd(int ms) {
    // The end may have been taken already, by the events an earlier wait pumped.
    if (!testing_support::WaitFor([&] { return !program_.Running(); }, ms * 1ms) ||
        program_.process.exitStatus() != QProcess::NormalExit) {
        return std::nullopt;
    }
    return program_.process.exitCode();
}

QByteArray StagedProgram::Read(const QString& relative) const {
    return tree_.Read(relative);
}

bool StagedProgram::Write(const QString& relative, const QByteArray& bytes) const {
    return tree_.Write(relative, bytes);
}

QList<LoggedRequest> StagedProgram::Requests() const {
    return tree_.Log().Requests();
}

QList<LoggedRequest> StagedProgram::Requests(const QString& name) const {
    QList<LoggedRequest> found;
    for (const LoggedRequest& r : Requests()) {
        if (r.name == name) {
            found.append(r);
        }
    }
    return found;
}

qint64 StagedProgram::LogStartMs() const {
    return tree_.Log().StartMs();
}

QList<LogLine> StagedProgram::LogLines() const {
    return tree_.Log().Lines();
}

QList<LoggedExchange> StagedProgram::Exchanges() const {
    return tree_.Log().Exchanges();
}

QList<ProgramEvent> StagedProgram::Events() const {
    return tree_.Events();
}

QList<LoggedRequest> RequestsAfter(const StagedProgram& staged, const QString& name, qint64 ms) {
    QList<LoggedRequest> after;
    for (const LoggedRequest& r : staged.Requests(name)) {
        if (r.ms > ms) {
            after.append(r);
        }
    }
    return after;
}

bool WaitForRequestsAfter(const StagedProgram& staged, const QString& name, qint64 ms, int count,
                          int bound) {
    return testing_support::WaitFor([&] { return RequestsAfter(staged, name, ms).size() >= count; },
                                    bound * 1ms);
}

QList<LoggedExchange> GoodExchangesAfter(const StagedProgram& staged, const QString& name,
                                         qint64 ms) {
    QList<LoggedExchange> good;
    for (const LoggedExchange& e : staged.Exchanges()) {
        if (e.name == name && e.ms > ms && e.Good()) {
            good.append(e);
        }
    }
    return good;
}

bool WaitForSettingsRead(const StagedProgram& staged, int bound) {
    return testing_support::WaitFor(
        [&] {
            const auto tables = GoodExchangesAfter(staged, "CMD_READ_COMP_PRES_GAS", 0);
            return GoodExchangesAfter(staged, "CMD_READ_TBL_COR", 0).size() >= 4 &&
                   !tables.isEmpty() &&
                   !GoodExchangesAfter(staged, "CMD_READ_MEM1", tables.last().ms).isEmpty();
        },
        bound * 1ms);
}

bool HoldsFor(const std::function<bool()>& condition, int ms) {
    return !testing_support::WaitFor([&] { return !condition(); }, ms * 1ms);
}

QRect RectOf(const QMap<QString, QString>& fields) {
    const QStringList parts = fields.value("rect").split(',');
    return parts.size() == 4
               ? QRect(parts[0].toInt(), parts[1].toInt(), parts[2].toInt(), parts[3].toInt())
               : QRect();
}

std::optional<QImage> Grab(StagedProgram& staged, const QString& path, const QString& window) {
    const QString line = "grab \"" + path + "\"" + (window.isEmpty() ? "" : " " + window);
    if (!staged.Run({line})) {
        return std::nullopt;
    }
    // The line is recorded before the picture is written: it is taken once it reads whole.
    QImage picture;
    testing_support::WaitFor([&] { return picture.load(path, "PNG"); }, StartMs * 1ms);
    return picture.isNull() ? std::nullopt : std::optional<QImage>(picture);
}

QString PictureMisses(const QImage& picture, const QMap<QString, QString>& fields) {
    const QRect rect = RectOf(fields);
    if (rect.isEmpty() || !picture.rect().contains(rect)) {
        return QString("the control's rect \"%1\" is not within the picture of %2x%3")
            .arg(fields.value("rect"))
            .arg(picture.width())
            .arg(picture.height());
    }
    // Its interior, as read judged the colours.
    const int margin = std::min({3, rect.width() / 4, rect.height() / 4});
    const QRect inner = rect.adjusted(margin, margin, -margin, -margin);
    const QRgb back = QColor(fields.value("back")).rgb();
    const bool hasFore = fields.value("fore") != "none";
    const QRgb fore = hasFore ? QColor(fields.value("fore")).rgb() : 0;
    int backs = 0;
    int fores = 0;
    for (int y = inner.top(); y <= inner.bottom(); ++y) {
        for (int x = inner.left(); x <= inner.right(); ++x) {
            const QRgb pixel = picture.pixel(x, y) | 0xff000000u;
            backs += pixel == back;
            fores += hasFore && pixel == fore;
        }
    }
    if (backs < inner.width()) {
        return QString("its back %1 covers %2 pixels of %3, less than a row")
            .arg(fields.value("back"))
            .arg(backs)
            .arg(fields.value("rect"));
    }
    if (hasFore && fores == 0) {
        return QString("its fore %1 is nowhere in %2")
            .arg(fields.value("fore"), fields.value("rect"));
    }
    return {};
}

} // namespace e2e
