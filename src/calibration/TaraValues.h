#pragma once

// What the automatic calibration measured, read by the Modeling chart's developer
// markers and its read-outs (ms, bar, degrees).

namespace calibration {

struct TaraValues {
    double TaraRefTime = 0;     // reference injection time at idle
    double TaraMaxRefTime = 0;  // injection time sampled at the raised rpm
    double TaraCycTime = 0;     // injection time measured in the raised-rpm cycles
    double TaraCorr = 0;        // last correction of the raised-rpm cycles
    double TaraLoadTime = 0;    // injection time of the load step (never reached: 0)
    double TaraCycPress = 0;    // gas pressure in the reference-rpm cycles
    double TaraCycTemp = 0;     // reducer temperature in those cycles
    double TaraFinalOffset = 0; // the model's Offset when the reference cycles ended
};

} // namespace calibration
