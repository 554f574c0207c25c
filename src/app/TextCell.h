#pragma once

// A status-bar cell: a line of text the program writes and the installer only reads, in
// the text boxes' flat look (TextBoxStyle). The link state cell changes its text a few
// times in every exchange for as long as the program is connected; a line edit costs a
// text layout, an accessibility update and a full repaint at every such change, this
// cell only stores the text and repaints itself.

#include <QColor>
#include <QString>
#include <QWidget>

namespace app {

class TextCell final : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)

public:
    explicit TextCell(QWidget* parent = nullptr);

    QString text() const { return text_; }
    // Each repaints only on a change.
    void setText(const QString& text);
    void SetColors(const QColor& back, const QColor& fore);
    QColor Back() const { return back_; }
    QColor Fore() const { return fore_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QColor back_;
    QColor fore_;
};

} // namespace app
