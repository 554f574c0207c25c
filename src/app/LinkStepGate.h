#pragma once

// "Run when the link step is over": work that runs a sequence of exchanges of its own
// (opening the viewer, a calibration tick, the update's Next) must not start inside a
// main timer's tick or a link exchange, both of which wait in nested event loops: the
// link could not step again until that work returned. The gate tells when neither is
// under way and runs such work then.

#include <QObject>
#include <functional>

namespace app {

struct ProgramContext;

// A main timer's tick under way, with the depth of the modal event loops it began in.
// A tick that opens a modal dialog (the poll tick's identification opens the update
// window) stays under way on an outer stack frame until that dialog closes; work asked
// for inside the dialog's loop cannot wait for it, so the gate only counts a tick that
// began in the loop running now (or one nested in it).
class TickMark {
public:
    void Begin();
    void End() { busy_ = false; }
    explicit operator bool() const { return busy_; }
    // Under way and able to end before control comes back to the loop running now.
    bool BusyInThisLoop() const;

private:
    bool busy_ = false;
    int loopDepth_ = 0;
};

// The main window's two driving ticks: Timer1 (the link pump) and Timer2 (the polls).
struct MainTicks {
    TickMark Timer1;
    TickMark Timer2;
};

// The depth of the event loops (the application's, modal dialogs') running now; the
// program's own waits pump events without entering a loop of their own.
int EventLoopDepth();

class LinkStepGate {
public:
    // The context outlives every deferred run; the link is looked up at each check, as
    // the context may make a new one.
    explicit LinkStepGate(ProgramContext& context) : ctx_(context) {}

    // Neither main tick of this loop, nor a link step, nor a frame being sent is under
    // way. A link step or a send on an outer frame (one showing a box) holds the gate
    // shut: nothing could use the link before it has ended anyway.
    bool Open() const;

    // Runs work once the gate is open and also() holds (a caller's own extra condition):
    // at once when both hold now, otherwise from a short single-shot timer on owner,
    // checked again until they do. It runs once; never if owner is destroyed first.
    void RunWhenOpen(QObject& owner, std::function<void()> work,
                     std::function<bool()> also = {}) const;

private:
    ProgramContext& ctx_;
};

} // namespace app
