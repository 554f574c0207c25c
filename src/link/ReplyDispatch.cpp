#include "link/ReplyDispatch.h"

#include "link/ClsComm.h"
#include "link/Frames.h"
#include "link/LinkHost.h"
#include "support/Clock.h"
#include "support/Codepage.h"
#include "support/Conversions.h"

#include <functional>

namespace comm {

namespace {

// The flash-end hold: the ECU restarts meanwhile, so the reply deadline is refreshed.
constexpr int FlashEndHoldSteps = 5;
constexpr double FlashEndHoldStepUsec = 2000000;

// The identity block's two parts, as CMD_READ_MEM_ZONE asks for them.
const QString IdentityCodeAddress = QStringLiteral("00FFE000");
const QString IdentityTextAddress = QStringLiteral("00FFE006");

void Clear(ClsComm& link) {
    link.InBuffer({});
    link.OutBuffer({});
}

void ClearAndSetMode(ClsComm& link, EcuStateCode mode) {
    Clear(link);
    link.EcuState(mode);
}

// Zone data go to the link's host. A link without one is a bare transport (the tests of
// the port and the state machine): it acknowledges such a reply, and the data go nowhere.
// The program's link always has a host; its wiring test checks that.
void ToHost(ClsComm& link, const std::function<void(LinkHost&)>& take) {
    if (LinkHost* host = link.Host()) {
        take(*host);
    }
    Clear(link);
}

void KeepAliveAnswered(ClsComm& link) {
    Clear(link);
    link.WDogPresente(false);
    if (link.MemoDatiCom()) {
        // Still pending when the file could not be written: the next reply tries again.
        link.MemoDatiCom(!link.WriteSetCom(SetComIniPath));
    }
}

void FlashEndHold(ClsComm& link) {
    Clear(link);
    link.LoadWDogSend();
    for (int i = 0; i < FlashEndHoldSteps; ++i) {
        support::PauseUsec(FlashEndHoldStepUsec);
        link.LoadWDogSend();
    }
    link.EcuState(ECU_RUN);
}

} // namespace

void DispatchReply(ClsComm& link) {
    const QByteArray frame = link.InBuffer();
    switch (GetMsgCmd(frame)) {
    case CMD_GET_ADR_VAR:
        link.AggiornaIndVar(frame);
        link.RichiediIndVar(true);
        Clear(link);
        break;
    case CMD_READ_MEM_ZONE:
        DecodeMemZoneReply(link);
        Clear(link);
        break;
    case CMD_SET_ECU_SLAVE:
        ClearAndSetMode(link, ECU_SLAVE);
        break;
    case CMD_SET_ECU_RUN:
        ClearAndSetMode(link, ECU_RUN);
        break;
    case CMD_SET_ECU_PRG:
        ClearAndSetMode(link, ECU_PRG);
        break;
    case CMD_ERASE_FLASH:
    case CMD_WRT_FLASH_ZONE:
        ClearAndSetMode(link, ECU_FLASH_WRT);
        break;
    case CMD_GET_ECO:
        KeepAliveAnswered(link);
        break;
    case CMD_WRT_FLASH_END:
        FlashEndHold(link);
        break;
    case CMD_EOBD:
    case CMD_READ_TBL_COR:
    case CMD_READ_TBL_ADT:
    case CMD_READ_COMP_RID_TEMP:
    case CMD_READ_COMP_GAS_TEMP:
    case CMD_READ_COMP_PRES_GAS:
    case CMD_READ_CMP_SMAG:
        PushReplyQueue(link, GetMsgData(frame));
        Clear(link);
        break;
    case CMD_READ_MEM1:
        ToHost(link, [&](LinkHost& host) { host.ParseMem1(frame); });
        link.LiveStale(false);
        break;
    case CMD_READ_MEM2:
        ToHost(link, [&](LinkHost& host) { host.ParseMem2(frame); });
        break;
    case CMD_READ_MEM3:
        ToHost(link, [&](LinkHost& host) { host.ParseMem3(frame); });
        break;
    case CMD_WRT_MEM2:
        ToHost(link, [&](LinkHost& host) { host.Mem2WriteDone(); });
        break;
    case CMD_CANC_ERR:
        link.ErrInjClr();
        Clear(link);
        break;
    case CMD_READ_ERR:
        DecodeErrInjReply(link);
        Clear(link);
        break;
    case CMD_READ_SMPL_BNZ:
        ToHost(link, [&](LinkHost& host) { host.ParseSmplBnz(frame, 0); });
        break;
    case CMD_READ_SMPL_GAS:
        ToHost(link, [&](LinkHost& host) { host.ParseSmplGas(frame, 0); });
        break;
    case CMD_CANC_SMPL_BNZ:
        ToHost(link, [&](LinkHost& host) { host.ClearSmplBnz(); });
        break;
    case CMD_CANC_SMPL_GAS:
        ToHost(link, [&](LinkHost& host) { host.ClearSmplGas(); });
        break;
    case CMD_READ_SMPL_BNZ1:
        ToHost(link, [&](LinkHost& host) { host.ParseSmplBnz(frame, 1); });
        break;
    case CMD_READ_SMPL_GAS1:
        ToHost(link, [&](LinkHost& host) { host.ParseSmplGas(frame, 1); });
        break;
    case CMD_READ_FIRMWARE:
        DecodeFirmwareReply(link);
        Clear(link);
        break;
    case CMD_READ_DCOL_FL:
        link.MemoDataCollaudo(frame);
        Clear(link);
        break;
    case CMD_READ_EMUS:
    case CMD_READ_EMUS_FL:
        ToHost(link, [&](LinkHost& host) { host.StoreEmulaBlock(frame); });
        break;
    case CMD_WRT_MEM_ZONE:
    case CMD_WRT_MEM1:
    case CMD_WRT_MEM3:
    case CMD_WRT_TBL_COR:
    case CMD_SAVE_FLASH:
    case CMD_WRT_TBL_ADT:
    case CMD_READ_MEM4:
    case CMD_WRT_MEM4:
    case CMD_WRIT_DCOL:
    case CMD_WRITE_COMP_RID_TEMP:
    case CMD_WRITE_COMP_GAS_TEMP:
    case CMD_WRITE_COMP_PRES_GAS:
    case CMD_WRIT_EMUS:
    case CMD_WRITE_CMP_SMAG:
        Clear(link);
        break;
    default:
        break; // CMD_GEN and codes without a name: the buffers stay as they are
    }
}

void DecodeMemZoneReply(ClsComm& link) {
    const QByteArray data = GetMsgData(link.InBuffer());
    const QString address = support::ByteStrToHex(link.OutBuffer().mid(4, 4));
    if ((address == IdentityCodeAddress || address == IdentityTextAddress) && !data.isEmpty()) {
        PushReplyQueue(link, data);
    }
}

void DecodeErrInjReply(ClsComm& link) {
    const QByteArray data = GetMsgData(link.InBuffer());
    for (int i = 0; i < data.size() && i <= link.ErrInjUBound(); ++i) {
        link.ErrInj(static_cast<quint8>(i), static_cast<quint8>(data.at(i)));
    }
}

void DecodeFirmwareReply(ClsComm& link) {
    const QByteArray data = GetMsgData(link.InBuffer());
    link.FirmwareEcu(support::ByteStrToHex(data.left(6)) + support::DecodeCp1252(data.mid(6)));
}

void PushReplyQueue(ClsComm& link, const QByteArray& data) {
    link.Replies().PushReplyQueue(data);
}

QByteArray PopReplyQueue(ClsComm& link) {
    return link.Replies().PopReplyQueue();
}

} // namespace comm
