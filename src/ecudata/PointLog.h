#pragma once

// The operating-point log BIN/LogPoint.TXT: while its switch in the port-settings file is
// on, every decoded live record offers its operating point, and a line is appended
// whenever the point moves to another cell of a 32 x 16 grid of engine speed against
// pressure. The log is best effort: a file that cannot be opened is passed over, and a
// write error (a full disk) stops the log, told once, until it is started afresh.
//
// A line (CR LF): "[mm:ss:mmm]" (time since the log's start), 23 blanks, the clock in ms,
// the rpm (6 wide), " rpm  (", its cell (2 digits), ")", the pressure (6 wide),
// " mBar (", its cell, ")", the average petrol time in ms to 3 decimals (6 wide),
// " mSec ", " ". Numbers use the locale's decimal separator; a text longer than its
// field loses its leftmost characters.

#include "platform/FileAppend.h"

#include <QDate>
#include <QString>
#include <QtGlobal>

namespace ecudata {

struct Mem1Rec;

// The log's state; the program context owns one. The last-written cells start at 0, so
// the first point offered writes a line, and are kept across a restart of the log.
struct PointLog {
    qint32 LogPointRpmCell = 0;      // cell of the point last offered, 1..32
    qint32 LogPointMbarCell = 0;     // 1..16
    qint32 LogPointLastRpmCell = 0;  // cell of the last line written
    qint32 LogPointLastMbarCell = 0; //
    double LogPointStart = 0;        // clock at the start of the log, us
    platform::FileAppender File;     // the log's file, and its stop on a write error
};

QString LogPointPath(const QString& appFolder);

// rpm cell: the nearest whole number (half to even) to floor(rpm - 512) / 128, within
// 1..32. Pressure cell: 16 - floor(press2 / 64) in single precision, within 1..16.
qint32 LogPointRpmCellOf(double rpm);
qint32 LogPointMbarCellOf(double press2);

// The line for a record in the given cells: nowUsec is the clock for the time since
// the log's start, clockUsec the clock shown in ms.
QString LogPointLine(const Mem1Rec& record, const PointLog& log, double TInjAvg2, double nowUsec,
                     double clockUsec, const QString& decimalSep);

// Offers a freshly decoded record; appends a line when its cells differ from the last
// line's. True when a line was written. stoppedWhy is set, by that line alone, when a
// write error stopped the log.
bool WriteLogPoint(const Mem1Rec& record, PointLog& log, double TInjAvg2, const QString& appFolder,
                   const QString& decimalSep, QString* stoppedWhy = nullptr);

// The name the previous log is kept under: "LogPoint_" yymmdd "_" and the locale's
// time text (a "/" in it becomes "-"), ".txt".
QString LogPointCopyName(const QDate& date, const QString& timeText);

// Starts a fresh log with startUsec as its time base: the old one (if any) is copied to
// BIN/<copyName>, replacing a file of that name; then BIN/LogPoint.TXT holds the header
// line and a line of one blank. When the old log cannot be kept or the new one cannot be
// written, the log file stays as it was (later lines go on after it) and the result is
// False with why set to the reason.
bool StartLogPoint(const QString& appFolder, PointLog& log, double startUsec, const QString& header,
                   const QString& copyName, QString* why = nullptr);

} // namespace ecudata
