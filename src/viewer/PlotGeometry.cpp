#include "viewer/PlotGeometry.h"

#include "support/Conversions.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace viewer {

namespace {

constexpr double DivisionWidth = 1500;
constexpr double DivisionHeight = 585;

// The nearest whole number, halves to even; a value beyond the int range (a position far
// off the picture, a span of years) stays at its end instead of overflowing.
int Nearest(double v) {
    constexpr double low = std::numeric_limits<int>::min();
    constexpr double high = std::numeric_limits<int>::max();
    return std::isnan(v) ? 0 : static_cast<int>(std::clamp(std::nearbyint(v), low, high));
}

} // namespace

int XOfStart(double ta, double to, double k) {
    return Nearest((ta - to) / k);
}

int XOfEnd(double ta, double tb, int xa, double k) {
    return Nearest((tb - ta) / k + xa);
}

int YOfValue(double offset, double value, double zoom) {
    return Nearest(offset + 120 - value * zoom);
}

double ChannelValue(const Mem1Rec& m, int c, int selInjector) {
    const auto inj = static_cast<std::size_t>(std::clamp(selInjector, 0, 7));
    switch (c) {
    case 0:
        return m.TInjGas[inj];
    case 1:
        return m.TInjBenz[inj];
    case 2:
        return m.Vacuum;
    case 3:
        return m.PressGas;
    case 4:
        return m.Lambda1;
    case 5:
        return m.Rpm;
    case 6:
        return m.Temp1;
    default:
        return m.Temp;
    }
}

QString ReadoutText(const Mem1Rec& m, int c, int selInjector, const QString& decimalSep) {
    const double v = ChannelValue(m, c, selInjector);
    switch (c) {
    case 2:
    case 3:
        return Rounded3Text(v / 1000, decimalSep);
    case 5:
        return QString::number(support::RoundHalfEven(v), 'f', 0);
    default:
        return Rounded3Text(v, decimalSep);
    }
}

std::vector<QPoint> GridDots(int width, int height) {
    std::vector<QPoint> dots;
    for (int r = 0; r * DivisionHeight / 8 <= height; ++r) {
        const double y = r * DivisionHeight / 8;
        for (int c = 0; c * DivisionWidth / 8 <= width; ++c) {
            if (c % 8 == 0 || r % 8 == 0) {
                dots.emplace_back(Nearest(c * DivisionWidth / 8), Nearest(y + 15));
            }
        }
    }
    return dots;
}

double ZoomIn(double zoom) {
    return zoom * 2 >= MaxZoom ? MaxZoom : zoom * 2;
}

double ZoomOut(double zoom) {
    return zoom / 2 <= MinZoom ? MinZoom : zoom / 2;
}

double OffsetUp(double offset) {
    return offset - OffsetStep < MinOffset ? MinOffset : offset - OffsetStep;
}

double OffsetDown(double offset, double ceiling) {
    return offset + OffsetStep > ceiling ? ceiling : offset + OffsetStep;
}

SecDivStep SecDivUp(double s) {
    SecDivStep step;
    if (s == 20) {
        step.SecDiv = 20;
        step.UpEnabled = false;
        step.DownEnabled = true;
        step.Changed = false;
        return step;
    }
    double next = 20;
    for (const double v : {1.0, 2.0, 5.0, 7.5, 10.0}) {
        if (s < v) {
            next = v;
            break;
        }
    }
    step.SecDiv = next;
    if (next >= 20) {
        step.SecDiv = 20;
        step.UpEnabled = false;
        step.FocusDown = true;
    }
    if (step.SecDiv > 1) {
        step.DownEnabled = true;
    }
    return step;
}

SecDivStep SecDivDown(double s) {
    SecDivStep step;
    if (s == 1) {
        step.SecDiv = 1;
        step.DownEnabled = false;
        step.UpEnabled = true;
        step.Changed = false;
        return step;
    }
    double next = 1;
    if (s >= 20) {
        next = 10;
    } else if (s >= 10) {
        next = 7.5;
    } else if (s >= 7.5) {
        next = 5;
    } else if (s >= 5) {
        next = 2;
    }
    step.SecDiv = next;
    if (next <= 1) {
        step.SecDiv = 1;
        step.DownEnabled = false;
        step.FocusUp = true;
    }
    if (step.SecDiv < 20) {
        step.UpEnabled = true;
    }
    return step;
}

QString SecDivText(double secDiv, const QString& sep) {
    return support::GeneralNumberText(secDiv + 0.001, sep).chopped(1) + " s";
}

QString ZoomText(double zoom, const QString& sep) {
    if (zoom < 1) {
        return support::GeneralNumberText(zoom + 0.000001, sep).chopped(3);
    }
    return QString::number(Nearest(zoom));
}

QString OffsetText(double offset) {
    return QString::number(Nearest(offset));
}

QString CursorTimeText(double t, const QString& sep) {
    const double m = std::trunc(t / 60000);
    const double s = std::trunc((t - 60000 * m) / 1000);
    const double r = t - 60000 * m - 1000 * s;
    const QString sText = "0" + support::GeneralNumberText(s, sep);
    const QString rText = "000" + support::GeneralNumberText(r, sep);
    return " " + support::GeneralNumberText(m, sep) + ": " + sText.right(2) + ". " +
           rText.right(3) + " min ";
}

int ReadoutHeight(int n) {
    if (n < 1) {
        n = 1;
    }
    return static_cast<int>(std::floor(((6870.0 - 585) - 90.0 * n) / n / 15)) * 15;
}

std::optional<SliderRange> SliderRangeFor(double secDiv, qint32 timeFirst, qint32 timeLast) {
    const double span = static_cast<double>(timeLast) - timeFirst;
    if (span <= 1) {
        return std::nullopt;
    }
    const double w = support::RoundHalfEven(secDiv * 6);
    return SliderRange{Nearest(span), Nearest(w / 2 * 1000)};
}

int RecordingCursorIndex(const Samples& s, double x, int lastX, int lastSample, double k) {
    const int last = static_cast<int>(s.size()) - 1;
    if (s.empty() || lastSample > last) {
        return -1;
    }
    if (x <= lastX) {
        if (lastSample >= last) {
            return -1;
        }
        for (int i = 0; i <= lastSample; ++i) {
            if (s[i].TimeStamp >= s[0].TimeStamp + x * k) {
                return i;
            }
        }
        return -1;
    }
    const int from = lastSample + 1;
    if (from < 0 || from > last) {
        return -1;
    }
    for (int i = from; i <= last; ++i) {
        if (s[i].TimeStamp >= s[from].TimeStamp + (x - lastX) * k) {
            return i;
        }
    }
    return -1;
}

int ViewingCursorIndex(const Samples& s, double x, double sliderValue, qint32 timeFirst,
                       int firstDrawn, double k) {
    const int last = static_cast<int>(s.size()) - 1;
    for (int i = std::max(firstDrawn, 0); i <= last; ++i) {
        if (s[i].TimeStamp >= timeFirst + x * k + sliderValue) {
            return i + 1 <= last ? i + 1 : -1;
        }
    }
    return -1;
}

int FirstDrawnSample(const Samples& s, double sliderValue) {
    const int last = static_cast<int>(s.size()) - 1;
    int i = 0;
    while (i < last && s[i].TimeStamp - s[0].TimeStamp < sliderValue) {
        ++i;
    }
    return i + 1;
}

} // namespace viewer
