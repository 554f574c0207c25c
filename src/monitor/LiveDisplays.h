#pragma once

// The live displays the poll scheduler refreshes: the General page's values, bars and
// lamps, the lambda display, the level lamps and the error button. Every slot starts
// unfilled and stops the program, naming itself, when called so; the displays fill them
// in. The scheduler calls them only while the ECU is identified, each on its own
// countdown.

#include "app/Slot.h"

namespace monitor {

struct LiveDisplays : app::SlotTable {
    LiveDisplays() : SlotTable("LiveDisplays") {}

    // Every 4th tick.
    APP_SLOT(ShowRpm, void());
    APP_SLOT(ShowInjectionTimes, void());
    // Every 8th tick.
    APP_SLOT(ShowLambda, void());
    APP_SLOT(ShowLevelLamps, void());
    // Every 24th tick: key, valves, fuel and ECU-mode lamps, indicators, link time.
    APP_SLOT(ShowEcuStatus, void());
    // Every 54th tick.
    APP_SLOT(ShowTemperatures, void());
    APP_SLOT(ShowPressures, void());
    APP_SLOT(ShowSupplyVoltage, void());
    // After each error read (every 504th tick), with the ECU's error flags in the link
    // object: builds the error mask, zeroes the masked flags and shows or hides the
    // error button.
    APP_SLOT(ShowErrorButton, void());
    // While the link has no current live record (a try unanswered, a lost link), in
    // place of the displays above: empties them all, so that no stale value looks live.
    APP_SLOT(BlankLive, void());
};

} // namespace monitor
