#pragma once

// The operating map's arithmetic, apart from the Map page's widgets: pairing petrol and
// gas samples of equal pressure, the chart's automatic Y range, the rpm bands of the
// band combo and the in-band beep, the positions of points in twips, and the .map file
// and the Map.txt point list.

#include "calibration/ChartGeometry.h"
#include "ecudata/CorrectionTable.h"
#include "ecudata/MapSamples.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace ecudata {
struct EcuImages;
}

namespace calibration {

using ecudata::MapArray;

// Samples 0..59 are saved, loaded, matched and listed; slot 60 only counts in the scale.
inline constexpr int MapPointCount = 60;

// The four sample arrays, in the order of a point's lines in a .map file.
struct MapSamples {
    MapArray VacmBnz{};
    MapArray TinjBnz{};
    MapArray VacmGas{};
    MapArray TinjGas{};

    static MapSamples From(const ecudata::EcuImages& images);
    void Into(ecudata::EcuImages& images) const;
};

// The pressure step two samples share when they lie within the same 20 mbar.
double PressureStep(double mbar);

// Petrol samples of one pressure step merged (mean time and pressure, the first keeps
// them), gas samples as they are, into sel; the number of merged petrol samples with a
// gas partner of the same step.
int MatchMapPoints(const MapSamples& samples, MapSamples& sel);

// The Map chart's Y maximum for the largest sampled time: a 3 ms head-room before the
// range shrinks, never below 8 ms; with no samples it stays. True when it changed.
bool AutoScaleMapY(const MapSamples& samples, double& maxY);

// The band combo's items, "low - high".
QStringList BandItems(const QList<qint32>& low, const QList<qint32>& high);
// The band whose low edge is the last one at or below the ECU's band; 0 when that is
// no item of the combo.
int SelectBand(const QList<qint32>& low, qint32 ecuBandLow, int itemCount);

struct Tone {
    int hz = 0;
    int ms = 0;
    bool operator==(const Tone&) const = default;
};

// The in-band beep for the rpm shown: lower near the band's low edge, higher near its
// high edge (the high edge wins when both are near).
Tone BandBeepTone(double rpm, qint32 low, qint32 high);
// The rpm shown in a live box, when it holds a number.
std::optional<double> ShownRpm(const QString& text);

// At most one beep every 200 ms of the shared clock.
class BeepPacer {
public:
    bool Due(double nowUsec) const { return nowUsec > next_; }
    void Sounded(double nowUsec) { next_ = nowUsec + 200000.0; }

private:
    double next_ = 0;
};

// Top left of a sample label of half size (w, h): pressure and time held to the chart's
// axes.
Twips SampleLabelPos(const MapGeometry& map, double mbar, double ms, double w, double h);
// The live point: pressure capped at the X maximum, time at the Y maximum.
Twips LivePointPos(const MapGeometry& map, double mbar, double ms, double w, double h);

// The correction-table cell of a petrol time, kept among the table's correction cells.
int CorrectionCell(double petrolMs);

// A matched pair on the Modeling chart in ms: petrol time across; up, the table's gas
// time for it plus the gas sample's difference (31 ms for a gas time of 31 ms or more).
struct ChartPoint {
    double x = 0;
    double y = 0;
    bool operator==(const ChartPoint&) const = default;
};
// One point for every petrol sample of sel and every gas sample of its pressure step.
std::vector<ChartPoint> MatchedPoints(const MapSamples& sel, const ecudata::TblCor& table);
// Top left of a matched point's shape of half size (w, h) on the Modeling chart as laid
// out; a value beyond an axis stands at its end.
Twips MatchedPointPos(const ModGeometry& mod, ChartPoint at, double w, double h);

// The developer frame's drawing of the correction table.
inline constexpr int MapSampleCells = 192;
Twips MapSampleCellPos(int cell, double correction, double frameHeight);
inline constexpr double MapSampleLineX2 = 0.128 * 190 * 330 + 150;

// The .map file: 240 lines " n " (n with the locale's separator), CR LF.
QByteArray MapFileText(const MapSamples& samples, const QString& decimalSep);
// Writes a whole new file in place of the old; on failure the old stays and error says
// why.
bool SaveMapFile(const QString& path, const MapSamples& samples, const QString& decimalSep,
                 QString* error);
// Reads the 240 values into samples 0..59 (slot 60 untouched): pressures to 20 mbar,
// times to 0.2 ms; an empty line and the lines a short file lacks read 0. A line that
// holds anything but a number ("nan" included), or a value below 0 or beyond what the
// ECU's own samples are held to, makes the file damaged. False, samples untouched, when
// the file cannot be read or is damaged, with why set to which.
bool LoadMapFile(const QString& path, MapSamples& samples, const QString& decimalSep,
                 QString* why = nullptr);
bool ParseMapFile(const QByteArray& text, MapSamples& samples, const QString& decimalSep,
                  QString* why = nullptr);

// The developer's point list, each line quoted, CR LF; written whole or not at all
// (False).
QByteArray MapListText(const MapSamples& samples, const MapSamples& sel, const QString& decimalSep);
bool WriteMapList(const QString& path, const MapSamples& samples, const MapSamples& sel,
                  const QString& decimalSep);

} // namespace calibration
