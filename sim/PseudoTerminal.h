#pragma once

// A pseudo-terminal for lx735-sim: the ECU talks on the master side, the program opens
// the slave side as its serial port. The slave is put in raw mode before anyone else
// opens it (no echo, no line editing) and is kept open here, so the line survives the
// program closing and reopening its port.

#include <QString>

namespace sim {

class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal() { Close(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool Open(QString* error);
    void Close();
    bool IsOpen() const { return master_ >= 0; }
    int MasterFd() const { return master_; } // non-blocking
    QString SlavePath() const { return slavePath_; }

private:
    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
};

// Makes link a symbolic link to target, replacing an earlier symbolic link; anything
// else already at link is left alone and reported.
bool PointLink(const QString& link, const QString& target, QString* error);

// Removes link if it still points to target.
void RemoveLink(const QString& link, const QString& target);

} // namespace sim
