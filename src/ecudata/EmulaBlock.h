#pragma once

// The lambda-emulation block (zone 4): 88 bytes, byte for byte as on the wire. It is held
// as read (EmulaBlkData, with the raw reply frame in EmulaLine) and the installer's
// pending byte edits (EmulaEdit); the page shows and a write sends their merge.
//
// Layout (little-endian words): 0 rpm breakpoints 12 x 16-bit; 24 pressure breakpoints
// 4 x 16-bit; 32 the 12 x 4 output table, cell (row r, column c) at 32 + 4c + r; 80
// activation delay 16-bit in 25 ms; 82..85 the Ante and Post thresholds; 86 probe-1
// type; 87 probe-2 type (low nibble) and filter (high nibble).

#include <QByteArray>
#include <QtGlobal>
#include <array>

namespace ecudata {

struct EcuImages;

inline constexpr int EmulaBlkSize = 88;
using EmulaBlk = std::array<quint8, EmulaBlkSize>;

// Stores a reply frame to CMD_READ_EMUS or CMD_READ_EMUS_FL: EmulaLine := the frame,
// EmulaBlkData := its data. A reply whose data are not exactly 88 bytes is a failed read
// and changes nothing (False).
bool StoreEmulaReply(const QByteArray& reply, EcuImages& images);

// The block as the installer sees it: as read with the pending edits merged in.
EmulaBlk ShownEmula(const EcuImages& images);

// The bytes of the block in index order, one character per byte.
QByteArray ByteArrayToStr(const EmulaBlk& block);

// The reply frame a read of this block would have brought, as EmulaLine keeps it when
// the block comes from elsewhere (an off-line edit, a parameter file): header 42 01 5C
// 41 00, the data, and 00 in the checksum's place.
QByteArray EmulaReplyLine(const EmulaBlk& block);

} // namespace ecudata
