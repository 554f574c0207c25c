#pragma once

// The pure arithmetic of the flash programming: the 137-byte block frame of
// CMD_WRT_FLASH_ZONE, the 128 image bytes a block carries, blank blocks, and the width
// of the progress bar while the blocks are written.

#include <QByteArray>
#include <QList>
#include <QtGlobal>

namespace comm {
class ClsComm;
}

namespace firmware {

inline constexpr int FlashBlockSize = 128;
inline constexpr int FlashFrameSize = 137;

// Bits 23..16, 15..8 and 7..0 of the address, taken from its value.
QByteArray FlashAddressBytes(qint32 address);

// The 128 image bytes at offset (address minus the flash base) in TableFlash; bytes
// past the table's end read as erased (0xFF).
QByteArray FlashBlockData(const comm::ClsComm& link, qint64 offset);

// All 128 bytes erased: such a block is never sent.
bool IsBlankBlock(const QByteArray& data);

// "A" 0x02 0x87 0x08 0x00, the three address bytes, the 128 data bytes and the
// exclusive-or of the 136 bytes before it.
QByteArray BuildFlashBlockFrame(qint32 address, const QByteArray& data);

// The offsets 0, 128, ... up to largFlash of the blocks that are not blank.
QList<qint64> NonBlankBlockOffsets(const comm::ClsComm& link, qint32 largFlash);

// The bar's width in twips after the block at offset: (backBarWidth - 90) / largFlash x
// offset. A zero-width flash is refused before any block is written, so 0 here.
double BlockProgressWidth(double backBarWidth, qint32 largFlash, qint64 offset);

} // namespace firmware
