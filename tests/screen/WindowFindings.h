#pragma once

// What an installer would find wrong on a window as it is drawn: a caption cut by its
// control, a caption lying over another caption or box, a control standing outside its
// parent. Only visible controls count; a caption is taken where its text is drawn (the
// metrics of the control's own font, placed by its alignment), a box by its rectangle.
// The window's picture confirms a cut caption: its text's pixels reach the control's edge.

#include <QImage>
#include <QStringList>

class QAbstractButton;
class QFontMetrics;
class QRect;
class QSize;
class QWidget;

namespace screen_test {

// One line per finding, "<control path>: <what>".
QStringList WindowFindings(QWidget& window, const QImage& picture);

// The room a button leaves its caption: its contents rectangle as the style draws it, a
// push button's inside its bevel.
QRect ButtonContents(const QAbstractButton& button);

// A button's caption as it is drawn: its '&' marks taken out, "&&" shown as '&'.
QString ButtonText(const QAbstractButton& button);

// The room text takes drawn line by line ("\n"; a "\r" is ignored) with metrics.
QSize LinesSize(const QFontMetrics& metrics, const QString& text);

} // namespace screen_test
