#pragma once

// The arithmetic of the automatic calibration: the correction a cycle derives from two
// averaged injection times, the check of the final model and of the table it implies,
// the line of the load step, the tick counts of the cycles and pauses, the not-ready
// countdown and the records of the calibration log. Times in ms, rpm per minute.
//
// The calibration parameters: P1..P32 are TaraPar01..TaraPar32; the fixed D1, D2, D4..D12
// are TaraFix01..TaraFix11 in order (D3 is unused) and D13, the offset minimum, is
// TaraPar33.

#include "calibration/TaraState.h"
#include "ecudata/CalibrationParams.h"
#include "ecudata/CorrectionTable.h"
#include "ecudata/LiveData.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace ecudata {
struct ConfigScale;
}

namespace calibration {

using ecudata::CalibrationParams;
using ecudata::ModRec;
using ecudata::TblCor;

// The quantum of the offset and of every correction: 0.104 in single precision.
inline constexpr double TaraQuantum = static_cast<double>(0.104f);
inline constexpr double TaraCellMs = 0.128;
inline constexpr double TicksPerSecond = 4.0;

// |c| in whole quanta (half to even), rounded to 3 decimals.
double QuantiseCorrection(double c);

// The correction of a cycle at the raised rpm: 0 while time and rpm are both inside
// their band around the reference, else the gained difference, clamped and quantised,
// negative only when the time is below its band.
double CalcCorrTaraMax(double time, double refTime, double rpm, double refRpm,
                       const CalibrationParams& p);
// The same at the reference rpm, on the time alone.
double CalcCorrTaraMin(double time, double refTime, const CalibrationParams& p);
double CalcCorrTaraLoad(double time, double refTime, const CalibrationParams& p);

// The offset after a cycle's correction, inside [D13, P24].
float CorrectedOffset(float offset, double correction, const CalibrationParams& p);

struct TaraLimits {
    double alfaMax = 0;   // P31
    double alfaMin = 0;   // P32
    double offsetMax = 0; // P24
    double offsetMin = 0; // D13
    double timeHigh = 0;  // the injector type's upper limit
    double timeLow = 0;   // and lower limit
};
TaraLimits LimitsOf(const CalibrationParams& p, double timeLow, double timeHigh);

// The result check: the model clamped to its limits (codes 1..4, the first that fails),
// then the table it implies (built into trial from source) checked cell by cell above the
// reference time against the bounds (codes 5, 6). 0 when all holds.
int ApplyTaraResult(const TblCor& source, TblCor& trial, ModRec& model, const TaraLimits& limits,
                    double refTime, const ecudata::ConfigScale& scale);

// Slope and offset of the line through two points into the model, clamped to the
// limits (the first failing code 1..4 returned, else 0) and quantised.
int CalcModLine(double x1, double y1, double x2, double y2, ModRec& model,
                const TaraLimits& limits);

// Ticks of a cycle (its sample count) and of the pause after `done` finished cycles.
int MaxCycleTicks(int cycle, const CalibrationParams& p);
int MinCycleTicks(int cycle, const CalibrationParams& p);
int MaxPauseTicks(int done, const CalibrationParams& p);
int MinPauseTicks(int done, const CalibrationParams& p);

// One not-ready call outside the temperature wait: the countdown starts at 9 and runs
// down; True on the call that ends it (the tenth in a row), which leaves the count at 0.
bool CountNotReady(int& count);

// What the tick judges readiness by. Idle and Abort are always ready; the others need a
// link that holds its port, a fresh live record, a turning engine (10 rpm), the key on,
// no countdown and the ECU in slave mode (Start asks for it, so it need not be yet).
struct TaraReadiness {
    TaraState state = TaraState::Idle;
    double rpm = 0;
    int notReadyCount = 0;
    int statusKey = 0;
    bool ecuSlave = false;
    bool liveRead = true;    // the tick's live read succeeded
    bool linkRunning = true; // the link holds its port: not restarting, searching or stopped
    // The rpm is scaled by zone 3's coil and cylinder counts: until that record has been
    // read the live rpm says nothing of the engine.
    bool rpmScaled = true;
};

// Why the tick finds the engine not ready; none when it is ready. A lost link comes
// first: the values it would judge the engine by are the last ones read. NoRecord: the
// link is up but the tick's own read went unanswered (another exchange held the line);
// the values are old, so nothing is judged by them. Counting: only the countdown to the
// abort holds it, the cause that started it has gone. RpmUnknown: the engine is neither
// running nor stopped until the rpm is scaled; like NoRecord it judges nothing.
enum class TaraNotReady {
    LinkLost,
    NoRecord,
    KeyOff,
    RpmUnknown,
    EngineStopped,
    NotSlave,
    Counting
};
std::optional<TaraNotReady> TaraNotReadyWhy(const TaraReadiness& r);
inline bool TaraReady(const TaraReadiness& r) {
    return !TaraNotReadyWhy(r);
}

// Which live records a correction cycle may take as samples: only one whose read was
// answered after the ECU reported the cycle's supply mode and after the run's last model
// write was read back. Replies are ordered by the count of live records accepted so far
// (the images' AcceptedReplies); the tick reads the live record before zone 2, so a mode
// seen in a tick's zone 2 counts from the next tick's live record on.
class TaraSampleGate {
public:
    // A model write was armed: no record is a sample until it has been read back.
    void ModelWriteArmed() { modelPending_ = true; }
    // At a tick's start, before its reads. modelWriteDue: the model write's countdown
    // still runs (it ends once the write has been read back).
    void BeforeReads(bool modelWriteDue, quint32 liveReplies);
    // After the tick's reads, with the supply mode zone 2 reports.
    void AfterReads(int supplyMode, quint32 liveReplies);
    // The tick's live record is a sample: answered in this tick, after both.
    bool Sample(bool answered, quint32 liveReplies) const;

private:
    bool modelPending_ = false;
    std::optional<int> mode_;
    quint32 liveFrom_ = 0; // a sample comes after this many live records
};

// The petrol time a live record gives: the mean over the engine's injectors (none, or
// the key off: 0).
double RecordPetrolTime(const ecudata::Mem1Rec& live, int injectors);

// The quoted log lines, CR LF ended; numbers to 4 decimals in the locale's form.
QString TaraCycleRecord(const QString& title, double refTime, double time, double corr,
                        double offset, double tempVap, double pressVap, const QString& sep);
QString TaraEndRecord(const QString& title, double x1, double y1, double x2, double y2, double alfa,
                      double offset, const QString& sep);

// The parameters that would divide by zero (a sample count below 2, a cycle count below
// 1) are put back to their defaults; their names are returned.
QStringList RefuseUnsafeTaraParams(CalibrationParams& p);

} // namespace calibration
