#pragma once

// The poll scheduler: Timer2's tick after the window's re-entry guard (the window
// carries out the quit request at the end of the tick). Until the ECU is identified it
// only runs the identification. Afterwards six countdowns of 4, 8, 18, 24, 54 and 504
// ticks serve the pending requests one at a time, raise the periodic reads, turn the
// deferred-write countdowns into write requests, refresh the live displays of the
// visible page, refresh the parameter pages after a complete read and read the ECU's
// error flags.

namespace ecudata {
struct EcuImages;
struct EcuRequests;
} // namespace ecudata

namespace monitor {

struct Monitor;

void PollSchedulerTick(Monitor& monitor);

// After a complete read: injectors beyond the cylinder count are switched off and
// injector 1 on, through the deferred zone-3 write.
void FixInjectorEnables(ecudata::EcuImages& images, ecudata::EcuRequests& requests);

// Reads the ECU's error flags into the link object (on failure they keep their last
// values), then lets the error button show them.
void CaricaErroriEcu(Monitor& monitor);

} // namespace monitor
