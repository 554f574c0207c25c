#pragma once

// The link log BIN/RxTx.TXT is started afresh at every start: the previous log is kept
// as BIN/RxTx_Last.TXT and the new one begins with a header line naming the release,
// the program and the time.

#include <QDateTime>
#include <QString>

namespace app {

// The date and time as the user's locale writes them (short date, time with seconds).
QString LocaleGeneralDate(const QDateTime& when);
// The time alone, with seconds, as the user's locale writes it.
QString LocaleTimeText(const QTime& when);

// The header text: the clock in ms, " O ", the release, the title and the date.
QString LinkLogHeader(double clockUsec, const QString& appTitle, const QDateTime& when);

// Moves an existing log over the last one, then writes the new log with its quoted
// header line. False when the old log could not be kept (it is then left as it
// stands) or the new one could not be written, with why set to the reason; a missing
// old log is no failure. The link calls it too whenever the log passes its size bound.
bool RestartLinkLog(const QString& appFolder, const QString& appTitle, QString* why = nullptr);

} // namespace app
