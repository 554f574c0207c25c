#include "app/LinkLogRestart.h"

#include "app/ProgramContext.h"
#include "link/RxTxLog.h"
#include "platform/FileCopy.h"
#include "support/Clock.h"
#include "support/Codepage.h"
#include "support/FileRoutines.h"
#include "support/FileWriter.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace app {

QString LocaleTimeText(const QTime& when) {
    const QLocale locale = QLocale::system();
    // The long time format carries the seconds; the logs have no use for the time zone.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("\\s*t+")));
    return locale.toString(when, timeFormat);
}

QString LocaleGeneralDate(const QDateTime& when) {
    return QLocale::system().toString(when.date(), QLocale::ShortFormat) + " " +
           LocaleTimeText(when.time());
}

QString LinkLogHeader(double clockUsec, const QString& appTitle, const QDateTime& when) {
    // Halves to even, as the clock's other readers round.
    const auto ms = static_cast<qint64>(std::nearbyint(clockUsec / 1000.0));
    return QString::number(ms) + " O " + ReleaseText + " " + appTitle + " " +
           LocaleGeneralDate(when);
}

bool RestartLinkLog(const QString& appFolder, const QString& appTitle, QString* why) {
    const QString log = comm::RxTxLogPath(appFolder);
    const QString last = appFolder + "/BIN/RxTx_Last.TXT";
    // The old log becomes the last one by a rename, whatever its size; a copy only
    // where that cannot be. Without either the old log is kept as it stands.
    if (support::IsFilePresent(log) && !platform::MoveFileOverwrite(log, last) &&
        !platform::CopyFileOverwrite(log, last, why)) {
        return false;
    }
    const QString header =
        LinkLogHeader(support::GetTimeUsec(), appTitle, QDateTime::currentDateTime());
    return support::WriteWholeFile(log, support::EncodeCp1252('"' + header + '"') + "\r\n", why);
}

} // namespace app
