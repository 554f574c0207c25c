#include "support/FileWriter.h"

#include "support/MessageBox.h"
#include "support/ProgramTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace support {

namespace {

QString SystemText(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

// A failed write or flush leaves its cause in errno only: the device's own text may then
// be a bare "Unknown error".
QString WriteReason(const QFileDevice& file, int code) {
    return code != 0 ? SystemText(code) : file.errorString();
}

bool FailsForTest(const QString& path) {
    const QString folder = qEnvironmentVariable("LX735_TEST_FAIL_WRITES");
    if (folder.isEmpty()) {
        return false;
    }
    const QString below = QDir::cleanPath(folder) + u'/';
    return QDir::cleanPath(QDir(path).absolutePath()).startsWith(below);
}

// The reason the file could not be written; "" once it is committed.
QString Write(QSaveFile& file, const QString& path, const QByteArray& bytes) {
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        return WriteReason(file, errno);
    }
    errno = 0;
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        return WriteReason(file, errno);
    }
    // Some file systems (network ones, quotas) find the space short only when the data
    // goes to the disk; the commit's own sync ignores its result.
    errno = 0;
    if (::fsync(file.handle()) != 0 && errno != EINVAL) {
        return SystemText(errno);
    }
    if (FailsForTest(path)) {
        return SystemText(ENOSPC);
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return {};
}

} // namespace

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* why) {
    QSaveFile file(path);
    const QString failure = Write(file, path, bytes);
    if (failure.isEmpty()) {
        return true;
    }
    file.cancelWriting(); // the new file goes; the old one was never touched
    if (why) {
        *why = failure;
    }
    return false;
}

void TellLogStopped(const QString& path, const QString& why, const QString& title) {
    const QString text = support::Text(support::ProgramText::LogStopped).arg(path, why);
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        MsgBox(text, vbExclamation, title);
        return;
    }
    QTimer::singleShot(0, app, [text, title] { MsgBox(text, vbExclamation, title); });
}

} // namespace support
