#include "monitor/UpdateWindowStub.h"

#include "support/MessageBox.h"

namespace monitor {

void ShowFrmUpdateStub() {
    support::MsgBox("The firmware update is not available in this version of the program.",
                    support::vbExclamation, " Firmware ");
}

} // namespace monitor
