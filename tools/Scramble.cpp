#include "Scramble.h"

#include <algorithm>

namespace tools {

const QByteArray ScrambleHeader = "VESTRAGON";

QByteArray ScrambleLine(const QByteArray& plain) {
    QByteArray groups;
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const int code = static_cast<unsigned char>(plain[i]) * 2 + static_cast<int>(i % 2);
        groups += QByteArray::number(code).rightJustified(4, '0');
    }
    std::reverse(groups.begin(), groups.end());
    return groups;
}

QByteArray ScrambleFile(const QByteArray& plainFile) {
    QByteArray out = ScrambleLine(ScrambleHeader);
    if (plainFile.isEmpty()) {
        return out;
    }
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = plainFile.indexOf("\r\n", start);
        out += "\r\n" + ScrambleLine(plainFile.mid(start, end < 0 ? -1 : end - start));
        if (end < 0) {
            return out;
        }
        start = end + 2;
    }
}

} // namespace tools
