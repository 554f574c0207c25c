#include "ecudata/RecordTables.h"
#include "common/BuildTools.h"
#include "common/MsgBoxCapture.h"
#include "common/TempTree.h"

#include <gtest/gtest.h>

using namespace ecudata;
using testing_support::MsgBoxCapture;
using testing_support::TempTree;

namespace {

const QString Off = QStringLiteral("- OFF -");

struct Loaded {
    RecordTables tables;
    std::vector<MsgBoxCapture::Box> boxes;
};

// The three loaders in the main window's order, on the file given (none: no file).
Loaded LoadAll(const QByteArray& file, const QString& decimalSep = ",",
               double K_Time_Pwm_us = 0.008) {
    TempTree tree;
    if (!file.isNull()) {
        tree.Write("LNG/ConfigScale.ini", file);
    }
    MsgBoxCapture capture;
    Loaded loaded;
    LoadGasLevelTbl(loaded.tables, tree.Root(), decimalSep);
    LoadInjTypeTbl(loaded.tables, tree.Root(), decimalSep, K_Time_Pwm_us);
    LoadLambdaTbl(loaded.tables, tree.Root(), decimalSep, Off);
    loaded.boxes = capture.boxes;
    return loaded;
}

QByteArray File(const QStringList& lines) {
    return (lines.join("\r\n") + "\r\n").toLatin1();
}

} // namespace

TEST(RecordTables, WithoutTheFileOnlyTheBuiltInRowsStand) {
    const Loaded loaded = LoadAll(QByteArray());
    ASSERT_EQ(loaded.tables.TblGasLevel.size(), 1u);
    EXPECT_EQ(loaded.tables.TblGasLevel[0].Thresholds,
              (std::array<qint16, 6>{0, 204, 409, 618, 823, 1023}));
    EXPECT_TRUE(loaded.tables.TblInjType.empty());
    EXPECT_EQ(FindInjType(loaded.tables, 9), 0);
    ASSERT_EQ(loaded.tables.TblLambda.size(), 1u);
    EXPECT_EQ(loaded.tables.TblLambda[0],
              (LambdaRec{"NULL", 0, 0, 5000, 5010, 130, 720, 130, 2488}));
    EXPECT_EQ(FindLambda(loaded.tables, 3), -1);
    EXPECT_TRUE(loaded.boxes.empty());
}

TEST(RecordTables, ShippedFileGivesEveryRowWithoutAnError) {
    const Loaded loaded = LoadAll(
        testing_support::ReadFixture(testing_support::SourceDataPath("LNG/ConfigScale.ini")));
    EXPECT_TRUE(loaded.boxes.empty());
    const RecordTables& t = loaded.tables;

    ASSERT_EQ(t.TblGasLevel.size(), 4u);
    EXPECT_EQ(t.TblGasLevel[1].Mode, 1);
    EXPECT_EQ(t.TblGasLevel[3].Thresholds[5], 1023);
    EXPECT_DOUBLE_EQ(t.TblGasLevel[0].Scale, 100);

    ASSERT_EQ(t.TblInjType.size(), 4u);
    EXPECT_EQ(t.TblInjType[3].Id, 5);
    EXPECT_EQ(FindInjType(t, 5), 3);
    const InjTypeRec& standard = t.TblInjType[0];
    // Lines 2 to 4 of a block are Timing1, Timing3, Timing2.
    EXPECT_DOUBLE_EQ(standard.Timing1, 375 * 0.008);
    EXPECT_DOUBLE_EQ(standard.Timing3, 28 * 0.008);
    EXPECT_DOUBLE_EQ(standard.Timing2, 24 * 0.008);
    EXPECT_DOUBLE_EQ(standard.CalLimit1, 2.5);
    EXPECT_FALSE(standard.RuleLpg.isEmpty());

    ASSERT_EQ(t.TblLambda.size(), 6u);
    EXPECT_EQ(t.TblLambda[0].Name, Off);
    EXPECT_EQ(t.TblLambda[0].Param7, 2488);
    for (int id = 0; id < 6; ++id) {
        EXPECT_EQ(FindLambda(t, static_cast<qint16>(id)), id);
    }
}

TEST(RecordTables, RowsFollowTheKeyNumberOrTheBlockOrder) {
    const QStringList level = {"Name", "1", "Text", "0", "1", "2", "3", "4", "5", "1", "0"};
    const QStringList inj = {"Inj", "375", "28", "24", "2", "18", "", ""};
    const Loaded loaded =
        LoadAll(File(QStringList{"[GasLevel_03]"} + level + QStringList{"[GasLevel_01]"} + level +
                     QStringList{"[InjType_12]"} + inj + QStringList{"[InjType_05]"} + inj));
    // The later, lower key cuts the table.
    EXPECT_EQ(loaded.tables.TblGasLevel.size(), 2u);
    EXPECT_EQ(loaded.tables.TblGasLevel[1].Name, "Name");
    // Row 0 keeps the built-in row the program starts with.
    EXPECT_EQ(loaded.tables.TblGasLevel[0], BuiltInGasLevelRow());
    EXPECT_EQ(FindGasLevel(loaded.tables, 1), 1);

    ASSERT_EQ(loaded.tables.TblInjType.size(), 2u);
    EXPECT_EQ(loaded.tables.TblInjType[0].Id, 12);
    EXPECT_EQ(FindInjType(loaded.tables, 5), 1);
    EXPECT_EQ(FindInjType(loaded.tables, 6), 0);
}

TEST(RecordTables, DuplicateCodesFindTheLowerRow) {
    RecordTables tables;
    tables.TblGasLevel.resize(3);
    tables.TblGasLevel[1].Id = 4;
    tables.TblGasLevel[2].Id = 4;
    EXPECT_EQ(FindGasLevel(tables, 4), 1);
    tables.TblGasLevel.clear();
    EXPECT_EQ(FindGasLevel(tables, 0), -1);
}

TEST(RecordTables, BadLinesAreReportedAndKeepTheFieldWhileTheRestIsRead) {
    const Loaded loaded =
        LoadAll(testing_support::ReadFixture(LX735_FIXTURES "/config/BadRows.ini"));
    const GasLevelRec& level = loaded.tables.TblGasLevel.at(1);
    EXPECT_EQ(level.Name, "Again");
    EXPECT_EQ(level.Id, 7);                          // 40000: overflow
    EXPECT_EQ(level.Thresholds[0], 100);             // "abc"
    EXPECT_EQ(level.Thresholds[1], 201);             // the following lines read as usual
    EXPECT_DOUBLE_EQ(level.Scale, 2.5);              // "x"
    EXPECT_EQ(level.Mode, 1);                        // 300: beyond a byte
    EXPECT_EQ(loaded.tables.TblGasLevel.size(), 2u); // "[GasLevel_x1]" passed over

    const InjTypeRec& inj = loaded.tables.TblInjType.at(0);
    EXPECT_DOUBLE_EQ(inj.Timing1, 3.0);
    EXPECT_DOUBLE_EQ(inj.Timing3, 0.0);
    EXPECT_DOUBLE_EQ(inj.Timing2, 0.192);

    const LambdaRec& cut = loaded.tables.TblLambda.at(2);
    EXPECT_EQ(cut.Id, 2);
    EXPECT_EQ(cut.Param2, 5000);
    EXPECT_EQ(cut.Param3, 0);

    struct Expected {
        const char* tag;
        const char* context;
        const char* error;
    };
    const Expected expected[] = {
        {"IniziaLevelGasType_Err", "Config level sensor error", "6 - Overflow (line 16"},
        {"IniziaLevelGasType_Err", "Config level sensor error", "13 - Type mismatch (line 18"},
        {"IniziaLevelGasType_Err", "Config level sensor error", "13 - Type mismatch (line 24"},
        {"IniziaLevelGasType_Err", "Config level sensor error", "6 - Overflow (line 25"},
        {"IniziaLevelGasType_Err", "Config level sensor error", "13 - Type mismatch (line 26"},
        {"IniziaTipoInj_Err", "Config level sensor error", "13 - Type mismatch (line 31"},
        // The empty line that ends the file, then the block cut short, once, at its key.
        {"IniziaTipoLambda_Err", "Config lambda sensor error", "13 - Type mismatch (line 42"},
        {"IniziaTipoLambda_Err", "Config lambda sensor error",
         "62 - Input past end of file (line 37"},
    };
    ASSERT_EQ(loaded.boxes.size(), std::size(expected));
    for (std::size_t k = 0; k < std::size(expected); ++k) {
        const QString& prompt = loaded.boxes[k].prompt;
        EXPECT_TRUE(prompt.startsWith(QString(expected[k].context) + "Error" + expected[k].tag))
            << prompt.toStdString();
        EXPECT_TRUE(prompt.contains(expected[k].error)) << prompt.toStdString();
    }
}

TEST(RecordTables, NumbersTakeEitherDecimalMarkAndRoundHalfToEven) {
    const QStringList block = {"[GasLevel_00]", "N", "2,5", "T", "3,5", "1", "2", "3", "4", "5",
                               "1,25",          "0"};
    const Loaded comma = LoadAll(File(block), ",");
    EXPECT_EQ(comma.tables.TblGasLevel[0].Id, 2);
    EXPECT_EQ(comma.tables.TblGasLevel[0].Thresholds[0], 4);
    EXPECT_DOUBLE_EQ(comma.tables.TblGasLevel[0].Scale, 1.25);
    EXPECT_TRUE(comma.boxes.empty());

    const Loaded point = LoadAll(File(block), ".");
    EXPECT_EQ(point.tables.TblGasLevel, comma.tables.TblGasLevel);
    EXPECT_TRUE(point.boxes.empty());
}

TEST(RecordTables, LambdaRowZeroTakesTheLanguagesTextAtEveryReload) {
    TempTree tree;
    tree.Write("LNG/ConfigScale.ini",
               File({"[Lambda_00]", "Off in the file", "0", "1", "2", "3", "4", "5", "6", "7"}));
    RecordTables tables;
    LoadLambdaTbl(tables, tree.Root(), ",", "OFF");
    EXPECT_EQ(tables.TblLambda[0], (LambdaRec{"OFF", 0, 1, 2, 3, 4, 5, 6, 7}));
    LoadLambdaTbl(tables, tree.Root(), ",", "AUS");
    EXPECT_EQ(tables.TblLambda[0].Name, "AUS");
    ASSERT_EQ(tables.TblLambda.size(), 1u);
}
