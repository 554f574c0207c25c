#pragma once

// Which failures of the port calls go to the link log. A call that keeps failing (a
// line that answers every query with an error, at every tick of the link timer) would
// fill the log in minutes: its failures are written when the call starts failing, and
// the length of the run once more when it ends.

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

namespace comm {

class FailedCallLog {
public:
    // True when this failure starts a run of the call's failures (so it is written).
    bool Failed(const QString& call);
    // The length of the run that this success of the call ends; 0 when it was not failing.
    int Succeeded(const QString& call);
    // Ends every run (the port is closed): the calls that were failing, with their runs.
    QList<QPair<QString, int>> EndAll();

private:
    QMap<QString, int> runs_;
};

} // namespace comm
