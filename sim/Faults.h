#pragma once

// Scripted faults of the simulated ECU. A fault applies to the next `count` requests
// (kForever: until cleared) that carry its command (kAnyCommand: any request). Each
// request takes at most one fault: the first one in the script that matches.
//
// Text form, for the command line and the control file of lx735-sim:
//     KIND [cmd=N] [skip=N] [count=N|forever] [value=X]
// with words separated by blanks or commas, N decimal or 0x-hex, e.g.
// "status cmd=33 count=forever value=254" or "delay,count=2,value=5000000". With skip=N
// the first N matching requests pass untouched before the fault starts to apply.

#include <QList>
#include <QString>

#include <optional>

namespace sim {

enum class FaultKind {
    Silence,     // the request is lost: not executed, no reply
    Delay,       // executed; the reply leaves value us later (default 5 s)
    BadChecksum, // executed; the reply's checksum byte is wrong
    WrongEcho,   // executed; the reply names another command (checksum consistent)
    Status,      // not executed; the reply carries status value (default 254), no data
    Split,       // executed; the reply pauses value us after its first half (default 200 ms)
    Garble,      // executed; one byte in the middle of the reply is corrupted
    Noise,       // executed; value garbage bytes (default 3) precede the reply
    HangUp,      // the line goes dead for value us (default 1 s): no reply
};

inline constexpr int kAnyCommand = -1;
inline constexpr int kForever = -1;

struct Fault {
    FaultKind kind = FaultKind::Silence;
    int command = kAnyCommand;
    int count = 1;
    double value = 0; // 0: the kind's default
    int skip = 0;     // matching requests that pass before the first one it applies to
};

// The kind's value when the fault gives none.
double DefaultFaultValue(FaultKind kind);

QString FaultKindName(FaultKind kind);

// Parses the text form; on failure returns nothing and says why in error.
std::optional<Fault> ParseFault(const QString& text, QString* error = nullptr);

// Help text listing the kinds, for lx735-sim --help.
QString FaultHelp();

class FaultScript {
public:
    void Add(const Fault& fault) { faults_.append(fault); }
    void Clear() { faults_.clear(); }
    int Size() const { return static_cast<int>(faults_.size()); }

    // The fault for a request with this command, with its value filled in; one use of
    // it is consumed.
    std::optional<Fault> Take(int command);

private:
    QList<Fault> faults_;
};

} // namespace sim
