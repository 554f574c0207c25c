#pragma once

// The look of the main window's text boxes: a flat field in one frame line, with no
// rounded, anti-aliased outline. It paints every pixel of the box, so the box can be
// marked opaque (nothing beneath it is repainted with it). The status cells and the
// live values (TextCell) draw the same field, several times a second for as long as the
// program runs; the usual outline costs more to draw than all the rest of such a box.

#include <QProxyStyle>

namespace ui {

class TextBoxStyle final : public QProxyStyle {
public:
    TextBoxStyle(); // over the application's style
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

// The one instance, owned by the application.
QStyle& SharedTextBoxStyle();

// The field as a text box draws it: filled, and framed in one line of the window's
// colour darkened (of the highlight's when it has the focus).
void DrawTextBoxField(QPainter& painter, const QRect& field, const QBrush& fill,
                      const QPalette& palette, bool focus);

} // namespace ui
