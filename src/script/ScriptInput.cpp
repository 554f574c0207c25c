#include "script/ScriptInput.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QRadioButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWheelEvent>
#include <QWidget>

// Qt's own hook (a friend of QEvent) for marking an event as the window system's.
class QSpontaneKeyEvent {
public:
    static void setSpontaneous(QEvent* event) { event->setSpontaneous(); }
};

// Exported by Qt Gui: offers a key press to the shortcuts first; True when one took it.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k,
                                               Qt::KeyboardModifiers mods,
                                               const QString& text = QString(),
                                               bool autorep = false, ushort count = 1);

namespace script {

namespace {

struct NamedKey {
    const char* name;
    int key;
    const char* text;
};

// The keypad's keys: their own key codes with the keypad flag.
constexpr NamedKey KeypadKeys[] = {
    {"KP_Add", Qt::Key_Plus, "+"},          {"KP_Subtract", Qt::Key_Minus, "-"},
    {"KP_Multiply", Qt::Key_Asterisk, "*"}, {"KP_Divide", Qt::Key_Slash, "/"},
    {"KP_Decimal", Qt::Key_Period, "."},    {"KP_Enter", Qt::Key_Enter, ""},
};

constexpr struct {
    const char* name;
    Qt::KeyboardModifier modifier;
    int key;
} Modifiers[] = {
    {"Shift", Qt::ShiftModifier, Qt::Key_Shift},
    {"Ctrl", Qt::ControlModifier, Qt::Key_Control},
    {"Alt", Qt::AltModifier, Qt::Key_Alt},
};

std::optional<Qt::KeyboardModifier> ModifierOf(const QString& name) {
    for (const auto& m : Modifiers) {
        if (name.compare(QLatin1String(m.name), Qt::CaseInsensitive) == 0) {
            return m.modifier;
        }
    }
    return std::nullopt;
}

// A key without modifiers: "S", "Right", "F2", "KP_Add", "Shift" (the key itself).
std::optional<KeyStroke> BaseKey(const QString& name) {
    for (const NamedKey& k : KeypadKeys) {
        if (name == QLatin1String(k.name)) {
            return KeyStroke{k.key, Qt::KeypadModifier, QString::fromLatin1(k.text)};
        }
    }
    if (name.size() == 4 && name.startsWith(QLatin1String("KP_")) && name[3].isDigit()) {
        return KeyStroke{Qt::Key_0 + name[3].digitValue(), Qt::KeypadModifier, name.mid(3)};
    }
    for (const auto& m : Modifiers) {
        if (name.compare(QLatin1String(m.name), Qt::CaseInsensitive) == 0) {
            return KeyStroke{m.key, {}, {}};
        }
    }
    const QKeySequence sequence = QKeySequence::fromString(name, QKeySequence::PortableText);
    if (sequence.count() != 1 || sequence[0].keyboardModifiers() != Qt::NoModifier ||
        sequence[0].key() == Qt::Key_unknown) {
        return std::nullopt;
    }
    const int key = sequence[0].key();
    const QString text = key >= 0x20 && key < 0x7f ? QString(QChar(key)) : QString();
    return KeyStroke{key, {}, text};
}

// The text a key types with these modifiers: none with Ctrl or Alt, letters lower-case
// without Shift.
QString TypedText(const KeyStroke& key) {
    if (key.modifiers & (Qt::ControlModifier | Qt::AltModifier)) {
        return {};
    }
    if (key.key >= Qt::Key_A && key.key <= Qt::Key_Z && !(key.modifiers & Qt::ShiftModifier)) {
        return key.text.toLower();
    }
    return key.text;
}

void Deliver(QWidget& target, QEvent& event) {
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::sendEvent(&target, &event);
}

} // namespace

std::optional<Qt::KeyboardModifiers> ParseModifiers(const QString& text) {
    Qt::KeyboardModifiers modifiers;
    for (const QString& part : text.split('+')) {
        const std::optional<Qt::KeyboardModifier> modifier = ModifierOf(part);
        if (!modifier) {
            return std::nullopt;
        }
        modifiers |= *modifier;
    }
    return modifiers;
}

std::optional<KeyStroke> ParseKey(const QString& name) {
    // "+" is a key of its own too: "Shift++".
    QString last = name.endsWith('+') && name.size() > 1 && name[name.size() - 2] == '+'
                       ? QStringLiteral("+")
                       : name.section('+', -1);
    if (name == QLatin1String("+")) {
        last = name;
    }
    const QString head = name.left(name.size() - last.size());
    std::optional<KeyStroke> key = BaseKey(last);
    if (!key || name.isEmpty()) {
        return std::nullopt;
    }
    if (!head.isEmpty()) {
        const std::optional<Qt::KeyboardModifiers> modifiers = ParseModifiers(head.chopped(1));
        if (!modifiers) {
            return std::nullopt;
        }
        key->modifiers |= *modifiers;
    }
    key->text = TypedText(*key);
    return key;
}

void SendKey(QWidget& target, const KeyStroke& key, QEvent::Type type, bool autoRepeat) {
    QKeyEvent event(type, key.key, key.modifiers, key.text, autoRepeat);
    if (type == QEvent::KeyPress &&
        qt_sendShortcutOverrideEvent(&target, event.timestamp(), key.key, key.modifiers, key.text,
                                     autoRepeat)) {
        return;
    }
    Deliver(target, event);
}

void KeyClick(QWidget& target, const KeyStroke& key) {
    SendKey(target, key, QEvent::KeyPress);
    SendKey(target, key, QEvent::KeyRelease);
}

void TypeText(QWidget& target, const QString& text) {
    for (const QChar c : text) {
        KeyStroke key;
        key.text = c;
        key.key = Qt::Key_unknown;
        if (c.unicode() < 0x7f) {
            key.key = c.isLetter() ? c.toUpper().unicode() : c.unicode();
        }
        if (c.isUpper()) {
            key.modifiers = Qt::ShiftModifier;
        }
        KeyClick(target, key);
    }
}

void SendMouse(QWidget& target, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons held, Qt::KeyboardModifiers modifiers) {
    QMouseEvent event(type, at, target.mapTo(target.window(), at), target.mapToGlobal(at), button,
                      held, modifiers);
    Deliver(target, event);
}

QPoint ClickPoint(QWidget& control) {
    // A check or option button takes a click only on its box or its text.
    QStyleOptionButton option;
    option.initFrom(&control);
    if (auto* check = qobject_cast<QCheckBox*>(&control)) {
        option.text = check->text();
        return control.style()
            ->subElementRect(QStyle::SE_CheckBoxClickRect, &option, &control)
            .center();
    }
    if (auto* radio = qobject_cast<QRadioButton*>(&control)) {
        option.text = radio->text();
        return control.style()
            ->subElementRect(QStyle::SE_RadioButtonClickRect, &option, &control)
            .center();
    }
    return control.rect().center();
}

void MouseClick(QWidget& target, QPoint at, Qt::MouseButton button,
                Qt::KeyboardModifiers modifiers) {
    SendMouse(target, QEvent::MouseButtonPress, at, button, button, modifiers);
    SendMouse(target, QEvent::MouseButtonRelease, at, button, Qt::NoButton, modifiers);
}

void MouseDoubleClick(QWidget& target, QPoint at, Qt::KeyboardModifiers modifiers) {
    // The order the window system delivers: press, release, double-click, release.
    MouseClick(target, at, Qt::LeftButton, modifiers);
    SendMouse(target, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton, modifiers);
    SendMouse(target, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton, modifiers);
}

void WheelNotch(QWidget& control, QPoint at, bool away) {
    constexpr int NotchAngle = 120; // eighths of a degree
    QWidget* window = control.window();
    const QPoint inWindow = control.mapTo(window, at);
    QWidget* target = window->childAt(inWindow);
    if (!target) {
        target = window;
    }
    const QPoint local = target->mapFrom(window, inWindow);
    QWheelEvent event(local, target->mapToGlobal(local), QPoint(),
                      QPoint(0, away ? NotchAngle : -NotchAngle), Qt::NoButton,
                      QGuiApplication::keyboardModifiers(), Qt::NoScrollPhase, false);
    // Straight to the application with the mark kept (sending would clear it), so that
    // the wheel gives the focus and goes on to the parents as the window system's does.
    QSpontaneKeyEvent::setSpontaneous(&event);
    QCoreApplication::instance()->notify(target, &event);
}

void ClickMenuItem(QAction& item) {
    for (QObject* owner : item.associatedObjects()) {
        auto* menu = qobject_cast<QMenu*>(owner);
        if (menu && menu->isVisible()) {
            MouseClick(*menu, menu->actionGeometry(&item).center(), Qt::LeftButton, Qt::NoModifier);
            return;
        }
    }
    item.trigger();
}

bool ChooseItem(QComboBox& combo, int index) {
    combo.setFocus(Qt::MouseFocusReason);
    combo.showPopup();
    QAbstractItemView* list = combo.view();
    if (!list || !list->isVisible()) {
        combo.hidePopup();
        return false;
    }
    list->setCurrentIndex(combo.model()->index(index, combo.modelColumn(), combo.rootModelIndex()));
    // The list takes Enter as the shortcut offer and closes; the press after it would
    // reach the closed list, not the user's combo.
    const KeyStroke enter{Qt::Key_Return, {}, {}};
    QKeyEvent offer(QEvent::ShortcutOverride, enter.key, enter.modifiers);
    Deliver(*list, offer);
    if (list->isVisible()) {
        KeyClick(*list, enter);
    }
    return true;
}

void Slide(QAbstractSlider& slider, int value) {
    slider.setSliderDown(true);
    slider.setSliderPosition(value);
    slider.setSliderDown(false);
}

} // namespace script
