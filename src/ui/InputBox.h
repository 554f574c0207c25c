#pragma once

// The program's input box (the developer-view password). Like the message boxes it
// goes through a replaceable handler, so that tests can type the answer.

#include <QString>
#include <functional>

namespace ui {

// The answer: the text typed, or "" when the box was cancelled.
using InputBoxHandler =
    std::function<QString(const QString& prompt, const QString& title, const QString& text)>;

// Shows a modal box with the prompt, the title and the text to start from.
QString InputBox(const QString& prompt, const QString& title, const QString& text);

// Installs a handler for its lifetime.
class ScopedInputBoxHandler {
public:
    explicit ScopedInputBoxHandler(InputBoxHandler handler);
    ~ScopedInputBoxHandler();
    ScopedInputBoxHandler(const ScopedInputBoxHandler&) = delete;
    ScopedInputBoxHandler& operator=(const ScopedInputBoxHandler&) = delete;
    // The handler it stands in for (a handler may pass a box on to it).
    const InputBoxHandler& Previous() const { return previous_; }

private:
    InputBoxHandler previous_;
};

} // namespace ui
