// The wheel needs the focus: over a combo box, slider or scroll bar without the focus a
// real wheel (through the test script) changes nothing and takes no focus, while a click
// gives the focus and the wheel then works; refused notches still scroll the area around
// the control, and a scrolled view's own bars scroll without the focus.

#include "ui/WheelFocus.h"
#include "common/AddControl.h"
#include "common/RunScript.h"
#include "common/Wait.h"
#include "script/TestScript.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace {

using testing_support::Add;

class WheelFocusTest : public ::testing::Test {
protected:
    WheelFocusTest() {
        auto* client = new QWidget(&window);
        window.setCentralWidget(client);
        window.resize(400, 400);
        focusHolder = Add<QLineEdit>(*client, "TxtA", {10, 10, 100, 24});
        Add<QComboBox>(*client, "CmbA", {10, 40, 100, 24})->addItems({"35", "40", "45", "50"});
        auto* slider = Add<QSlider>(*client, "SldA", {10, 70, 150, 24});
        slider->setOrientation(Qt::Horizontal);
        slider->setRange(0, 100);
        slider->setValue(50);
        auto* bar = Add<QScrollBar>(*client, "HsbA", {10, 100, 150, 20});
        bar->setOrientation(Qt::Horizontal);
        bar->setRange(0, 100);
        bar->setValue(50);

        auto* area = Add<QScrollArea>(*client, "ScrA", {200, 10, 150, 100});
        auto* inside = new QWidget;
        inside->resize(120, 600);
        Add<QComboBox>(*inside, "CmbIn", {10, 30, 100, 24})->addItems({"1", "2", "3"});
        area->setWidget(inside);
        auto* list = Add<QListWidget>(*client, "LstA", {200, 150, 150, 100});
        for (int i = 0; i < 100; ++i) {
            list->addItem(QString::number(i));
        }
        window.show();
        window.activateWindow();
        active = WaitFor([&] { return window.isActiveWindow(); }, 60s);
        focusHolder->setFocus();
    }

    void Run(const QStringList& lines) { testing_support::RunScript(script, lines, records); }
    template <class T> T& Find(const char* name) { return *window.findChild<T*>(name); }
    int ScrolledBy(const char* area) {
        return Find<QAbstractScrollArea>(area).verticalScrollBar()->value();
    }

    // Made first, as the program makes it before its windows.
    ui::WheelFocusGuard guard{*QCoreApplication::instance()};
    QMainWindow window;
    QLineEdit* focusHolder = nullptr;
    bool active = false;
    QStringList records;
    script::TestScript script{window, [this](const QString& text) { records << text; }};
};

TEST_F(WheelFocusTest, AControlTakesTheWheelOnlyOnceAClickGaveItTheFocus) {
    ASSERT_TRUE(active);
    const struct {
        const char* name;
        std::function<int(QWidget&)> value;
    } controls[] = {
        {"CmbA", [](QWidget& w) { return static_cast<QComboBox&>(w).currentIndex(); }},
        {"SldA", [](QWidget& w) { return static_cast<QSlider&>(w).value(); }},
        {"HsbA", [](QWidget& w) { return static_cast<QScrollBar&>(w).value(); }},
    };
    for (const auto& c : controls) {
        QWidget& control = Find<QWidget>(c.name);
        focusHolder->setFocus();
        const int before = c.value(control);
        Run({QStringLiteral("wheel %1 -2").arg(c.name)});
        EXPECT_EQ(c.value(control), before) << c.name << ": the pointer only rests on it";
        EXPECT_EQ(QApplication::focusWidget(), focusHolder) << c.name;

        QTest::mouseClick(&control, Qt::LeftButton, {}, control.rect().center());
        if (auto* combo = qobject_cast<QComboBox*>(&control)) {
            combo->hidePopup(); // the click opened its list, which took the activation
            window.activateWindow();
            ASSERT_TRUE(WaitFor([&] { return window.isActiveWindow(); }, 60s));
        }
        EXPECT_TRUE(control.hasFocus()) << c.name;
        const int clicked = c.value(control);
        Run({QStringLiteral("wheel %1 -2").arg(c.name)});
        EXPECT_NE(c.value(control), clicked) << c.name << ": with the focus";
    }
    EXPECT_TRUE(records.filter("refused").isEmpty()) << records.join('\n').toStdString();
}

TEST_F(WheelFocusTest, RefusedNotchesScrollTheAreaAroundAndViewsScrollWithoutFocus) {
    ASSERT_TRUE(active);
    Run({"wheel CmbIn -2"});
    EXPECT_EQ(Find<QComboBox>("CmbIn").currentIndex(), 0);
    EXPECT_GT(ScrolledBy("ScrA"), 0) << "the area around the combo scrolled";

    Run({"wheel LstA -2"});
    EXPECT_GT(ScrolledBy("LstA"), 0);
    EXPECT_EQ(QApplication::focusWidget(), focusHolder);
}

} // namespace
