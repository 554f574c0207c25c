#pragma once

// LNG/OsciConfig.ini: each channel's show flag, trace colour (BGR), offset (twips) and
// zoom, one block of five lines a channel, kept from one opening of the viewer to the
// next.

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>

namespace viewer {

struct ChannelSetting {
    QString ShowTag = "1"; // "1" shown; anything else hidden
    quint32 Color = 0;     // BGR
    double Offset = 0;     // twips
    double Zoom = 1;
};
using ChannelSettings = std::array<ChannelSetting, 8>;

// The channels' check-box captions, which name their blocks.
extern const std::array<QString, 8> ChannelCaptions;
// The design colours of the channels (BGR) and the reset zooms and offsets.
extern const std::array<quint32, 8> DefaultColors;
extern const std::array<double, 8> DefaultZooms;
extern const std::array<double, 8> DefaultOffsets;

ChannelSettings DefaultChannelSettings();

QString OsciConfigPath(const QString& appFolder);

// Applies the file's blocks over settings; channels the file lacks keep their values, and
// so does a value that is not a number. A value beyond what the viewer's controls show
// (colour 0..FFFFFF, offset MinOffset..MaxOffset, zoom MinZoom..MaxZoom) is limited to
// it and named in limited ("[Rpm] zoom"). False with error set when the file cannot be
// read (a missing one included).
bool ReadOsciConfig(const QString& path, ChannelSettings& settings, const QString& decimalSep,
                    QString& error, QStringList* limited = nullptr);

// The file's text: the eight blocks in channel order.
QString OsciConfigText(const ChannelSettings& settings, const QString& decimalSep);

// Replaces the file whole; False with error set when it cannot be written.
bool WriteOsciConfig(const QString& path, const ChannelSettings& settings,
                     const QString& decimalSep, QString& error);

} // namespace viewer
