#pragma once

// The link state machine: one step per tick of the program's 1 ms link timer finds
// and opens a port, probes it, keeps an idle link alive, collects and checks replies,
// resends, and restarts the port after a failure. Callers exchange frames with
// SendMsgAndWait, which lets the timer-driven steps finish the exchange.

#include <QByteArray>

namespace comm {

class ClsComm;

// One step. A step never starts while another is running (a wait inside a step lets
// the event loop, and so the timer, run).
void ProcessComState(ClsComm& link);

// When the next step can do more than wait for a time it already knows: now while it
// has work (searching, restarting, reading a reply), the earliest known deadline while
// it only waits (the first read of a reply, the keep-alive), and +infinity while only
// new work can give it some (a frame sent, a state change: ClsComm::OnWork tells).
double NextStepDueUsec(const ClsComm& link);

// Sends the frame and waits until the link has finished with it. True only when the
// good reply to this frame has been dispatched; a failed exchange gives False (after
// an error the link is set to restart). The wait is bounded, so a link timer that has
// stopped cannot hold the caller forever. Never call it from inside a step.
bool SendMsgAndWait(ClsComm& link, const QByteArray& frame);

// Sends the frame again unless its resends are used up (then False).
bool ReSendMsg(ClsComm& link, const QByteArray& frame);

// Tests the complete reply in InBuffer against OutBuffer: a good reply is dispatched
// and the link is ready again; a bad one is resent, or ends the exchange in error.
void CheckReply(ClsComm& link);

} // namespace comm
