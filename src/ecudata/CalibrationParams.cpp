#include "ecudata/CalibrationParams.h"

#include "ecudata/ConfigLines.h"
#include "support/Conversions.h"
#include "support/ErrorBox.h"

#include <limits>

namespace ecudata {

namespace {

const QString BlockKey = QStringLiteral("[PARAMETRI DI TARATURA]");

// One value line of the block: a whole number, a number, or a percent.
struct Row {
    qint16 CalibrationParams::*whole;
    double CalibrationParams::*number;
    double divisor;
};

constexpr Row Whole(qint16 CalibrationParams::*field) {
    return {field, nullptr, 1};
}
constexpr Row Number(double CalibrationParams::*field) {
    return {nullptr, field, 1};
}
constexpr Row Percent(double CalibrationParams::*field) {
    return {nullptr, field, 100};
}

using P = CalibrationParams;
const Row Rows[] = {
    Whole(&P::TaraPar01),   Whole(&P::TaraPar02),   Whole(&P::TaraPar03),   Whole(&P::TaraPar04),
    Whole(&P::TaraPar05),   Whole(&P::TaraPar06),   Whole(&P::TaraPar07),   Whole(&P::TaraPar08),
    Whole(&P::TaraPar09),   Number(&P::TaraPar10),  Percent(&P::TaraPar11), Percent(&P::TaraPar12),
    Percent(&P::TaraPar13), Number(&P::TaraPar14),  Percent(&P::TaraPar15), Whole(&P::TaraPar16),
    Whole(&P::TaraPar17),   Whole(&P::TaraPar18),   Whole(&P::TaraPar19),   Percent(&P::TaraPar20),
    Percent(&P::TaraPar21), Whole(&P::TaraPar22),   Number(&P::TaraPar23),  Number(&P::TaraPar24),
    Percent(&P::TaraPar25), Whole(&P::TaraPar26),   Whole(&P::TaraPar27),   Whole(&P::TaraPar28),
    Whole(&P::TaraPar29),   Percent(&P::TaraPar30), Percent(&P::TaraPar31), Percent(&P::TaraPar32),
    Percent(&P::TaraPar33),
};

// A whole number beyond 16 bits keeps the value held and is reported.
void Report(const support::ErrObject& err) {
    support::ShowErrorBox(QStringLiteral("LoadParamTaratura_Err"),
                          QStringLiteral("Config calibration error"), false, err);
}

// A line that is no number, or a whole number beyond 16 bits, keeps the value held and
// is reported.
void Store(CalibrationParams& params, const Row& row, const QString& line, qsizetype i) {
    const std::optional<double> number = support::DataFileNumber(line);
    if (!number) {
        Report(TypeMismatch(i, line));
        return;
    }
    const double value = *number;
    if (row.number) {
        params.*row.number = value / row.divisor;
        return;
    }
    const double whole = RoundHalfEven(value);
    if (whole < std::numeric_limits<qint16>::min() || whole > std::numeric_limits<qint16>::max()) {
        Report(Overflow(i, line));
        return;
    }
    params.*row.whole = static_cast<qint16>(whole);
}

} // namespace

void LoadParamTaratura(CalibrationParams& params, const QString& appFolder) {
    params = CalibrationParams{};
    ApplyParamTaratura(params, ReadConfigScaleLines(appFolder));
}

void ApplyParamTaratura(CalibrationParams& params, const QStringList& lines) {
    qsizetype i = lines.indexOf(BlockKey);
    if (i < 0) {
        return;
    }
    for (const Row& row : Rows) {
        // Each value follows its label line, which is never looked at.
        i += 2;
        if (i >= lines.size()) {
            return;
        }
        Store(params, row, lines[i], i);
    }
}

} // namespace ecudata
