#include "ecudata/ConfigScale.h"
#include "common/BuildTools.h"
#include "common/MsgBoxCapture.h"
#include "common/TempTree.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace ecudata;
using testing_support::MsgBoxCapture;
using testing_support::TempTree;

namespace {

const QStringList OneEmptyItem{QString()};

// A tree holding the shipped configuration file, plain or scrambled.
void StageShippedFile(const TempTree& tree, bool scrambled) {
    const QString plain = testing_support::SourceDataPath("LNG/ConfigScale.ini");
    if (scrambled) {
        testing_support::RunBuildTool("lx735-scramble", {plain, tree.Path("LNG/ConfigScale.ini")});
    } else {
        tree.Write("LNG/ConfigScale.ini", testing_support::ReadFixture(plain));
    }
}

ConfigScale Applied(const QStringList& lines, const QString& decimalSep = ",") {
    ConfigScale scale;
    ApplyConfigScale(scale, lines, decimalSep);
    return scale;
}

} // namespace

TEST(LoadConfigScale, WithoutTheFileEveryValueIsBuiltIn) {
    TempTree tree;
    MsgBoxCapture boxes;
    ConfigScale scale;
    scale.K_Temp_c = 7;
    scale.SoloUSB = true;
    scale.MapBandLow = {1, 2};
    // The file ships with the program: without it the built-in values stand in, told.
    EXPECT_FALSE(LoadConfigScale(scale, tree.Root(), ","));

    EXPECT_DOUBLE_EQ(scale.K_Time_Inj_us, 0.008);
    EXPECT_DOUBLE_EQ(scale.K_Time_Pwm_us, 1.0);
    EXPECT_DOUBLE_EQ(scale.K_Temp_c, 1.0);
    EXPECT_DOUBLE_EQ(scale.K_Timer_Gen_us, 0.025);
    EXPECT_DOUBLE_EQ(scale.K_Supply_V, 0.0328125);
    EXPECT_DOUBLE_EQ(scale.K_VLevel_Sens_uV, 0.0);
    EXPECT_EQ(scale.RpmClock, 7500000);
    EXPECT_EQ(scale.MapBandLow, QList<qint32>{2200});
    EXPECT_EQ(scale.MapBandHigh, QList<qint32>{2700});
    EXPECT_FALSE(scale.SoloUSB);
    EXPECT_EQ(scale.SensTemp, OneEmptyItem);
    EXPECT_EQ(scale.SogliaTinjMaxPower, OneEmptyItem);
    EXPECT_TRUE(scale.PassWord00.isEmpty());
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST(LoadConfigScale, ShippedFileGivesItsScalesAndReadsTheSameScrambled) {
    TempTree plainTree;
    TempTree scrambledTree;
    StageShippedFile(plainTree, false);
    StageShippedFile(scrambledTree, true);
    MsgBoxCapture boxes;
    ConfigScale plain;
    ConfigScale scrambled;
    EXPECT_TRUE(LoadConfigScale(plain, plainTree.Root(), ","));
    EXPECT_TRUE(LoadConfigScale(scrambled, scrambledTree.Root(), ","));

    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(plain, scrambled);
    EXPECT_DOUBLE_EQ(plain.K_Time_Inj_us, 0.008);
    EXPECT_DOUBLE_EQ(plain.K_Time_Pwm_us, 0.008);
    EXPECT_DOUBLE_EQ(plain.K_Temp_c, 1.0);
    EXPECT_DOUBLE_EQ(plain.K_Map_In_mBar, 1.0);
    EXPECT_DOUBLE_EQ(plain.K_Timer_Gen_us, 0.025);
    EXPECT_DOUBLE_EQ(plain.K_VLevel_Sens_uV, 4.883);
    EXPECT_DOUBLE_EQ(plain.K_Supply_V, 0.0328125);
    EXPECT_FALSE(plain.PassWord00.isEmpty());
    EXPECT_NE(plain.PassWord00, plain.PassWord01);
    EXPECT_EQ(plain.MapBandLow, (QList<qint32>{1500, 2000, 2500, 3000}));
    EXPECT_EQ(plain.MapBandHigh, (QList<qint32>{2000, 2500, 3000, 3500}));
    EXPECT_EQ(plain.SensPress.size(), 3);
    EXPECT_EQ(plain.SequenzaComm.first(), "0");
}

// Damaged: no key at all (an empty or junk file) or any bad value line; a key the file
// leaves out is no damage, its built-in value stands.
TEST(ApplyConfigScale, VerdictsOfDamagedLines) {
    const struct {
        QStringList lines;
        bool whole;
    } cases[] = {
        {{}, false},
        {{"garbage", "\x01\x02"}, false},
        {{"[K_Temp_c]", "2"}, true},
        {{"[Sens Temp]", "NTC"}, true},
        {{"[K_Temp_c]", "abc"}, false},
        {{"[K_Temp_c]", "0"}, false},
        {{"[K_Temp_c]"}, false},
        {{"[Sens Temp]"}, false},
        {{"[SoloUSB]", "yes"}, false},
        {{"[Soglie mapping]", "2000,1500"}, false},
        {{"[Soglie mapping]", "x,1500"}, false},
        {{"[K_Temp_c]", "abc", "[K_Temp_1_c]", "2"}, false},
    };
    for (const auto& c : cases) {
        MsgBoxCapture boxes;
        ConfigScale scale;
        EXPECT_EQ(ApplyConfigScale(scale, c.lines, ","), c.whole)
            << c.lines.join('|').toStdString();
    }
}

TEST(ApplyConfigScale, NumberKeysTakeEitherDecimalMarkAndKeepTheirValueOtherwise) {
    const struct {
        QStringList lines;
        const char* decimalSep;
        double ConfigScale::*field;
        double expected;
        std::size_t boxes;
    } cases[] = {
        {{"[K_Time_Inj_us]", "8"}, ",", &ConfigScale::K_Time_Inj_us, 0.008, 0},
        {{"[K_Temp_c]", "0,5"}, ",", &ConfigScale::K_Temp_c, 0.5, 0},
        {{"[K_Temp_c]", " 2 "}, ".", &ConfigScale::K_Temp_c, 2.0, 0},
        // No number: the file's message, and the built-in value stays.
        {{"[K_Temp_c]", "letters"}, ",", &ConfigScale::K_Temp_c, 1.0, 1},
        {{"[K_Temp_c]", "0,5,1"}, ".", &ConfigScale::K_Temp_c, 1.0, 1},
        // Either decimal mark, whatever the locale's.
        {{"[K_Temp_c]", "0.5"}, ",", &ConfigScale::K_Temp_c, 0.5, 0},
        {{"[K_Temp_c]", "0,5"}, ".", &ConfigScale::K_Temp_c, 0.5, 0},
        {{"[K_Map_In_mBar]", "0"}, ",", &ConfigScale::K_Map_In_mBar, 1.0, 1},
        {{"[K_Timer_Gen_us]", "-25"}, ",", &ConfigScale::K_Timer_Gen_us, 0.025, 1},
        {{"[K_VLevel_Sens_uV]", "4883"}, ",", &ConfigScale::K_VLevel_Sens_uV, 4.883, 0},
        // The ignored supply key swallows the next line, even a key.
        {{"[K_Lambda_V]", "[K_Temp_c]", "2"}, ",", &ConfigScale::K_Temp_c, 1.0, 0},
        {{"[K_Temp_c] ", "2"}, ",", &ConfigScale::K_Temp_c, 1.0, 0},
        {{"[k_temp_c]", "2"}, ",", &ConfigScale::K_Temp_c, 1.0, 0},
        {{"[K_Temp_c]", "2", "[K_Temp_c]", "3"}, ",", &ConfigScale::K_Temp_c, 3.0, 0},
        {{"[K_Temp_c]", "2", "[K_Temp_c]"}, ",", &ConfigScale::K_Temp_c, 2.0, 1},
    };
    for (const auto& c : cases) {
        MsgBoxCapture boxes;
        const ConfigScale scale = Applied(c.lines, c.decimalSep);
        EXPECT_DOUBLE_EQ(scale.*c.field, c.expected) << c.lines.join(" / ").toStdString();
        EXPECT_EQ(boxes.boxes.size(), c.boxes) << c.lines.join(" / ").toStdString();
    }
}

TEST(ApplyConfigScale, ListsSplitAtBarsAndTheirLineIsTestedAsAKeyToo) {
    EXPECT_EQ(Applied({"[Sens Temp]", "A|B||C"}).SensTemp, (QStringList{"A", "B", "", "C"}));
    EXPECT_EQ(Applied({"[Sens Temp]", " A | B "}).SensTemp, (QStringList{" A ", " B "}));
    EXPECT_TRUE(Applied({"[Max power]", ""}).MaxPower.isEmpty());

    const ConfigScale scale = Applied({"[Max power]", "[K_Temp_c]", "2"});
    EXPECT_EQ(scale.MaxPower, QStringList{"[K_Temp_c]"});
    EXPECT_DOUBLE_EQ(scale.K_Temp_c, 2.0);
}

TEST(ApplyConfigScale, RpmBandsFollowTheirLastLineAndABadLineChangesNothing) {
    ConfigScale scale;
    ApplyConfigScale(scale, {"[Soglie mapping]", "1500,2000|2500,3000|3500,4000"}, ",");
    EXPECT_EQ(scale.MapBandLow, (QList<qint32>{1500, 2500, 3500}));
    EXPECT_EQ(scale.MapBandHigh, (QList<qint32>{2000, 3000, 4000}));

    ApplyConfigScale(scale, {"[Soglie mapping]", " 1800,2600,9999 "}, ",");
    EXPECT_EQ(scale.MapBandLow, QList<qint32>{1800});
    EXPECT_EQ(scale.MapBandHigh, QList<qint32>{2600});

    MsgBoxCapture boxes;
    for (const char* bad : {"", "1500,2000|2500", "1500,abc", "1500,2000|"}) {
        ApplyConfigScale(scale, {"[Soglie mapping]", bad}, ",");
        EXPECT_EQ(scale.MapBandLow, QList<qint32>{1800}) << bad;
        EXPECT_EQ(scale.MapBandHigh, QList<qint32>{2600}) << bad;
    }
    ASSERT_EQ(boxes.boxes.size(), 3u); // the empty line is no error
    EXPECT_TRUE(boxes.boxes[0].prompt.contains("LoadConfigScale_Err"));
    EXPECT_TRUE(boxes.boxes[0].prompt.contains("line 2"));

    // Bands the ECU cannot hold (edges in hundreds of rpm, one byte each) are left out.
    boxes.boxes.clear();
    ApplyConfigScale(scale, {"[Soglie mapping]", "0,900|2000,1500|2000,2500|25000,25600"}, ",");
    EXPECT_EQ(scale.MapBandLow, QList<qint32>{2000});
    EXPECT_EQ(scale.MapBandHigh, QList<qint32>{2500});
    EXPECT_EQ(boxes.boxes.size(), 3u);
    ApplyConfigScale(scale, {"[Soglie mapping]", "3000,2000"}, ",");
    EXPECT_EQ(scale.MapBandLow, QList<qint32>{2000});
}

TEST(ApplyConfigScale, UsbSwitchAndPasswords) {
    EXPECT_TRUE(Applied({"[SoloUSB]", " 1 "}).SoloUSB);
    EXPECT_FALSE(Applied({"[SoloUSB]", "2"}).SoloUSB);

    ConfigScale scale;
    scale.SoloUSB = true;
    MsgBoxCapture boxes;
    ApplyConfigScale(scale, {"[SoloUSB]", "yes"}, ",");
    EXPECT_TRUE(scale.SoloUSB);
    EXPECT_EQ(boxes.boxes.size(), 1u);

    const ConfigScale passwords = Applied({"[PassWord00]", " Open Sesame ", "[PassWord01]", ""});
    EXPECT_EQ(passwords.PassWord00, " Open Sesame ");
    EXPECT_EQ(passwords.PassWord01, "");
}

// The file reads the same on every machine: "0,5" and "0.5" under the C, English and
// Italian locales.
TEST(LoadConfigScale, DecimalsReadTheSameUnderEveryLocale) {
    for (const char* name : {"C", "en_US", "it_IT"}) {
        const QLocale previous;
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        for (const char* value : {"0,5", "0.5"}) {
            TempTree tree;
            MsgBoxCapture boxes;
            tree.Write("LNG/ConfigScale.ini", QByteArray("[K_Temp_c]\r\n") + value + "\r\n");
            ConfigScale scale;
            LoadConfigScale(scale, tree.Root(), QString(QLocale().decimalPoint()));
            EXPECT_DOUBLE_EQ(scale.K_Temp_c, 0.5) << name << " " << value;
            EXPECT_TRUE(boxes.boxes.empty()) << name << " " << value;
        }
        QLocale::setDefault(previous);
    }
}
