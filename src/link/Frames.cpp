#include "link/Frames.h"

#include <array>

namespace comm {

const QString ErrRxCheckSum = "COMUNICATION ERROR: RX CHECK SUM ";
const QString ErrEcoCommand = "COMUNICATION ERROR: ECO COMMAND";
const QString ErrExeErr = "COMUNICATION ERROR: EXE ERR";
const QString ErrTxCheckSum = "COMUNICATION ERROR: TX CHECK SUM";
const QString ErrNotDefine = "COMUNICATION ERROR: NOT DEFINE";
const QString ErrWDog = "COMUNICATION ERROR: WDOG ERR";
const QString LinkBoxTitle = "LX735";

namespace {

constexpr quint8 StatusExeErr = 254;
constexpr quint8 StatusTxCheckSum = 255;

struct NamedCmd {
    quint8 code;
    const char* name;
};

constexpr std::array<NamedCmd, 47> CmdNames{{
    {CMD_GET_ADR_VAR, "CMD_GET_ADR_VAR"},
    {CMD_WRT_MEM_ZONE, "CMD_WRT_MEM_ZONE"},
    {CMD_READ_MEM_ZONE, "CMD_READ_MEM_ZONE"},
    {CMD_SET_ECU_SLAVE, "CMD_SET_ECU_SLAVE"},
    {CMD_SET_ECU_RUN, "CMD_SET_ECU_RUN"},
    {CMD_SET_ECU_PRG, "CMD_SET_ECU_PRG"},
    {CMD_ERASE_FLASH, "CMD_ERASE_FLASH"},
    {CMD_WRT_FLASH_ZONE, "CMD_WRT_FLASH_ZONE"},
    {CMD_GET_ECO, "CMD_GET_ECO"},
    {CMD_WRT_FLASH_END, "CMD_WRT_FLASH_END"},
    {CMD_EOBD, "CMD_EOBD"},
    {CMD_READ_MEM1, "CMD_READ_MEM1"},
    {CMD_READ_MEM2, "CMD_READ_MEM2"},
    {CMD_READ_MEM3, "CMD_READ_MEM3"},
    {CMD_WRT_MEM1, "CMD_WRT_MEM1"},
    {CMD_WRT_MEM2, "CMD_WRT_MEM2"},
    {CMD_WRT_MEM3, "CMD_WRT_MEM3"},
    {CMD_READ_TBL_COR, "CMD_READ_TBL_COR"},
    {CMD_WRT_TBL_COR, "CMD_WRT_TBL_COR"},
    {CMD_CANC_ERR, "CMD_CANC_ERR"},
    {CMD_SAVE_FLASH, "CMD_SAVE_FLASH"},
    {CMD_READ_TBL_ADT, "CMD_READ_TBL_ADT"},
    {CMD_WRT_TBL_ADT, "CMD_WRT_TBL_ADT"},
    {CMD_READ_MEM4, "CMD_READ_MEM4"},
    {CMD_WRT_MEM4, "CMD_WRT_MEM4"},
    {CMD_READ_ERR, "CMD_READ_ERR"},
    {CMD_READ_SMPL_BNZ, "CMD_READ_SMPL_BNZ"},
    {CMD_READ_SMPL_GAS, "CMD_READ_SMPL_GAS"},
    {CMD_CANC_SMPL_BNZ, "CMD_CANC_SMPL_BNZ"},
    {CMD_CANC_SMPL_GAS, "CMD_CANC_SMPL_GAS"},
    {CMD_READ_SMPL_BNZ1, "CMD_READ_SMPL_BNZ1"},
    {CMD_READ_SMPL_GAS1, "CMD_READ_SMPL_GAS1"},
    {CMD_READ_FIRMWARE, "CMD_READ_FIRMWARE"},
    {CMD_WRIT_DCOL, "CMD_WRIT_DCOL"},
    {CMD_READ_DCOL_FL, "CMD_READ_DCOL_FL"},
    {CMD_READ_COMP_RID_TEMP, "CMD_READ_COMP_RID_TEMP"},
    {CMD_READ_COMP_GAS_TEMP, "CMD_READ_COMP_GAS_TEMP"},
    {CMD_READ_COMP_PRES_GAS, "CMD_READ_COMP_PRES_GAS"},
    {CMD_WRITE_COMP_RID_TEMP, "CMD_WRITE_COMP_RID_TEMP"},
    {CMD_WRITE_COMP_GAS_TEMP, "CMD_WRITE_COMP_GAS_TEMP"},
    {CMD_WRITE_COMP_PRES_GAS, "CMD_WRITE_COMP_PRES_GAS"},
    {CMD_READ_EMUS, "CMD_READ_EMUS"},
    {CMD_WRIT_EMUS, "CMD_WRIT_EMUS"},
    {CMD_READ_EMUS_FL, "CMD_READ_EMUS_FL"},
    {CMD_GEN, "CMD_GEN"},
    {CMD_READ_CMP_SMAG, "CMD_READ_CMP_SMAG"},
    {CMD_WRITE_CMP_SMAG, "CMD_WRITE_CMP_SMAG"},
}};

quint8 ByteAt(const QByteArray& s, int position, int needMoreThan) {
    return s.size() > needMoreThan ? static_cast<quint8>(s.at(position - 1)) : 0;
}

} // namespace

QString CmdName(quint8 code) {
    for (const NamedCmd& cmd : CmdNames) {
        if (cmd.code == code) {
            return QString::fromLatin1(cmd.name);
        }
    }
    return QStringLiteral(" XXXXXXXXXX ");
}

QByteArray BuildMsg(quint8 header, quint8 second, quint8 command, const QByteArray& payload) {
    if (payload.size() > MaxPayload) {
        return {};
    }
    QByteArray msg;
    msg.reserve(payload.size() + 5);
    msg.append(static_cast<char>(header));
    msg.append(static_cast<char>(second));
    msg.append(static_cast<char>(payload.size() + 3));
    msg.append(static_cast<char>(command));
    msg.append(payload);
    msg.append(static_cast<char>(CalcCheckSum(msg)));
    return msg;
}

quint8 CalcCheckSum(const QByteArray& s) {
    quint8 sum = 0;
    for (const char c : s) {
        sum ^= static_cast<quint8>(c);
    }
    return sum;
}

quint8 GetMsgHeader(const QByteArray& s) {
    return ByteAt(s, 1, 0);
}
quint8 GetMsgByte2(const QByteArray& s) {
    return ByteAt(s, 2, 1);
}
quint8 GetMsgLen(const QByteArray& s) {
    return ByteAt(s, 3, 2);
}
quint8 GetMsgCmd(const QByteArray& s) {
    return ByteAt(s, 4, 4);
}
quint8 GetMsgStatus(const QByteArray& s) {
    return ByteAt(s, 5, 4);
}

bool CheckEcoCmd(const QByteArray& reply, const QByteArray& sent) {
    if (reply.size() <= 3 || sent.size() <= 3) {
        return false;
    }
    return reply.at(3) == sent.at(3);
}

QByteArray GetMsgData(const QByteArray& frame) {
    if (frame.size() <= 5) {
        return {};
    }
    return frame.mid(5, frame.size() - 6);
}

namespace {
// Header, second byte, length, command echo, status and checksum.
constexpr qsizetype MinReplySize = 6;
} // namespace

QString ReplyCheckFailure(const QByteArray& inBuffer, const QByteArray& outBuffer) {
    // A frame too short to hold its status byte is damaged, whatever its XOR says.
    if (CalcCheckSum(inBuffer) != 0 || inBuffer.size() < MinReplySize) {
        return ErrRxCheckSum;
    }
    if (!CheckEcoCmd(inBuffer, outBuffer)) {
        return ErrEcoCommand;
    }
    switch (GetMsgStatus(inBuffer)) {
    case 0:
        return {};
    case StatusExeErr:
        return ErrExeErr;
    case StatusTxCheckSum:
        return ErrTxCheckSum;
    default:
        return ErrNotDefine;
    }
}

} // namespace comm
