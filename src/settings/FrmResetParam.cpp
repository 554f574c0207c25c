#include "settings/FrmResetParam.h"

#include "app/Controls.h"
#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "ecudata/ParamFile.h"
#include "monitor/DialogTexts.h"
#include "support/Clock.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>

namespace settings {

namespace {

constexpr double WaitStepUsec = 100000;

} // namespace

FrmResetParam::FrmResetParam(app::ProgramContext& context, app::FrmLX735& window, int& choice)
    : QWidget(&window, Qt::Dialog), ctx_(context), window_(window), choice_(choice) {
    setObjectName("FrmResetParam");
    setAttribute(Qt::WA_DeleteOnClose);
    resize(app::ToPixels(4200), app::ToPixels(900));
    for (int i = 0; i < 3; ++i) {
        auto* button = new QPushButton(this);
        button->setObjectName(app::ArrayName("CmdTipoALim", i));
        app::MoveTwips(*button, 120 + i * 1360, 240, 1240, 420);
        connect(button, &QPushButton::clicked, this, [this, i] { CmdTipoALim_Click(i); });
    }
    Form_Load();
}

void FrmResetParam::Form_Load() {
    setWindowTitle(ctx_.Texts.AppTitle);
    monitor::LoadDialogIcon(*this, ctx_.AppFolder);
    for (int i = 0; i < 2; ++i) {
        app::SetCaption(findChild<QPushButton*>(app::ArrayName("CmdTipoALim", i)),
                        app::Caption(window_.Control(app::ArrayName("OptTypFuel", i))));
    }
    app::SetCaption(findChild<QPushButton*>(app::ArrayName("CmdTipoALim", 2)), "Esc");
}

void FrmResetParam::CmdTipoALim_Click(int index) {
    choice_ = index;
    close();
}

void FrmResetParam::closeEvent(QCloseEvent* event) {
    if (choice_ == ResetOpen) { // closed by the user
        choice_ = ResetCancelled;
    }
    event->accept();
}

void FrmResetParam::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CmdReserVar_Click(app::ProgramContext& ctx, app::FrmLX735& window) {
    // With a file queued the reset would replace it: it waits its turn.
    if (!ctx.ParamFilePending.isEmpty()) {
        return;
    }
    int choice = ResetOpen;
    QPointer<FrmResetParam> dialog = new FrmResetParam(ctx, window, choice);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    while (choice == ResetOpen) {
        support::WaitUsec(WaitStepUsec);
        // However it went (closed, destroyed, the program unloading) the wait ends.
        if (choice == ResetOpen && (!dialog || dialog->isHidden() || window.IsUnloaded())) {
            choice = ResetCancelled;
        }
    }
    if (dialog) {
        dialog->close();
    }
    ctx.Comm().LoadWDogSend();
    if (choice == ResetLpg) {
        ctx.ParamFilePending = ecudata::DefaultXarPath(ctx.AppFolder);
    } else if (choice == ResetCng) {
        ctx.ParamFilePending = ecudata::DefaultCngXarPath(ctx.AppFolder);
    }
}

} // namespace settings
