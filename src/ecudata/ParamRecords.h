#pragma once

// The ECU's two parameter records: zone 2 (mode, state, running-time counters, option
// flags) and zone 3 (the installation record). Each is held as last read (MemNData), as
// the previous image (MemNPrev) and as a to-write copy (MemNWrite) in which every field
// holds either a pending edit or its no-edit marker. Pages only ever write into the
// to-write copies; a write reads the zone afresh, merges the pending edits into the fresh
// image (BuildMem2, BuildMem3) and sends it.
//
// No-edit markers: Byte 255, Integer and Long -1, Double -1.0, CylTime 99999999.0; in
// zone 2 the hour counters 0 and the flag mask FlagsMask 0.

#include <QByteArray>
#include <QtGlobal>
#include <array>

namespace ecudata {

struct ConfigScale;
struct EcuImages;
struct EcuRequests;

// Zone 2: 14 bytes on the wire.
struct Mem2Rec {
    quint8 ModeReq = 0;     // fuel mode asked of the ECU: 0 petrol, 3 gas
    quint8 FuelState = 0;   // fuel the ECU runs on (3 gas); never written from the copy
    quint8 EcuRunState = 0; // 0 run, 1 slave; never written from the copy
    double HoursGas = 0;    // in the copy: 0 no edit, -1.0 resets the counter
    double HoursBenz = 0;
    // 0x80 ECU clock (RpmClock), 0x40 rpm formula of the live record, 0x20 injection
    // cut-off shown, 0x10 vacuum acquisition, 0x02 lambda emulation on; 0x01, 0x04 and
    // 0x08 expert options. In the copy: the wanted state of the bits in FlagsMask.
    quint8 Flags = 0;
    double SwitchRpmPeriod = 0;
    quint8 FlagsMask = 0; // in the copy: the bits edited; 0 in a record as read

    // Sets bits to their wanted state in a to-write copy.
    void WantFlags(quint8 bits, bool on) {
        FlagsMask |= bits;
        Flags = quint8(on ? (Flags | bits) : (Flags & ~bits));
    }

    bool operator==(const Mem2Rec&) const = default;
};

// Zone 3: 74 bytes on the wire. Fields in wire order, except that SwitchSeq stands
// before Isteresi here and after it on the wire.
struct Mem3Rec {
    qint16 Bobine = 0;   // ignition coils 1..8
    qint16 Cilindri = 0; // cylinders and injectors 1..8
    double SwitchTemp = 0;
    double SwitchRpm = 0; // change-over rpm; 0 = none
    quint8 InjType = 0;
    quint8 FuelType = 0; // 0 LPG, else CNG
    double InjTime = 0;
    double InjPwm1 = 0;
    double InjPwm2 = 0;
    std::array<quint8, 8> CylState{}; // per cylinder: 0 off, 1 on, 2 switching, 3/4 on gas
    std::array<double, 8> CylTime{};  // per-cylinder gas-time offset, ms (signed)
    quint8 LevelType = 0;
    quint8 Param121 = 0;
    std::array<qint16, 6> LevelThr{};
    qint16 SwitchDrect = 0;
    qint32 SwitchSeq = 0;
    qint32 Isteresi = 0;
    double SwitchDelay = 0;
    qint32 Param152 = 0; // lower edge of the map-sample rpm band
    qint32 Param156 = 0; // upper edge
    double SwitchForce = 0;
    qint16 LambdaSwitch = 0;
    double EndGasPress = 0;
    double DelayPress = 0;
    qint16 ExpertFlags = 0;
    qint16 EmptyGas = 0;
    qint32 MaxPowerSoh = 0;
    qint32 RpmLow = 0;
    qint32 RpmHigh = 0;
    quint8 TypSensTemp = 0;
    quint8 TypSensMap = 0;
    quint8 BadBit = 0;

    bool operator==(const Mem3Rec&) const = default;
};

inline constexpr int Mem2WireSize = 14;
inline constexpr int Mem3WireSize = 74;
inline constexpr double CylTimeNoEdit = 99999999.0;

// Decodes a reply frame to CMD_READ_MEM2 into Mem2Data and sets RpmClock from its flags.
// A reply with fewer than 14 data bytes is a failed read: nothing changes, False.
bool ParseMem2(const QByteArray& reply, EcuImages& images, ConfigScale& scale);

// Decodes a reply frame to CMD_READ_MEM3 into Mem3Data (Mem3Prev takes the old image),
// sets K_gm and Mem3Changed. Coil or cylinder counts outside 1..8 become 4 in Mem3Data
// and Mem3Write and schedule a write (Mem3WriteCountdown 1.0). A reply with fewer than
// 74 data bytes is a failed read: nothing changes, False.
bool ParseMem3(const QByteArray& reply, EcuImages& images, EcuRequests& requests,
               ConfigScale& scale);

// The records as the installer sees them: as last read with every pending edit merged in.
Mem2Rec ShownMem2(const EcuImages& images);
Mem3Rec ShownMem3(const EcuImages& images);

// True when a to-write copy holds any pending edit.
bool Mem2EditsPending(const Mem2Rec& copy);
bool Mem3EditsPending(const Mem3Rec& copy);

// True when any field differs (every array element included).
bool CmpMem3(const Mem3Rec& a, const Mem3Rec& b);

// Merges the pending edits of copy into record, puts their markers back and returns the
// zone-2 payload (14 bytes).
QByteArray BuildMem2(Mem2Rec& record, Mem2Rec& copy);

// The same for zone 3 (74 bytes). A pending coil or cylinder count recomputes K_gm, so
// that the change-over rpm goes out as a period of the new clock constant; a pending
// cylinder count also raises RefreshPending.
QByteArray BuildMem3(Mem3Rec& record, Mem3Rec& copy, ConfigScale& scale, EcuRequests& requests);

// Puts the pending edits held in taken (the to-write copy as it stood before a build)
// back into copy, wherever copy holds its marker again, so that a write that failed is
// retried with them; edits made since the build are kept. Wanted flag states are put
// back as they are: sent again, a bit that did land stays as it is.
void RestoreMem2Edits(Mem2Rec& copy, const Mem2Rec& taken);
void RestoreMem3Edits(Mem3Rec& copy, const Mem3Rec& taken);

// The clock constant of the live rpm: 240000000 x coils / (16 x cylinders) in single
// precision; 1.0 for counts above 8 or no cylinders.
double CalcRpmConst(const Mem3Rec& record);

// 15000000 with bit 7 of the flags clear, 7500000 with it set.
qint32 GetRpmClock(quint8 flags);

// Every field of Mem2Write and Mem3Write to its no-edit marker.
void ResetMemToWrite(EcuImages& images);

// What the ECU's acknowledgement of a zone-2 write clears: the copy's first two fields.
void Mem2WriteAcknowledged(EcuImages& images);

} // namespace ecudata
