#pragma once

// The plus and minus keys of the stepped grids, by their Windows codes: 107 and 109 on
// the numeric keypad, 187 and 189 on the main keyboard (whichever character the layout
// gives the plus key, with or without Shift), 120 (F9) and 119 (F8).

#include <Qt>

namespace emulation {

enum StepKey {
    KeyNone = 0,
    KeyF8 = 119,
    KeyF9 = 120,
    KeyPadPlus = 107,
    KeyPadMinus = 109,
    KeyMainPlus = 187,
    KeyMainMinus = 189
};

inline StepKey ClassifyStepKey(int key, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    switch (key) {
    case Qt::Key_Plus:
        return keypad ? KeyPadPlus : KeyMainPlus;
    case Qt::Key_Minus:
        return keypad ? KeyPadMinus : KeyMainMinus;
    case Qt::Key_Equal:
    case Qt::Key_Asterisk:
        return keypad ? KeyNone : KeyMainPlus;
    case Qt::Key_Underscore:
        return keypad ? KeyNone : KeyMainMinus;
    case Qt::Key_F9:
        return KeyF9;
    case Qt::Key_F8:
        return KeyF8;
    default:
        return KeyNone;
    }
}

inline bool IsPlusKey(StepKey key) {
    return key == KeyPadPlus || key == KeyMainPlus || key == KeyF9;
}

// Shift alone, the keypad's own flag set aside: Shift with Ctrl or Alt is no Shift.
inline bool ShiftAlone(Qt::KeyboardModifiers modifiers) {
    return (modifiers & ~Qt::KeypadModifier) == Qt::ShiftModifier;
}

} // namespace emulation
