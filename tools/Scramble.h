#pragma once

// The scrambled form of the program's data files: a header line that reads
// "VESTRAGON", then every line scrambled. A scrambled line is the characters' codes,
// each doubled (plus a varying 0 or 1 that the reader drops) as a four-digit decimal
// group, the whole text reversed.

#include <QByteArray>
#include <QList>

namespace tools {

extern const QByteArray ScrambleHeader;

QByteArray ScrambleLine(const QByteArray& plain);

// The plain file's bytes split at CR LF, scrambled, behind the header line; CR LF line
// ends. A plain file ending with CR LF keeps its final empty line.
QByteArray ScrambleFile(const QByteArray& plainFile);

} // namespace tools
