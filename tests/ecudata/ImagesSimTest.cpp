// The ECU images against the simulated ECU: what the program decodes is what the ECU
// holds, and what it builds back from an unedited image is the ECU's own bytes.

#include "EcuRig.h"
#include "common/Wait.h"
#include "ecudata/MapSamples.h"
#include "ecudata/ParamRecords.h"
#include "ecudata/RequestServer.h"
#include "link/Frames.h"
#include "sim/Memory.h"

#include <gtest/gtest.h>

#include <cmath>

using testing_support::WaitFor;
using namespace std::chrono_literals;

using namespace ecudata;
using namespace comm;
using ecudata_test::EcuRig;

namespace {

void PutCylTime(QByteArray& zone3, int cylinder, int counts) {
    sim::PutU16(zone3, sim::kZ3CylTime + 2 * (7 - cylinder), counts & 0xFFFF);
}

// The factory zones on petrol, with the fields the factory leaves at 0 or at one value
// set to values every codec carries exactly.
void ExactZones(sim::Memory& ram) {
    ram.zone2[sim::kZ2ModeReq] = 0; // stays on petrol: the cylinder states hold still
    ram.zone2[sim::kZ2Flags] = 0x15;
    QByteArray& z = ram.zone3;
    sim::PutU16(z, sim::kZ3SwitchRpm, 6000); // 2500 rpm with K_gm 15000000
    z[sim::kZ3CylState + 7 - 2] = 0;         // cylinder 2 off
    PutCylTime(z, 0, -10);
    PutCylTime(z, 3, 7);
    PutCylTime(z, 7, -32766);
    z[39] = 7;                // Param121
    z[52] = 1;                // SwitchDrect
    sim::PutU16(z, 59, 1200); // SwitchForce
    z[66] = 0x15;             // ExpertFlags
    z[68] = 45;               // MaxPowerSoh
    z[71] = 2;                // TypSensTemp
}

// Reads zones 3 and 2 and builds both back with no edit pending.
struct Rebuilt {
    QByteArray zone2, zone3;
};
Rebuilt ReadAndRebuild(EcuRig& rig) {
    EXPECT_TRUE(SendReadZone(rig.link, ZoneMem3, rig.model));
    EXPECT_TRUE(SendReadZone(rig.link, ZoneMem2, rig.model));
    EcuImages& im = rig.images;
    return {BuildMem2(im.Mem2Data, im.Mem2Write),
            BuildMem3(im.Mem3Data, im.Mem3Write, rig.scale, rig.requests)};
}

// The link log's name lines (one before each request), keep-alives left out.
QStringList RequestNames(const EcuRig& rig) {
    QStringList names;
    for (QByteArray line : rig.tree.Read("BIN/RxTx.TXT").split('\n')) {
        line = line.trimmed();
        if (line.startsWith("\"CMD_") && line != "\"CMD_GET_ECO\"") {
            names << QString::fromLatin1(line.mid(1, line.size() - 2));
        }
    }
    return names;
}

TEST(ImagesAgainstTheEcu, LiveValuesAreTheEcusSetValues) {
    EcuRig rig;
    sim::EngineState& e = rig.ecu.Engine();
    e.rpm = 2500;
    e.petrolMs = 4.0;
    e.gasDeltaMs = 0.4;
    e.gasPressureMbar = 1234;
    e.press2Mbar = 567;
    e.vacuumMbar = 321;
    e.reducerTempC = 72;
    e.gasTempC = -7;
    e.supplyV = 420 * sim::kSupplyV;
    e.lambda1V = 92 * sim::kLambdaV;
    e.lambda2V = 143 * sim::kLambdaV;
    e.levelCounts = 600;
    e.levelLamps = 0x1234;
    e.leanStep = 5;
    ASSERT_TRUE(rig.Connect());
    // The factory zones ask for gas: wait for the change-over of all four cylinders.
    ASSERT_TRUE(WaitFor(
        [&] {
            return rig.ecu.FuelState() == sim::kFuelGas &&
                   rig.ecu.Ram().zone3.mid(sim::kZ3CylState + 4, 4) == QByteArray(4, '\3');
        },
        60s));
    rig.requests.ReqReadMem3 = true; // the rpm constant
    rig.requests.ReqReadMem2 = true; // the rpm formula bit
    rig.requests.ReqReadMem1 = true;
    ASSERT_TRUE(rig.ServeAll());

    const Mem1Rec& m = rig.images.Mem1Data;
    EXPECT_EQ(m.Rpm, 2500);
    EXPECT_EQ(m.PressGas, 1234);
    EXPECT_EQ(m.Press2, 567);
    EXPECT_EQ(m.Vacuum, 321);
    EXPECT_EQ(m.Temp, 72);
    EXPECT_EQ(m.Temp1, -7);
    EXPECT_DOUBLE_EQ(m.Supply, e.supplyV);
    EXPECT_EQ(m.Lambda1, static_cast<float>(e.lambda1V));
    EXPECT_EQ(m.Lambda2, static_cast<float>(e.lambda2V));
    EXPECT_EQ(m.Level1, 600);
    EXPECT_EQ(m.Level2, 600);
    EXPECT_EQ(m.LevelLamps, 0x1234);
    EXPECT_EQ(m.StatusKey, 1 | 5 << 4);
    EXPECT_EQ(m.StatusKeyHigh, 5);
    EXPECT_EQ(m.StatusEv1, 1) << "on gas";
    EXPECT_EQ(m.StatusEv2, 1);
    // The emulated outputs follow the probes within one output step (19.6 mV).
    EXPECT_NEAR(m.LambdaOut1, e.lambda1V * 1000, 10);
    EXPECT_NEAR(m.LambdaOut2, e.lambda2V * 1000, 10);
    // Each injector's petrol time differs a little from the set one (the ECU's own
    // spread); gas minus petrol is the set difference exactly.
    for (int i = 0; i < 8; ++i) {
        if (i < 4) {
            EXPECT_NEAR(m.TInjBenz[i], e.petrolMs, 0.03 * e.petrolMs + 0.004) << i;
            EXPECT_DOUBLE_EQ(m.TInjAux[i], m.TInjBenz[i]) << i;
            EXPECT_NEAR(m.TInjGas[i] - m.TInjBenz[i], e.gasDeltaMs, 0.008 + 1e-9) << i;
            EXPECT_DOUBLE_EQ(m.TInjGasBar[i], e.gasDeltaMs) << i;
        } else {
            EXPECT_EQ(m.TInjBenz[i], 0) << "injector " << i << " of a four-cylinder engine";
            EXPECT_EQ(m.TInjGas[i], 0) << i;
        }
    }
}

TEST(ImagesAgainstTheEcu, UneditedZoneImagesGoBackAsTheEcusBytes) {
    EcuRig rig;
    ExactZones(rig.ecu.Ram());
    ASSERT_TRUE(rig.Connect());
    const Rebuilt built = ReadAndRebuild(rig);
    EXPECT_EQ(built.zone2.toHex().toStdString(), rig.ecu.Ram().zone2.toHex().toStdString());
    EXPECT_EQ(built.zone3.toHex().toStdString(), rig.ecu.Ram().zone3.toHex().toStdString());
}

// States the codecs cannot carry: only that field's bytes come back different.
TEST(ImagesAgainstTheEcu, LossyFieldsChangeOnlyTheirOwnBytes) {
    const struct {
        const char* why;
        int offset;
        QByteArray ecuBytes;
        QByteArray builtBytes;
    } cases[] = {
        // The change-over rpm is held as rpm: 15000000 / 6001 rounds to 2500 rpm.
        {"rpm period", sim::kZ3SwitchRpm, QByteArray::fromHex("7117"), QByteArray::fromHex("7017")},
        // Anything but 1 reads as 0.
        {"SwitchDrect", 52, QByteArray::fromHex("02"), QByteArray::fromHex("00")},
        // A signed field stops at -32766 (the 16-bit writer would give -1 for less).
        {"extreme CylTime", sim::kZ3CylTime, QByteArray::fromHex("0080"),
         QByteArray::fromHex("0280")},
    };
    for (const auto& c : cases) {
        EcuRig rig;
        ExactZones(rig.ecu.Ram());
        rig.ecu.Ram().zone3.replace(c.offset, c.ecuBytes.size(), c.ecuBytes);
        ASSERT_TRUE(rig.Connect());
        const QByteArray ecu = rig.ecu.Ram().zone3;
        QByteArray expected = ecu;
        expected.replace(c.offset, c.builtBytes.size(), c.builtBytes);
        EXPECT_EQ(ReadAndRebuild(rig).zone3.toHex().toStdString(), expected.toHex().toStdString())
            << c.why;
    }
}

TEST(ImagesAgainstTheEcu, AZoneThreeEditIsReadWrittenAndReadBackInTheLinkLog) {
    EcuRig rig;
    ASSERT_TRUE(rig.Connect());
    const QStringList before = RequestNames(rig);
    rig.images.Mem3Write.SwitchTemp = 55;
    rig.requests.ReqWriteMem3 = true;
    rig.requests.ReqReadMem3 = true;
    ASSERT_TRUE(rig.ServeAll());
    EXPECT_EQ(RequestNames(rig).mid(before.size()),
              (QStringList{"CMD_READ_MEM3", "CMD_WRT_MEM3", "CMD_READ_MEM3"}));
    EXPECT_EQ(sim::GetU16(rig.ecu.Ram().zone3, sim::kZ3SwitchTemp), 55);
    EXPECT_EQ(rig.images.Mem3Data.SwitchTemp, 55);
}

TEST(ImagesAgainstTheEcu, CorrectionTableComesBackQuantised) {
    EcuRig rig;
    ASSERT_TRUE(rig.Connect());
    TblCor& edit = rig.images.TblCorEdit;
    for (int c = 0; c <= 180; ++c) {
        edit[c] = 0.0123 * c - 0.7031; // between the wire's steps of 0.008 ms
    }
    edit[181] = 0.12345; // offset
    edit[182] = 1.05678; // slope
    const int cells[8] = {0, 28, 55, 71, 86, 102, 125, 157};
    for (int i = 0; i < 8; ++i) {
        edit[183 + i] = cells[i];
    }
    edit[191] = 5; // the end marker goes out as -1 whatever the table holds
    ASSERT_TRUE(WriteTblCor(rig.link, rig.model));
    ASSERT_TRUE(ReadTblCor(rig.link, rig.model));

    const double k = rig.scale.K_Time_Inj_us;
    for (int c = 0; c < 192; ++c) {
        double expected = edit[c]; // cell positions: whole numbers, exact
        if (c <= 180) {
            expected = std::nearbyint(edit[c] / k) * k;
        } else if (c <= 182) {
            expected = std::nearbyint(edit[c] * 1000) / 1000;
        } else if (c == 191) {
            expected = -1;
        }
        EXPECT_DOUBLE_EQ(rig.images.TblCorRead[c], expected) << c;
    }
    EXPECT_DOUBLE_EQ(rig.images.TblCorRead[181], 0.123);
    EXPECT_DOUBLE_EQ(rig.images.TblCorRead[182], 1.057);
}

TEST(ImagesAgainstTheEcu, BothFuelsMapSamplesArriveWhole) {
    EcuRig rig;
    ASSERT_TRUE(rig.Connect());
    // Times in steps of 0.2 ms (25 counts) and pressures of 20 mbar, which the images keep.
    for (const sim::Fuel fuel : {sim::Fuel::Petrol, sim::Fuel::Gas}) {
        const int shift = fuel == sim::Fuel::Gas ? 3 : 0;
        QList<sim::Sample>& points = rig.ecu.Samples(fuel);
        points.clear();
        for (int k = 0; k < 60; ++k) {
            points.append({static_cast<quint16>(25 * (k + 1 + shift)),
                           static_cast<quint16>(20 * (k + 10 + shift))});
        }
    }
    rig.requests.ReqReadSmplBnz = true;
    rig.requests.ReqReadSmplGas = true;
    ASSERT_TRUE(rig.ServeAll());
    const EcuImages& im = rig.images;
    for (int k = 0; k < 60; ++k) {
        EXPECT_NEAR(im.MapTinjBnz[k], 0.2 * (k + 1), 1e-9) << k;
        EXPECT_NEAR(im.MapVacmBnz[k], 20 * (k + 10), 1e-9) << k;
        EXPECT_NEAR(im.MapTinjGas[k], 0.2 * (k + 4), 1e-9) << k;
        EXPECT_NEAR(im.MapVacmGas[k], 20 * (k + 13), 1e-9) << k;
    }
}

} // namespace
