#pragma once

// Two small procedures that change the ECU's operating state for the poll timer: the
// switch between petrol and gas that the live page's logo asks for, and one step of
// the injector set-up and test of the injector dialog.

namespace ecudata {

struct EcuImages;
struct EcuRequests;

// Advances the per-cylinder states of zone 3 one step towards InjSetState through
// Mem3Write, arming the zone-3 write (Mem3WriteCountdown 1.0) and finishing the step
// (InjSetMode 0, InjSetState -1) as the states reached call for. A cylinder index or
// count beyond the eight cylinders finishes the step without a change.
void StepInjSet(EcuImages& images, EcuRequests& requests);

} // namespace ecudata
