#pragma once

// The viewer's pure maths, in twips: sample positions on the plot, the dotted grid, the
// steps of zoom, offset and time base, the texts of its labels and the cursor's search
// in the store.

#include "viewer/ViewerLog.h"

#include <QPoint>
#include <QString>
#include <vector>

namespace viewer {

inline constexpr int PlotWidth = 9120;
inline constexpr int PlotHeight = 7170;
inline constexpr int ZeroMarkHeight = 240;
inline constexpr double OffsetStep = 585.0 / 8;
inline constexpr double MaxRpm = 18000;
inline constexpr std::size_t StoreSize = 2401;
// What the zoom and offset buttons reach: an offset puts the zero mark on the picture.
inline constexpr double MinZoom = 0.125;
inline constexpr double MaxZoom = 2048;
inline constexpr double MinOffset = -105;
inline constexpr double MaxOffset = PlotHeight - ZeroMarkHeight - 15;

// Milliseconds per twip: one division of 1500 twips spans secDiv seconds.
inline double MsPerTwip(double secDiv) {
    return secDiv * 6 / 9;
}
// x of sample a measured from the origin sample, and x of the next sample b measured from
// the rounded x of a, so rounding never accumulates along a trace.
int XOfStart(double ta, double to, double k);
int XOfEnd(double ta, double tb, int xa, double k);
// y of a value: its zero 120 twips below the channel's offset.
int YOfValue(double offset, double value, double zoom);

// The value channel c plots, shows in its readout and exports.
double ChannelValue(const Mem1Rec& m, int c, int selInjector);

// The cursor readout of channel c: the rpm as a whole number, the pressures in bar, every
// other value as measured, each to three decimals at most as the main window shows them.
QString ReadoutText(const Mem1Rec& m, int c, int selInjector, const QString& decimalSep);

// The grid's dots, in the order placed (row by row, left to right).
std::vector<QPoint> GridDots(int width = PlotWidth, int height = PlotHeight);

// Zoom doubled up to 2048, halved down to 0.125; offset stepped up to -105, down to ceiling.
double ZoomIn(double zoom);
double ZoomOut(double zoom);
double OffsetUp(double offset);
double OffsetDown(double offset, double ceiling);

// A time-base step: the new value and which of the two buttons is enabled afterwards
// (nullopt: left as it is) and which one takes the focus.
struct SecDivStep {
    double SecDiv = 5;
    std::optional<bool> UpEnabled;
    std::optional<bool> DownEnabled;
    bool FocusDown = false;
    bool FocusUp = false;
    bool Changed = true;
};
SecDivStep SecDivUp(double secDiv);
SecDivStep SecDivDown(double secDiv);

// Label texts.
QString SecDivText(double secDiv, const QString& sep);
QString ZoomText(double zoom, const QString& sep);
QString OffsetText(double offset);
QString CursorTimeText(double ms, const QString& sep);

// Height of each readout label with n channels checked.
int ReadoutHeight(int checked);

// The slider's range and step for the data's span (at most the slider's int range);
// nothing when the span is 1 ms or less.
struct SliderRange {
    int Max = 0;
    int LargeChange = 0;
};
std::optional<SliderRange> SliderRangeFor(double secDiv, qint32 timeFirst, qint32 timeLast);

// The index the cursor reads while recording (x twips, the pen at lastX, the newest
// sample at lastSample); -1 for none.
int RecordingCursorIndex(const Samples& s, double x, int lastX, int lastSample, double k);
// The same while viewing: the sample after the first one at or past the cursor's time,
// searched from the window's first drawn sample.
int ViewingCursorIndex(const Samples& s, double x, double sliderValue, qint32 timeFirst,
                       int firstDrawn, double k);

// The window's first drawn sample for the slider value (ms from the first sample).
int FirstDrawnSample(const Samples& s, double sliderValue);

} // namespace viewer
