// The link status in the status bar (state cell, pending-write indicator, search text, a
// port that cannot be opened) and the port-search splash that the poll timer drives.

#include "app/EditTexts.h"
#include "app/FrmInit.h"
#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "link/ComPorts.h"
#include "support/Clock.h"
#include "support/Colors.h"
#include "support/Lingue.h"
#include "support/MessageBox.h"
#include "ui/Controls.h"
#include "ui/TextCell.h"

#include <QAction>
#include <QFileInfo>
#include <QFontMetrics>
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
// A try went unanswered: the ECU is silent, though the port is held.
const StateLook NoReplyLook = {0, "NO REPLY", true, Red, White};

bool Exchanging(quint8 state) {
    return state == COM_READY || state == COM_SENDING || state == COM_WAIT_REPLY;
}

const StateLook& LookOf(quint8 state) {
    for (const StateLook& look : StateLooks) {
        if (look.state == state) {
            return look;
        }
    }
    return UnknownState;
}

void ShowLook(ui::TextCell& cell, const StateLook& look) {
    cell.setText(QString::fromLatin1(look.text));
    if (look.colored) {
        cell.SetColors(support::ColorFromBgr(look.back), support::ColorFromBgr(look.fore));
    }
}

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

// The dictionary's words for a port that cannot be opened; English where it has none.
const QString PortOpenSection = QStringLiteral("[PortOpen]");

// The message in the room the cell has: a long device path gives way first to its file
// name, then to an ellipsis in its middle (the link log keeps the whole path).
QString FittedPortMessage(comm::PortOpenFailure failure, const QStringList& texts,
                          const QFontMetrics& metrics, int room) {
    const auto width = [&] {
        return metrics.horizontalAdvance(comm::PortOpenMessage(failure, texts));
    };
    if (comm::ReasonOf(failure) == comm::PortOpenReason::NoDevicePath || width() <= room) {
        return comm::PortOpenMessage(failure, texts);
    }
    const QString name = QFileInfo(failure.device).fileName();
    failure.device = name.isEmpty() ? failure.device : name;
    if (width() > room) {
        const int rest = width() - metrics.horizontalAdvance(failure.device);
        const QString elided =
            metrics.elidedText(failure.device, Qt::ElideMiddle, std::max(0, room - rest));
        failure.device = elided.isEmpty() ? QStringLiteral("\u2026") : elided;
    }
    return comm::PortOpenMessage(failure, texts);
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

ui::TextCell& FrmLX735::StatusCell(int cell) {
    return *statusCells_[size_t(cell)];
}

void FrmLX735::SetStatusCell(int cell, const QString& text) {
    StatusCell(cell).setText(text);
}

void FrmLX735::SetStatusColors(int cell, const QColor& back, const QColor& fore) {
    StatusCell(cell).SetColors(back, fore);
}

void FrmLX735::AggiornaStatoCom() {
    const ClsComm& comm = ctx_.Comm();
    const double now = support::GetTimeUsec();
    const ui::TextCell& stateCell = StatusCell(1);
    if (comm.NoReply() && Exchanging(comm.ComState())) {
        ShowLook(StatusCell(1), NoReplyLook);
    } else if (comm.ComState() == COM_WAIT_REPLY) {
        const QString text = stateCell.text();
        const bool inCycle =
            std::find(std::begin(DotsCycle), std::end(DotsCycle), text) != std::end(DotsCycle);
        if (!inCycle || now - lastDotStepUsec_ >= AnimationStepUsec) {
            SetStatusCell(1, NextDots(text));
            lastDotStepUsec_ = now;
        }
        SetStatusColors(1, support::ColorFromBgr(Green), support::ColorFromBgr(Black));
    } else {
        ShowLook(StatusCell(1), LookOf(comm.ComState()));
    }

    FollowPortFailure();
    FollowEdits();
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

void FrmLX735::FollowPortFailure() {
    const ClsComm& comm = ctx_.Comm();
    PortNotice& notice = portNotice_;
    if (comm.PortMessageSerial() != notice.serial) {
        notice.serial = comm.PortMessageSerial();
        notice.on = true;
        notice.width = -1;
    } else if (comm.ComState() != COM_RESTART && comm.ComState() != COM_SEARCH) {
        notice.on = false; // the link holds a port, or was stopped
    }
    const ui::TextCell& cell = StatusCell(0);
    if (!notice.on) {
        notice.text.clear();
        notice.width = -1;
    } else if (notice.width != cell.width()) {
        notice.width = cell.width();
        notice.text = FittedPortMessage(
            comm.PortFailure(),
            support::SectionTexts(ctx_.ObjLingue, PortOpenSection, comm::PortOpenTexts()),
            cell.fontMetrics(), cell.TextRoom());
    }
}

void FrmLX735::ShowPendingWrites(bool pending, bool searching, double nowUsec) {
    const ui::TextCell& cell = StatusCell(0);
    const QColor face = support::ColorFromBgr(support::ColorButtonFace);
    const QColor fore = cell.Fore();
    if (!pending) {
        if (!searching) {
            SetStatusCell(0, portNotice_.text); // empty unless a port cannot be opened
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

namespace app {

void FrmLX735::FollowEdits() {
    const ecudata::BlockStates& blocks = ctx_.Images.Blocks;
    bool untold = false;
    for (std::size_t b = 0; b < ecudata::EditBlockCount; ++b) {
        untold = untold || (blocks.refused[b] && !blocks.told[b]);
    }
    if (untold && !editTellQueued_) {
        editTellQueued_ = true;
        QMetaObject::invokeMethod(
            this, [this] { TellRefusedWrites(); }, Qt::QueuedConnection);
    }
    // Back on line with the ECU's blocks read: the caption no longer names a file the
    // ECU never received.
    const ecudata::EcuRequests& r = ctx_.Requests;
    if (ctx_.OffLineFile.isEmpty() || ctx_.OffLineMode || !r.FirmwareOk || r.FirstReadPending) {
        return;
    }
    const QString path = ctx_.OffLineFile;
    const bool unsent = ctx_.OffLineFileUnsent;
    ctx_.OffLineFile.clear();
    ctx_.OffLineFileUnsent = false;
    setWindowTitle(ctx_.Texts.AppTitle + " - " + ReleaseText);
    if (unsent) {
        QMetaObject::invokeMethod(
            this,
            [this, path] {
                support::MsgBox(LoadedOffLineText(ctx_, path), support::vbExclamation,
                                ctx_.Texts.AppTitle);
                ctx_.Comm().LoadWDogSend();
            },
            Qt::QueuedConnection);
    }
}

void FrmLX735::TellRefusedWrites() {
    editTellQueued_ = false;
    const auto untold = ctx_.Images.Blocks.TakeUntold();
    if (std::none_of(untold.begin(), untold.end(), [](bool b) { return b; })) {
        return;
    }
    support::MsgBox(RefusedText(ctx_, untold), support::vbExclamation, ctx_.Texts.AppTitle);
    ctx_.Comm().LoadWDogSend();
}

} // namespace app
