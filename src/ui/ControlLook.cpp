#include "ui/ControlLook.h"

#include "support/Colors.h"
#include "ui/TextCell.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QColor>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVariant>
#include <QWidget>

namespace ui {

namespace {

constexpr char BackColorKey[] = "lookBackColor";
constexpr char ForeColorKey[] = "lookForeColor";
constexpr char BackStyleKey[] = "lookBackStyle";
constexpr char FillColorKey[] = "lookFillColor";
constexpr char BorderColorKey[] = "lookBorderColor";

quint32 Kept(const QWidget& control, const char* key, quint32 otherwise) {
    const QVariant value = control.property(key);
    return value.isValid() ? value.toUInt() : otherwise;
}

bool IsKept(const QWidget& control, const char* key) {
    return control.property(key).isValid();
}

QString Css(const QColor& color) {
    return color.name(QColor::HexRgb);
}

bool IsShape(const QWidget& control) {
    return IsKept(control, FillColorKey) || IsKept(control, BorderColorKey);
}

struct Roles {
    QPalette::ColorRole back;
    QPalette::ColorRole fore;
};

// The roles a kind of control paints its field and its text with: a colour in any other
// role would be kept but never seen.
Roles RolesOf(const QWidget& control) {
    if (qobject_cast<const QLineEdit*>(&control) || qobject_cast<const ui::TextCell*>(&control) ||
        qobject_cast<const QAbstractSpinBox*>(&control)) {
        return {QPalette::Base, QPalette::Text};
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(&control)) {
        return combo->isEditable() ? Roles{QPalette::Base, QPalette::Text}
                                   : Roles{QPalette::Button, QPalette::ButtonText};
    }
    if (qobject_cast<const QPushButton*>(&control) || qobject_cast<const QToolButton*>(&control)) {
        return {QPalette::Button, QPalette::ButtonText};
    }
    return {QPalette::Window, QPalette::WindowText};
}

// Only the colours set are written: a text box given a fore colour keeps its own field.
void RedrawControl(QWidget& control) {
    const Roles roles = RolesOf(control);
    QPalette own = control.palette();
    if (IsKept(control, BackColorKey)) {
        own.setColor(roles.back, support::ColorFromBgr(BackColor(control)));
    }
    if (IsKept(control, ForeColorKey)) {
        own.setColor(roles.fore, support::ColorFromBgr(ForeColor(control)));
    }
    control.setPalette(own);
    if (IsKept(control, BackColorKey) || IsKept(control, BackStyleKey)) {
        control.setBackgroundRole(roles.back);
        control.setAutoFillBackground(BackStyle(control) == 1);
    }
}

// A shape draws its fill (or, without one, its back colour when opaque) inside a
// one-pixel border; other controls fill their background when opaque.
void Redraw(QWidget& control) {
    if (IsShape(control)) {
        QString back = "transparent";
        if (IsKept(control, FillColorKey)) {
            back = Css(support::ColorFromBgr(FillColor(control)));
        } else if (BackStyle(control) == 1) {
            back = Css(support::ColorFromBgr(BackColor(control)));
        }
        control.setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid %2;")
                                  .arg(back, Css(support::ColorFromBgr(BorderColor(control)))));
        return;
    }
    RedrawControl(control);
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

// The view's own selection look would cover the colours the program gives the cells.
class OwnCellColours final : public QStyledItemDelegate {
public:
    explicit OwnCellColours(QAbstractItemView& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem own = option;
        // The program marks the current cell in its colours; the style's focus frame
        // would tint them.
        if (index == grid_.currentIndex()) {
            own.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        } else if (!Focused()) {
            own.state &= ~QStyle::State_Selected;
        }
        // The view has already painted a selected cell's row panel in the selection's
        // colour; a cell without a colour of its own shows the field instead.
        if ((option.state & ~own.state) & QStyle::State_Selected) {
            painter->fillRect(option.rect, option.palette.base());
        }
        QStyledItemDelegate::paint(painter, own, index);
    }

private:
    bool Focused() const {
        const QWidget* window = grid_.window();
        return window && window->focusWidget() == &grid_;
    }

    QAbstractItemView& grid_;
};

} // namespace

void SetBackColor(QWidget& control, quint32 bgr) {
    Keep(control, BackColorKey, bgr);
}

quint32 BackColor(const QWidget& control) {
    return Kept(control, BackColorKey, support::ColorButtonFace);
}

void SetForeColor(QWidget& control, quint32 bgr) {
    Keep(control, ForeColorKey, bgr);
}

quint32 ForeColor(const QWidget& control) {
    return Kept(control, ForeColorKey, support::ColorWindowText);
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

void ShowOwnCellColours(QAbstractItemView& grid) {
    if (!dynamic_cast<OwnCellColours*>(grid.itemDelegate())) {
        grid.setItemDelegate(new OwnCellColours(grid));
    }
}

void SetShown(QWidget& control, bool shown) {
    if (control.isHidden() == shown) {
        control.setVisible(shown);
    }
}

} // namespace ui
