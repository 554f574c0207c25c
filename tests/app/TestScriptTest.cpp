// The test script on a small window of its own: each command raises the signal a user's
// action raises, once; unreachable controls and malformed lines are refused and change
// nothing; the queue runs inside modal dialogs and handlers' waits but not inside a
// handler's bare event pumping; answers go to exactly the next box or dialog.

#include "script/TestScript.h"
#include "common/AddControl.h"
#include "common/MsgBoxCapture.h"
#include "common/RunScript.h"
#include "common/Wait.h"
#include "support/Clock.h"
#include "support/MessageBox.h"
#include "ui/CommonDialog.h"
#include "ui/InputBox.h"
#include "ui/TabStrip.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace {

QString Mods(Qt::KeyboardModifiers m) {
    QString text;
    text += m & Qt::ShiftModifier ? "S" : "";
    text += m & Qt::ControlModifier ? "C" : "";
    text += m & Qt::AltModifier ? "A" : "";
    text += m & Qt::KeypadModifier ? "K" : "";
    return text;
}

// A control that writes down the mouse and key events it gets.
class Pad : public QWidget {
public:
    explicit Pad(QWidget* parent) : QWidget(parent) {
        setObjectName("PadA");
        setFocusPolicy(Qt::StrongFocus);
        setGeometry(10, 200, 100, 60);
    }
    QStringList events;

protected:
    void Mouse(const char* what, QMouseEvent* e) {
        events << QStringLiteral("%1 %2 %3,%4 %5")
                      .arg(what)
                      .arg(e->button() == Qt::RightButton ? "R" : "L")
                      .arg(e->position().x())
                      .arg(e->position().y())
                      .arg(Mods(e->modifiers()))
                      .trimmed();
    }
    void mousePressEvent(QMouseEvent* e) override { Mouse("press", e); }
    void mouseReleaseEvent(QMouseEvent* e) override { Mouse("release", e); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { Mouse("dbl", e); }
    void mouseMoveEvent(QMouseEvent*) override { events << "move"; }
    void contextMenuEvent(QContextMenuEvent*) override { events << "menu"; }
    void wheelEvent(QWheelEvent* e) override {
        events << QStringLiteral("wheel %1,%2 %3")
                      .arg(e->position().x())
                      .arg(e->position().y())
                      .arg(e->angleDelta().y());
    }
    void Key(const char* what, QKeyEvent* e) {
        QStringList parts{what, QKeySequence(e->key()).toString(), Mods(e->modifiers())};
        parts << (e->isAutoRepeat() ? "rep" : "");
        parts.removeAll(QString());
        events << parts.join(' ');
    }
    void keyPressEvent(QKeyEvent* e) override { Key("down", e); }
    void keyReleaseEvent(QKeyEvent* e) override { Key("up", e); }
};

using testing_support::Add;

class TestScriptTest : public ::testing::Test {
protected:
    TestScriptTest() : script(window, [this](const QString& text) { records << text; }) {
        window.setObjectName("FrmRig");
        window.setWindowTitle("Rig");
        auto* client = new QWidget(&window);
        window.setCentralWidget(client);
        window.resize(420, 400);
        QAction* go = window.menuBar()->addMenu("File")->addAction("Go");
        go->setObjectName("MnuGo");
        Count(go, &QAction::triggered, "MnuGo.triggered");

        auto* button = Add<QPushButton>(*client, "CmdGo", {10, 10, 80, 24});
        Count(button, &QPushButton::clicked, "CmdGo.clicked");
        Count(Add<QPushButton>(*client, "CmdOff", {100, 10, 80, 24}), &QPushButton::clicked,
              "CmdOff.clicked");
        window.findChild<QWidget*>("CmdOff")->setEnabled(false);
        auto* hidden = Add<QPushButton>(*client, "CmdHid", {190, 10, 80, 24});
        Count(hidden, &QPushButton::clicked, "CmdHid.clicked");
        hidden->hide();
        Count(Add<QCheckBox>(*client, "ChkOn", {280, 10, 80, 24}), &QCheckBox::toggled,
              "ChkOn.toggled");

        auto* combo = Add<QComboBox>(*client, "CmbPick", {10, 40, 100, 24});
        combo->addItems({"Zero", "One", "Two"});
        Count(combo, &QComboBox::activated, "CmbPick.activated");
        Count(combo, &QComboBox::currentIndexChanged, "CmbPick.changed");
        auto* edit = Add<QLineEdit>(*client, "TxtIn", {120, 40, 100, 24});
        Count(edit, &QLineEdit::textEdited, "TxtIn.edited");

        auto* grid = Add<QTableWidget>(*client, "GrdTbl", {10, 70, 200, 120});
        grid->setRowCount(3);
        grid->setColumnCount(3);
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) {
                grid->setItem(r, c, new QTableWidgetItem(QStringLiteral("%1%2").arg(r).arg(c)));
            }
        }
        Count(grid, &QTableWidget::cellClicked, "GrdTbl.clicked");
        Count(grid, &QTableWidget::cellDoubleClicked, "GrdTbl.doubleClicked");

        auto* bar = Add<QScrollBar>(*client, "HsbX", {220, 70, 150, 20});
        bar->setOrientation(Qt::Horizontal);
        bar->setRange(0, 100);
        Count(bar, &QScrollBar::valueChanged, "HsbX.changed");
        Count(bar, &QScrollBar::sliderReleased, "HsbX.released");

        auto* strip = Add<ui::TabStrip>(*client, "SstRig", {220, 100, 190, 90});
        for (const char* caption : {"First", "Second", "Third"}) {
            strip->addTab(new QWidget, caption);
        }
        strip->setTabVisible(1, false);
        Count(strip, &ui::TabStrip::currentChanged, "SstRig.changed");

        pad = new Pad(client);
        for (int i = 0; i < 3; ++i) {
            Add<QLabel>(*client, "", {120 + 40 * i, 200, 36, 20})
                ->setObjectName(QStringLiteral("LblA(%1)").arg(i));
        }
        window.show();
    }

    template <class Sender, class Signal> void Count(Sender* sender, Signal signal, QString name) {
        QObject::connect(sender, signal, &window, [this, name] { ++raised[name]; });
    }

    // Queues the lines and runs the event loop until they are all done.
    void Run(const QStringList& lines) { testing_support::RunScript(script, lines, records); }

    QStringList Refused() const { return records.filter("command refused: "); }

    QMainWindow window;
    Pad* pad = nullptr;
    QMap<QString, int> raised;
    QStringList records;
    testing_support::MsgBoxCapture boxes{support::vbYes};
    script::TestScript script;
};

TEST_F(TestScriptTest, EachActionRaisesItsSignalOnce) {
    const struct {
        const char* line;
        QStringList signal;
    } cases[] = {
        {"click CmdGo", {"CmdGo.clicked"}},
        {"click MnuGo", {"MnuGo.triggered"}},
        {"click ChkOn", {"ChkOn.toggled"}},
        {"choose CmbPick 2", {"CmbPick.activated", "CmbPick.changed"}},
        {"choose CmbPick \"One\"", {"CmbPick.activated", "CmbPick.changed"}},
        {"type TxtIn \"aB 3\"", {"TxtIn.edited", "TxtIn.edited", "TxtIn.edited", "TxtIn.edited"}},
        {"click GrdTbl 1 2", {"GrdTbl.clicked"}},
        {"dblclick GrdTbl 0 1", {"GrdTbl.clicked", "GrdTbl.doubleClicked"}},
        {"slide HsbX 40", {"HsbX.changed", "HsbX.released"}},
        {"tab SstRig 2", {"SstRig.changed"}},
    };
    for (const auto& c : cases) {
        raised.clear();
        Run({c.line});
        QMap<QString, int> expected;
        for (const QString& name : c.signal) {
            ++expected[name];
        }
        EXPECT_EQ(raised, expected) << c.line;
        EXPECT_EQ(records.last(), QString("command: ") + c.line);
    }
    EXPECT_TRUE(window.findChild<QCheckBox*>("ChkOn")->isChecked());
    EXPECT_EQ(window.findChild<QComboBox*>("CmbPick")->currentIndex(), 1);
    EXPECT_EQ(window.findChild<QLineEdit*>("TxtIn")->text(), "aB 3");
    EXPECT_EQ(window.findChild<QScrollBar*>("HsbX")->value(), 40);
    EXPECT_EQ(window.findChild<ui::TabStrip*>("SstRig")->currentIndex(), 2);
}

TEST_F(TestScriptTest, MouseAndKeysReachTheControlAsAUsersDo) {
    const struct {
        const char* line;
        QStringList events;
    } cases[] = {
        {"click PadA", {"press L 49,29", "release L 49,29"}},
        {"rclick PadA Shift", {"press R 49,29 S", "menu", "release R 49,29 S"}},
        {"dblclick PadA", {"press L 49,29", "release L 49,29", "dbl L 49,29", "release L 49,29"}},
        {"drag PadA 5 5 30 20",
         {"press L 5,5", "move", "move", "move", "move", "move", "release L 30,20"}},
        {"key PadA Ctrl+Alt+Shift+S", {"down S SCA", "up S SCA"}},
        {"key PadA Shift+Right", {"down Right S", "up Right S"}},
        {"key PadA KP_Add", {"down + K", "up + K"}},
        {"keydown PadA F2", {"down F2"}},
        {"keyup PadA F2", {"up F2"}},
        {"press PadA 50", {"press L 49,29", "release L 49,29"}},
    };
    for (const auto& c : cases) {
        pad->events.clear();
        Run({c.line});
        EXPECT_EQ(pad->events, c.events) << c.line;
        EXPECT_EQ(records.last(), QString("command: ") + c.line);
    }
}

TEST_F(TestScriptTest, AWheelTurnsUnderThePointerAtTheCentreAndLeavesTheFocusAlone) {
    auto* edit = window.findChild<QLineEdit*>("TxtIn");
    window.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return window.isActiveWindow(); }, 60s));
    edit->setFocus();
    auto* bar = window.findChild<QScrollBar*>("HsbX");
    QObject::connect(bar, &QScrollBar::valueChanged, &window,
                     [this](int value) { records << "HsbX " + QString::number(value); });

    Run({"wheel PadA 2", "wheel PadA -1", "wheel HsbX -2"});
    EXPECT_EQ(pad->events, (QStringList{"wheel 49,29 120", "wheel 49,29 120", "wheel 49,29 -120"}));
    EXPECT_EQ(QCursor::pos(), bar->mapToGlobal(bar->rect().center()));
    // Each notch moves the bar by its wheel lines; the line is recorded after the last.
    const int lines = QApplication::wheelScrollLines();
    EXPECT_EQ(records.mid(2),
              (QStringList{"HsbX " + QString::number(lines), "HsbX " + QString::number(2 * lines),
                           "command: wheel HsbX -2"}));
    EXPECT_EQ(QApplication::focusWidget(), edit);
}

TEST_F(TestScriptTest, AHeldKeyRepeatsInFlaggedPairsAndEndsWithOnePlainRelease) {
    // Held well past the repeat delay, so that a slow turn of the event loop still sees
    // repeats.
    Run({"hold PadA Space 1500"});
    const QStringList& e = pad->events;
    ASSERT_GE(e.size(), 4);
    EXPECT_EQ(e.first(), "down Space");
    EXPECT_EQ(e.last(), "up Space");
    const QStringList repeats = e.mid(1, e.size() - 2);
    ASSERT_EQ(repeats.size() % 2, 0);
    // From 500 ms every 33 ms up to 1500 ms: at most 31 pairs.
    EXPECT_LE(repeats.size() / 2, 31);
    for (int i = 0; i < repeats.size(); i += 2) {
        EXPECT_EQ(repeats[i], "up Space rep");
        EXPECT_EQ(repeats[i + 1], "down Space rep");
    }
    EXPECT_EQ(records.last(), "command: hold PadA Space 1500");
}

TEST_F(TestScriptTest, UnreachableControlsAndMalformedLinesAreRefusedAndChangeNothing) {
    auto* other = new QWidget(&window, Qt::Dialog);
    other->setObjectName("FrmOther");
    Add<QPushButton>(*other, "CmdX", {0, 0, 40, 20});
    const struct {
        const char* line;
        const char* why;
    } cases[] = {
        {"click CmdOff", "disabled"},
        {"click CmdHid", "hidden"},
        {"click FrmOther.CmdX", "hidden"},
        {"click Nope", "no control Nope"},
        {"frob CmdGo", "unknown command frob"},
        {"type TxtIn \"open", "a quote is not closed"},
        {"choose CmbPick 7", "no item 7"},
        {"choose CmbPick \"Seven\"", "no item Seven"},
        {"choose TxtIn 0", "TxtIn is not a control of this kind"},
        {"tab SstRig 1", "the tab is hidden"},
        {"tab SstRig 3", "no tab 3"},
        {"key PadA Hyper+Q", "no key Hyper+Q"},
        {"wheel PadA up", "not a number of notches: up"},
        {"wheel PadA 0", "not a number of notches: 0"},
        {"wheel CmdOff 1", "disabled"},
        {"click GrdTbl 9 9", "no such cell"},
        {"click CmdGo Meta", "no modifiers Meta"},
        {"wait soon", "not a time: soon"},
        {"answer Maybe", "no button Maybe"},
        {"click", "wrong number of words"},
    };
    for (const auto& c : cases) {
        Run({c.line});
        EXPECT_EQ(records.last(), QString("command refused: %1 (%2)").arg(c.line, c.why));
    }
    EXPECT_TRUE(raised.isEmpty());
    EXPECT_TRUE(pad->events.isEmpty());
    EXPECT_EQ(window.findChild<QComboBox*>("CmbPick")->currentIndex(), 0);
}

TEST_F(TestScriptTest, ReadRecordsTextsFlagsPlaceAndTheColoursAsDrawn) {
    auto* label = window.findChild<QLabel*>("LblA(1)");
    label->setText("H");
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor(255, 0, 0));
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    label->setPalette(palette);
    QFont font = label->font();
    font.setPixelSize(16);
    font.setBold(true);
    label->setFont(font);
    window.findChild<QPushButton*>("CmdOff")->setText("Say \"no\"");

    Run({"read LblA(*)", "read CmdOff", "read FrmRig", "read CmbPick", "read HsbX", "read SstRig"});
    const QStringList reads = records.filter("read: ");
    ASSERT_EQ(reads.size(), 8);
    EXPECT_TRUE(reads[0].startsWith("read: LblA(0) text=\"\" visible=1 enabled=1 rect=120,"));
    EXPECT_TRUE(reads[1].startsWith("read: LblA(1) text=\"H\" visible=1"));
    EXPECT_TRUE(reads[1].endsWith("back=#ff0000 fore=#0000ff focus=0")) << reads[1].toStdString();
    EXPECT_TRUE(reads[2].startsWith("read: LblA(2) "));
    EXPECT_TRUE(reads[3].startsWith("read: CmdOff text=\"Say \\\"no\\\"\" visible=1 enabled=0"))
        << reads[3].toStdString();
    EXPECT_TRUE(
        reads[4].startsWith("read: FrmRig title=\"Rig\" tabs=\"First|Third\" text=\"Rig\""));
    EXPECT_TRUE(reads[5].startsWith("read: CmbPick text=\"Zero\" index=0 "));
    EXPECT_TRUE(reads[6].startsWith("read: HsbX text=\"\" value=0 "));
    EXPECT_TRUE(reads[7].startsWith("read: SstRig text=\"First\" index=0 "));

    Run({"grid GrdTbl", "items CmbPick"});
    EXPECT_EQ(records.filter("grid: ").mid(0, 2),
              (QStringList{"grid: GrdTbl rows=3 cols=3", "grid: GrdTbl head \"1\" \"2\" \"3\""}));
    EXPECT_EQ(records.filter("grid: ").last(), "grid: GrdTbl 2 \"20\" \"21\" \"22\"");
    EXPECT_EQ(records.filter("items: "), QStringList{"items: CmbPick \"Zero\" \"One\" \"Two\""});
}

TEST_F(TestScriptTest, AFaceDrawnAsAGradientReadsAsItsMiddleRow) {
    struct Gradient : QWidget {
        using QWidget::QWidget;
        void paintEvent(QPaintEvent*) override {
            QPainter painter(this);
            for (int y = 0; y < height(); ++y) {
                painter.fillRect(0, y, width(), 1, QColor(y * 4, 0, 0));
            }
        }
    };
    auto* face = new Gradient(window.centralWidget());
    face->setObjectName("PicFace");
    face->setGeometry(10, 300, 50, 21);
    face->show();
    Run({"read PicFace"});
    EXPECT_TRUE(records.last().contains("back=#280000 fore=none")) << records.last().toStdString();
}

TEST_F(TestScriptTest, ThreeKeysLandOnAControlWhoseHandlerDisablesItWhilePumpingEvents) {
    struct Busy : QLineEdit {
        using QLineEdit::QLineEdit;
        int presses = 0;
        void keyPressEvent(QKeyEvent* e) override {
            ++presses;
            setEnabled(false);
            for (int i = 0; i < 20; ++i) {
                QCoreApplication::processEvents();
            }
            setEnabled(true);
            QLineEdit::keyPressEvent(e);
        }
    };
    auto* busy = new Busy(window.centralWidget());
    busy->setObjectName("TxtBusy");
    busy->setGeometry(10, 300, 100, 24);
    busy->show();
    Run({"key TxtBusy A", "key TxtBusy B", "key TxtBusy C"});
    EXPECT_EQ(busy->presses, 3);
    EXPECT_EQ(busy->text(), "abc");
    EXPECT_TRUE(Refused().isEmpty()) << Refused().join('\n').toStdString();
}

TEST_F(TestScriptTest, LinesRunInsideAModalDialogWhoseCoveredWindowRefusesThem) {
    auto* open = Add<QPushButton>(*window.centralWidget(), "CmdModal", {10, 330, 80, 24});
    open->show();
    int result = -1;
    QObject::connect(open, &QPushButton::clicked, &window, [&] {
        QDialog dialog(&window);
        dialog.setObjectName("DlgAsk");
        auto* ok = new QPushButton("OK", &dialog);
        ok->setObjectName("CmdDlgOk");
        QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        result = dialog.exec();
    });
    Run({"click CmdModal", "click CmdGo", "read DlgAsk.CmdDlgOk", "click DlgAsk.CmdDlgOk",
         "click CmdGo"});
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(raised.value("CmdGo.clicked"), 1);
    EXPECT_EQ(records.filter("command").mid(0, 5),
              (QStringList{"command: click CmdModal",
                           "command refused: click CmdGo (covered by the modal dialog DlgAsk)",
                           "command: read DlgAsk.CmdDlgOk", "command: click DlgAsk.CmdDlgOk",
                           "command: click CmdGo"}));
}

TEST_F(TestScriptTest, TheNextLineRunsWhileAHandlerWaits) {
    auto* start = Add<QPushButton>(*window.centralWidget(), "CmdWait", {100, 330, 80, 24});
    start->show();
    // The handler waits as the program does, in support::WaitUsec, until the next line's
    // click comes or a bound far beyond it passes.
    bool goInside = false;
    QObject::connect(start, &QPushButton::clicked, &window, [&] {
        const double end = support::GetTimeUsec() + 60e6;
        while (raised.value("CmdGo.clicked") == 0 && support::GetTimeUsec() < end) {
            support::WaitUsec(2000);
        }
        goInside = raised.value("CmdGo.clicked") == 1;
    });
    Run({"click CmdWait", "click CmdGo"});
    EXPECT_EQ(raised.value("CmdGo.clicked"), 1);
    EXPECT_TRUE(goInside) << "the click came only after the handler gave up waiting";
}

TEST_F(TestScriptTest, AButtonHeldDownRepeatsUntilItIsLetGo) {
    auto* step = Add<QPushButton>(*window.centralWidget(), "CmdStep", {370, 330, 40, 24});
    step->setAutoRepeat(true);
    // Repeats far denser than the hold, so that a slow turn of the event loop still
    // lets several in.
    step->setAutoRepeatDelay(50);
    step->setAutoRepeatInterval(20);
    step->show();
    Count(step, &QPushButton::clicked, "CmdStep.clicked");
    Run({"press CmdStep 600"});
    EXPECT_GE(raised.value("CmdStep.clicked"), 2) << "the first click and a repeat";
    EXPECT_FALSE(step->isDown());
    const int clicks = raised.value("CmdStep.clicked");
    Run({"wait 300"});
    EXPECT_EQ(raised.value("CmdStep.clicked"), clicks) << "no repeat after the release";
}

TEST_F(TestScriptTest, AContextMenuOpenedByARightClickTakesTheNextLinesClick) {
    QMenu popup(&window);
    QAction* copy = popup.addAction("Copy");
    copy->setObjectName("MnuCopy");
    Count(copy, &QAction::triggered, "MnuCopy.triggered");
    QAction* chosen = nullptr;
    auto* area = Add<QPushButton>(*window.centralWidget(), "CmdArea", {280, 330, 80, 24});
    area->setContextMenuPolicy(Qt::CustomContextMenu);
    area->show();
    QObject::connect(area, &QWidget::customContextMenuRequested, &window,
                     [&](QPoint at) { chosen = popup.exec(area->mapToGlobal(at)); });
    Run({"rclick CmdArea", "click MnuCopy", "click CmdGo"});
    EXPECT_EQ(chosen, copy);
    EXPECT_EQ(raised.value("MnuCopy.triggered"), 1);
    EXPECT_EQ(raised.value("CmdGo.clicked"), 1) << "after the menu closed";
    EXPECT_TRUE(Refused().isEmpty()) << Refused().join('\n').toStdString();
}

TEST_F(TestScriptTest, AWindowClosesByItsCloseBoxOrEscapeAndItsPictureIsSaved) {
    QDialog dialog(&window);
    dialog.setObjectName("FrmDlg");
    int rejected = 0;
    QObject::connect(&dialog, &QDialog::rejected, &window, [&] { ++rejected; });
    const QString picture = QDir::temp().filePath("lx735-script-grab.png");
    QFile::remove(picture);
    dialog.show();
    Run({"key FrmDlg Escape"});
    EXPECT_EQ(rejected, 1);
    EXPECT_FALSE(dialog.isVisible());
    dialog.show();
    Run({"close FrmDlg", "grab " + picture, "close FrmDlg"});
    EXPECT_EQ(rejected, 2);
    EXPECT_FALSE(QImage(picture).isNull());
    EXPECT_EQ(Refused(), QStringList{"command refused: close FrmDlg (hidden)"});
    QFile::remove(picture);
}

TEST_F(TestScriptTest, AnswersGoToExactlyTheNextBoxOrDialog) {
    auto* ask = Add<QPushButton>(*window.centralWidget(), "CmdAsk", {190, 330, 80, 24});
    ask->show();
    ui::ScopedInputBoxHandler inputs([](const QString&, const QString&, const QString&) {
        return QStringLiteral("typed by hand");
    });
    ui::ScopedFileDialogHandler files(
        [](QWidget*, const ui::FileDialogRequest&) { return QStringLiteral("/picked/by/hand"); });
    // The script's handlers stand in front of those installed after it started.
    script::TestScript late(window, [this](const QString& text) { records << text; });
    QList<int> answers;
    QStringList texts;
    QObject::connect(ask, &QPushButton::clicked, &window, [&] {
        for (int i = 0; i < 2; ++i) {
            answers << support::MsgBox("Sure?", support::vbYesNo, "Rig");
            texts << ui::InputBox("Password", "Rig", "");
            texts << ui::ShowFileDialog(&window, {});
        }
    });
    late.Enqueue({"answer No", "input \"secret\"", "file \"/tmp/a.var\"", "click CmdAsk",
                  "answer Cancel", "file cancel", "click CmdAsk"});
    ASSERT_TRUE(WaitFor([&] { return late.Idle(); }, 60s));
    EXPECT_EQ(answers, (QList<int>{support::vbNo, support::vbYes, support::vbYes, support::vbYes}));
    EXPECT_EQ(texts, (QStringList{"secret", "/tmp/a.var", "typed by hand", "/picked/by/hand",
                                  "typed by hand", "", "typed by hand", "/picked/by/hand"}));
    // A Yes/No box has no Cancel: that answer is refused and the box gets its default.
    EXPECT_EQ(Refused(),
              QStringList{"command refused: answer Cancel (the box has no Cancel button)"});
    EXPECT_EQ(boxes.boxes.size(), 4u);
}

TEST_F(TestScriptTest, UntilWaitsForAControlThatComesLaterAndRefusesOnATimeOut) {
    QTimer::singleShot(200, &window, [this] {
        auto* late = new QLabel("here", window.centralWidget());
        late->setObjectName("LblLate");
        late->show();
    });
    Run({"until LblLate exists 1 5000", "until LblLate text \"here\" 1000",
         "until LblA(0) text \"never\" 100"});
    EXPECT_EQ(records, (QStringList{"command: until LblLate exists 1 5000",
                                    "command: until LblLate text \"here\" 1000",
                                    "command refused: until LblA(0) text \"never\" 100 (timed out "
                                    "after 100 ms; text is \"\")"}));
}

} // namespace
