#pragma once

// The device tables of LNG/ConfigScale.ini: level-sensor types ("[GasLevel_NN]" blocks),
// injector types ("[InjType_NN]") and lambda-probe types ("[Lambda_NN]"). A block is its
// key line and the value lines of its record's fields, in the record's order.

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>
#include <vector>

namespace ecudata {

struct GasLevelRec {
    QString Name;
    std::array<qint16, 6> Thresholds{};
    QString Description;
    qint16 Id = 0;
    double Scale = 0.0;
    quint8 Mode = 0;

    bool operator==(const GasLevelRec&) const = default;
};

struct InjTypeRec {
    qint32 Id = 0;
    QString Name;
    // Already multiplied by K_Time_Pwm_us.
    double Timing1 = 0.0;
    double Timing2 = 0.0;
    double Timing3 = 0.0;
    double CalLimit1 = 0.0;
    double CalLimit2 = 0.0;
    QString RuleLpg;
    QString RuleCng;

    bool operator==(const InjTypeRec&) const = default;
};

struct LambdaRec {
    QString Name;
    qint16 Id = 0;
    qint32 Param1 = 0;
    qint32 Param2 = 0;
    qint32 Param3 = 0;
    qint32 Param4 = 0;
    qint32 Param5 = 0;
    qint32 Param6 = 0;
    qint32 Param7 = 0;

    bool operator==(const LambdaRec&) const = default;
};

// The level-sensor row the program starts with, before the file is read.
GasLevelRec BuiltInGasLevelRow();
// Row 0 of the lambda table until a "[Lambda_00]" block replaces it.
LambdaRec BuiltInLambdaRow();

// The three tables; the program context owns them. TblGasLevel and TblLambda are indexed
// by the block's NN, TblInjType by the order of its blocks (NN is the row's Id).
struct RecordTables {
    std::vector<GasLevelRec> TblGasLevel{BuiltInGasLevelRow()};
    std::vector<InjTypeRec> TblInjType;
    std::vector<LambdaRec> TblLambda;
};

// The loaders read the file themselves (they are called again later: the level dialog's
// default button, the model's rule strings, a change of language). A missing file keeps
// the tables as they are. A bad value line shows the loader's error box and keeps the
// field's content; the loader then goes on. decimalSep is the locale's: the blocks'
// numbers are written by the locale's rules.
void LoadGasLevelTbl(RecordTables& tables, const QString& appFolder, const QString& decimalSep);
void LoadInjTypeTbl(RecordTables& tables, const QString& appFolder, const QString& decimalSep,
                    double K_Time_Pwm_us);
// gridHeader15 names row 0 when the file gives it (the "off" text of the language).
void LoadLambdaTbl(RecordTables& tables, const QString& appFolder, const QString& decimalSep,
                   const QString& gridHeader15);

// The same on lines already read.
void ApplyGasLevelBlocks(std::vector<GasLevelRec>& table, const QStringList& lines,
                         const QString& decimalSep);
void ApplyInjTypeBlocks(std::vector<InjTypeRec>& table, const QStringList& lines,
                        const QString& decimalSep, double K_Time_Pwm_us);
void ApplyLambdaBlocks(std::vector<LambdaRec>& table, const QStringList& lines,
                       const QString& decimalSep, const QString& gridHeader15);

// The first row holding the code; -1 when none does.
int FindGasLevel(const RecordTables& tables, qint16 code);
int FindLambda(const RecordTables& tables, qint16 code);
// The first row holding the code; 0 when none does, so an unknown code selects row 0.
// Callers check for an empty table first.
int FindInjType(const RecordTables& tables, quint8 code);

} // namespace ecudata
