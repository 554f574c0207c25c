#include "ui/ControlBuilder.h"

#include "support/UCtrlBar.h"
#include "ui/TextBoxStyle.h"
#include "ui/TextCell.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTableWidget>
#include <QVariant>

namespace ui {

namespace {

QLineEdit* MakeTextBox(const QString& text, QWidget* parent) {
    auto* box = new QLineEdit(text, parent);
    // Opaque, so that a new text repaints the box alone and not what lies beneath, and
    // cheap to draw; the texts need no complex shaping.
    box->setStyle(&SharedTextBoxStyle());
    box->setAttribute(Qt::WA_OpaquePaintEvent);
    QFont font = box->font();
    font.setStyleStrategy(QFont::PreferNoShaping);
    box->setFont(font);
    return box;
}

QTableWidget* MakeGrid(QWidget* parent) {
    auto* grid = new QTableWidget(1, 1, parent);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    return grid;
}

QFrame* MakeShape(QWidget* parent) {
    auto* shape = new QFrame(parent);
    shape->setFrameShape(QFrame::Box);
    return shape;
}

// The table that described a built control: another table describing it again is a
// mistake.
constexpr const char* TableProperty = "designTable";

// Whether a control made by code (no description) is of the kind a desc gives.
bool MadeAsKind(const QWidget& control, ControlKind kind) {
    switch (kind) {
    case ControlKind::Frame:
        return dynamic_cast<const QGroupBox*>(&control) != nullptr;
    case ControlKind::Label:
    case ControlKind::Image:
        return dynamic_cast<const QLabel*>(&control) != nullptr;
    case ControlKind::Button:
        return dynamic_cast<const QPushButton*>(&control) != nullptr;
    case ControlKind::Check:
        return dynamic_cast<const QCheckBox*>(&control) != nullptr;
    case ControlKind::Option:
        return dynamic_cast<const QRadioButton*>(&control) != nullptr;
    case ControlKind::Text:
    case ControlKind::Edit:
        return dynamic_cast<const QLineEdit*>(&control) != nullptr;
    case ControlKind::Cell:
        return dynamic_cast<const TextCell*>(&control) != nullptr;
    case ControlKind::Combo:
        return dynamic_cast<const QComboBox*>(&control) != nullptr;
    case ControlKind::Grid:
        return dynamic_cast<const QTableWidget*>(&control) != nullptr;
    case ControlKind::Shape: // a plain frame: labels and tables are frames too
        return control.metaObject() == &QFrame::staticMetaObject;
    case ControlKind::Bar:
        return dynamic_cast<const support::UCtrlBar*>(&control) != nullptr;
    case ControlKind::HScroll:
        return dynamic_cast<const QScrollBar*>(&control) != nullptr;
    case ControlKind::Slider:
        return dynamic_cast<const QSlider*>(&control) != nullptr;
    case ControlKind::Panel:
    case ControlKind::Custom:
        return true;
    }
    return false;
}

} // namespace

QWidget* MakeControl(ControlKind kind, const QString& caption, QWidget* parent) {
    switch (kind) {
    case ControlKind::Frame:
        return new QGroupBox(caption, parent);
    case ControlKind::Label:
        return new QLabel(caption, parent);
    case ControlKind::Button:
        return new QPushButton(caption, parent);
    case ControlKind::Check:
        return new QCheckBox(caption, parent);
    case ControlKind::Option:
        return new QRadioButton(caption, parent);
    case ControlKind::Text:
        return MakeTextBox(caption, parent);
    case ControlKind::Edit:
        return new QLineEdit(caption, parent);
    case ControlKind::Cell: {
        auto* cell = new TextCell(parent);
        cell->setText(caption);
        return cell;
    }
    case ControlKind::Combo:
        return new QComboBox(parent);
    case ControlKind::Grid:
        return MakeGrid(parent);
    case ControlKind::Shape:
        return MakeShape(parent);
    case ControlKind::Image:
        return new QLabel(parent);
    case ControlKind::Bar:
        return new support::UCtrlBar(parent);
    case ControlKind::HScroll:
        return new QScrollBar(Qt::Horizontal, parent);
    case ControlKind::Slider:
        return new QSlider(Qt::Horizontal, parent);
    case ControlKind::Panel:
        return new QWidget(parent);
    case ControlKind::Custom:
        break;
    }
    qFatal("A control of a kind the builder does not make was asked for (%s)", qPrintable(caption));
}

QString DescName(const ControlDesc& desc, int element) {
    return desc.index < 0 ? QString::fromUtf8(desc.name)
                          : ArrayName(desc.name, desc.index + element);
}

void UnknownControl(const QObject& root, const QString& name, const char* kind) {
    qFatal("%s has no control %s of the kind used (%s)", qPrintable(root.objectName()),
           qPrintable(name), kind);
}

ControlBuilder::ControlBuilder(QWidget& root, QString table)
    : root_(root), table_(table.isEmpty() ? root.objectName() : std::move(table)) {}

void ControlBuilder::AddParent(const QString& name, QWidget& parent) {
    parents_.insert(name, &parent);
}

QWidget* ControlBuilder::Parent(const char* name) const {
    QWidget* parent = parents_.value(QString::fromUtf8(name));
    if (!parent) {
        parent = qobject_cast<QWidget*>(FindControl(root_, QString::fromUtf8(name)));
    }
    if (!parent) {
        qFatal("%s: no parent %s for a designed control", qPrintable(table_), name);
    }
    return parent;
}

void ControlBuilder::Place(QWidget& control, const ControlDesc& desc, int element) {
    if (desc.left < 0) {
        // Columns of rows, 2520 twips apart, in the parent's next free slot.
        const QWidget& parent = *control.parentWidget();
        int& slot = nextSlot_[&parent];
        const int rows = std::max(1, (HeightTwips(parent) - 360) / 360);
        MoveTwips(control, 120 + (slot / rows) * 2520, 300 + (slot % rows) * 360, 2400, 285);
        ++slot;
        return;
    }
    const bool sideBySide = desc.stepX > 0;
    MoveTwips(control, desc.left + (sideBySide ? element * desc.stepX : 0),
              desc.top + (sideBySide ? 0 : element * (desc.height + 45)), desc.width, desc.height);
}

void ControlBuilder::Adopt(const QWidget& control, const ControlDesc& desc,
                           const QString& name) const {
    const QString made = control.property(TableProperty).toString();
    if (!made.isEmpty()) {
        qFatal("%s: the control %s is described twice (also in %s)", qPrintable(table_),
               qPrintable(name), qPrintable(made));
    }
    if (!MadeAsKind(control, desc.kind)) {
        qFatal("%s: the control %s is adopted as another kind than the program's code made it",
               qPrintable(table_), qPrintable(name));
    }
    const QString caption = Caption(&control);
    if (caption != QString::fromUtf8(desc.caption)) {
        qFatal("%s: the control %s is adopted with the caption \"%s\", the program's code gave it "
               "\"%s\"",
               qPrintable(table_), qPrintable(name), desc.caption, qPrintable(caption));
    }
}

std::vector<QWidget*> ControlBuilder::Build(std::span<const ControlDesc> design,
                                            const MakeCustom& custom) {
    std::vector<QWidget*> built;
    for (const ControlDesc& desc : design) {
        QWidget* parent = Parent(desc.parent);
        for (int element = 0; element < std::max(1, desc.count); ++element) {
            const QString name = DescName(desc, element);
            if (described_.contains(name)) {
                qFatal("%s: the control %s is described twice", qPrintable(table_),
                       qPrintable(name));
            }
            described_.insert(name);
            auto* control = qobject_cast<QWidget*>(FindControl(root_, name));
            if (control) {
                Adopt(*control, desc, name);
            }
            if (control && control->parentWidget() != parent) {
                // Moved, it keeps whether it was shown: one the code hid stays hidden.
                const bool shown = control->isVisibleTo(control->parentWidget());
                control->setParent(parent);
                control->setVisible(shown);
            } else if (!control) {
                if (desc.kind == ControlKind::Custom) {
                    if (!custom) {
                        qFatal("%s: no factory for the control %s", qPrintable(table_),
                               qPrintable(name));
                    }
                    control = custom(desc, *parent);
                } else {
                    control = MakeControl(desc.kind, QString::fromUtf8(desc.caption), parent);
                }
                control->setObjectName(name);
                control->setProperty(TableProperty, table_);
            }
            Place(*control, desc, element);
            parents_.insert(name, control);
            built.push_back(control);
        }
    }
    return built;
}

} // namespace ui
