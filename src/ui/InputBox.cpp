#include "ui/InputBox.h"

#include "support/MessageBox.h"

#include <QApplication>
#include <QInputDialog>

namespace ui {

namespace {

QString ShowModal(const QString& prompt, const QString& title, const QString& text) {
    QInputDialog box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setTextValue(text);
    support::KeepInFront(box);
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
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

} // namespace ui
