// Closing the program while the ECU is still owed something: the edits not yet written
// go out first, a running calibration is undone first; the installer is asked whenever
// that cannot be done.

#include "app/FrmLX735.h"
#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "support/Lingue.h"
#include "support/MessageBox.h"

#include <QStringList>

namespace app {

namespace {

// The texts: the dictionary's section in the current language, these where it has none.
const QString QuitSection = QStringLiteral("[CloseProgram]");
const QStringList QuitTexts = {
    QStringLiteral("Writing the last changes to the ECU before closing..."),
    QStringLiteral("Some changes are not yet written to the ECU: the link to the ECU is down "
                   "or the write keeps failing. Close the program without writing them?"),
    QStringLiteral("An automatic calibration is under way. Stop it, put the ECU's settings "
                   "back as they were and close the program?"),
    QStringLiteral("The link to the ECU was lost while the calibration was being undone: the "
                   "ECU may still be in slave mode with the calibration's table. Connect "
                   "again and run the calibration or send a parameter file."),
};
enum QuitText { Writing, AskWithoutWriting, AskCalibration, CalibrationNotUndone };

} // namespace

void FrmLX735::RequestQuit() {
    // One quit at a time: a second close while the first writes or asks changes nothing.
    if (quitAsking_ || quitPhase_ != QuitPhase::None || ctx_.QuitRequest) {
        return;
    }
    quitLinkFailed_ = false;
    CarryQuitStep(QuitRequested(SeeQuit()));
}

QuitView FrmLX735::SeeQuit() const {
    QuitView view;
    view.calibrationRunning = ctx_.TaraState != 0;
    view.calibrationEnding = ctx_.TaraState == 0 && timer3_.isActive();
    view.writesPending = WritesPending(ctx_);
    view.linkUp = LinkUp(ctx_);
    view.linkFailed = quitLinkFailed_;
    return view;
}

void FrmLX735::WatchQuitLink() {
    if (quitPhase_ != QuitPhase::None && !LinkUp(ctx_)) {
        quitLinkFailed_ = true;
    }
}

void FrmLX735::StepQuit() {
    if (quitPhase_ != QuitPhase::None && !quitAsking_ && !ctx_.QuitRequest) {
        CarryQuitStep(QuitTick(quitPhase_, SeeQuit()));
    }
}

void FrmLX735::CarryQuitStep(QuitStep step) {
    switch (step) {
    case QuitStep::Wait:
        return;
    case QuitStep::WriteFirst:
        BeginQuitPhase(QuitPhase::Writes);
        return;
    case QuitStep::Quit:
        EndQuitPhase();
        QueryUnloadFromWindow();
        return;
    case QuitStep::AskCalibration:
        if (QuitBox(AskCalibration, support::vbYesNo | support::vbQuestion) == support::vbYes) {
            services_.AbortTara();
            BeginQuitPhase(QuitPhase::Calibration);
        }
        return;
    case QuitStep::AskQuitWithoutWriting:
        EndQuitPhase();
        if (QuitBox(AskWithoutWriting, support::vbYesNo | support::vbExclamation) ==
            support::vbYes) {
            QueryUnloadFromWindow();
        }
        return;
    case QuitStep::SayCalibrationNotUndone:
        EndQuitPhase();
        QuitBox(CalibrationNotUndone, support::vbOKOnly | support::vbCritical);
        QueryUnloadFromWindow();
        return;
    }
}

void FrmLX735::BeginQuitPhase(QuitPhase phase) {
    quitPhase_ = phase;
    if (!quitCursor_) {
        quitCursor_ = std::make_unique<support::CursorOverride>(Qt::WaitCursor);
    }
    closingText_ = support::SectionTexts(ctx_.ObjLingue, QuitSection, QuitTexts)[Writing];
}

void FrmLX735::EndQuitPhase() {
    quitPhase_ = QuitPhase::None;
    quitCursor_.reset();
    closingText_.clear();
}

int FrmLX735::QuitBox(int text, int style) {
    const QString prompt = support::SectionTexts(ctx_.ObjLingue, QuitSection, QuitTexts)[text];
    quitAsking_ = true;
    const int answer = support::MsgBox(prompt, style, ctx_.Texts.AppTitle);
    quitAsking_ = false;
    return answer;
}

} // namespace app
