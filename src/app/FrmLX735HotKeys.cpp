// The hot keys of the main window and the developer view they switch: the signal-viewer
// and expert buttons, the developer's controls and the Lambda and Map tabs.

#include "app/FrmLX735.h"
#include "app/MainControls.h"
#include "app/ProgramContext.h"
#include "ui/ControlBuilder.h"
#include "ui/InputBox.h"

#include <QKeyEvent>
#include <QWidget>
#include <vector>

namespace app {

namespace {

const QString DeveloperPassword = QStringLiteral("KOLT5829");
constexpr int ShiftMask = 1;
constexpr int CtrlMask = 2;
constexpr int AltMask = 4;
constexpr int KeyW = 87;
constexpr int KeyE = 69;
constexpr int KeyX = 88;
constexpr int TabLambda = 4;
constexpr int TabMap = 5;

// The controls of the window's design that the developer view shows, in the order it
// sets them: these, the model's points ShpPunti of the design, then the buttons.
const char* const DeveloperControls[] = {
    "CmbShoRpm", "LblShoRpm", "CmdView",     "FrmVarTara",   "FrmMapSample",
    "ShpPLoad",  "ShpPmin",   "CkbStatoEcu", "CkbStatoAlim", "CmdComputeModl(0)",
};
const char* const DeveloperButtons[] = {"CmdView", "CmdExpert(0)", "CmdTableComp"};

void ToggleVisible(QWidget& control) {
    control.setVisible(control.isHidden());
}

int ModifierMask(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? ShiftMask : 0) |
           (modifiers & Qt::ControlModifier ? CtrlMask : 0) |
           (modifiers & Qt::AltModifier ? AltMask : 0);
}

} // namespace

bool FrmLX735::Form_KeyUp(int KeyCode, int Shift) {
    const int all = ShiftMask | CtrlMask | AltMask;
    if ((Shift & all) != all || (KeyCode != KeyW && KeyCode != KeyE && KeyCode != KeyX)) {
        return false;
    }
    const QString answer = ui::InputBox(QStringLiteral("Pw"), ctx_.Texts.AppTitle, QString());
    if (answer.toUpper() != DeveloperPassword) {
        return true; // a wrong or empty answer changes nothing
    }
    if (KeyCode == KeyW) {
        ToggleVisible(*cmdView_);
    } else if (KeyCode == KeyE) {
        ToggleVisible(*cmdExpert_);
    } else {
        ctx_.DeveloperView = !ctx_.DeveloperView;
        ApplyDeveloperView();
    }
    return true;
}

void FrmLX735::BindDeveloperView() {
    QWidget& client = *centralWidget();
    for (const char* name : DeveloperControls) {
        developerControls_.push_back(&ui::Bind<QWidget>(client, name));
    }
    for (QWidget* point : ui::BindArray<QWidget>(client, "ShpPunti", 0, WindowCorMarkers)) {
        developerControls_.push_back(point);
    }
    for (const char* name : DeveloperButtons) {
        developerControls_.push_back(&ui::Bind<QWidget>(client, name));
    }
    cmdView_ = &ui::Bind<QWidget>(client, "CmdView");
    cmdExpert_ = &ui::Bind<QWidget>(client, "CmdExpert", 0);
}

void FrmLX735::AddDeveloperControls(const std::vector<QWidget*>& controls) {
    developerControls_.insert(developerControls_.end(), controls.begin(), controls.end());
}

void FrmLX735::ApplyDeveloperView() {
    const bool on = ctx_.DeveloperView;
    for (QWidget* control : developerControls_) {
        control->setVisible(on);
    }
    sstMain_->setTabVisible(TabLambda, on);
    sstMain_->setTabVisible(TabMap, on);
    const bool bothHidden = !sstMain_->isTabVisible(TabLambda) && !sstMain_->isTabVisible(TabMap);
    sstMain_->SetTabsPerRow(bothHidden ? 2 : 3);
}

bool FrmLX735::TakeHotKey(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyRelease) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (!widget || widget->window() != this || key->isAutoRepeat()) {
        return false;
    }
    return Form_KeyUp(key->key(), ModifierMask(key->modifiers()));
}

} // namespace app
