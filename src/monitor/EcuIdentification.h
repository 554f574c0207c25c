#pragma once

// The identification at every connection: before the program polls an ECU it makes
// sure that the ECU is one this program serves (its project code matches the firmware
// image's) and that its firmware matches the image. The ECU is accepted, or the port is
// rejected and the search moves on, or the update window opens, or the program is told
// to quit (image missing or older than the ECU's firmware).

namespace monitor {

struct Monitor;

// Run by the poll scheduler at every tick until the ECU is accepted; it does its work
// only once the link is ready.
void CompareEcuFirmware(Monitor& monitor);

} // namespace monitor
