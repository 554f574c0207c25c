#include "ReplyFrames.h"
#include "ecudata/ConfigScale.h"
#include "ecudata/EcuImages.h"
#include "ecudata/EcuRequests.h"

#include <gtest/gtest.h>

using namespace ecudata;
using ecudata_test::Hex;
using ecudata_test::HexOf;
using ecudata_test::Reply;

namespace {

constexpr quint8 CmdReadMem2 = 13;
constexpr quint8 CmdReadMem3 = 14;

// 4 coils, 4 cylinders, 40 degrees, period 6000, injector type 2, LPG, times 375/28/24,
// cylinder states 7..0 = 0 0 0 0 1 1 1 3, offsets 7 = +5 and 0 = -10, level type 1,
// thresholds 0 204 409 618 823 1023, direct 1, hysteresis 3, sequence 4, delay 400,
// band 9..12, force 0, lambda 2, end-of-gas 800/200, expert 0x15, enable 1, max power 45,
// min power 10..12, sensors 1 and 2, bad bit 3.
const char* Zone3 = "040428007017020077011C00180000000000010101030500000000000000000000000000F6FF01"
                    "000000CC0099016A023703FF030103049001090C0000022003C80015012D0A0C010203";
// Mode 0, fuel 0, run, 1234 h gas, 56 h petrol, flags 0x40, period 6000.
const char* Zone2 = "000000D204000038000000407017";

struct ParamRecords : ::testing::Test {
    ConfigScale scale;
    EcuImages images;
    EcuRequests requests;

    ParamRecords() { scale.K_Time_Pwm_us = 0.008; }
    bool Parse3(const QByteArray& data) {
        return ParseMem3(Reply(CmdReadMem3, data), images, requests, scale);
    }
    bool Parse2(const QByteArray& data) {
        return ParseMem2(Reply(CmdReadMem2, data), images, scale);
    }
    QString Build3() {
        return HexOf(BuildMem3(images.Mem3Data, images.Mem3Write, scale, requests));
    }
    QString Build2() { return HexOf(BuildMem2(images.Mem2Data, images.Mem2Write)); }
};

TEST_F(ParamRecords, ZoneThreeDecodesEveryFieldByItsRule) {
    ASSERT_TRUE(Parse3(Hex(Zone3)));
    const Mem3Rec& m = images.Mem3Data;
    EXPECT_EQ(m.Bobine, 4);
    EXPECT_EQ(m.Cilindri, 4);
    EXPECT_EQ(scale.K_gm, 15000000);
    EXPECT_EQ(m.SwitchTemp, 40);
    EXPECT_EQ(m.SwitchRpm, 2500);
    EXPECT_EQ(m.InjType, 2);
    EXPECT_DOUBLE_EQ(m.InjTime, 3.0);
    EXPECT_DOUBLE_EQ(m.InjPwm1, 28 * 0.008);
    EXPECT_EQ(m.CylState[0], 3);
    EXPECT_EQ(m.CylState[3], 1);
    EXPECT_EQ(m.CylState[7], 0);
    EXPECT_DOUBLE_EQ(m.CylTime[0], -0.08);
    EXPECT_DOUBLE_EQ(m.CylTime[7], 0.04);
    EXPECT_EQ(m.LevelType, 1);
    EXPECT_EQ(m.LevelThr[1], 204);
    EXPECT_EQ(m.LevelThr[5], 1023);
    EXPECT_EQ(m.SwitchDrect, 1);
    EXPECT_EQ(m.Isteresi, 300);
    EXPECT_EQ(m.SwitchSeq, 100);
    EXPECT_DOUBLE_EQ(m.SwitchDelay, 10);
    EXPECT_EQ(m.Param152, 900);
    EXPECT_EQ(m.Param156, 1200);
    EXPECT_EQ(m.LambdaSwitch, 2);
    EXPECT_EQ(m.EndGasPress, 800);
    EXPECT_DOUBLE_EQ(m.DelayPress, 5);
    EXPECT_EQ(m.ExpertFlags, 0x15);
    EXPECT_EQ(m.EmptyGas, 1);
    EXPECT_EQ(m.MaxPowerSoh, 4500);
    EXPECT_EQ(m.RpmHigh, 1200);
    EXPECT_EQ(m.TypSensMap, 2);
    EXPECT_EQ(m.BadBit, 3);
    EXPECT_TRUE(images.Mem3Changed);
    EXPECT_EQ(requests.Mem3WriteCountdown, 0) << "valid counts schedule no write";

    ASSERT_TRUE(Parse3(Hex(Zone3)));
    EXPECT_FALSE(images.Mem3Changed);
}

TEST_F(ParamRecords, ImagesWithoutEditsGoBackByteForByte) {
    ASSERT_TRUE(Parse3(Hex(Zone3)));
    EXPECT_EQ(Build3(), Zone3);
    ASSERT_TRUE(Parse2(Hex(Zone2)));
    EXPECT_EQ(Build2(), Zone2);
}

TEST_F(ParamRecords, InvalidCoilOrCylinderCountBecomesFourAndSchedulesAWrite) {
    for (const char first : {'\x00', '\x09'}) {
        EcuImages fresh;
        images = fresh;
        requests = {};
        QByteArray data = Hex(Zone3);
        data[0] = first;
        ASSERT_TRUE(Parse3(data));
        EXPECT_EQ(images.Mem3Data.Bobine, 4);
        EXPECT_EQ(images.Mem3Write.Bobine, 4);
        EXPECT_EQ(images.Mem3Write.Cilindri, -1);
        EXPECT_EQ(requests.Mem3WriteCountdown, 1.0);
    }
    QByteArray data = Hex(Zone3);
    data[1] = 12;
    ASSERT_TRUE(Parse3(data));
    EXPECT_EQ(images.Mem3Data.Cilindri, 4);
    EXPECT_EQ(images.Mem3Write.Cilindri, 4);
}

TEST_F(ParamRecords, ChangeOverRpmTravelsAsAPeriod) {
    const struct {
        const char* period;
        double rpm;
    } reads[] = {{"FFFF", 0}, {"0000", 0}, {"7017", 2500}, {"B80B", 5000}};
    for (const auto& c : reads) {
        QByteArray data = Hex(Zone3);
        data.replace(4, 2, Hex(c.period));
        ASSERT_TRUE(Parse3(data));
        EXPECT_EQ(images.Mem3Data.SwitchRpm, c.rpm) << c.period;
    }
    const struct {
        double rpm;
        const char* period;
    } writes[] = {{2500, "7017"}, {300, "50C3"}, {200, "FFFF"}, {0, "FFFF"}};
    for (const auto& c : writes) {
        images.Mem3Write.SwitchRpm = c.rpm;
        EXPECT_EQ(Build3().mid(8, 4), c.period) << c.rpm;
        EXPECT_EQ(images.Mem3Write.SwitchRpm, -1.0);
    }
}

TEST_F(ParamRecords, PendingCylinderCountResendsTheRpmWithTheNewClockConstant) {
    ASSERT_TRUE(Parse3(Hex(Zone3)));
    images.Mem3Write.Cilindri = 8;
    const QString hex = Build3();
    EXPECT_EQ(hex.mid(2, 2), "08");
    EXPECT_EQ(scale.K_gm, 7500000);
    EXPECT_EQ(hex.mid(8, 4), "B80B") << "2500 rpm as a period of 7500000";
    EXPECT_TRUE(requests.RefreshPending);
    EXPECT_EQ(images.Mem3Write.SwitchRpm, -1.0);
}

TEST_F(ParamRecords, ScaledByteFieldsAndTheirQuirks) {
    QByteArray data = Hex(Zone3);
    data[52] = 2;
    ASSERT_TRUE(Parse3(data));
    EXPECT_EQ(images.Mem3Data.SwitchDrect, 0) << "anything but 1 reads as 0";
    images.Mem3Write.Isteresi = 300;
    images.Mem3Write.SwitchSeq = 30;
    images.Mem3Write.InjTime = 3000; // 375000 counts: beyond 16 bits
    const QString hex = Build3();
    EXPECT_EQ(hex.mid(106, 2), "03");
    EXPECT_EQ(hex.mid(108, 2), "01");
    EXPECT_EQ(hex.mid(16, 4), "FFFF") << "clamped, not wrapped";
}

TEST_F(ParamRecords, BuildingPutsEveryMarkerBack) {
    ASSERT_TRUE(Parse3(Hex(Zone3)));
    EcuImages reset;
    Mem3Rec& w = images.Mem3Write;
    w.Bobine = 6;
    w.SwitchTemp = 50;
    w.InjType = 3;
    w.CylState[2] = 0;
    w.CylTime[5] = 0;
    w.LevelThr[3] = 700;
    w.Isteresi = 200;
    w.SwitchSeq = 50;
    w.BadBit = 1;
    Build3();
    EXPECT_EQ(images.Mem3Write, reset.Mem3Write);
    EXPECT_EQ(images.Mem3Data.Bobine, 6);
    EXPECT_EQ(images.Mem3Data.CylTime[5], 0);
    EXPECT_EQ(images.Mem3Data.SwitchSeq, 50);
}

TEST_F(ParamRecords, CmpMem3SeesOneDifferingElement) {
    ASSERT_TRUE(Parse3(Hex(Zone3)));
    Mem3Rec other = images.Mem3Data;
    EXPECT_FALSE(CmpMem3(images.Mem3Data, other));
    other.CylTime[6] += 0.008;
    EXPECT_TRUE(CmpMem3(images.Mem3Data, other));
}

TEST_F(ParamRecords, ShortZoneRepliesAreFailedReads) {
    ASSERT_TRUE(Parse3(Hex(Zone3)));
    ASSERT_TRUE(Parse2(Hex(Zone2)));
    const EcuImages before = images;
    EXPECT_FALSE(Parse3(Hex(Zone3).left(73)));
    EXPECT_FALSE(Parse3({}));
    EXPECT_FALSE(Parse2(Hex(Zone2).left(13)));
    EXPECT_EQ(images.Mem3Data, before.Mem3Data);
    EXPECT_EQ(images.Mem3Prev, before.Mem3Prev);
    EXPECT_EQ(images.Mem3Write, before.Mem3Write) << "no correction of the coil count";
    EXPECT_EQ(images.Mem2Data, before.Mem2Data);
    EXPECT_EQ(requests.Mem3WriteCountdown, 0);
}

TEST_F(ParamRecords, ZoneTwoClockAndMergeRules) {
    ASSERT_TRUE(Parse2(Hex("00000000000000000000008000FF")));
    EXPECT_EQ(scale.RpmClock, 7500000);
    ASSERT_TRUE(Parse2(Hex(Zone2)));
    EXPECT_EQ(scale.RpmClock, 15000000);
    EXPECT_EQ(images.Mem2Data.HoursGas, 1234);
    EXPECT_EQ(images.Mem2Data.SwitchRpmPeriod, 6000);

    images.Mem2Write.WantFlags(0x40, false);
    images.Mem2Write.HoursBenz = -1.0; // reset request
    images.Mem2Write.ModeReq = 3;
    images.Mem2Write.FuelState = 0; // never taken from the copy
    EXPECT_EQ(Build2(), "030000D2040000FFFFFFFF007017");
    EXPECT_EQ(images.Mem2Data.Flags, 0);
    EXPECT_EQ(images.Mem2Write.FlagsMask, 0);
    EXPECT_EQ(images.Mem2Write.HoursBenz, 0);
    EXPECT_EQ(images.Mem2Write.ModeReq, 255);
    images.Mem2Data.Flags = 0x12;
    EXPECT_EQ(Build2().mid(22, 2), "12") << "no edited bit leaves the flags";
}

TEST_F(ParamRecords, AFailedWriteGetsItsEditsBackButKeepsNewerOnes) {
    ASSERT_TRUE(Parse3(Hex(Zone3)));
    images.Mem3Write.SwitchTemp = 60;
    images.Mem3Write.CylTime[1] = 0.16;
    const Mem3Rec taken = images.Mem3Write;
    Build3();
    images.Mem3Write.SwitchTemp = 70; // edited while the write was on its way
    RestoreMem3Edits(images.Mem3Write, taken);
    EXPECT_EQ(images.Mem3Write.SwitchTemp, 70);
    EXPECT_EQ(images.Mem3Write.CylTime[1], 0.16);
    EXPECT_EQ(images.Mem3Write.Bobine, -1);

    ASSERT_TRUE(Parse2(Hex(Zone2)));
    images.Mem2Write.ModeReq = 3;
    images.Mem2Write.HoursGas = -1.0;
    const Mem2Rec taken2 = images.Mem2Write;
    Build2();
    RestoreMem2Edits(images.Mem2Write, taken2);
    EXPECT_EQ(images.Mem2Write.ModeReq, 3);
    EXPECT_EQ(images.Mem2Write.HoursGas, -1.0);
    EXPECT_EQ(images.Mem2Write.SwitchRpmPeriod, -1.0);
}

// A bit's edit is the state wanted: a write sent again after a reply in doubt, whether
// or not the first one landed, sets the same bits, and a read never undoes the edit.
TEST_F(ParamRecords, WantedFlagsInDoubtLandTheSameWhateverTheEcuShows) {
    const struct {
        const char* name;
        quint8 readFlags; // what the ECU shows after the write in doubt
    } cases[] = {
        {"nothing landed", 0x40},
        {"all landed", 0x12},
        {"one bit landed", 0x50},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Parse2(Hex(Zone2)));
        images.Mem2Data.Flags = 0x40;
        images.Mem2Write.WantFlags(0x02 | 0x10, true);
        images.Mem2Write.WantFlags(0x40, false);
        const Mem2Rec taken = images.Mem2Write;
        Build2();
        RestoreMem2Edits(images.Mem2Write, taken); // the reply never came
        QByteArray data = Hex(Zone2);
        data[11] = static_cast<char>(c.readFlags);
        ASSERT_TRUE(Parse2(data));
        EXPECT_EQ(ShownMem2(images).Flags, 0x12) << c.name;
        EXPECT_EQ(Build2().mid(22, 2), "12") << c.name;
    }
}

TEST(EditModel, MergeAndClearOnSuccess) {
    BlockEdits<quint8, 4> edits;
    const std::array<quint8, 4> read{1, 2, 3, 4};
    edits.SetWhole({1, 9, 3, 4}, read);
    EXPECT_EQ(edits.Merge({5, 6, 7, 8}), (std::array<quint8, 4>{5, 9, 7, 8}))
        << "a fresh read changes only what was not edited";
    const auto carried = edits;
    edits.Set(3, 0); // edited while the write was on its way
    edits.ClearCarried(carried);
    EXPECT_FALSE(edits.edited[1]) << "the write carried it";
    EXPECT_TRUE(edits.edited[3]) << "still for the next write";

    edits.Set(1, 9);
    const auto again = edits;
    edits.Set(1, 8); // edited again with another value
    edits.ClearCarried(again);
    EXPECT_TRUE(edits.edited[1]);
    EXPECT_EQ(edits.value[1], 8);
}

TEST(EditModel, ARefusalIsToldOnceUntilAWriteSucceeds) {
    BlockStates states;
    states.WriteEnded(EditBlock::Mem3, false, false); // a lost reply: no refusal
    EXPECT_FALSE(states.TakeUntold()[std::size_t(EditBlock::Mem3)]);
    states.WriteEnded(EditBlock::Mem3, false, true);
    EXPECT_TRUE(states.TakeUntold()[std::size_t(EditBlock::Mem3)]);
    states.WriteEnded(EditBlock::Mem3, false, true);
    EXPECT_FALSE(states.TakeUntold()[std::size_t(EditBlock::Mem3)]) << "told already";
    states.WriteEnded(EditBlock::Mem3, true, false);
    states.WriteEnded(EditBlock::Mem3, false, true);
    EXPECT_TRUE(states.TakeUntold()[std::size_t(EditBlock::Mem3)]) << "after a good write";
}

} // namespace
