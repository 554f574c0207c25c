#pragma once

// The scale constants, combo lists, passwords, USB-only switch and rpm bands of
// LNG/ConfigScale.ini. The file is a sequence of lines: a key in square brackets alone
// on its line (matched exactly, case and blanks included), its value on the next line.
// Keys may stand in any order; a key given twice takes its last value.

#include <QList>
#include <QString>
#include <QStringList>

namespace ecudata {

// Every value with its built-in default; the program context owns one.
struct ConfigScale {
    // Raw ECU units to ms, degrees, mbar, volts.
    double K_Time_Inj_us = 8.0 / 1000;
    double K_Time_Pwm_us = 1.0;
    double K_gm = 1.0; // from zone 3's coil and cylinder counts
    double K_Temp_c = 1.0;
    double K_Temp_1_c = 1.0;
    double K_Map_In_mBar = 1.0;
    double K_Map_In_1_mBar = 1.0;
    double K_Supply_V = 3360.0 / 100 / 1024; // fixed: "[K_Lambda_V]" is read and ignored
    double K_Timer_Gen_us = 25.0 / 1000;
    double K_VLevel_Sens_uV = 0.0; // none until the file gives it
    qint32 RpmClock = 7500000;     // from zone 2's flags

    QString PassWord00;
    QString PassWord01;
    bool SoloUSB = false;

    // Item texts of the expert dialog's and the Configuration page's combos.
    QStringList SensTemp{QString()};
    QStringList SensPress{QString()};
    QStringList MinPowerL{QString()};
    QStringList MinPowerH{QString()};
    QStringList MaxPower{QString()};
    QStringList IsteresiDecel{QString()};
    QStringList SequenzaComm{QString()};
    QStringList SogliaTinjMaxPower{QString()};

    // The Map page's rpm bands, one element per band; MapBand is the selected one.
    qint32 MapBand = 0;
    QList<qint32> MapBandLow{2200};
    QList<qint32> MapBandHigh{2700};

    bool operator==(const ConfigScale&) const = default;
};

// Sets every value to its built-in default, then applies the file's keys. A missing file
// keeps the defaults. decimalSep is the locale's, for the test of a number line. False
// when the file is damaged (see ApplyConfigScale) or missing, empty or unreadable: the
// file ships with the program, so built-in values stand in for what it should give.
bool LoadConfigScale(ConfigScale& scale, const QString& appFolder, const QString& decimalSep);

// Applies the keys of the file's lines over the values as they stand. Numbers are read
// with either decimal mark. A bad value line (a key without one, a number line that is
// no number, a scale of 0 or less) is reported and keeps the value held. True when the
// lines hold at least one key and no bad value line.
bool ApplyConfigScale(ConfigScale& scale, const QStringList& lines, const QString& decimalSep);

} // namespace ecudata
