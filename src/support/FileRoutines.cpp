#include "support/FileRoutines.h"

#include "platform/Locale.h"
#include "platform/OsVersion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QStringList>
#include <QWidget>

namespace support {

namespace {

constexpr int TwipsPerPixel = 15;
constexpr int CenterLiftTwips = 450;

// Day, month and year of a dd/mm/yyyy text; missing fields are "".
QStringList DateFields(const QString& date) {
    QStringList parts = date.split('/');
    while (parts.size() < 3) {
        parts.append(QString());
    }
    return parts;
}

} // namespace

bool IsFilePresent(const QString& path) {
    if (path.isEmpty() || QFileInfo(path).isDir()) {
        return false;
    }
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

bool IsDirectory(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString GetParentPath(const QString& path) {
    if (path.count('/') < 2) {
        return {};
    }
    return path.left(path.lastIndexOf('/'));
}

void CenterForm(QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen) {
        return;
    }
    const QRect area = screen->geometry();
    const QSize size = window.frameGeometry().size();
    window.move((area.width() - size.width()) / 2,
                (area.height() - size.height()) / 2 - CenterLiftTwips / TwipsPerPixel);
}

bool CreateSamplesFolder(const QString& appFolder) {
    const QString samples = appFolder + "/SAMPLES";
    return IsDirectory(samples) || QDir().mkdir(samples);
}

void GetWindowsVersion(WinVerInfo& info) {
    platform::OsVersion os;
    if (!platform::QueryOsVersion(os)) {
        return;
    }
    info.Name = os.Name;
    info.Version = os.Version;
    info.ServicePack.clear();
    info.Build = os.Build;
}

QString GetLocaleString(unsigned locale, unsigned type) {
    return platform::GetLocaleInfo(locale, type);
}

bool IsDateNewer(const QString& a, const QString& b) {
    const QStringList da = DateFields(a);
    const QStringList db = DateFields(b);
    // Year, month, day: the first field that differs decides.
    for (const int field : {2, 1, 0}) {
        const int order = QString::compare(da[field], db[field], Qt::CaseSensitive);
        if (order != 0) {
            return order > 0;
        }
    }
    return false;
}

std::optional<QByteArray> ReadFileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace support
