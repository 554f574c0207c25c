#include "StagedProgram.h"

#include "common/BuildTools.h"

#include <QColor>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>

namespace e2e {

namespace {

constexpr int StartMs = 10000;
constexpr int ConnectMs = 60000;
constexpr int StopMs = 5000;
constexpr int PollMs = 50;

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

QString Unquoted(const QString& line) {
    QString text = line.trimmed();
    if (text.startsWith('"') && text.endsWith('"') && text.size() >= 2) {
        text = text.mid(1, text.size() - 2);
    }
    return text;
}

// The lines the program has written whole: a line still being written (no end yet) is
// left for the next look.
QStringList WholeLines(const QString& text, const QString& end) {
    QStringList lines = text.split(end);
    lines.removeLast(); // after the last end: "" or a line not yet ended
    return lines;
}

// The time stamp of a log line "<ms> <tag><text>"; -1 for a name line.
qint64 StampOf(const QString& text) {
    bool ok = false;
    const qint64 ms = text.section(' ', 0, 0).toLongLong(&ok);
    return ok && text.contains(' ') ? ms : -1;
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

StagedProgram::StagedProgram() {
    // LX735_E2E_KEEP keeps the staged tree (its link log, events, files) to look at.
    if (qEnvironmentVariableIsSet("LX735_E2E_KEEP")) {
        dir_.setAutoRemove(false);
        qInfo("staged tree kept in %s", qPrintable(dir_.path()));
    }
    const QString root = testing_support::StagedRootPath("");
    valid_ = dir_.isValid() && CopyTree(root + "LNG", Path("LNG")) && QDir().mkpath(Path("BIN")) &&
             QDir().mkpath(Path("SAMPLES"));
    for (const char* file : {"BIN/Flash.ini", "BIN/TarvencoInj468.frh"}) {
        valid_ = valid_ && QFile::copy(root + file, Path(file));
    }
    // The executable itself, not a link: the application folder is its folder's parent.
    valid_ = valid_ && QFile::copy(LX735_EXECUTABLE, Path("BIN/lx735"));
    WriteSetCom(1, false);
    WriteComPorts();
}

void StagedProgram::WriteSetCom(int comPort, bool search) {
    // Every setting as the program writes them; short reply waits and few resends, so
    // that a failed exchange ends quickly, and a quick pace (the simulator's link is a
    // pseudo-terminal: bytes 100 us apart, the reply looked for 5 ms after the request).
    const QStringList pairs = {"[Setport]",
                               "38400,N,8,1",
                               "[Comport]",
                               QString::number(comPort),
                               "[MemoPath]",
                               dir_.path(),
                               "[Titolo]",
                               "End-to-end",
                               "[AttesaByteTx_usec]",
                               "100",
                               "[AttesaGlobale_usec]",
                               "500000",
                               "[MolAttesaGlobale]",
                               "500",
                               "[Idle_usec]",
                               "5000",
                               "[NumResend]",
                               "2",
                               "[UsbCom]",
                               " 0 ",
                               "[SearchCom]",
                               search ? " 1 " : " 255 ",
                               "[DCB_fBitFields]",
                               "0",
                               "[LogPoint]",
                               "0"};
    WriteFile(Path("BIN/SetCom.ini"), (pairs.join("\r\n") + "\r\n").toLatin1());
}

void StagedProgram::MapCom(int n, const QString& path) {
    comPorts_[n] = path;
    WriteComPorts();
}

void StagedProgram::WriteComPorts() {
    QByteArray text;
    for (int n = 1; n <= 9; ++n) {
        const QString path = comPorts_.value(n, Path("BIN/no-such-port"));
        text += "[COM" + QByteArray::number(n) + "]\r\n" + path.toLocal8Bit() + "\r\n";
    }
    WriteFile(Path("BIN/ComPorts.ini"), text);
}

bool StagedProgram::WriteImage(const QString& version, const QString& date,
                               const QString& project) {
    return testing_support::RunBuildTool("lx735-make-firmware",
                                         {"--version", version, "--date", date, "--project",
                                          project, Path("BIN/TarvencoInj468.frh")});
}

// Where a simulator started under that name reads its control lines.
QString StagedProgram::ControlPath(const QString& name) const {
    return Path("sim-" + name + ".control");
}

QString StagedProgram::StartSim(const QString& name, const QStringList& extra) {
    const QString link = Path("BIN/" + name);
    auto sim = std::make_unique<Child>();
    if (!sim->Start(LX735_SIM_EXE,
                    QStringList{"--link", link, "--control", ControlPath(name)} + extra,
                    QProcessEnvironment::systemEnvironment())) {
        return {};
    }
    // It prints the pseudo-terminal's path once the link is in place.
    if (!sim->process.waitForReadyRead(StartMs) || !QFileInfo(link).isSymLink()) {
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
    const QString target = ControlPath(name);
    if (!WaitFor([&] { return !QFile::exists(target); }, StartMs)) {
        return false;
    }
    const QString draft = target + ".new";
    return WriteFile(draft, lines.toUtf8() + '\n') && QFile::rename(draft, target) &&
           WaitFor([&] { return !QFile::exists(target); }, StartMs);
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
        !WaitFor([&] { return QFile::exists(path); }, StartMs)) {
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
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", display.isEmpty() ? "offscreen" : "xcb");
    if (!display.isEmpty()) {
        environment.insert("DISPLAY", display);
    }
    environment.insert("LX735_TEST_EVENTS", Path("events.txt"));
    environment.insert("LX735_TEST_COMMANDS", Path("commands.txt"));
    environment.insert("LX735_TEST_TIME_SCALE", QString::number(timeScale_));
    for (auto it = switches_.cbegin(); it != switches_.cend(); ++it) {
        environment.insert(it.key(), it.value());
    }
    program_.process.setWorkingDirectory(dir_.path());
    return program_.Start(Path("BIN/lx735"), {}, environment);
}

bool StagedProgram::ShortenCalibration() {
    QList<QByteArray> lines = Read("LNG/ConfigScale.ini").split('\n');
    const qsizetype block = lines.indexOf("[PARAMETRI DI TARATURA]\r");
    if (block < 0) {
        return false;
    }
    for (const auto& [position, value] :
         {std::pair{2, 4}, {3, 3}, {4, 4}, {5, 3}, {6, 3}, {7, 2}, {16, 4}, {17, 3}, {18, 2}}) {
        lines[block + 2 * position] = QByteArray::number(value) + "\r";
    }
    return WriteFile(Path("LNG/ConfigScale.ini"), lines.join('\n'));
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
    return SimControl("com1",
                      "set rpm 2200\nset petrol 3.0\nset reducer 60\nzone2 0 00\n" + engine) &&
           StartProgram() &&
           WaitFor([&] { return Requests("CMD_READ_TBL_COR").size() >= 4; }, ConnectMs) &&
           Run({"tab SstMain 2", "until CmdCalStart enabled 1 20000"});
}

bool StagedProgram::StartConnected(const QString& sim) {
    const QString link = StartSim(sim, {"--fast"});
    if (link.isEmpty()) {
        return false;
    }
    MapCom(1, link);
    return StartProgram() &&
           WaitFor([&] { return !Requests("CMD_READ_ERR").isEmpty(); }, ConnectMs);
}

bool StagedProgram::SendCommand(const QString& line) {
    return SendScript({line});
}

bool StagedProgram::SendScript(const QStringList& lines) {
    const QString target = Path("commands.txt");
    if (!WaitFor([&] { return !QFile::exists(target); }, StartMs)) {
        return false;
    }
    const QString draft = Path("commands.new");
    return WriteFile(draft, (lines.join('\n') + '\n').toUtf8()) && QFile::rename(draft, target);
}

bool StagedProgram::Run(const QStringList& lines, int ms) {
    const qsizetype before = Events().size();
    if (!SendScript(lines)) {
        return false;
    }
    QStringList refused;
    const bool recorded = WaitFor(
        [&] {
            qsizetype done = 0;
            refused.clear();
            for (const ProgramEvent& event : Events().mid(before)) {
                if (event.kind == "EVENT" && event.text.startsWith("command refused: ")) {
                    refused << event.text;
                    ++done;
                } else if (event.kind == "EVENT" && event.text.startsWith("command: ")) {
                    ++done;
                }
            }
            return done >= lines.size() - lines.count(QString());
        },
        ms);
    for (const QString& line : refused) {
        qWarning("%s", qPrintable(line));
    }
    return recorded && refused.isEmpty();
}

std::optional<QMap<QString, QString>> StagedProgram::ReadControl(const QString& name, int ms) {
    const qsizetype before = Events().size();
    if (!SendScript({"read " + name})) {
        return std::nullopt;
    }
    std::optional<QMap<QString, QString>> fields;
    WaitFor(
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
        ms);
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
    WaitFor(
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
        ms);
    return grid;
}

std::optional<int> StagedProgram::WaitForProgramEnd(int ms) {
    if (!program_.process.waitForFinished(ms) ||
        program_.process.exitStatus() != QProcess::NormalExit) {
        return std::nullopt;
    }
    return program_.process.exitCode();
}

QByteArray StagedProgram::Read(const QString& relative) const {
    QFile file(Path(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool StagedProgram::Write(const QString& relative, const QByteArray& bytes) const {
    return WriteFile(Path(relative), bytes);
}

QList<LoggedRequest> StagedProgram::Requests() const {
    QList<LoggedRequest> requests;
    QString name;
    for (const QString& line : WholeLines(QString::fromLatin1(Read("BIN/RxTx.TXT")), "\r\n")) {
        const QString text = Unquoted(line);
        const qint64 ms = StampOf(text);
        if (ms < 0) {
            name = text; // the name line before a request frame
        } else if (!name.isEmpty()) {
            requests.append({name, ms});
            name.clear();
        }
    }
    return requests;
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
    const QString first = QString::fromLatin1(Read("BIN/RxTx.TXT")).section("\r\n", 0, 0);
    return StampOf(Unquoted(first));
}

QList<LogLine> StagedProgram::LogLines() const {
    QList<LogLine> lines;
    for (const QString& line : WholeLines(QString::fromLatin1(Read("BIN/RxTx.TXT")), "\r\n")) {
        const QString text = Unquoted(line);
        const qint64 ms = StampOf(text);
        if (ms >= 0) {
            lines.append({ms, text.section(' ', 1)});
        }
    }
    return lines;
}

QList<LoggedExchange> StagedProgram::Exchanges() const {
    QList<LoggedExchange> exchanges;
    QString name;
    for (const QString& line : WholeLines(QString::fromLatin1(Read("BIN/RxTx.TXT")), "\r\n")) {
        const QString text = Unquoted(line);
        const qint64 ms = StampOf(text);
        const QString logged = text.section(' ', 1);
        if (ms < 0) {
            name = text;
        } else if (!name.isEmpty()) {
            const QChar tag = logged.isEmpty() ? QChar() : logged.front();
            exchanges.append({name, ms, tag, QByteArray::fromHex(logged.mid(2).toLatin1()), {}});
            name.clear();
        } else if (logged.startsWith("R ") && !exchanges.isEmpty()) {
            exchanges.last().reply = QByteArray::fromHex(logged.mid(2).toLatin1());
        }
    }
    return exchanges;
}

bool LoggedExchange::Good() const {
    char sum = 0;
    for (const char byte : reply) {
        sum ^= byte;
    }
    return reply.size() >= 6 && reply[0] == 0x42 && reply[1] == 0x01 &&
           reply.size() == static_cast<quint8>(reply[2]) + 2 && sum == 0 && request.size() >= 4 &&
           reply[3] == request[3] && reply[4] == 0;
}

QList<ProgramEvent> StagedProgram::Events() const {
    QList<ProgramEvent> events;
    for (const QString& line : WholeLines(QString::fromUtf8(Read("events.txt")), "\n")) {
        if (line.isEmpty()) {
            continue;
        }
        events.append(
            {line.section(' ', 0, 0), line.section(' ', 1, 1).toLongLong(), line.section(' ', 2)});
    }
    return events;
}

bool StagedProgram::WaitFor(const std::function<bool()>& condition, int ms) {
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

qint64 CommandMs(const StagedProgram& staged, const QString& line) {
    qint64 ms = -1;
    for (const ProgramEvent& event : staged.Events()) {
        if (event.kind == "EVENT" && event.text == "command: " + line) {
            ms = event.ms;
        }
    }
    return ms;
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
    return StagedProgram::WaitFor([&] { return RequestsAfter(staged, name, ms).size() >= count; },
                                  bound);
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

bool HoldsFor(const std::function<bool()>& condition, int ms) {
    return !StagedProgram::WaitFor([&] { return !condition(); }, ms);
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
    StagedProgram::WaitFor([&] { return picture.load(path, "PNG"); }, StartMs);
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
