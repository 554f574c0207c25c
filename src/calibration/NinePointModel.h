#pragma once

// The nine-point model of gas time against petrol time: its default and reset, the step
// buttons with their limits, the spacing rule and the injector type's rule text. All
// arithmetic is single precision: every result is taken to a 32-bit float before it is
// stored or compared. yMax is the chart's gas-time maximum (31 ms).

#include "ecudata/CorrectionTable.h"

#include <QString>

namespace calibration {

using ecudata::ModRec;

// The default abscissae: correction-table cells 0, 28, 55, 71, 86, 102, 125, 157, 182.
inline constexpr float BaseXDefault[9] = {0.0f,    3.584f, 7.04f,   9.088f, 11.008f,
                                          13.056f, 16.0f,  20.096f, 23.296f};
// The right end of the reference line, and of the slope limit (cell 157).
inline constexpr float LineEndX = 20.096f;

// X and Y of points 0..7 from base, shifts, slope and offset; point 8 is left alone.
void CalcModPoints(ModRec& m);
// The default model: the default abscissae on the line gas = petrol.
void DisponiMatriceModDefault(ModRec& m);
// The points back on the current line (shifts cleared, slope and offset kept).
void DisponiPuntiSuLineaMod(ModRec& m);

void LimitAlfaMod(ModRec& m, float yMax);
void LimitOffsetMod(ModRec& m, float yMax);
// Keeps the movable points 0.256 ms apart and every point inside 0..yMax, in at most
// 101 passes; returns the passes made.
int SpacePointsMod(ModRec& m, float yMax);

enum class StepButton { Left, Right, Up, Down, AlfaUp, AlfaDown, OffsetUp, OffsetDown };

// The arrow buttons act on one selected point: 1..6 for Left/Right, 1..7 for Up/Down.
bool IsArrow(StepButton b);
bool PointInRange(StepButton b, int point);

// One step of a held button: the limit test (False ends the hold, nothing changed), the
// step, its follow-up limit and the spacing rule.
bool StepModel(ModRec& m, StepButton b, int point, float yMax);

// The slope and offset limits a box is held to (both ends inside).
struct ModLimits {
    double alfaMin = 0;
    double alfaMax = 0;
    double offsetMin = 0;
    double offsetMax = 0;
};

// The back colour (BGR) of a limit box at the next blink: its normal colour (yellow when
// 3-D, white when flat) inside the limits; outside, red after white or yellow and the
// normal colour after anything else.
quint32 LimitBlinkColor(float value, double min, double max, bool threeD, quint32 current);

inline constexpr quint32 Yellow = 0x00FFFF;
inline constexpr quint32 Red = 0x0000FF;
inline constexpr quint32 White = 0xFFFFFF;

// Reshapes the model by an injector type's rule text ("P1|+0|+100;R0|2|6", values in
// microseconds): point rules on X, then on Y, point 1's Y rule moving the whole line
// (finalOffset and Offset with it, both floored at 0), then the reference ranges that
// put the points between two others on their straight line. A bad item or a range that
// cannot be drawn changes nothing; the offset floor and the spacing always apply.
void ApplyModRules(ModRec& m, const QString& rules, double& finalOffset, float yMax);

} // namespace calibration
