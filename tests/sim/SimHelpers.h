#pragma once

// Small helpers for talking to the simulated ECU in-process.

#include "sim/Ecu.h"

#include <QByteArray>

namespace simtest {

struct Answer {
    QByteArray frame; // the whole reply as received
    int status = -1;  // -1: no reply
    QByteArray data;
};

inline Answer Parse(const QByteArray& frame) {
    Answer a;
    a.frame = frame;
    if (frame.size() >= 6) {
        a.status = static_cast<quint8>(frame[4]);
        a.data = frame.mid(5, frame.size() - 6);
    }
    return a;
}

// Sends a request at now and collects everything the ECU puts on the wire within the
// next second; now moves on by that second.
inline Answer Exchange(sim::Ecu& ecu, const QByteArray& request, double& now) {
    ecu.Receive(request, now);
    now += 1e6;
    return Parse(ecu.Transmit(now));
}

inline Answer Command(sim::Ecu& ecu, quint8 command, const QByteArray& payload, double& now) {
    return Exchange(ecu, sim::BuildRequest(command, payload), now);
}

inline QByteArray Pattern(int size, int seed) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((seed + 37 * i) & 0xFF);
    }
    return bytes;
}

} // namespace simtest
