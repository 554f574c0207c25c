#include "app/TestScript.h"

#include "app/CommonDialog.h"
#include "app/InputBox.h"
#include "app/ScriptControls.h"
#include "app/ScriptInput.h"
#include "support/Clock.h"
#include "support/MessageBox.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <optional>

namespace app {

namespace {

// The command file is taken when its folder changes; the slow look is a fallback for
// a file system that tells no changes, kept rare so that the hook costs the program
// under test (and its benchmark) next to nothing.
constexpr int WatchIntervalMs = 1000;
constexpr int PendingIntervalMs = 5; // how often a line under way looks at the time
constexpr int RepeatDelayMs = 500;   // a held key's first auto-repeat
constexpr int RepeatPeriodMs = 33;
constexpr int DragSteps = 5;

// A line's words; quoted ones marked, so that `choose C 3` and `choose C "3"` differ.
struct Words {
    QStringList text;
    QList<bool> quoted;
};

// Splits at blanks; "..." is one word with \" \\ \n \r escapes. Nothing when a quote is
// left open or a quote closes inside a word.
std::optional<Words> Split(const QString& line) {
    Words words;
    int i = 0;
    while (i < line.size()) {
        if (line[i].isSpace()) {
            ++i;
            continue;
        }
        QString word;
        if (line[i] != '"') {
            while (i < line.size() && !line[i].isSpace()) {
                word += line[i++];
            }
            words.text << word;
            words.quoted << false;
            continue;
        }
        for (++i;; ++i) {
            if (i >= line.size()) {
                return std::nullopt;
            }
            if (line[i] == '"') {
                break;
            }
            if (line[i] == '\\' && i + 1 < line.size()) {
                const QChar next = line[++i];
                word += next == 'n' ? QChar('\n') : next == 'r' ? QChar('\r') : next;
            } else {
                word += line[i];
            }
        }
        ++i;
        if (i < line.size() && !line[i].isSpace()) {
            return std::nullopt;
        }
        words.text << word;
        words.quoted << true;
    }
    return words;
}

std::optional<int> Number(const QString& word) {
    bool ok = false;
    const int value = word.toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// The buttons a message box of this style shows, with their answers.
QList<QPair<QString, int>> BoxButtons(int style) {
    switch (style & 7) {
    case support::vbOKCancel:
        return {{"OK", support::vbOK}, {"Cancel", support::vbCancel}};
    case support::vbYesNoCancel:
        return {{"Yes", support::vbYes}, {"No", support::vbNo}, {"Cancel", support::vbCancel}};
    case support::vbYesNo:
        return {{"Yes", support::vbYes}, {"No", support::vbNo}};
    default:
        return {{"OK", support::vbOK}};
    }
}

QPoint Centre(const QWidget& widget) {
    return widget.rect().center();
}

} // namespace

// What a command makes of its words: a refusal, or what to do now and, for the lines
// that take time, a step that runs every few ms until it gives its end ("" done, else
// why it failed).
struct Outcome {
    QString refusal;
    std::function<void()> act;
    std::function<std::optional<QString>()> step;
};

struct TestScript::Runner {
    Runner(QWidget& window, Recorder recorder);

    using Handler = Outcome (Runner::*)(const Words& words);
    struct Verb {
        int minWords; // the verb included
        int maxWords;
        Handler handler;
    };

    void Step();
    void Schedule(bool fresh);
    int Nesting() const;
    void RunLine(const QString& line);
    Outcome Prepare(const Words& words);

    // The control for an action: found and reachable, else the refusal.
    template <class T = QWidget> Outcome Reach(const QString& name, T*& found);
    Outcome Mouse(const Words& words, Qt::MouseButton button, bool twice);

    Outcome Click(const Words& w) { return Mouse(w, Qt::LeftButton, false); }
    Outcome DblClick(const Words& w) { return Mouse(w, Qt::LeftButton, true); }
    Outcome RClick(const Words& w) { return Mouse(w, Qt::RightButton, false); }
    Outcome Press(const Words& w);
    Outcome Drag(const Words& w);
    Outcome Choose(const Words& w);
    Outcome Type(const Words& w);
    Outcome Key(const Words& w);
    Outcome KeyDown(const Words& w);
    Outcome KeyUp(const Words& w);
    Outcome KeyAlone(const Words& w, QEvent::Type type);
    Outcome Hold(const Words& w);
    Outcome Slide(const Words& w);
    Outcome Wheel(const Words& w);
    Outcome Tab(const Words& w);
    Outcome Close(const Words& w);
    Outcome Answer(const Words& w);
    Outcome Input(const Words& w);
    Outcome File(const Words& w);
    Outcome Read(const Words& w);
    Outcome Grid(const Words& w);
    Outcome Items(const Words& w);
    Outcome Wait(const Words& w);
    Outcome Until(const Words& w);
    Outcome Grab(const Words& w);
    Outcome Window(const Words& w);

    int AnswerBox(const QString& prompt, int style, const QString& title);

    QWidget& mainWindow;
    Recorder record;
    QHash<QString, Verb> verbs;
    QStringList queue;
    QTimer stepTimer;
    QTimer watchTimer;
    QFileSystemWatcher watcher;
    // The nesting at which each line now being carried out began: a later line runs
    // only deeper than the innermost of them.
    QList<int> deliveries;
    struct Pending {
        QString line;
        std::function<std::optional<QString>()> step;
    };
    std::optional<Pending> pending;
    bool pendingBusy = false;

    std::optional<QString> boxAnswer;
    std::optional<QString> inputAnswer;
    std::optional<QString> fileAnswer; // "" cancels
    support::ScopedMsgBoxHandler boxes;
    ScopedInputBoxHandler inputs;
    ScopedFileDialogHandler files;
};

TestScript::Runner::Runner(QWidget& window, Recorder recorder)
    : mainWindow(window), record(std::move(recorder)),
      boxes([this](const QString& p, int s, const QString& t) { return AnswerBox(p, s, t); }),
      inputs([this](const QString& prompt, const QString& title, const QString& text) {
          if (!inputAnswer) {
              return inputs.Previous()(prompt, title, text);
          }
          const QString answer = *std::exchange(inputAnswer, std::nullopt);
          record("input box answered: " + script::Quoted(answer));
          return answer;
      }),
      files([this](QWidget* owner, const FileDialogRequest& request) {
          if (!fileAnswer) {
              return files.Previous()(owner, request);
          }
          const QString answer = *std::exchange(fileAnswer, std::nullopt);
          record("file dialog answered: " +
                 (answer.isEmpty() ? QStringLiteral("cancel") : script::Quoted(answer)));
          return answer;
      }) {
    verbs = {
        {"click", {2, 5, &Runner::Click}},     {"dblclick", {2, 5, &Runner::DblClick}},
        {"rclick", {2, 5, &Runner::RClick}},   {"press", {3, 4, &Runner::Press}},
        {"drag", {4, 6, &Runner::Drag}},       {"choose", {3, 3, &Runner::Choose}},
        {"type", {3, 3, &Runner::Type}},       {"key", {3, 3, &Runner::Key}},
        {"keydown", {3, 3, &Runner::KeyDown}}, {"keyup", {3, 3, &Runner::KeyUp}},
        {"hold", {4, 4, &Runner::Hold}},       {"slide", {3, 3, &Runner::Slide}},
        {"tab", {3, 3, &Runner::Tab}},         {"close", {1, 2, &Runner::Close}},
        {"answer", {2, 2, &Runner::Answer}},   {"input", {2, 2, &Runner::Input}},
        {"file", {2, 2, &Runner::File}},       {"read", {2, 2, &Runner::Read}},
        {"grid", {2, 2, &Runner::Grid}},       {"items", {2, 2, &Runner::Items}},
        {"wait", {2, 2, &Runner::Wait}},       {"until", {5, 5, &Runner::Until}},
        {"grab", {2, 3, &Runner::Grab}},       {"window", {1, 1, &Runner::Window}},
        {"wheel", {3, 3, &Runner::Wheel}},
    };
    QObject::connect(&stepTimer, &QTimer::timeout, [this] { Step(); });
}

int TestScript::Runner::Nesting() const {
    return QThread::currentThread()->loopLevel() + support::WaitDepth();
}

// The timer is started afresh before every line: a timer does not fire again while its
// own event is being handled, and a fresh one can fire inside the line's nested loops.
void TestScript::Runner::Schedule(bool fresh) {
    if (queue.isEmpty() && !pending) {
        stepTimer.stop();
        return;
    }
    const int interval = pending ? PendingIntervalMs : 0;
    if (fresh || !stepTimer.isActive() || stepTimer.interval() != interval) {
        stepTimer.start(interval);
    }
}

void TestScript::Runner::Step() {
    if (!deliveries.isEmpty() && Nesting() <= deliveries.back()) {
        return; // the line before is still in its handler at this level
    }
    struct Delivery {
        Delivery(Runner& r) : runner(r) { runner.deliveries.append(runner.Nesting()); }
        ~Delivery() { runner.deliveries.removeLast(); }
        Runner& runner;
    };
    if (pending) {
        if (pendingBusy) {
            return;
        }
        pendingBusy = true;
        Schedule(true);
        std::optional<QString> end;
        {
            Delivery delivery(*this);
            end = pending->step();
        }
        pendingBusy = false;
        if (end) {
            record((end->isEmpty() ? "command: " : "command refused: ") + pending->line +
                   (end->isEmpty() ? QString() : " (" + *end + ")"));
            pending.reset();
            Schedule(false);
        }
        return;
    }
    if (queue.isEmpty()) {
        Schedule(false);
        return;
    }
    const QString line = queue.takeFirst();
    Schedule(true);
    Delivery delivery(*this);
    RunLine(line);
}

void TestScript::Runner::RunLine(const QString& line) {
    const std::optional<Words> words = Split(line);
    Outcome outcome = words ? Prepare(*words) : Outcome{"a quote is not closed", {}, {}};
    if (!outcome.refusal.isEmpty()) {
        record("command refused: " + line + " (" + outcome.refusal + ")");
        return;
    }
    if (outcome.step) {
        pending = Pending{line, std::move(outcome.step)};
        Schedule(false);
    } else {
        record("command: " + line);
    }
    if (outcome.act) {
        outcome.act();
    }
}

Outcome TestScript::Runner::Prepare(const Words& words) {
    if (words.text.isEmpty() || words.text[0].startsWith('#')) {
        return {}; // a comment
    }
    const QString verb = words.text[0];
    const auto found = verbs.find(verb);
    if (found == verbs.end()) {
        return {"unknown command " + verb, {}, {}};
    }
    if (words.text.size() < found->minWords || words.text.size() > found->maxWords) {
        return {QStringLiteral("wrong number of words"), {}, {}};
    }
    return (this->*found->handler)(words);
}

template <class T> Outcome TestScript::Runner::Reach(const QString& name, T*& found) {
    QObject* control = script::FindNamed(mainWindow, name);
    found = qobject_cast<T*>(control);
    if (!control) {
        return {"no control " + name, {}, {}};
    }
    if (!found) {
        return {name + " is not a control of this kind", {}, {}};
    }
    return {script::Unreachable(*control), {}, {}};
}

Outcome TestScript::Runner::Mouse(const Words& w, Qt::MouseButton button, bool twice) {
    const QStringList& t = w.text;
    // "click GRID ROW COL [MODS]" or "click NAME [MODS]".
    const bool cell = t.size() >= 4 && Number(t[2]) && Number(t[3]);
    const int modsAt = cell ? 4 : 2;
    if (t.size() > modsAt + 1) {
        return {QStringLiteral("wrong number of words"), {}, {}};
    }
    const auto mods = t.size() > modsAt ? script::ParseModifiers(t[modsAt])
                                        : std::optional<Qt::KeyboardModifiers>(Qt::NoModifier);
    if (!mods) {
        return {"no modifiers " + t[modsAt], {}, {}};
    }
    QObject* control = nullptr;
    Outcome reach = Reach(t[1], control);
    if (!reach.refusal.isEmpty()) {
        return reach;
    }
    QWidget* target = qobject_cast<QWidget*>(control);
    QPoint at = target ? script::ClickPoint(*target) : QPoint();
    if (cell) {
        auto* view = qobject_cast<QAbstractItemView*>(control);
        const QModelIndex index = view && view->model()
                                      ? view->model()->index(*Number(t[2]), *Number(t[3]))
                                      : QModelIndex();
        if (!index.isValid()) {
            return {QStringLiteral("no such cell"), {}, {}};
        }
        view->scrollTo(index);
        target = view->viewport();
        at = view->visualRect(index).center();
    }
    if (auto* action = qobject_cast<QAction*>(control)) {
        if (button != Qt::LeftButton || cell) {
            return {QStringLiteral("a menu item takes a left click"), {}, {}};
        }
        return {{},
                [item = QPointer<QAction>(action)] {
                    if (item) {
                        script::ClickMenuItem(*item);
                    }
                },
                {}};
    }
    if (!target) {
        return {t[1] + " is not a control of this kind", {}, {}};
    }
    return {
        {},
        [target = QPointer<QWidget>(target), at, button, twice, m = *mods] {
            if (!target) {
                return;
            }
            if (twice) {
                script::MouseDoubleClick(*target, at, m);
                return;
            }
            script::SendMouse(*target, QEvent::MouseButtonPress, at, button, button, m);
            if (button == Qt::RightButton && target) {
                // As X11 raises it: right after the press.
                QContextMenuEvent menu(QContextMenuEvent::Mouse, at, target->mapToGlobal(at), m);
                QCoreApplication::sendEvent(target, &menu);
            }
            if (target) {
                script::SendMouse(*target, QEvent::MouseButtonRelease, at, button, Qt::NoButton, m);
            }
        },
        {}};
}

Outcome TestScript::Runner::Press(const Words& w) {
    const auto ms = Number(w.text[2]);
    const auto mods = w.text.size() > 3 ? script::ParseModifiers(w.text[3])
                                        : std::optional<Qt::KeyboardModifiers>(Qt::NoModifier);
    if (!ms || *ms < 0 || !mods) {
        return {QStringLiteral("PRESS NAME MS [MODS]"), {}, {}};
    }
    QWidget* control = nullptr;
    Outcome reach = Reach(w.text[1], control);
    if (!reach.refusal.isEmpty()) {
        return reach;
    }
    QPointer<QWidget> target(control);
    const QPoint at = script::ClickPoint(*control);
    auto clock = std::make_shared<QElapsedTimer>();
    return {{},
            [=] {
                clock->start();
                script::SendMouse(*target, QEvent::MouseButtonPress, at, Qt::LeftButton,
                                  Qt::LeftButton, *mods);
            },
            [=]() -> std::optional<QString> {
                if (!target) {
                    return QStringLiteral("the control is gone");
                }
                if (clock->elapsed() < *ms) {
                    return std::nullopt;
                }
                script::SendMouse(*target, QEvent::MouseButtonRelease, at, Qt::LeftButton,
                                  Qt::NoButton, *mods);
                return QString();
            }};
}

Outcome TestScript::Runner::Drag(const Words& w) {
    QList<int> points;
    for (int i = 2; i < w.text.size(); ++i) {
        const auto n = Number(w.text[i]);
        if (!n) {
            return {"not a number: " + w.text[i], {}, {}};
        }
        points << *n;
    }
    if (points.size() != 2 && points.size() != 4) {
        return {QStringLiteral("wrong number of words"), {}, {}};
    }
    QWidget* control = nullptr;
    Outcome reach = Reach(w.text[1], control);
    if (!reach.refusal.isEmpty()) {
        return reach;
    }
    const QPoint from = points.size() == 4 ? QPoint(points[0], points[1]) : Centre(*control);
    const QPoint to(points[points.size() - 2], points.back());
    return {{},
            [target = QPointer<QWidget>(control), from, to] {
                if (target) {
                    script::SendMouse(*target, QEvent::MouseButtonPress, from, Qt::LeftButton,
                                      Qt::LeftButton, {});
                }
                for (int i = 1; i <= DragSteps && target; ++i) {
                    script::SendMouse(*target, QEvent::MouseMove,
                                      from + (to - from) * i / DragSteps, Qt::NoButton,
                                      Qt::LeftButton, {});
                }
                if (target) {
                    script::SendMouse(*target, QEvent::MouseButtonRelease, to, Qt::LeftButton,
                                      Qt::NoButton, {});
                }
            },
            {}};
}

Outcome TestScript::Runner::Choose(const Words& w) {
    QComboBox* combo = nullptr;
    Outcome reach = Reach(w.text[1], combo);
    if (!reach.refusal.isEmpty()) {
        return reach;
    }
    const std::optional<int> index =
        w.quoted[2] ? std::optional<int>(combo->findText(w.text[2], Qt::MatchExactly))
                    : Number(w.text[2]);
    if (!index || *index < 0 || *index >= combo->count()) {
        return {"no item " + w.text[2], {}, {}};
    }
    return {{},
            [combo = QPointer<QComboBox>(combo), i = *index] {
                if (combo) {
                    script::ChooseItem(*combo, i);
                }
            },
            {}};
}

Outcome TestScript::Runner::Type(const Words& w) {
    QWidget* control = nullptr;
    Outcome reach = Reach(w.text[1], control);
    if (!reach.refusal.isEmpty()) {
        return reach;
    }
    return {{},
            [target = QPointer<QWidget>(control), text = w.text[2]] {
                if (target) {
                    if (!target->hasFocus() && (target->focusPolicy() & Qt::TabFocus)) {
                        target->setFocus(Qt::TabFocusReason);
                    }
                    script::TypeText(*target, text);
                }
            },
            {}};
}

// The widget that takes a key: a window's focused control, else the control itself.
static QWidget* KeyTarget(QWidget& control) {
    if (control.isWindow() && control.focusWidget()) {
        return control.focusWidget();
    }
    if (!control.hasFocus() && (control.focusPolicy() & Qt::TabFocus)) {
        control.setFocus(Qt::TabFocusReason);
    }
    return &control;
}

Outcome TestScript::Runner::Key(const Words& w) {
    const auto key = script::ParseKey(w.text[2]);
    if (!key) {
        return {"no key " + w.text[2], {}, {}};
    }
    QWidget* control = nullptr;
    Outcome reach = Reach(w.text[1], control);
    if (!reach.refusal.isEmpty()) {
        return reach;
    }
    return {{},
            [control = QPointer<QWidget>(control), k = *key] {
                if (control) {
                    script::KeyClick(*KeyTarget(*control), k);
                }
            },
            {}};
}

Outcome TestScript::Runner::KeyAlone(const Words& w, QEvent::Type type) {
    const auto key = script::ParseKey(w.text[2]);
    if (!key) {
        return {"no key " + w.text[2], {}, {}};
    }
    QWidget* control = nullptr;
    Outcome reach = Reach(w.text[1], control);
    if (!reach.refusal.isEmpty()) {
        return reach;
    }
    return {{},
            [control = QPointer<QWidget>(control), k = *key, type] {
                if (control) {
                    script::SendKey(*KeyTarget(*control), k, type);
                }
            },
            {}};
}

Outcome TestScript::Runner::KeyDown(const Words& w) {
    return KeyAlone(w, QEvent::KeyPress);
}

Outcome TestScript::Runner::KeyUp(const Words& w) {
    return KeyAlone(w, QEvent::KeyRelease);
}

Outcome TestScript::Runner::Hold(const Words& w) {
    const auto key = script::ParseKey(w.text[2]);
    const auto ms = Number(w.text[3]);
    if (!key || !ms || *ms < 0) {
        return {QStringLiteral("HOLD NAME KEY MS"), {}, {}};
    }
    QWidget* control = nullptr;
    Outcome reach = Reach(w.text[1], control);
    if (!reach.refusal.isEmpty()) {
        return reach;
    }
    struct State {
        QPointer<QWidget> target;
        QElapsedTimer clock;
        qint64 nextRepeat = RepeatDelayMs;
    };
    auto state = std::make_shared<State>();
    state->target = KeyTarget(*control);
    return {{},
            [state, k = *key] {
                state->clock.start();
                script::SendKey(*state->target, k, QEvent::KeyPress);
            },
            [state, k = *key, ms = *ms]() -> std::optional<QString> {
                if (!state->target) {
                    return QStringLiteral("the control is gone");
                }
                const qint64 now = state->clock.elapsed();
                if (now >= ms) {
                    script::SendKey(*state->target, k, QEvent::KeyRelease);
                    return QString();
                }
                if (now >= state->nextRepeat) {
                    state->nextRepeat += RepeatPeriodMs;
                    script::SendKey(*state->target, k, QEvent::KeyRelease, true);
                    if (state->target) {
                        script::SendKey(*state->target, k, QEvent::KeyPress, true);
                    }
                }
                return std::nullopt;
            }};
}

Outcome TestScript::Runner::Slide(const Words& w) {
    const auto value = Number(w.text[2]);
    if (!value) {
        return {"not a number: " + w.text[2], {}, {}};
    }
    QAbstractSlider* slider = nullptr;
    Outcome reach = Reach(w.text[1], slider);
    if (!reach.refusal.isEmpty()) {
        return reach;
    }
    return {{},
            [slider = QPointer<QAbstractSlider>(slider), v = *value] {
                if (slider) {
                    script::Slide(*slider, v);
                }
            },
            {}};
}

Outcome TestScript::Runner::Wheel(const Words& w) {
    const auto steps = Number(w.text[2]);
    if (!steps || *steps == 0) {
        return {"not a number of notches: " + w.text[2], {}, {}};
    }
    QWidget* control = nullptr;
    Outcome reach = Reach(w.text[1], control);
    if (!reach.refusal.isEmpty()) {
        return reach;
    }
    struct State {
        QPointer<QWidget> control;
        int left;
    };
    auto state = std::make_shared<State>(State{control, std::abs(*steps)});
    const bool away = *steps > 0;
    // The pointer first; the notches follow one per turn, as a hand turns the wheel.
    return {{},
            [state] {
                if (state->control) {
                    QCursor::setPos(state->control->mapToGlobal(Centre(*state->control)));
                }
            },
            [state, away]() -> std::optional<QString> {
                if (!state->control) {
                    return QStringLiteral("the control is gone");
                }
                script::WheelNotch(*state->control, Centre(*state->control), away);
                return --state->left == 0 ? std::optional<QString>(QString()) : std::nullopt;
            }};
}

Outcome TestScript::Runner::Tab(const Words& w) {
    const auto index = Number(w.text[2]);
    if (!index) {
        return {"not a number: " + w.text[2], {}, {}};
    }
    QWidget* strip = nullptr;
    Outcome reach = Reach(w.text[1], strip);
    if (!reach.refusal.isEmpty()) {
        return reach;
    }
    if (const QString why = script::TabUnreachable(*strip, *index); !why.isEmpty()) {
        return {why, {}, {}};
    }
    return {{},
            [strip = QPointer<QWidget>(strip), i = *index] {
                if (strip) {
                    script::ClickTab(*strip, i);
                }
            },
            {}};
}

Outcome TestScript::Runner::Close(const Words& w) {
    QWidget* window = &mainWindow;
    if (w.text.size() > 1) {
        Outcome reach = Reach(w.text[1], window);
        if (!reach.refusal.isEmpty()) {
            return reach;
        }
        if (!window->isWindow()) {
            return {w.text[1] + " is not a window", {}, {}};
        }
    } else if (const QString why = script::Unreachable(mainWindow); !why.isEmpty()) {
        return {why, {}, {}};
    }
    return {{},
            [window = QPointer<QWidget>(window)] {
                // The close box's request, as the window system delivers it.
                if (window && window->windowHandle()) {
                    QCloseEvent close;
                    QCoreApplication::sendEvent(window->windowHandle(), &close);
                } else if (window) {
                    window->close();
                }
            },
            {}};
}

int TestScript::Runner::AnswerBox(const QString& prompt, int style, const QString& title) {
    // Recorded and answered as every box is, then given the answer chosen for it.
    const int shown = boxes.Previous()(prompt, style, title);
    if (!boxAnswer) {
        return shown;
    }
    const QString chosen = *std::exchange(boxAnswer, std::nullopt);
    for (const auto& [name, answer] : BoxButtons(style)) {
        if (name.compare(chosen, Qt::CaseInsensitive) == 0) {
            record("box answered: " + name);
            return answer;
        }
    }
    record("command refused: answer " + chosen + " (the box has no " + chosen + " button)");
    return shown;
}

Outcome TestScript::Runner::Answer(const Words& w) {
    for (const char* name : {"OK", "Cancel", "Yes", "No"}) {
        if (w.text[1].compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            return {{}, [this, name] { boxAnswer = QString::fromLatin1(name); }, {}};
        }
    }
    return {"no button " + w.text[1], {}, {}};
}

Outcome TestScript::Runner::Input(const Words& w) {
    return {{}, [this, text = w.text[1]] { inputAnswer = text; }, {}};
}

Outcome TestScript::Runner::File(const Words& w) {
    if (!w.quoted[1] && w.text[1] != QLatin1String("cancel")) {
        return {QStringLiteral("FILE \"PATH\" or FILE cancel"), {}, {}};
    }
    return {{}, [this, path = w.quoted[1] ? w.text[1] : QString()] { fileAnswer = path; }, {}};
}

Outcome TestScript::Runner::Read(const Words& w) {
    const QString& name = w.text[1];
    QList<QObject*> controls;
    if (name.endsWith(QLatin1String("(*)"))) {
        controls = script::FindArray(mainWindow, name.chopped(3));
    } else if (QObject* control = script::FindNamed(mainWindow, name)) {
        controls << control;
    }
    if (controls.isEmpty()) {
        return {"no control " + name, {}, {}};
    }
    QList<QPointer<QObject>> held(controls.begin(), controls.end());
    // Recorded under the name as written, an element with its window's name before it.
    const QString window = name.contains('.') ? name.section('.', 0, 0) + "." : QString();
    const bool array = name.endsWith(QLatin1String("(*)"));
    return {{},
            [this, held, name, window, array] {
                for (const QPointer<QObject>& control : held) {
                    if (!control) {
                        continue;
                    }
                    QStringList fields;
                    for (const script::Field& field : script::ReadFields(*control)) {
                        fields << field.name + "=" +
                                      (field.text ? script::Quoted(field.value) : field.value);
                    }
                    const QString shown = array ? window + control->objectName() : name;
                    record("read: " + shown + " " + fields.join(' '));
                }
            },
            {}};
}

Outcome TestScript::Runner::Grid(const Words& w) {
    QObject* control = script::FindNamed(mainWindow, w.text[1]);
    if (!control || script::GridLines(*control).isEmpty()) {
        return {"no grid " + w.text[1], {}, {}};
    }
    return {{},
            [this, control = QPointer<QObject>(control), name = w.text[1]] {
                if (control) {
                    for (const QString& line : script::GridLines(*control)) {
                        record("grid: " + name + " " + line);
                    }
                }
            },
            {}};
}

Outcome TestScript::Runner::Items(const Words& w) {
    QObject* control = script::FindNamed(mainWindow, w.text[1]);
    if (!control || !script::ItemTexts(*control)) {
        return {"no combo box or list " + w.text[1], {}, {}};
    }
    return {{},
            [this, control = QPointer<QObject>(control), name = w.text[1]] {
                if (control) {
                    record("items: " + name + " " + script::ItemTexts(*control)->join(' '));
                }
            },
            {}};
}

Outcome TestScript::Runner::Wait(const Words& w) {
    const auto ms = Number(w.text[1]);
    if (!ms || *ms < 0) {
        return {"not a time: " + w.text[1], {}, {}};
    }
    auto clock = std::make_shared<QElapsedTimer>();
    return {{},
            [clock] { clock->start(); },
            [clock, ms = *ms]() -> std::optional<QString> {
                return clock->elapsed() >= ms ? std::optional<QString>(QString()) : std::nullopt;
            }};
}

Outcome TestScript::Runner::Until(const Words& w) {
    const auto ms = Number(w.text[4]);
    if (!ms || *ms < 0) {
        return {"not a time: " + w.text[4], {}, {}};
    }
    auto clock = std::make_shared<QElapsedTimer>();
    return {{},
            [clock] { clock->start(); },
            [this, clock, name = w.text[1], field = w.text[2], value = w.text[3],
             ms = *ms]() -> std::optional<QString> {
                const QString shown = script::ReadField(script::FindNamed(mainWindow, name), field);
                if (shown == value) {
                    return QString();
                }
                if (clock->elapsed() >= ms) {
                    return QStringLiteral("timed out after %1 ms; %2 is %3")
                        .arg(ms)
                        .arg(field, script::Quoted(shown));
                }
                return std::nullopt;
            }};
}

Outcome TestScript::Runner::Grab(const Words& w) {
    QWidget* window = &mainWindow;
    if (w.text.size() > 2) {
        window = qobject_cast<QWidget*>(script::FindNamed(mainWindow, w.text[2]));
        if (!window || !window->isWindow()) {
            return {"no window " + w.text[2], {}, {}};
        }
    }
    if (!window->grab().save(w.text[1], "PNG")) {
        return {"cannot write " + w.text[1], {}, {}};
    }
    return {};
}

Outcome TestScript::Runner::Window(const Words&) {
    return {{},
            [this] {
                record("window: " + mainWindow.windowTitle());
                record("tabs: " + script::ReadField(&mainWindow, QStringLiteral("tabs")));
            },
            {}};
}

TestScript::TestScript(QWidget& mainWindow, Recorder record)
    : runner_(std::make_unique<Runner>(mainWindow, std::move(record))) {}

TestScript::~TestScript() = default;

void TestScript::WatchFile(const QString& path) {
    const auto take = [this, path] {
        QFile file(path);
        if (!file.exists() || !file.open(QIODevice::ReadOnly)) {
            return;
        }
        const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
        file.close();
        file.remove();
        QStringList kept;
        for (const QString& line : lines) {
            if (!line.trimmed().isEmpty()) {
                kept << line.trimmed();
            }
        }
        Enqueue(kept);
    };
    // Writers put the file in place whole, by a rename into its folder.
    runner_->watcher.addPath(QFileInfo(path).absolutePath());
    QObject::connect(&runner_->watcher, &QFileSystemWatcher::directoryChanged, take);
    QObject::connect(&runner_->watchTimer, &QTimer::timeout, take);
    runner_->watchTimer.start(WatchIntervalMs);
    QTimer::singleShot(0, &runner_->watchTimer, take); // a file put there before the start
}

void TestScript::Enqueue(const QStringList& lines) {
    runner_->queue += lines;
    runner_->Schedule(false);
}

bool TestScript::Idle() const {
    return runner_->queue.isEmpty() && !runner_->pending;
}

std::unique_ptr<TestScript> TestScriptFromEnvironment(QWidget& mainWindow,
                                                      TestScript::Recorder record) {
    const QString path = qEnvironmentVariable("LX735_TEST_COMMANDS");
    if (path.isEmpty()) {
        return nullptr;
    }
    auto script = std::make_unique<TestScript>(mainWindow, std::move(record));
    script->WatchFile(path);
    return script;
}

} // namespace app
