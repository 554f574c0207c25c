#pragma once

// The engine the simulated ECU sits on, in physical units. By default its values follow
// a built-in drive cycle; tests and the control file can stop the cycle and set them.

namespace sim {

struct EngineState {
    bool key = true;         // ignition key on
    double rpm = 800;        // 0: engine stopped
    double petrolMs = 3.0;   // petrol injection time (per-injector spread added)
    double gasDeltaMs = 0.4; // gas time minus petrol time while on gas
    double gasPressureMbar = 1150;
    double press2Mbar = 450; // second pressure (the map's X value)
    double vacuumMbar = 600; // manifold pressure
    double reducerTempC = 60;
    double gasTempC = 25;
    double supplyV = 13.8;
    double lambda1V = 0.45;
    double lambda2V = 0.7;
    double levelCounts = 600; // level sensor, 0..1020
    int levelLamps = 0;       // raw lamp word
    int leanStep = 0;         // leaning step 0..15 (high nibble of the status byte)
    // The correction the gas injection needs: on gas the ECU's petrol time drifts by this
    // less the stored correction of its cell, as its mixture control makes up the gap.
    double targetMs = 0;
};

// The drive cycle seconds after the ECU started: idle, a ramp to 3000 rpm and back every
// 40 s, temperatures warming up over a few minutes, a lambda probe switching at 1 Hz and
// a slowly falling level.
EngineState DriveCycle(double seconds);

} // namespace sim
