#pragma once

// Stands in for the firmware update window until the update exists. A box tells the
// installer that the update cannot be made here; FirmwareOk stays False, so the
// identification ends the program as after an update left unfinished.

namespace monitor {

void ShowFrmUpdateStub();

} // namespace monitor
