#include "script/TestScript.h"

#include "script/ScriptControls.h"
#include "script/ScriptRunner.h"
#include "support/Clock.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QWidget>

namespace script {

namespace {

// The command file is taken when its folder changes; the slow look is a fallback for
// a file system that tells no changes, kept rare so that the hook costs the program
// under test (and its benchmark) next to nothing.
constexpr int WatchIntervalMs = 1000;
constexpr int PendingIntervalMs = 5; // how often a line under way looks at the time

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

} // namespace

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
      files([this](QWidget* owner, const ui::FileDialogRequest& request) {
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
    const std::optional<Words> words = script::Split(line);
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

} // namespace script
