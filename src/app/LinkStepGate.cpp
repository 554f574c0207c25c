#include "app/LinkStepGate.h"

#include "app/ProgramContext.h"

#include <QThread>
#include <QTimer>

namespace app {

namespace {

// How soon a held-back run looks again: a link step or a tick's exchange ends within a
// few of the link timer's 1 ms steps.
constexpr int RecheckMs = 1;

} // namespace

int EventLoopDepth() {
    return QThread::currentThread()->loopLevel();
}

void TickMark::Begin() {
    busy_ = true;
    loopDepth_ = EventLoopDepth();
}

bool TickMark::BusyInThisLoop() const {
    return busy_ && loopDepth_ >= EventLoopDepth();
}

bool LinkStepGate::Open() const {
    const ClsComm& link = ctx_.Comm();
    return !ctx_.Ticks.Timer1.BusyInThisLoop() && !ctx_.Ticks.Timer2.BusyInThisLoop() &&
           !link.Stepping() && link.ComState() != COM_SENDING;
}

void LinkStepGate::RunWhenOpen(QObject& owner, std::function<void()> work,
                               std::function<bool()> also) const {
    if (Open() && (!also || also())) {
        work();
        return;
    }
    QTimer::singleShot(RecheckMs, &owner,
                       [gate = *this, &owner, work = std::move(work), also = std::move(also)] {
                           gate.RunWhenOpen(owner, work, also);
                       });
}

} // namespace app
