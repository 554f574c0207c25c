#pragma once

#include "support/MessageBox.h"

#include <QString>
#include <vector>

namespace testing_support {

// Captures every message box while it lives and answers with a preset button.
class MsgBoxCapture {
public:
    struct Box {
        QString prompt;
        int style;
        QString title;
    };

    explicit MsgBoxCapture(int answer = support::vbOK)
        : scope_([this, answer](const QString& prompt, int style, const QString& title) {
              boxes.push_back({prompt, style, title});
              return answer;
          }) {}

    std::vector<Box> boxes;

private:
    support::ScopedMsgBoxHandler scope_;
};

} // namespace testing_support
