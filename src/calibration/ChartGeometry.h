#pragma once

// The geometry of the Modeling and Map charts in twips, relative to their frames: origin,
// scales, ranges, the conversion from chart units, and the frame's lines and numbers.
// Modeling scales are whole twips truncated by integer division; Map scales are taken to
// the nearest whole number (a half to the even one).

#include <QRectF>
#include <QString>
#include <QtGlobal>
#include <vector>

namespace calibration {

// nearest(a) divided by nearest(b) as 32-bit integers, the quotient truncated.
qint32 IntDiv(double a, double b);

// A point of a frame in twips from its top left corner.
struct Twips {
    double left = 0;
    double top = 0;
    bool operator==(const Twips&) const = default;
};

// The bands inside a frame that hold the axis titles: the Y axis's above the plot, the X
// axis's below the X axis's numbers. The plot leaves them free.
inline constexpr int TitleBand = 300;

struct ModGeometry {
    qint16 OrgX = 330;
    qint16 OrgY = 0;
    float ScaleX = 0;
    float ScaleY = 0;
    float MaxX = 20.0f;
    float MaxY = 31.0f;
    float SpanX = 300.0f; // fifteenths of a millisecond
    float SpanY = 465.0f;
    double GridX = 30.0;
    double GridY = 30.0;

    double X(double petrolMs) const { return OrgX + petrolMs * ScaleX; }
    double Y(double gasMs) const { return OrgY - gasMs * ScaleY; }
    // The largest petrol and gas time the chart shows (and the model may reach).
    float XMax() const { return SpanX / 15; }
    float YMax() const { return SpanY / 15; }
};

// InizVarMod from the frame's size.
ModGeometry InizVarMod(float frameWidth, float frameHeight);

struct MapGeometry {
    qint16 OrgX = 375;
    qint16 OrgY = 0;
    double ScaleX = 0;
    double ScaleY = 0;
    double MaxX = 1.0;
    double MaxY = 0; // raised to 8 by InizVarMap, widened by the map's own scaling
    double StepX = 0.1;
    double StepY = 2.0;

    double X(double bar) const { return OrgX + bar * ScaleX; }
    double Y(double ms) const { return OrgY - ms * ScaleY; }
};

// InizVarMap from the frame's size; keeps a MaxY of 8 or more.
void InizVarMap(MapGeometry& map, float frameWidth, float frameHeight);
// MapScaleY for the current MaxY (also after the Y maximum changed).
double MapScaleY(const MapGeometry& map);

// A line of a chart frame, named as its element ("LneXMod(3)").
struct GridLine {
    QString name;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool dotted = false; // dotted grey grid line; else solid black (axis or border)
};

// An axis number: X numbers are centred on x with their top at y, Y numbers end at x
// (right-aligned) and are centred on y.
struct AxisNumber {
    QString caption;
    double x = 0;
    double y = 0;
    bool onXAxis = true;
};

struct ChartFrame {
    std::vector<GridLine> lines; // axes first, then grid lines, borders last
    std::vector<AxisNumber> numbers;
    double backLeft = 0, backTop = 0, backWidth = 0, backHeight = 0; // plot background
};

ChartFrame DrawGridMod(const ModGeometry& mod);
ChartFrame DrawGridMap(const MapGeometry& map, const QString& decimalSep);

// Where the two axis titles of a chart frame stand, given their sizes: the Y axis's at
// the frame's top left, the X axis's at its bottom, ending where the X axis ends; both in
// their bands, over no number and inside the frame.
struct AxisTitles {
    QRectF y, x;
};
AxisTitles PlaceAxisTitles(const ChartFrame& frame, double frameHeight, QSizeF yTitle,
                           QSizeF xTitle);

} // namespace calibration
