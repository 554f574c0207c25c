#include "settings/FrmResetParam.h"

#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "ecudata/ParamFile.h"
#include "settings/DialogDesigns.h"
#include "support/Clock.h"
#include "support/ProgramTexts.h"
#include "ui/ControlBuilder.h"
#include "ui/DialogIcon.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

namespace settings {

namespace {

constexpr double WaitStepUsec = 100000;

} // namespace

FrmResetParam::FrmResetParam(app::ProgramContext& context, app::FrmLX735& window, int& choice)
    : QWidget(&window, Qt::Dialog), ctx_(context), choice_(choice) {
    setObjectName("FrmResetParam");
    setAttribute(Qt::WA_DeleteOnClose);
    resize(ui::ToPixels(4200), ui::ToPixels(900));
    ui::ControlBuilder builder(*this);
    builder.Build(ResetDesign());
    cmdTipoALim_ = ui::BindArray<QPushButton>(*this, "CmdTipoALim", 0, 3);
    for (int i = 0; i < 3; ++i) {
        connect(cmdTipoALim_[size_t(i)], &QPushButton::clicked, this,
                [this, i] { CmdTipoALim_Click(i); });
    }
    optTypFuel_ = ui::BindArray<QRadioButton>(window, "OptTypFuel", 0, 2);
    Form_Load();
}

void FrmResetParam::Form_Load() {
    setWindowTitle(ctx_.Texts.AppTitle);
    ui::LoadDialogIcon(*this, ctx_.AppFolder);
    for (size_t i = 0; i < optTypFuel_.size(); ++i) {
        ui::SetCaption(cmdTipoALim_[i], ui::Caption(optTypFuel_[i]));
    }
    ui::SetCaption(cmdTipoALim_[2], support::Text(support::ProgramText::Esc));
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
        ctx.QueueParamFile(ecudata::DefaultXarPath(ctx.AppFolder));
    } else if (choice == ResetCng) {
        ctx.QueueParamFile(ecudata::DefaultCngXarPath(ctx.AppFolder));
    }
}

} // namespace settings
