// The plot and the oscilloscope's controls around it: the full redraw and the sweep,
// the grid, zoom, offset, time base, slider, cursor readouts, zero marks and the busy
// indicator.

#include "app/ProgramContext.h"
#include "support/Clock.h"
#include "support/Cursor.h"
#include "ui/Controls.h"
#include "viewer/FrmView.h"
#include "viewer/FrmViewDesign.h"
#include "viewer/PlotPicture.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <cmath>

namespace viewer {

namespace {

constexpr quint32 White = 0xFFFFFF;

} // namespace

bool FrmView::Checked(int c) const {
    return chkSignal_[c]->isChecked();
}

int FrmView::CheckedCount() const {
    int n = 0;
    for (int c = 0; c < 8; ++c) {
        n += Checked(c) ? 1 : 0;
    }
    return n;
}

bool FrmView::Shown(int c) const {
    return Channels[c].ShowTag.trimmed().toDouble() == 1;
}

void FrmView::DrawSegments(int a, int b, int xa, int xb) {
    Mem1Rec& ra = ViewSamples[a];
    const Mem1Rec& rb = ViewSamples[b];
    for (int c = 0; c < 8; ++c) {
        if (!Checked(c) || !Shown(c) || ra.TimeStamp <= 0) {
            continue;
        }
        if (c == 5 && ra.Rpm > MaxRpm) {
            ra.Rpm = 0;
        }
        const ChannelSetting& s = Channels[c];
        const int ya = YOfValue(s.Offset, ChannelValue(ra, c, SelInjector), s.Zoom);
        const int yb = YOfValue(s.Offset, ChannelValue(rb, c, SelInjector), s.Zoom);
        pctSignal_->Line(xa, yb, xb, yb, s.Color);
        pctSignal_->Line(xa, yb, xa, ya, s.Color);
    }
}

void FrmView::DrawTick(int x) {
    pctSignal_->Line(x, PlotHeight - 75, x, PlotHeight - 90, White);
}

void FrmView::RedrawSignals() {
    pctSignal_->Clear();
    const double k = MsPerTwip(SecDiv);
    const int s = FirstDrawnSample(ViewSamples, sldSample_->value());
    LastSample = s;
    const int last = static_cast<int>(ViewSamples.size()) - 1;
    for (int j = s + 1; j <= last; ++j) {
        const int a = j - 1;
        const int xa = XOfStart(ViewSamples[a].TimeStamp, ViewSamples[s].TimeStamp, k);
        const int xb = XOfEnd(ViewSamples[a].TimeStamp, ViewSamples[j].TimeStamp, xa, k);
        DrawSegments(a, j, xa, xb);
        if (xa > PlotWidth) {
            break;
        }
        DrawTick(xa);
    }
    // The readouts belong to the data on the picture, not to what was there before.
    ShowCursorValues(cursorX_);
}

void FrmView::DrawNewSamples(int& n) {
    int xa = 0;
    int xb = 0;
    if (n > 0 && n < static_cast<int>(ViewSamples.size())) {
        const double k = MsPerTwip(SecDiv);
        xa = XOfStart(ViewSamples[n - 1].TimeStamp, ViewSamples[0].TimeStamp, k);
        xb = XOfEnd(ViewSamples[n - 1].TimeStamp, ViewSamples[n].TimeStamp, xa, k);
        DrawSegments(n - 1, n, xa, xb);
    }
    if (xa > PlotWidth) {
        n = -1;
    } else {
        pctSignal_->Erase(xb + 15, xb + 150);
    }
    DrawTick(xa);
    LastX = xb;
}

void FrmView::CaricaGriglia(bool build) {
    pctSignal_->SetGrid(build ? GridDots() : std::vector<QPoint>{});
}

int FrmView::GridDotCount() const {
    return pctSignal_->DotCount();
}

// The common endings of a change: when viewing, the slider's range and the picture
// follow it; RedrawOrRestart also starts a new sweep when recording.
void FrmView::ApplyWhenViewing() {
    if (!Recording()) {
        SetSliderRange(false);
        RedrawSignals();
    }
}

void FrmView::RedrawOrRestart() {
    if (Recording()) {
        RestartSweep();
    } else {
        RedrawSignals();
    }
}

// ---- Zoom, offset, time base, slider, cursor

void FrmView::CmdOffset_Click(bool down) {
    double& o = Channels[SelChannel].Offset;
    o = down ? OffsetDown(o, MaxOffset) : OffsetUp(o);
    PlaceZeroMarks();
    ShowZoomOffset();
    WriteOsciConfig();
    ApplyWhenViewing();
}

void FrmView::CmdZoom_Click(bool in) {
    double& z = Channels[SelChannel].Zoom;
    z = in ? ZoomIn(z) : ZoomOut(z);
    ShowZoomOffset();
    WriteOsciConfig();
    ApplyWhenViewing();
}

void FrmView::CmdReset_Click() {
    for (int c = 0; c < 8; ++c) {
        Channels[c].Zoom = DefaultZooms[c];
        Channels[c].Offset = DefaultOffsets[c];
    }
    PlaceZeroMarks();
    ShowZoomOffset();
    WriteOsciConfig();
    ApplyWhenViewing();
}

void FrmView::CmdSecDiv_Click(bool up) {
    const SecDivStep step = up ? SecDivUp(SecDiv) : SecDivDown(SecDiv);
    if (step.UpEnabled) {
        cmdSecDivP_->setEnabled(*step.UpEnabled);
    }
    if (step.DownEnabled) {
        cmdSecDivM_->setEnabled(*step.DownEnabled);
    }
    if (!step.Changed) {
        return;
    }
    SecDiv = step.SecDiv;
    if (step.FocusDown) {
        cmdSecDivM_->setFocus();
    }
    if (step.FocusUp) {
        cmdSecDivP_->setFocus();
    }
    ShowSecDiv();
    WriteOsciConfig();
    SetSliderRange(false);
    RedrawOrRestart();
}

void FrmView::SetSliderRange(bool toStart) {
    const auto range = SliderRangeFor(SecDiv, TimeFirst, TimeLast);
    if (!range) {
        // Data without a span: no position of an earlier file's range stays behind.
        SliderLock = true;
        sldSample_->setMaximum(0);
        SliderLock = false;
        return;
    }
    const int v = sldSample_->value();
    SliderLock = true;
    sldSample_->setMaximum(range->Max);
    sldSample_->setPageStep(range->LargeChange);
    if (!Recording() && v > range->Max) {
        sldSample_->setValue(range->Max);
    }
    if (Recording() || toStart) {
        sldSample_->setValue(0);
    }
    SliderLock = false;
}

void FrmView::SldSample_Change() {
    if (SliderLock) {
        return;
    }
    SliderLock = true;
    const support::CursorOverride hourglass(Qt::WaitCursor);
    RedrawSignals();
    ShowCursorValues(cursorX_);
    SliderLock = false;
}

void FrmView::ShowCursorValues(double x) {
    cursorX_ = x;
    lneCursor_->move(ui::ToPixels(static_cast<int>(x)), 0);
    const double k = MsPerTwip(SecDiv);
    int index = -1;
    if (Recording()) {
        lblOffsetTime_->clear();
        index = RecordingCursorIndex(ViewSamples, x, LastX, LastSample, k);
    } else {
        double t = x * k + sldSample_->value();
        if (PagePos > 1) {
            t += TimeFirst - LogStartTime;
        }
        lblOffsetTime_->setText(CursorTimeText(t, ctx_.DecimalSep));
        index = ViewingCursorIndex(ViewSamples, x, sldSample_->value(), TimeFirst, LastSample, k);
    }
    const bool valid = index >= 0 && index < static_cast<int>(ViewSamples.size());
    for (int c = 0; c < 8; ++c) {
        QString text = txtSignal_[c]->text();
        if (valid) {
            text += "\n" + (!lblSignal_[c]->isHidden() && Shown(c)
                                ? ReadoutText(ViewSamples[index], c, SelInjector, ctx_.DecimalSep)
                                : QString("- - -"));
        }
        lblSignal_[c]->setText(text);
    }
}

void FrmView::ShowSecDiv() {
    lblSecDiv_->setText(SecDivText(SecDiv, ctx_.DecimalSep));
}

void FrmView::ShowZoomOffset() {
    lblZoomChl_->setText(ZoomText(Channels[SelChannel].Zoom, ctx_.DecimalSep));
    lblOffset_->setText(OffsetText(Channels[SelChannel].Offset));
}

void FrmView::PlaceZeroMarks() {
    for (int c = 0; c < 8; ++c) {
        ui::MoveTwips(*lblZero_[c], 0, static_cast<int>(std::lround(Channels[c].Offset)),
                      ZeroMarkWidth, ZeroMarkHeight);
        lblZero_[c]->setVisible(Checked(c) && Shown(c));
    }
}

void FrmView::ShowLoading(bool show, const QString& caption) {
    if (!show) {
        lblLoading_->hide();
        shpLoading_->hide();
        ui::SetWidthTwips(*shpLoading_, 0);
        return;
    }
    const double now = support::GetTimeUsec();
    if (now <= loadingNextStep_) {
        return;
    }
    if (lblLoading_->isHidden()) {
        lblLoading_->setText(caption);
        lblLoading_->show();
        shpLoading_->show();
        lblLoading_->raise();
        shpLoading_->raise();
    }
    int width = ui::WidthTwips(*shpLoading_) + 120;
    if (width >= LoadingWidth - 105) {
        width = 0;
    }
    ui::SetWidthTwips(*shpLoading_, width);
    loadingNextStep_ = now + 250000;
}

} // namespace viewer
