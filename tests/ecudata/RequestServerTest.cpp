// The request server and the zone exchanges against the simulated ECU.

#include "ecudata/RequestServer.h"
#include "EcuRig.h"
#include "link/Frames.h"
#include "sim/Memory.h"

#include <gtest/gtest.h>

using namespace ecudata;
using namespace comm;
using ecudata_test::EcuRig;

namespace {

sim::Fault Fault(sim::FaultKind kind, quint8 command, int count) {
    sim::Fault fault;
    fault.kind = kind;
    fault.command = command;
    fault.count = count;
    return fault;
}

TEST(RequestServer, AWriteWaitsForAFreshReadAndIsReadBack) {
    EcuRig rig;
    ASSERT_TRUE(rig.Connect());
    const QByteArray factory = rig.ecu.Ram().zone3;
    rig.requests.ReqWriteMem3 = true;
    rig.requests.ReqReadMem3 = true;
    rig.images.Mem3Write.SwitchTemp = 55;
    const qsizetype start = rig.ecu.CommandLog().size();

    ServeEcuRequest(rig.link, rig.model);
    EXPECT_EQ(rig.Commands(start), QList<quint8>{CMD_READ_MEM3});
    EXPECT_FALSE(rig.requests.ReqReadMem3);
    EXPECT_TRUE(rig.requests.ReqWriteMem3);

    ServeEcuRequest(rig.link, rig.model);
    EXPECT_EQ(rig.Commands(start), (QList<quint8>{CMD_READ_MEM3, CMD_WRT_MEM3}));
    EXPECT_FALSE(rig.requests.ReqWriteMem3);
    EXPECT_TRUE(rig.requests.ReqReadMem3);

    ServeEcuRequest(rig.link, rig.model);
    EXPECT_EQ(rig.Commands(start), (QList<quint8>{CMD_READ_MEM3, CMD_WRT_MEM3, CMD_READ_MEM3}));
    EXPECT_FALSE(rig.requests.ReqReadMem3);

    QByteArray expected = factory;
    sim::PutU16(expected, sim::kZ3SwitchTemp, 55);
    EXPECT_EQ(rig.ecu.Ram().zone3, expected) << "only the edited field changed";
    EXPECT_EQ(rig.images.Mem3Data.SwitchTemp, 55);
    EXPECT_EQ(rig.images.Mem3Write.SwitchTemp, -1.0);
}

TEST(RequestServer, ServesOneFlagPerCallInItsFixedOrder) {
    EcuRig rig;
    ASSERT_TRUE(rig.Connect());
    EcuRequests& r = rig.requests;
    for (bool* flag : {&r.ReqWriteMem3, &r.ReqWriteEmus, &r.ReqWriteMem2, &r.ReqSaveFlash,
                       &r.ReqEcuMode, &r.ReqReadTblCor, &r.ReqReadEmus, &r.ReqReadMem3,
                       &r.ReqReadDcol, &r.ReqReadMem2, &r.ReqReadMem1, &r.ReqReadSmplBnz,
                       &r.ReqReadSmplGas, &r.ReqCancSmplBnz, &r.ReqCancSmplGas, &r.ReqReadComp}) {
        *flag = true;
    }
    const qsizetype start = rig.ecu.CommandLog().size();
    for (int call = 0; call < 16; ++call) {
        ASSERT_TRUE(rig.Connect());
        ServeEcuRequest(rig.link, rig.model);
    }
    EXPECT_TRUE(r.ReqReadComp) << "each write raises its read again";
    EXPECT_TRUE(rig.ServeAll());
    const QList<quint8> expected = {
        CMD_SAVE_FLASH,         CMD_SET_ECU_SLAVE,      CMD_READ_TBL_COR,   CMD_READ_TBL_COR,
        CMD_READ_TBL_COR,       CMD_READ_TBL_COR,       CMD_READ_EMUS,      CMD_WRIT_EMUS,
        CMD_READ_EMUS,          CMD_READ_MEM3,          CMD_WRT_MEM3,       CMD_READ_MEM3,
        CMD_READ_DCOL_FL,       CMD_READ_MEM2,          CMD_WRT_MEM2,       CMD_READ_MEM2,
        CMD_READ_MEM1,          CMD_READ_SMPL_BNZ,      CMD_READ_SMPL_BNZ1, CMD_READ_SMPL_GAS,
        CMD_READ_SMPL_GAS1,     CMD_CANC_SMPL_BNZ,      CMD_CANC_SMPL_GAS,  CMD_READ_COMP_RID_TEMP,
        CMD_READ_COMP_GAS_TEMP, CMD_READ_COMP_PRES_GAS, CMD_READ_CMP_SMAG};
    EXPECT_EQ(rig.Commands(start), expected);
}

TEST(RequestServer, NothingIsServedWhileTheLinkIsBusyOrTheEcuNotAccepted) {
    EcuRig rig;
    ASSERT_TRUE(rig.Connect());
    rig.requests.ReqReadMem2 = true;
    const qsizetype start = rig.ecu.CommandLog().size();
    rig.requests.FirmwareOk = false;
    ServeEcuRequest(rig.link, rig.model);
    rig.requests.FirmwareOk = true;
    rig.link.ComState(COM_WAIT_REPLY);
    ServeEcuRequest(rig.link, rig.model);
    EXPECT_TRUE(rig.Commands(start).isEmpty());
    EXPECT_TRUE(rig.requests.ReqReadMem2);
}

TEST(RequestServer, AFailedWriteKeepsTheEditAndSucceedsOnRetry) {
    EcuRig rig;
    ASSERT_TRUE(rig.Connect());
    rig.requests.ReqWriteMem3 = true;
    rig.requests.ReqReadMem3 = true;
    rig.images.Mem3Write.SwitchTemp = 55;
    rig.images.Mem3Write.CylTime[2] = 0.08;
    rig.FailNext(CMD_WRT_MEM3, 3); // the request and both resends are lost

    ServeEcuRequest(rig.link, rig.model); // the fresh read
    ServeEcuRequest(rig.link, rig.model);
    EXPECT_EQ(rig.Received(CMD_WRT_MEM3), 3);
    EXPECT_TRUE(rig.requests.ReqWriteMem3);
    EXPECT_TRUE(rig.requests.ReqReadMem3);
    EXPECT_EQ(rig.images.Mem3Write.SwitchTemp, 55);
    EXPECT_EQ(rig.images.Mem3Write.CylTime[2], 0.08);

    ASSERT_TRUE(rig.ServeAll());
    EXPECT_EQ(sim::GetU16(rig.ecu.Ram().zone3, sim::kZ3SwitchTemp), 55);
    EXPECT_EQ(sim::GetS16(rig.ecu.Ram().zone3, sim::kZ3CylTime + 2 * (7 - 2)), 10);
    EXPECT_EQ(rig.images.Mem3Data.SwitchTemp, 55);
    EXPECT_EQ(rig.images.Mem3Write.SwitchTemp, -1.0);
}

TEST(RequestServer, AWantedFlagReachesTheEcuWhateverBecameOfItsReply) {
    for (const auto kind : {sim::FaultKind::Silence, sim::FaultKind::BadChecksum}) {
        EcuRig rig;
        ASSERT_TRUE(rig.Connect());
        const quint8 before = static_cast<quint8>(rig.ecu.Ram().zone2[sim::kZ2Flags]);
        rig.images.Mem2Write.WantFlags(0x02, !(before & 0x02));
        rig.requests.ReqWriteMem2 = true;
        rig.requests.ReqReadMem2 = true;
        // Silence: the write never arrives; bad checksum: it lands, its replies are lost.
        rig.ecu.AddFault(Fault(kind, CMD_WRT_MEM2, 3));
        ASSERT_TRUE(rig.ServeAll());
        const auto after = static_cast<quint8>(rig.ecu.Ram().zone2[sim::kZ2Flags]);
        EXPECT_EQ(after, before ^ 0x02) << sim::FaultKindName(kind).toStdString();
        EXPECT_EQ(rig.images.Mem2Data.Flags, after);
        EXPECT_EQ(rig.images.Mem2Write.FlagsMask, 0);
    }
}

// Only a write the ECU answers with a refusal on every try is one it refuses: a lost
// reply or a refusal the resend gets past is the link's matter. Either failure keeps the
// edit for the next write.
TEST(RequestServer, AWriteIsRefusedOnlyWhenEveryTryIsRefused) {
    const struct {
        const char* name;
        sim::FaultKind kind;
        int count;
        bool written, refused;
    } cases[] = {
        {"refused on every try", sim::FaultKind::Status, sim::kForever, false, true},
        {"refused once, then taken", sim::FaultKind::Status, 1, true, false},
        {"never answered", sim::FaultKind::Silence, sim::kForever, false, false},
    };
    for (const auto& c : cases) {
        EcuRig rig;
        ASSERT_TRUE(rig.Connect());
        rig.images.Mem3Write.SwitchTemp = 55;
        rig.requests.ReqWriteMem3 = true;
        rig.ecu.AddFault(Fault(c.kind, CMD_WRT_MEM3, c.count));
        ServeEcuRequest(rig.link, rig.model);
        EXPECT_EQ(rig.requests.ReqWriteMem3, !c.written) << c.name;
        EXPECT_EQ(rig.images.Blocks.refused[std::size_t(EditBlock::Mem3)], c.refused) << c.name;
        EXPECT_EQ(rig.images.Mem3Write.SwitchTemp, c.written ? -1.0 : 55.0) << c.name;
    }
}

TEST(RequestServer, EmulationBlockIsWrittenWholeAndReadBack) {
    EcuRig rig;
    ASSERT_TRUE(rig.Connect());
    rig.requests.ReqReadEmus = true;
    ASSERT_TRUE(rig.ServeAll());
    EXPECT_EQ(ByteArrayToStr(rig.images.EmulaBlkData), rig.ecu.Ram().emulation);
    rig.images.EmulaEdit.Set(86, 2);
    rig.requests.ReqWriteEmus = true;
    rig.requests.ReqReadEmus = true;
    ASSERT_TRUE(rig.ServeAll());
    EXPECT_EQ(rig.ecu.Ram().emulation[86], 2);
    EXPECT_EQ(rig.images.EmulaBlkData[86], 2);
    EXPECT_FALSE(rig.images.EmulaEdit.Any()) << "the good write carried it";
    EXPECT_EQ(rig.images.EmulaLine.size(), 94);
}

TEST(RequestServer, LiveRecordReachesTheImagesAndThePointLog) {
    EcuRig rig;
    ASSERT_TRUE(rig.Connect());
    int logged = 0;
    rig.host.OnLogPoint = [&](const Mem1Rec& rec) {
        ++logged;
        EXPECT_EQ(rec.Rpm, 800);
    };
    rig.requests.ReqReadMem3 = true; // the rpm constant comes from zone 3
    rig.requests.ReqReadMem2 = true;
    rig.requests.ReqReadMem1 = true;
    ASSERT_TRUE(rig.ServeAll());
    EXPECT_EQ(rig.images.Mem1Data.Rpm, 800);
    EXPECT_DOUBLE_EQ(rig.images.Mem1Data.PressGas, 1150);
    EXPECT_EQ(logged, 0) << "point log switched off";
    rig.link.FlagLogPoint(true);
    ASSERT_TRUE(SendReadZone(rig.link, ZoneLive, rig.model));
    EXPECT_EQ(logged, 1);
}

TEST(RequestServer, ZonesWithoutACommandSendNothing) {
    EcuRig rig;
    ASSERT_TRUE(rig.Connect());
    const qsizetype start = rig.ecu.CommandLog().size();
    EXPECT_FALSE(SendWriteZone(rig.link, ZoneLive, rig.model));
    EXPECT_FALSE(SendWriteZone(rig.link, ZoneTestRec, rig.model));
    EXPECT_FALSE(SendWriteZone(rig.link, 5, rig.model));
    EXPECT_FALSE(SendReadZone(rig.link, 5, rig.model));
    rig.images.Mem2Data.EcuRunState = 255;
    EXPECT_FALSE(ToggleEcuMode(rig.link, rig.images));
    EXPECT_TRUE(rig.Commands(start).isEmpty());
}

TEST(RequestServer, RunSlaveToggleFollowsTheLastZoneTwoRead) {
    EcuRig rig;
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(SendReadZone(rig.link, ZoneMem2, rig.model));
    ASSERT_TRUE(ToggleEcuMode(rig.link, rig.images));
    EXPECT_EQ(rig.ecu.Mode(), sim::EcuMode::Slave);
    EXPECT_EQ(rig.link.EcuState(), ECU_SLAVE);
    ASSERT_TRUE(SendReadZone(rig.link, ZoneMem2, rig.model));
    EXPECT_EQ(rig.images.Mem2Data.EcuRunState, 1);
    ASSERT_TRUE(ToggleEcuMode(rig.link, rig.images));
    EXPECT_EQ(rig.ecu.Mode(), sim::EcuMode::Run);
}

TEST(RequestServer, SaveFlashRestoresTheReplyWaitWhateverTheOutcome) {
    EcuRig rig;
    ASSERT_TRUE(rig.Connect());
    const double wait = rig.link.AttesaGlobale_usec();
    rig.ecu.Ram().zone3[sim::kZ3SwitchTemp] = 44;
    ASSERT_TRUE(SendSaveFlash(rig.link));
    EXPECT_EQ(rig.ecu.Saved(), rig.ecu.Ram());
    EXPECT_EQ(rig.link.AttesaGlobale_usec(), wait);

    rig.FailNext(CMD_SAVE_FLASH, 3);
    EXPECT_FALSE(SendSaveFlash(rig.link));
    EXPECT_EQ(rig.link.AttesaGlobale_usec(), wait);
}

} // namespace
