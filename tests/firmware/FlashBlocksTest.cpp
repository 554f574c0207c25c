#include "firmware/FlashBlocks.h"
#include "link/ClsComm.h"
#include "platform/FtdiFake.h"
#include "platform/SerialPosix.h"

#include <gtest/gtest.h>

using namespace firmware;

TEST(FlashBlocks, AddressBytesComeFromTheValue) {
    struct Case {
        qint32 address;
        QByteArray bytes;
    };
    const Case cases[] = {
        {0xF80080, QByteArray::fromHex("F80080")},
        {0x0F8000, QByteArray::fromHex("0F8000")}, // five hex digits: still three bytes
        {0x100000, QByteArray::fromHex("100000")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FlashAddressBytes(c.address), c.bytes) << std::hex << c.address;
    }
}

TEST(FlashBlocks, FrameCarriesHeaderAddressDataAndChecksum) {
    const QByteArray frame = BuildFlashBlockFrame(0x100000, QByteArray(FlashBlockSize, '\0'));
    ASSERT_EQ(frame.size(), FlashFrameSize);
    EXPECT_EQ(frame.left(8), QByteArray::fromHex("4102870800100000"));
    EXPECT_EQ(frame.mid(8, 128), QByteArray(128, '\0'));
    EXPECT_EQ(static_cast<quint8>(frame.back()), 0xDC);

    QByteArray data(FlashBlockSize, '\x5A');
    data[127] = '\x01';
    const QByteArray other = BuildFlashBlockFrame(0xF80080, data);
    quint8 all = 0;
    for (const char b : other) {
        all ^= static_cast<quint8>(b);
    }
    EXPECT_EQ(all, 0) << "the checksum covers every byte before it";
    EXPECT_EQ(other.mid(8, 128), data);
}

TEST(FlashBlocks, BlocksPastTheTableReadErasedAndBlankBlocksAreKnown) {
    platform::PosixSerialPort serial;
    platform::FakeFtdiDriver ftdi;
    comm::ClsComm link("/nowhere", serial, ftdi);
    ASSERT_TRUE(link.RedimTableFlash(199, false)); // 200 bytes: the second block is short
    for (qint64 i = 0; i < 200; ++i) {
        link.TableFlash(i, i < 128 ? 0xFF : 0x11);
    }
    EXPECT_TRUE(IsBlankBlock(FlashBlockData(link, 0)));
    const QByteArray tail = FlashBlockData(link, 128);
    EXPECT_EQ(tail, QByteArray(72, '\x11') + QByteArray(56, '\xFF'));
    EXPECT_FALSE(IsBlankBlock(tail));
    link.TableFlash(5, 0xFE);
    EXPECT_FALSE(IsBlankBlock(FlashBlockData(link, 0))) << "one byte not erased makes it whole";
    EXPECT_EQ(NonBlankBlockOffsets(link, 199), (QList<qint64>{0, 128}));
}

TEST(FlashBlocks, ProgressGrowsWithTheOffset) {
    EXPECT_EQ(BlockProgressWidth(7290, 0x7FFFF, 0), 0);
    EXPECT_DOUBLE_EQ(BlockProgressWidth(7290, 0x7FFFF, 0x7FFFF), 7200);
    EXPECT_DOUBLE_EQ(BlockProgressWidth(7290, 0x7FFFF, 0x40000), 7200.0 / 0x7FFFF * 0x40000);
    EXPECT_EQ(BlockProgressWidth(7290, 0, 0), 0) << "a zero-width map divides nothing";
}
