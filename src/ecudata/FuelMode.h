#pragma once

// Two small procedures that change the ECU's operating state for the poll timer: the
// switch between petrol and gas that the live page's logo asks for, and one step of
// the injector set-up and test of the injector dialog.

namespace comm {
class ClsComm;
}

namespace ecudata {

struct EcuImages;
struct EcuModel;
struct EcuRequests;

// Switches the ECU between petrol and gas: reads zones 2 and 3, puts a running ECU into
// slave mode, writes the new mode byte and waits (up to 8 polls of 250 ms) for the ECU
// to follow, then puts it back into run mode. An ECU found in slave mode is left in it,
// without polling. Any failed exchange ends the switch; an ECU this procedure put into
// slave mode is then sent back to run mode if the link allows. ReqSwitchFuelMode is 0
// at the end.
void SwitchFuelMode(comm::ClsComm& link, EcuModel& model);

// Advances the per-cylinder states of zone 3 one step towards InjSetState through
// Mem3Write, arming the zone-3 write (Mem3WriteCountdown 1.0) and finishing the step
// (InjSetMode 0, InjSetState -1) as the states reached call for. A cylinder index or
// count beyond the eight cylinders finishes the step without a change.
void StepInjSet(EcuImages& images, EcuRequests& requests);

} // namespace ecudata
