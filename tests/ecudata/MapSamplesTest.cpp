#include "ReplyFrames.h"
#include "ecudata/ConfigScale.h"
#include "ecudata/EcuImages.h"

#include <gtest/gtest.h>

using namespace ecudata;
using ecudata_test::Reply;

namespace {

constexpr quint8 CmdReadSmplGas = 28;
constexpr quint8 CmdReadSmplGas1 = 32;

// A sample reply's data: byte 0 unused, then 30 points of (time, pressure) words.
QByteArray Samples(int time, int press) {
    QByteArray data(SmplWireSize, '\0');
    for (int k = 0; k < 30; ++k) {
        data[1 + 4 * k] = static_cast<char>(time & 0xFF);
        data[2 + 4 * k] = static_cast<char>(time >> 8);
        data[3 + 4 * k] = static_cast<char>(press & 0xFF);
        data[4 + 4 * k] = static_cast<char>(press >> 8);
    }
    return data;
}

void SetPoint(QByteArray& data, int k, int time, int press) {
    data[1 + 4 * k] = static_cast<char>(time & 0xFF);
    data[2 + 4 * k] = static_cast<char>(time >> 8);
    data[3 + 4 * k] = static_cast<char>(press & 0xFF);
    data[4 + 4 * k] = static_cast<char>(press >> 8);
}

struct MapSamples : ::testing::Test {
    ConfigScale scale; // 0.008 ms and 1 mbar per count
    EcuImages images;
};

TEST_F(MapSamples, EachPartFillsItsOwnHalf) {
    ASSERT_TRUE(ParseSmplGas(Reply(CmdReadSmplGas, Samples(500, 400)), 0, images, scale));
    ASSERT_TRUE(ParseSmplGas(Reply(CmdReadSmplGas1, Samples(250, 1000)), 1, images, scale));
    EXPECT_DOUBLE_EQ(images.MapTinjGas[0], 4.0);
    EXPECT_DOUBLE_EQ(images.MapTinjGas[29], 4.0);
    EXPECT_DOUBLE_EQ(images.MapVacmGas[29], 400);
    EXPECT_DOUBLE_EQ(images.MapTinjGas[30], 2.0);
    EXPECT_DOUBLE_EQ(images.MapVacmGas[59], 1000);
    EXPECT_EQ(images.MapTinjGas[60], 0);
    EXPECT_EQ(images.MapTinjBnz[0], 0) << "petrol untouched";
    EXPECT_TRUE(images.MapChanged);
}

TEST_F(MapSamples, StepsAndLimits) {
    const struct {
        int time;
        int press;
        double storedTime;
        double storedPress;
    } cases[] = {
        {6250, 0, 50.0, 0},    // 50.0 ms kept
        {6251, 0, 50.0, 0},    // 50.008 to the step of 0.2: 50.0, kept
        {6263, 100, 0, 0},     // 50.104 to 50.2: beyond 50, dropped
        {10, 6010, 0.0, 6000}, // 300.5 steps of 20 go to 300: 6000 kept
        {10, 6030, 0, 0},      // 301.5 goes to 302: 6040, dropped
        {13, 110, 0.2, 120},   // 0.104 ms to 0.2 (0.52 steps), 110 to 120 (5.5 steps to 6)
    };
    QByteArray data = Samples(0, 0);
    for (int k = 0; k < 6; ++k) {
        SetPoint(data, k, cases[k].time, cases[k].press);
    }
    ASSERT_TRUE(ParseSmplBnz(Reply(27, data), 0, images, scale));
    for (int k = 0; k < 6; ++k) {
        EXPECT_DOUBLE_EQ(images.MapTinjBnz[k], cases[k].storedTime) << k;
        EXPECT_DOUBLE_EQ(images.MapVacmBnz[k], cases[k].storedPress) << k;
    }
}

TEST_F(MapSamples, OutOfRangeInTheSecondPartZeroesOnlyThatPoint) {
    ASSERT_TRUE(ParseSmplGas(Reply(CmdReadSmplGas, Samples(500, 400)), 0, images, scale));
    QByteArray data = Samples(500, 400);
    SetPoint(data, 4, 7000, 400);
    ASSERT_TRUE(ParseSmplGas(Reply(CmdReadSmplGas1, data), 1, images, scale));
    EXPECT_EQ(images.MapTinjGas[34], 0);
    EXPECT_EQ(images.MapVacmGas[34], 0);
    EXPECT_DOUBLE_EQ(images.MapTinjGas[4], 4.0);
    EXPECT_DOUBLE_EQ(images.MapTinjGas[35], 4.0);
}

TEST_F(MapSamples, AShortReplyChangesNoPointButRaisesTheChange) {
    ASSERT_TRUE(ParseSmplGas(Reply(CmdReadSmplGas, Samples(500, 400)), 0, images, scale));
    images.MapChanged = false;
    EXPECT_FALSE(ParseSmplGas(Reply(CmdReadSmplGas, Samples(0, 0).left(120)), 0, images, scale));
    EXPECT_DOUBLE_EQ(images.MapTinjGas[29], 4.0);
    EXPECT_TRUE(images.MapChanged);
}

TEST_F(MapSamples, ClearEmptiesOneFuelButNotEntrySixty) {
    ASSERT_TRUE(ParseSmplGas(Reply(CmdReadSmplGas, Samples(500, 400)), 0, images, scale));
    ASSERT_TRUE(ParseSmplBnz(Reply(27, Samples(500, 400)), 0, images, scale));
    images.MapTinjGas[60] = 7;
    images.MapChanged = false;
    ClearSmplGas(images);
    for (int i = 0; i < 60; ++i) {
        ASSERT_EQ(images.MapTinjGas[i], 0);
        ASSERT_EQ(images.MapVacmGas[i], 0);
    }
    EXPECT_EQ(images.MapTinjGas[60], 7);
    EXPECT_DOUBLE_EQ(images.MapTinjBnz[0], 4.0);
    EXPECT_FALSE(images.MapChanged);
}

} // namespace
