#include "support/ErrorBox.h"

#include "platform/OsError.h"
#include "support/Cursor.h"
#include "support/MessageBox.h"

namespace support {

namespace {

const QString ErrorBoxTitle = "LX735: Error";
constexpr qint64 SilentTrappedError = 3146;

QString NumberText(qint64 number) {
    if (number >= 0 && number < 100000) {
        return QString::number(number);
    }
    const auto word = static_cast<quint32>(number);
    return " = &H" + QString::number(word, 16).toUpper().rightJustified(8, '0');
}

} // namespace

void ShowErrorBox(const QString& tag, const QString& context, bool useSystemError,
                  const ErrObject& trapped) {
    QString text = context + "Error" + tag + ":\r";
    const ErrObject err = useSystemError ? ErrObject{platform::LastOsError(), QString()} : trapped;
    const bool silent = err.Number == 0 || (!useSystemError && err.Number == SilentTrappedError);
    if (!silent) {
        text += "\r" + NumberText(err.Number) + " - " + err.Description;
    }
    CursorOverride arrow(Qt::ArrowCursor);
    MsgBox(text, vbExclamation, ErrorBoxTitle);
}

} // namespace support
