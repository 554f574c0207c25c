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
    EXPECT_EQ(g.OrgY, 5340); // the X title's band below the numbers
    EXPECT_EQ(g.ScaleX, 420);
    EXPECT_EQ(g.ScaleY, 157); // 4875 / 31 = 157.3, truncated
    EXPECT_EQ(g.X(10), 4530);
    EXPECT_EQ(g.Y(10), 3770);

    const ChartFrame f = DrawGridMod(g);
    const GridLine* yAxis = Find(f, "LneXMod(0)");
    ASSERT_TRUE(yAxis);
    EXPECT_EQ(yAxis->y1, 5340);
    EXPECT_EQ(yAxis->y2, 473);
    const GridLine* xAxis = Find(f, "LneYMod(0)");
    EXPECT_EQ(xAxis->x1, 330);
    EXPECT_EQ(xAxis->x2, 8730);
    EXPECT_EQ(Find(f, "LneXMod(1)")->x1, 1170);
    EXPECT_TRUE(Find(f, "LneXMod(1)")->dotted);
    // The tenth vertical line is the solid right border; the top border is element 16.
    EXPECT_EQ(Find(f, "LneXMod(10)")->x1, 8730);
    EXPECT_FALSE(Find(f, "LneXMod(10)")->dotted);
    EXPECT_EQ(Find(f, "LneYMod(16)")->y1, 473);
    EXPECT_FALSE(Find(f, "LneYMod(16)")->dotted);
    EXPECT_FALSE(Find(f, "LneYMod(17)"));
    EXPECT_EQ(f.backLeft, 330);
    EXPECT_EQ(f.backTop, 473);
    EXPECT_EQ(f.backWidth, 8415);
    EXPECT_EQ(f.backHeight, 4882);

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
    EXPECT_EQ(g.OrgY, 5295);
    EXPECT_EQ(g.ScaleX, 8175);
    EXPECT_EQ(g.ScaleY, 617); // nearest(616.875)
    EXPECT_EQ(g.MaxY, 8);

    const ChartFrame f = DrawGridMap(g, ",");
    EXPECT_EQ(Find(f, "LneYMap(1)")->y1, 4061);
    EXPECT_EQ(Find(f, "LneYMap(2)")->y1, 2827);
    EXPECT_EQ(Find(f, "LneYMap(3)")->y1, 1593);
    EXPECT_EQ(Find(f, "LneYMap(4)")->y1, 359);
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

// The axis titles stand inside the frame, off the plot and over no number, whatever the
// frame's size (the window's start size, a full screen) and the Map's Y maximum.
TEST(ChartGeometry, AxisTitlesStandBesideThePlotOverNoNumber) {
    const QSizeF title(1500, 285);
    // A number drawn at most 500 twips wide and 240 high, placed as the canvas places it.
    const auto numberBox = [](const AxisNumber& n) {
        return n.onXAxis ? QRectF(n.x - 250, n.y, 500, 240)
                         : QRectF(n.x - 500, n.y - 120, 500, 240);
    };
    const struct {
        double width, height, mapMaxY;
    } frames[] = {{6450, 6300, 8}, {7020, 5100, 8}, {24600, 14500, 8}, {7020, 5100, 13}};
    for (const auto& size : frames) {
        MapGeometry map;
        map.MaxY = size.mapMaxY;
        InizVarMap(map, float(size.width), float(size.height));
        for (const ChartFrame& f : {DrawGridMod(InizVarMod(float(size.width), float(size.height))),
                                    DrawGridMap(map, ",")}) {
            const AxisTitles at = PlaceAxisTitles(f, size.height, title, title);
            const QRectF frame(0, 0, size.width, size.height);
            const QRectF plot(f.backLeft, f.backTop, f.backWidth, f.backHeight);
            for (const QRectF& t : {at.y, at.x}) {
                EXPECT_TRUE(frame.contains(t)) << size.width << " x " << size.height;
                EXPECT_FALSE(plot.intersects(t)) << size.width << " x " << size.height;
                for (const AxisNumber& n : f.numbers) {
                    EXPECT_FALSE(numberBox(n).intersects(t))
                        << n.caption.toStdString() << " in " << size.width << " x " << size.height;
                }
            }
            // Beside their axes: the Y title above the Y axis, the X title ending with the X axis.
            EXPECT_LE(at.y.left(), f.backLeft);
            EXPECT_DOUBLE_EQ(at.x.right(), f.backLeft + (f.lines[1].x2 - f.lines[1].x1));
        }
    }
}

} // namespace
