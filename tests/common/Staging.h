#pragma once

// The real program staged in a temporary tree of its own, for the end-to-end tests and
// the end-to-end benchmark: a copy of the build's runnable tree (the executable copied,
// not linked, so that its folder's parent is the staged tree), the port settings and
// the COM ports' device paths of the caller's, lx735-sim on a pseudo-terminal whose
// link lies in the tree, and the program started with its message boxes answered and
// recorded (LX735_TEST_EVENTS) and its test script read from a file
// (LX735_TEST_COMMANDS). Its link log is read back through LinkLog.

#include "common/LinkLog.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

namespace staging {

// How long a process has to start, or a file dropped for it to be taken.
constexpr int StartMs = 60000;

// The simulator's control lines for an engine a calibration can start on: 2200 rpm on
// petrol, the reducer warm, the ECU out of slave mode.
inline const QString CalibrationEngine =
    QStringLiteral("set rpm 2200\nset petrol 3.0\nset reducer 60\nzone2 0 00\n");

// A child process that is ended when the object goes.
class Child {
public:
    Child() = default;
    ~Child() { Stop(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Start(const QString& program, const QStringList& arguments,
               const QProcessEnvironment& environment);
    // Asks it to end (SIGTERM), then kills it when it does not within a few seconds.
    void Stop();
    bool Running() const { return process.state() != QProcess::NotRunning; }

    QProcess process;
};

// The build's programs and its runnable tree.
struct BuildPaths {
    QString program; // lx735
    QString sim;     // lx735-sim
    QString root;    // the runnable tree (<build>/root)
};

// BIN/SetCom.ini, every setting as the program writes them; the defaults are the
// program's own (what it takes without the file).
struct PortSettings {
    int comPort = 1;
    QString title;
    qint64 attesaByteTxUsec = 500;
    qint64 attesaGlobaleUsec = 4000000;
    qint64 molAttesaGlobale = 500;
    qint64 idleUsec = 100000;
    qint64 numResend = 10;
    bool search = false; // a port search from COM1
};

// A recorded box or event of the program.
struct ProgramEvent {
    QString kind; // "MSGBOX" or "EVENT"
    qint64 ms = 0;
    QString text; // a box: "<title>|<text>" with CR LF as \r\n
};

class StagedTree {
public:
    // Copies the runnable tree's LNG/, its firmware files and the program; Valid tells
    // whether every copy came through. LX735_E2E_KEEP keeps the tree.
    explicit StagedTree(const BuildPaths& paths);

    bool Valid() const { return valid_; }
    QString Path(const QString& relative) const { return dir_.filePath(relative); }
    // Keeps the tree (its link log, events, files) after the object goes.
    void Keep() { dir_.setAutoRemove(false); }

    // Writes the port settings, MemoPath the tree's folder.
    bool WriteSetCom(const PortSettings& settings) const;
    // BIN/ComPorts.ini: each COM port given to its device path, no other.
    bool WriteComPorts(const QMap<int, QString>& ports) const;

    // lx735-sim in sim with its link at linkPath (and the arguments after it); False
    // when it did not start or put the link in place within StartMs.
    bool StartSim(Child& sim, const QString& linkPath, const QStringList& arguments) const;
    // The program in program, offscreen, from the tree's folder; environment adds to
    // (or overrides) what the tree sets.
    bool StartProgram(Child& program, const QMap<QString, QString>& environment = {}) const;
    // Puts the file in place whole for a process that takes it (and removes it), once
    // the earlier one is taken: written aside and renamed. False when the earlier one
    // was not taken within StartMs.
    bool Drop(const QString& relative, const QByteArray& bytes) const;
    // The lines of a test script for the program to carry out.
    bool SendScript(const QStringList& lines) const {
        return Drop("commands.txt", (lines.join('\n') + '\n').toUtf8());
    }

    QByteArray Read(const QString& relative) const;
    // Writes the staged file whole (before the program starts, for it to find).
    bool Write(const QString& relative, const QByteArray& bytes) const;
    // The calibration's settles, samples, rpm waits and pauses shortened in the staged
    // ConfigScale.ini (before the program starts); CalibrationParam(n) reads Pn there.
    bool ShortenCalibration() const;
    int CalibrationParam(int n) const;
    // What the program recorded so far, lines still being written left out.
    QList<ProgramEvent> Events() const;
    // When the program last recorded "command: LINE", on the link log's clock; -1 never.
    qint64 CommandMs(const QString& line) const;
    LinkLog Log() const { return LinkLog(Read("BIN/RxTx.TXT")); }

private:
    BuildPaths paths_;
    QTemporaryDir dir_;
    bool valid_ = false;
};

} // namespace staging
