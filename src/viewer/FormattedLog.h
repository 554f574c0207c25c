#pragma once

// The formatted log (" | "-separated sample lines with ">" time steps), which the viewer
// reads but never writes, and the " # " text export of the samples in store.

#include "viewer/ViewerLog.h"

#include <QStringList>
#include <array>

namespace viewer {

struct FormattedLogLoad {
    Samples samples{Mem1Rec{}};
    qint32 TimeFirst = 0;
    qint32 TimeLast = 0;
    QString error; // the first line that could not be read, or why the file could not
};

// Reads the whole file, or only its last 50,000 bytes when tailOnly (while recording).
// A number that cannot be read ends the load there; the samples before it stay.
FormattedLogLoad LoadFormattedLog(const QString& path, bool tailOnly, const QString& decimalSep,
                                  const std::function<void()>& progress = {});

// The export's text: the header line with the channel names, then one line for each of
// the first count samples (time from the first sample, the selected injector's times,
// vacuum and pressure in bar, lambda, and the whole parts of rpm and both temperatures).
QString ExportText(const Samples& samples, std::size_t count, int selInjector,
                   const std::array<QString, 8>& names, const QString& decimalSep);

// Writes the text whole or not at all; False with error set on failure.
bool WriteTextFile(const QString& path, const QString& text, QString& error);

} // namespace viewer
