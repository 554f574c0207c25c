#include "ecudata/PointLog.h"
#include "support/Conversions.h"

#include "ecudata/ConfigLines.h"
#include "ecudata/LiveData.h"
#include "ecudata/ParamFile.h"
#include "platform/FileCopy.h"
#include "support/Clock.h"
#include "support/Codepage.h"
#include "support/FileRoutines.h"
#include "support/FileWriter.h"

#include <algorithm>
#include <cmath>

namespace ecudata {

namespace {

constexpr int FieldWidth = 6;
constexpr int GapAfterTime = 23;

// The last n characters of n zeros followed by the number.
QString Digits(qint64 value, int n) {
    return (QString(n, u'0') + QString::number(value)).right(n);
}

// Right-aligned in six characters; a longer text loses its leftmost ones.
QString Field(const QString& text) {
    return (QString(FieldWidth, u' ') + text).right(FieldWidth);
}

qint64 WholeMs(double usec) {
    return static_cast<qint64>(RoundHalfEven(usec / 1000));
}

} // namespace

QString LogPointPath(const QString& appFolder) {
    return appFolder + QStringLiteral("/BIN/LogPoint.TXT");
}

qint32 LogPointRpmCellOf(double rpm) {
    const double cell = RoundHalfEven(std::floor(rpm - 512) / 128);
    return static_cast<qint32>(std::clamp(cell, 1.0, 32.0));
}

qint32 LogPointMbarCellOf(double press2) {
    const float p = static_cast<float>(press2);
    const double cell = 16 - std::floor(p / 64.0f);
    return static_cast<qint32>(std::clamp(cell, 1.0, 16.0));
}

QString LogPointLine(const Mem1Rec& record, const PointLog& log, double TInjAvg2, double nowUsec,
                     double clockUsec, const QString& decimalSep) {
    const qint64 elapsed = WholeMs(nowUsec - log.LogPointStart);
    const qint64 minutes = elapsed / 60000;
    const qint64 rest = elapsed - minutes * 60000;
    const qint64 seconds = rest / 1000;
    const qint64 ms = rest - seconds * 1000;
    const auto number = [&](double v) { return support::GeneralNumberText(v, decimalSep); };
    return QStringLiteral("[") + Digits(minutes, 2) + u':' + Digits(seconds, 2) + u':' +
           Digits(ms, 3) + u']' + QString(GapAfterTime, u' ') +
           QString::number(WholeMs(clockUsec)) + Field(number(RoundHalfEven(record.Rpm))) +
           QStringLiteral(" rpm  (") + Digits(log.LogPointRpmCell, 2) + u')' +
           Field(number(record.Press2)) + QStringLiteral(" mBar (") +
           Digits(log.LogPointMbarCell, 2) + u')' +
           Field(number(RoundHalfEven(TInjAvg2 * 1000) / 1000)) + QStringLiteral(" mSec ") + u' ';
}

bool WriteLogPoint(const Mem1Rec& record, PointLog& log, double TInjAvg2, const QString& appFolder,
                   const QString& decimalSep, QString* stoppedWhy) {
    log.LogPointRpmCell = LogPointRpmCellOf(record.Rpm);
    log.LogPointMbarCell = LogPointMbarCellOf(record.Press2);
    if (log.LogPointRpmCell == log.LogPointLastRpmCell &&
        log.LogPointMbarCell == log.LogPointLastMbarCell) {
        return false;
    }
    log.LogPointLastRpmCell = log.LogPointRpmCell;
    log.LogPointLastMbarCell = log.LogPointMbarCell;
    const double now = support::GetTimeUsec();
    const QByteArray line = support::EncodeCp1252(
        LogPointLine(record, log, TInjAvg2, now, support::GetTimeUsec(), decimalSep) +
        QStringLiteral("\r\n"));
    const platform::AppendResult appended = log.File.Append(LogPointPath(appFolder), line);
    if (stoppedWhy && !appended.stoppedWhy.isEmpty()) {
        *stoppedWhy = appended.stoppedWhy;
    }
    return appended.size.has_value();
}

QString LogPointCopyName(const QDate& date, const QString& timeText) {
    QString time = timeText;
    return QStringLiteral("LogPoint_") + date.toString(QStringLiteral("yyMMdd")) + u'_' +
           time.replace(u'/', u'-') + QStringLiteral(".txt");
}

bool StartLogPoint(const QString& appFolder, PointLog& log, double startUsec, const QString& header,
                   const QString& copyName, QString* why) {
    log.LogPointStart = startUsec;
    const QString path = LogPointPath(appFolder);
    if (support::IsFilePresent(path) &&
        !platform::CopyFileOverwrite(path, appFolder + QStringLiteral("/BIN/") + copyName, why)) {
        return false;
    }
    const QByteArray text = support::EncodeCp1252(header + QStringLiteral("\r\n \r\n"));
    return support::WriteWholeFile(path, text, why);
}

} // namespace ecudata
