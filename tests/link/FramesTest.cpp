#include "link/Frames.h"
#include "support/Conversions.h"

#include <gtest/gtest.h>

using namespace comm;

namespace {

QByteArray Hex(QString text) {
    return support::HexToByteStr(text);
}

} // namespace

TEST(BuildMsg, ProbeFrameHasItsWorkedBytes) {
    EXPECT_EQ(BuildMsg(ReqHeader, ReqByte2, CMD_GET_ECO, "ECO"), Hex("4102060945434F05"));
}

TEST(BuildMsg, EmptyPayloadGivesFiveBytesWithLengthThree) {
    const QByteArray msg = BuildMsg(ReqHeader, ReqByte2, CMD_READ_MEM1, {});
    EXPECT_EQ(msg, Hex("4102030C4C"));
    EXPECT_EQ(GetMsgLen(msg), 3);
}

TEST(BuildMsg, ReproducesTheFixedRequestFrames) {
    const struct {
        quint8 cmd;
        const char* payloadHex;
        const char* frameHex;
    } cases[] = {
        {CMD_SAVE_FLASH, "00", "410204150052"},
        {CMD_SET_ECU_SLAVE, "00", "410204040043"},
        {CMD_SET_ECU_RUN, "00", "410204050042"},
        {CMD_READ_COMP_RID_TEMP, "", "4102033676"},
        {CMD_READ_COMP_GAS_TEMP, "", "4102033777"},
        {CMD_READ_COMP_PRES_GAS, "", "4102033878"},
        {CMD_READ_CMP_SMAG, "", "4102035D1D"},
        {CMD_READ_MEM_ZONE, "00FFE00006", "4102080300FFE0000651"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BuildMsg(ReqHeader, ReqByte2, c.cmd, Hex(c.payloadHex)), Hex(c.frameHex))
            << c.frameHex;
    }
}

TEST(BuildMsg, RefusesAPayloadTheLengthByteCannotHold) {
    EXPECT_EQ(BuildMsg(ReqHeader, ReqByte2, CMD_WRT_FLASH_ZONE, QByteArray(252, 'x')).size(), 257);
    EXPECT_TRUE(BuildMsg(ReqHeader, ReqByte2, CMD_WRT_FLASH_ZONE, QByteArray(253, 'x')).isEmpty());
}

TEST(CalcCheckSum, IsTheXorOfAllBytes) {
    EXPECT_EQ(CalcCheckSum({}), 0);
    EXPECT_EQ(CalcCheckSum(Hex("4102041500")), 0x52);
    EXPECT_EQ(CalcCheckSum(Hex("42010409004E")), 0); // an intact frame XORs to 0
}

TEST(FieldPickers, NeedTheirMinimumLength) {
    const QByteArray four = Hex("42010409");
    EXPECT_EQ(GetMsgHeader({}), 0);
    EXPECT_EQ(GetMsgHeader(Hex("42")), 0x42);
    EXPECT_EQ(GetMsgByte2(Hex("42")), 0);
    EXPECT_EQ(GetMsgByte2(Hex("4201")), 0x01);
    EXPECT_EQ(GetMsgLen(Hex("4201")), 0);
    EXPECT_EQ(GetMsgLen(Hex("420104")), 0x04);
    EXPECT_EQ(GetMsgCmd(four), 0) << "byte 4 exists but the picker needs five bytes";
    EXPECT_EQ(GetMsgCmd(Hex("42010409FE")), 0x09);
    EXPECT_EQ(GetMsgStatus(four), 0);
    EXPECT_EQ(GetMsgStatus(Hex("42010409FE")), 0xFE);
}

TEST(GetMsgData, IsTheBytesBetweenStatusAndChecksum) {
    EXPECT_EQ(GetMsgData(Hex("42010409004E")), QByteArray());
    EXPECT_EQ(GetMsgData(Hex("4201050C00AB00")), Hex("AB"));
    EXPECT_EQ(GetMsgData(Hex("4201040900")), QByteArray());
}

TEST(CheckEcoCmd, ComparesTheFourthBytes) {
    EXPECT_TRUE(CheckEcoCmd(Hex("42010409"), Hex("41020609")));
    EXPECT_FALSE(CheckEcoCmd(Hex("4201040C"), Hex("41020609")));
    EXPECT_FALSE(CheckEcoCmd(Hex("420104"), Hex("41020609")));
    EXPECT_FALSE(CheckEcoCmd(Hex("42010409"), Hex("410206")));
}

TEST(ReplyCheckFailure, TestsChecksumThenEchoThenStatus) {
    const QByteArray probe = BuildMsg(ReqHeader, ReqByte2, CMD_GET_ECO, "ECO");
    const struct {
        const char* replyHex;
        QString text;
    } cases[] = {
        {"42010409004E", ""},
        {"42010409004E00", ""}, // trailing zero byte keeps the XOR at 0
        {"42010409004F", ErrRxCheckSum},
        {"4201040C004B", ErrEcoCommand},
        {"4201040CFEB5", ErrEcoCommand}, // echo is tested before the status
        {"4201040C004A", ErrRxCheckSum}, // checksum before the echo
        {"42010409FEB0", ErrExeErr},
        {"42010409FFB1", ErrTxCheckSum},
        {"42010409014F", ErrNotDefine},
        {"42010409004E01", ErrRxCheckSum}, // bytes beyond the frame take part
        {"42014A09", ErrRxCheckSum},       // XOR 0 and the echo, but no status byte
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReplyCheckFailure(Hex(c.replyHex), probe), c.text) << c.replyHex;
    }
    EXPECT_EQ(ErrRxCheckSum, "COMUNICATION ERROR: RX CHECK SUM ");
    EXPECT_EQ(ErrEcoCommand, "COMUNICATION ERROR: ECO COMMAND");
    EXPECT_EQ(ErrExeErr, "COMUNICATION ERROR: EXE ERR");
    EXPECT_EQ(ErrTxCheckSum, "COMUNICATION ERROR: TX CHECK SUM");
    EXPECT_EQ(ErrNotDefine, "COMUNICATION ERROR: NOT DEFINE");
}

TEST(CmdName, NamesTheTableAndMarksOtherCodes) {
    EXPECT_EQ(CmdName(CMD_GET_ECO), "CMD_GET_ECO");
    EXPECT_EQ(CmdName(CMD_WRIT_DCOL), "CMD_WRIT_DCOL");
    EXPECT_EQ(CmdName(CMD_READ_CMP_SMAG), "CMD_READ_CMP_SMAG");
    EXPECT_EQ(CmdName(CMD_WRITE_CMP_SMAG), "CMD_WRITE_CMP_SMAG");
    EXPECT_EQ(CmdName(CMD_GEN), "CMD_GEN");
    int named = 0;
    for (int code = 0; code < 256; ++code) {
        named += CmdName(static_cast<quint8>(code)) != " XXXXXXXXXX ";
    }
    EXPECT_EQ(named, 47);
    for (int code : {0, 34, 40, 43, 45, 49, 60, 68, 71, 92, 95, 255}) {
        EXPECT_EQ(CmdName(static_cast<quint8>(code)), " XXXXXXXXXX ") << code;
    }
}
