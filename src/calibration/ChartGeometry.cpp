#include "calibration/ChartGeometry.h"

#include "support/Conversions.h"

#include <cmath>

namespace calibration {

namespace {

using support::GeneralNumberText;
using support::RoundHalfEven;

QString Element(const char* array, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(index);
}

// The axes, their origin numbers and the plot background, common to both charts: the Y
// axis runs from the origin up to yTop, the X axis to xRight.
ChartFrame Axes(const char* verticals, const char* horizontals, double orgX, double orgY,
                double xRight, double yTop, double backGrow) {
    ChartFrame frame;
    frame.lines.push_back({Element(verticals, 0), orgX, orgY, orgX, yTop});
    frame.lines.push_back({Element(horizontals, 0), orgX, orgY, xRight, orgY});
    frame.numbers.push_back({QStringLiteral("0"), orgX, orgY + 100, true});
    frame.numbers.push_back({QStringLiteral("0"), orgX - 120, orgY, false});
    frame.backLeft = orgX;
    frame.backTop = yTop;
    frame.backWidth = xRight - orgX + backGrow;
    frame.backHeight = orgY - yTop + backGrow;
    return frame;
}

} // namespace

qint32 IntDiv(double a, double b) {
    const auto d = static_cast<qint32>(RoundHalfEven(b));
    return d == 0 ? 0 : static_cast<qint32>(RoundHalfEven(a)) / d;
}

ModGeometry InizVarMod(float frameWidth, float frameHeight) {
    ModGeometry g;
    g.OrgY = static_cast<qint16>(RoundHalfEven(frameHeight - g.OrgX - 30.0f - TitleBand));
    g.ScaleY = static_cast<float>(IntDiv(frameHeight - 525.0f - 2 * TitleBand, g.MaxY));
    g.ScaleX = static_cast<float>(IntDiv(frameWidth - 600.0f, g.MaxX));
    return g;
}

void InizVarMap(MapGeometry& map, float frameWidth, float frameHeight) {
    map.OrgX = 375;
    map.OrgY = static_cast<qint16>(RoundHalfEven(frameHeight - 30.0f - map.OrgX - TitleBand));
    map.MaxX = 1.0;
    if (map.MaxY < 8.0) {
        map.MaxY = 8.0;
    }
    map.ScaleX = RoundHalfEven((frameWidth - map.OrgX - 450.0) / map.MaxX);
    map.ScaleY = MapScaleY(map);
    map.StepY = 2.0;
    map.StepX = 0.1;
}

double MapScaleY(const MapGeometry& map) {
    // The plot's top stays clear of the title band above it however the scale rounds.
    return map.MaxY > 0 ? RoundHalfEven((map.OrgY - TitleBand - 60.0) / map.MaxY) : 0;
}

ChartFrame DrawGridMod(const ModGeometry& mod) {
    const double xRight = mod.OrgX + (mod.SpanX / 15) * mod.ScaleX;
    const double yTop = mod.OrgY - (mod.SpanY / 15) * mod.ScaleY;
    ChartFrame frame = Axes("LneXMod", "LneYMod", mod.OrgX, mod.OrgY, xRight, yTop, 15);

    const auto gridCount = [](float span, double grid) {
        const qint32 rest = static_cast<qint32>(RoundHalfEven(span)) %
                            std::max<qint32>(1, static_cast<qint32>(RoundHalfEven(grid)));
        return static_cast<int>((span - rest) / grid);
    };
    const int nX = gridCount(mod.SpanX, mod.GridX);
    const double sX = mod.GridX / 15;
    for (int i = 1; i <= nX; ++i) {
        const double x = mod.OrgX + i * sX * mod.ScaleX;
        // The last vertical line is the right border.
        frame.lines.push_back({Element("LneXMod", i), x, double(mod.OrgY), x, yTop, i < nX});
        frame.numbers.push_back({GeneralNumberText(i * sX, "."), x, mod.OrgY + 100.0, true});
    }
    const int nY = gridCount(mod.SpanY, mod.GridY);
    const double sY = mod.GridY / 15;
    for (int i = 1; i <= nY; ++i) {
        const double y = mod.OrgY - i * sY * mod.ScaleY;
        frame.lines.push_back({Element("LneYMod", i), double(mod.OrgX), y, xRight, y, true});
        frame.numbers.push_back({GeneralNumberText(i * sY, "."), mod.OrgX - 120.0, y, false});
    }
    frame.lines.push_back({Element("LneYMod", nY + 1), double(mod.OrgX), yTop, xRight, yTop});
    return frame;
}

ChartFrame DrawGridMap(const MapGeometry& map, const QString& decimalSep) {
    const double xRight = map.OrgX + map.MaxX * map.ScaleX;
    const double yTop = map.OrgY - map.MaxY * map.ScaleY;
    ChartFrame frame = Axes("LneXMap", "LneYMap", map.OrgX, map.OrgY, xRight, yTop, 0);

    for (int i = 1; i <= 9; ++i) {
        const double x = map.OrgX + i * map.StepX * map.ScaleX;
        frame.lines.push_back({Element("LneXMap", i), x, double(map.OrgY), x, yTop, true});
        frame.numbers.push_back(
            {GeneralNumberText(i * map.StepX, decimalSep), x, map.OrgY + 100.0, true});
    }
    frame.lines.push_back({Element("LneXMap", 10), xRight, double(map.OrgY), xRight, yTop});

    // Positions 0, k, 2k, ... below the maximum; the first one at or above it is the border.
    const auto k = static_cast<qint32>(RoundHalfEven(map.StepY));
    int c = 0;
    for (qint32 j = 0; j <= 1000 && j < map.MaxY; j += std::max(k, 1)) {
        ++c;
    }
    for (int i = 1; i < c; ++i) {
        const double y = map.OrgY - i * map.StepY * map.ScaleY;
        frame.lines.push_back({Element("LneYMap", i), double(map.OrgX), y, xRight, y, true});
        frame.numbers.push_back(
            {GeneralNumberText(i * map.StepY, decimalSep), map.OrgX - 120.0, y, false});
    }
    frame.lines.push_back({Element("LneYMap", c), double(map.OrgX), yTop, xRight, yTop});
    return frame;
}

AxisTitles PlaceAxisTitles(const ChartFrame& frame, double frameHeight, QSizeF yTitle,
                           QSizeF xTitle) {
    // Clear of the frame's border line.
    constexpr double Border = 15;
    const double xRight = frame.lines.size() > 1 ? frame.lines[1].x2 : frame.backLeft;
    AxisTitles titles;
    titles.y = QRectF(QPointF(60, Border), yTitle);
    titles.x = QRectF(QPointF(std::max(60.0, xRight - xTitle.width()),
                              frameHeight - TitleBand + (TitleBand - Border - xTitle.height())),
                      xTitle);
    return titles;
}

} // namespace calibration
