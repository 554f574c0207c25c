#include "settings/ConfigLists.h"

#include "app/ProgramContext.h"
#include "ecudata/RecordTables.h"
#include "support/Conversions.h"

#include <cmath>

namespace settings {

namespace {

using support::GeneralNumberText;
using support::LocaleNumber;
using support::ParseNumber;

QStringList Range(int from, int to, int step) {
    QStringList items;
    for (int v = from; v <= to; v += step) {
        items << QString::number(v);
    }
    return items;
}

QStringList Numbers(const QList<double>& values, const QString& sep) {
    QStringList items;
    for (const double v : values) {
        items << GeneralNumberText(v, sep);
    }
    return items;
}

QList<double> Tenths(int from, int to) {
    QList<double> values;
    for (int n = from; n <= to; ++n) {
        values << n / 10.0;
    }
    return values;
}

ComboItems Plain(const QStringList& texts) {
    return {texts, QList<int>(texts.size(), -1)};
}

// The section's items, or the built-in list when the header is missing or last.
QStringList SectionItems(const QStringList& lines, const QString& header,
                         const QStringList& builtIn) {
    const std::optional<QString> line = SectionLine(lines, header);
    return line ? line->split('|') : builtIn;
}

// File items in thousandths, shown in units: ParseNumber(item) / 1000 in the locale.
QStringList Thousandths(const QStringList& lines, const QString& header, const QStringList& builtIn,
                        const QString& sep) {
    const std::optional<QString> line = SectionLine(lines, header);
    if (!line) {
        return builtIn;
    }
    QStringList items;
    for (const QString& item : line->split('|')) {
        items << GeneralNumberText(ParseNumber(item) / 1000, sep);
    }
    return items;
}

QStringList LambdaNames(const ecudata::RecordTables& tables, const QString& gridHeader15) {
    if (tables.TblLambda.empty() || tables.TblLambda.front().Name == "NULL") {
        return {gridHeader15, "0..0,8", "0..5 Direct", "0..5 Inverted", "0,8..1,6"};
    }
    QStringList names;
    for (const ecudata::LambdaRec& r : tables.TblLambda) {
        names << r.Name;
    }
    return names;
}

ComboItems InjectorTypes(const ecudata::RecordTables& tables) {
    ComboItems items;
    for (int k = 0; k < int(tables.TblInjType.size()); ++k) {
        if (!tables.TblInjType[size_t(k)].Name.trimmed().isEmpty()) {
            items.texts << tables.TblInjType[size_t(k)].Name;
            items.tableIndex << k;
        }
    }
    items.texts << NoInjectorType;
    items.tableIndex << -1;
    return items;
}

ComboItems LevelTypes(const ecudata::RecordTables& tables) {
    ComboItems items;
    for (int k = 0; k < int(tables.TblGasLevel.size()); ++k) {
        items.texts << tables.TblGasLevel[size_t(k)].Name;
        items.tableIndex << k;
    }
    return items;
}

std::optional<double> EntryNumber(const QString& entry, const QString& sep) {
    return LocaleNumber(entry, sep);
}

} // namespace

std::optional<QString> SectionLine(const QStringList& lines, const QString& header) {
    const qsizetype at = lines.indexOf(header);
    if (at < 0 || at + 1 >= lines.size()) {
        return std::nullopt;
    }
    return lines[at + 1];
}

const ComboItems* ConfigLists::Find(const QString& combo) const {
    for (const auto& [name, items] : combos) {
        if (name == combo) {
            return &items;
        }
    }
    return nullptr;
}

ConfigLists BuildConfigLists(const QStringList& lines, const app::MessageTexts& texts,
                             const ecudata::RecordTables& tables, const QStringList& sequenzaComm,
                             const QString& sep) {
    ConfigLists lists;
    auto add = [&lists](const QString& combo, const ComboItems& items) {
        lists.combos.append({combo, items});
    };
    const QStringList rpm = QStringList{"0"} + Range(400, 3000, 200);
    add("CmbSwtchRpm", Plain(SectionItems(lines, "[RPM DI COMM.]", rpm)));
    add("CmbSwtchTemp", Plain(SectionItems(lines, "[TEMP. DI COMM.]", Range(20, 70, 5))));

    DelayLists& d = lists.delays;
    d.ThresholdDelayTab =
        SectionLine(lines, "[SOGLIA RITARDO TEMP. DI COMM.]").value_or(d.ThresholdDelayTab);
    d.DelayListCold = SectionLine(lines, "[RITARDO TEMP. DI COMM.]").value_or(d.DelayListCold);
    d.DelayListWarm =
        SectionLine(lines, "[RITARDO TEMP. DI COMM. TAB.2]").value_or(d.DelayListWarm);

    add("CmbSwtchBar",
        Plain(Thousandths(lines, "[PRESSIONI DI FINE GAS]", Numbers(Tenths(1, 12), sep), sep)));
    const QList<double> pressDelays =
        Tenths(1, 9) + QList<double>{1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, 5};
    add("CmbSwtchDelayPress",
        Plain(Thousandths(lines, "[RITARDO DI FINE GAS]", Numbers(pressDelays, sep), sep)));
    add("CmbEmptyGas", Plain({texts.GridHeader15, texts.MsgConfig[4]}));
    const QStringList counts{"1", "2", "3", "4", "5", "6", "8"};
    add("CmbSwtchCilindri", Plain(counts));
    add("CmbSwtchBobine", Plain(counts));
    add("CmbSwtchForce",
        Plain(SectionItems(lines, "[FORZA COMM.]",
                           {"0", "30", "60", "90", "120", "240", "300", "420", "600"})));
    const QStringList lambda = LambdaNames(tables, texts.GridHeader15);
    add("CmbSwtchLambda", Plain(lambda));
    add("CmbSwtchLambdaBis", Plain(lambda));
    add("CmbTpyInj", InjectorTypes(tables));
    add("CmbTpyGLS", LevelTypes(tables));
    add("CmbSwtchDrect", Plain({texts.MsgConfig[6], texts.MsgConfig[5]}));

    QStringList steps;
    for (const QString& item : sequenzaComm) {
        if (item.trimmed().isEmpty()) {
            steps << QString();
        } else if (const std::optional<double> v = EntryNumber(item, sep)) {
            steps << GeneralNumberText(*v / 1000, sep);
        } else {
            lists.badSequenceItems << item;
        }
    }
    add("CmbSwtchSeq", Plain(steps));

    add("CmbAbilEmula", Plain({texts.GridHeader15, texts.MsgConfig[1]}));
    const QStringList probe{texts.MsgConfig[7], texts.MsgConfig[8], texts.MsgConfig[9]};
    for (const char* combo : {"CmbSonda1", "CmbSonda1Bis", "CmbSonda2", "CmbSonda2Bis"}) {
        add(combo, Plain(probe));
    }
    const std::optional<QString> delay = SectionLine(lines, "[Ritardo attivazione Emulaz s]");
    QStringList delays;
    for (const QString& item :
         (delay && !delay->isEmpty() ? *delay
                                     : QStringLiteral("0|1|3|5|7|10|15|20|25|30|35|40|50|60|"
                                                      "90|120|150|180|210|240|250|280|300"))
             .split('|')) {
        delays << GeneralNumberText(ParseNumber(item), sep);
    }
    add("CmbRitardo", Plain(delays));
    add("CmbFiltro", Plain(QStringList{texts.GridHeader15} + Range(1, 15, 1)));
    return lists;
}

QStringList DelayListFor(const DelayLists& lists, double switchTemp, const QString& sep) {
    const double threshold = EntryNumber(lists.ThresholdDelayTab, sep).value_or(0);
    return (switchTemp <= threshold ? lists.DelayListCold : lists.DelayListWarm).split('|');
}

int FirstNotBelow(const QStringList& entries, double value, const QString& sep) {
    for (int i = 0; i < entries.size(); ++i) {
        const std::optional<double> v = EntryNumber(entries[i], sep);
        if (v && *v >= value) {
            return i;
        }
    }
    return -1;
}

int DelaySelection(const QStringList& entries, double delay, const QString& sep) {
    const int first = FirstNotBelow(entries, delay, sep);
    return first >= 0 ? first : int(entries.size()) - 1;
}

int SequenceSelection(const QStringList& entries, qint32 stepMs, const QString& sep) {
    for (int i = 0; i < entries.size(); ++i) {
        const std::optional<double> v =
            entries[i].isEmpty() ? std::nullopt : EntryNumber(entries[i], sep);
        if (v && std::abs(*v * 1000 - stepMs) < 1e-6) { // 0,3 x 1000 is not exactly 300
            return i;
        }
    }
    return -1;
}

double SwitchRpmPeriod(double rpm, qint32 rpmClock) {
    const double n = support::RoundHalfEven(rpm);
    if (n == 0) {
        return -1.0;
    }
    const double p = std::floor(rpmClock / n);
    return p <= 65535 ? p : -1.0;
}

} // namespace settings
