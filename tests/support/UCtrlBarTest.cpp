#include "support/UCtrlBar.h"

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <gtest/gtest.h>

using support::UCtrlBar;

namespace {

constexpr quint32 kButtonFace = 0x8000000Fu;
constexpr quint32 kCyan = 0x00FFFF00u; // BGR
constexpr quint32 kRed = 0x000000FFu;  // BGR

// A bar 100 px (1,500 twips) wide, as the injector bars are placed.
class UCtrlBarTest : public ::testing::Test {
protected:
    void SetUp() override { bar.resize(100, 20); }

    void Configure(qint16 maxVal, qint16 mimVal, qint16 stepVal, qint16 style,
                   quint32 color = kCyan) {
        bar.Configura(maxVal, mimVal, stepVal, kButtonFace, color, style);
    }

    QList<int> Lit() const {
        QList<int> lit;
        for (int i = 0; i < bar.ShpBar().size(); ++i) {
            if (bar.ShpBar()[i].visible) {
                lit.append(i);
            }
        }
        return lit;
    }

    QImage Render() {
        QImage image(bar.size(), QImage::Format_ARGB32);
        image.fill(Qt::magenta);
        bar.render(&image);
        return image;
    }

    UCtrlBar bar;
};

QList<int> Range(int from, int to) {
    QList<int> values;
    for (int i = from; i < to; ++i) {
        values.append(i);
    }
    return values;
}

} // namespace

TEST_F(UCtrlBarTest, StartsWithDefaultScaleAndNothingShown) {
    EXPECT_EQ(bar.MaxVal(), 100);
    EXPECT_EQ(bar.MimVal(), 0);
    EXPECT_EQ(bar.StepVal(), 10);
    EXPECT_EQ(bar.ShpBar().size(), 1);
    EXPECT_EQ(bar.Valore(), 0);
}

TEST_F(UCtrlBarTest, ConfiguraLaysEqualSegmentsSideBySide) {
    Configure(100, 0, 10, 0);
    ASSERT_EQ(bar.ShpBar().size(), 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(bar.ShpBar()[i].left, i * 150) << i;
        EXPECT_EQ(bar.ShpBar()[i].width, 150) << i;
        EXPECT_TRUE(bar.ShpBar()[i].visible) << i;
        EXPECT_FALSE(bar.ShpBar()[i].border) << "style 0 draws no segment border";
    }
    EXPECT_EQ(bar.ForeColor(), kCyan);
}

TEST_F(UCtrlBarTest, ConfiguraRoundsSegmentsToWholePixels) {
    Configure(21, 0, 1, 1); // the injector bars' scale: 100 px / 21 = 4.76 px
    ASSERT_EQ(bar.ShpBar().size(), 21);
    EXPECT_EQ(bar.ShpBar()[0].width, 75);
    EXPECT_EQ(bar.ShpBar()[20].left, 20 * 75);
    EXPECT_TRUE(bar.ShpBar()[20].border) << "a style above 0 borders every segment";
}

TEST_F(UCtrlBarTest, ConfiguraCorrectsTheScaleInTheCallersVariables) {
    const struct {
        qint16 maxVal, mimVal, stepVal;
        qint16 wantMax, wantStep;
        int wantSegments; // segments shown
    } cases[] = {
        {100, 0, 10, 100, 10, 10},
        {5, 10, 10, 10, 1, 0}, // MaxVal below MimVal: raised, range 0
        {100, 0, 0, 100, 1, 100},
        {100, 0, -3, 100, 1, 100},
        {100, 0, 500, 100, 100, 1},
        {-10, -20, 3, -10, 3, 3},
        {32767, -32768, 32767, 32767, 32767, 2}, // range beyond 16 bits
        {32767, -32768, 1, 32767, 1, 65535},
    };
    for (const auto& c : cases) {
        UCtrlBar fresh;
        fresh.resize(100, 20);
        qint16 maxVal = c.maxVal;
        qint16 stepVal = c.stepVal;
        fresh.Configura(maxVal, c.mimVal, stepVal, kButtonFace, kCyan, 0);
        const auto label = ::testing::Message() << c.maxVal << "/" << c.mimVal << "/" << c.stepVal;
        EXPECT_EQ(maxVal, c.wantMax) << label;
        EXPECT_EQ(stepVal, c.wantStep) << label;
        EXPECT_EQ(fresh.MaxVal(), c.wantMax) << label;
        EXPECT_EQ(fresh.MimVal(), c.mimVal) << label;
        EXPECT_EQ(fresh.StepVal(), c.wantStep) << label;
        int shown = 0;
        for (const auto& segment : fresh.ShpBar()) {
            shown += segment.visible ? 1 : 0;
        }
        EXPECT_EQ(shown, c.wantSegments) << label;
    }
}

TEST_F(UCtrlBarTest, ValoreFillsARunFromTheLeft) {
    Configure(100, 0, 10, 0);
    const struct {
        qint16 value;
        QList<int> lit;
        qint16 writtenBack;
        qint16 reads;
    } cases[] = {
        {35, {0, 1, 2}, 3, 30},
        {-5, {}, 0, 0},
        {0, {}, 0, 0},
        {9, {}, 0, 0},
        {100, Range(0, 10), 10, 100},
        {500, Range(0, 10), 50, 100}, // beyond the end: all shown
    };
    for (const auto& c : cases) {
        qint16 value = c.value;
        bar.Valore(value);
        EXPECT_EQ(Lit(), c.lit) << c.value;
        EXPECT_EQ(value, c.writtenBack) << c.value;
        EXPECT_EQ(bar.Valore(), c.reads) << c.value;
    }
}

TEST_F(UCtrlBarTest, ValoreCountsFromZeroNotFromMimVal) {
    Configure(100, 50, 10, 0);
    qint16 value = 35;
    bar.Valore(value);
    EXPECT_EQ(Lit(), (QList<int>{0, 1, 2}));
    EXPECT_EQ(value, 3);
}

TEST_F(UCtrlBarTest, ValoreInStyle2LightsOneSegment) {
    Configure(100, 0, 10, UCtrlBar::kStyleSingle);
    const struct {
        qint16 value;
        int lit;
        qint16 writtenBack;
    } cases[] = {{35, 3, 3}, {0, 0, 0}, {-5, 0, 0}, {500, 9, 9}};
    for (const auto& c : cases) {
        qint16 value = c.value;
        bar.Valore(value);
        EXPECT_EQ(Lit(), QList<int>{c.lit}) << c.value;
        EXPECT_EQ(value, c.writtenBack) << c.value;
    }
}

TEST_F(UCtrlBarTest, ASecondConfiguraWithFewerSegmentsKeepsTheExtras) {
    Configure(100, 0, 10, 0);
    Configure(50, 0, 10, 0);
    const auto& segments = bar.ShpBar();
    ASSERT_EQ(segments.size(), 10);
    EXPECT_EQ(segments[0].width, 300);
    for (int i = 1; i < segments.size(); ++i) {
        EXPECT_TRUE(segments[i].visible) << i;
        EXPECT_EQ(segments[i].left, segments[i - 1].left + segments[i - 1].width) << i;
    }
    qint16 value = 90;
    bar.Valore(value);
    EXPECT_EQ(Lit(), Range(0, 9));
}

TEST_F(UCtrlBarTest, ForeColorAndStepBorderReachEverySegment) {
    Configure(100, 0, 10, 0);
    bar.ForeColor(kRed);
    bar.StepBorder(1);
    for (const auto& segment : bar.ShpBar()) {
        EXPECT_EQ(segment.fillColor, kRed);
        EXPECT_EQ(segment.borderColor, kRed);
        EXPECT_TRUE(segment.border);
    }
    EXPECT_EQ(bar.ForeColor(), kRed);
    bar.StepBorder(0);
    EXPECT_FALSE(bar.ShpBar()[5].border);
}

TEST_F(UCtrlBarTest, PaintsLitSegmentsInTheirBgrColourOnTheBackground) {
    Configure(100, 0, 10, 0, kCyan);
    qint16 value = 35;
    bar.Valore(value);
    const QImage image = Render();
    const QColor face = bar.palette().color(QPalette::Button);
    EXPECT_EQ(image.pixelColor(5, 10), QColor(0, 255, 255)) << "segment 0";
    EXPECT_EQ(image.pixelColor(25, 10), QColor(0, 255, 255)) << "segment 2";
    EXPECT_EQ(image.pixelColor(35, 10), face) << "segment 3 is hidden";
    EXPECT_EQ(image.pixelColor(95, 10), face);
}

TEST_F(UCtrlBarTest, ZeroRangeShowsNothingAndPaints) {
    Configure(100, 0, 10, 0, kRed);
    Configure(10, 10, 1, 0, kRed);
    EXPECT_EQ(Lit(), QList<int>{});

    for (qint16 style : {qint16(0), UCtrlBar::kStyleSingle}) {
        Configure(10, 10, 1, style, kRed);
        qint16 value = 35;
        bar.Valore(value);
        EXPECT_EQ(Lit(), QList<int>{}) << style;
        EXPECT_EQ(value, 0) << style;
        EXPECT_EQ(bar.Valore(), 0) << style;
    }

    const QImage image = Render();
    const QColor face = bar.palette().color(QPalette::Button);
    for (int x : {2, 50, 97}) {
        EXPECT_EQ(image.pixelColor(x, 10), face) << x;
    }

    Configure(100, 0, 10, 0, kRed);
    EXPECT_EQ(Lit(), Range(0, 10)) << "a later scale brings the segments back";
}
