// The Map page on the window against the simulated ECU: its handlers' guards, the
// acquisition box, a band change, the matched points and the in-band indicator.

#include "ModelingRig.h"
#include "common/Wait.h"

#include "calibration/PageControls.h"
#include "platform/Sound.h"
#include "sim/Frame.h"
#include "ui/ControlLook.h"
#include "ui/Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <cmath>

using testing_support::WaitFor;
using namespace std::chrono_literals;
using testing_support::RunFor;

namespace calibration_test {

namespace {

class MapPage : public ModelingRig {
protected:
    void StartOnMap() {
        Start();
        ASSERT_TRUE(Connect());
        ShowTab(5);
        ecu.ClearCommandLog();
    }
    QCheckBox& Box() { return static_cast<QCheckBox&>(Widget("ChkAbilAcqVacum")); }
    QComboBox& Bands() { return static_cast<QComboBox&>(Widget("CmbShoRpm")); }
    calibration::MapPage& Page() { return *pages.mapPage; }
    void AddSample(sim::Fuel fuel, double ms, int mbar) {
        ecu.Samples(fuel).append({quint16(ms / 0.008 + 0.5), quint16(mbar)});
    }
};

TEST_F(MapPage, TheAcquisitionBoxLocksReadAndBandWhileChecked) {
    StartOnMap();
    Click("ChkAbilAcqVacum");
    ASSERT_TRUE(Box().isChecked());
    EXPECT_FALSE(Widget("CmdMapRead").isEnabled());
    EXPECT_FALSE(Bands().isEnabled());
    EXPECT_EQ(context->Requests.SmplReadCountdown, 1.0);
    Click("ChkAbilAcqVacum");
    EXPECT_TRUE(Widget("CmdMapRead").isEnabled());
    EXPECT_TRUE(Bands().isEnabled());
    EXPECT_EQ(context->Requests.SmplReadCountdown, 0.0);

    // Without the ECU's acquisition flag the box unchecks itself.
    context->Images.Mem2Data.Flags = 0;
    Box().setChecked(true);
    EXPECT_FALSE(Box().isChecked());
    EXPECT_TRUE(Widget("CmdMapRead").isEnabled());
}

TEST_F(MapPage, HandlersIgnoreEventsWhilePagesFill) {
    StartOnMap();
    context->Images.MapTinjBnz[0] = 3;
    window->PageFilling = true;
    Box().setChecked(true);
    Bands().setCurrentIndex(2);
    Page().CmbShoRpm_Click();
    window->PageFilling = false;
    EXPECT_EQ(context->Requests.SmplReadCountdown, 0.0);
    EXPECT_EQ(context->Images.MapTinjBnz[0], 3);
    EXPECT_FALSE(context->Requests.ReqCancSmplGas);
}

TEST_F(MapPage, ABandChangeClearsTheSamplesAndWritesTheBand) {
    StartOnMap();
    AddSample(sim::Fuel::Petrol, 3.0, 400);
    context->Images.MapTinjGas[60] = 9;
    ASSERT_EQ(Bands().count(), 4); // the staged scale file's bands
    Bands().setCurrentIndex(2);
    Page().CmbShoRpm_Click();
    EXPECT_EQ(context->Images.MapTinjGas[60], 0);
    EXPECT_EQ(context->Scale.MapBand, 2);
    ASSERT_TRUE(WaitFor(
        [&] {
            const QList<quint8> c = Commands();
            return c.contains(sim::CMD_CANC_SMPL_GAS) && c.contains(sim::CMD_CANC_SMPL_BNZ) &&
                   c.contains(sim::CMD_WRT_MEM3);
        },
        60s));
    EXPECT_TRUE(ecu.Samples(sim::Fuel::Petrol).isEmpty());
    EXPECT_EQ(ecu.Ram().zone3[57], 25);
    EXPECT_EQ(ecu.Ram().zone3[58], 30);
}

TEST_F(MapPage, ReadSamplesPairOntoTheModelingChartAndHide) {
    StartOnMap();
    AddSample(sim::Fuel::Petrol, 3.0, 400);
    AddSample(sim::Fuel::Petrol, 4.0, 600);
    AddSample(sim::Fuel::Gas, 3.2, 400);
    AddSample(sim::Fuel::Gas, 5.0, 800);
    EXPECT_FALSE(Widget("CmdMapCompute").isEnabled());
    Click("CmdMapRead");
    ASSERT_TRUE(WaitFor([&] { return Widget("CmdMapCompute").isEnabled(); }, 10s));
    EXPECT_DOUBLE_EQ(context->Images.MapTinjGas[0], 3.2);
    Click("CmdMapCompute");
    QWidget& marker = Widget("ShpMapMod(0)");
    EXPECT_TRUE(marker.isVisibleTo(marker.parentWidget()));
    EXPECT_FALSE(window->Control("ShpMapMod(1)")); // one pair only
    Page().CmdShpMapMod_Click();
    EXPECT_FALSE(marker.isVisibleTo(marker.parentWidget()));
    // A checked box keeps Compute off even with pairs.
    Click("ChkAbilAcqVacum");
    Page().RefreshMapAcq(false);
    EXPECT_FALSE(Widget("CmdMapCompute").isEnabled());
}

// Compute on the Map page before the Modeling page was ever shown: the point stands on
// the Modeling chart as that page lays it out, and follows it when the window is resized.
TEST_F(MapPage, MatchedPointsStandOnTheModelingChartAsItIsLaidOut) {
    StartOnMap();
    AddSample(sim::Fuel::Petrol, 6.0, 400);
    AddSample(sim::Fuel::Gas, 7.0, 400);
    Click("CmdMapRead");
    ASSERT_TRUE(WaitFor([&] { return Widget("CmdMapCompute").isEnabled(); }, 10s));
    Click("CmdMapCompute");
    const double gas = context->Images.TblCorEdit[calibration::CorrectionCell(6.0)] + 7.0;
    QWidget& marker = Widget("ShpMapMod(0)");
    QWidget& chart = Widget("FrmMod");
    const auto onChart = [&] {
        const calibration::ModGeometry mod =
            calibration::InizVarMod(ui::WidthTwips(chart), ui::HeightTwips(chart));
        const double x = ui::LeftTwips(marker) + ui::WidthTwips(marker) / 2.0;
        const double y = ui::TopTwips(marker) + ui::HeightTwips(marker) / 2.0;
        // Within a pixel.
        return std::abs(x - mod.X(6.0)) <= 15 && std::abs(y - mod.Y(gas)) <= 15;
    };
    const QPoint placed = marker.pos();
    ShowTab(3);
    EXPECT_EQ(marker.pos(), placed); // placed at once as the page lays its chart out
    EXPECT_TRUE(onChart()) << calibration::TwipsRect(chart).width() << " " << ui::LeftTwips(marker);

    const QSize before = calibration::TwipsRect(chart).size();
    window->resize(window->size() + QSize(160, 120));
    ASSERT_TRUE(WaitFor([&] { return calibration::TwipsRect(chart).size() != before; }, 5s));
    EXPECT_TRUE(onChart()) << calibration::TwipsRect(chart).width() << " " << ui::LeftTwips(marker);
}

TEST_F(MapPage, TheRpmCaptionLightsAndBeepsStrictlyInsideTheBand) {
    StartOnMap();
    std::vector<std::pair<int, int>> tones;
    platform::SetBeepObserver([&](int hz, int ms) { tones.emplace_back(hz, ms); });
    context->Scale.MapBand = 0;
    const qint32 low = context->Scale.MapBandLow[0];
    QWidget& label = Widget("LblCalRpm");
    QWidget& shown = Widget("TxtRpm(1)");
    const auto band = [&](double rpm, const QString& text) {
        context->Images.Mem1Data.Rpm = rpm;
        ui::SetCaption(&shown, text);
        Page().ShowRpmBand();
    };
    Click("ChkAbilAcqVacum");
    band(low, QString::number(low)); // an edge is outside
    EXPECT_EQ(ui::BackStyle(label), 0);
    EXPECT_TRUE(tones.empty());
    band(low + 50, QString::number(low + 50));
    EXPECT_EQ(ui::BackStyle(label), 1);
    band(low + 50, QString::number(low + 50)); // paced: no second beep at once
    EXPECT_EQ(tones, (std::vector<std::pair<int, int>>{{500, 52}}));
    RunFor(250ms);
    band(low + 50, "- - -"); // no number shown, no beep
    EXPECT_EQ(tones.size(), 1u);

    Click("ChkAbilAcqVacum");
    Page().ShowRpmBand();
    EXPECT_EQ(ui::BackStyle(label), 0);
    platform::SetBeepObserver({});
}

TEST_F(MapPage, TheDeveloperFrameGrowsAndShrinks) {
    StartOnMap();
    QWidget& frame = Widget("FrmMapSample");
    Page().FrmMapSample_Click();
    EXPECT_EQ(ui::HeightTwips(frame), 6300);
    EXPECT_EQ(ui::WidthTwips(frame), 8550);
    Page().DrawMapSample();
    EXPECT_TRUE(window->Control("ShpT(191)"));
    Page().FrmMapSample_Click();
    EXPECT_EQ(ui::HeightTwips(frame), 225);
}

TEST_F(MapPage, ADamagedMapFileKeepsTheMapShownAndSaysSo) {
    StartOnMap();
    context->Images.MapVacmBnz[0] = 600;
    context->Images.MapTinjBnz[0] = 12.0;
    Page().RefreshMapAcq(false);
    QWidget& point = Widget("LblTpMap(0)");
    const QPoint shown = point.pos();
    tree.Write("BIN/bad.map", " 400 \r\nnan\r\n 400 \r\n 3 \r\n");
    chosenFile = tree.Path("BIN/bad.map");
    boxes.clear();
    Click("CmdMapOpen");
    EXPECT_EQ(boxes, QStringList{context->Texts.AppTitle + "|" + chosenFile +
                                 ": the file is damaged: line 2 holds no number. The map "
                                 "shown is kept."});
    EXPECT_EQ(context->Images.MapVacmBnz[0], 600);
    EXPECT_EQ(context->Images.MapTinjBnz[0], 12.0);
    EXPECT_EQ(point.pos(), shown);

    // A sound file then opens in its place.
    tree.Write("BIN/good.map", " 400 \r\n 3 \r\n");
    chosenFile = tree.Path("BIN/good.map");
    boxes.clear();
    Click("CmdMapOpen");
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join("; ").toStdString();
    EXPECT_EQ(context->Images.MapVacmBnz[0], 400);
    EXPECT_EQ(context->Images.MapTinjBnz[0], 3.0);
    EXPECT_TRUE(WaitFor([&] { return point.pos() != shown; }, 10s)); // the page's refresh
}

} // namespace

} // namespace calibration_test
