#include "calibration/NinePointModel.h"

#include "support/Conversions.h"

#include <QStringList>
#include <array>

namespace calibration {

namespace {

constexpr float F(double v) {
    return static_cast<float>(v);
}

constexpr float StepX = 0.128f; // one correction-table cell
constexpr float StepY = 0.104f; // thirteen counts of the ECU's time unit
constexpr float MinGap = 0.256f;

void LoadBase(ModRec& m) {
    for (int i = 0; i < 9; ++i) {
        m.BaseX[i] = BaseXDefault[i];
        m.dX[i] = 0;
        m.X[i] = m.BaseX[i];
        m.dY[i] = 0;
    }
}

// The rule text read into its per-point operators and values and its ranges.
struct Rules {
    std::array<QChar, 9> opX{};
    std::array<QChar, 9> opY{};
    std::array<double, 9> valX{};
    std::array<double, 9> valY{};
    std::array<QString, 8> from;
    std::array<QString, 8> to;
};

// A point or range number: digits only, within 0..last.
bool ItemNumber(const QString& text, int last, int& n) {
    bool ok = false;
    n = text.toInt(&ok);
    return ok && n >= 0 && n <= last;
}

Rules ReadRules(const QString& text) {
    Rules r;
    for (const QString& raw : text.split(';')) {
        const QString item = raw.trimmed();
        if (item.isEmpty()) {
            break;
        }
        const QStringList f = item.split('|');
        if (f.size() != 3) {
            break;
        }
        const QChar tag = f[0].isEmpty() ? QChar() : f[0][0];
        int n = 0;
        if (tag == 'P' && ItemNumber(f[0].mid(1), 8, n)) {
            r.opX[n] = f[1].isEmpty() ? QChar() : f[1][0];
            r.valX[n] = support::ParseNumber(f[1].mid(1));
            r.opY[n] = f[2].isEmpty() ? QChar() : f[2][0];
            r.valY[n] = support::ParseNumber(f[2].mid(1));
        } else if (tag == 'R' && ItemNumber(f[0].mid(1), 7, n)) {
            r.from[n] = f[1];
            r.to[n] = f[2];
        }
    }
    return r;
}

// t after the operator with v microseconds; an unknown operator leaves it.
float ApplyOp(QChar op, float t, double v) {
    switch (op.unicode()) {
    case '+':
        return F(t + v / 1000);
    case '-':
        return F(t - v / 1000);
    case '*':
        return F(t * (v / 1000));
    case '#':
        return F(v / 1000);
    default:
        return t;
    }
}

bool HasYRule(const Rules& r, int i) {
    return r.opY[i] != 'R' && r.valY[i] != 0;
}

// Puts the points strictly between b and a on the straight line through them, each
// keeping its own gas-time rule on top. A range without inner points or with both ends
// at one petrol time is passed over.
void ApplyRange(ModRec& m, const Rules& r, const QString& from, const QString& to) {
    int a = 0;
    int b = 0;
    if (!ItemNumber(to, 8, a) || !ItemNumber(from, 8, b) || a <= b + 1) {
        return;
    }
    const float dx = F(m.X[a] - m.X[b]);
    const float dy = F(m.Y[a] - m.Y[b]);
    if (dx == 0) {
        return;
    }
    for (int j = b + 1; j < a; ++j) {
        const float onLine = F(m.Y[b] + static_cast<double>(dy) / dx * (m.X[j] - m.X[b]));
        m.dY[j] = F(m.dY[j] - F(m.Y[j] - onLine));
    }
    for (int j = b + 1; j < a; ++j) {
        if (HasYRule(r, j)) {
            const float t = ApplyOp(r.opY[j], m.Y[j], r.valY[j]);
            m.dY[j] = F(m.dY[j] + F(t - m.Y[j]));
        }
    }
}

} // namespace

void CalcModPoints(ModRec& m) {
    for (int i = 0; i < 8; ++i) {
        m.X[i] = F(m.BaseX[i] + m.dX[i]);
        m.Y[i] = F(F(F(m.Alfa * m.X[i]) + m.dY[i]) + m.Offset);
    }
}

void DisponiMatriceModDefault(ModRec& m) {
    m.Alfa = 1.0f;
    m.Offset = 0.0f;
    LoadBase(m);
    for (int i = 0; i < 9; ++i) {
        m.Y[i] = F(m.Offset + m.X[i]);
    }
}

void DisponiPuntiSuLineaMod(ModRec& m) {
    LoadBase(m);
    for (int i = 0; i < 9; ++i) {
        m.Y[i] = m.X[i];
    }
}

void LimitAlfaMod(ModRec& m, float yMax) {
    if (F(F(m.Alfa * LineEndX) + m.Offset) > yMax) {
        m.Alfa = F(m.Alfa - 0.01);
    }
}

void LimitOffsetMod(ModRec& m, float yMax) {
    if (F(F(m.Alfa * LineEndX) + m.Offset) > yMax) {
        m.Offset = F(m.Offset - StepY);
    }
}

int SpacePointsMod(ModRec& m, float yMax) {
    int counter = 100;
    int passes = 0;
    bool changed = true;
    while (changed && counter >= 0) {
        CalcModPoints(m);
        --counter;
        ++passes;
        changed = false;
        const ModRec start = m; // every test of a pass reads the points as they stood
        for (int i = 1; i <= 6; ++i) {
            if (F(start.X[i - 1] + MinGap) >= start.X[i]) {
                m.dX[i] = F(m.dX[i] + StepX);
                changed = true;
            }
        }
        for (int i = 1; i <= 6; ++i) {
            if (F(start.X[i + 1] - MinGap) <= start.X[i]) {
                m.dX[i] = F(m.dX[i] - StepX);
                changed = true;
            }
        }
        for (int i = 0; i <= 7; ++i) {
            if (start.Y[i] < 0) {
                m.dY[i] = F(m.dY[i] + StepY);
                changed = true;
            }
            if (start.Y[i] > yMax) {
                m.dY[i] = F(m.dY[i] - StepY);
                changed = true;
            }
        }
    }
    return passes;
}

bool IsArrow(StepButton b) {
    return b == StepButton::Left || b == StepButton::Right || b == StepButton::Up ||
           b == StepButton::Down;
}

bool PointInRange(StepButton b, int point) {
    const bool horizontal = b == StepButton::Left || b == StepButton::Right;
    return point >= 1 && point <= (horizontal ? 6 : 7);
}

bool StepModel(ModRec& m, StepButton b, int point, float yMax) {
    const bool arrow = IsArrow(b);
    if (arrow && !PointInRange(b, point)) {
        return false;
    }
    switch (b) {
    case StepButton::Left:
        m.dX[point] = F(m.dX[point] + StepX);
        break;
    case StepButton::Right:
        m.dX[point] = F(m.dX[point] - StepX);
        break;
    case StepButton::Up:
        m.dY[point] = F(m.dY[point] + StepY);
        break;
    case StepButton::Down:
        m.dY[point] = F(m.dY[point] - StepY);
        break;
    case StepButton::AlfaUp:
        if (!(m.Alfa <= 1.99f)) {
            return false;
        }
        m.Alfa = F(m.Alfa + 0.01);
        LimitAlfaMod(m, yMax);
        break;
    case StepButton::AlfaDown:
        if (!(m.Alfa >= 0.01f)) {
            return false;
        }
        m.Alfa = F(m.Alfa - 0.01);
        LimitAlfaMod(m, yMax);
        break;
    case StepButton::OffsetUp:
        if (!(m.Offset < yMax)) {
            return false;
        }
        m.Offset = F(m.Offset + StepY);
        LimitOffsetMod(m, yMax);
        break;
    case StepButton::OffsetDown:
        m.Offset = m.Offset <= StepY ? 0.0f : F(m.Offset - StepY);
        break;
    }
    SpacePointsMod(m, yMax);
    CalcModPoints(m);
    return true;
}

quint32 LimitBlinkColor(float value, double min, double max, bool threeD, quint32 current) {
    const quint32 normal = threeD ? Yellow : White;
    if (F(min) <= value && value <= F(max)) {
        return normal;
    }
    return current == White || current == Yellow ? Red : normal;
}

void ApplyModRules(ModRec& m, const QString& rules, double& finalOffset, float yMax) {
    const Rules r = ReadRules(rules);
    for (int i = 0; i <= 7; ++i) {
        if (r.valX[i] != 0) {
            const float t = ApplyOp(r.opX[i], m.X[i], r.valX[i]);
            m.dX[i] = F(t - m.BaseX[i]);
            m.X[i] = t;
        }
    }
    CalcModPoints(m);
    float d1 = 0;
    for (int i = 0; i <= 7; ++i) {
        if (HasYRule(r, i)) {
            const float t = ApplyOp(r.opY[i], m.Y[i], r.valY[i]);
            m.dY[i] = F(m.dY[i] + F(t - m.Y[i]));
            if (i == 1) {
                d1 = F(t - m.Y[1]);
            }
        }
    }
    // Point 1 keeps its gas time: the line and the other points move by its change.
    finalOffset -= d1;
    m.Offset = F(m.Offset - d1);
    if (finalOffset <= 0) {
        finalOffset = 0;
    }
    if (m.Offset <= 0) {
        m.Offset = 0;
    }
    CalcModPoints(m);
    SpacePointsMod(m, yMax);
    CalcModPoints(m);
    for (int k = 0; k <= 6; ++k) {
        if (!r.from[k].isEmpty() && !r.to[k].isEmpty()) {
            ApplyRange(m, r, r.from[k], r.to[k]);
        }
    }
    SpacePointsMod(m, yMax);
    CalcModPoints(m);
}

} // namespace calibration
