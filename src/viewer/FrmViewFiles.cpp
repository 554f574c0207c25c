// The viewer's files and paging: loading a link log (a page at a time when large) or a
// formatted log, saving the recording's log, the text export, the settings file, and
// the page buttons.

#include "app/ProgramContext.h"
#include "platform/FileCopy.h"
#include "support/Cursor.h"
#include "support/MessageBox.h"
#include "support/ProgramTexts.h"
#include "ui/CommonDialog.h"
#include "ui/Controls.h"
#include "viewer/FormattedLog.h"
#include "viewer/FrmView.h"
#include "viewer/FrmViewDesign.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace viewer {

namespace {

const QString OpenFilter = "View Files  (*.vfl)|*.vfl|Text Files  (*.txt)|*.txt";
const QString SaveFilter = "View Files  (*.vfl)|*.vfl|";
const QString ExportFilter = "Mod Files (*.txt)|*.txt|";

// Lets the busy bar and the link run during a long load, without the installer's input
// starting another command inside it.
void LetEventsRun() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString NoSamplesText(const QString& path) {
    return support::Text(support::ProgramText::ViewerNoSamples).arg(path);
}

} // namespace

void FrmView::SetSourcePath(const QString& path) {
    // A page position belongs to its file; reloads and page steps keep it.
    if (path != SourcePath) {
        PagePos = 1;
    }
    SourcePath = path;
}

void FrmView::SetCaptionSource(const QString& source) {
    setWindowTitle(QString(WindowCaption) + "[" + source + "]");
}

// The source's page in the given direction, loaded and drawn; toStart puts the slider
// back to the start of the data.
void FrmView::LoadAndDraw(int direction, bool toStart) {
    LoadLogFile(SourcePath, direction);
    SetSliderRange(toStart);
    RedrawSignals();
}

void FrmView::LoadLogFile(const QString& path, int direction) {
    FileLoadBusy = true;
    LetEventsRun();
    struct Done {
        FrmView& v;
        ~Done() {
            v.FileLoadBusy = false;
            v.ShowLoading(false, LoadingCaption);
        }
    } done{*this};
    auto progress = [this, n = 0]() mutable {
        ShowLoading(true, LoadingCaption);
        if (++n % 256 == 0) {
            LetEventsRun();
        }
    };
    switch (ProbeLogKind(path)) {
    case LogKind::LinkLog: {
        QString error;
        ctx_.Scale.K_gm = ReadLogKgm(path, ctx_.DecimalSep, error);
        if (!error.isEmpty()) {
            Box("CaricaCostantiRxTx_Err:" + error);
        }
        LinkLogLoad load = LoadLinkLog(path, PagePos, direction, ctx_.Scale, progress);
        ViewSamples = std::move(load.samples);
        TimeFirst = load.TimeFirst;
        TimeLast = load.TimeLast;
        LogStartTime = load.LogStartTime;
        PagePos = load.page.PagePos;
        SetSeekButtons(load.page.Paged);
        cmdSeekNext_->setEnabled(load.page.NextEnabled);
        cmdSeekPrev_->setEnabled(load.page.PrevEnabled);
        if (!load.error.isEmpty()) {
            Box("CaricaLogRxTx_Err:" + load.error);
        }
        if (ctx_.DeveloperView && load.ChecksumErrors > 0) {
            support::MsgBox("Num checksum error: " + QString::number(load.ChecksumErrors),
                            support::vbOKOnly, "View");
        }
        break;
    }
    case LogKind::FormattedLog: {
        FormattedLogLoad load = LoadFormattedLog(path, Recording(), ctx_.DecimalSep, progress);
        ViewSamples = std::move(load.samples);
        TimeFirst = load.TimeFirst;
        TimeLast = load.TimeLast;
        if (!load.error.isEmpty()) {
            Box("LoadFormattedLog_Err: " + load.error);
        }
        break;
    }
    case LogKind::None:
        // Nothing of the file before stays on screen under the new name.
        ViewSamples.assign(1, Mem1Rec{});
        TimeFirst = 0;
        TimeLast = 0;
        LogStartTime = 0;
        SetSeekButtons(false);
        support::MsgBox(NoSamplesText(path), support::vbExclamation, "View");
        break;
    }
    stored_ = ViewSamples.size();
}

void FrmView::SaveRawLog() {
    ui::FileDialogRequest request{ui::FileDialogAction::Save, ctx_.AppFolder + "/SAMPLES",
                                  SaveFilter, 1};
    const QString name = ui::ShowFileDialog(this, request);
    ctx_.Comm().LoadWDogSend();
    if (name.isEmpty()) {
        ShowLoading(false, LoadingCaption);
        return;
    }
    ShowLoading(true, SavingCaption);
    QString why;
    if (QFileInfo(name) != QFileInfo(SourcePath) &&
        !platform::CopyFileOverwrite(SourcePath, name, &why)) {
        Box("SaveRawLog_Err: " + name + ": " + why);
        ShowLoading(false, LoadingCaption);
        return;
    }
    SetCaptionSource(name);
    if (ProbeLogKind(name) == LogKind::LinkLog) {
        const support::CursorOverride hourglass(Qt::WaitCursor);
        QString error;
        if (!CleanLogRxTx(name, error)) {
            Box("CleanLogRxTx_Err: " + name + ": " + error);
        }
    }
    ShowLoading(false, LoadingCaption);
}

void FrmView::CmdOpen_Click() {
    ui::FileDialogRequest request{ui::FileDialogAction::Open, ctx_.AppFolder + "/SAMPLES",
                                  OpenFilter, 1};
    const QString name = ui::ShowFileDialog(this, request);
    if (name.isEmpty() || !QFileInfo(name).isFile()) {
        return;
    }
    ShowLoading(true, LoadingCaption);
    const support::CursorOverride hourglass(Qt::WaitCursor);
    SetSourcePath(name);
    SetCaptionSource(name);
    WriteOsciConfig();
    LoadAndDraw(0, true);
    ShowLoading(false, LoadingCaption);
}

void FrmView::CmdSeek_Click(int direction) {
    if (!QFileInfo(SourcePath).isFile()) {
        return;
    }
    LoadAndDraw(direction, true);
    ShowLoading(false, LoadingCaption);
}

void FrmView::CmdReload_Click() {
    const support::CursorOverride hourglass(Qt::WaitCursor);
    cmdReload_->setEnabled(false);
    ShowLoading(true, LoadingCaption);
    if (QFileInfo(SourcePath).isFile()) {
        LoadAndDraw(0, true);
    }
    ShowLoading(false, LoadingCaption);
    cmdReload_->setEnabled(true);
}

void FrmView::CmdEsporta_Click() {
    LetEventsRun();
    ui::FileDialogRequest request{ui::FileDialogAction::Save, ctx_.AppFolder + "/SAMPLES",
                                  ExportFilter, 1};
    const QString name = ui::ShowFileDialog(this, request);
    if (name.isEmpty()) {
        return;
    }
    std::array<QString, 8> names;
    for (int c = 0; c < 8; ++c) {
        names[c] = txtSignal_[c]->text();
    }
    // While recording only the slots that hold a sample are written.
    const std::size_t count = Recording() ? stored_ : ViewSamples.size();
    QString error;
    if (!WriteTextFile(name, ExportText(ViewSamples, count, SelInjector, names, ctx_.DecimalSep),
                       error)) {
        Box("CmdEsporta_Err: " + name + ": " + error);
    }
}

void FrmView::WriteOsciConfig() {
    QString error;
    const QString path = OsciConfigPath(ctx_.AppFolder);
    if (!viewer::WriteOsciConfig(path, Channels, ctx_.DecimalSep, error)) {
        Box("WriteOsciConfig_Err: " + QDir::toNativeSeparators(path) + ": " + error);
    }
}

void FrmView::SetSeekButtons(bool show) {
    cmdSeekPrev_->setVisible(show);
    cmdSeekNext_->setVisible(show);
    if (show) {
        ui::MoveTwips(*sldSample_, SliderLeft + SeekWidth, SliderTop, PlotWidth - 2 * SeekWidth,
                      SliderHeight);
    } else {
        ui::MoveTwips(*sldSample_, SliderLeft, SliderTop, PlotWidth, SliderHeight);
    }
}

} // namespace viewer
