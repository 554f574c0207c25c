#include "ReplyFrames.h"
#include "common/FakeTime.h"
#include "ecudata/ConfigScale.h"
#include "ecudata/EcuImages.h"

#include <gtest/gtest.h>

using namespace ecudata;
using ecudata_test::Reply;

namespace {

constexpr quint8 CmdReadMem1 = 12;

struct LiveData : ::testing::Test {
    testing_support::FakeTime time{5'000'000};
    ConfigScale scale;
    EcuImages images;
    QByteArray data = QByteArray(Mem1WireSize, '\0');

    void Set16(int offset, int value) {
        data[offset] = static_cast<char>(value & 0xFF);
        data[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
    }
    bool Parse() { return ParseMem1(Reply(CmdReadMem1, data), images, scale); }
};

TEST_F(LiveData, InjectorArraysTravelWithElementSevenFirst) {
    Set16(0, 1);     // first gas time on the wire: injector 7
    Set16(14, 2);    // last: injector 0
    Set16(16, 100);  // petrol, injector 7
    Set16(48, -250); // bar time, injector 7 (signed)
    ASSERT_TRUE(Parse());
    const Mem1Rec& m = images.Mem1Data;
    EXPECT_DOUBLE_EQ(m.TInjGas[7], 1 * scale.K_Time_Inj_us);
    EXPECT_DOUBLE_EQ(m.TInjGas[0], 2 * scale.K_Time_Inj_us);
    EXPECT_DOUBLE_EQ(m.TInjBenz[7], 100 * scale.K_Time_Inj_us);
    EXPECT_DOUBLE_EQ(m.TInjGasBar[7], -250 * scale.K_Time_Inj_us);
    EXPECT_DOUBLE_EQ(m.TimeStamp, 5000.0);
}

TEST_F(LiveData, ScalarFieldsAndTheStatusByteReadTwice) {
    scale.K_Map_In_mBar = 2;
    scale.K_Temp_c = 0.5;
    Set16(66, 500);
    Set16(70, 1024);
    data[72] = 0x31;
    data[75] = 10;
    Set16(77, -40);
    Set16(81, 400);
    data[89] = 51;
    data[90] = static_cast<char>(255);
    ASSERT_TRUE(Parse());
    const Mem1Rec& m = images.Mem1Data;
    EXPECT_DOUBLE_EQ(m.PressGas, 1000);
    EXPECT_FLOAT_EQ(m.Lambda1, 5.0f);
    EXPECT_EQ(m.StatusKey, 49);
    EXPECT_EQ(m.StatusKeyHigh, 3);
    EXPECT_EQ(m.Level1, 40);
    EXPECT_DOUBLE_EQ(m.Temp, -20);
    EXPECT_DOUBLE_EQ(m.Supply, 400 * scale.K_Supply_V);
    EXPECT_EQ(m.LambdaOut1, 1000);
    EXPECT_EQ(m.LambdaOut2, 5000);
}

TEST_F(LiveData, RpmFollowsTheZoneTwoFormulaBit) {
    scale.K_gm = 15000000;
    scale.RpmClock = 7500000;
    Set16(64, 0);
    ASSERT_TRUE(Parse());
    EXPECT_EQ(images.Mem1Data.Rpm, 0);

    Set16(64, 3000);
    images.Mem2Data.Flags = 0x40;
    ASSERT_TRUE(Parse());
    EXPECT_EQ(images.Mem1Data.Rpm, 2500);

    images.Mem2Data.Flags = 0;
    Set16(64, 7000);
    ASSERT_TRUE(Parse());
    EXPECT_EQ(images.Mem1Data.Rpm, 15000000.0 / 7000) << "not rounded";
    EXPECT_EQ(images.Mem1Prev.Rpm, 2500);
}

TEST_F(LiveData, AShortReplyIsAFailedReadThatChangesNothing) {
    Set16(64, 3000);
    data[72] = 1;
    ASSERT_TRUE(Parse());
    const Mem1Rec before = images.Mem1Data;
    const Mem1Rec prev = images.Mem1Prev;
    EXPECT_FALSE(ParseMem1(Reply(CmdReadMem1, data.left(90)), images, scale));
    EXPECT_FALSE(ParseMem1(Reply(CmdReadMem1, {}), images, scale));
    EXPECT_EQ(images.Mem1Data, before);
    EXPECT_EQ(images.Mem1Prev, prev);
    EXPECT_EQ(images.AcceptedReplies[CmdReadMem1], 1u);
}

} // namespace
