#pragma once

// The real program in a staged tree of its own against lx735-sim on pseudo-terminals
// (common/Staging.h): port settings of the test's own, COM ports mapped to the
// simulators' links and every other COM port to nowhere, and the program's test script
// driven and its records read. Every process is ended on every path out of a test.

#include "common/Staging.h"
#include "common/Wait.h"

#include <QImage>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace e2e {

using staging::Child;
using staging::LoggedExchange;
using staging::LoggedRequest;
using staging::LogLine;
using staging::ProgramEvent;

// An X server of the test's own (Xvfb on a free display), ended with the test.
class XServer {
public:
    explicit XServer(const QString& screen = "1280x1024x24");
    bool Installed() const;
    QString Display() const { return display_; } // "" when it did not come up

private:
    Child server_;
    QString display_;
};

// The simulated ECU's state as its "dump" line writes it.
struct SimDump {
    QString mode;                     // "run", "slave", "prg", "flash"
    QMap<QString, QByteArray> images; // "zone3", "saved.zone3", "errors", "samples.gas" ...
    QMap<quint32, QByteArray> flash;  // the flash's 128-byte blocks that are not erased

    // count bytes of the flash from address, erased (0xFF) where no block was dumped.
    QByteArray FlashBytes(quint32 address, int count) const;

    // count bytes of the image from offset ("" when the image holds fewer).
    QByteArray Bytes(const QString& image, int offset, int count) const;
    // The same as upper-case hex with a blank between bytes ("2D 00 4C").
    QString Hex(const QString& image, int offset, int count) const;
    // count signed 16-bit words (low byte first) from word first: correction cells.
    QList<int> Words(const QString& image, int first, int count) const;
};

// A grid as "grid NAME" records it: the column headings (when shown) and the rows.
struct GridCells {
    QStringList head;
    QList<QStringList> rows;
};

// How long a staged script, or a read of the program's records, may take before the test
// gives up: generous, as the machine may be loaded; the script's own "until" lines bound
// what they wait for.
constexpr int RunMs = 180000;

class StagedProgram {
public:
    StagedProgram();

    QString Path(const QString& relative) const { return tree_.Path(relative); }
    bool Valid() const { return tree_.Valid(); }

    // The port settings: the configured COM port, and a search from COM1 or none.
    void WriteSetCom(int comPort, bool search);
    // COM n to the path (every port not mapped leads nowhere).
    void MapCom(int n, const QString& path);
    // The firmware image with this identity ("" project: no project code).
    bool WriteImage(const QString& version, const QString& date, const QString& project);

    // A simulated ECU whose link lies at BIN/<name>; extra arguments follow --link.
    // Returns the link's path, "" when it did not come up.
    QString StartSim(const QString& name, const QStringList& extra = {});
    // Ends the simulator last started under that name, as a pulled cable does: its line
    // closes and its link goes. False when there is none or it did not end.
    bool StopSim(const QString& name);
    // Hands control lines (sim/Control.h) to the simulator started under that name and
    // waits until it has taken them.
    bool SimControl(const QString& name, const QString& lines);
    // Bytes into one of its blocks ("zone3", "saved.zone2", "emulation", "errors", ...).
    bool SimPoke(const QString& name, const QString& block, int offset, const QByteArray& bytes);
    // Its memory, mode, errors and samples now; nothing when it did not answer in time.
    std::optional<SimDump> SimState(const QString& name);
    // The program's long fixed pauses (the flash-end hold, the update's pauses, the
    // calibration's settles) run at this share of their time (LX735_TEST_TIME_SCALE);
    // 1 keeps them real. Set before StartProgram.
    void SetTimeScale(double scale) { timeScale_ = scale; }
    // The calibration's settles, samples, rpm waits and pauses shortened in the staged
    // ConfigScale.ini: the simulated engine holds its values, so fewer samples give the
    // same means. Set before StartProgram.
    bool ShortenCalibration();
    // A calibration ready to start: the calibration shortened, a simulator on COM1 (with
    // these arguments) whose engine runs at 2200 rpm on petrol, warm, then the engine
    // lines given; the program past its first reads and on the Calibration tab with Start
    // enabled. False when any step did not come through.
    bool StartOnCalibrationTab(const QString& engine, const QStringList& simArgs = {"--fast"});
    // A test switch of the program's (an LX735_TEST_ environment variable) for this test
    // alone. Set before StartProgram.
    void SetSwitch(const QString& name, const QString& value) { switches_.insert(name, value); }
    // A fast simulated ECU of that name on COM1 and the program connected to it, past its
    // first error read; False when either did not come up within a minute.
    bool StartConnected(const QString& sim = "ecu");
    // The program, offscreen (or on the X display given); its test commands
    // (LX735_TEST_COMMANDS) are read from the file that SendCommand puts in place.
    bool StartProgram(const QString& display = QString());
    // Puts the line in place for the program to carry out (once an earlier one has been
    // taken); False when the program did not take the earlier one within a few seconds.
    bool SendCommand(const QString& line);
    // A script for the program's test script language (script/TestScript.h): the lines
    // put in place at once, once an earlier file has been taken.
    bool SendScript(const QStringList& lines);
    // Sends the script and waits until every line of it has been recorded; True when
    // none was refused (the refusals are printed). Not recorded within ms fails the test,
    // naming the first line still outstanding.
    bool Run(const QStringList& lines, int ms = RunMs);
    // The fields that "read NAME" records (text, value, visible, back, ...; texts
    // unquoted); nothing when the read was refused or not recorded within ms.
    std::optional<QMap<QString, QString>> ReadControl(const QString& name, int ms = RunMs);
    // The entries that "items NAME" records; nothing when refused or not recorded.
    std::optional<QStringList> Items(const QString& name, int ms = RunMs);
    // The cells that "grid NAME" records; nothing when refused or not recorded.
    std::optional<GridCells> Grid(const QString& name, int ms = RunMs);
    // The lines refused so far, each "<line> (<why>)".
    QStringList Refusals() const;
    // The message boxes shown so far, each as its MSGBOX event line records it.
    QStringList MessageBoxes() const;

    // The program's exit code once it ended on its own within ms; nothing otherwise.
    std::optional<int> WaitForProgramEnd(int ms);
    bool ProgramRunning() const { return program_.Running(); }

    QByteArray Read(const QString& relative) const;
    // Writes the staged file whole (before StartProgram, for the program to find).
    bool Write(const QString& relative, const QByteArray& bytes) const;
    QList<LoggedRequest> Requests() const;
    QList<LoggedRequest> Requests(const QString& name) const;
    qint64 LogStartMs() const; // the time stamp of the link log's header line
    QList<LogLine> LogLines() const;
    QList<LoggedExchange> Exchanges() const;
    QList<ProgramEvent> Events() const;
    // When the program last recorded "command: LINE", on the link log's clock; -1 never.
    qint64 CommandMs(const QString& line) const { return tree_.CommandMs(line); }

    // The words of a recorded line, split at blanks; quoted texts unescaped
    // ("a=1 b="x y"" gives "a=1" and "b=x y").
    static QStringList RecordedWords(const QString& text);
    // "a=1 b="x y"": the pairs of a recorded line.
    static QMap<QString, QString> ParseFields(const QString& text);

private:
    void WriteComPorts();
    QString ControlPath(const QString& name) const;

    staging::StagedTree tree_;
    QMap<int, QString> comPorts_;
    double timeScale_ = 0.1;
    QMap<QString, QString> switches_;
    int dumps_ = 0;
    std::vector<std::unique_ptr<Child>> sims_;
    QMap<QString, Child*> simsByName_; // the last one started under each name
    Child program_;
};

// ---- Windows after an event, and what a picture shows

// The requests of that name in the link log after ms.
QList<LoggedRequest> RequestsAfter(const StagedProgram& staged, const QString& name, qint64 ms);
// Waits until count requests of that name were logged after ms: the program's own pace
// as the window after an event, long enough for what would have followed it.
bool WaitForRequestsAfter(const StagedProgram& staged, const QString& name, qint64 ms, int count,
                          int bound);
// The exchanges of that name after ms that the ECU answered whole and well: a frame the
// link sent again after a lost reply counts once.
QList<LoggedExchange> GoodExchangesAfter(const StagedProgram& staged, const QString& name,
                                         qint64 ms);
// Waits until the program has read every block of the ECU's settings: the correction
// table, then the compensation tables with the poll gone on past them.
bool WaitForSettingsRead(const StagedProgram& staged, int bound);
// Watches the condition for ms, True when it held at every look: only as the window after
// an event the test has seen, for what must not follow it.
bool HoldsFor(const std::function<bool()>& condition, int ms);

// The rectangle a "read" recorded ("rect=x,y,w,h"), in its window.
QRect RectOf(const QMap<QString, QString>& fields);
// The picture "grab" takes of the window (the main window without a name), once written
// whole; nothing when the line was refused or no picture came.
std::optional<QImage> Grab(StagedProgram& staged, const QString& path,
                           const QString& window = QString());
// What the picture lacks of the control where "read" says it stands: its back colour
// over at least a row of it and its fore colour in it; "" when both are there.
QString PictureMisses(const QImage& picture, const QMap<QString, QString>& fields);

} // namespace e2e
