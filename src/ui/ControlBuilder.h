#pragma once

// The one way the program's windows make and reach their controls.
//
// A window describes its controls as a table of ControlDesc (name, index, kind, parent,
// caption, place in twips) and builds them with BuildControls. Its procedures then
// reach each control once, when the window is built, through Bind, and keep it in a
// typed member. A name the window lacks, or a control of another kind, is a fault of
// the program: Bind and the builder stop it at once with the name in the message, so a
// wrong name shows the first time the window is built and never as a silent no-op.

#include "ui/Controls.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QtGlobal>
#include <algorithm>
#include <functional>
#include <span>
#include <typeinfo>
#include <vector>

class QObject;
class QWidget;

namespace ui {

enum class ControlKind {
    Frame,   // framed group with a caption (QGroupBox)
    Label,   // caption (QLabel)
    Button,  // push button
    Check,   // check box
    Option,  // radio button
    Text,    // one-line text box of the main window: flat, opaque
    Edit,    // one-line text box in the style's own field (dialogs, the viewer)
    Cell,    // read-only value box (TextCell)
    Combo,   // drop-down list
    Grid,    // table, one cell, headers hidden
    Shape,   // boxed rectangle drawn behind other controls
    Image,   // picture (QLabel without text)
    Bar,     // the program's bar gauge (support::UCtrlBar)
    HScroll, // horizontal scroll bar
    Slider,  // horizontal slider
    Panel,   // plain container
    Custom,  // made by the window's own factory (a kind this library does not know)
};

// One designed control. Elements of a control array are named "Name(index)"; count > 1
// makes count elements from index on, stepX twips apart side by side, or (stepX 0)
// stacked height + 45 twips apart. left < 0 places the control in its parent's next free
// slot (columns of rows 360 twips high).
struct ControlDesc {
    ControlKind kind;
    const char* name;
    int index; // element of a control array; -1 for a control of its own
    const char* parent;
    const char* caption;
    int left = -1;
    int top = 0;
    int width = 2400;
    int height = 285;
    int count = 1;
    int stepX = 0;
};

// A new control of a built-in kind (never Custom), with its caption, in parent.
QWidget* MakeControl(ControlKind kind, const QString& caption, QWidget* parent);

// Builds a window's designed controls below root from a design table; table names it in
// the messages (root's name when none is given).
//
// A desc's parent is a name given to AddParent, a control built earlier by the same
// builder or a control root holds; any other parent stops the program. A control the
// program's code made under the desc's name is adopted (moved into the parent, keeping
// whether it was shown, and placed) instead of made again. Custom descs are made by the
// factory given to Build; without one they stop the program. A design mistake stops the
// program, naming the control and the table: a control described twice (twice in one
// table, or by two tables on one root), or a control made by code adopted as another
// kind or with another caption.
class ControlBuilder {
public:
    using MakeCustom = std::function<QWidget*(const ControlDesc&, QWidget& parent)>;

    explicit ControlBuilder(QWidget& root, QString table = {});

    void AddParent(const QString& name, QWidget& parent);
    // Builds the descs in order (parents before their contents); returns the controls
    // made or adopted, in that order.
    std::vector<QWidget*> Build(std::span<const ControlDesc> design, const MakeCustom& custom = {});

private:
    QWidget* Parent(const char* name) const;
    void Place(QWidget& control, const ControlDesc& desc, int element);
    void Adopt(const QWidget& control, const ControlDesc& desc, const QString& name) const;

    QWidget& root_;
    QString table_;
    QHash<QString, QWidget*> parents_;
    QSet<QString> described_; // the names this builder's tables gave
    QHash<const QWidget*, int> nextSlot_;
};

// The name of a desc's element (0 .. count - 1).
QString DescName(const ControlDesc& desc, int element);

// Stops the program: root has no control name of the kind asked for.
[[noreturn]] void UnknownControl(const QObject& root, const QString& name, const char* kind);

// The control name below root (root included) as a T; stops the program with the name
// when root has none or it is of another kind.
template <class T> T& Bind(QObject& root, const QString& name) {
    auto* control = dynamic_cast<T*>(FindControl(root, name));
    if (!control) {
        UnknownControl(root, name, typeid(T).name());
    }
    return *control;
}

// Element index of the control array name.
template <class T> T& Bind(QObject& root, const char* name, int index) {
    return Bind<T>(root, ArrayName(name, index));
}

// Elements first .. first + count - 1 of the control array name.
template <class T>
std::vector<T*> BindArray(QObject& root, const char* name, int first, int count) {
    std::vector<T*> elements;
    elements.reserve(static_cast<size_t>(std::max(0, count)));
    for (int i = first; i < first + count; ++i) {
        elements.push_back(&Bind<T>(root, name, i));
    }
    return elements;
}

} // namespace ui
