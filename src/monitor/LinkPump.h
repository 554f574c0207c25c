#pragma once

// The link pump: Timer1's tick after the window's re-entry guard and off-line request.
// It steps the link state machine and refreshes the status bar; whenever the link is
// restarting or stopped it raises every periodic read again and marks the ECU as not
// identified, so that the next connection identifies the ECU anew and reads every zone.
// While the link is stopped the tick stands in for the ECU: pending edits go into the
// local images, a queued parameter file is loaded, and every pending write is cleared.

namespace monitor {

struct Monitor;

void LinkPumpTick(Monitor& monitor);

// The stopped link's part of the tick (after the reads were raised).
void FlushStopped(Monitor& monitor);

} // namespace monitor
