#include "ui/Controls.h"
#include "ui/TextCell.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QWidget>

namespace ui {

QString ArrayName(const QString& name, int index) {
    return QStringLiteral("%1(%2)").arg(name).arg(index);
}

void MoveTwips(QWidget& control, int left, int top, int width, int height) {
    control.setGeometry(ToPixels(left), ToPixels(top), std::max(0, ToPixels(width)),
                        std::max(0, ToPixels(height)));
}

int LeftTwips(const QWidget& control) {
    return ToTwips(control.x());
}
int TopTwips(const QWidget& control) {
    return ToTwips(control.y());
}
int WidthTwips(const QWidget& control) {
    return ToTwips(control.width());
}
int HeightTwips(const QWidget& control) {
    return ToTwips(control.height());
}

void SetLeftTwips(QWidget& control, int left) {
    control.move(ToPixels(left), control.y());
}
void SetTopTwips(QWidget& control, int top) {
    control.move(control.x(), ToPixels(top));
}
void SetWidthTwips(QWidget& control, int width) {
    control.resize(std::max(0, ToPixels(width)), control.height());
}
void SetHeightTwips(QWidget& control, int height) {
    control.resize(control.width(), std::max(0, ToPixels(height)));
}

QObject* FindControl(QObject& root, const QString& name) {
    if (root.objectName() == name) {
        return &root;
    }
    return root.findChild<QObject*>(name);
}

void SetCaption(QObject* control, const QString& text) {
    if (auto* menu = qobject_cast<QMenu*>(control)) {
        menu->setTitle(text);
    } else if (auto* action = qobject_cast<QAction*>(control)) {
        action->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
        frame->setTitle(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(text);
    } else if (auto* cell = qobject_cast<TextCell*>(control)) {
        cell->setText(text);
    }
}

QString Caption(const QObject* control) {
    if (auto* menu = qobject_cast<const QMenu*>(control)) {
        return menu->title();
    }
    if (auto* action = qobject_cast<const QAction*>(control)) {
        return action->text();
    }
    if (auto* label = qobject_cast<const QLabel*>(control)) {
        return label->text();
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return button->text();
    }
    if (auto* frame = qobject_cast<const QGroupBox*>(control)) {
        return frame->title();
    }
    if (auto* edit = qobject_cast<const QLineEdit*>(control)) {
        return edit->text();
    }
    if (auto* cell = qobject_cast<const TextCell*>(control)) {
        return cell->text();
    }
    return {};
}

void SetToolTip(QObject* control, const QString& text) {
    if (auto* widget = qobject_cast<QWidget*>(control)) {
        widget->setToolTip(text);
    } else if (auto* action = qobject_cast<QAction*>(control)) {
        action->setToolTip(text);
    }
}

} // namespace ui
