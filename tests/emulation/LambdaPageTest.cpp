#include "EmulaRig.h"
#include "common/Wait.h"

#include "ecudata/EmulaBlock.h"
#include "emulation/EmulaMath.h"
#include "emulation/FrmEnterValueLambda.h"
#include "platform/Sound.h"
#include "sim/Memory.h"
#include "support/MessageBox.h"
#include "ui/Controls.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTest>

using testing_support::RunFor;
using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace emulation_test {

namespace {

using emulation::S;

void Focus(QWidget& widget, bool in) {
    QFocusEvent event(in ? QEvent::FocusIn : QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(&widget, &event);
}

void Key(QWidget& widget, QEvent::Type type, int key, Qt::KeyboardModifiers mods = {},
         bool autoRepeat = false) {
    QKeyEvent event(type, key, mods, QString(), autoRepeat);
    QCoreApplication::sendEvent(&widget, &event);
}

constexpr quint8 CmdWritEmus = 0x42;

class LambdaPage : public EmulaRig {
protected:
    int SimDelay() const { return SimEmula(80) | SimEmula(81) << 8; }
    bool WriteSettled() const {
        const auto& r = context->Requests;
        return r.EmulaWriteCountdown == 0 && !r.ReqWriteEmus && !r.ReqReadEmus;
    }
    void TypeLevel(const char* name, const QString& text) {
        auto& box = Get<QLineEdit>(name);
        Focus(box, true);
        box.setText(text);
        Key(box, QEvent::KeyRelease, Qt::Key_Return);
    }
};

// Before the blocks are read no control shows a value or takes an edit: a type chosen
// then would have reset the whole block from placeholders. After the read each follows
// its rule: with the ECU's emulation off its delay, thresholds and table stay disabled.
TEST_F(LambdaPage, ControlsWaitForTheirBlocksThenFollowTheirRules) {
    struct Case {
        const char* control;
        bool enabledAfter;
    };
    const Case cases[] = {
        {"CmbSwtchLambda", true},      {"CmbSwtchLambdaBis", true}, {"CmbAbilEmula", true},
        {"CmbSonda1", true},           {"CmbFiltro", true},         {"CmbRitardo", false},
        {"TxtEmulLevAltoAnte", false}, {"GrdEmul", false},          {"GrdRpm", false}};
    const auto shows = [this](const char* name) {
        QWidget& control = Get<QWidget>(name);
        if (auto* combo = qobject_cast<QComboBox*>(&control)) {
            return combo->currentIndex() >= 0;
        }
        if (auto* box = qobject_cast<QLineEdit*>(&control)) {
            return !box->text().isEmpty();
        }
        return !CellText(name, 0, 0).isEmpty();
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(Get<QWidget>(c.control).isEnabled()) << c.control;
        EXPECT_FALSE(shows(c.control)) << c.control;
    }
    Choose("CmbSwtchLambda", 2);
    Choose("CmbSonda1", 1);
    Choose("CmbAbilEmula", 1);
    EXPECT_FALSE(context->Images.EmulaEdit.Any());
    EXPECT_EQ(context->Images.Mem3Write.LambdaSwitch, -1);
    EXPECT_EQ(context->Images.Mem2Write.FlagsMask, 0);
    EXPECT_EQ(context->Requests.EmulaWriteCountdown, 0);

    Connect();
    for (const Case& c : cases) {
        EXPECT_EQ(Get<QWidget>(c.control).isEnabled(), c.enabledAfter) << c.control;
        EXPECT_TRUE(shows(c.control)) << c.control;
    }
    Choose("CmbAbilEmula", 1);
    for (const Case& c : cases) {
        EXPECT_TRUE(Get<QWidget>(c.control).isEnabled()) << c.control << " with emulation on";
    }
}

TEST_F(LambdaPage, ShowsTheEcuBlockAfterTheRead) {
    Connect();
    EXPECT_EQ(CellText("GrdRpm", 0, 0), "800");
    EXPECT_EQ(CellText("GrdRpm", 0, 11), "5200");
    EXPECT_EQ(CellText("GrdBar", 3, 0), "900");
    EXPECT_EQ(CellText("GrdEmul", 2, 7), "2.47"); // code 126
    EXPECT_EQ(Get<QLineEdit>("TxtEmulLevAltoAnte").text(), "4.99");
    EXPECT_EQ(Get<QLineEdit>("TxtEmulLevBassoAnte").text(), "0.11");
    EXPECT_EQ(Get<QComboBox>("CmbRitardo").currentText(), "1");
    EXPECT_EQ(Get<QComboBox>("CmbSonda1").currentIndex(), 1);
    EXPECT_EQ(Get<QComboBox>("CmbSonda2Bis").currentIndex(), 1);
    EXPECT_EQ(context->Requests.EmulaWriteCountdown, 0);
}

TEST_F(LambdaPage, TheEmulationSwitchWritesTheStateChosen) {
    Connect();
    const auto simFlags = [this] { return quint8(ecu.Ram().zone2[sim::kZ2Flags]); };
    ASSERT_EQ(simFlags() & sim::kFlagEmulation, 0);
    Choose("CmbAbilEmula", 1);
    EXPECT_TRUE(WaitFor([&] { return (simFlags() & sim::kFlagEmulation) != 0; }, 60s));
    Choose("CmbAbilEmula", 0);
    EXPECT_TRUE(WaitFor([&] { return (simFlags() & sim::kFlagEmulation) == 0; }, 60s));
    // On, then off before the write: nothing to toggle, it stays off.
    Choose("CmbAbilEmula", 1);
    Choose("CmbAbilEmula", 0);
    EXPECT_EQ(context->Images.Mem2Write.Flags & 0x02, 0);
    RunFor(2s);
    EXPECT_EQ(simFlags() & sim::kFlagEmulation, 0);
}

TEST_F(LambdaPage, AThresholdIsStoredOnEnterAndDroppedOnLeaving) {
    Connect();
    Choose("CmbAbilEmula", 1);
    auto& box = Get<QLineEdit>("TxtEmulLevBassoAnte");
    Focus(box, true);
    box.setText("0.5");
    Key(box, QEvent::KeyRelease, Qt::Key_Return);
    EXPECT_EQ(box.text(), "0.51");
    EXPECT_EQ(ecudata::ShownEmula(context->Images)[83], 26);
    EXPECT_TRUE(WaitFor([&] { return SimEmula(83) == 26; }, 60s));
    ASSERT_TRUE(WaitFor([&] { return context->Requests.EmulaWriteCountdown == 0; }, 60s));

    box.setText("0.9");
    Focus(box, false);
    EXPECT_EQ(box.text(), "0.51");
    EXPECT_EQ(context->Requests.EmulaWriteCountdown, 0);
    // A lower threshold above the upper one takes the upper one's value.
    auto& post = Get<QLineEdit>("TxtEmulLevBassoPost");
    Focus(post, true);
    post.setText("2");
    Key(post, QEvent::KeyRelease, Qt::Key_Return);
    EXPECT_EQ(post.text(), "0.7");
    EXPECT_EQ(ecudata::ShownEmula(context->Images)[85], 36);
    // Not a number: the message, the value saved on entry back.
    post.setText("x");
    Key(post, QEvent::KeyRelease, Qt::Key_Return);
    EXPECT_EQ(post.text(), "0.7");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].style, support::vbCritical);
}

TEST_F(LambdaPage, TheValueEntryActsOnTheSelectedBlockAndACancelBeeps) {
    Connect();
    auto& grid = Grid("GrdEmul");
    grid.setCurrentCell(1, 2);
    grid.setRangeSelected(QTableWidgetSelectionRange(0, 0, 1, 2), true);
    page->ShowEnterValue = [](double& result, int& oper) {
        result = 0.45;
        oper = emulation::OperAbsolute;
    };
    Key(grid, QEvent::KeyRelease, Qt::Key_Return);
    EXPECT_EQ(context->Requests.EmulaWriteCountdown, 1);
    ASSERT_TRUE(WaitFor([&] { return SimEmula(emulation::TableByte(1, 2)) == 23; }, 60s));
    for (int c = 0; c < 12; ++c) {
        for (int r = 0; r < 4; ++r) {
            EXPECT_EQ(SimEmula(emulation::TableByte(r, c)), r <= 1 && c <= 2 ? 23 : 126) << r << c;
        }
    }

    std::vector<std::pair<int, int>> beeps;
    platform::SetBeepObserver([&](int hz, int ms) { beeps.emplace_back(hz, ms); });
    page->ShowEnterValue = [](double& result, int& oper) {
        result = 0;
        oper = emulation::OperCancelled;
    };
    ASSERT_TRUE(WaitFor([&] { return context->Requests.EmulaWriteCountdown == 0; }, 60s));
    Key(grid, QEvent::KeyRelease, Qt::Key_Return);
    platform::SetBeepObserver({});
    EXPECT_EQ(beeps, (std::vector<std::pair<int, int>>{{600, 100}}));
    EXPECT_EQ(context->Requests.EmulaWriteCountdown, 0);
    EXPECT_EQ(CellText("GrdEmul", 0, 0), "0.45");
}

// An absolute value the cells cannot hold is taken at their limit, and the box says so;
// a value they hold, or an offset, is taken without a word.
TEST_F(LambdaPage, TheValueEntryTellsTheLimitAnAbsoluteValueIsTakenAt) {
    struct Case {
        const char* text;
        emulation::CellMode mode;
        const char* told;
    };
    const Case cases[] = {
        {"2.5", {false, 1}, "A cell holds 0 V to 1 V: the cells take 1 V."},
        {"0.5", {false, 4}, "A cell holds 0.8 V to 1.6 V: the cells take 0.8 V."},
        {"0.45", {false, 1}, nullptr},
        {"127", {true, 1}, nullptr},
    };
    for (const Case& c : cases) {
        QStringList boxes;
        const support::ScopedMsgBoxHandler capture(
            [&boxes](const QString& prompt, int, const QString& title) {
                boxes << title + "|" + prompt;
                return support::vbOK;
            });
        emulation::FrmEnterValueLambda dialog(*context, nullptr, c.mode);
        ui::Bind<QLineEdit>(dialog, "TxtValue").setText(c.text);
        dialog.CmdRet_Click();
        EXPECT_EQ(dialog.Oper, emulation::OperAbsolute) << c.text;
        EXPECT_EQ(dialog.Result, QString(c.text).toDouble()) << c.text;
        EXPECT_EQ(boxes,
                  c.told ? QStringList{context->Texts.AppTitle + "|" + c.told} : QStringList())
            << c.text;
    }
}

TEST_F(LambdaPage, AHeldKeyStepsTheBlockAndWritesOnceAfterTheRelease) {
    ecu.Ram().zone3[61] = 2; // a 0..5 V probe
    Connect();
    auto& grid = Grid("GrdEmul");
    grid.setCurrentCell(0, 0);
    grid.setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, 1), true);
    Key(grid, QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(CellText("GrdEmul", 0, 0), "2.48"); // the first step at once
    // The keyboard's own repeat neither ends nor restarts the hold.
    Key(grid, QEvent::KeyRelease, Qt::Key_Plus, Qt::KeypadModifier, true);
    Key(grid, QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier, true);
    QTRY_VERIFY_WITH_TIMEOUT(CellText("GrdEmul", 0, 0) == "2.52", 10000);
    EXPECT_TRUE(page->Hold().Active());
    EXPECT_EQ(context->Requests.EmulaWriteCountdown, 0);
    Key(grid, QEvent::KeyRelease, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_FALSE(page->Hold().Active());
    EXPECT_EQ(context->Requests.EmulaWriteCountdown, 1);
    const QString text = CellText("GrdEmul", 0, 1);
    EXPECT_EQ(CellText("GrdEmul", 0, 0), text);
    const int code = int(emulation::Nearest(text.toDouble() * 1000 / S));
    EXPECT_EQ(ecudata::ShownEmula(context->Images)[emulation::TableByte(0, 1)], code);
    EXPECT_EQ(ecudata::ShownEmula(context->Images)[emulation::TableByte(1, 0)], 126);
    // The main keyboard's plus does not step the table.
    Key(grid, QEvent::KeyPress, Qt::Key_Plus);
    EXPECT_FALSE(page->Hold().Active());
}

TEST_F(LambdaPage, BreakpointsStopAtTheirBoundsAndNeighbours) {
    Connect();
    Choose("CmbAbilEmula", 1);
    auto& rpm = Grid("GrdRpm");
    struct Case {
        int col;
        const char* result;
    };
    for (const Case c : {Case{11, "6000"}, Case{5, "3200"}}) {
        rpm.setCurrentCell(0, c.col);
        Key(rpm, QEvent::KeyPress, Qt::Key_Plus, Qt::ShiftModifier);
        Key(rpm, QEvent::KeyRelease, Qt::Key_Plus, Qt::ShiftModifier);
        EXPECT_EQ(CellText("GrdRpm", 0, c.col), c.result);
    }
    EXPECT_EQ(emulation::Word(ecudata::ShownEmula(context->Images), 2 * 5), 3200);
    // Ctrl+Shift is no Shift: the small step.
    auto& bar = Grid("GrdBar");
    bar.setCurrentCell(0, 0);
    Key(bar, QEvent::KeyPress, Qt::Key_Minus, Qt::ShiftModifier | Qt::ControlModifier);
    Key(bar, QEvent::KeyRelease, Qt::Key_Minus);
    EXPECT_EQ(CellText("GrdBar", 0, 0), "290");
}

TEST_F(LambdaPage, ANewLambdaTypeResetsTheBlockToItsDefaults) {
    Connect();
    Choose("CmbSwtchLambda", 4);
    EXPECT_EQ(context->Images.Mem3Write.LambdaSwitch, 4);
    EXPECT_EQ(CellText("GrdEmul", 0, 0), "1.19");
    EXPECT_EQ(Get<QComboBox>("CmbSwtchLambdaBis").currentIndex(), 4);
    ASSERT_TRUE(WaitFor(
        [&] {
            return quint8(ecu.Ram().zone3[61]) == 4 && SimEmula(82) == 76 && SimEmula(32) == 61;
        },
        60s));
    for (int i = 32; i < 80; ++i) {
        EXPECT_EQ(SimEmula(i), 61) << i;
    }
    EXPECT_EQ((std::array<int, 4>{SimEmula(82), SimEmula(83), SimEmula(84), SimEmula(85)}),
              (std::array<int, 4>{76, 45, 76, 45}));

    // An item beyond the lambda records changes nothing and the type shown comes back.
    auto& combo = Get<QComboBox>("CmbSwtchLambda");
    combo.addItem("stray");
    Choose("CmbSwtchLambda", combo.count() - 1);
    QTRY_COMPARE_WITH_TIMEOUT(combo.currentIndex(), 4, 10000);
    EXPECT_EQ(context->Requests.Mem3WriteCountdown, 0);
    EXPECT_EQ(context->Requests.EmulaWriteCountdown, 0);
}

TEST_F(LambdaPage, TheMarkerFollowsTheLiveSpeedAndPressure) {
    Connect();
    ecu.Engine().rpm = 2500;
    ecu.Engine().press2Mbar = 650;
    ASSERT_TRUE(WaitFor(
        [&] {
            return std::abs(context->Images.Mem1Data.Rpm - 2500) < 50 &&
                   std::abs(context->Images.Mem1Data.Press2 - 650) < 10;
        },
        60s));
    page->MoveEmulaMarker();
    auto& grid = Grid("GrdEmul");
    auto& marker = Get<QWidget>("PctGrdLambda");
    EXPECT_EQ(ui::LeftTwips(marker),
              ui::LeftTwips(grid) + ui::ToTwips(grid.columnWidth(0)) * 4 + 15);
    EXPECT_EQ(ui::TopTwips(marker), ui::TopTwips(grid) + ui::ToTwips(grid.rowHeight(0)) + 15);
}

TEST_F(LambdaPage, AParameterFileBlockIsTakenWholeOrNotAtAll) {
    QString line;
    for (int i = 0; i < 88; ++i) {
        line += QString("%1").arg(i == 32 ? 23 : 0x20, 2, 16, QChar('0')).toUpper();
    }
    tree.Write("good.var", ("[INFO]\r\nx\r\n  [EmulaLambda]  \r\n" + line + "\r\n").toLatin1());
    tree.Write("short.var", ("[EmulaLambda]\r\n" + line.left(174) + "\r\n").toLatin1());
    Grid("GrdEmul").setProperty("Tag", "0");
    page->LoadEmulaFromParFile(tree.Path("good.var"));
    EXPECT_EQ(context->Images.EmulaBlkData[32], 23);
    EXPECT_EQ(context->Images.EmulaLine.toHex().toUpper(), "42015C4100" + line.toLatin1() + "00");
    EXPECT_EQ(CellText("GrdEmul", 0, 0), "0.45");
    const QByteArray before = context->Images.EmulaLine;
    page->LoadEmulaFromParFile(tree.Path("short.var"));
    EXPECT_EQ(context->Images.EmulaLine, before);
    EXPECT_EQ(context->Images.EmulaBlkData[32], 23);
}

// A second edit made at once, or after the first one's write but before its read-back,
// keeps the first: both reach the ECU, and a refill meanwhile shows both.
TEST_F(LambdaPage, ASecondEditKeepsTheFirst) {
    Connect();
    struct Case {
        const char* moment;
        int filter;
        QString delay; // seconds
        std::function<bool(int writesBefore)> reached;
    };
    const auto& r = context->Requests;
    const Case cases[] = {
        {"at once", 5, "5", [](int) { return true; }},
        {"awaiting the read-back", 7, "10",
         [&](int before) {
             return Writes(CmdWritEmus) > before && r.ReqReadEmus && !r.ReqWriteEmus &&
                    r.EmulaWriteCountdown == 0;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.moment);
        const int before = Writes(CmdWritEmus);
        Choose("CmbFiltro", c.filter);
        ASSERT_TRUE(WaitFor([&] { return c.reached(before); }, 60s));
        Choose("CmbRitardo", Get<QComboBox>("CmbRitardo").findText(c.delay));
        page->AggiornaVariabiliEmulazioneLambda();
        EXPECT_EQ(Get<QComboBox>("CmbFiltro").currentIndex(), c.filter);
        EXPECT_EQ(Get<QComboBox>("CmbRitardo").currentText(), c.delay);
        ASSERT_TRUE(WaitFor([&] { return WriteSettled(); }, 60s));
        EXPECT_EQ(SimEmula(87), c.filter << 4 | 1);
        EXPECT_EQ(SimDelay(), c.delay.toInt() * 40);
    }
    // Two thresholds typed in a row.
    TypeLevel("TxtEmulLevBassoAnte", "0.5");
    TypeLevel("TxtEmulLevBassoPost", "0.3");
    ASSERT_TRUE(WaitFor([&] { return WriteSettled(); }, 60s));
    EXPECT_EQ(SimEmula(83), 26);
    EXPECT_EQ(SimEmula(85), 15);
}

// While the ECU refuses the block, every edit made meanwhile, however late, waits in the
// write copy and the page shows it; all of them go out once the ECU takes the block.
TEST_F(LambdaPage, EditsMadeWhileTheWriteIsRefusedAllGoOutLater) {
    Connect();
    Refuse(CmdWritEmus);
    Choose("CmbFiltro", 5);
    // Refused with its resends, then again once the link is back.
    ASSERT_TRUE(WaitFor([&] { return Writes(CmdWritEmus) > 0; }, 60s));
    const int firstTry = Writes(CmdWritEmus);
    ASSERT_TRUE(WaitFor([&] { return Writes(CmdWritEmus) > firstTry; }, 60s));
    EXPECT_TRUE(context->Requests.ReqWriteEmus);
    TypeLevel("TxtEmulLevBassoAnte", "0.5");
    page->AggiornaVariabiliEmulazioneLambda();
    EXPECT_EQ(Get<QComboBox>("CmbFiltro").currentIndex(), 5);
    EXPECT_EQ(Get<QLineEdit>("TxtEmulLevBassoAnte").text(), "0.51");
    EXPECT_EQ(SimEmula(87), 0x01);
    ecu.ClearFaults();
    ASSERT_TRUE(WaitFor([&] { return WriteSettled(); }, 60s));
    EXPECT_EQ(SimEmula(87), 0x51);
    EXPECT_EQ(SimEmula(83), 26);
}

} // namespace

} // namespace emulation_test
