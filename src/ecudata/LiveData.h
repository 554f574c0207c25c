#pragma once

// The live-data record: the decoded reply to CMD_READ_MEM1 plus a time stamp. Every live
// display reads it, and a signal-viewer sample is this record as a whole, so its fields,
// their order and their types are fixed.

#include <QByteArray>
#include <QtGlobal>
#include <array>

namespace ecudata {

struct ConfigScale;
struct EcuImages;

struct Mem1Rec {
    std::array<double, 8> TInjGas{};    // gas injection time per injector (signed)
    std::array<double, 8> TInjBenz{};   // petrol injection time per injector
    std::array<double, 8> TInjAux{};    // third per-injector time (stored and logged only)
    std::array<double, 8> TInjGasBar{}; // signed gas-minus-petrol time: drives the gas bars
    double Rpm = 0;
    double PressGas = 0;
    double Press2 = 0;
    float Lambda1 = 0;
    quint8 StatusKey = 0; // 1: the fuel-mode switch may be requested
    quint8 StatusEv1 = 0;
    quint8 StatusEv2 = 0;
    quint8 StatusKeyHigh = 0; // high nibble of the first status byte
    qint32 Level1 = 0;
    qint32 Level2 = 0;
    double Temp = 0;
    double Temp1 = 0;
    double Supply = 0;
    qint32 LevelLamps = 0; // 2-bit lamp states of the level display
    double Vacuum = 0;
    float Lambda2 = 0;
    qint32 LambdaOut1 = 0; // emulated lambda outputs, mV
    qint32 LambdaOut2 = 0;
    double TimeStamp = 0; // ms of the microsecond clock at the decode

    bool operator==(const Mem1Rec&) const = default;
};

// Data bytes of a zone-1 reply.
inline constexpr int Mem1WireSize = 91;

// Decodes a whole checked reply frame to CMD_READ_MEM1 into Mem1Data, after copying
// Mem1Data into Mem1Prev. A reply with fewer than 91 data bytes is a failed read: the
// images stay as they are and the result is False. Writing the operating-point log is
// the caller's (the dispatcher's), once the record is complete.
bool ParseMem1(const QByteArray& reply, EcuImages& images, const ConfigScale& scale);

} // namespace ecudata
