#pragma once

// The zone-2 and zone-3 reads that have landed, counted. A dialog remembers the count it
// last showed and refills when a read has landed since: a read-back after a write, or the
// first read of a dialog opened before it.

#include "ecudata/EcuImages.h"
#include "link/Frames.h"

namespace settings {

inline quint32 ZoneReads(const ecudata::EcuImages& images) {
    return images.AcceptedReplies[comm::CMD_READ_MEM2] +
           images.AcceptedReplies[comm::CMD_READ_MEM3];
}

} // namespace settings
