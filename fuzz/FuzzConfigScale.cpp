// LNG/ConfigScale.ini and every reader of it: the scale constants and lists, the device
// tables and the calibration block. Any bytes are read without harm, with either
// decimal separator, and leave the values the program divides by and indexes with
// usable.

#include "FuzzSupport.h"

#include "ecudata/CalibrationParams.h"
#include "ecudata/ConfigLines.h"
#include "ecudata/ConfigScale.h"
#include "ecudata/RecordTables.h"

#include <cmath>

using namespace ecudata;

namespace {

const QString ConfigPath = QStringLiteral("/LNG/ConfigScale.ini");

bool Positive(double v) {
    return std::isfinite(v) && v > 0;
}

void CheckScale(const ConfigScale& scale) {
    for (double k : {scale.K_Time_Inj_us, scale.K_Time_Pwm_us, scale.K_Temp_c, scale.K_Temp_1_c,
                     scale.K_Map_In_mBar, scale.K_Map_In_1_mBar, scale.K_Timer_Gen_us}) {
        FUZZ_CHECK(Positive(k));
    }
    FUZZ_CHECK(std::isfinite(scale.K_VLevel_Sens_uV) && scale.K_VLevel_Sens_uV >= 0);
    FUZZ_CHECK(!scale.MapBandLow.isEmpty());
    FUZZ_CHECK(scale.MapBandLow.size() == scale.MapBandHigh.size());
}

void ReadTables(const QString& decimalSep, double kTimePwm) {
    RecordTables tables;
    LoadGasLevelTbl(tables, fuzz::Root(), decimalSep);
    LoadInjTypeTbl(tables, fuzz::Root(), decimalSep, kTimePwm);
    LoadLambdaTbl(tables, fuzz::Root(), decimalSep, QStringLiteral("OFF"));
    for (qint16 code : {qint16(0), qint16(1), qint16(-1)}) {
        (void)FindGasLevel(tables, code);
        (void)FindLambda(tables, code);
    }
    if (!tables.TblInjType.empty()) {
        const int row = FindInjType(tables, 0);
        FUZZ_CHECK(row >= 0 && row < static_cast<int>(tables.TblInjType.size()));
    }

    CalibrationParams params;
    LoadParamTaratura(params, fuzz::Root());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteInput(ConfigPath, data, size);
    for (const QString& decimalSep : {QStringLiteral(","), QStringLiteral(".")}) {
        ConfigScale scale;
        LoadConfigScale(scale, fuzz::Root(), decimalSep);
        CheckScale(scale);
        ReadTables(decimalSep, scale.K_Time_Pwm_us);

        // Applied again over the values as they stand, as a second file would be.
        ApplyConfigScale(scale, ReadConfigScaleLines(fuzz::Root()), decimalSep);
        CheckScale(scale);
    }
    return 0;
}
