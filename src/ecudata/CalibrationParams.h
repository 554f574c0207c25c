#pragma once

// The tick counts, rpm target, tolerances, gains and limits of the automatic calibration.
// The first 33 can be tuned in the "[PARAMETRI DI TARATURA]" block of LNG/ConfigScale.ini:
// 33 pairs of a free label line and a value line (comma as decimal mark), in the order of
// the TaraPar members. Values noted "percent" are written as percent in the file and
// held as fractions.

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace ecudata {

struct CalibrationParams {
    qint16 TaraPar01 = 50; // reducer temperature to wait for
    qint16 TaraPar02 = 40;
    qint16 TaraPar03 = 8;
    qint16 TaraPar04 = 30;
    qint16 TaraPar05 = 8;
    qint16 TaraPar06 = 10;
    qint16 TaraPar07 = 10;
    qint16 TaraPar08 = 2;
    qint16 TaraPar09 = 6;
    double TaraPar10 = 2200; // rpm target
    double TaraPar11 = 0.10; // percent
    double TaraPar12 = 0.20; // percent
    double TaraPar13 = 0.75; // percent
    double TaraPar14 = 4.0;
    double TaraPar15 = 0.10; // percent
    qint16 TaraPar16 = 40;
    qint16 TaraPar17 = 10;
    qint16 TaraPar18 = 6;
    qint16 TaraPar19 = 2;
    double TaraPar20 = 0.03; // percent
    double TaraPar21 = 0.75; // percent
    qint16 TaraPar22 = 8;
    double TaraPar23 = 2.0;
    double TaraPar24 = 5.0; // upper limit of the model's offset, ms (not a percent)
    double TaraPar25 = 1.0; // percent
    qint16 TaraPar26 = 50;
    qint16 TaraPar27 = 8;
    qint16 TaraPar28 = 10;
    qint16 TaraPar29 = 6;
    double TaraPar30 = 0.03; // percent
    double TaraPar31 = 1.25; // percent
    double TaraPar32 = 0.75; // percent
    double TaraPar33 = 0.0;  // percent: lower limit of the model's offset

    // Fixed: the file does not set them.
    double TaraTickRate = 4.0; // calibration ticks per second
    qint16 TaraFix01 = 4;
    qint16 TaraFix02 = 6;
    qint16 TaraFix03 = 8;
    qint16 TaraFix04 = 6;
    qint16 TaraFix05 = 4;
    qint16 TaraFix06 = 2;
    qint16 TaraFix07 = 4;
    qint16 TaraFix08 = 8;
    qint16 TaraFix09 = 6;
    qint16 TaraFix10 = 2;
    qint16 TaraFix11 = 4;

    bool operator==(const CalibrationParams&) const = default;
};

// Sets every value to its built-in default, then reads the block. Without the file or
// the block the defaults stay; a block that ends early keeps the defaults of the values
// it lacks. A value line that is not a number gives 0.
void LoadParamTaratura(CalibrationParams& params, const QString& appFolder);

// The same on lines already read, over the values as they stand.
void ApplyParamTaratura(CalibrationParams& params, const QStringList& lines);

} // namespace ecudata
