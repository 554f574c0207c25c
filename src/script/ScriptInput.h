#pragma once

// The test script's hands: mouse buttons, wheel and keys delivered to a control as the
// window system delivers a user's (spontaneous events through the application, shortcuts
// first), so that event filters, focus and the controls' own handling all run.

#include <QEvent>
#include <QPoint>
#include <QString>
#include <optional>

class QAbstractSlider;
class QAction;
class QComboBox;
class QWidget;

namespace script {

struct KeyStroke {
    int key = 0;
    Qt::KeyboardModifiers modifiers;
    QString text; // what the key types ("" for keys that type nothing)
};

// "S", "s", "Ctrl+Alt+Shift+S", "Shift+Right", "Escape", "F2", "Shift", "KP_Add",
// "KP_5", "KP_Enter"; nothing when the name is no key.
std::optional<KeyStroke> ParseKey(const QString& name);

// "Shift", "Ctrl+Alt", ...: the modifiers of a mouse command; nothing when a part is none.
std::optional<Qt::KeyboardModifiers> ParseModifiers(const QString& text);

// One key event (KeyPress or KeyRelease) to the control; a press goes to the shortcuts
// first, as the window system's does.
void SendKey(QWidget& target, const KeyStroke& key, QEvent::Type type, bool autoRepeat = false);
void KeyClick(QWidget& target, const KeyStroke& key);
// Key presses and releases for each character.
void TypeText(QWidget& target, const QString& text);

// Where a user clicks the control: its centre, the box and text of a check or option
// button.
QPoint ClickPoint(QWidget& control);

// Mouse events at a point of the control.
void SendMouse(QWidget& target, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons held, Qt::KeyboardModifiers modifiers);
void MouseClick(QWidget& target, QPoint at, Qt::MouseButton button,
                Qt::KeyboardModifiers modifiers);
void MouseDoubleClick(QWidget& target, QPoint at, Qt::KeyboardModifiers modifiers);

// One notch of the mouse wheel with the pointer at a point of the control (away from the
// user, else towards), to the widget under the pointer as the window system delivers it.
void WheelNotch(QWidget& control, QPoint at, bool away);

// A menu item clicked: on its open pop-up menu (which then closes, as a context menu
// does), else triggered as a click on it in its menu does.
void ClickMenuItem(QAction& item);

// A combo box's item picked as a user does: focus, the list opened, the item taken with
// Enter (activated and, when it changes, the index change are raised). False when the
// list would not open.
bool ChooseItem(QComboBox& combo, int index);

// A scroll bar's or slider's thumb dragged to the value and let go.
void Slide(QAbstractSlider& slider, int value);

} // namespace script
