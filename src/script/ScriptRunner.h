#pragma once

// The test script's runner, shared by the files that carry out its commands: the queue
// and its timing (TestScript.cpp), the actions a user takes with the mouse and the keys
// (ScriptActions.cpp) and the readings and waits (ScriptReadings.cpp).

#include "script/ScriptInput.h"
#include "script/ScriptWords.h"
#include "script/TestScript.h"
#include "support/MessageBox.h"
#include "ui/CommonDialog.h"
#include "ui/InputBox.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <optional>

class QWidget;

namespace script {

// What a command makes of its words: a refusal, or what to do now and, for the lines
// that take time, a step that runs every few ms until it gives its end ("" done, else
// why it failed).
struct Outcome {
    QString refusal;
    std::function<void()> act;
    std::function<std::optional<QString>()> step;
};

struct TestScript::Runner {
    using Words = script::Words;

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
    // A key line: the key sent to the control's key target as send sends it.
    using KeySend = std::function<void(QWidget& target, const script::KeyStroke& key)>;
    Outcome KeyLine(const Words& w, const KeySend& send);
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
    ui::ScopedInputBoxHandler inputs;
    ui::ScopedFileDialogHandler files;
};

} // namespace script
