#include "viewer/OsciConfig.h"

#include "support/Codepage.h"
#include "viewer/FormattedLog.h"
#include "viewer/ViewerLog.h"

#include <QFile>
#include <QStringList>

namespace viewer {

const std::array<QString, 8> ChannelCaptions{"T Inj Gas", "T Inj Benz", "Vacuum",   "Press",
                                             "Lambda",    "Rpm",        "Temp Inj", "Temp Gas"};
const std::array<quint32, 8> DefaultColors{0xFFFF00, 0xFFFF,   0x80FF,   0xFF,
                                           0xFF00,   0xFF8080, 0xFFFFFF, 0xFF00FF};
const std::array<double, 8> DefaultZooms{64, 64, 0.5, 0.5, 512, 0.25, 2, 8};
const std::array<double, 8> DefaultOffsets{1065, 1650, 2820, 3405, 4575, 5745, 6330, 6630};

ChannelSettings DefaultChannelSettings() {
    ChannelSettings s;
    for (std::size_t c = 0; c < s.size(); ++c) {
        s[c] = {"1", DefaultColors[c], DefaultOffsets[c], DefaultZooms[c]};
    }
    return s;
}

QString OsciConfigPath(const QString& appFolder) {
    return appFolder + "/LNG/OsciConfig.ini";
}

bool ReadOsciConfig(const QString& path, ChannelSettings& settings, const QString& sep,
                    QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = path + ": " + file.errorString();
        return false;
    }
    const QStringList lines = support::DecodeCp1252(file.readAll()).split("\r\n");
    auto next = [&, i = qsizetype(0)]() mutable -> std::optional<QString> {
        if (i >= lines.size()) {
            return std::nullopt;
        }
        return lines[i++];
    };
    while (const auto line = next()) {
        if (line->isEmpty()) {
            continue;
        }
        if (*line == "[LastPath]" || *line == "[SecDiv]" || *line == "[ChannelSel]") {
            next();
            continue;
        }
        for (std::size_t c = 0; c < settings.size(); ++c) {
            if (*line != '[' + ChannelCaptions[c] + ']') {
                continue;
            }
            ChannelSetting& s = settings[c];
            s.ShowTag = next().value_or(QString()).trimmed();
            if (const auto v = ReadNumber(next().value_or(QString()), sep)) {
                s.Color = static_cast<quint32>(*v);
            }
            if (const auto v = ReadNumber(next().value_or(QString()), sep)) {
                s.Offset = *v;
            }
            if (const auto v = ReadNumber(next().value_or(QString()), sep)) {
                s.Zoom = *v;
            }
            break;
        }
    }
    return true;
}

QString OsciConfigText(const ChannelSettings& settings, const QString& sep) {
    QString text;
    for (std::size_t c = 0; c < settings.size(); ++c) {
        const ChannelSetting& s = settings[c];
        text += '[' + ChannelCaptions[c] + "]\r\n" + s.ShowTag + "\r\n" + NumberLine(s.Color, sep) +
                "\r\n" + NumberLine(s.Offset, sep) + "\r\n" + NumberLine(s.Zoom, sep) + "\r\n";
    }
    return text;
}

bool WriteOsciConfig(const QString& path, const ChannelSettings& settings, const QString& sep,
                     QString& error) {
    return WriteTextFile(path, OsciConfigText(settings, sep), error);
}

} // namespace viewer
