#include "ui/WheelFocus.h"

#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QScrollBar>

namespace ui {

namespace {

// A scroll area keeps its bars in containers of its own.
bool ViewBar(const QWidget& widget) {
    const QWidget* container = widget.parentWidget();
    const auto* area =
        container ? qobject_cast<const QAbstractScrollArea*>(container->parentWidget()) : nullptr;
    return area && (area->verticalScrollBar() == &widget || area->horizontalScrollBar() == &widget);
}

bool Guarded(const QWidget& widget) {
    return qobject_cast<const QComboBox*>(&widget) ||
           (qobject_cast<const QAbstractSlider*>(&widget) && !ViewBar(widget));
}

// A click gives the focus, the wheel never does.
Qt::FocusPolicy ClickNotWheel(Qt::FocusPolicy policy) {
    switch (policy) {
    case Qt::NoFocus:
        return Qt::ClickFocus;
    case Qt::TabFocus:
    case Qt::WheelFocus:
        return Qt::StrongFocus;
    default:
        return policy;
    }
}

} // namespace

WheelFocusGuard::WheelFocusGuard(QCoreApplication& application) {
    application.installEventFilter(this);
}

bool WheelFocusGuard::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::Polish && type != QEvent::Wheel) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !Guarded(*widget)) {
        return false;
    }
    if (type == QEvent::Polish) {
        widget->setFocusPolicy(ClickNotWheel(widget->focusPolicy()));
        return false;
    }
    if (widget->hasFocus()) {
        return false;
    }
    // Taken from the control but not accepted: the application offers it to the parent.
    event->ignore();
    return true;
}

} // namespace ui
