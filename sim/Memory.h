#pragma once

// The ECU's parameter memory: the zones and tables the program reads and writes, byte
// for byte as they travel on the wire (multi-byte values low byte first). The ECU keeps
// one copy in RAM, which reads and writes use, and one "saved in flash", which
// CMD_SAVE_FLASH refreshes from RAM and a restart loads into RAM.

#include <QByteArray>

namespace sim {

// Wire sizes.
inline constexpr int kZone1Size = 91;
inline constexpr int kZone2Size = 14;
inline constexpr int kZone3Size = 74;
inline constexpr int kEmulationSize = 88;
inline constexpr int kCompByteTableSize = 32;
inline constexpr int kCompWordTableSize = 64;
inline constexpr int kCorrectionCells = 192;
inline constexpr int kTestRecordSize = 16;
inline constexpr int kErrorBytes = 64;
inline constexpr int kVariableAddresses = 16;

// Zone-2 offsets and flags.
inline constexpr int kZ2ModeReq = 0;
inline constexpr int kZ2FuelState = 1;
inline constexpr int kZ2RunState = 2;
inline constexpr int kZ2HoursGas = 3;
inline constexpr int kZ2HoursPetrol = 7;
inline constexpr int kZ2Flags = 11;
inline constexpr int kZ2SwitchPeriod = 12;
inline constexpr quint8 kFlagClockHalf = 0x80;
inline constexpr quint8 kFlagRpmClock = 0x40;
inline constexpr quint8 kFlagVacuumAcq = 0x10;
inline constexpr quint8 kFlagEmulation = 0x02;
inline constexpr quint8 kFuelPetrol = 0;
inline constexpr quint8 kFuelGas = 3;

// Zone-3 offsets.
inline constexpr int kZ3Bobine = 0;
inline constexpr int kZ3Cilindri = 1;
inline constexpr int kZ3SwitchTemp = 2;
inline constexpr int kZ3SwitchRpm = 4;
inline constexpr int kZ3CylState = 14; // 8 bytes, cylinder 7 first
inline constexpr int kZ3CylTime = 22;  // 8 x int16, cylinder 7 first
inline constexpr int kZ3BandLow = 57;
inline constexpr int kZ3BandHigh = 58;

// Little-endian fields of a byte image; out-of-range offsets read 0 and write nothing.
int GetU16(const QByteArray& image, int offset);
int GetS16(const QByteArray& image, int offset);
quint32 GetU32(const QByteArray& image, int offset);
void PutU16(QByteArray& image, int offset, int value);
void PutU32(QByteArray& image, int offset, quint32 value);

struct Memory {
    QByteArray zone2;       // 14 bytes
    QByteArray zone3;       // 74 bytes
    QByteArray emulation;   // 88 bytes
    QByteArray compGasTemp; // 32 signed bytes
    QByteArray compRidTemp; // 32 signed bytes
    QByteArray compPress;   // 32 x int16
    QByteArray compSmag;    // 32 x int16
    QByteArray correction;  // 192 x int16
    QByteArray testRecord;  // 16 bytes

    // Self-consistent factory contents (4 coils, 4 cylinders, the default model, ...).
    static Memory Factory();

    int CorrectionCell(int cell) const { return GetS16(correction, 2 * cell); }
    void SetCorrectionCell(int cell, int value) { PutU16(correction, 2 * cell, value); }

    bool operator==(const Memory&) const = default;
};

} // namespace sim
