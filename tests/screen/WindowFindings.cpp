#include "WindowFindings.h"

#include "calibration/ChartCanvas.h"
#include "ui/TextCell.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>
#include <QTableWidget>

namespace screen_test {

namespace {

// A thing the installer reads or types into, where it is drawn in the window.
struct Seen {
    const QWidget* control = nullptr;
    QString name;    // the control's path, or the chart number's
    QString caption; // empty for a box without text
    QRect text;      // in window coordinates, as far as its parents show them
    QRect box;
    QRect shown; // the part of the window where the control can show
};

// A caption wider or taller than the room its control gives it.
struct Cut {
    QString caption;
    QSize needed;
    QSize room;
};

QString PathOf(const QWidget& control, const QWidget& window) {
    QStringList names;
    for (const QWidget* w = &control; w && w != &window; w = w->parentWidget()) {
        names.prepend(w->objectName().isEmpty() ? w->metaObject()->className() : w->objectName());
    }
    return names.join('/');
}

QRect LineEditContents(const QLineEdit& box) {
    QStyleOptionFrame option;
    option.initFrom(&box);
    option.lineWidth =
        box.hasFrame() ? box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &box) : 0;
    const QMargins margins = box.textMargins();
    // The box keeps two pixels each side clear of its text.
    return box.style()
        ->subElementRect(QStyle::SE_LineEditContents, &option, &box)
        .adjusted(margins.left() + 2, margins.top(), -margins.right() - 2, -margins.bottom());
}

QRect GroupTitle(const QGroupBox& frame) {
    QStyleOptionGroupBox option;
    option.initFrom(&frame);
    option.text = frame.title();
    option.textAlignment = frame.alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.lineWidth = 1;
    if (frame.isFlat()) {
        option.features |= QStyleOptionFrame::Flat;
    }
    return frame.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel,
                                         &frame);
}

// Where a label's text is drawn, and whether it fits.
QRect LabelInk(const QLabel& label, std::optional<Cut>& cut) {
    const QFontMetrics metrics(label.font());
    const int margin = label.margin();
    const QRect room = label.contentsRect().adjusted(margin, margin, -margin, -margin);
    QRect text;
    if (label.wordWrap()) {
        text = metrics.boundingRect(room, int(label.alignment()) | Qt::TextWordWrap, label.text());
    } else {
        text = QStyle::alignedRect(label.layoutDirection(), label.alignment(),
                                   LinesSize(metrics, label.text()), room);
    }
    if (text.width() > room.width() || text.height() > room.height()) {
        cut = Cut{label.text(), text.size(), room.size()};
    }
    return text.intersected(label.rect());
}

// Where a control draws its caption's text and its box, in its own coordinates; null
// rectangles for what it does not draw (an empty label, a shape, a picture show neither).
struct Drawn {
    QRect text;
    QRect box;
};

Drawn Ink(const QWidget& control, QString& caption, std::optional<Cut>& cut) {
    const QFontMetrics metrics(control.font());
    if (auto* label = qobject_cast<const QLabel*>(&control)) {
        caption = label->text().trimmed().isEmpty() ? QString() : label->text();
        return {caption.isEmpty() ? QRect() : LabelInk(*label, cut),
                label->autoFillBackground() && !caption.isEmpty() ? label->rect() : QRect()};
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        caption = ButtonText(*button).trimmed().isEmpty() ? QString() : ButtonText(*button);
        const QRect room = ButtonContents(*button);
        const QSize needed = LinesSize(metrics, caption);
        if (!caption.isEmpty() && needed.width() > room.width()) {
            cut = Cut{caption, needed, room.size()};
        }
        if (qobject_cast<const QPushButton*>(button)) {
            const QRect text =
                QStyle::alignedRect(button->layoutDirection(), Qt::AlignCenter, needed, room);
            return {caption.isEmpty() ? QRect() : text & button->rect(), button->rect()};
        }
        // A check box or option: its mark and its caption.
        const QRect both(0, 0, std::min(button->width(), room.left() + needed.width()),
                         button->height());
        return {caption.isEmpty() ? QRect() : both, both};
    }
    if (auto* box = qobject_cast<const QLineEdit*>(&control)) {
        caption = box->text().trimmed().isEmpty() ? QString() : box->text();
        const QRect room = LineEditContents(*box);
        const QSize needed(metrics.horizontalAdvance(caption), metrics.height());
        if (!caption.isEmpty() &&
            (needed.width() > room.width() || needed.height() > room.height())) {
            cut = Cut{caption, needed, room.size()};
        }
        const QRect text =
            QStyle::alignedRect(box->layoutDirection(), box->alignment(), needed, room);
        return {caption.isEmpty() ? QRect() : text & box->rect(), box->rect()};
    }
    if (auto* frame = qobject_cast<const QGroupBox*>(&control)) {
        caption = frame->title().trimmed().isEmpty() ? QString() : frame->title();
        // A frame draws its border round the whole of it.
        const QRect border = frame->isFlat() ? QRect() : frame->rect();
        if (caption.isEmpty()) {
            return {QRect(), border};
        }
        const QRect title = GroupTitle(*frame);
        if (metrics.horizontalAdvance(caption) > title.width() || title.right() >= frame->width()) {
            cut = Cut{caption,
                      {metrics.horizontalAdvance(caption), metrics.height()},
                      {frame->width() - title.left(), title.height()}};
        }
        return {title, border};
    }
    if (auto* grid = qobject_cast<const QTableWidget*>(&control)) {
        const QFontMetrics cells(grid->font());
        for (int c = 0; c < grid->columnCount() && !cut; ++c) {
            const QTableWidgetItem* item = grid->item(0, c);
            if (item && cells.horizontalAdvance(item->text()) > grid->columnWidth(c) - 6) {
                cut = Cut{item->text(),
                          {cells.horizontalAdvance(item->text()), cells.height()},
                          {grid->columnWidth(c) - 6, grid->rowHeight(0)}};
            }
        }
        return {QRect(), grid->rect()};
    }
    if (qobject_cast<const QComboBox*>(&control) ||
        qobject_cast<const QAbstractSpinBox*>(&control) ||
        qobject_cast<const QAbstractItemView*>(&control) ||
        qobject_cast<const QAbstractSlider*>(&control) ||
        qobject_cast<const QProgressBar*>(&control) ||
        qobject_cast<const ui::TextCell*>(&control)) {
        return {QRect(), control.rect()};
    }
    return {};
}

// Controls whose children are their own workings, not controls of the window.
bool Whole(const QWidget& control) {
    return qobject_cast<const QAbstractButton*>(&control) ||
           qobject_cast<const QLineEdit*>(&control) || qobject_cast<const QComboBox*>(&control) ||
           qobject_cast<const QAbstractSpinBox*>(&control) ||
           qobject_cast<const QAbstractScrollArea*>(&control) ||
           qobject_cast<const QAbstractSlider*>(&control) ||
           qobject_cast<const QLabel*>(&control) || qobject_cast<const ui::TextCell*>(&control);
}

// Whether the picture shows text reaching the left or right edge of room: a pixel of the
// edge column far from the colour most of room shows.
bool InkAtEdge(const QImage& picture, const QRect& room) {
    const QRect inside = room.intersected(picture.rect());
    if (inside.width() < 3 || inside.height() < 1) {
        return false;
    }
    QHash<QRgb, int> counts;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            ++counts[picture.pixel(x, y)];
        }
    }
    QRgb back = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            back = it.key();
        }
    }
    const auto far = [back](QRgb c) { return std::abs(qGray(c) - qGray(back)) > 96; };
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        if (far(picture.pixel(inside.left(), y)) || far(picture.pixel(inside.right(), y))) {
            return true;
        }
    }
    return false;
}

class Survey {
public:
    Survey(QWidget& window, const QImage& picture) : window_(window), picture_(picture) {}

    QStringList Findings() {
        Walk(window_);
        FindOverlaps();
        return findings_;
    }

private:
    void Walk(const QWidget& parent) {
        for (QObject* child : parent.children()) {
            auto* control = qobject_cast<QWidget*>(child);
            if (!control || control->isWindow() || control->objectName().startsWith("qt_")) {
                continue;
            }
            if (!control->isVisibleTo(&window_)) {
                continue;
            }
            Look(*control);
            if (!Whole(*control)) {
                Walk(*control);
            }
        }
    }

    void Look(const QWidget& control) {
        const QString path = PathOf(control, window_);
        if (!control.parentWidget()->rect().contains(control.geometry()) && !Backdrop(control)) {
            findings_ << path + ": stands outside its parent (" + Text(control.geometry()) +
                             " in " + Text(control.parentWidget()->rect()) + ")";
        }
        QString caption;
        std::optional<Cut> cut;
        const Drawn ink = Ink(control, caption, cut);
        const QPoint at = control.mapTo(&window_, QPoint(0, 0));
        if (cut) {
            const bool seen = InkAtEdge(picture_, control.rect().translated(at));
            findings_ << path + ": \"" + cut->caption + "\" is cut: needs " + Text(cut->needed) +
                             ", has " + Text(cut->room) +
                             (seen ? " (its text reaches the edge in the picture)" : "");
        }
        const QRect shown = Shown(control);
        const auto inWindow = [&](const QRect& r) {
            return r.isNull() ? r : r.translated(at) & shown;
        };
        if (!ink.text.isNull() || !ink.box.isNull()) {
            seen_.push_back(
                {&control, path, caption, inWindow(ink.text), inWindow(ink.box), shown});
        }
        if (auto* canvas = dynamic_cast<const calibration::ChartCanvas*>(&control)) {
            for (const auto& [number, rect] : canvas->NumberRects()) {
                seen_.push_back(
                    {&control, path + " number " + number, number, inWindow(rect), {}, shown});
            }
        }
    }

    // The part of the window where control can show, clipped by each of its parents.
    QRect Shown(const QWidget& control) const {
        QRect shown = control.rect().translated(control.mapTo(&window_, QPoint(0, 0)));
        for (const QWidget* p = control.parentWidget(); p && p != &window_; p = p->parentWidget()) {
            shown &= p->rect().translated(p->mapTo(&window_, QPoint(0, 0)));
        }
        return shown;
    }

    // Whether a is drawn behind b: by the order of their lines below the parent they share.
    static bool Behind(const QWidget& a, const QWidget& b) {
        for (const QWidget* up = &a; up; up = up->parentWidget()) {
            const QWidget* below = &b;
            while (below->parentWidget() && below->parentWidget() != up->parentWidget()) {
                below = below->parentWidget();
            }
            if (below->parentWidget() == up->parentWidget() && up->parentWidget()) {
                const QObjectList& order = up->parentWidget()->children();
                return order.indexOf(up) < order.indexOf(below);
            }
        }
        return false;
    }

    static bool Related(const QWidget& a, const QWidget& b) {
        return a.isAncestorOf(&b) || b.isAncestorOf(&a);
    }

    // A button with no caption behind controls that stand on it is their raised
    // background; it reaches past its parent's edges so that no bevel shows there.
    static bool Backdrop(const QWidget& control) {
        if (!qobject_cast<const QPushButton*>(&control) ||
            !static_cast<const QPushButton&>(control).text().isEmpty()) {
            return false;
        }
        const QObjectList& siblings = control.parentWidget()->children();
        for (qsizetype i = siblings.indexOf(&control) + 1; i < siblings.size(); ++i) {
            auto* front = qobject_cast<const QWidget*>(siblings[i]);
            if (front && control.geometry().contains(front->geometry())) {
                return true;
            }
        }
        return false;
    }

    // A box with no caption wholly behind another control is its background.
    static bool Background(const Seen& back, const Seen& front) {
        return back.caption.isEmpty() && back.shown.contains(front.shown) &&
               Behind(*back.control, *front.control);
    }

    // Where a's caption lies under b's caption or box.
    static QRect Covered(const Seen& a, const Seen& b) {
        if (a.caption.isEmpty() || a.text.isEmpty()) {
            return {};
        }
        return (a.text & b.text).united(a.text & b.box);
    }

    // Every caption against every other caption or box in the window, wherever its parent.
    void FindOverlaps() {
        for (size_t i = 0; i < seen_.size(); ++i) {
            for (size_t j = i + 1; j < seen_.size(); ++j) {
                const Seen& a = seen_[i];
                const Seen& b = seen_[j];
                if (a.control == b.control || Related(*a.control, *b.control) || Background(a, b) ||
                    Background(b, a)) {
                    continue;
                }
                const QRect over = Covered(a, b).united(Covered(b, a));
                if (!over.isEmpty()) {
                    findings_ << a.name + " \"" + a.caption + "\" and " + b.name + " \"" +
                                     b.caption + "\" overlap at " + Text(over);
                }
            }
        }
    }

    static QString Text(const QRect& r) {
        return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }
    static QString Text(const QSize& s) {
        return QStringLiteral("%1x%2 px").arg(s.width()).arg(s.height());
    }

    QWidget& window_;
    const QImage& picture_;
    std::vector<Seen> seen_;
    QStringList findings_;
};

} // namespace

QRect ButtonContents(const QAbstractButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(&button)) {
        contents = QStyle::SE_CheckBoxContents;
    } else if (qobject_cast<const QRadioButton*>(&button)) {
        contents = QStyle::SE_RadioButtonContents;
    }
    QRect room = button.style()->subElementRect(contents, &option, &button);
    // A push button's text stands inside its bevel.
    return qobject_cast<const QPushButton*>(&button) ? room.adjusted(2, 0, -2, 0) : room;
}

QSize LinesSize(const QFontMetrics& metrics, const QString& text) {
    const QStringList lines = QString(text).remove('\r').split('\n');
    int widest = 0;
    for (const QString& line : lines) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    return {widest, int(lines.size()) * metrics.lineSpacing() - metrics.leading()};
}

QString ButtonText(const QAbstractButton& button) {
    QString text = button.text();
    return text.replace("&&", "\x01").remove('&').replace('\x01', '&');
}

QStringList WindowFindings(QWidget& window, const QImage& picture) {
    return Survey(window, picture).Findings();
}

} // namespace screen_test
