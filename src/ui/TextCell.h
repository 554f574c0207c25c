#pragma once

// A cell of text the program writes and the installer only reads (the status bar, the
// live values), in the text boxes' flat look (TextBoxStyle). The link state cell changes
// a few times in every exchange and the live values at every record, for as long as the
// program is connected; a line edit costs a text layout, an accessibility update and a
// full repaint at every such change, this cell only stores the text and repaints itself
// when it is shown. Its colours are its palette's base and text, as a text box's are, so
// the label-layout file sets them alike.

#include <QColor>
#include <QString>
#include <QWidget>

namespace ui {

class TextCell final : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)

public:
    explicit TextCell(QWidget* parent = nullptr);

    QString text() const { return text_; }
    Qt::Alignment alignment() const { return alignment_; }
    QColor Back() const;
    QColor Fore() const;
    // Each repaints only on a change.
    void setText(const QString& text);
    void setAlignment(Qt::Alignment alignment);
    void SetColors(const QColor& back, const QColor& fore);

    // The width the text has inside the frame; more is cut off.
    int TextRoom() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
};

} // namespace ui
