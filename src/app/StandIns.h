#pragma once

// The one call of the data model that the main window makes before that library
// provides it: the Modeling page's re-read of the ECU's correction table.

namespace comm {
class ClsComm;
}

namespace app::standin {

inline bool ReadTblCor(comm::ClsComm&) {
    return true;
}

} // namespace app::standin
