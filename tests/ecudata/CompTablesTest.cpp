#include "ReplyFrames.h"
#include "ecudata/EcuImages.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ecudata;
using ecudata_test::Hex;
using ecudata_test::HexOf;

namespace {

TEST(CompTables, TemperatureTablesAreSignedBytes) {
    CompTbl t{};
    t[0] = -20;
    t[1] = 15;
    t[2] = -128; // as read from a byte 0x80
    t[30] = 1;
    t[31] = 1;
    const QByteArray bytes = CompTblToBytes(t, CompForm::Bytes);
    ASSERT_EQ(bytes.size(), 32);
    EXPECT_EQ(HexOf(bytes.left(3)), "EC0F80") << "0x80 goes back unchanged";
    EXPECT_EQ(HexOf(bytes.right(2)), "0101");

    CompTbl back{};
    ASSERT_TRUE(CompTblFromBytes(bytes, CompForm::Bytes, back));
    EXPECT_EQ(back, t);
}

TEST(CompTables, WritesClampTheTableInPlace) {
    CompTbl t{};
    t[0] = 4500;
    t[1] = -150;
    t[2] = -5;
    t[31] = 32; // leaning table: acceleration steps, clamped like a percent
    const QByteArray bytes = CompTblToBytes(t, CompForm::Words);
    ASSERT_EQ(bytes.size(), 64);
    EXPECT_EQ(HexOf(bytes.left(6)), "A00F9CFF0000");
    EXPECT_EQ(t[0], 4000);
    EXPECT_EQ(t[1], -100);
    EXPECT_EQ(t[2], 0);
    EXPECT_EQ(t[31], 32);

    CompTbl temp{};
    temp[0] = 200;
    temp[3] = 101;
    CompTblToBytes(temp, CompForm::Bytes);
    EXPECT_EQ(temp[0], 127);
    EXPECT_EQ(temp[3], 100);
}

TEST(CompTables, ShortDataChangeNothing) {
    CompTbl t{};
    t.fill(7);
    const CompTbl before = t;
    EXPECT_FALSE(CompTblFromBytes(QByteArray(31, '\x01'), CompForm::Bytes, t));
    EXPECT_FALSE(CompTblFromBytes(QByteArray(63, '\x01'), CompForm::Words, t));
    EXPECT_FALSE(CompTblFromHexLine("0A0B0C0D", CompForm::Words, t));
    EXPECT_FALSE(CompTblFromHexLine(QString(64, 'Z'), CompForm::Bytes, t));
    EXPECT_EQ(t, before);
    EXPECT_TRUE(CompTblFromHexLine(QString(64, 'F') + " ", CompForm::Bytes, t));
    EXPECT_EQ(t[0], -1);
}

struct CompTablesFile : ::testing::Test {
    QTemporaryDir dir;
    EcuImages images;

    QString Write(const QByteArray& text) {
        const QString path = dir.filePath("params.var");
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return path;
    }
};

TEST_F(CompTablesFile, EverySectionIsLoadedAndTheLastOneWins) {
    const QByteArray gas = QByteArray(32, '\x01').toHex().toUpper();
    const QByteArray rid = QByteArray(32, '\xFE').toHex().toUpper();
    const QByteArray press = QByteArray(64, '\x02').toHex().toUpper();
    const QByteArray smag1 = QByteArray(64, '\x03').toHex().toUpper();
    const QByteArray smag2 = QByteArray(64, '\x04').toHex().toUpper();
    const QString path =
        Write("[INFO]\r\n[BLKCompTempGas]\r\n" + gas + "\r\n [BLKCompTempRid] \r\n" + rid +
              "\r\n[BLKCompPress]\r\n" + press + "\r\n[BLKSmagAcc]\r\n" + smag1 +
              "\r\n[BLKSmagAcc]\r\n" + smag2 + "\r\n");
    LoadCompTblsFile(path, images);
    EXPECT_EQ(images.CompTblGasTemp[0], 1);
    EXPECT_EQ(images.CompTblRidTemp[31], -2);
    EXPECT_EQ(images.CompTblPress[5], 0x0202);
    EXPECT_EQ(images.CompTblSmag[0], 0x0404);

    EcuImages other;
    LoadSmagAccFile(path, other);
    EXPECT_EQ(other.CompTblSmag[0], 0x0404);
    EXPECT_EQ(other.CompTblGasTemp[0], 0);
}

TEST_F(CompTablesFile, AnIncompleteOrMissingBlockKeepsTheTable) {
    images.CompTblPress.fill(9);
    images.CompTblGasTemp.fill(9);
    LoadCompTblsFile(Write("[BLKCompPress]\r\n0A000B00\r\n[BLKCompTempGas]\r\n"), images);
    EXPECT_EQ(images.CompTblPress[0], 9);
    EXPECT_EQ(images.CompTblPress[31], 9);
    EXPECT_EQ(images.CompTblGasTemp[0], 9);
    LoadCompTblsFile(dir.filePath("missing.var"), images);
    EXPECT_EQ(images.CompTblPress[0], 9);
}

TEST(EmulaBlock, OnlyAWholeBlockIsStored) {
    EcuImages images;
    QByteArray data(EmulaBlkSize, '\0');
    data[86] = 1;
    data[87] = 0x32;
    const QByteArray frame = ecudata_test::Reply(65, data);
    ASSERT_TRUE(StoreEmulaReply(frame, images));
    EXPECT_EQ(images.EmulaLine, frame);
    EXPECT_EQ(images.EmulaBlkData[87], 0x32);
    EXPECT_EQ(ByteArrayToStr(images.EmulaBlkData), data);

    for (const int size : {87, 89, 0}) {
        EXPECT_FALSE(StoreEmulaReply(ecudata_test::Reply(67, QByteArray(size, '\x05')), images));
    }
    EXPECT_EQ(images.EmulaLine, frame);
    EXPECT_EQ(images.EmulaBlkData[86], 1);
}

} // namespace
