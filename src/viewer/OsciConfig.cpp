#include "viewer/OsciConfig.h"

#include "support/Codepage.h"
#include "support/LineReader.h"
#include "viewer/FormattedLog.h"
#include "viewer/PlotGeometry.h"
#include "viewer/ViewerLog.h"

#include <algorithm>
#include <cmath>

namespace viewer {

const std::array<QString, 8> ChannelCaptions{"T Inj Gas", "T Inj Benz", "Vacuum",   "Press",
                                             "Lambda",    "Rpm",        "Temp Inj", "Temp Gas"};
const std::array<quint32, 8> DefaultColors{0xFFFF00, 0xFFFF,   0x80FF,   0xFF,
                                           0xFF00,   0xFF8080, 0xFFFFFF, 0xFF00FF};
const std::array<double, 8> DefaultZooms{64, 64, 0.5, 0.5, 512, 0.25, 2, 8};
const std::array<double, 8> DefaultOffsets{1065, 1650, 2820, 3405, 4575, 5745, 6330, 6630};

namespace {

// A number line of a channel's block: its name in the report and the range the viewer's
// controls show.
struct ValueKey {
    const char* name;
    double low;
    double high;
};
constexpr ValueKey ColorKey{"colour", 0, 0xFFFFFF};
constexpr ValueKey OffsetKey{"offset", MinOffset, MaxOffset};
constexpr ValueKey ZoomKey{"zoom", MinZoom, MaxZoom};

// The line's number within the key's range, the block and key named in limited when it
// was not; nothing when the line holds no number.
std::optional<double> ReadValue(const QString& line, const ValueKey& key, const QString& sep,
                                const QString& block, QStringList& limited) {
    const auto v = ReadNumber(line, sep);
    if (!v) {
        return std::nullopt;
    }
    const double within = std::clamp(*v, key.low, key.high);
    if (within != *v) {
        limited << block + ' ' + key.name;
    }
    return within;
}

} // namespace

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
                    QString& error, QStringList* limited) {
    support::LineReader file(path);
    if (!file.IsOpen()) {
        error = path + ": " + file.ErrorString();
        return false;
    }
    auto next = [&file] { return support::DecodeCp1252(file.Next().value_or(QByteArray())); };
    QStringList outOfRange;
    while (const auto raw = file.Next()) {
        const QString line = support::DecodeCp1252(*raw);
        if (line.isEmpty()) {
            continue;
        }
        if (line == "[LastPath]" || line == "[SecDiv]" || line == "[ChannelSel]") {
            next();
            continue;
        }
        for (std::size_t c = 0; c < settings.size(); ++c) {
            if (line != '[' + ChannelCaptions[c] + ']') {
                continue;
            }
            ChannelSetting& s = settings[c];
            s.ShowTag = next().trimmed();
            const auto value = [&](const ValueKey& key) {
                return ReadValue(next(), key, sep, line, outOfRange);
            };
            if (const auto v = value(ColorKey)) {
                s.Color = static_cast<quint32>(std::nearbyint(*v));
            }
            if (const auto v = value(OffsetKey)) {
                s.Offset = *v;
            }
            if (const auto v = value(ZoomKey)) {
                s.Zoom = *v;
            }
            break;
        }
    }
    if (limited) {
        *limited = outOfRange;
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
