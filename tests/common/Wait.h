#pragma once

// The one way tests wait. A wait runs on the installed clock (support::TimeSource): the
// real one, whose steps run the Qt event loop, or a FakeTime whose simulated time passes
// in 1 ms steps so that a rig's timers and ECU step at their pace, with the posted Qt
// events delivered at every step (the window system's timers keep to the real clock).
// A bound only separates a behaviour from its absence (by an order of magnitude); it is
// never a measure of speed, so keep bounds generous.

#include <chrono>
#include <functional>

namespace testing_support {

using namespace std::chrono_literals;

// Pumps the events until the condition holds (True) or the bound has passed (False).
// The condition is looked at before the first step: one that holds already costs nothing.
bool WaitFor(const std::function<bool()>& condition, std::chrono::microseconds bound);

// Lets the time pass on the installed clock, pumping the events: only where a test must
// let something run (a window the program must not act in, simulated engine time).
void RunFor(std::chrono::microseconds duration);

} // namespace testing_support
