// The real box: which answer Enter gives, the first button's or, asked for, the second's.

#include "support/MessageBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Presses Enter in the box as soon as it is up.
int AnswerWithEnter(int style) {
    QTimer::singleShot(0, [] {
        QWidget* box = QApplication::activeModalWidget();
        if (box) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(box, &press);
        }
    });
    return support::MsgBox("Erase the ECU?", style, "test");
}

TEST(MessageBox, EnterTakesTheDefaultButton) {
    using namespace support;
    EXPECT_EQ(AnswerWithEnter(vbYesNo | vbQuestion), vbYes);
    EXPECT_EQ(AnswerWithEnter(vbYesNo | vbQuestion | vbDefaultButton2), vbNo);
    EXPECT_EQ(AnswerWithEnter(vbOKCancel | vbDefaultButton2), vbCancel);
}

} // namespace
