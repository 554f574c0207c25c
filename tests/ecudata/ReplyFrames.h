#pragma once

// Reply frames as the ECU sends them, for feeding the zone parsers directly.

#include <QByteArray>
#include <QString>

namespace ecudata_test {

inline QByteArray Reply(quint8 cmd, const QByteArray& data) {
    QByteArray frame;
    frame.append('B').append('\x01').append(static_cast<char>(data.size() + 4));
    frame.append(static_cast<char>(cmd)).append('\0').append(data);
    char x = 0;
    for (const char c : frame) {
        x ^= c;
    }
    return frame.append(x);
}

inline QByteArray Hex(const char* hex) {
    return QByteArray::fromHex(hex);
}

inline QString HexOf(const QByteArray& bytes) {
    return QString(bytes.toHex().toUpper());
}

} // namespace ecudata_test
