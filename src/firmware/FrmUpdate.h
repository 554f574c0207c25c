#pragma once

// The firmware update window: it re-programs the ECU's flash from the firmware image
// and keeps the ECU's parameters across it. The identification shows it modally; its
// one result is FirmwareOk (True lets the program go on with the re-programmed ECU,
// False ends the program).
//
// Next runs the whole procedure inside its handler: a two-press start (engine stopped,
// key off), the read-back of every parameter zone (saved as BIN/UpdateBackup.var too),
// the record of the unfinished update, programming mode, erase, the block writes and the
// end of the write, the write-back of the parameters, the clears, and the save into the
// ECU's flash, which clears the record. Esc asks first and leaves at the second press; it
// does nothing while the procedure runs, but while the block writes wait for a link that
// is down one press leaves. After a flash phase with blocks left unwritten, or a failed
// write-back, Next repeats what failed.
//
// While an earlier update's record stands, its backup holds the only copy of that
// installation: the read-back goes to BIN/UpdateBackupRetry.var instead, and when the ECU
// is the one recorded (erased, or running either recorded firmware) the write-back sends
// every block of the earlier backup, keeping the ECU's service hours. An erased ECU is
// programmed without a question only with an image of the recorded project, not older
// than the recorded firmware.

#include "ecudata/EmulaBlock.h"
#include "ecudata/FirmwareImage.h"
#include "ecudata/ParamRecords.h"

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QTimer>

class QLabel;
class QPushButton;
class QFrame;

namespace app {
struct ProgramContext;
}
namespace comm {
class ClsComm;
}

namespace firmware {

class FrmUpdate : public QDialog {
public:
    explicit FrmUpdate(app::ProgramContext& context, QWidget* parent = nullptr);

    void Form_Load();
    void CmdUpdate_Click();
    void CmdEsc_Click();
    void Timer1_Timer();

    int UpdateState() const { return updateState_; }
    bool Busy() const { return busy_; }
    // Every caption the progress strip showed, in order.
    const QStringList& PhaseLog() const { return phaseLog_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    // The procedure behind a Next press, once the link-step gate has opened.
    void RunNext();
    // What Next does after a failure that can be repeated.
    enum class Resume { None, FlashPhase, WriteBack };

    // Window (FrmUpdate.cpp; its controls in FrmUpdateDesign).
    void BindControls();
    void ShowIdentities();
    void SetMessage(const QString& text);
    void SetPhase(const QString& caption);
    void SetBarWidth(double twips);
    void ProgressRun();
    void ToggleBar(int times);
    void ShowButtons(bool next, bool esc);
    void ShowStrip(bool shown);
    void Leave(bool firmwareOk);
    void LeaveAsked();
    void ShowLinkDown(bool down);

    // Procedure (FrmUpdateProcedure.cpp).
    bool ReadLiveData();
    bool Ready() const;
    void FirstPress();
    void SecondPress();
    bool ErasedEcuAccepted() const;
    bool ReadBack();
    QString BackupPath() const;
    bool SaveBackup();
    void TakeEarlierRecord();
    void RecordUpdate();
    bool SendEarlierBackup();
    QString ParamsAreIn() const;
    QString BackupsKept() const;
    void StartStrip(const QString& caption);
    void FlashPhase();
    void BuildWriteBack();
    void WriteBack();
    bool SaveFlash();
    void Finish(bool saved);
    void Failed(Resume resume);

    app::ProgramContext& ctx_;
    comm::ClsComm& link_;
    int updateState_ = 0;
    bool busy_ = false;
    bool nextQueued_ = false; // a Next press waits for the link-step gate
    // The block loop waits for the link; Esc then leaves (leaveWhileWaiting_).
    bool waitingForLink_ = false;
    bool leaveWhileWaiting_ = false;
    QString messageBeforeLinkDown_;
    Resume resume_ = Resume::None;
    double barWidth_ = 0;
    QStringList phaseLog_;
    QTimer timer1_;

    ecudata::Mem2Rec savedMem2_;
    ecudata::Mem3Rec savedMem3_;
    ecudata::EmulaBlk savedEmula_{};
    QByteArray savedDcol_;
    // The write-back's payloads, built once (building resets the saved copies to their
    // no-edit markers), and the step a repeated write-back starts from.
    QList<QByteArray> writeBack_;
    int writeBackStep_ = 0;
    // The record standing when the update began, and the backup the write-back sends
    // (empty: the read-back).
    std::optional<ecudata::UnfinishedUpdate> earlier_;
    QString restoreFrom_;

    // The controls the procedures use, bound once when the window is built.
    QLabel* lblRelEcu_;
    QLabel* lblRelFle_;
    QLabel* lblRelEcuVal_;
    QLabel* lblRelFleVal_;
    QLabel* lblMsg_;
    QPushButton* cmdUpdate_;
    QPushButton* cmdEsc_;
    QLabel* lblBackBar_;
    QFrame* shpBarUpDate_;
};

// Shows the window modally for the identification; FirmwareOk holds its result.
void ShowFrmUpdate(app::ProgramContext& context);

} // namespace firmware
