#pragma once

// Line readers of the program's read-only data files (the configuration scales, the
// firmware image). A file comes plain or scrambled (behind a header line that reads
// "VESTRAGON"); either way the readers give the same lines, split at CR LF only,
// decoded from the Windows-1252 code page. An empty list means nothing was read.

#include <QString>
#include <QStringList>

namespace support {

// Every line of the file; an empty list when it cannot be read.
QStringList ReadPlainFile(const QString& path);

// True when the file's first line unscrambles to "VESTRAGON".
bool IsScrambledFile(const QString& path);

// The lines after the header, unscrambled. A wrong header ("HEADER WRONG ") or a group
// that is not a character code (the box names the file and its line) gives an empty
// list and a box, once a run for each file; a missing file gives an empty list without
// a message.
QStringList ReadScrambledFile(const QString& path);

// What every data-file reader does: IsFilePresent, then the scrambled or the plain
// reader. A missing file gives an empty list without a message.
QStringList ReadDataFileLines(const QString& path);

} // namespace support
