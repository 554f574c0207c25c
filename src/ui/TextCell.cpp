#include "ui/TextCell.h"

#include "ui/TextBoxStyle.h"

#include <QPainter>

namespace ui {

namespace {

constexpr int FrameLine = 1;
constexpr int TextIndent = 3; // from the frame line, as a line edit sets its text

} // namespace

TextCell::TextCell(QWidget* parent) : QWidget(parent) {
    setBackgroundRole(QPalette::Base);
    setForegroundRole(QPalette::Text);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    QFont plain = font();
    plain.setStyleStrategy(QFont::PreferNoShaping);
    setFont(plain);
}

QColor TextCell::Back() const {
    return palette().color(backgroundRole());
}

QColor TextCell::Fore() const {
    return palette().color(foregroundRole());
}

void TextCell::setText(const QString& text) {
    if (text != text_) {
        text_ = text;
        update();
    }
}

void TextCell::setAlignment(Qt::Alignment alignment) {
    if (alignment != alignment_) {
        alignment_ = alignment;
        update();
    }
}

void TextCell::SetColors(const QColor& back, const QColor& fore) {
    if (back == Back() && fore == Fore()) {
        return;
    }
    QPalette colours = palette();
    colours.setColor(backgroundRole(), back);
    colours.setColor(foregroundRole(), fore);
    setPalette(colours);
}

int TextCell::TextRoom() const {
    return width() - 2 * (FrameLine + TextIndent);
}

QSize TextCell::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    return {metrics.horizontalAdvance(text_) + 2 * (FrameLine + TextIndent),
            metrics.height() + 2 * (FrameLine + 1)};
}

void TextCell::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect field = rect();
    DrawTextBoxField(painter, field, Back(), palette(), false);
    painter.setPen(Fore());
    painter.drawText(field.adjusted(FrameLine + TextIndent, 0, -(FrameLine + TextIndent), 0),
                     int(alignment_) | Qt::TextSingleLine, text_);
}

} // namespace ui
