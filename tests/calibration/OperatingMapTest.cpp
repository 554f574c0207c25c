// The operating map's arithmetic: pairing, the automatic Y range, bands and beeps, point
// positions, and the .map file and point list.

#include "calibration/OperatingMap.h"

#include "common/FileFaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace calibration;

namespace {

MapSamples Petrol(std::initializer_list<std::pair<double, double>> points) {
    MapSamples s;
    int i = 0;
    for (const auto& [mbar, ms] : points) {
        s.VacmBnz[i] = mbar;
        s.TinjBnz[i++] = ms;
    }
    return s;
}

void AddGas(MapSamples& s, std::initializer_list<std::pair<double, double>> points) {
    int i = 0;
    for (const auto& [mbar, ms] : points) {
        s.VacmGas[i] = mbar;
        s.TinjGas[i++] = ms;
    }
}

} // namespace

TEST(OperatingMap, PressureStepsRoundHalfToEven) {
    EXPECT_EQ(PressureStep(30), 2);
    EXPECT_EQ(PressureStep(50), 2);
    EXPECT_EQ(PressureStep(70), 4);
    EXPECT_EQ(PressureStep(510), 26);
    EXPECT_EQ(PressureStep(530), 26);
}

TEST(OperatingMap, PetrolSamplesOfOneStepMergeAndPairWithGas) {
    MapSamples s = Petrol({{510, 4.0}, {530, 5.0}, {800, 6.0}});
    AddGas(s, {{515, 4.4}});
    const MapSamples before = s;
    MapSamples sel;
    EXPECT_EQ(MatchMapPoints(s, sel), 1);
    EXPECT_DOUBLE_EQ(sel.VacmBnz[0], 520);
    EXPECT_DOUBLE_EQ(sel.TinjBnz[0], 4.5);
    EXPECT_EQ(sel.VacmBnz[1], 0);
    EXPECT_EQ(sel.TinjBnz[1], 0);
    EXPECT_EQ(sel.VacmBnz[2], 800);
    EXPECT_EQ(sel.VacmGas, s.VacmGas);
    EXPECT_EQ(s.VacmBnz, before.VacmBnz); // the samples themselves stay
    EXPECT_EQ(s.TinjBnz, before.TinjBnz);
}

TEST(OperatingMap, MergeComparesWithThePressureBeforeAveraging) {
    // 30 and 50 share step 2; their mean 40 would too, but 70 (step 4) must stay apart.
    MapSamples s = Petrol({{30, 2.0}, {50, 2.0}, {70, 3.0}});
    AddGas(s, {{70, 3.2}, {40, 2.2}});
    MapSamples sel;
    EXPECT_EQ(MatchMapPoints(s, sel), 2);
    EXPECT_DOUBLE_EQ(sel.VacmBnz[0], 40);
    EXPECT_EQ(sel.VacmBnz[1], 0);
    EXPECT_EQ(sel.VacmBnz[2], 70);
}

TEST(OperatingMap, NoSamplesNoPairs) {
    MapSamples sel;
    EXPECT_EQ(MatchMapPoints(MapSamples{}, sel), 0);
}

TEST(OperatingMap, AutoScaleKeepsHeadRoomAndNeverShrinksBelowEight) {
    struct Case {
        double maxY;
        double largest;
        double expected;
    } cases[] = {{8, 9.3, 10},   {10, 8.5, 10},  {10, 6.9, 10}, {12, 6.9, 8},
                 {10, 12.0, 12}, {10, 12.1, 14}, {8, 3.0, 8}};
    for (const Case& c : cases) {
        MapSamples s;
        s.TinjGas[60] = c.largest; // slot 60 counts in the scale
        double maxY = c.maxY;
        EXPECT_EQ(AutoScaleMapY(s, maxY), c.expected != c.maxY) << c.maxY << " " << c.largest;
        EXPECT_EQ(maxY, c.expected) << c.maxY << " " << c.largest;
    }
}

TEST(OperatingMap, AutoScaleWithNoSamplesKeepsTheRange) {
    for (double maxY : {8.0, 10.0, 14.0}) {
        double y = maxY;
        EXPECT_FALSE(AutoScaleMapY(MapSamples{}, y));
        EXPECT_EQ(y, maxY);
    }
}

TEST(OperatingMap, BandComboItemsAndTheEcuBandsSelection) {
    const QList<qint32> low{1500, 2000, 2500};
    const QList<qint32> high{2000, 2500, 3000};
    EXPECT_EQ(BandItems(low, high), (QStringList{"1500 - 2000", "2000 - 2500", "2500 - 3000"}));
    EXPECT_EQ(SelectBand(low, 2200, 3), 1); // the last band starting at or below
    EXPECT_EQ(SelectBand(low, 2500, 3), 2);
    EXPECT_EQ(SelectBand(low, 900, 3), 0);  // below every band
    EXPECT_EQ(SelectBand(low, 2600, 2), 0); // no such item
}

TEST(OperatingMap, BeepPitchAndLengthFollowTheRpmInTheBand) {
    struct Case {
        double rpm;
        Tone tone;
    } cases[] = {{2050, {500, 52}},
                 {2500, {600, 40}},
                 {2950, {700, 28}},
                 {2100, {600, 40}},
                 {2099, {500, 52}}};
    for (const Case& c : cases) {
        EXPECT_EQ(BandBeepTone(c.rpm, 2000, 3000), c.tone) << c.rpm;
    }
    // A narrow band: near both edges the upper one wins.
    EXPECT_EQ(BandBeepTone(2050, 2000, 2100), (Tone{700, 28}));
    EXPECT_EQ(ShownRpm(" 2500 "), 2500);
    EXPECT_FALSE(ShownRpm("- - -"));
}

TEST(OperatingMap, BeepsComeAtMostEveryTwoHundredMilliseconds) {
    BeepPacer pacer;
    ASSERT_TRUE(pacer.Due(1));
    pacer.Sounded(1000000);
    EXPECT_FALSE(pacer.Due(1100000));
    EXPECT_FALSE(pacer.Due(1200000));
    EXPECT_TRUE(pacer.Due(1200001));
}

TEST(OperatingMap, PointsAreClampedToTheChart) {
    MapGeometry map;
    map.OrgY = 5595;
    map.ScaleX = 8175;
    map.ScaleY = 662;
    map.MaxY = 8;
    const Twips far = SampleLabelPos(map, 1500, 40, 45, 45);
    EXPECT_DOUBLE_EQ(far.left, 375 + 8175 - 45);
    EXPECT_DOUBLE_EQ(far.top, 5595 - 662 * 8 - 45);
    const Twips zero = SampleLabelPos(map, 0, 0, 45, 45);
    EXPECT_DOUBLE_EQ(zero.left, 330);
    EXPECT_DOUBLE_EQ(zero.top, 5550);
    const Twips live = LivePointPos(map, 1200, 9.5, 90, 90);
    EXPECT_DOUBLE_EQ(live.left, 375 + 8175 - 90);
    EXPECT_DOUBLE_EQ(live.top, 5595 - 662 * 8 - 90);
    const Twips inside = LivePointPos(map, 400, 3, 90, 90);
    EXPECT_DOUBLE_EQ(inside.left, 375 + 0.4 * 8175 - 90);
    EXPECT_DOUBLE_EQ(inside.top, 5595 - 662 * 3 - 90);
}

// One point for every petrol sample and gas partner of its pressure step, up by the
// correction of the petrol time's cell.
TEST(OperatingMap, MatchedPairsTakeTheCorrectionOfThePetrolTimesCell) {
    EXPECT_EQ(CorrectionCell(3.0), 23);   // 23.4375
    EXPECT_EQ(CorrectionCell(0.064), 0);  // 0.5 to the even
    EXPECT_EQ(CorrectionCell(23.5), 157); // beyond the correction cells
    EXPECT_EQ(CorrectionCell(40.0), 157); // beyond the table
    MapSamples s = Petrol({{400, 3.0}, {800, 30.0}, {600, 4.0}});
    AddGas(s, {{400, 3.25}, {410, 3.5}, {800, 29.0}, {800, 31.0}, {1000, 5.0}});
    ecudata::TblCor table{};
    table[23] = 0.5;
    table[157] = 4;
    EXPECT_EQ(MatchedPoints(s, table),
              (std::vector<ChartPoint>{{3.0, 3.75}, {3.0, 4.0}, {30.0, 33.0}, {30.0, 31.0}}));
}

// A matched point's centre stands where the chart it is drawn on has its grid, for every
// size the chart is laid out to; a value beyond an axis stands at its end.
TEST(OperatingMap, MatchedPointsStandOnTheChartAsLaidOut) {
    const struct {
        ChartPoint at;
        const char* vertical; // the grid line its centre is on
        const char* horizontal;
    } cases[] = {
        {{2, 4}, "LneXMod(1)", "LneYMod(2)"},
        {{20, 31}, "LneXMod(10)", "LneYMod(16)"}, // the right and top borders
        {{25, 33}, "LneXMod(10)", "LneYMod(16)"}, // beyond both axes
        {{0, -1.5}, "LneXMod(0)", "LneYMod(0)"},  // a correction below the X axis
        {{30, 12}, "LneXMod(10)", "LneYMod(6)"},
    };
    for (const QSize frame : {QSize(9000, 6000), QSize(6600, 4500), QSize(14000, 9000)}) {
        const ModGeometry mod = InizVarMod(frame.width(), frame.height());
        const ChartFrame grid = DrawGridMod(mod);
        const auto line = [&](const char* name) {
            const auto found = std::find_if(grid.lines.begin(), grid.lines.end(),
                                            [&](const GridLine& l) { return l.name == name; });
            return found == grid.lines.end() ? GridLine{} : *found;
        };
        for (const auto& c : cases) {
            const Twips at = MatchedPointPos(mod, c.at, 60, 45);
            EXPECT_DOUBLE_EQ(at.left + 60, line(c.vertical).x1) << frame.width() << " " << c.at.x;
            EXPECT_DOUBLE_EQ(at.top + 45, line(c.horizontal).y1) << frame.width() << " " << c.at.y;
        }
    }
}

TEST(OperatingMap, MapSampleCells) {
    const Twips c = MapSampleCellPos(100, 2.0, 6300);
    EXPECT_DOUBLE_EQ(c.left, 0.128 * 100 * 330 + 150);
    EXPECT_DOUBLE_EQ(c.top, 6300 - 240 - 1500);
    EXPECT_DOUBLE_EQ(MapSampleLineX2, 8175.6);
}

TEST(OperatingMap, MapFileRoundTripsInBothSeparators) {
    QTemporaryDir dir;
    for (const char* sepText : {",", "."}) {
        const QString sep = QString::fromLatin1(sepText);
        MapSamples s = Petrol({{400, 3.0}, {613, 5.13}});
        AddGas(s, {{400, 3.2}});
        s.TinjGas[60] = 9; // never written
        const QByteArray text = MapFileText(s, sep);
        EXPECT_EQ(text.count('\n'), 240);
        EXPECT_TRUE(text.startsWith(" 400 \r\n 3 \r\n 400 \r\n 3" + sep.toLatin1() + "2 \r\n"))
            << text.left(40).toStdString();
        const QString path = dir.filePath("m" + sep + ".map");
        QString error;
        ASSERT_TRUE(SaveMapFile(path, s, sep, &error)) << error.toStdString();

        MapSamples back;
        back.TinjGas[60] = 1;
        ASSERT_TRUE(LoadMapFile(path, back, sep));
        EXPECT_DOUBLE_EQ(back.VacmBnz[1], 620); // to 20 mbar
        EXPECT_DOUBLE_EQ(back.TinjBnz[1], 5.2); // to 0.2 ms
        EXPECT_DOUBLE_EQ(back.TinjGas[0], 3.2);
        EXPECT_EQ(back.TinjGas[60], 1); // slot 60 not read
    }
}

TEST(OperatingMap, AShortMapFileReadsZerosForWhatItLacks) {
    MapSamples s;
    s.TinjBnz[5] = 7;
    // ",6" reads 0.6, an empty line 0, the limits the ECU's samples keep; the missing
    // rest 0.
    ASSERT_TRUE(ParseMapFile(" 400 \r\n,6\r\n\r\n 3,2 \r\n 6000 \r\n 50 \r\n-0\r\n", s, ","));
    EXPECT_EQ(s.VacmBnz[0], 400);
    EXPECT_DOUBLE_EQ(s.TinjBnz[0], 0.6);
    EXPECT_EQ(s.VacmGas[0], 0);
    EXPECT_DOUBLE_EQ(s.TinjGas[0], 3.2);
    EXPECT_EQ(s.VacmBnz[1], 6000);
    EXPECT_DOUBLE_EQ(s.TinjBnz[1], 50);
    EXPECT_FALSE(std::signbit(s.VacmGas[1]));
    EXPECT_EQ(s.TinjGas[1], 0); // not the last line again
    EXPECT_EQ(s.TinjBnz[5], 0);
    QString why;
    EXPECT_FALSE(LoadMapFile("/nonexistent/x.map", s, ",", &why));
    EXPECT_TRUE(why.startsWith("the file cannot be read: ")) << why.toStdString();
}

// A line that holds anything but a number, or a value no sample of the ECU can hold,
// makes the file damaged: nothing of it is taken.
TEST(OperatingMap, ADamagedMapFileLeavesTheSamplesAndSaysWhichLine) {
    const QString noNumber = QStringLiteral("holds no number");
    const struct {
        QByteArray text;
        int line;
        QString what;
    } cases[] = {
        {" 400 \r\n 3 \r\nnan\r\n", 3, noNumber},
        {" 400 \r\n inf \r\n", 2, noNumber},
        {" 400 \r\n 3,2 x \r\n", 2, noNumber},
        {" 1e3 \r\n", 1, noNumber},
        {QByteArray::fromHex("7f454c4602010100000000"), 1, noNumber},
        {QByteArray(" 20 \r\n").repeated(239) + "junk\r\n", 240, noNumber},
        {" 400 \r\n 3 \r\n 500 \r\n-4 \r\n", 4, "holds -4, outside 0 to 50 ms"},
        {"-400 \r\n", 1, "holds -400, outside 0 to 6000 mbar"},
        {" 400 \r\n-0,05\r\n", 2, "holds -0,05, outside 0 to 50 ms"},
        {" 400 \r\n 50,2 \r\n", 2, "holds 50,2, outside 0 to 50 ms"},
        {" 400 \r\n 3 \r\n 6020 \r\n", 3, "holds 6020, outside 0 to 6000 mbar"},
    };
    for (const auto& c : cases) {
        MapSamples s = Petrol({{400, 3.0}});
        const MapSamples before = s;
        QString why;
        EXPECT_FALSE(ParseMapFile(c.text, s, ",", &why)) << c.line;
        EXPECT_EQ(why, QString("the file is damaged: line %1 %2").arg(c.line).arg(c.what));
        EXPECT_EQ(s.VacmBnz, before.VacmBnz) << c.line;
        EXPECT_EQ(s.TinjBnz, before.TinjBnz) << c.line;
        EXPECT_EQ(s.VacmGas, before.VacmGas) << c.line;
        EXPECT_EQ(s.TinjGas, before.TinjGas) << c.line;
    }
}

TEST(OperatingMap, AFailedSaveKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.map");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    // No folder, or a file in the folder's place.
    for (const QString& unwritable : {dir.filePath("none/x.map"), path + "/x.map"}) {
        QString error;
        EXPECT_FALSE(SaveMapFile(unwritable, MapSamples{}, ",", &error))
            << unwritable.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }

    // The new file cannot be made; or the disk fills while it is written (a buffered
    // write that fails only at the flush).
    const std::function<std::shared_ptr<void>()> faults[] = {
        [] { return std::make_shared<testing_support::NoFileOpens>(); },
        [] { return std::make_shared<testing_support::FileSizeLimit>(16); },
    };
    for (const auto& fault : faults) {
        QString error;
        bool saved = true;
        {
            const std::shared_ptr<void> scope = fault();
            saved = SaveMapFile(path, MapSamples{}, ",", &error);
        }
        EXPECT_FALSE(saved);
        EXPECT_FALSE(error.isEmpty());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), "old");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.map"})
            << "no half-written file is left beside it";
    }
}

TEST(OperatingMap, PointListQuotesEveryLine) {
    MapSamples s = Petrol({{400, 3.5}});
    MapSamples sel = s;
    sel.VacmGas[0] = 420;
    const QList<QByteArray> lines = MapListText(s, sel, ",").split('\n');
    ASSERT_EQ(lines.size(), 2 * 62 + 1 + 1);
    EXPECT_EQ(lines[0], "\"Punti Mappati\"\r");
    EXPECT_EQ(lines[1], "\"X_VacmBnz | Y_TinjBnz | X_VacmGas(i) | Y_TinjGas(i)\"\r");
    EXPECT_EQ(lines[2], "\"400 | 3,5 | 0 | 0\"\r");
    EXPECT_EQ(lines[62], "\"\"\r");
    EXPECT_EQ(lines[63], "\"Punti Selezionati\"\r");
    EXPECT_EQ(lines[65], "\"400 | 3,5 | 420 | 0\"\r");
}
