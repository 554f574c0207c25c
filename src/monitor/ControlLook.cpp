#include "monitor/ControlLook.h"

#include "support/Colors.h"

#include <QColor>
#include <QFrame>
#include <QPalette>
#include <QVariant>
#include <QWidget>

namespace monitor {

namespace {

constexpr char BackColorKey[] = "lookBackColor";
constexpr char BackStyleKey[] = "lookBackStyle";
constexpr char FillColorKey[] = "lookFillColor";
constexpr char BorderColorKey[] = "lookBorderColor";

quint32 Kept(const QWidget& control, const char* key, quint32 otherwise) {
    const QVariant value = control.property(key);
    return value.isValid() ? value.toUInt() : otherwise;
}

QString Css(const QColor& color) {
    return color.name(QColor::HexRgb);
}

bool IsShape(const QWidget& control) {
    return control.property(FillColorKey).isValid() || control.property(BorderColorKey).isValid();
}

// A shape draws its fill (or, without one, its back colour when opaque) inside a
// one-pixel border; other controls fill their background when opaque.
void Redraw(QWidget& control) {
    if (IsShape(control)) {
        QString back = "transparent";
        if (control.property(FillColorKey).isValid()) {
            back = Css(support::ColorFromBgr(FillColor(control)));
        } else if (BackStyle(control) == 1) {
            back = Css(support::ColorFromBgr(BackColor(control)));
        }
        control.setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid %2;")
                                  .arg(back, Css(support::ColorFromBgr(BorderColor(control)))));
        return;
    }
    QPalette own = control.palette();
    const QColor back = support::ColorFromBgr(BackColor(control));
    own.setColor(QPalette::Window, back);
    own.setColor(QPalette::Button, back);
    control.setPalette(own);
    control.setAutoFillBackground(BackStyle(control) == 1);
}

// Sets a look property and redraws, only when it changes: a redraw restyles the control,
// and the live displays set their looks at every record.
void Keep(QWidget& control, const char* key, quint32 value) {
    const QVariant kept = control.property(key);
    if (kept.isValid() && kept.toUInt() == value) {
        return;
    }
    control.setProperty(key, value);
    Redraw(control);
}

} // namespace

void SetBackColor(QWidget& control, quint32 bgr) {
    Keep(control, BackColorKey, bgr);
}

quint32 BackColor(const QWidget& control) {
    return Kept(control, BackColorKey, support::ColorButtonFace);
}

void SetBackStyle(QWidget& control, int style) {
    Keep(control, BackStyleKey, quint32(style));
}

int BackStyle(const QWidget& control) {
    return int(Kept(control, BackStyleKey, 1));
}

void SetFillColor(QWidget& shape, quint32 bgr) {
    Keep(shape, FillColorKey, bgr);
}

quint32 FillColor(const QWidget& shape) {
    return Kept(shape, FillColorKey, 0);
}

void SetBorderColor(QWidget& shape, quint32 bgr) {
    Keep(shape, BorderColorKey, bgr);
}

quint32 BorderColor(const QWidget& shape) {
    return Kept(shape, BorderColorKey, 0);
}

} // namespace monitor
