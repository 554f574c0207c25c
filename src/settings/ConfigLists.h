#pragma once

// The item lists of the Configuration page's combos and of the Lambda page's probe and
// emulation combos, from LNG/ConfigScale.ini (a header line matched whole, the one line
// after it holding the items, "|"-separated), with built-in lists where a section is
// missing; and the rules that pick an entry for a record value. Pure: no controls.

#include <QString>
#include <QStringList>
#include <optional>

namespace app {
struct MessageTexts;
}

namespace ecudata {
struct RecordTables;
}

namespace settings {

// The line after the first line equal to header; nothing when no line follows it.
std::optional<QString> SectionLine(const QStringList& lines, const QString& header);

// The lists the page's procedures keep between fills (whole lines, unsplit).
struct DelayLists {
    QString ThresholdDelayTab = QStringLiteral("40");
    QString DelayListCold = QStringLiteral("60|65|70|75|80|85|90|95|100|105|110|115|120");
    QString DelayListWarm = QStringLiteral("5|6|7|8|9|10|12|14|16|18|20");
};

// One combo's entries; tableIndex holds, per entry, the record-table row it stands for
// (-1 for none, as for "- - -"), for the combos filled from a table.
struct ComboItems {
    QStringList texts;
    QList<int> tableIndex;
};

// Every list of the fill, by combo name, in fill order.
struct ConfigLists {
    QList<QPair<QString, ComboItems>> combos;
    DelayLists delays;
    // Items of "[sequenza commutazione s]" that are no number (each costs the error box).
    QStringList badSequenceItems;

    const ComboItems* Find(const QString& combo) const;
};

inline const QString NoInjectorType = QStringLiteral("- - -");

// lines: the file's lines (empty when it is missing). decimalSep: the locale's.
ConfigLists BuildConfigLists(const QStringList& lines, const app::MessageTexts& texts,
                             const ecudata::RecordTables& tables, const QStringList& sequenzaComm,
                             const QString& decimalSep);

// The delay list for a change-over temperature: at or below the threshold the cold one.
QStringList DelayListFor(const DelayLists& lists, double switchTemp, const QString& decimalSep);

// The first entry whose number is not below value; -1 when none (entries that are no
// number are passed over).
int FirstNotBelow(const QStringList& entries, double value, const QString& decimalSep);

// The delay entry for the record's delay: the first not below it, else the last; -1 for
// an empty list.
int DelaySelection(const QStringList& entries, double delay, const QString& decimalSep);

// The first non-empty entry whose value x 1000 is exactly stepMs; -1 when none.
int SequenceSelection(const QStringList& entries, qint32 stepMs, const QString& decimalSep);

// The change-over rpm period for an rpm entry: Int(clock / rpm), or -1.0 (no edit) for
// rpm 0 or a period above 65535.
double SwitchRpmPeriod(double rpm, qint32 rpmClock);

} // namespace settings
