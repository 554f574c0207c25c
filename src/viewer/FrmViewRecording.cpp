// The recording: Run and Stop, the tick that polls the live-data record into the store
// and draws it as a sweep, and the end of a recording, decoded back from the link log.

#include "app/LinkLogRestart.h"
#include "app/ProgramContext.h"
#include "ecudata/ZoneExchange.h"
#include "link/Frames.h"
#include "link/RxTxLog.h"
#include "support/Clock.h"
#include "support/Cursor.h"
#include "support/FileRoutines.h"
#include "support/MessageBox.h"
#include "viewer/FrmView.h"
#include "viewer/FrmViewDesign.h"
#include "viewer/PlotPicture.h"

#include <QDateTime>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace viewer {

bool FrmView::Recording() const {
    return optRun_[0]->isChecked();
}

void FrmView::OptRun_Click(int index) {
    const support::CursorOverride hourglass(Qt::WaitCursor);
    if (index == 0) {
        StopRequest = false;
        sldSample_->hide();
        cmdReload_->setEnabled(false);
        cmdOpen_->setEnabled(false);
        cmdSaveLogOsc_->setEnabled(false);
        ShowSecDiv();
        WriteOsciConfig();
        StartRecording();
        RewriteRecordingLog();
        // The log decoded at Stop keeps its header and the whole recording.
        ctx_.Comm().RxTxLog().HoldRestart = true;
        timer1_.start();
    } else {
        StopRequest = true;
    }
    ShowLoading(false, LoadingCaption);
}

bool FrmView::RewriteRecordingLog() {
    const QString header = app::LinkLogHeader(support::GetTimeUsec(), ctx_.Texts.AppTitle,
                                              QDateTime::currentDateTime());
    const QString path = comm::RxTxLogPath(ctx_.AppFolder);
    QString why;
    if (!WriteRecordingLog(path, header, ctx_.Scale.K_gm, ctx_.DecimalSep, &why)) {
        Box("RewriteRecordingLog_Err: " + path + ": " + why);
        return false;
    }
    return true;
}

void FrmView::ClearStore() {
    ViewSamples.assign(StoreSize, Mem1Rec{});
    stored_ = 0;
}

void FrmView::RestartSweep() {
    LastSample = -1;
    pctSignal_->Clear();
    ClearStore();
}

void FrmView::StartRecording() {
    SliderLock = true;
    sldSample_->setValue(0);
    SliderLock = false;
    ClearStore();
    SetSourcePath(comm::RxTxLogPath(ctx_.AppFolder));
    SetCaptionSource("- - -");
    ecudata::SendRequest(ctx_.Comm(), comm::CMD_READ_MEM1);
    LastSample = 0;
    ViewSamples[0] = ctx_.Images.Mem1Data;
    stored_ = 1;
    pctSignal_->Clear();
}

void FrmView::Timer1_Timer() {
    if (TickBusy) {
        return;
    }
    TickBusy = true;
    if (ctx_.Comm().WDogPresente()) {
        ShowLoading(true, ctx_.Texts.MsgComError);
    } else {
        ShowLoading(false, LoadingCaption);
        if (ecudata::SendRequest(ctx_.Comm(), comm::CMD_READ_MEM1) &&
            ViewSamples.size() == StoreSize) {
            ++LastSample;
            ViewSamples[LastSample] = ctx_.Images.Mem1Data;
            stored_ = std::max(stored_, static_cast<std::size_t>(LastSample) + 1);
            DrawNewSamples(LastSample);
            // A store full before the sweep reaches the right edge wraps it early.
            if (LastSample >= static_cast<int>(StoreSize) - 1) {
                LastSample = -1;
            }
            ShowCursorValues(cursorX_);
        }
    }
    TickBusy = false;
    if (StopRequest) {
        StopRecording();
    }
    if (CloseRequest) {
        timer1_.stop();
        unloaded_ = true;
        done(0);
    }
}

void FrmView::StopRecording() {
    timer1_.stop();
    sldSample_->show();
    cmdReload_->setEnabled(true);
    cmdOpen_->setEnabled(true);
    cmdSaveLogOsc_->setEnabled(true);
    if (support::MsgBox("DO YOU WANT SAVE LAST DATA?", support::vbYesNo, "View") ==
        support::vbYes) {
        ctx_.Comm().LoadWDogSend();
        SaveRawLog();
    }
    if (support::IsFilePresent(SourcePath)) {
        LoadAndDraw(0, false);
        ShowLoading(false, LoadingCaption);
    }
    ctx_.Comm().RxTxLog().HoldRestart = false;
    StopRequest = false;
}

} // namespace viewer
