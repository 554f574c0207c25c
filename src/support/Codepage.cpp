#include "support/Codepage.h"

namespace support {

namespace {

// 0x80..0x9F; the rest of the code page is Latin-1. Unassigned codes map to themselves.
const char16_t High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

QString DecodeCp1252(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        text[i] = QChar(b >= 0x80 && b < 0xA0 ? High[b - 0x80] : char16_t(b));
    }
    return text;
}

QByteArray EncodeCp1252(const QString& text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        char out = '?';
        if (u < 0x80 || (u >= 0xA0 && u < 0x100)) {
            out = static_cast<char>(u);
        } else {
            for (int k = 0; k < 32; ++k) {
                if (High[k] == u) {
                    out = static_cast<char>(0x80 + k);
                    break;
                }
            }
        }
        bytes[i] = out;
    }
    return bytes;
}

} // namespace support
