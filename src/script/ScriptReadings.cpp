// The test script's readings and waits: what a control shows, recorded, and the pauses
// of the queue. Reading sees hidden controls too.

#include "script/ScriptControls.h"
#include "script/ScriptRunner.h"

#include <QElapsedTimer>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <memory>

namespace script {

namespace {

using script::Number;

} // namespace

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

} // namespace script
