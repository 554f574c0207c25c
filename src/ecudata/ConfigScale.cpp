#include "ecudata/ConfigScale.h"

#include "ecudata/ConfigLines.h"
#include "support/Conversions.h"
#include "support/ErrorBox.h"

#include <limits>
#include <optional>

namespace ecudata {

namespace {

const QString Tag = QStringLiteral("LoadConfigScale_Err");
const QString Context = QStringLiteral("Config scale error");

struct NumberKey {
    const char* key;
    double ConfigScale::*field;
    double divisor;
};

// A scale is a factor between raw ECU units and physical ones; the images divide by
// most of them, so only a positive value is taken.
const NumberKey NumberKeys[] = {
    {"[K_Time_Inj_us]", &ConfigScale::K_Time_Inj_us, 1000},
    {"[K_Time_Pwm_us]", &ConfigScale::K_Time_Pwm_us, 1000},
    {"[K_Temp_c]", &ConfigScale::K_Temp_c, 1},
    {"[K_Temp_1_c]", &ConfigScale::K_Temp_1_c, 1},
    {"[K_Map_In_mBar]", &ConfigScale::K_Map_In_mBar, 1},
    {"[K_Map_In_1_mBar]", &ConfigScale::K_Map_In_1_mBar, 1},
    {"[K_Timer_Gen_us]", &ConfigScale::K_Timer_Gen_us, 1000},
    {"[K_VLevel_Sens_uV]", &ConfigScale::K_VLevel_Sens_uV, 1000},
};

struct ListKey {
    const char* key;
    QStringList ConfigScale::*field;
};

const ListKey ListKeys[] = {
    {"[Sens Temp]", &ConfigScale::SensTemp},
    {"[Sens Press]", &ConfigScale::SensPress},
    {"[Min power L]", &ConfigScale::MinPowerL},
    {"[Min power H]", &ConfigScale::MinPowerH},
    {"[Max power]", &ConfigScale::MaxPower},
    {"[isteresi decelerazione]", &ConfigScale::IsteresiDecel},
    {"[sequenza commutazione s]", &ConfigScale::SequenzaComm},
    {"[Soglia Tinj max power usec]", &ConfigScale::SogliaTinjMaxPower},
};

template <class Key, std::size_t N> const Key* FindKey(const Key (&keys)[N], const QString& line) {
    for (const Key& k : keys) {
        if (line == QLatin1String(k.key)) {
            return &k;
        }
    }
    return nullptr;
}

void Report(const support::ErrObject& err) {
    support::ShowErrorBox(Tag, Context, false, err);
}

// Moves i to the value line of the key at i; a key on the last line is reported.
std::optional<QString> TakeValueLine(const QStringList& lines, qsizetype& i) {
    if (i + 1 >= lines.size()) {
        Report(PastEndOfFile(i, lines[i]));
        return std::nullopt;
    }
    ++i;
    return lines[i];
}

// A line that is no number, or a scale of 0 or less, is reported and keeps the value.
bool ApplyScale(ConfigScale& scale, const NumberKey& key, const QString& line, qsizetype i) {
    const double value = support::DataFileNumber(line).value_or(0);
    if (value <= 0) {
        Report(TypeMismatch(i, line));
        return false;
    }
    scale.*key.field = value / key.divisor;
    return true;
}

// Empty parts are kept; an empty line is an empty list.
QStringList SplitList(const QString& line) {
    return line.isEmpty() ? QStringList() : line.split(u'|');
}

std::optional<qint32> WholeNumber(const QString& text, qsizetype i, const QString& line) {
    const std::optional<double> value = support::DataFileNumber(text);
    if (!value) {
        Report(TypeMismatch(i, line));
        return std::nullopt;
    }
    const double whole = RoundHalfEven(*value);
    if (whole < std::numeric_limits<qint32>::min() || whole > std::numeric_limits<qint32>::max()) {
        Report(Overflow(i, line));
        return std::nullopt;
    }
    return static_cast<qint32>(whole);
}

constexpr qint32 MaxBandRpm = 25500;

// "low,high|low,high|...": a line with a bad number is reported and changes nothing.
bool ApplyBands(ConfigScale& scale, const QString& line, qsizetype i, const QString&) {
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty()) {
        return true;
    }
    bool whole = true;
    QList<qint32> low;
    QList<qint32> high;
    for (const QString& item : trimmed.split(u'|')) {
        const QStringList parts = item.split(u',');
        const std::optional<qint32> from = WholeNumber(parts.value(0), i, line);
        const std::optional<qint32> to = from ? WholeNumber(parts.value(1), i, line) : std::nullopt;
        if (!to) {
            return false;
        }
        // The ECU holds an edge in hundreds of rpm in one byte: a band it cannot hold is
        // reported and left out.
        if (*from <= 0 || *from >= *to || *to > MaxBandRpm) {
            Report(Overflow(i, line));
            whole = false;
            continue;
        }
        low.append(*from);
        high.append(*to);
    }
    if (!low.isEmpty()) {
        scale.MapBandLow = low;
        scale.MapBandHigh = high;
    }
    return whole;
}

bool ApplySoloUsb(ConfigScale& scale, const QString& line, qsizetype i, const QString&) {
    const std::optional<double> value = support::DataFileNumber(line);
    if (!value) {
        Report(TypeMismatch(i, line));
        return false;
    }
    scale.SoloUSB = *value == 1;
    return true;
}

bool ApplyPassWord00(ConfigScale& scale, const QString& line, qsizetype, const QString&) {
    scale.PassWord00 = line;
    return true;
}

bool ApplyPassWord01(ConfigScale& scale, const QString& line, qsizetype, const QString&) {
    scale.PassWord01 = line;
    return true;
}

// The supply scale is fixed: the value line is passed over.
bool IgnoreValue(ConfigScale&, const QString&, qsizetype, const QString&) {
    return true;
}

struct ValueKey {
    const char* key;
    bool (*apply)(ConfigScale& scale, const QString& line, qsizetype i, const QString& decimalSep);
};

const ValueKey ValueKeys[] = {
    {"[K_Lambda_V]", IgnoreValue},     {"[PassWord00]", ApplyPassWord00},
    {"[PassWord01]", ApplyPassWord01}, {"[SoloUSB]", ApplySoloUsb},
    {"[Soglie mapping]", ApplyBands},
};

} // namespace

bool LoadConfigScale(ConfigScale& scale, const QString& appFolder, const QString& decimalSep) {
    scale = ConfigScale{};
    return ApplyConfigScale(scale, ReadConfigScaleLines(appFolder), decimalSep);
}

bool ApplyConfigScale(ConfigScale& scale, const QStringList& lines, const QString& decimalSep) {
    bool whole = true;
    bool anyKey = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (const ListKey* key = FindKey(ListKeys, line)) {
            anyKey = true;
            // The value line is not skipped: it is tested as a key in its turn.
            if (i + 1 < lines.size()) {
                scale.*key->field = SplitList(lines[i + 1]);
            } else {
                Report(PastEndOfFile(i, line));
                whole = false;
            }
        } else if (const NumberKey* number = FindKey(NumberKeys, line)) {
            anyKey = true;
            const std::optional<QString> value = TakeValueLine(lines, i);
            whole = value && ApplyScale(scale, *number, *value, i) && whole;
        } else if (const ValueKey* other = FindKey(ValueKeys, line)) {
            anyKey = true;
            const std::optional<QString> value = TakeValueLine(lines, i);
            whole = value && other->apply(scale, *value, i, decimalSep) && whole;
        }
    }
    return whole && anyKey;
}

} // namespace ecudata
