// The Map page of the real program against lx735-sim, driven by its controls in the
// developer view: samples read and paired onto the Modeling chart, the periodic
// acquisition, a band change that clears the ECU's samples, and a map saved and opened
// again off-line.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;

class EndToEndMap : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(staged.Valid()); }

    // The simulator outside every band with four samples, the program connected, in the
    // developer view and on the Map tab.
    void Open() {
        staged.MapCom(1, staged.StartSim("com1", {"--fast"}));
        ASSERT_TRUE(staged.SimControl("com1", "set rpm 800\nsamples clear\n"
                                              "sample petrol 3.0 400\nsample petrol 4.0 600\n"
                                              "sample gas 3.2 400\nsample gas 5.0 800"));
        ASSERT_TRUE(staged.StartProgram());
        // Through the first complete read, and a zone-2 read after it (the acquisition
        // flag).
        ASSERT_TRUE(
            WaitFor([&] { return staged.Requests("CMD_READ_TBL_COR").size() >= 4; }, LongMs * 1ms));
        const qsizetype zone2Reads = Count("CMD_READ_MEM2");
        ASSERT_TRUE(WaitFor([&] { return Count("CMD_READ_MEM2", zone2Reads) >= 1; }, LongMs * 1ms));
        ASSERT_TRUE(staged.Run({"input \"KOLT5829\"", "key SstMain Ctrl+Alt+Shift+X",
                                "until CmbShoRpm exists 1 60000", "tab SstMain 5",
                                "until FrmMap visible 1 60000"}));
    }
    QString Field(const QString& control, const QString& field) {
        const auto fields = staged.ReadControl(control);
        return fields ? fields->value(field) : "<refused>";
    }
    bool FieldBecomes(const QString& control, const QString& field, const QString& value,
                      int ms = LongMs) {
        return WaitFor([&] { return Field(control, field) == value; }, ms * 1ms);
    }
    qsizetype Count(const char* request, qsizetype from = 0) {
        return staged.Requests(request).size() - from;
    }
    // The zone-3 polls answered after ms: one every 54 poll ticks, the clock the periodic
    // sample reads keep.
    QList<LoggedExchange> Zone3PollsAfter(qint64 ms) {
        return GoodExchangesAfter(staged, "CMD_READ_MEM3", ms);
    }

    StagedProgram staged;
};

TEST_F(EndToEndMap, ReadSamplesArePairedOntoTheModelingChart) {
    Open();
    ASSERT_TRUE(staged.Run({"click CmdMapRead"}));
    EXPECT_TRUE(
        WaitFor([&] { return Count("CMD_READ_SMPL_BNZ") >= 1 && Count("CMD_READ_SMPL_GAS") >= 1; },
                LongMs * 1ms));
    EXPECT_TRUE(FieldBecomes("CmdMapCompute", "enabled", "1"));
    // The two petrol points and two gas points stand on the chart apart from the origin.
    EXPECT_NE(Field("LblTpMap(0)", "rect"), Field("LblTpMap(2)", "rect"));
    EXPECT_NE(Field("LblTgMap(1)", "rect"), Field("LblTgMap(2)", "rect"));
    // The picture shows the four samples where they stand.
    const std::optional<QImage> picture = Grab(staged, staged.Path("map.png"));
    ASSERT_TRUE(picture);
    for (const char* point : {"LblTpMap(0)", "LblTpMap(1)", "LblTgMap(0)", "LblTgMap(1)"}) {
        const auto fields = staged.ReadControl(point);
        ASSERT_TRUE(fields) << point;
        EXPECT_EQ(PictureMisses(*picture, *fields).toStdString(), "") << point;
    }

    ASSERT_TRUE(staged.Run({"click CmdMapCompute"}));
    EXPECT_EQ(Field("ShpMapMod(0)", "visible"), "0"); // on the Modeling tab, not shown here
    ASSERT_TRUE(staged.Run({"tab SstMain 3", "until ShpMapMod(0) visible 1 60000",
                            "until CmdShpMapMod enabled 1 60000", "click CmdShpMapMod",
                            "until ShpMapMod(0) visible 0 60000"}));
}

// Compute before the Modeling page was ever shown puts the matched point where a Compute
// once that page has been laid out puts it.
TEST_F(EndToEndMap, MatchedPointsStandOnTheModelingChartAsLaidOut) {
    Open();
    ASSERT_TRUE(staged.Run({"click CmdMapRead"}));
    ASSERT_TRUE(FieldBecomes("CmdMapCompute", "enabled", "1"));
    ASSERT_TRUE(
        staged.Run({"click CmdMapCompute", "tab SstMain 3", "until ShpMapMod(0) visible 1 60000"}));
    const QString first = Field("ShpMapMod(0)", "rect");
    // The Modeling page reads the ECU's table when shown, the tabs disabled meanwhile.
    ASSERT_TRUE(staged.Run({"until SstMain enabled 1 60000", "tab SstMain 5",
                            "until FrmMap visible 1 60000", "click CmdMapCompute", "tab SstMain 3",
                            "until ShpMapMod(0) visible 1 60000"}));
    EXPECT_EQ(Field("ShpMapMod(0)", "rect").toStdString(), first.toStdString());
}

// A map whose petrol time is negative is refused as damaged; the map shown stays.
TEST_F(EndToEndMap, AMapWithANegativeValueIsRefused) {
    Open();
    ASSERT_TRUE(staged.Run({"click CmdMapRead"}));
    ASSERT_TRUE(FieldBecomes("CmdMapCompute", "enabled", "1"));
    const QString shown = Field("LblTpMap(0)", "rect");
    ASSERT_TRUE(staged.Write("negative.map", " 400 \r\n-3 \r\n 400 \r\n 3 \r\n"));
    const QString path = staged.Path("negative.map");
    ASSERT_TRUE(staged.Run({"file \"" + path + "\"", "click CmdMapOpen"}));
    const auto refused = [&] {
        for (const QString& box : staged.MessageBoxes()) {
            if (box.contains("negative.map: the file is damaged: line 2 holds -3") &&
                box.contains("The map shown is kept.")) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(WaitFor(refused, LongMs * 1ms)) << staged.MessageBoxes().join('\n').toStdString();
    EXPECT_EQ(Field("LblTpMap(0)", "rect").toStdString(), shown.toStdString());
    EXPECT_EQ(Field("CmdMapCompute", "enabled").toStdString(), "1");
}

TEST_F(EndToEndMap, TheAcquisitionBoxReadsEveryFewSecondsUntilUnchecked) {
    Open();
    ASSERT_TRUE(staged.Run({"click ChkAbilAcqVacum"}));
    EXPECT_EQ(Field("CmdMapRead", "enabled"), "0");
    EXPECT_EQ(Field("CmbShoRpm", "enabled"), "0");
    // The first read at the next zone-3 poll, then one every fifth: a few seconds apart
    // at the polls' own pace (on a loaded machine the polls come slower).
    const qint64 checked = staged.CommandMs("click ChkAbilAcqVacum");
    ASSERT_TRUE(WaitForRequestsAfter(staged, "CMD_READ_SMPL_GAS", checked, 2, LongMs));
    const QList<LoggedRequest> reads = RequestsAfter(staged, "CMD_READ_SMPL_GAS", checked);
    EXPECT_GT(reads[1].ms - reads[0].ms, 2500);
    EXPECT_LE(Zone3PollsAfter(reads[0].ms).size() - Zone3PollsAfter(reads[1].ms).size(), 5);

    ASSERT_TRUE(staged.Run({"click ChkAbilAcqVacum"}));
    EXPECT_EQ(Field("CmdMapRead", "enabled"), "1");
    // The reads already asked for come by the second zone-3 poll after; then none for a
    // whole period of five polls.
    const qint64 unchecked = staged.CommandMs("click ChkAbilAcqVacum");
    ASSERT_TRUE(WaitFor([&] { return Zone3PollsAfter(unchecked).size() >= 2 + 5; }, LongMs * 1ms));
    const qint64 served = Zone3PollsAfter(unchecked)[1].ms;
    for (const char* read : {"CMD_READ_SMPL_GAS", "CMD_READ_SMPL_BNZ"}) {
        EXPECT_TRUE(RequestsAfter(staged, read, served).isEmpty()) << read;
    }
}

TEST_F(EndToEndMap, ABandChangeClearsTheSamplesAndWritesTheBand) {
    Open();
    const std::optional<SimDump> before = staged.SimState("com1");
    ASSERT_TRUE(before);
    ASSERT_FALSE(before->images.value("samples.petrol").isEmpty());
    ASSERT_FALSE(before->images.value("samples.gas").isEmpty());
    const qsizetype writes = Count("CMD_WRT_MEM3");
    ASSERT_TRUE(staged.Run({"choose CmbShoRpm 2"}));
    ASSERT_TRUE(WaitFor(
        [&] {
            return Count("CMD_WRT_MEM3", writes) >= 1 && Count("CMD_CANC_SMPL_GAS") >= 1 &&
                   Count("CMD_CANC_SMPL_BNZ") >= 1;
        },
        LongMs * 1ms));
    const std::optional<SimDump> dump = staged.SimState("com1");
    ASSERT_TRUE(dump);
    EXPECT_EQ(dump->Hex("zone3", 57, 2), "19 1E");
    EXPECT_TRUE(dump->images.value("samples.petrol").isEmpty());
    EXPECT_TRUE(dump->images.value("samples.gas").isEmpty());
}

TEST_F(EndToEndMap, ASavedMapOpensAgainOffLine) {
    Open();
    ASSERT_TRUE(staged.Run({"click CmdMapRead"}));
    ASSERT_TRUE(FieldBecomes("CmdMapCompute", "enabled", "1"));
    const QString path = staged.Path("points.map");
    ASSERT_TRUE(staged.Run({"file \"" + path + "\"", "click CmdMapSave"}));
    QList<QByteArray> lines;
    ASSERT_TRUE(
        WaitFor([&] { return (lines = staged.Read("points.map").split('\n')).size() == 241; },
                LongMs * 1ms));
    EXPECT_EQ(lines[0], " 400 \r");
    EXPECT_EQ(lines[1], " 3 \r");
    EXPECT_EQ(lines[2], " 400 \r");
    EXPECT_EQ(lines[3].replace(',', '.'), " 3.2 \r");

    ASSERT_TRUE(staged.SimControl("com1", "samples clear"));
    const qint64 cleared = staged.Events().last().ms;
    ASSERT_TRUE(staged.Run({"click CmdMapClrGas", "click CmdMapClrPet"}));
    ASSERT_TRUE(WaitFor(
        [&] {
            return !RequestsAfter(staged, "CMD_CANC_SMPL_GAS", cleared).isEmpty() &&
                   !RequestsAfter(staged, "CMD_CANC_SMPL_BNZ", cleared).isEmpty();
        },
        LongMs * 1ms));
    ASSERT_TRUE(FieldBecomes("CmdMapCompute", "enabled", "0"));
    // The file opens off-line once the link has stopped.
    ASSERT_TRUE(staged.Run({"click MnuOffLine", "until TxtStatusBar(1) text \"COM STOP\" 60000",
                            "file \"" + path + "\"", "click CmdMapOpen"}));
    EXPECT_TRUE(FieldBecomes("CmdMapCompute", "enabled", "1"));
    EXPECT_TRUE(staged.Read("BIN/Map.txt").startsWith("\"Punti Mappati\"\r\n"));
}

} // namespace
} // namespace e2e
