#include "calibration/TaraMaths.h"

#include "support/Conversions.h"

#include <algorithm>
#include <cmath>

namespace calibration {

namespace {

using support::RoundHalfEven;

constexpr float F(double v) {
    return static_cast<float>(v);
}

double Round(double v, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return RoundHalfEven(v * scale) / scale;
}

// The gained difference, clamped and quantised, signed by the time against its band.
double Correction(double time, double refTime, double gain, double maximum, double lower) {
    double c = std::fabs((time - refTime) * gain);
    if (c > maximum) {
        c = maximum;
    }
    c = QuantiseCorrection(c);
    return time < lower ? -c : c;
}

double CorrMinBand(double time, double refTime, double band, const CalibrationParams& p) {
    const double lower = (1 - band) * refTime;
    const double upper = (1 + band) * refTime;
    if (time >= lower && time <= upper) {
        return 0;
    }
    return Correction(time, refTime, p.TaraPar21, p.TaraPar23, lower);
}

QString Number(double v, const QString& sep) {
    return support::GeneralNumberText(Round(v, 4), sep);
}

QString Quoted(const QString& text) {
    return '"' + text + QStringLiteral("\"\r\n");
}

// Clamps the model to its limits, the first failing check only; its code or 0.
int ClampModel(ModRec& m, const TaraLimits& l) {
    if (l.offsetMin != 0 && m.Offset <= F(l.offsetMin)) {
        m.Offset = F(l.offsetMin);
        return 1;
    }
    if (m.Offset >= F(l.offsetMax)) {
        m.Offset = F(l.offsetMax);
        return 2;
    }
    if (m.Alfa <= F(l.alfaMin)) {
        m.Alfa = F(l.alfaMin);
        return 3;
    }
    if (m.Alfa >= F(l.alfaMax)) {
        m.Alfa = F(l.alfaMax);
        return 4;
    }
    return 0;
}

} // namespace

double QuantiseCorrection(double c) {
    return Round(RoundHalfEven(c / TaraQuantum) * TaraQuantum, 3);
}

double CalcCorrTaraMax(double time, double refTime, double rpm, double refRpm,
                       const CalibrationParams& p) {
    const double b = p.TaraPar12;
    const double lower = (1 - b) * refTime;
    const double upper = (1 + b) * refTime;
    const double rpmLower = (1 - b) * refRpm;
    const double rpmUpper = (1 + b) * refRpm;
    if (time >= lower && time <= upper && rpm >= rpmLower && rpm <= rpmUpper) {
        return 0;
    }
    return Correction(time, refTime, p.TaraPar13, p.TaraPar14, lower);
}

double CalcCorrTaraMin(double time, double refTime, const CalibrationParams& p) {
    return CorrMinBand(time, refTime, p.TaraPar20, p);
}

double CalcCorrTaraLoad(double time, double refTime, const CalibrationParams& p) {
    return CorrMinBand(time, refTime, p.TaraPar30, p);
}

float CorrectedOffset(float offset, double correction, const CalibrationParams& p) {
    const double next = offset + correction;
    if (next < p.TaraPar33) {
        return F(p.TaraPar33);
    }
    if (next >= p.TaraPar24) {
        return F(p.TaraPar24);
    }
    return F(next);
}

TaraLimits LimitsOf(const CalibrationParams& p, double timeLow, double timeHigh) {
    return {p.TaraPar31, p.TaraPar32, p.TaraPar24, p.TaraPar33, timeHigh, timeLow};
}

int ApplyTaraResult(const TblCor& source, TblCor& trial, ModRec& model, const TaraLimits& l,
                    double refTime, const ecudata::ConfigScale& scale) {
    trial = source;
    int code = ClampModel(model, l);
    ecudata::CalcTblCor(trial, model, scale);
    const int last = static_cast<int>(trial.size()) - 1 - 8;
    for (int i = 0; i <= last; ++i) {
        const double t = i * TaraCellMs;
        if (!(t > refTime)) {
            continue;
        }
        double lower = t * (l.alfaMin - 1) + l.offsetMin;
        if (l.timeLow - t > lower) {
            lower = l.timeLow - t;
        }
        double upper = t * l.alfaMax + l.offsetMax;
        if (l.timeHigh < upper) {
            upper = l.timeHigh;
        }
        if (trial[i] < lower) {
            trial[i] = lower;
            code = code == 0 ? 5 : code;
        } else if (trial[i] > upper) {
            trial[i] = upper;
            code = code == 0 ? 6 : code;
        }
    }
    return code;
}

int CalcModLine(double x1, double y1, double x2, double y2, ModRec& m, const TaraLimits& l) {
    double alfa = 1;
    double offset = 0;
    if (x1 != x2) {
        alfa = (y1 - y2) / (x1 - x2);
        offset = (x1 * y2 - y1 * x2) / (x1 - x2);
    }
    m.Alfa = F(alfa);
    m.Offset = F(offset);
    int code = 0;
    if (m.Offset <= F(l.offsetMin)) {
        m.Offset = F(l.offsetMin);
        code = 1;
    } else if (m.Offset >= F(l.offsetMax)) {
        m.Offset = F(l.offsetMax);
        code = 2;
    } else if (m.Alfa <= F(l.alfaMin)) {
        m.Alfa = F(l.alfaMin);
        code = 3;
    } else if (m.Alfa >= F(l.alfaMax)) {
        m.Alfa = F(l.alfaMax);
        code = 4;
    }
    m.Alfa = F(Round(RoundHalfEven(m.Alfa / static_cast<double>(0.01f)) * 0.01f, 2));
    m.Offset = F(Round(RoundHalfEven(m.Offset / TaraQuantum) * TaraQuantum, 3));
    return code;
}

int MaxCycleTicks(int cycle, const CalibrationParams& p) {
    return cycle == 0 ? p.TaraFix01 : cycle == 1 ? p.TaraFix02 : p.TaraPar06;
}

int MinCycleTicks(int cycle, const CalibrationParams& p) {
    return cycle == 0 ? p.TaraFix04 : cycle == 1 ? p.TaraFix05 : p.TaraPar17;
}

int MaxPauseTicks(int done, const CalibrationParams& p) {
    return done == 1 ? p.TaraFix03 : p.TaraPar07;
}

int MinPauseTicks(int done, const CalibrationParams& p) {
    return done == 1 ? p.TaraFix07 : p.TaraPar18;
}

bool CountNotReady(int& count) {
    if (count <= 0) {
        count = 9;
        return false;
    }
    if (count > 1) {
        --count;
        return false;
    }
    count = 0;
    return true;
}

std::optional<TaraNotReady> TaraNotReadyWhy(const TaraReadiness& r) {
    if (r.state == TaraState::Idle || r.state == TaraState::Abort) {
        return std::nullopt;
    }
    if (!r.linkRunning) {
        return TaraNotReady::LinkLost;
    }
    if (!r.liveRead) {
        return TaraNotReady::NoRecord;
    }
    if (r.statusKey == 0) {
        return TaraNotReady::KeyOff;
    }
    if (!r.ecuSlave && r.state != TaraState::Start) {
        return TaraNotReady::NotSlave;
    }
    if (!r.rpmScaled) {
        return TaraNotReady::RpmUnknown;
    }
    if (r.rpm < 10.0) {
        return TaraNotReady::EngineStopped;
    }
    if (r.notReadyCount > 0) {
        return TaraNotReady::Counting;
    }
    return std::nullopt;
}

void TaraSampleGate::BeforeReads(bool modelWriteDue, quint32 liveReplies) {
    if (modelPending_ && !modelWriteDue) {
        modelPending_ = false;
        liveFrom_ = std::max(liveFrom_, liveReplies);
    }
}

void TaraSampleGate::AfterReads(int supplyMode, quint32 liveReplies) {
    if (mode_ != supplyMode) {
        mode_ = supplyMode;
        liveFrom_ = liveReplies; // this tick's record may predate the mode
    }
}

bool TaraSampleGate::Sample(bool answered, quint32 liveReplies) const {
    return answered && !modelPending_ && liveReplies > liveFrom_;
}

double RecordPetrolTime(const ecudata::Mem1Rec& live, int injectors) {
    const int count = std::clamp(injectors, 0, static_cast<int>(live.TInjBenz.size()));
    if (count < 1 || live.StatusKey == 0) {
        return 0;
    }
    double sum = 0;
    for (int i = 0; i < count; ++i) {
        sum += live.TInjBenz[i];
    }
    return sum / count;
}

QString TaraCycleRecord(const QString& title, double refTime, double time, double corr,
                        double offset, double tempVap, double pressVap, const QString& sep) {
    return Quoted(title + " TInjRef " + Number(refTime, sep) + " TInjMed " + Number(time, sep) +
                  " TCorr " + Number(corr, sep) + " Offset " + Number(offset, sep) + " TempVap " +
                  Number(tempVap, sep) + " PressVap " + Number(pressVap, sep));
}

QString TaraEndRecord(const QString& title, double x1, double y1, double x2, double y2, double alfa,
                      double offset, const QString& sep) {
    return Quoted(title + " X1 " + Number(x1, sep) + " Y1 " + Number(y1, sep) + " X2 " +
                  Number(x2, sep) + " Y2 " + Number(y2, sep) + " ALFA " + Number(alfa, sep) +
                  " OFFSET " + Number(offset, sep)) +
           Quoted(QString(60, '-'));
}

QStringList RefuseUnsafeTaraParams(CalibrationParams& p) {
    const CalibrationParams d;
    QStringList refused;
    const struct {
        const char* name;
        qint16 CalibrationParams::*field;
        int least;
    } checks[] = {
        {"P3", &CalibrationParams::TaraPar03, 2},  {"P5", &CalibrationParams::TaraPar05, 2},
        {"P6", &CalibrationParams::TaraPar06, 1},  {"P17", &CalibrationParams::TaraPar17, 1},
        {"P27", &CalibrationParams::TaraPar27, 2}, {"P28", &CalibrationParams::TaraPar28, 1}};
    for (const auto& c : checks) {
        if (p.*c.field < c.least) {
            p.*c.field = d.*c.field;
            refused << c.name;
        }
    }
    return refused;
}

} // namespace calibration
