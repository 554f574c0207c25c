#include "ecudata/CalibrationParams.h"
#include "common/BuildTools.h"
#include "common/MsgBoxCapture.h"
#include "common/TempTree.h"

#include <gtest/gtest.h>

using namespace ecudata;
using testing_support::MsgBoxCapture;
using testing_support::TempTree;

namespace {

// The block with the values given (an empty one: the file form of the built-in value).
QStringList Block(const QStringList& firstValues, int rows = 33) {
    static const QStringList builtIn = {"50",   "40", "8",  "30",  "8",  "10", "10",  "2",  "6",
                                        "2200", "10", "20", "75",  "4",  "10", "40",  "10", "6",
                                        "2",    "3",  "75", "8",   "2",  "5",  "100", "50", "8",
                                        "10",   "6",  "3",  "125", "75", "0"};
    QStringList lines{"[PARAMETRI DI TARATURA]"};
    for (int k = 0; k < rows; ++k) {
        const QString value = firstValues.value(k);
        lines << QString("label %1").arg(k + 1) << (value.isEmpty() ? builtIn[k] : value);
    }
    return lines;
}

CalibrationParams Applied(const QStringList& lines) {
    CalibrationParams params;
    ApplyParamTaratura(params, lines);
    return params;
}

} // namespace

TEST(LoadParamTaratura, WithoutTheFileOrTheBlockEveryValueIsBuiltIn) {
    TempTree tree;
    CalibrationParams params;
    params.TaraPar01 = 99;
    LoadParamTaratura(params, tree.Root());
    EXPECT_EQ(params, CalibrationParams{});

    tree.Write("LNG/ConfigScale.ini", "[K_Temp_c]\r\n1\r\n");
    params.TaraPar33 = 4;
    LoadParamTaratura(params, tree.Root());
    EXPECT_EQ(params, CalibrationParams{});
}

TEST(LoadParamTaratura, ShippedFileHoldsTheBuiltInValuesInFileForm) {
    TempTree tree;
    tree.Write("LNG/ConfigScale.ini", testing_support::ReadFixture(
                                          testing_support::SourceDataPath("LNG/ConfigScale.ini")));
    CalibrationParams params;
    LoadParamTaratura(params, tree.Root());
    EXPECT_EQ(params, CalibrationParams{});
}

TEST(ApplyParamTaratura, ValuesArePositionalRoundedOrDividedAsPercent) {
    MsgBoxCapture boxes;
    const CalibrationParams p = Applied(Block(
        {"45", "7,5", "6,5", "-3", "x", "", "",    "", "", "2300.5", "15", "", "", "", "", "", "",
         "",   "",    "",    "",   "",  "", "6,5", "", "", "",       "",   "", "", "", "", "2"}));
    EXPECT_EQ(p.TaraPar01, 45);
    EXPECT_EQ(p.TaraPar02, 8); // half to even
    EXPECT_EQ(p.TaraPar03, 6);
    EXPECT_EQ(p.TaraPar04, -3);
    EXPECT_EQ(p.TaraPar05, 8); // no number: reported, the built-in value stays
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(p.TaraPar06, 10);
    EXPECT_DOUBLE_EQ(p.TaraPar10, 2300.5);
    EXPECT_DOUBLE_EQ(p.TaraPar11, 0.15);
    EXPECT_DOUBLE_EQ(p.TaraPar24, 6.5); // the offset maximum is no percent
    EXPECT_DOUBLE_EQ(p.TaraPar33, 0.02);
}

TEST(ApplyParamTaratura, LabelsAreNeverReadAndAShortBlockKeepsTheRest) {
    QStringList lines = Block({"45", "41"}, 3);
    lines[1] = "[PARAMETRI DI TARATURA]";
    const CalibrationParams p = Applied(QStringList{"[K_Temp_c]", "1"} + lines);
    EXPECT_EQ(p.TaraPar01, 45);
    EXPECT_EQ(p.TaraPar02, 41);
    EXPECT_EQ(p.TaraPar03, 8);
    EXPECT_EQ(p.TaraPar04, 30);
    EXPECT_DOUBLE_EQ(p.TaraPar31, 1.25);

    // A label line alone at the end: its value is missing.
    lines = Block({"45"}, 2);
    lines.removeLast();
    EXPECT_EQ(Applied(lines).TaraPar02, 40);
}

TEST(ApplyParamTaratura, AWholeNumberBeyondSixteenBitsIsReportedAndKept) {
    MsgBoxCapture boxes;
    const CalibrationParams p = Applied(Block({"40000"}));
    EXPECT_EQ(p.TaraPar01, 50);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].prompt.contains("LoadParamTaratura_Err"));
}
