// The File and ? menus of the main window (parameter files, help, About) and the start
// of the operating-point log.

#include "app/EditTexts.h"
#include "app/FrmLX735.h"
#include "app/FrmStartUp.h"
#include "app/LinkLogRestart.h"
#include "app/ProgramContext.h"
#include "ecudata/FirmwareImage.h"
#include "ecudata/ParamFile.h"
#include "ecudata/PointLog.h"
#include "support/Clock.h"
#include "support/FileRoutines.h"
#include "support/Lingue.h"
#include "support/MessageBox.h"
#include "support/ProgramTexts.h"
#include "ui/CommonDialog.h"
#include "ui/Controls.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace app {

namespace {

const QString ParamFileFilter = QStringLiteral("Mod Files (*.var)|*.var|");
constexpr int TabLambda = 4;

const QString HelpSection = QStringLiteral("[Help]");
const QStringList HelpTexts = {
    QStringLiteral("The guide %1 cannot be found. Install the program again to restore it; "
                   "it opens with a PDF viewer."),
    QStringLiteral("The guide %1 could not be opened. Install a PDF viewer, or open the file "
                   "with the one you have."),
};
enum HelpText { HelpMissing, HelpNotOpened };

QString HelpMessage(const ProgramContext& ctx, HelpText entry, const QString& file) {
    return support::SectionTexts(ctx.ObjLingue, HelpSection, HelpTexts)
        .value(entry)
        .arg(QDir::toNativeSeparators(file));
}

} // namespace

QString FrmLX735::ChooseParamFile() {
    const QString path =
        ui::ShowFileDialog(this, {ui::FileDialogAction::Open, ctx_.AppFolder, ParamFileFilter, 1});
    // The dialog may have stood open longer than the reply deadline.
    ctx_.Comm().LoadWDogSend();
    return path;
}

void FrmLX735::MnuFileLoadConf_Click() {
    // The timers send the file (or load it off-line) and clear it; one at a time.
    if (ctx_.ParamFilePending.isEmpty()) {
        ctx_.QueueParamFile(ChooseParamFile());
    }
}

void FrmLX735::MnuFileSaveConf_Click() {
    QCoreApplication::processEvents();
    // Before the ECU's blocks are read the images hold placeholders, not settings.
    if (!ctx_.Images.Blocks.SettingsRead()) {
        support::MsgBox(SaveNotReadText(ctx_), support::vbExclamation, ctx_.Texts.AppTitle);
        ctx_.Comm().LoadWDogSend();
        return;
    }
    if (sstMain_->currentIndex() == TabLambda) {
        // Leaving the Lambda page's grid commits an edit still open in it.
        cmbSwtchLambda_->setFocus();
    }
    const QString file =
        ui::ShowFileDialog(this, {ui::FileDialogAction::Save, ctx_.AppFolder, ParamFileFilter, 1});
    ctx_.Comm().LoadWDogSend();
    if (file.isEmpty()) {
        return;
    }
    // The file takes the pending edits without consuming them: they still reach the ECU.
    ecudata::EcuModel model = ctx_.Model();
    const ecudata::ParamFileInfo info{ReleaseText, ctx_.Texts.AppTitle,
                                      LocaleGeneralDate(QDateTime::currentDateTime())};
    if (ecudata::SaveParamFile(file, model, info, ctx_.DecimalSep)) {
        ctx_.OffLineFile.clear(); // the caption names the file saved
        setWindowTitle(ctx_.Texts.AppTitle + " - " + ReleaseText + " - [" + file + "]");
    }
}

void FrmLX735::MnuInfoHelp_Click() {
    QCoreApplication::processEvents();
    const QString help = ctx_.AppFolder + "/LNG/help.pdf";
    // Told on every press: the installer may have installed a viewer since the last one.
    if (!support::IsFilePresent(help)) {
        support::MsgBox(HelpMessage(ctx_, HelpMissing, help), support::vbExclamation,
                        ctx_.Texts.AppTitle);
    } else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(help))) {
        // The path as one URL: a folder name with blanks is no problem.
        support::MsgBox(HelpMessage(ctx_, HelpNotOpened, help), support::vbExclamation,
                        ctx_.Texts.AppTitle);
    }
}

void FrmLX735::MnuInfoAbout_Click() {
    QCoreApplication::processEvents();
    support::WinVerInfo os;
    support::GetWindowsVersion(os);
    ClsComm& comm = ctx_.Comm();
    ecudata::LoadFirmwareInfo(comm);
    if (!frmStartUp_) {
        frmStartUp_ = new FrmStartUp(ctx_, this);
    }
    frmStartUp_->ShowVersions(VersionText(comm, os), OfferFirmwareUpdate(comm));
    frmStartUp_->show();
    frmStartUp_->raise();
    frmStartUp_->activateWindow();
}

void FrmLX735::StartLogPoint() {
    const QDateTime now = QDateTime::currentDateTime();
    const QString copyName = ecudata::LogPointCopyName(now.date(), LocaleTimeText(now.time()));
    const double start = support::GetTimeUsec();
    // The header as the link log's, without the quotes.
    const QString header = LinkLogHeader(start, ctx_.Texts.AppTitle, now);
    QString why;
    if (!ecudata::StartLogPoint(ctx_.AppFolder, ctx_.PointLog, start, header, copyName, &why)) {
        support::MsgBox(support::Text(support::ProgramText::PointLogNotStarted)
                            .arg(ecudata::LogPointPath(ctx_.AppFolder), why),
                        support::vbExclamation, ctx_.Texts.AppTitle);
    }
}

} // namespace app
