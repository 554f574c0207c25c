// The link status in the status bar (state cell, pending-write indicator, search text)
// and the port-search splash that the poll timer drives.

#include "app/Controls.h"
#include "app/FrmInit.h"
#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "app/TextCell.h"
#include "support/Clock.h"
#include "support/Colors.h"

#include <QAction>
#include <algorithm>
#include <cmath>
#include <limits>

namespace app {

namespace {

// The link timer ticks every millisecond; the dots and the blinking advance at most
// this often, so that a person can read them.
constexpr double AnimationStepUsec = 80000;

constexpr quint32 Red = 0x0000FF;
constexpr quint32 Green = 0x00FF00;
constexpr quint32 White = 0xFFFFFF;
constexpr quint32 Black = 0x000000;

const QString DotsCycle[] = {QStringLiteral("COM OK.  "), QStringLiteral("COM OK.. "),
                             QStringLiteral("COM OK...")};

struct StateLook {
    quint8 state;
    const char* text;
    bool colored; // the colours below apply; else they stay
    quint32 back;
    quint32 fore;
};

const StateLook StateLooks[] = {
    {COM_RESTART, "COM CLOSED", true, Red, White}, {COM_READY, "COM OK   ", false, 0, 0},
    {COM_SENDING, "COM OK...", false, 0, 0},       {COM_ERROR, "COM WDOG", true, Red, White},
    {COM_SEARCH, "COM INI", true, Green, Black},   {COM_STOP, "COM STOP", true, Red, White},
};
const StateLook UnknownState = {0, "Text....", true, Red, White};

// The next text of the reply-wait animation; any text outside it starts it.
QString NextDots(const QString& text) {
    if (text == DotsCycle[0]) {
        return DotsCycle[1];
    }
    if (text == DotsCycle[1]) {
        return DotsCycle[2];
    }
    return DotsCycle[0];
}

bool Writing(const ProgramContext& ctx) {
    const ecudata::EcuRequests& r = ctx.Requests;
    return std::nearbyint(r.ModWriteCountdown) != 0 || std::nearbyint(r.Mem3WriteCountdown) != 0 ||
           ctx.ParamFileSending || r.ReqSaveFlash || r.ReqWriteEmus || r.ReqWriteMem3 ||
           r.ReqWriteMem2 || r.CompWriteCountdown != 0;
}

} // namespace

double FrmLX735::NextStatusStepUsec(double nowUsec) const {
    const bool moving = ctx_.Comm().ComState() == COM_WAIT_REPLY || Writing(ctx_);
    return moving ? nowUsec + AnimationStepUsec : std::numeric_limits<double>::infinity();
}

TextCell* FrmLX735::StatusCell(int cell) {
    // Looked up once: this runs at every tick of the link timer.
    if (!statusCells_[size_t(cell)]) {
        statusCells_[size_t(cell)] =
            qobject_cast<TextCell*>(Control(ArrayName("TxtStatusBar", cell)));
    }
    return statusCells_[size_t(cell)];
}

void FrmLX735::SetStatusCell(int cell, const QString& text) {
    if (TextCell* field = StatusCell(cell)) {
        field->setText(text);
    }
}

void FrmLX735::SetStatusColors(int cell, const QColor& back, const QColor& fore) {
    if (TextCell* field = StatusCell(cell)) {
        field->SetColors(back, fore);
    }
}

void FrmLX735::AggiornaStatoCom() {
    const ClsComm& comm = ctx_.Comm();
    const double now = support::GetTimeUsec();
    TextCell* stateCell = StatusCell(1);
    TextCell* writeCell = StatusCell(0);
    if (!stateCell || !writeCell) {
        return;
    }

    if (comm.ComState() == COM_WAIT_REPLY) {
        const QString text = stateCell->text();
        const bool inCycle =
            std::find(std::begin(DotsCycle), std::end(DotsCycle), text) != std::end(DotsCycle);
        if (!inCycle || now - lastDotStepUsec_ >= AnimationStepUsec) {
            SetStatusCell(1, NextDots(text));
            lastDotStepUsec_ = now;
        }
        SetStatusColors(1, support::ColorFromBgr(Green), support::ColorFromBgr(Black));
    } else {
        const StateLook* look = &UnknownState;
        for (const StateLook& candidate : StateLooks) {
            if (candidate.state == comm.ComState()) {
                look = &candidate;
            }
        }
        SetStatusCell(1, QString::fromLatin1(look->text));
        if (look->colored) {
            SetStatusColors(1, support::ColorFromBgr(look->back),
                            support::ColorFromBgr(look->fore));
        }
    }

    // A port that cannot be opened is told in the message cell, once per port and reason
    // (the cell shows the link time again once the link is up).
    if (comm.PortMessageSerial() != shownPortMessage_) {
        shownPortMessage_ = comm.PortMessageSerial();
        SetStatusCell(2, comm.PortMessage());
    }

    const bool searching = comm.FlagRicercaCom() != comm::NoSearch;
    ShowPendingWrites(Writing(ctx_), searching, now);
    if (!searching) {
        return;
    }
    // The search text wins over the pending-write text.
    const quint8 flag = comm.FlagRicercaCom();
    SetStatusCell(0, "SEARCH COMUNICATION PORT: " +
                         (flag == 0 ? QStringLiteral("USB") : "COM " + QString::number(flag)));
    // A port past the menu's last item (the search goes on beyond COM9) checks none.
    CheckPortItem(comm.UsbCom() ? 0 : comm.ComPort());
}

void FrmLX735::ShowPendingWrites(bool pending, bool searching, double nowUsec) {
    const TextCell& cell = *StatusCell(0);
    const QColor face = support::ColorFromBgr(support::ColorButtonFace);
    const QColor fore = cell.Fore();
    if (!pending) {
        if (!searching) {
            SetStatusCell(0, QString());
        }
        SetStatusColors(0, face, fore);
        return;
    }
    if (!searching) {
        SetStatusCell(0, closingText_.isEmpty() ? QStringLiteral("UPGRADE") : closingText_);
    }
    if (nowUsec - lastBlinkUsec_ >= AnimationStepUsec) {
        lastBlinkUsec_ = nowUsec;
        SetStatusColors(0, cell.Back() == face ? support::ColorFromBgr(Red) : face, fore);
    }
}

void FrmLX735::ElaboraMsgCom() {
    if (frmInit_) {
        frmInit_->ElaboraMsgCom();
    }
}

void FrmLX735::PrepareInitSplash() {
    frmInit_ = new FrmInit(ctx_, this);
    frmInit_->show();
    frmInit_->Timer1().stop();
    frmInit_->hide();
}

void FrmLX735::UnloadInitSplash() {
    if (frmInit_) {
        frmInit_->Timer1().stop();
        frmInit_->hide();
        frmInit_->deleteLater();
    }
}

} // namespace app
