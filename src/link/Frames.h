#pragma once

// The wire protocol: request "A" 0x02 LEN CMD payload CHK, reply "B" 0x01 LEN CMD
// STATUS data CHK, where LEN counts everything after itself and CHK makes the XOR of
// the whole frame 0. Frames are byte strings; positions below count from 1.

#include <QByteArray>
#include <QString>

namespace comm {

enum CmdCode : quint8 {
    CMD_GET_ADR_VAR = 1,
    CMD_WRT_MEM_ZONE = 2,
    CMD_READ_MEM_ZONE = 3,
    CMD_SET_ECU_SLAVE = 4,
    CMD_SET_ECU_RUN = 5,
    CMD_SET_ECU_PRG = 6,
    CMD_ERASE_FLASH = 7,
    CMD_WRT_FLASH_ZONE = 8,
    CMD_GET_ECO = 9,
    CMD_WRT_FLASH_END = 10,
    CMD_EOBD = 11,
    CMD_READ_MEM1 = 12,
    CMD_READ_MEM2 = 13,
    CMD_READ_MEM3 = 14,
    CMD_WRT_MEM1 = 15,
    CMD_WRT_MEM2 = 16,
    CMD_WRT_MEM3 = 17,
    CMD_READ_TBL_COR = 18,
    CMD_WRT_TBL_COR = 19,
    CMD_CANC_ERR = 20,
    CMD_SAVE_FLASH = 21,
    CMD_READ_TBL_ADT = 22,
    CMD_WRT_TBL_ADT = 23,
    CMD_READ_MEM4 = 24,
    CMD_WRT_MEM4 = 25,
    CMD_READ_ERR = 26,
    CMD_READ_SMPL_BNZ = 27,
    CMD_READ_SMPL_GAS = 28,
    CMD_CANC_SMPL_BNZ = 29,
    CMD_CANC_SMPL_GAS = 30,
    CMD_READ_SMPL_BNZ1 = 31,
    CMD_READ_SMPL_GAS1 = 32,
    CMD_READ_FIRMWARE = 33,
    CMD_WRIT_DCOL = 44,
    CMD_READ_DCOL_FL = 48,
    CMD_READ_COMP_RID_TEMP = 54,
    CMD_READ_COMP_GAS_TEMP = 55,
    CMD_READ_COMP_PRES_GAS = 56,
    CMD_WRITE_COMP_RID_TEMP = 57,
    CMD_WRITE_COMP_GAS_TEMP = 58,
    CMD_WRITE_COMP_PRES_GAS = 59,
    CMD_READ_EMUS = 65,
    CMD_WRIT_EMUS = 66,
    CMD_READ_EMUS_FL = 67,
    CMD_GEN = 70,
    CMD_READ_CMP_SMAG = 93,
    CMD_WRITE_CMP_SMAG = 94,
};

constexpr quint8 ReqHeader = 0x41;
constexpr quint8 ReqByte2 = 0x02;
constexpr quint8 ReplyHeader = 0x42;
constexpr quint8 ReplyByte2 = 0x01;
constexpr int MaxPayload = 252;
// The longest frame the length byte can describe (LEN 255 and the two bytes before it).
constexpr qsizetype MaxFrameSize = 255 + 2;

// The name the link log writes for a command; " XXXXXXXXXX " for a code without one.
QString CmdName(quint8 code);

// header, second, payload length + 3, command, payload, checksum. A payload longer
// than the length byte can describe gives an empty frame rather than a corrupt one.
QByteArray BuildMsg(quint8 header, quint8 second, quint8 command, const QByteArray& payload);

// XOR of all bytes; 0 for an empty string.
quint8 CalcCheckSum(const QByteArray& s);

// Field pickers: 0 when the string is too short for them.
quint8 GetMsgHeader(const QByteArray& s); // byte 1
quint8 GetMsgByte2(const QByteArray& s);  // byte 2
quint8 GetMsgLen(const QByteArray& s);    // byte 3
quint8 GetMsgCmd(const QByteArray& s);    // byte 4, needs at least 5 bytes
quint8 GetMsgStatus(const QByteArray& s); // byte 5

// Byte 4 of both equal; False when either has 3 bytes or fewer.
bool CheckEcoCmd(const QByteArray& reply, const QByteArray& sent);

// The reply data: positions 6 up to the last byte, not including it.
QByteArray GetMsgData(const QByteArray& frame);

// The first failing test of a complete reply against the request it answers, as the
// text the link shows; "" when the reply is good. The tests run in this order: the
// checksum over every received byte, the command echo, the status byte.
QString ReplyCheckFailure(const QByteArray& inBuffer, const QByteArray& outBuffer);

// Texts of the link's failures.
extern const QString ErrRxCheckSum;
extern const QString ErrEcoCommand;
extern const QString ErrExeErr;
extern const QString ErrTxCheckSum;
extern const QString ErrNotDefine;
extern const QString ErrWDog;
// The title of the link's message boxes.
extern const QString LinkBoxTitle;

} // namespace comm
