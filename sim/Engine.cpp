#include "sim/Engine.h"

#include <cmath>
#include <numbers>

namespace sim {

namespace {

constexpr double kIdleRpm = 800;
constexpr double kTopRpm = 3000;
constexpr double kCycleSec = 40;

// Idle 10 s, up 10 s, hold 5 s, down 10 s, idle 5 s.
double CycleRpm(double seconds) {
    const double phase = std::fmod(seconds, kCycleSec);
    const double span = kTopRpm - kIdleRpm;
    if (phase < 10) {
        return kIdleRpm + 20 * std::sin(2 * std::numbers::pi * seconds / 3);
    }
    if (phase < 20) {
        return kIdleRpm + span * (phase - 10) / 10;
    }
    if (phase < 25) {
        return kTopRpm;
    }
    if (phase < 35) {
        return kTopRpm - span * (phase - 25) / 10;
    }
    return kIdleRpm;
}

double WarmUp(double from, double to, double seconds, double timeConstant) {
    return from + (to - from) * (1 - std::exp(-seconds / timeConstant));
}

} // namespace

EngineState DriveCycle(double seconds) {
    EngineState e;
    e.rpm = CycleRpm(seconds);
    const double load = (e.rpm - kIdleRpm) / (kTopRpm - kIdleRpm);
    e.petrolMs = 2.5 + 5.5 * load;
    e.gasDeltaMs = 0.2 + 0.4 * load;
    e.gasPressureMbar = 1000 + 300 * load;
    e.press2Mbar = 300 + 400 * load;
    e.vacuumMbar = 300 + 700 * load;
    e.reducerTempC = WarmUp(15, 70, seconds, 60);
    e.gasTempC = WarmUp(10, 30, seconds, 90);
    e.supplyV = 13.6 + 0.6 * load;
    e.lambda1V = std::fmod(seconds, 1.0) < 0.5 ? 0.1 : 0.8;
    e.lambda2V = 0.7;
    e.levelCounts = 900 - std::fmod(2 * seconds, 800);
    return e;
}

} // namespace sim
