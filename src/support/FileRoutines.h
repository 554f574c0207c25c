#pragma once

// File, folder, host and date routines used around the program's files. Paths use "/".

#include <QByteArray>
#include <QString>
#include <optional>

class QWidget;

namespace support {

// The whole file's bytes; nothing when it cannot be opened or read to its end.
std::optional<QByteArray> ReadFileBytes(const QString& path);

// True when the path is a file that can be opened for reading (a folder, an unreadable
// file and "" give False).
bool IsFilePresent(const QString& path);

bool IsDirectory(const QString& path);

// The text before the last "/"; "" when the path has fewer than two "/".
QString GetParentPath(const QString& path);

// Centres the window on its screen, 450 twips above the true centre.
void CenterForm(QWidget& window);

// Creates <appFolder>/SAMPLES when it is not a folder; False when it cannot be made.
bool CreateSamplesFolder(const QString& appFolder);

struct WinVerInfo {
    int PlatformId = 0;
    QString Name;
    QString Version;
    QString ServicePack;
    QString Build;
};

// Fills the record with the operating system's name and version (on Linux: the
// distribution and the kernel); leaves it as it was when they cannot be read.
void GetWindowsVersion(WinVerInfo& info);

// A locale text (GetLocaleString(0, 14) is the decimal separator); "" when unknown.
QString GetLocaleString(unsigned locale, unsigned type);

// a later than b, both written dd/mm/yyyy; fields compare as texts, year first.
bool IsDateNewer(const QString& a, const QString& b);

} // namespace support
