// The Configuration page's lists from the configuration file and the rules that pick an
// entry for a record value.

#include "settings/ConfigLists.h"
#include "app/ProgramContext.h"
#include "ecudata/RecordTables.h"
#include "settings/ConfigPageDesign.h"

#include <gtest/gtest.h>

using namespace settings;

namespace {

app::MessageTexts Texts() {
    app::MessageTexts t;
    t.GridHeader15 = "Off";
    for (int i = 1; i <= 9; ++i) {
        t.MsgConfig[size_t(i)] = QString("Msg%1").arg(i);
    }
    return t;
}

ConfigLists Build(const QStringList& lines, const ecudata::RecordTables& tables = {},
                  const QStringList& sequence = {QString()}) {
    return BuildConfigLists(lines, Texts(), tables, sequence, ",");
}

QStringList Items(const ConfigLists& lists, const QString& combo) {
    const ComboItems* items = lists.Find(combo);
    return items ? items->texts : QStringList{"<none>"};
}

} // namespace

TEST(ConfigLists, FileSectionsAndBuiltIns) {
    struct Case {
        const char* what;
        QStringList lines;
        const char* combo;
        QStringList expected;
    };
    const QStringList rpm{"0",    "400",  "600",  "800",  "1000", "1200", "1400", "1600",
                          "1800", "2000", "2200", "2400", "2600", "2800", "3000"};
    const Case cases[] = {
        {"no file: built-in rpm", {}, "CmbSwtchRpm", rpm},
        {"header as the last line: built-in", {"[RPM DI COMM.]"}, "CmbSwtchRpm", rpm},
        {"verbatim, empty items count",
         {"[RPM DI COMM.]", "0||1500 "},
         "CmbSwtchRpm",
         {"0", "", "1500 "}},
        {"the first header wins",
         {"[TEMP. DI COMM.]", "30|40", "[TEMP. DI COMM.]", "50"},
         "CmbSwtchTemp",
         {"30", "40"}},
        {"the header matches the whole line",
         {" [TEMP. DI COMM.]", "30"},
         "CmbSwtchTemp",
         {"20", "25", "30", "35", "40", "45", "50", "55", "60", "65", "70"}},
        {"pressures in thousandths, the locale's separator",
         {"[PRESSIONI DI FINE GAS]", "500|1000,5"},
         "CmbSwtchBar",
         {"0,5", "1,0005"}},
        {"built-in pressures",
         {},
         "CmbSwtchBar",
         {"0,1", "0,2", "0,3", "0,4", "0,5", "0,6", "0,7", "0,8", "0,9", "1", "1,1", "1,2"}},
        {"built-in end-of-gas delays",
         {},
         "CmbSwtchDelayPress",
         {"0,1", "0,2", "0,3", "0,4", "0,5", "0,6", "0,7", "0,8", "0,9", "1", "1,5", "2", "2,5",
          "3", "3,5", "4", "4,5", "5"}},
        {"no 7 cylinders", {}, "CmbSwtchCilindri", {"1", "2", "3", "4", "5", "6", "8"}},
        {"dictionary entries", {}, "CmbSwtchDrect", {"Msg6", "Msg5"}},
        {"end-of-gas check", {}, "CmbEmptyGas", {"Off", "Msg4"}},
        {"probe mirrors", {}, "CmbSonda2Bis", {"Msg7", "Msg8", "Msg9"}},
        {"an empty emulation delay line: built-in",
         {"[Ritardo attivazione Emulaz s]", ""},
         "CmbRitardo",
         QString("0|1|3|5|7|10|15|20|25|30|35|40|50|60|90|120|150|180|210|240|250|"
                 "280|300")
             .split('|')},
        {"emulation delays through ParseNumber",
         {"[Ritardo attivazione Emulaz s]", "1,5|x"},
         "CmbRitardo",
         {"1,5", "0"}},
        {"filter", {}, "CmbFiltro", QString("Off|1|2|3|4|5|6|7|8|9|10|11|12|13|14|15").split('|')},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Items(Build(c.lines), c.combo), c.expected) << c.what;
    }
}

TEST(ConfigLists, TablesGiveTheTypeLists) {
    ecudata::RecordTables tables;
    tables.TblInjType.resize(3);
    tables.TblInjType[0].Name = "Standard";
    tables.TblInjType[1].Name = "  ";
    tables.TblInjType[2].Name = "Fast";
    tables.TblGasLevel.resize(2);
    tables.TblGasLevel[1].Name = "";
    tables.TblLambda = {ecudata::BuiltInLambdaRow()};
    const ConfigLists lists = Build({}, tables);

    const ComboItems& inj = *lists.Find("CmbTpyInj");
    EXPECT_EQ(inj.texts, QStringList({"Standard", "Fast", "- - -"}));
    EXPECT_EQ(inj.tableIndex, QList<int>({0, 2, -1})) << "each entry knows its row";
    EXPECT_EQ(lists.Find("CmbTpyGLS")->texts.size(), 2) << "empty level names stay";

    const QStringList builtIn{"Off", "0..0,8", "0..5 Direct", "0..5 Inverted", "0,8..1,6"};
    ASSERT_EQ(tables.TblLambda[0].Name, "NULL");
    EXPECT_EQ(Items(lists, "CmbSwtchLambda"), builtIn);
    EXPECT_EQ(Items(lists, "CmbSwtchLambdaBis"), builtIn);
    tables.TblLambda[0].Name = "None";
    EXPECT_EQ(Items(Build({}, tables), "CmbSwtchLambda"), QStringList{"None"});
}

TEST(ConfigLists, SequenceStepsAndTheirBadItems) {
    const ConfigLists lists = Build({}, {}, {"0", "250", "", "1,5", "fast"});
    EXPECT_EQ(Items(lists, "CmbSwtchSeq"), QStringList({"0", "0,25", "", "0,0015"}));
    EXPECT_EQ(lists.badSequenceItems, QStringList{"fast"});
}

TEST(ConfigLists, DelayListsFollowTheTemperature) {
    const ConfigLists lists = Build({"[SOGLIA RITARDO TEMP. DI COMM.]", "40"});
    const QString cold = lists.delays.DelayListCold, warm = lists.delays.DelayListWarm;
    EXPECT_EQ(DelayListFor(lists.delays, 30, ","), cold.split('|'));
    EXPECT_EQ(DelayListFor(lists.delays, 40, ","), cold.split('|'));
    EXPECT_EQ(DelayListFor(lists.delays, 50, ","), warm.split('|'));

    const QStringList entries = cold.split('|');
    EXPECT_EQ(entries[DelaySelection(entries, 70, ",")], "70");
    EXPECT_EQ(entries[DelaySelection(entries, 62, ",")], "65");
    EXPECT_EQ(entries[DelaySelection(entries, 125, ",")], "120") << "none: the last";
    EXPECT_EQ(DelaySelection({}, 10, ","), -1);
}

TEST(ConfigLists, SelectionRules) {
    const QStringList temps{"20", "25", "30", "35", "40", "45"};
    EXPECT_EQ(FirstNotBelow(temps, 37, ","), 4);
    EXPECT_EQ(FirstNotBelow(temps, 46, ","), -1) << "above every entry: no change";
    EXPECT_EQ(FirstNotBelow({"x", "", "3"}, 1, ","), 2) << "no numbers are passed over";

    const QStringList steps{"", "0,2", "0,25", "0,3"};
    EXPECT_EQ(SequenceSelection(steps, 250, ","), 2);
    EXPECT_EQ(SequenceSelection(steps, 300, ","), 3);
    EXPECT_EQ(SequenceSelection(steps, 260, ","), -1);
    EXPECT_EQ(SequenceSelection(steps, 0, ","), -1) << "the empty entry is no 0";
}

TEST(ConfigLists, ChangeOverRpmPeriod) {
    EXPECT_EQ(SwitchRpmPeriod(0, 15000000), -1.0);
    EXPECT_EQ(SwitchRpmPeriod(200, 15000000), -1.0) << "75000 does not fit";
    EXPECT_EQ(SwitchRpmPeriod(400, 15000000), 37500);
    EXPECT_EQ(SwitchRpmPeriod(2000, 7500000), 3750);
    EXPECT_EQ(SwitchRpmPeriod(1600, 15000000), 9375);
}

TEST(ConfigLists, EveryListHasAComboOfThePageDesign) {
    QStringList designed{"CmbSwtchLambda"}; // the window's, under the Lambda page
    for (const ui::ControlDesc& desc : ConfigPageDesign()) {
        if (desc.kind == ui::ControlKind::Combo) {
            designed << ui::DescName(desc, 0);
        }
    }
    for (const auto& [combo, items] : Build({}).combos) {
        EXPECT_TRUE(designed.contains(combo)) << combo.toStdString() << " is filled, not designed";
    }
}
