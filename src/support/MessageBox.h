#pragma once

// The program's message boxes. Every box goes through MsgBox, so that tests (and the
// program without a display) can answer it through a replaceable handler instead of
// a modal window.

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace support {

// Styles and answers keep the numeric values the program's texts and callers use.
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton2 = 256, // the second button (No, Cancel) answers Enter
};

enum MsgBoxResult : int {
    vbOK = 1,
    vbCancel = 2,
    vbYes = 6,
    vbNo = 7,
};

using MsgBoxHandler = std::function<int(const QString& prompt, int style, const QString& title)>;

// Shows a modal box (buttons and icon from style) and returns the answer.
int MsgBox(const QString& prompt, int style, const QString& title);

// The captions a box of this style shows on its buttons, in the program's language
// (mnemonic marks left out); empty without a graphical application.
QStringList ButtonTexts(int style);

// A box about to be shown stands in front of every window (the splash included) and
// takes the keyboard once it is up, whatever window was active before.
void KeepInFront(QWidget& box);

// Installs a handler for its lifetime (tests capture the texts and give the answer).
class ScopedMsgBoxHandler {
public:
    explicit ScopedMsgBoxHandler(MsgBoxHandler handler);
    ~ScopedMsgBoxHandler();
    ScopedMsgBoxHandler(const ScopedMsgBoxHandler&) = delete;
    ScopedMsgBoxHandler& operator=(const ScopedMsgBoxHandler&) = delete;
    // The handler it stands in for (a handler may pass a box on to it).
    const MsgBoxHandler& Previous() const { return previous_; }

private:
    MsgBoxHandler previous_;
};

} // namespace support
