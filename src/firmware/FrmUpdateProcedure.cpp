// The update procedure behind Next: start, read-back, flash phase, write-back, save.

#include "app/LinkLogRestart.h"
#include "app/LinkStepGate.h"
#include "app/ProgramContext.h"
#include "ecudata/CompTables.h"
#include "ecudata/CorrectionTable.h"
#include "ecudata/FirmwareImage.h"
#include "ecudata/ParamFile.h"
#include "ecudata/ZoneExchange.h"
#include "firmware/FlashBlocks.h"
#include "firmware/FlashProgramming.h"
#include "firmware/FrmUpdate.h"
#include "firmware/UpdateFixUps.h"
#include "link/Frames.h"
#include "support/Clock.h"
#include "support/Cursor.h"
#include "support/FileRoutines.h"
#include "support/MessageBox.h"
#include "support/ProgramTexts.h"
#include "ui/Controls.h"

#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <functional>
#include <vector>

namespace firmware {

namespace {

constexpr int StartBarWidth = 45;
constexpr int EndBarMargin = 90;
constexpr int FlashEndToggles = 21;
constexpr int EndToggles = 10;
constexpr double ProbeFailPauseUsec = 100000;
constexpr int ProbeFailPauses = 11;
constexpr double SaveFlashWaitUsec = 6e6;
// Compensation tables: read from the ECU from firmware 01.39 on, written back likewise.
constexpr qint16 FirstCompFirmware = 139;
constexpr quint8 OptionFlagCleared = 0x01;
const QString CrLf = QStringLiteral("\r\n");
const QString BackupFile = QStringLiteral("BIN/UpdateBackup.var");
const QString RetryBackupFile = QStringLiteral("BIN/UpdateBackupRetry.var");

const QString PhaseInit = QStringLiteral("Inizialization ");
const QString PhaseErase = QStringLiteral("Erase Flash ");
const QString PhaseWrite = QStringLiteral("Write Memory");
const QString PhaseWriteEnd = QStringLiteral("Write End");
const QString PhaseConfig = QStringLiteral("Configuration ");
const QString PhaseSave = QStringLiteral("Save Flash ");
const QString PhaseEnd = QStringLiteral("End UpGrade ");

enum WriteBackPayload { PayloadMem2, PayloadMem3, PayloadEmula, PayloadDcol };

// Clears the flag while it lives: the handler's re-entry guard.
class BusyScope {
public:
    explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
    ~BusyScope() { busy_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& busy_;
};

} // namespace

void FrmUpdate::CmdUpdate_Click() {
    if (busy_ || nextQueued_) {
        return;
    }
    // A press taken inside a tick or a link step (the restart's pause, a probe's bytes)
    // would run the procedure under it, and the link cannot step again until the
    // procedure returns: the press is carried out once the gate opens. The poll tick that
    // opened this window stays under way below its modal loop; the gate does not wait
    // for that one.
    cmdUpdate_->setEnabled(false);
    nextQueued_ = true;
    app::LinkStepGate(ctx_).RunWhenOpen(*this, [this] {
        nextQueued_ = false;
        RunNext();
    });
}

void FrmUpdate::RunNext() {
    const BusyScope busy(busy_);
    cmdUpdate_->setEnabled(false);
    ReadLiveData();
    switch (resume_) {
    case Resume::FlashPhase:
        FlashPhase();
        break;
    case Resume::WriteBack:
        WriteBack();
        break;
    case Resume::None:
        if (updateState_ == 0) {
            FirstPress();
        } else if (updateState_ == 1) {
            SecondPress();
        }
        break;
    }
    cmdUpdate_->setEnabled(true);
}

bool FrmUpdate::ReadLiveData() {
    WaitForLink(link_);
    return ecudata::SendRequest(link_, comm::CMD_READ_MEM1);
}

bool FrmUpdate::Ready() const {
    const ecudata::Mem1Rec& live = ctx_.Images.Mem1Data;
    return live.Rpm == 0 && live.StatusKey == 0;
}

void FrmUpdate::FirstPress() {
    if (!ReadLiveData()) {
        SetMessage(ctx_.Texts.MsgComError);
        for (int i = 0; i < ProbeFailPauses; ++i) {
            support::PauseUsec(ProbeFailPauseUsec);
        }
        LeaveAsked();
        return;
    }
    if (Ready()) {
        updateState_ = 1;
        SetMessage(ctx_.Texts.MsgUpdate[5]);
    } else {
        updateState_ = 0;
        SetMessage(CrLf + ctx_.Texts.MsgConfirm);
    }
}

void FrmUpdate::SecondPress() {
    if (!Ready()) {
        updateState_ = 0;
        SetMessage(CrLf + ctx_.Texts.MsgConfirm);
        ShowButtons(true, true);
        ShowStrip(false);
        return;
    }
    TakeEarlierRecord();
    if (!ErasedEcuAccepted()) {
        LeaveAsked();
        return;
    }
    // Nothing has changed in the ECU yet: a failed read or backup stops here.
    if (!ReadBack()) {
        SetMessage(ctx_.Texts.MsgComError);
        ShowButtons(false, true);
        return;
    }
    if (!SaveBackup()) {
        ShowButtons(false, true);
        return;
    }
    FlashPhase();
}

namespace {

QString ShownEcu(const comm::ClsComm& link) {
    return ecudata::ShownIdentity(link.FirmwareEcuVersStr(), link.FirmwareEcuDataStr(),
                                  link.DescProgettoEcu_CODICE());
}

QString ShownPath(const QString& path) {
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}

QString ShownImage(const comm::ClsComm& link) {
    return ecudata::ShownIdentity(link.FirmwareFleVersStr(), link.FirmwareFleDataStr(),
                                  link.DescProgettoFle_CODICE());
}

} // namespace

// The record standing now decides where the read-back goes and what is written back: the
// earlier backup, when this ECU is the one it was made for.
void FrmUpdate::TakeEarlierRecord() {
    earlier_ = ecudata::ReadUnfinishedUpdate(ctx_.AppFolder);
    restoreFrom_.clear();
    if (!earlier_) {
        return;
    }
    const QString ecu = ShownEcu(link_);
    if (ecudata::IsErasedIdentity(link_.FirmwareEcu()) || ecu == earlier_->ecu ||
        ecu == earlier_->image) {
        restoreFrom_ = ctx_.AppFolder + u'/' + earlier_->backup;
    }
}

// An erased ECU says nothing of what it was: only the record can, and any image it does
// not vouch for is the installer's call.
bool FrmUpdate::ErasedEcuAccepted() const {
    if (!ecudata::IsErasedIdentity(link_.FirmwareEcu())) {
        return true;
    }
    const bool vouched =
        earlier_ && !earlier_->ecuProject.isEmpty() &&
        earlier_->ecuProject.compare(link_.DescProgettoFle_CODICE(), Qt::CaseInsensitive) == 0 &&
        link_.FirmwareFleVersNum() >= earlier_->ecuVersion;
    if (vouched) {
        return true;
    }
    const QString recorded =
        earlier_ ? earlier_->ecu
                 : ecudata::UpdateTextOf(ctx_.ObjLingue, ecudata::UpdateText::Unknown);
    const QString question =
        ecudata::UpdateTextOf(ctx_.ObjLingue, ecudata::UpdateText::ErasedEcuAsk)
            .arg(recorded, ShownImage(link_));
    return support::MsgBox(question,
                           support::vbYesNo | support::vbQuestion | support::vbDefaultButton2,
                           FrmUpdateTitle) == support::vbYes;
}

// Before the erase. An earlier record stays as it is: it names the file with the set.
void FrmUpdate::RecordUpdate() {
    if (earlier_) {
        return;
    }
    ecudata::UnfinishedUpdate record;
    record.ecu = ShownEcu(link_);
    record.ecuProject = link_.DescProgettoEcu_CODICE();
    record.ecuVersion = link_.FirmwareEcuVersNum();
    record.image = ShownImage(link_);
    record.backup = BackupFile;
    ecudata::RecordUnfinishedUpdate(ctx_.AppFolder, record);
}

// Where the installation's parameters are kept while the update is unfinished.
QString FrmUpdate::ParamsAreIn() const {
    const QString backup =
        restoreFrom_.isEmpty() ? ctx_.AppFolder + u'/' + BackupFile : restoreFrom_;
    return ecudata::UpdateTextOf(ctx_.ObjLingue, ecudata::UpdateText::ParamsAreIn)
        .arg(ShownPath(backup));
}

// Every parameter zone into the window's copies, three tries each. A read that fails
// ends the read-back, so that data never read are never written back.
bool FrmUpdate::ReadBack() {
    ecudata::EcuImages& images = ctx_.Images;
    ecudata::EcuModel model = ctx_.Model();
    const auto parsedRead = [&](quint8 command) {
        return Retry(link_, [&] { return ecudata::SendParsedRead(link_, command, images); });
    };
    if (!parsedRead(comm::CMD_READ_MEM2)) {
        return false;
    }
    savedMem2_ = images.Mem2Data;
    if (!parsedRead(comm::CMD_READ_MEM3)) {
        return false;
    }
    savedMem3_ = images.Mem3Data;
    FixUpSavedRecords(savedMem2_, savedMem3_, link_.FirmwareEcuVersNum(),
                      link_.FirmwareEcuDataStr());
    ctx_.Scale.RpmClock = ecudata::GetRpmClock(savedMem2_.Flags);
    if (!parsedRead(comm::CMD_READ_EMUS)) {
        return false;
    }
    savedEmula_ = images.EmulaBlkData;
    if (!Retry(link_, [&] { return ecudata::ReadTblCor(link_, model); })) {
        return false;
    }
    images.TblCorEdit = images.TblCorRead;
    if (link_.FirmwareEcuVersNum() < FirstCompFirmware) {
        const QString defaults = ecudata::DefaultXarPath(ctx_.AppFolder);
        if (!support::IsFilePresent(defaults)) {
            return false;
        }
        ecudata::LoadCompTblsFile(defaults, images);
    } else if (!Retry(link_, [&] { return ecudata::ReadCompTbls(link_, images); })) {
        return false;
    }
    if (!Retry(link_, [&] { return ecudata::SendRequest(link_, comm::CMD_READ_DCOL_FL); })) {
        return false;
    }
    savedDcol_ = link_.MemoDataCollaudo();
    return true;
}

// The read-back as a parameter file, before anything is erased: whatever happens to the
// link later, the installer can send it to the ECU.
//
// While an earlier record stands its backup may be the only copy of an installation:
// it is never replaced, and this read-back is kept under a name of its own.
QString FrmUpdate::BackupPath() const {
    return ctx_.AppFolder + u'/' + (earlier_ ? RetryBackupFile : BackupFile);
}

bool FrmUpdate::SaveBackup() {
    ecudata::EcuImages images = ctx_.Images;
    ecudata::EcuRequests requests = ctx_.Requests;
    ecudata::ConfigScale scale = ctx_.Scale;
    images.Mem2Data = savedMem2_;
    images.Mem2Data.Flags &= static_cast<quint8>(~OptionFlagCleared);
    images.Mem3Data = savedMem3_;
    images.EmulaBlkData = savedEmula_;
    ecudata::ResetMemToWrite(images);
    ecudata::EcuModel model{images, requests, scale};
    const ecudata::ParamFileInfo info{app::ReleaseText, ctx_.Texts.AppTitle,
                                      app::LocaleGeneralDate(QDateTime::currentDateTime())};
    if (!ecudata::SaveParamFile(BackupPath(), model, info, ctx_.DecimalSep)) {
        return false;
    }
    if (earlier_) {
        SetMessage(BackupsKept());
    }
    return true;
}

QString FrmUpdate::BackupsKept() const {
    return ecudata::UpdateTextOf(ctx_.ObjLingue, ecudata::UpdateText::BackupsKept)
        .arg(ShownPath(ctx_.AppFolder + u'/' + earlier_->backup), ShownPath(BackupPath()));
}

// The buttons give way to the progress strip, its bar at the start width.
void FrmUpdate::StartStrip(const QString& caption) {
    ShowButtons(false, false);
    ShowStrip(true);
    SetBarWidth(StartBarWidth);
    SetPhase(caption);
}

void FrmUpdate::FlashPhase() {
    const support::CursorOverride hourglass(Qt::WaitCursor);
    StartStrip(PhaseInit);
    if (!SetEcuPrg(link_)) {
        Failed(Resume::None);
        return;
    }
    SetPhase(PhaseErase);
    if (!ImageFitsFlash(link_, ctx_.FirmwareFilePath)) {
        Failed(Resume::None);
        return;
    }
    RecordUpdate();
    if (!EraseFlash(link_)) {
        Failed(Resume::None);
        return;
    }
    SetPhase(PhaseWrite);
    const double backBar = ui::WidthTwips(*lblBackBar_);
    const qint32 largFlash = link_.LargFlash();
    leaveWhileWaiting_ = false;
    BlockLoopView view;
    view.progress = [&](qint64 offset) {
        SetBarWidth(BlockProgressWidth(backBar, largFlash, offset));
    };
    view.linkDown = [this](bool down) { ShowLinkDown(down); };
    view.givenUp = [this] { return leaveWhileWaiting_; };
    const BlockLoopResult blocks = WriteFlashBlocks(link_, view);
    if (blocks.abandoned) {
        updateState_ = 4;
        ShowButtons(false, false);
        ShowStrip(false);
        Leave(false);
        return;
    }
    if (blocks.notWritten > 0) {
        // The ECU must not restart on a partial image: Next erases and writes again.
        Failed(Resume::FlashPhase);
        SetMessage(ctx_.Texts.MsgComError + CrLf + CrLf +
                   support::Text(support::ProgramText::BlocksNotWritten).arg(blocks.notWritten));
        return;
    }
    SetPhase(PhaseWriteEnd);
    WriteFlashEnd(link_);
    ToggleBar(FlashEndToggles);
    ecudata::LoadFirmwareInfo(link_);
    ShowIdentities();
    BuildWriteBack();
    WriteBack();
}

// Building a zone's payload consumes its saved copy (the copy becomes the no-edit
// markers), so each is built once and kept for a repeated write-back.
void FrmUpdate::BuildWriteBack() {
    ecudata::EcuImages& images = ctx_.Images;
    images.Mem2Data = savedMem2_;
    savedMem2_.Flags &= static_cast<quint8>(~OptionFlagCleared);
    savedMem2_.FlagsMask = 0xFF; // every flag as saved
    images.Mem2Data.Flags = 0;
    writeBack_.clear();
    writeBack_.insert(PayloadMem2, ecudata::BuildMem2(images.Mem2Data, savedMem2_));
    images.Mem3Data = savedMem3_;
    writeBack_.insert(PayloadMem3,
                      ecudata::BuildMem3(images.Mem3Data, savedMem3_, ctx_.Scale, ctx_.Requests));
    writeBack_.insert(PayloadEmula, ecudata::ByteArrayToStr(savedEmula_));
    writeBack_.insert(PayloadDcol, DcolWritePayload(savedDcol_));
    writeBackStep_ = 0;
}

void FrmUpdate::WriteBack() {
    const support::CursorOverride hourglass(Qt::WaitCursor);
    StartStrip(PhaseConfig);
    ecudata::EcuModel model = ctx_.Model();
    const auto send = [this](quint8 command, const QByteArray& payload = {}) {
        return [this, command, payload] { return ecudata::SendRequest(link_, command, payload); };
    };
    const bool withComp = link_.FirmwareEcuVersNum() >= FirstCompFirmware;
    // The compensation tables go once, their result not looked at.
    std::vector<std::function<bool()>> steps = {
        send(comm::CMD_WRT_MEM2, writeBack_[PayloadMem2]),
        send(comm::CMD_WRT_MEM3, writeBack_[PayloadMem3]),
        send(comm::CMD_WRIT_EMUS, writeBack_[PayloadEmula]),
        [&] { return ecudata::WriteTblCor(link_, model); },
        [&] {
            if (withComp) {
                WaitForLink(link_);
                ecudata::WriteCompTbl(link_, ctx_.Images, 0);
            }
            return true;
        },
        send(comm::CMD_WRIT_DCOL, writeBack_[PayloadDcol]),
        send(comm::CMD_CANC_SMPL_BNZ),
        send(comm::CMD_CANC_SMPL_GAS),
        send(comm::CMD_CANC_ERR),
    };
    if (!restoreFrom_.isEmpty()) {
        // The earlier backup's blocks in place of the read-back's: the test record,
        // which the file does not hold, stays the read-back's.
        constexpr auto FileBlocks = 5;
        steps.erase(steps.begin(), steps.begin() + FileBlocks);
        steps.insert(steps.begin(), [this] { return SendEarlierBackup(); });
    }
    for (; writeBackStep_ < static_cast<int>(steps.size()); ++writeBackStep_) {
        ProgressRun();
        if (!Retry(link_, steps[static_cast<size_t>(writeBackStep_)])) {
            Failed(Resume::WriteBack);
            return;
        }
    }
    Finish(SaveFlash());
}

// The ECU has just been identified as running the image: the file goes to it whole, each
// block written and read back, the ECU's service hours kept.
bool FrmUpdate::SendEarlierBackup() {
    ctx_.Requests.FirmwareOk = true;
    ecudata::EcuModel model = ctx_.Model();
    return ecudata::SendParamFile(restoreFrom_, link_, model, 0).Complete();
}

bool FrmUpdate::SaveFlash() {
    SetPhase(PhaseSave);
    const bool saved = Retry(link_, [this] {
        link_.AttesaGlobale_usec(SaveFlashWaitUsec);
        const bool ok = ecudata::SendRequest(link_, comm::CMD_SAVE_FLASH, QByteArray(1, '\0'));
        link_.AttesaGlobale_usec_Default();
        return ok;
    });
    ProgressRun();
    return saved;
}

// The firmware is in place; a failed save is told, but the update stands.
void FrmUpdate::Finish(bool saved) {
    SetPhase(PhaseEnd);
    SetBarWidth(ui::WidthTwips(*lblBackBar_) - EndBarMargin);
    ToggleBar(EndToggles);
    ctx_.Requests.FirmwareOk = true;
    updateState_ = 4;
    resume_ = Resume::None;
    if (!saved) {
        SetMessage(ctx_.Texts.MsgComError + CrLf + CrLf + ParamsAreIn());
    } else {
        // Another ECU's record stays: its set is still to be sent.
        if (!earlier_ || !restoreFrom_.isEmpty()) {
            ecudata::ClearUnfinishedUpdate(ctx_.AppFolder);
        }
        QStringList done{ctx_.Texts.MsgUpdate[6]};
        if (earlier_) {
            done << BackupsKept();
        }
        if (!restoreFrom_.isEmpty()) {
            done << ecudata::UpdateTextOf(ctx_.ObjLingue, ecudata::UpdateText::TestRecordLost)
                        .arg(ShownPath(restoreFrom_));
        }
        SetMessage(done.join(CrLf + CrLf));
    }
    ShowButtons(false, true);
    ShowStrip(false);
}

void FrmUpdate::Failed(Resume resume) {
    resume_ = resume;
    // After the erase the installation lives in the backup alone until it is written back.
    SetMessage(resume == Resume::WriteBack ? ctx_.Texts.MsgComError + CrLf + CrLf + ParamsAreIn()
                                           : ctx_.Texts.MsgComError);
    ShowStrip(false);
    ShowButtons(resume != Resume::None, true);
    if (resume != Resume::None) {
        ctx_.Requests.FirmwareOk = false;
    }
}

} // namespace firmware
