#include "link/ComPorts.h"

#include "support/Codepage.h"

#include <QFile>
#include <QRegularExpression>

namespace comm {

namespace {

constexpr int FirstCom = 1;
constexpr int LastCom = 9;

int ComNumber(const QString& name) {
    static const QRegularExpression pattern("^COM([1-9])$");
    const QRegularExpressionMatch match = pattern.match(name);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// The value line after the last "[COMn]" marker of the file (markers are matched
// without regard to case or surrounding blanks); "" when there is none.
QString MappedDevice(const QString& appFolder, int number) {
    QFile file(ComPortsPath(appFolder));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QStringList lines =
        support::DecodeCp1252(file.readAll()).split(QRegularExpression("\r\n|\r|\n"));
    const QString marker = QString("[COM%1]").arg(number);
    QString device;
    for (int i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].trimmed().compare(marker, Qt::CaseInsensitive) == 0) {
            device = lines[++i].trimmed();
        }
    }
    return device;
}

} // namespace

QString ComPortsPath(const QString& appFolder) {
    return appFolder + "/BIN/ComPorts.ini";
}

QString ComPortDevice(const QString& appFolder, const QString& comPortNome) {
    const int number = ComNumber(comPortNome);
    if (number < FirstCom || number > LastCom) {
        return {};
    }
    const QString mapped = MappedDevice(appFolder, number);
    return mapped.isEmpty() ? QString("/dev/ttyS%1").arg(number - 1) : mapped;
}

} // namespace comm
