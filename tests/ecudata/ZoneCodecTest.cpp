#include "ecudata/ZoneCodec.h"

#include <gtest/gtest.h>

using namespace ecudata;

TEST(ZoneDecoders, LowByteFirstSignedAndUnsigned) {
    EXPECT_EQ(HexToInt16("FFFF"), -1);
    EXPECT_EQ(HexToUInt16("FFFF"), 65535);
    EXPECT_EQ(HexToInt16("0080"), -32768);
    EXPECT_EQ(HexToUInt16("3412"), 0x1234);
    EXPECT_EQ(HexToUInt32("78563412"), 305419896.0);
    EXPECT_EQ(HexToUInt32("FFFFFFFF"), 4294967295.0);
    EXPECT_EQ(HexToByte("31"), 0x31);
}

TEST(ZoneDecoders, ShortTextIsPaddedOnTheRightAndBadTextIsZero) {
    EXPECT_EQ(HexToByte("A"), 160);
    EXPECT_EQ(HexToUInt16("01"), 1);
    EXPECT_EQ(HexToUInt16(""), 0);
    EXPECT_EQ(HexToUInt16("ZZ"), 0);
    EXPECT_EQ(HexToInt16("1G00"), 0);
    EXPECT_EQ(HexToUInt32(""), 0.0);
}

TEST(Int32ToHex, RoundsHalfToEvenAndRefusesOutOfRange) {
    EXPECT_EQ(Int32ToHex(258), "00000102");
    EXPECT_EQ(Int32ToHex(-1), "FFFFFFFF");
    EXPECT_EQ(Int32ToHex(-256), "FFFFFF00");
    EXPECT_EQ(Int32ToHex(2.5), "00000002");
    EXPECT_EQ(Int32ToHex(3.5), "00000004");
    EXPECT_EQ(Int32ToHex(2147483647), "7FFFFFFF");
    EXPECT_EQ(Int32ToHex(-2147483647), "80000001");
    EXPECT_EQ(Int32ToHex(3000000000.0), "0");
    EXPECT_EQ(Int32ToHex(-2147483648.0), "0");
}

TEST(SignedBytes, FullEightBitRangeRoundTrips) {
    EXPECT_EQ(SignedToByte(-1), 255);
    EXPECT_EQ(SignedToByte(127), 127);
    EXPECT_EQ(SignedToByte(-20), 0xEC);
    // A byte 0x80 read from the ECU must go back as 0x80, not as 0.
    EXPECT_EQ(SignedToByte(-128), 0x80);
    EXPECT_EQ(SignedToByte(128), 0);
    EXPECT_EQ(SignedToByte(-129), 0);
    EXPECT_EQ(ByteToSigned(200), -56);
    EXPECT_EQ(ByteToSigned(127), 127);
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(SignedToByte(ByteToSigned(static_cast<quint8>(b))), b);
    }
}

TEST(HexReader, WalksFieldsAndReadsZeroPastTheEnd) {
    HexReader r("3412FF0080");
    EXPECT_EQ(r.UInt16(), 0x1234);
    EXPECT_EQ(r.Byte(), 255);
    EXPECT_EQ(r.Int16(), -32768);
    EXPECT_EQ(r.Byte(), 0);
    EXPECT_EQ(r.UInt32(), 0.0);
}

TEST(HexWriter, FieldsGoLowByteFirstAndStayInTheirRange) {
    HexWriter w;
    w.Word(6000);                 // 0x1770
    w.Byte(3);                    // 0x03
    w.Word(-1, HexConv::Int16);   // 0xFFFF
    w.Long(-1);                   // reset request
    w.Long(1234);                 // 0x000004D2
    w.Word(375000);               // beyond 16 bits: 0xFFFF, not a wrapped 0xB8D8
    w.Word(-5, HexConv::Double);  // below 0: 0
    w.Byte(300, HexConv::Double); // beyond a byte: 0xFF
    w.Word(-40000, HexConv::Int16);
    EXPECT_EQ(w.Text(), "701703FFFFFFFFFFFFD2040000FFFF0000FF0280");
}

TEST(HexWriter, EveryConverterTakesTheNearestWholeNumber) {
    HexWriter w;
    w.Word(79.75, HexConv::Int16); // digit by digit this would be 0x4F
    w.Word(79.75, HexConv::Double);
    w.Word(79.5, HexConv::Int32); // an exact half to the even one
    w.Word(-0.6, HexConv::Int16);
    EXPECT_EQ(w.Text(), "500050005000FFFF");
}

TEST(HexWriter, ScaledBackValuesKeepTheirWholeNumber) {
    // A raw value read, scaled to ms and divided back must give the same raw value.
    for (int raw : {15, 16, 255, 256, 4095, 4096, 6250, 65535}) {
        const double scaled = raw * 0.008;
        HexWriter w;
        w.Word(scaled / 0.008, HexConv::Double);
        w.Word(scaled / 0.008, HexConv::Int16);
        HexReader r(w.Text());
        EXPECT_EQ(r.UInt16(), raw) << raw;
        if (raw <= 32767) {
            EXPECT_EQ(r.Int16(), raw) << raw;
        }
    }
}
