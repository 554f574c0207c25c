#include "emulation/HoldRepeat.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>
#include <utility>

namespace emulation {

HoldRepeat::HoldRepeat() {
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (active_ && step_) {
            step_();
        }
    });
}

void HoldRepeat::Watch(QWidget& grid) {
    grid.installEventFilter(this);
}

void HoldRepeat::Start(int periodMs, std::function<void()> step, std::function<void()> finish) {
    if (active_) {
        return;
    }
    active_ = true;
    step_ = std::move(step);
    finish_ = std::move(finish);
    step_();
    timer_.start(periodMs);
}

void HoldRepeat::End() {
    if (!active_) {
        return;
    }
    timer_.stop();
    active_ = false;
    step_ = nullptr;
    // The finish may start nothing new through this hold, so it is taken out first.
    const std::function<void()> finish = std::exchange(finish_, nullptr);
    if (finish) {
        finish();
    }
}

bool HoldRepeat::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        // Any key while a hold runs does nothing (the held key's own repeats among them).
        if (active_) {
            return true;
        }
        break;
    case QEvent::KeyRelease:
        if (!static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
            End();
        }
        break;
    case QEvent::FocusOut:
        End();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace emulation
