#include "emulation/EmulaMath.h"

#include "support/Conversions.h"

#include <algorithm>
#include <cmath>

namespace emulation {

namespace {

std::optional<double> Number(const QString& text, const QString& decimalSep) {
    return support::LocaleNumber(text, decimalSep);
}

// A cell's number; a text that is not one counts as 0, as the editors skip the failing
// conversion.
double CellNumber(const QString& text, const QString& decimalSep) {
    return Number(text, decimalSep).value_or(0.0);
}

struct VoltLimits {
    int lowMv;
    int highMv;
    int lowCv; // the texts that a clamped cell shows
    int highCv;
};

VoltLimits LimitsOf(int lambdaIndex) {
    switch (lambdaIndex) {
    case 1:
        return {0, 1000, 0, 100};
    case 4:
        return {800, 1600, 80, 160};
    default:
        return {0, 4990, 0, 499};
    }
}

QString OffsetText(double offset) {
    return QString::number(static_cast<qint64>(Nearest(offset)));
}

} // namespace

double Nearest(double value) {
    return support::RoundHalfEven(value);
}

int Word(const EmulaBlk& block, int offset) {
    return block[offset] | (block[offset + 1] << 8);
}

void SetWord(EmulaBlk& block, int offset, int value) {
    block[offset] = quint8(value & 0xFF);
    block[offset + 1] = quint8((value >> 8) & 0xFF);
}

int ShownCentivolts(int code) {
    return static_cast<int>(Nearest(code * S)) / 10;
}

QString CentivoltText(int centivolts, const QString& decimalSep) {
    return support::GeneralNumberText(centivolts / 100.0, decimalSep);
}

QString VoltText(int code, const QString& decimalSep) {
    return CentivoltText(ShownCentivolts(code), decimalSep);
}

int TruncCode(double millivolts) {
    return static_cast<int>(std::floor(millivolts / S));
}

quint16 DelayUnits(double seconds) {
    return quint16(static_cast<qint64>(Nearest(seconds * 1000.0 / 25.0)) & 0xFFFF);
}

std::optional<double> DelaySeconds(const QString& item) {
    QString text = item.trimmed();
    text.replace(u',', u'.');
    return support::LocaleNumber(text, QStringLiteral("."));
}

int DelayIndex(const QStringList& items, int units) {
    const double wanted = units * 25.0;
    for (int i = 0; i < items.size(); ++i) {
        const std::optional<double> seconds = DelaySeconds(items[i]);
        if (seconds && *seconds * 1000.0 >= wanted) {
            return i;
        }
    }
    return -1;
}

bool TableEnabled(int lambdaIndex, int abilEmulaIndex, const EmulaBlk& block) {
    return lambdaIndex != 0 && abilEmulaIndex == 1 && (block[86] != 0 || (block[87] & 0x0F) != 0);
}

void ApplyLambdaDefaults(EmulaBlk& block, const ecudata::LambdaRec& record) {
    const auto code = [](qint32 mv) { return quint8(std::clamp(TruncCode(mv), 0, 255)); };
    std::fill(block.begin() + 32, block.begin() + 80, code(record.Param7));
    block[82] = code(record.Param3);
    block[83] = code(record.Param4);
    block[84] = code(record.Param5);
    block[85] = code(record.Param6);
}

int LevelLimitMv(int lambdaIndex) {
    switch (lambdaIndex) {
    case 1:
        return 1000;
    case 4:
        return 1600;
    case 5:
        return 255000;
    default:
        return 5000;
    }
}

std::optional<int> ValidateLevelCentivolts(const QString& text, int lambdaIndex,
                                           const QString& decimalSep) {
    const std::optional<double> volts = Number(text, decimalSep);
    if (text.trimmed().isEmpty() || !volts) {
        return std::nullopt;
    }
    double mv = std::min(Nearest(*volts * 1000.0), double(LevelLimitMv(lambdaIndex)));
    mv = std::max(mv, 0.0);
    return static_cast<int>(Nearest(mv / 10.0));
}

int LevelCode(double volts) {
    return std::clamp(static_cast<int>(Nearest(Nearest(volts * 1000.0) / S)), 0, 255);
}

QString NormaliseSeparator(QString text, const QString& decimalSep) {
    if (decimalSep == QStringLiteral(".")) {
        text.replace(u',', u'.');
    } else if (decimalSep == QStringLiteral(",")) {
        text.replace(u'.', u',');
    }
    return text;
}

QString StepTableCell(const QString& text, bool up, bool shift, CellMode mode,
                      const QString& decimalSep) {
    const double cell = CellNumber(text, decimalSep);
    const int sign = up ? 1 : -1;
    if (mode.offset) {
        double value = Nearest(cell) + sign * (shift ? 10 : 1);
        value = value > 127 ? 128 : std::max(value, -127.0);
        return OffsetText(value);
    }
    double mv = Nearest(cell * 1000.0);
    mv = Nearest(mv + sign * (shift ? 5 * S : S));
    const int code = static_cast<int>(Nearest(mv / S));
    const int shown = static_cast<int>(Nearest(code * S)) / 10;
    const VoltLimits limits = LimitsOf(mode.lambdaIndex);
    if (shown * 10 > limits.highMv) {
        return CentivoltText(limits.highCv, decimalSep);
    }
    if (shown * 10 < limits.lowMv) {
        return CentivoltText(limits.lowCv, decimalSep);
    }
    return CentivoltText(shown, decimalSep);
}

std::optional<int> CellByte(const QString& text, CellMode mode, const QString& decimalSep) {
    const std::optional<double> cell = Number(text, decimalSep);
    if (!cell) {
        return std::nullopt;
    }
    const double byte = mode.offset ? Nearest(*cell + 127) : Nearest(*cell * 1000.0 / S);
    if (byte < 0 || byte > 255) {
        return std::nullopt;
    }
    return static_cast<int>(byte);
}

QString CellText(int byte, CellMode mode, const QString& decimalSep) {
    return mode.offset ? QString::number(byte - 127) : VoltText(byte, decimalSep);
}

int StepBreakpoint(int value, int delta, int lower, int upper) {
    value += delta;
    if (value > upper) {
        value = upper;
    }
    if (value < lower) {
        value = lower;
    }
    return value;
}

int CheckEnterValue(const QString& text, int oper, const QString& decimalSep) {
    const std::optional<double> value = Number(text, decimalSep);
    if (text.trimmed().isEmpty() || !value) {
        return 1;
    }
    struct Range {
        double high;
        int aboveMsg;
    };
    const Range range = oper == OperLinear    ? Range{255, 2}
                        : oper == OperPercent ? Range{100, 4}
                                              : Range{127, 6};
    if (*value > range.high) {
        return range.aboveMsg;
    }
    if (*value < -range.high) {
        return range.aboveMsg + 1;
    }
    return 0;
}

std::pair<double, double> CellVoltRange(int lambdaIndex) {
    const VoltLimits limits = LimitsOf(lambdaIndex);
    return {limits.lowMv / 1000.0, limits.highMv / 1000.0};
}

std::optional<double> ClampedAbsoluteVolts(double value, CellMode mode) {
    if (mode.offset) {
        return std::nullopt;
    }
    const VoltLimits limits = LimitsOf(mode.lambdaIndex);
    const double mv = Nearest(value * 1000.0);
    if (mv < limits.lowMv || mv > limits.highMv) {
        return std::clamp(mv, double(limits.lowMv), double(limits.highMv)) / 1000.0;
    }
    return std::nullopt;
}

QString ApplyEnterValueCell(const QString& cell, double value, int oper, CellMode mode,
                            const QString& decimalSep) {
    double x = Nearest(CellNumber(cell, decimalSep) * 1000.0);
    switch (oper) {
    case OperLinear:
        x = Nearest(value * 1000.0 + x);
        break;
    case OperAbsolute:
        x = Nearest(value * 1000.0);
        break;
    case OperPercent:
        x = Nearest((value / 100.0 + 1.0) * x);
        break;
    default:
        return cell;
    }
    if (mode.offset) {
        return OffsetText(std::clamp(x, -127000.0, 128000.0) / 1000.0);
    }
    const VoltLimits limits = LimitsOf(mode.lambdaIndex);
    x = std::clamp(x, double(limits.lowMv), double(limits.highMv));
    return VoltText(static_cast<int>(Nearest(x / S)), decimalSep);
}

MarkerCell EmulaMarkerCell(const std::array<int, TableCols>& rpmBreaks,
                           const std::array<int, TableRows>& pressBreaks, double rpm,
                           double pressure) {
    const auto firstAbove = [](const auto& breaks, double value) {
        const auto it =
            std::find_if(breaks.begin(), breaks.end(), [value](int b) { return b > value; });
        return std::max(1, static_cast<int>(it - breaks.begin()));
    };
    return {firstAbove(rpmBreaks, rpm), firstAbove(pressBreaks, pressure)};
}

std::optional<EmulaBlk> ParseEmulaLine(const QString& line) {
    if (line.size() != 2 * ecudata::EmulaBlkSize) {
        return std::nullopt;
    }
    const bool allHex = std::all_of(line.begin(), line.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    });
    if (!allHex) {
        return std::nullopt;
    }
    EmulaBlk block{};
    for (int i = 0; i < ecudata::EmulaBlkSize; ++i) {
        block[i] = quint8(line.mid(2 * i, 2).toUInt(nullptr, 16));
    }
    return block;
}

} // namespace emulation
