#pragma once

// The ECU's map samples: up to 60 operating points per fuel (injection time in ms,
// pressure in mbar), each fuel read in two reply parts of 30 points. The arrays have 61
// entries; entry 60 is never written here.

#include <QByteArray>
#include <QtGlobal>
#include <array>

namespace comm {
class ClsComm;
}

namespace ecudata {

struct ConfigScale;
struct EcuImages;

using MapArray = std::array<double, 61>;

inline constexpr int SmplWireSize = 121;

// The largest time and pressure a sample may hold: the ECU's own are held to them, and a
// map file beyond them is damaged.
inline constexpr double MaxSampleMs = 50;
inline constexpr double MaxSampleMbar = 6000;

// Decode one reply frame of CMD_READ_SMPL_BNZ (part 0) or CMD_READ_SMPL_BNZ1 (part not
// 0) into points 0..29 or 30..59 of the petrol arrays; ParseSmplGas likewise for gas.
// Times are brought to multiples of 0.2 ms and pressures of 20 mbar; a point above 50 ms
// or 6000 mbar is stored as 0 and 0. A reply with fewer than 121 data bytes changes no
// point and gives False. MapChanged is raised either way.
bool ParseSmplBnz(const QByteArray& frame, quint8 part, EcuImages& images,
                  const ConfigScale& scale);
bool ParseSmplGas(const QByteArray& frame, quint8 part, EcuImages& images,
                  const ConfigScale& scale);

// Zero points 0..59 of one fuel (the ECU acknowledged the cancel).
void ClearSmplBnz(EcuImages& images);
void ClearSmplGas(EcuImages& images);

// Ask for both reply parts of one fuel; the second is asked for whatever the first gave.
// The result is that of the last exchange (True when its reply was stored).
bool ReadSmplBnz(comm::ClsComm& link, const EcuImages& images);
bool ReadSmplGas(comm::ClsComm& link, const EcuImages& images);

// Ask the ECU to discard one fuel's points; the arrays are emptied when it acknowledges.
bool CancSmplBnz(comm::ClsComm& link);
bool CancSmplGas(comm::ClsComm& link);

} // namespace ecudata
