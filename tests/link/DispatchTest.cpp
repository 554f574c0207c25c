#include "LinkFixture.h"
#include "LinkRig.h"
#include "link/Frames.h"
#include "link/ReplyDispatch.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace comm;
using link_test::LinkInTree;
using link_test::TestHost;

namespace {

QByteArray Reply(quint8 command, const QByteArray& data = {}) {
    return BuildMsg(ReplyHeader, ReplyByte2, command, QByteArray(1, '\0') + data);
}

struct DispatchRig : LinkInTree {
    TestHost host;
    DispatchRig() { link.Host(&host); }
    void Dispatch(quint8 command, const QByteArray& data = {},
                  const QByteArray& requestPayload = {}) {
        link.OutBuffer(BuildMsg(ReqHeader, ReqByte2, command, requestPayload));
        link.InBuffer(Reply(command, data));
        DispatchReply(link);
    }
};

} // namespace

TEST(DispatchReply, ModesAndAcknowledgementsClearTheBuffers) {
    const struct {
        quint8 command;
        int mode; // -1: unchanged
    } cases[] = {{CMD_SET_ECU_SLAVE, ECU_SLAVE},
                 {CMD_SET_ECU_RUN, ECU_RUN},
                 {CMD_SET_ECU_PRG, ECU_PRG},
                 {CMD_ERASE_FLASH, ECU_FLASH_WRT},
                 {CMD_WRT_FLASH_ZONE, ECU_FLASH_WRT},
                 {CMD_SAVE_FLASH, -1},
                 {CMD_WRT_MEM3, -1},
                 {CMD_WRITE_CMP_SMAG, -1},
                 {CMD_WRIT_DCOL, -1},
                 {CMD_WRT_TBL_COR, -1}};
    for (const auto& c : cases) {
        DispatchRig rig;
        rig.link.EcuState(ECU_SLAVE);
        rig.Dispatch(c.command);
        EXPECT_TRUE(rig.link.InBuffer().isEmpty()) << int(c.command);
        EXPECT_TRUE(rig.link.OutBuffer().isEmpty()) << int(c.command);
        EXPECT_EQ(rig.link.EcuState(), c.mode < 0 ? ECU_SLAVE : c.mode) << int(c.command);
    }
}

TEST(DispatchReply, CodesOutsideTheTableKeepTheBuffers) {
    for (const quint8 command : {quint8{40}, quint8{CMD_GEN}, quint8{0}}) {
        DispatchRig rig;
        rig.Dispatch(command, "zz");
        EXPECT_EQ(rig.link.InBuffer(), Reply(command, "zz"));
        EXPECT_FALSE(rig.link.OutBuffer().isEmpty());
        EXPECT_EQ(rig.link.Replies().Pending(), 0);
    }
}

TEST(DispatchReply, TableReadsQueueTheirData) {
    DispatchRig rig;
    for (const quint8 command :
         {CMD_EOBD, CMD_READ_TBL_COR, CMD_READ_TBL_ADT, CMD_READ_COMP_RID_TEMP,
          CMD_READ_COMP_GAS_TEMP, CMD_READ_COMP_PRES_GAS, CMD_READ_CMP_SMAG}) {
        rig.Dispatch(command, QByteArray(1, static_cast<char>(command)));
    }
    for (const quint8 command :
         {CMD_EOBD, CMD_READ_TBL_COR, CMD_READ_TBL_ADT, CMD_READ_COMP_RID_TEMP,
          CMD_READ_COMP_GAS_TEMP, CMD_READ_COMP_PRES_GAS, CMD_READ_CMP_SMAG}) {
        EXPECT_EQ(PopReplyQueue(rig.link), QByteArray(1, static_cast<char>(command)));
    }
}

TEST(DispatchReply, MemoryZoneQueuesOnlyTheIdentityAddresses) {
    const struct {
        const char* request;
        QByteArray data;
        bool queued;
    } cases[] = {{"00FFE00006", "abcdef", true},
                 {"00FFE00620", "descriptor", true},
                 {"00FFE00620", "", false},
                 {"00FFE01006", "abcdef", false}};
    for (const auto& c : cases) {
        DispatchRig rig;
        rig.Dispatch(CMD_READ_MEM_ZONE, c.data, QByteArray::fromHex(c.request));
        EXPECT_EQ(rig.link.Replies().Pending(), c.queued ? 1 : 0) << c.request;
        EXPECT_TRUE(rig.link.InBuffer().isEmpty());
    }
}

TEST(DispatchReply, ErrorBytesFirmwareAndTestRecord) {
    DispatchRig rig;
    for (quint8 i = 0; i < 64; ++i) {
        rig.link.ErrInj(i, 9);
    }
    rig.Dispatch(CMD_READ_ERR, QByteArray::fromHex("0102030405060708"));
    EXPECT_EQ(rig.link.ErrInj(0), 1);
    EXPECT_EQ(rig.link.ErrInj(7), 8);
    EXPECT_EQ(rig.link.ErrInj(8), 9);
    rig.Dispatch(CMD_READ_ERR, QByteArray(70, '\x04'));
    EXPECT_EQ(rig.link.ErrInj(63), 4);

    rig.Dispatch(CMD_READ_FIRMWARE, QByteArray::fromHex("011214042011") + "LX735 CLIENT X1");
    EXPECT_EQ(rig.link.FirmwareEcu(), "011214042011LX735 CLIENT X1");
    rig.Dispatch(CMD_READ_FIRMWARE, QByteArray::fromHex("0A0B0C"));
    EXPECT_EQ(rig.link.FirmwareEcu(), "0A0B0C");

    rig.Dispatch(CMD_READ_DCOL_FL, "0123456789ABCDEF");
    EXPECT_EQ(rig.link.MemoDataCollaudo(), Reply(CMD_READ_DCOL_FL, "0123456789ABCDEF"));

    rig.Dispatch(CMD_GET_ADR_VAR, QByteArray::fromHex("0A0B"));
    EXPECT_TRUE(rig.link.RichiediIndVar());
    EXPECT_EQ(rig.link.IndVar(1), 0x0B);
    EXPECT_EQ(rig.link.IndVar(2), -1);
}

TEST(DispatchReply, ZoneRepliesGoToTheHostAsWholeFrames) {
    DispatchRig rig;
    const struct {
        quint8 command;
        const char* call;
        bool frame;
    } cases[] = {
        {CMD_READ_MEM1, "ParseMem1", true},          {CMD_READ_MEM2, "ParseMem2", true},
        {CMD_READ_MEM3, "ParseMem3", true},          {CMD_READ_SMPL_BNZ, "ParseSmplBnz0", true},
        {CMD_READ_SMPL_GAS, "ParseSmplGas0", true},  {CMD_READ_SMPL_BNZ1, "ParseSmplBnz1", true},
        {CMD_READ_SMPL_GAS1, "ParseSmplGas1", true}, {CMD_CANC_SMPL_BNZ, "ClearSmplBnz", false},
        {CMD_CANC_SMPL_GAS, "ClearSmplGas", false},  {CMD_WRT_MEM2, "Mem2WriteDone", false},
        {CMD_READ_EMUS, "StoreEmulaBlock", true},    {CMD_READ_EMUS_FL, "StoreEmulaBlock", true}};
    for (const auto& c : cases) {
        rig.host.calls.clear();
        rig.Dispatch(c.command, "data");
        ASSERT_EQ(rig.host.calls.size(), 1) << c.call;
        EXPECT_EQ(rig.host.calls[0].first, c.call);
        EXPECT_EQ(rig.host.calls[0].second, c.frame ? Reply(c.command, "data") : QByteArray());
        EXPECT_TRUE(rig.link.InBuffer().isEmpty());
    }
}

TEST(DispatchReply, WithoutAHostZoneRepliesAreOnlyAcknowledged) {
    LinkInTree t;
    t.link.InBuffer(Reply(CMD_READ_MEM1, "x"));
    DispatchReply(t.link);
    EXPECT_TRUE(t.link.InBuffer().isEmpty());
}

TEST(DispatchReply, KeepAliveWritesThePendingSettingsFileOnce) {
    DispatchRig rig;
    rig.link.ReadSetCom(SetComIniPath); // no file yet
    ASSERT_TRUE(rig.link.MemoDatiCom());
    rig.link.WDogPresente(true);
    rig.Dispatch(CMD_GET_ECO, "ECO");
    EXPECT_FALSE(rig.link.WDogPresente());
    EXPECT_FALSE(rig.link.MemoDatiCom());
    ASSERT_TRUE(QFile::remove(rig.tree.Path("BIN/SetCom.ini")));
    rig.Dispatch(CMD_GET_ECO, "ECO");
    EXPECT_FALSE(QFile::exists(rig.tree.Path("BIN/SetCom.ini")));
}

TEST(DispatchReply, ASettingsFileThatCannotBeWrittenStaysPending) {
    DispatchRig rig;
    rig.link.ReadSetCom(SetComIniPath);
    ASSERT_TRUE(QDir(rig.tree.Path("BIN")).removeRecursively());
    rig.Dispatch(CMD_GET_ECO, "ECO");
    EXPECT_TRUE(rig.link.MemoDatiCom());
    ASSERT_TRUE(QDir().mkpath(rig.tree.Path("BIN")));
    rig.Dispatch(CMD_GET_ECO, "ECO");
    EXPECT_FALSE(rig.link.MemoDatiCom());
    EXPECT_TRUE(QFile::exists(rig.tree.Path("BIN/SetCom.ini")));
}

TEST(DispatchReply, FlashEndHoldsTenSecondsWithTheDeadlineRefreshed) {
    testing_support::FakeTime time;
    DispatchRig rig;
    rig.link.EcuState(ECU_FLASH_WRT);
    const double start = time.NowUsec();
    rig.Dispatch(CMD_WRT_FLASH_END);
    EXPECT_GE(time.NowUsec() - start, 10e6);
    EXPECT_LT(time.NowUsec() - start, 10.1e6);
    EXPECT_EQ(rig.link.EcuState(), ECU_RUN);
    time.Advance(4e6);
    EXPECT_TRUE(rig.link.CkWDogSend());
}
