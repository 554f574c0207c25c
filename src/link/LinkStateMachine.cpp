#include "link/LinkStateMachine.h"

#include "link/ClsComm.h"
#include "link/Frames.h"
#include "link/LinkHost.h"
#include "link/ReplyDispatch.h"
#include "link/RxTxLog.h"
#include "platform/FtdiDriver.h"
#include "support/Clock.h"
#include "support/MessageBox.h"

#include <algorithm>
#include <limits>

namespace comm {

namespace {

constexpr qint32 KeepAliveMs = 4000;
constexpr double RestartPauseUsec = 400000;
constexpr double FailedOpenPauseUsec = 200000;
constexpr quint8 LastSearchedCom = 9;
// Beyond the resends: the pause of an interrupted send, the ten-second hold after a
// flash end and a margin.
constexpr double WaitMarginUsec = 12e6;

QByteArray ProbeFrame() {
    return BuildMsg(ReqHeader, ReqByte2, CMD_GET_ECO, "ECO");
}

// A link without a host (a bare transport) has no one to show error boxes to.
bool DeveloperView(const ClsComm& link) {
    return link.Host() && link.Host()->DeveloperView();
}

void ShowLinkError(const ClsComm& link, const QString& text) {
    if (DeveloperView(link)) {
        support::MsgBox(text, support::vbCritical | support::vbOKOnly, LinkBoxTitle);
    }
}

void ClearBuffers(ClsComm& link) {
    link.InBuffer({});
    link.OutBuffer({});
}

void SendProbe(ClsComm& link) {
    link.CleanInputCom();
    link.CleanOutputCom();
    ClearBuffers(link);
    link.SendMsg(ProbeFrame());
    link.Silenzio(KeepAliveMs, true);
}

// A state set while a step waited (a stop, a port choice) stands over the step's own.
void StepRestart(ClsComm& link) {
    link.CloseComPort();
    // The ECU may have restarted while the link was lost, and a restarted ECU runs: a
    // mode that an earlier reply confirmed no longer holds.
    link.EcuState(ECU_RUN);
    support::PauseUsec(RestartPauseUsec);
    if (link.ComState() == COM_RESTART) {
        link.ComState(COM_SEARCH);
        link.WDogPresente(true);
    }
    link.LiveStale(true);
}

void StepReady(ClsComm& link) {
    const bool keepAliveMode = link.EcuState() == ECU_RUN || link.EcuState() == ECU_SLAVE;
    if (link.Silenzio(KeepAliveMs, false) && keepAliveMode) {
        SendProbe(link);
    }
}

// The exchange failed (no reply in time, or bytes that can be no reply): resend, and
// once the resends are used up move the search on or report the lost link.
void FailExchange(ClsComm& link) {
    link.ExchangeTryEnded(false);
    if (ReSendMsg(link, link.OutBuffer())) {
        return;
    }
    if (link.FlagRicercaCom() < NoSearch) {
        // A silent port during a search: try the next one, without a word.
        link.FlagRicercaCom(link.FlagRicercaCom() + 1);
        link.CloseComPort();
        link.ComState(COM_SEARCH);
        return;
    }
    ShowLinkError(link, ErrWDog);
    link.InBuffer({});
    link.WDogPresente(true);
    link.NumWDogSend(static_cast<qint16>(std::min(link.NumWDogSend() + 1, 32767)));
    link.TimeCom_RSet();
    link.ComState(COM_ERROR);
}

void StepWaitReply(ClsComm& link) {
    if (!link.CkWDogSend()) {
        link.TryUnanswered();
        FailExchange(link);
        return;
    }
    link.ReciveMsg();
    if (link.ComState() != COM_WAIT_REPLY) {
        return; // the device is gone: the link restarts
    }
    if (link.CtrlEndRecive()) {
        CheckReply(link);
        link.Silenzio(KeepAliveMs, true);
    } else if (link.InBuffer().size() > MaxFrameSize) {
        // Longer than any reply can be (a device that chatters, or one that is not
        // ours): a damaged reply now, not a wait for the deadline.
        FailExchange(link);
    }
}

// Each open attempt on USB moves to the next cable, back to the first whenever the
// number of cables changes.
void CountFtdiDevices(ClsComm& link) {
    qint32 count = 0;
    if (link.Ftdi().FT_ListDevices(count) != platform::FT_OK || count <= 0) {
        link.FtDevCount(0);
        link.FtDevIndex(0);
        link.FtDevCountPrev(0);
        return;
    }
    link.FtDevCount(count);
    if (link.FtDevIndex() >= count - 1 || count != link.FtDevCountPrev()) {
        link.FtDevIndex(0);
        link.FtDevCountPrev(count);
    } else {
        link.FtDevIndex(link.FtDevIndex() + 1);
    }
    link.NumReSendState(0);
}

void StepSearch(ClsComm& link) {
    quint8 flag = link.FlagRicercaCom();
    if (flag < NoSearch) {
        if (flag == 1 && link.FtDevIndex() < link.FtDevCount() - 1) {
            flag = 0; // more cables to try before the COM ports
            link.FlagRicercaCom(flag);
        }
        link.UsbCom(flag == 0);
        link.ComPort(flag);
    }
    if (link.UsbCom()) {
        CountFtdiDevices(link);
    }
    if (link.SetComm()) {
        link.CleanInputCom();
        link.CleanOutputCom();
        ClearBuffers(link);
        link.ComState(COM_READY);
        link.SendMsg(ProbeFrame());
        link.Silenzio(KeepAliveMs, true);
        return;
    }
    link.ComState(COM_RESTART);
    if (link.FlagRicercaCom() < NoSearch) {
        support::PauseUsec(FailedOpenPauseUsec);
        const quint8 current = link.FlagRicercaCom();
        link.FlagRicercaCom(current < LastSearchedCom ? current + 1 : 0);
    }
}

void StepStop(ClsComm& link) {
    if (!link.CloseComPort()) {
        support::WaitUsec(RestartPauseUsec);
    }
    link.WDogPresente(false);
    ClearBuffers(link);
}

// The longest a healthy link can take over one exchange.
double WaitBoundUsec(const ClsComm& link, const QByteArray& frame) {
    const double sends = std::max<qint16>(link.NumReSend(), 0) + 1.0;
    const double perSend = frame.size() * link.AttesaByteTx_usec() + 2 * link.AttesaGlobale_usec() +
                           link.Idle_usec() + 1e6;
    return sends * perSend + WaitMarginUsec;
}

class StepGuard {
public:
    explicit StepGuard(ClsComm& link) : link_(link) { link_.Stepping(true); }
    ~StepGuard() { link_.Stepping(false); }

private:
    ClsComm& link_;
};

class WaiterScope {
public:
    WaiterScope(ClsComm& link, ClsComm::ExchangeWaiter& waiter) : link_(link), waiter_(waiter) {
        link_.AddWaiter(waiter_);
    }
    ~WaiterScope() { link_.RemoveWaiter(waiter_); }

private:
    ClsComm& link_;
    ClsComm::ExchangeWaiter& waiter_;
};

} // namespace

void ProcessComState(ClsComm& link) {
    if (link.Stepping()) {
        return;
    }
    StepGuard guard(link);
    if (link.ComState() != link.LastLoggedComState()) {
        link.WriteLog("C ", QString::number(link.ComState()));
        link.LastLoggedComState(link.ComState());
    }
    switch (link.ComState()) {
    case COM_RESTART:
        StepRestart(link);
        break;
    case COM_READY:
        StepReady(link);
        break;
    case COM_WAIT_REPLY:
        StepWaitReply(link);
        break;
    case COM_ERROR:
        link.ComState(COM_RESTART);
        break;
    case COM_SEARCH:
        StepSearch(link);
        break;
    case COM_STOP:
        StepStop(link);
        break;
    default:
        break; // sending, and the values never set
    }
}

double NextStepDueUsec(const ClsComm& link) {
    constexpr double Never = std::numeric_limits<double>::infinity();
    const double now = support::GetTimeUsec();
    switch (link.ComState()) {
    case COM_READY: {
        const bool keepAliveMode = link.EcuState() == ECU_RUN || link.EcuState() == ECU_SLAVE;
        // The silence has passed once the clock is beyond its end.
        return keepAliveMode ? std::max(now, link.SilenceDeadline() + 1) : Never;
    }
    case COM_WAIT_REPLY:
        return now < link.RxNotBefore() ? std::min(link.RxNotBefore(), link.ReplyDeadline() + 1)
                                        : now;
    case COM_SENDING:
    case COM_STOP:
        return Never; // the send's end, or a new state, wakes the pump
    default:
        return now;
    }
}

bool ReSendMsg(ClsComm& link, const QByteArray& frame) {
    const QByteArray again = frame;
    link.CleanInputCom();
    link.InBuffer({});
    link.CleanOutputCom();
    link.OutBuffer({});
    link.NumReSendState(link.NumReSendState() + 1);
    if (link.NumReSendState() <= link.NumReSend()) {
        link.ComState(COM_READY);
        link.SendMsg(again, true);
        return true;
    }
    link.NumReSendState(0);
    return false;
}

void CheckReply(ClsComm& link) {
    const QString failure = ReplyCheckFailure(link.InBuffer(), link.OutBuffer());
    link.ExchangeTryEnded(!failure.isEmpty() && failure != ErrRxCheckSum &&
                          failure != ErrEcoCommand);
    if (failure.isEmpty()) {
        const quint64 exchange = link.ExchangeId();
        DispatchReply(link);
        link.NoReply(false);
        link.Heard(true);
        link.WDogPresente(false);
        link.NumWDogSend(0);
        link.NumReSendState(0);
        link.ComState(COM_READY);
        link.ExchangeSucceeded(exchange);
        return;
    }
    if (!ReSendMsg(link, link.OutBuffer())) {
        ShowLinkError(link, failure);
        link.ComState(COM_ERROR);
    }
}

bool SendMsgAndWait(ClsComm& link, const QByteArray& frame) {
    if (!link.SendMsg(frame)) {
        return false;
    }
    ClsComm::ExchangeWaiter waiter{link.ExchangeId()};
    WaiterScope scope(link, waiter);
    // Each step that can end the exchange runs in an event (the link timer's tick).
    const bool ended = support::WaitUntil(
        [&] {
            return link.ComState() != COM_WAIT_REPLY || link.ExchangeId() != waiter.id ||
                   waiter.good;
        },
        WaitBoundUsec(link, frame));
    const bool timedOut = !ended;
    if (link.ComState() == COM_ERROR ||
        (timedOut && !waiter.good && link.ComState() == COM_WAIT_REPLY)) {
        link.ComState(COM_RESTART);
        return false;
    }
    return waiter.good;
}

} // namespace comm
