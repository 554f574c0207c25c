#include "app/InputBox.h"

#include <QApplication>
#include <QInputDialog>

namespace app {

namespace {

QString ShowModal(const QString& prompt, const QString& title, const QString& text) {
    bool ok = false;
    const QString answer = QInputDialog::getText(QApplication::activeWindow(), title, prompt,
                                                 QLineEdit::Normal, text, &ok);
    return ok ? answer : QString();
}

InputBoxHandler& Handler() {
    static InputBoxHandler handler = ShowModal;
    return handler;
}

} // namespace

QString InputBox(const QString& prompt, const QString& title, const QString& text) {
    // A copy: the handler may be replaced while the box is open.
    const InputBoxHandler handler = Handler();
    return handler(prompt, title, text);
}

ScopedInputBoxHandler::ScopedInputBoxHandler(InputBoxHandler handler) : previous_(Handler()) {
    Handler() = std::move(handler);
}

ScopedInputBoxHandler::~ScopedInputBoxHandler() {
    Handler() = std::move(previous_);
}

} // namespace app
