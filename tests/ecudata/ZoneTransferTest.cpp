// Correction table, compensation tables, map samples and the fuel-mode switch against
// the simulated ECU.

#include "EcuRig.h"
#include "ecudata/FuelMode.h"
#include "ecudata/RequestServer.h"
#include "link/Frames.h"
#include "sim/Memory.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ecudata;
using namespace comm;
using ecudata_test::EcuRig;

namespace {

// A model at the default cells with a few corrections.
ModRec Model() {
    const int cells[8] = {0, 28, 55, 71, 86, 102, 125, 157};
    const float e[8] = {0.2f, 0.4f, 0.6f, 0.5f, 0.3f, 0.1f, 0.0f, -0.2f};
    ModRec m;
    m.Alfa = 1;
    m.Offset = 0.1f;
    for (int i = 0; i < 8; ++i) {
        m.X[i] = static_cast<float>(cells[i] * 0.128);
        m.Y[i] = m.X[i] + m.Offset + e[i];
    }
    return m;
}

TEST(CorrectionTransfer, AComputedTableGoesToTheEcuAndComesBack) {
    EcuRig rig;
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(CalcTblCor(rig.images.TblCorEdit, Model(), rig.scale));
    rig.images.TblCorEdit[191] = -1;
    const qsizetype start = rig.ecu.CommandLog().size();
    ASSERT_TRUE(WriteTblCor(rig.link, rig.model));
    EXPECT_EQ(rig.Commands(start), QList<quint8>(4, CMD_WRT_TBL_COR));
    EXPECT_EQ(rig.ecu.Ram().CorrectionCell(181), 100);
    EXPECT_EQ(rig.ecu.Ram().CorrectionCell(191), -1);

    rig.link.Replies().PushReplyQueue("stale"); // left by an aborted read
    ASSERT_TRUE(ReadTblCor(rig.link, rig.model));
    for (int c = 0; c < 192; ++c) {
        // Corrections travel in steps of 0.008 ms, the tail exactly.
        const double step = (c <= 180 ? rig.scale.K_Time_Inj_us / 2 : 0) + 1e-6;
        EXPECT_NEAR(rig.images.TblCorRead[c], rig.images.TblCorEdit[c], step) << c;
    }
    EXPECT_EQ(rig.link.Replies().Pending(), 0);
}

TEST(CorrectionTransfer, ATableThatDoesNotFitTheWireIsNeverSent) {
    EcuRig rig;
    ASSERT_TRUE(rig.Connect());
    const QByteArray before = rig.ecu.Ram().correction;
    rig.images.TblCorEdit[20] = std::nan("");
    EXPECT_FALSE(WriteTblCor(rig.link, rig.model));
    rig.images.TblCorEdit[20] = 400; // ms: beyond 16 bits
    EXPECT_FALSE(WriteTblCor(rig.link, rig.model));
    EXPECT_EQ(rig.Received(CMD_WRT_TBL_COR), 0);
    EXPECT_EQ(rig.ecu.Ram().correction, before);
}

TEST(CorrectionTransfer, AnOlderLayoutIsReadIntoTheCurrentOne) {
    EcuRig rig;
    ASSERT_TRUE(rig.Connect());
    sim::Memory& ram = rig.ecu.Ram();
    const int tail[8] = {250, 1000, 0, 30, 60, 100, 130, 157}; // cells 184..191
    for (int i = 0; i < 8; ++i) {
        ram.SetCorrectionCell(184 + i, tail[i]);
    }
    ASSERT_TRUE(ReadTblCor(rig.link, rig.model));
    const TblCor& t = rig.images.TblCorRead;
    EXPECT_DOUBLE_EQ(t[181], 0.25);
    EXPECT_DOUBLE_EQ(t[182], 1.0);
    const double points[8] = {0, 30, 45, 60, 100, 115, 130, 157};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(t[183 + i], points[i]) << i;
    }
    EXPECT_EQ(t[191], -1);
}

TEST(CorrectionTransfer, AFailedBlockEndsTheRead) {
    EcuRig rig;
    ASSERT_TRUE(rig.Connect());
    rig.requests.ReqReadTblCor = true;
    sim::Fault fault;
    fault.kind = sim::FaultKind::Status;
    fault.command = CMD_READ_TBL_COR;
    fault.count = 3;
    rig.ecu.AddFault(fault);
    ServeEcuRequest(rig.link, rig.model);
    EXPECT_TRUE(rig.requests.ReqReadTblCor);
    EXPECT_EQ(rig.Received(CMD_READ_TBL_COR), 3);
    ASSERT_TRUE(rig.ServeAll());
    EXPECT_EQ(rig.images.TblCorRead[190], 157);
}

TEST(CompTransfer, WritesGoInTheOrderOfTheTablesAndStopAtTheFirstFailure) {
    EcuRig rig;
    ASSERT_TRUE(rig.Connect());
    rig.images.CompTblGasTemp[0] = -20;
    rig.images.CompTblPress[0] = 4500;
    qsizetype start = rig.ecu.CommandLog().size();
    ASSERT_TRUE(WriteCompTbl(rig.link, rig.images, 0));
    EXPECT_EQ(rig.Commands(start), (QList<quint8>{CMD_WRITE_COMP_GAS_TEMP, CMD_WRITE_COMP_RID_TEMP,
                                                  CMD_WRITE_COMP_PRES_GAS, CMD_WRITE_CMP_SMAG}));
    EXPECT_EQ(static_cast<quint8>(rig.ecu.Ram().compGasTemp[0]), 0xEC);
    EXPECT_EQ(sim::GetU16(rig.ecu.Ram().compPress, 0), 4000);
    EXPECT_EQ(rig.images.CompTblPress[0], 4000);

    start = rig.ecu.CommandLog().size();
    ASSERT_TRUE(WriteCompTbl(rig.link, rig.images, 2));
    EXPECT_TRUE(WriteCompTbl(rig.link, rig.images, 7));
    EXPECT_EQ(rig.Commands(start), QList<quint8>{CMD_WRITE_COMP_RID_TEMP});

    rig.FailNext(CMD_WRITE_COMP_RID_TEMP, 3);
    start = rig.ecu.CommandLog().size();
    EXPECT_FALSE(WriteCompTbl(rig.link, rig.images, 0));
    EXPECT_EQ(rig.Commands(start),
              (QList<quint8>{CMD_WRITE_COMP_GAS_TEMP, CMD_WRITE_COMP_RID_TEMP,
                             CMD_WRITE_COMP_RID_TEMP, CMD_WRITE_COMP_RID_TEMP}));
}

TEST(CompTransfer, ReadsTakeTheEcusTables) {
    EcuRig rig;
    ASSERT_TRUE(rig.Connect());
    rig.ecu.Ram().compRidTemp[4] = static_cast<char>(0x80);
    const qsizetype start = rig.ecu.CommandLog().size();
    ASSERT_TRUE(ReadCompTbls(rig.link, rig.images));
    EXPECT_EQ(rig.Commands(start), (QList<quint8>{CMD_READ_COMP_RID_TEMP, CMD_READ_COMP_GAS_TEMP,
                                                  CMD_READ_COMP_PRES_GAS, CMD_READ_CMP_SMAG}));
    const sim::Memory& ram = rig.ecu.Ram();
    EXPECT_EQ(CompTblToBytes(rig.images.CompTblGasTemp, CompForm::Bytes), ram.compGasTemp);
    EXPECT_EQ(CompTblToBytes(rig.images.CompTblRidTemp, CompForm::Bytes), ram.compRidTemp)
        << "a byte 0x80 goes back unchanged";
    EXPECT_EQ(CompTblToBytes(rig.images.CompTblPress, CompForm::Words), ram.compPress);
    EXPECT_EQ(CompTblToBytes(rig.images.CompTblSmag, CompForm::Words), ram.compSmag);
}

TEST(CompTransfer, AnImageNewerThanTheEcuTakesTheLeaningTableFromTheDefaultSet) {
    EcuRig rig;
    ASSERT_TRUE(rig.Connect());
    rig.link.FirmwareEcu("011214042011");
    rig.link.FirmwareFle("011215042011");
    rig.tree.Write("LNG/Default.Xar",
                   "[BLKSmagAcc]\r\n" + QByteArray(64, '\x05').toHex().toUpper() + "\r\n");
    const qsizetype start = rig.ecu.CommandLog().size();
    ASSERT_TRUE(ReadCompTbls(rig.link, rig.images));
    EXPECT_EQ(rig.Commands(start), (QList<quint8>{CMD_READ_COMP_RID_TEMP, CMD_READ_COMP_GAS_TEMP,
                                                  CMD_READ_COMP_PRES_GAS}));
    EXPECT_EQ(rig.images.CompTblSmag[0], 0x0505);
}

TEST(SampleTransfer, PointsArriveAndACancelClearsThemOnceAcknowledged) {
    EcuRig rig;
    ASSERT_TRUE(rig.Connect());
    QList<sim::Sample>& gas = rig.ecu.Samples(sim::Fuel::Gas);
    gas.clear();
    for (int k = 0; k < 60; ++k) {
        gas.append({static_cast<quint16>(250 + k), static_cast<quint16>(400 + 20 * k)});
    }
    ASSERT_TRUE(ReadSmplGas(rig.link, rig.images));
    EXPECT_DOUBLE_EQ(rig.images.MapTinjGas[0], 2.0);
    EXPECT_DOUBLE_EQ(rig.images.MapVacmGas[59], 400 + 20 * 59);
    EXPECT_TRUE(rig.images.MapChanged);

    rig.requests.ReqCancSmplGas = true;
    ASSERT_TRUE(rig.ServeAll());
    EXPECT_TRUE(gas.isEmpty());
    EXPECT_EQ(rig.images.MapTinjGas[0], 0);
    EXPECT_EQ(rig.images.MapVacmGas[59], 0);
}

TEST(SampleTransfer, TheSecondPartIsAskedForEvenWhenTheFirstFails) {
    EcuRig rig;
    ASSERT_TRUE(rig.Connect());
    rig.FailNext(CMD_READ_SMPL_BNZ, 3);
    ASSERT_TRUE(ReadSmplBnz(rig.link, rig.images));
    EXPECT_EQ(rig.Received(CMD_READ_SMPL_BNZ1), 1);
}

struct FuelSwitch : ::testing::Test {
    EcuRig rig;
    FuelSwitch() {
        rig.ecu.Ram().zone2[sim::kZ2ModeReq] = 0; // on petrol, none asked for
        rig.requests.ReqSwitchFuelMode = 1;
    }
};

TEST_F(FuelSwitch, ARunningEcuIsSlavedSwitchedToGasAndRunAgain) {
    ASSERT_TRUE(rig.Connect());
    const qsizetype start = rig.ecu.CommandLog().size();
    SwitchFuelMode(rig.link, rig.model);
    EXPECT_EQ(rig.ecu.FuelState(), sim::kFuelGas);
    EXPECT_EQ(rig.ecu.Mode(), sim::EcuMode::Run);
    EXPECT_EQ(rig.requests.ReqSwitchFuelMode, 0);
    const QList<quint8> commands = rig.Commands(start);
    ASSERT_GE(commands.size(), 7);
    EXPECT_EQ(commands.mid(0, 5), (QList<quint8>{CMD_READ_MEM2, CMD_READ_MEM3, CMD_SET_ECU_SLAVE,
                                                 CMD_READ_MEM2, CMD_WRT_MEM2}));
    EXPECT_EQ(commands.last(), CMD_SET_ECU_RUN);
    const auto polls = commands.count(CMD_READ_MEM2) - 2;
    EXPECT_GE(polls, 1);
    EXPECT_LE(polls, 8);
    EXPECT_EQ(rig.images.Mem2Data.FuelState, sim::kFuelGas);

    // Switching back: mode byte 3 and fuel state 3 ask for petrol.
    rig.requests.ReqSwitchFuelMode = 1;
    SwitchFuelMode(rig.link, rig.model);
    EXPECT_EQ(rig.ecu.FuelState(), sim::kFuelPetrol);
    EXPECT_EQ(rig.ecu.Ram().zone2[sim::kZ2ModeReq], 0);
}

TEST_F(FuelSwitch, AnEcuInSlaveModeIsLeftThereWithoutPolling) {
    rig.ecu.SetMode(sim::EcuMode::Slave);
    ASSERT_TRUE(rig.Connect());
    const qsizetype start = rig.ecu.CommandLog().size();
    SwitchFuelMode(rig.link, rig.model);
    EXPECT_EQ(rig.Commands(start), (QList<quint8>{CMD_READ_MEM2, CMD_READ_MEM3, CMD_WRT_MEM2}));
    EXPECT_EQ(rig.ecu.Mode(), sim::EcuMode::Slave);
    EXPECT_EQ(rig.ecu.Ram().zone2[sim::kZ2ModeReq], 3);
    EXPECT_EQ(rig.requests.ReqSwitchFuelMode, 0);
}

TEST_F(FuelSwitch, AFailedSwitchPutsTheEcuBackIntoRunMode) {
    ASSERT_TRUE(rig.Connect());
    rig.FailNext(CMD_WRT_MEM2, 3);
    SwitchFuelMode(rig.link, rig.model);
    EXPECT_EQ(rig.ecu.Mode(), sim::EcuMode::Run);
    EXPECT_EQ(rig.ecu.Ram().zone2[sim::kZ2ModeReq], 0);
    EXPECT_EQ(rig.images.Mem2Write.ModeReq, 255) << "no switch later by another write";
    EXPECT_EQ(rig.requests.ReqSwitchFuelMode, 0);
}

} // namespace
