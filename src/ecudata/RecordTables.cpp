#include "ecudata/RecordTables.h"

#include "ecudata/ConfigLines.h"
#include "support/Conversions.h"
#include "support/ErrorBox.h"

#include <limits>
#include <optional>

namespace ecudata {

namespace {

struct Loader {
    const char* prefix;
    QString tag;
    QString context;
};

const Loader GasLevelLoader{"[GasLevel_", QStringLiteral("IniziaLevelGasType_Err"),
                            QStringLiteral("Config level sensor error")};
const Loader InjTypeLoader{"[InjType_", QStringLiteral("IniziaTipoInj_Err"),
                           QStringLiteral("Config level sensor error")};
const Loader LambdaLoader{"[Lambda_", QStringLiteral("IniziaTipoLambda_Err"),
                          QStringLiteral("Config lambda sensor error")};

// Reads the value lines of the block whose key line stands at i, one field at a time,
// moving i along. A field whose line is bad is reported and keeps its content; a block
// cut short by the end of the file is reported once and its remaining fields are left.
class BlockReader {
public:
    BlockReader(const QStringList& lines, qsizetype& i, const Loader& loader,
                const QString& decimalSep)
        : lines_(lines), i_(i), keyLine_(i), loader_(loader), decimalSep_(decimalSep) {}

    // NN of the key line: the two characters before its last one.
    std::optional<qint16> KeyNumber() {
        const QString& key = lines_[keyLine_];
        qint16 nn = -1;
        return ReadWhole(key.mid(key.size() - 3, 2), key, nn) ? std::optional(nn) : std::nullopt;
    }

    void Text(QString& field) {
        if (const std::optional<QString> line = Next()) {
            field = *line;
        }
    }

    template <class T> void Whole(T& field) {
        if (const std::optional<QString> line = Next()) {
            ReadWhole(*line, lines_[i_], field);
        }
    }

    // A number by the locale's rules, times factor.
    void Number(double& field, double factor) {
        if (const std::optional<QString> line = Next()) {
            if (const std::optional<double> value = support::DataFileNumber(*line)) {
                field = *value * factor;
            } else {
                Report(TypeMismatch(i_, lines_[i_]));
            }
        }
    }

    // A number; a line that is no number is reported and keeps the value.
    void Parsed(double& field) { Number(field, 1.0); }

private:
    std::optional<QString> Next() {
        if (cut_) {
            return std::nullopt;
        }
        if (i_ + 1 >= lines_.size()) {
            cut_ = true;
            Report(PastEndOfFile(keyLine_, lines_[keyLine_]));
            return std::nullopt;
        }
        ++i_;
        return lines_[i_].trimmed();
    }

    template <class T> bool ReadWhole(const QString& text, const QString& line, T& field) {
        const std::optional<double> value = support::DataFileNumber(text);
        if (!value) {
            Report(TypeMismatch(i_, line));
            return false;
        }
        const double whole = RoundHalfEven(*value);
        if (whole < std::numeric_limits<T>::min() || whole > std::numeric_limits<T>::max()) {
            Report(Overflow(i_, line));
            return false;
        }
        field = static_cast<T>(whole);
        return true;
    }

    void Report(const support::ErrObject& err) const {
        support::ShowErrorBox(loader_.tag, loader_.context, false, err);
    }

    const QStringList& lines_;
    qsizetype& i_;
    const qsizetype keyLine_;
    const Loader& loader_;
    const QString& decimalSep_;
    bool cut_ = false;
};

// Calls fill(NN, reader) for every block of the loader; a key line whose NN is not a
// number is reported and passed over, a negative NN is passed over.
template <class Fill>
void ForEachBlock(const QStringList& lines, const Loader& loader, const QString& decimalSep,
                  Fill fill) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines[i].startsWith(QLatin1String(loader.prefix))) {
            continue;
        }
        BlockReader reader(lines, i, loader, decimalSep);
        const std::optional<qint16> nn = reader.KeyNumber();
        if (nn && *nn >= 0) {
            fill(*nn, reader);
        }
    }
}

template <class Table> int FindRow(const Table& table, qint32 code) {
    for (std::size_t k = 0; k < table.size(); ++k) {
        if (table[k].Id == code) {
            return static_cast<int>(k);
        }
    }
    return -1;
}

} // namespace

GasLevelRec BuiltInGasLevelRow() {
    GasLevelRec row;
    row.Thresholds = {0, 204, 409, 618, 823, 1023};
    return row;
}

LambdaRec BuiltInLambdaRow() {
    return LambdaRec{QStringLiteral("NULL"), 0, 0, 5000, 5010, 130, 720, 130, 2488};
}

void ApplyGasLevelBlocks(std::vector<GasLevelRec>& table, const QStringList& lines,
                         const QString& decimalSep) {
    ForEachBlock(lines, GasLevelLoader, decimalSep, [&](qint16 nn, BlockReader& read) {
        table.resize(nn + 1);
        GasLevelRec& row = table[nn];
        read.Text(row.Name);
        read.Whole(row.Id);
        read.Text(row.Description);
        for (qint16& threshold : row.Thresholds) {
            read.Whole(threshold);
        }
        read.Number(row.Scale, 1.0);
        read.Whole(row.Mode);
    });
}

void ApplyInjTypeBlocks(std::vector<InjTypeRec>& table, const QStringList& lines,
                        const QString& decimalSep, double K_Time_Pwm_us) {
    std::size_t count = 0;
    ForEachBlock(lines, InjTypeLoader, decimalSep, [&](qint16 nn, BlockReader& read) {
        table.resize(++count);
        InjTypeRec& row = table.back();
        row.Id = nn;
        read.Text(row.Name);
        // The file gives them in the order 1, 3, 2.
        read.Number(row.Timing1, K_Time_Pwm_us);
        read.Number(row.Timing3, K_Time_Pwm_us);
        read.Number(row.Timing2, K_Time_Pwm_us);
        read.Parsed(row.CalLimit1);
        read.Parsed(row.CalLimit2);
        read.Text(row.RuleLpg);
        read.Text(row.RuleCng);
    });
}

void ApplyLambdaBlocks(std::vector<LambdaRec>& table, const QStringList& lines,
                       const QString& decimalSep, const QString& gridHeader15) {
    ForEachBlock(lines, LambdaLoader, decimalSep, [&](qint16 nn, BlockReader& read) {
        table.resize(nn + 1);
        LambdaRec& row = table[nn];
        read.Text(row.Name);
        if (nn == 0) {
            row.Name = gridHeader15;
        }
        read.Whole(row.Id);
        for (qint32* param : {&row.Param1, &row.Param2, &row.Param3, &row.Param4, &row.Param5,
                              &row.Param6, &row.Param7}) {
            read.Whole(*param);
        }
    });
}

void LoadGasLevelTbl(RecordTables& tables, const QString& appFolder, const QString& decimalSep) {
    ApplyGasLevelBlocks(tables.TblGasLevel, ReadConfigScaleLines(appFolder), decimalSep);
}

void LoadInjTypeTbl(RecordTables& tables, const QString& appFolder, const QString& decimalSep,
                    double K_Time_Pwm_us) {
    ApplyInjTypeBlocks(tables.TblInjType, ReadConfigScaleLines(appFolder), decimalSep,
                       K_Time_Pwm_us);
}

void LoadLambdaTbl(RecordTables& tables, const QString& appFolder, const QString& decimalSep,
                   const QString& gridHeader15) {
    tables.TblLambda.assign(1, BuiltInLambdaRow());
    ApplyLambdaBlocks(tables.TblLambda, ReadConfigScaleLines(appFolder), decimalSep, gridHeader15);
}

int FindGasLevel(const RecordTables& tables, qint16 code) {
    return FindRow(tables.TblGasLevel, code);
}

int FindLambda(const RecordTables& tables, qint16 code) {
    return FindRow(tables.TblLambda, code);
}

int FindInjType(const RecordTables& tables, quint8 code) {
    const int row = FindRow(tables.TblInjType, code);
    return row < 0 ? 0 : row;
}

} // namespace ecudata
