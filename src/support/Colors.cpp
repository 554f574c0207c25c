#include "support/Colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace support {

namespace {

// The system colours the program uses; any other index falls back to the button face,
// the usual background of a control.
QColor SystemColor(quint32 index, const QPalette& palette) {
    switch (index) {
    case 0x05:
        return palette.color(QPalette::Base);
    case 0x08:
        return palette.color(QPalette::WindowText);
    case 0x0E:
        return palette.color(QPalette::HighlightedText);
    case 0x10:
        return palette.color(QPalette::Dark); // button shadow
    case 0x12:
        return palette.color(QPalette::ButtonText);
    default:
        return palette.color(QPalette::Button);
    }
}

} // namespace

QColor ColorFromBgr(quint32 bgr) {
    if (bgr & SystemColorFlag) {
        return SystemColor(bgr & 0xFFu, QGuiApplication::palette());
    }
    return QColor(int(bgr & 0xFFu), int((bgr >> 8) & 0xFFu), int((bgr >> 16) & 0xFFu));
}

} // namespace support
