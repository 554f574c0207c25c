#pragma once

// A combo box, slider or scroll bar takes the mouse wheel only while it has the keyboard
// focus: most of them write the ECU, and a wheel turned with the pointer merely resting
// on one must change nothing. The notches it refuses go on to its parent, so that a
// scrolled area around it still scrolls; a scrolled view's own bars are left alone (they
// only move the view). Such a control takes the focus from a click and never from the
// wheel.

#include <QObject>

class QCoreApplication;

namespace ui {

// Watches every event of the application while it lives. Make it before the first
// window, so that every control is set up to take the focus from a click.
class WheelFocusGuard : public QObject {
public:
    explicit WheelFocusGuard(QCoreApplication& application);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace ui
