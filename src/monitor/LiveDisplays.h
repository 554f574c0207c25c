#pragma once

// The live displays the poll scheduler refreshes: the General page's values, bars and
// lamps, the lambda display, the level lamps and the error button. Each starts as a
// no-op; the displays fill them in. The scheduler calls them only while the ECU is
// identified, each on its own countdown.

#include <functional>

namespace monitor {

struct LiveDisplays {
    using Action = std::function<void()>;
    static void Nothing() {}

    // Every 4th tick.
    Action ShowRpm = Nothing;
    Action ShowInjectionTimes = Nothing;
    // Every 8th tick.
    Action ShowLambda = Nothing;
    Action ShowLevelLamps = Nothing;
    // Every 24th tick: key, valves, fuel and ECU-mode lamps, indicators, link time.
    Action ShowEcuStatus = Nothing;
    // Every 54th tick.
    Action ShowTemperatures = Nothing;
    Action ShowPressures = Nothing;
    Action ShowSupplyVoltage = Nothing;
    // After each error read (every 504th tick), with the ECU's error flags in the link
    // object: builds the error mask, zeroes the masked flags and shows or hides the
    // error button.
    Action ShowErrorButton = Nothing;
};

} // namespace monitor
