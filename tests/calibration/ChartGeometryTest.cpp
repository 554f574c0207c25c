#include "calibration/ChartGeometry.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

using namespace calibration;

const GridLine* Find(const ChartFrame& f, const QString& name) {
    for (const GridLine& l : f.lines) {
        if (l.name == name) {
            return &l;
        }
    }
    return nullptr;
}

TEST(ChartGeometry, ModelingFrameOf9000By6000) {
    const ModGeometry g = InizVarMod(9000, 6000);
    EXPECT_EQ(g.OrgY, 5640);
    EXPECT_EQ(g.ScaleX, 420);
    EXPECT_EQ(g.ScaleY, 176); // 5475 / 31 = 176.6, truncated
    EXPECT_EQ(g.X(10), 4530);
    EXPECT_EQ(g.Y(10), 3880);

    const ChartFrame f = DrawGridMod(g);
    const GridLine* yAxis = Find(f, "LneXMod(0)");
    ASSERT_TRUE(yAxis);
    EXPECT_EQ(yAxis->y1, 5640);
    EXPECT_EQ(yAxis->y2, 184);
    const GridLine* xAxis = Find(f, "LneYMod(0)");
    EXPECT_EQ(xAxis->x1, 330);
    EXPECT_EQ(xAxis->x2, 8730);
    EXPECT_EQ(Find(f, "LneXMod(1)")->x1, 1170);
    EXPECT_TRUE(Find(f, "LneXMod(1)")->dotted);
    // The tenth vertical line is the solid right border; the top border is element 16.
    EXPECT_EQ(Find(f, "LneXMod(10)")->x1, 8730);
    EXPECT_FALSE(Find(f, "LneXMod(10)")->dotted);
    EXPECT_EQ(Find(f, "LneYMod(16)")->y1, 184);
    EXPECT_FALSE(Find(f, "LneYMod(16)")->dotted);
    EXPECT_FALSE(Find(f, "LneYMod(17)"));
    EXPECT_EQ(f.backLeft, 330);
    EXPECT_EQ(f.backTop, 184);
    EXPECT_EQ(f.backWidth, 8415);
    EXPECT_EQ(f.backHeight, 5471);

    QStringList x, y;
    for (const AxisNumber& n : f.numbers) {
        (n.onXAxis ? x : y) << n.caption;
    }
    EXPECT_EQ(x.join(' '), "0 2 4 6 8 10 12 14 16 18 20");
    EXPECT_EQ(y.join(' '), "0 2 4 6 8 10 12 14 16 18 20 22 24 26 28 30"); // none at 31
}

TEST(ChartGeometry, MapFrameOf9000By6000) {
    MapGeometry g;
    InizVarMap(g, 9000, 6000);
    EXPECT_EQ(g.OrgY, 5595);
    EXPECT_EQ(g.ScaleX, 8175);
    EXPECT_EQ(g.ScaleY, 662); // nearest(661.875)
    EXPECT_EQ(g.MaxY, 8);

    const ChartFrame f = DrawGridMap(g, ",");
    EXPECT_EQ(Find(f, "LneYMap(1)")->y1, 4271);
    EXPECT_EQ(Find(f, "LneYMap(2)")->y1, 2947);
    EXPECT_EQ(Find(f, "LneYMap(3)")->y1, 1623);
    EXPECT_EQ(Find(f, "LneYMap(4)")->y1, 299);
    EXPECT_FALSE(Find(f, "LneYMap(4)")->dotted);
    EXPECT_DOUBLE_EQ(Find(f, "LneXMap(1)")->x1, 1192.5);
    EXPECT_DOUBLE_EQ(Find(f, "LneXMap(9)")->x1, 7732.5);
    EXPECT_EQ(Find(f, "LneXMap(10)")->x1, 8550);
    EXPECT_EQ(f.backWidth, 8175);

    QStringList x, y;
    for (const AxisNumber& n : f.numbers) {
        (n.onXAxis ? x : y) << n.caption;
    }
    EXPECT_EQ(x.join(' '), "0 0,1 0,2 0,3 0,4 0,5 0,6 0,7 0,8 0,9");
    EXPECT_EQ(y.join(' '), "0 2 4 6");
}

TEST(ChartGeometry, MapGridIsRecountedForEachYMaximum) {
    const struct {
        double maxY;
        const char* numbers;
        int border;
    } cases[] = {{8, "0 2 4 6", 4}, {9, "0 2 4 6 8", 5}, {12, "0 2 4 6 8 10", 6}};
    for (const auto& c : cases) {
        MapGeometry g;
        g.MaxY = c.maxY;
        InizVarMap(g, 9000, 6000);
        const ChartFrame f = DrawGridMap(g, ".");
        QStringList y;
        for (const AxisNumber& n : f.numbers) {
            if (!n.onXAxis) {
                y << n.caption;
            }
        }
        EXPECT_EQ(y.join(' '), c.numbers) << c.maxY;
        const GridLine* border = Find(f, QStringLiteral("LneYMap(%1)").arg(c.border));
        ASSERT_TRUE(border) << c.maxY;
        EXPECT_FALSE(border->dotted);
        EXPECT_EQ(border->y1, g.Y(c.maxY));
        EXPECT_FALSE(Find(f, QStringLiteral("LneYMap(%1)").arg(c.border + 1)));
    }
}

} // namespace
