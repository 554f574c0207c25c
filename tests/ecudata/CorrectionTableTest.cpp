#include "common/MsgBoxCapture.h"
#include "ecudata/ConfigScale.h"
#include "ecudata/EcuImages.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ecudata;

namespace {

// The default model cells of points 0..7.
constexpr int Cells[8] = {0, 28, 55, 71, 86, 102, 125, 157};

// Points at the default cells whose gas time exceeds the petrol time by offset + e[i].
ModRec Model(float offset, const std::array<float, 8>& e) {
    ModRec m;
    m.Offset = offset;
    m.Alfa = 1;
    for (int i = 0; i < 8; ++i) {
        m.X[i] = static_cast<float>(Cells[i] * 0.128);
        m.Y[i] = m.X[i] + offset + e[i];
    }
    return m;
}

struct CorrectionTable : ::testing::Test {
    ConfigScale scale;
    EcuImages images;
};

TEST_F(CorrectionTable, PointsOnTheLineGiveNoCorrection) {
    TblCor t{};
    ASSERT_TRUE(CalcTblCor(t, Model(0, {}), scale));
    for (int c = 0; c <= 180; ++c) {
        EXPECT_EQ(t[c], 0) << c;
    }
    EXPECT_EQ(t[181], 0);
    EXPECT_EQ(t[182], 1);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(t[183 + i], Cells[i]) << i;
    }
}

TEST_F(CorrectionTable, CellsInterpolateTheirSegment) {
    TblCor t{};
    ASSERT_TRUE(CalcTblCor(t, Model(0.5f, {0, 0, 0, 0, 1, 2, 2, 3}), scale));
    // Cell 100 (12.8 ms) lies between point 4 (11.008 ms) and point 5 (13.056 ms).
    EXPECT_DOUBLE_EQ(t[100], 2.375);
    EXPECT_DOUBLE_EQ(t[86], 1.5) << "point 4 itself";
    EXPECT_DOUBLE_EQ(t[157], 3.5) << "20.096 ms: point 7";
    EXPECT_DOUBLE_EQ(t[170], t[157]);
    EXPECT_DOUBLE_EQ(t[181], 0.5);
}

TEST_F(CorrectionTable, PointsSharingOnePetrolTimeGiveFiniteCells) {
    // What FixTblCor makes of clamped cells: points 1/2 on cell 10, points 6/7 on 157.
    TblCor t{};
    ModRec m = Model(0.25f, {0, 1, 1, 1, 1, 1, 2, 2});
    m.X[1] = m.X[2] = static_cast<float>(10 * 0.128);
    m.X[6] = m.X[7];
    ASSERT_TRUE(CalcTblCor(t, m, scale));
    for (int c = 0; c <= 190; ++c) {
        EXPECT_TRUE(std::isfinite(t[c])) << c;
    }
    EXPECT_DOUBLE_EQ(t[157], 2.25);
}

TEST_F(CorrectionTable, AModelTheWireCannotCarryIsRefusedWithAMessage) {
    testing_support::MsgBoxCapture boxes;
    TblCor t{};
    t[5] = 0.123;
    const TblCor before = t;
    ModRec huge = Model(0, {0, 0, 0, 400, 0, 0, 0, 0}); // 400 ms beyond 16 bits
    EXPECT_FALSE(CalcTblCor(t, huge, scale));
    ModRec nan = Model(0, {});
    nan.Y[3] = std::nanf("");
    EXPECT_FALSE(CalcTblCor(t, nan, scale));
    EXPECT_EQ(t, before);
    EXPECT_EQ(boxes.boxes.size(), 2u);
}

TEST_F(CorrectionTable, FixTblCorOrdersThePointsAndRebuildsTheModel) {
    const struct {
        std::array<double, 8> in;
        std::array<double, 8> out;
    } cases[] = {
        {{0, 20, 10, 40, 200, 60, 70, 157}, {0, 10, 10, 40, 60, 60, 70, 157}},
        {{5, 50, 40, 30, 60, 70, 80, 100}, {0, 30, 30, 30, 60, 70, 80, 157}},
    };
    for (const auto& c : cases) {
        TblCor& t = images.TblCorEdit;
        std::copy(c.in.begin(), c.in.end(), t.begin() + 183);
        FixTblCor(images);
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(t[183 + i], c.out[i]) << i;
        }
    }
    TblCor& t = images.TblCorEdit;
    t[30] = 0.75; // at point 3 (cell 30)
    t[181] = -0.5;
    t[182] = 1.25;
    FixTblCor(images);
    const ModRec& m = images.ModPoints;
    EXPECT_EQ(t[181], 0);
    EXPECT_EQ(m.Offset, 0);
    EXPECT_EQ(m.Alfa, 1.25f);
    EXPECT_FLOAT_EQ(m.X[3], 30 * 0.128f);
    EXPECT_EQ(m.BaseX[3], m.X[3]);
    EXPECT_EQ(m.dX[3], 0);
    EXPECT_NEAR(m.Y[3] - m.X[3], 0.75, 1e-5) << "the table's correction at the point";
}

// A read block of 48 words as hex text, low byte first.
QString Block(const std::array<int, 48>& words) {
    QString hex;
    for (const int w : words) {
        const auto u = static_cast<quint16>(w);
        hex += QString::asprintf("%02X%02X", u & 0xFF, u >> 8);
    }
    return hex;
}

TEST_F(CorrectionTable, EveryReadBlockMustBeWhole) {
    TblCor t{};
    t[0] = 9;
    std::array<int, 48> words{};
    words.fill(125);
    EXPECT_FALSE(DecodeTblCorBlock(Block(words).left(191), 0, t, scale));
    EXPECT_FALSE(DecodeTblCorBlock(Block(words).left(96), 1, t, scale));
    EXPECT_EQ(t[0], 9);
    EXPECT_TRUE(DecodeTblCorBlock(Block(words), 0, t, scale));
    EXPECT_DOUBLE_EQ(t[0], 1.0);
    EXPECT_DOUBLE_EQ(t[47], 1.0);
}

TEST_F(CorrectionTable, CurrentLayoutRoundTripsThroughTheWire) {
    TblCor t{};
    for (int c = 0; c <= 180; ++c) {
        t[c] = (c % 7 - 3) * 0.008;
    }
    t[181] = 0.25;
    t[182] = 1.125;
    for (int i = 0; i < 8; ++i) {
        t[183 + i] = Cells[i];
    }
    t[191] = 12345; // never sent
    ASSERT_TRUE(TblCorFitsWire(t, scale));
    TblCor back{};
    for (int b = 0; b < TblCorBlocks; ++b) {
        const QString hex = EncodeTblCorBlock(t, b, scale);
        ASSERT_EQ(hex.size(), 192);
        ASSERT_TRUE(DecodeTblCorBlock(hex, b, back, scale));
    }
    EXPECT_TRUE(EncodeTblCorBlock(t, 3, scale).endsWith("FFFF"));
    t[191] = -1;
    for (int c = 0; c < 192; ++c) {
        EXPECT_NEAR(back[c], t[c], 1e-12) << c;
    }
}

TEST_F(CorrectionTable, OlderLayoutIsMovedIntoTheCurrentOne) {
    std::array<int, 48> words{};
    for (int c = 144; c <= 183; ++c) {
        words[c - 144] = 5;
    }
    const int tail[8] = {500, 1000, 0, 30, 60, 100, 130, 157}; // cells 184..191
    std::copy(std::begin(tail), std::end(tail), words.begin() + 40);
    TblCor t{};
    ASSERT_TRUE(DecodeTblCorBlock(Block(words), 3, t, scale));
    EXPECT_DOUBLE_EQ(t[180], 0.04);
    EXPECT_DOUBLE_EQ(t[181], 0.5);
    EXPECT_DOUBLE_EQ(t[182], 1.0);
    const double points[8] = {0, 30, 45, 60, 100, 115, 130, 157};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(t[183 + i], points[i]) << i;
    }
    EXPECT_EQ(t[191], -1);
}

TEST_F(CorrectionTable, TablesThatDoNotFitTheWireAreRefused) {
    TblCor t{};
    EXPECT_TRUE(TblCorFitsWire(t, scale));
    t[12] = 300; // 37500 counts of 0.008 ms
    EXPECT_FALSE(TblCorFitsWire(t, scale));
    t[12] = 0;
    t[182] = std::nan("");
    EXPECT_FALSE(TblCorFitsWire(t, scale));
    t[182] = 1;
    t[191] = std::nan(""); // the end marker is never sent
    EXPECT_TRUE(TblCorFitsWire(t, scale));
}

} // namespace
