// The test script's actions: what a user does with the mouse and the keys, on a control
// the user could reach.

#include "script/ScriptControls.h"
#include "script/ScriptInput.h"
#include "script/ScriptRunner.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <memory>

namespace script {

namespace {

using script::Number;

constexpr int RepeatDelayMs = 500; // a held key's first auto-repeat
constexpr int RepeatPeriodMs = 33;
constexpr int DragSteps = 5;

QPoint Centre(const QWidget& widget) {
    return widget.rect().center();
}

// The widget that takes a key: a window's focused control, else the control itself.
QWidget* KeyTarget(QWidget& control) {
    if (control.isWindow() && control.focusWidget()) {
        return control.focusWidget();
    }
    if (!control.hasFocus() && (control.focusPolicy() & Qt::TabFocus)) {
        control.setFocus(Qt::TabFocusReason);
    }
    return &control;
}

// The outcome of a line that acts on the control when it runs, if the control is still
// there then.
template <class T, class Act> Outcome ActOn(T& control, Act act) {
    return {{},
            [target = QPointer<T>(&control), act] {
                if (target) {
                    act(*target);
                }
            },
            {}};
}

} // namespace

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
        return ActOn(*action, script::ClickMenuItem);
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
    return ActOn(*combo, [i = *index](QComboBox& target) { script::ChooseItem(target, i); });
}

Outcome TestScript::Runner::Type(const Words& w) {
    QWidget* control = nullptr;
    Outcome reach = Reach(w.text[1], control);
    if (!reach.refusal.isEmpty()) {
        return reach;
    }
    return ActOn(*control, [text = w.text[2]](QWidget& target) {
        if (!target.hasFocus() && (target.focusPolicy() & Qt::TabFocus)) {
            target.setFocus(Qt::TabFocusReason);
        }
        script::TypeText(target, text);
    });
}

Outcome TestScript::Runner::KeyLine(const Words& w, const KeySend& send) {
    const auto key = script::ParseKey(w.text[2]);
    if (!key) {
        return {"no key " + w.text[2], {}, {}};
    }
    QWidget* control = nullptr;
    Outcome reach = Reach(w.text[1], control);
    if (!reach.refusal.isEmpty()) {
        return reach;
    }
    return ActOn(*control, [send, k = *key](QWidget& target) { send(*KeyTarget(target), k); });
}

Outcome TestScript::Runner::Key(const Words& w) {
    return KeyLine(w, script::KeyClick);
}

Outcome TestScript::Runner::KeyDown(const Words& w) {
    return KeyLine(w, [](QWidget& target, const script::KeyStroke& key) {
        script::SendKey(target, key, QEvent::KeyPress);
    });
}

Outcome TestScript::Runner::KeyUp(const Words& w) {
    return KeyLine(w, [](QWidget& target, const script::KeyStroke& key) {
        script::SendKey(target, key, QEvent::KeyRelease);
    });
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
    return ActOn(*slider, [v = *value](QAbstractSlider& target) { script::Slide(target, v); });
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
    return ActOn(*strip, [i = *index](QWidget& target) { script::ClickTab(target, i); });
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
    return ActOn(*window, [](QWidget& target) {
        // The close box's request, as the window system delivers it.
        if (target.windowHandle()) {
            QCloseEvent close;
            QCoreApplication::sendEvent(target.windowHandle(), &close);
        } else {
            target.close();
        }
    });
}

} // namespace script
