#pragma once

// A test rig wires only the part of the program it tests, and the slots of the callback
// tables stop the program when called unfilled. What the rest of the program would fill,
// a rig fills here, explicitly, with do-nothings that answer False or 0: an unwired call
// in a rig neither stops the test program nor reports success. Call it once the rig has
// wired its own part; a slot a test fills afterwards replaces the do-nothing.

#include "app/Slot.h"

namespace testing_support {

template <typename... Tables> void FillUnwiredWithNothing(Tables&... tables) {
    for (app::SlotTable* table : {static_cast<app::SlotTable*>(&tables)...}) {
        for (app::SlotBase* slot : table->Slots()) {
            if (!slot->Filled()) {
                slot->FillWithNothing();
            }
        }
    }
}

} // namespace testing_support
