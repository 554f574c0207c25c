#include "firmware/FlashBlocks.h"

#include "link/ClsComm.h"
#include "link/Frames.h"

#include <QList>

namespace firmware {

namespace {

constexpr char Erased = static_cast<char>(0xFF);
constexpr quint8 FrameLength = FlashFrameSize - 2; // everything after the length byte

} // namespace

QByteArray FlashAddressBytes(qint32 address) {
    QByteArray bytes(3, '\0');
    bytes[0] = static_cast<char>((address >> 16) & 0xFF);
    bytes[1] = static_cast<char>((address >> 8) & 0xFF);
    bytes[2] = static_cast<char>(address & 0xFF);
    return bytes;
}

QByteArray FlashBlockData(const comm::ClsComm& link, qint64 offset) {
    QByteArray data(FlashBlockSize, Erased);
    for (int k = 0; k < FlashBlockSize; ++k) {
        if (const std::optional<quint8> byte = link.TableFlash(offset + k)) {
            data[k] = static_cast<char>(*byte);
        }
    }
    return data;
}

bool IsBlankBlock(const QByteArray& data) {
    return std::all_of(data.begin(), data.end(), [](char c) { return c == Erased; });
}

QByteArray BuildFlashBlockFrame(qint32 address, const QByteArray& data) {
    QByteArray frame;
    frame.reserve(FlashFrameSize);
    frame.append(static_cast<char>(comm::ReqHeader));
    frame.append(static_cast<char>(comm::ReqByte2));
    frame.append(static_cast<char>(FrameLength));
    frame.append(static_cast<char>(comm::CMD_WRT_FLASH_ZONE));
    frame.append('\0');
    frame.append(FlashAddressBytes(address));
    frame.append(data.left(FlashBlockSize));
    frame.append(QByteArray(FlashBlockSize - qMin<qsizetype>(data.size(), FlashBlockSize), Erased));
    frame.append(static_cast<char>(comm::CalcCheckSum(frame)));
    return frame;
}

QList<qint64> NonBlankBlockOffsets(const comm::ClsComm& link, qint32 largFlash) {
    QList<qint64> offsets;
    for (qint64 offset = 0; offset <= largFlash; offset += FlashBlockSize) {
        if (!IsBlankBlock(FlashBlockData(link, offset))) {
            offsets.append(offset);
        }
    }
    return offsets;
}

double BlockProgressWidth(double backBarWidth, qint32 largFlash, qint64 offset) {
    if (largFlash <= 0) {
        return 0;
    }
    return (backBarWidth - 90) / largFlash * static_cast<double>(offset);
}

} // namespace firmware
