// Injection times: the per-injector bars, the chooser and its boxes, the frame's
// injector 1, the averages and histories the other pages read.

#include "LiveWindowRig.h"

#include "support/UCtrlBar.h"
#include "ui/ControlLook.h"
#include "ui/Controls.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>

namespace monitor_test {
namespace {

class InjectorBarsTest : public LiveWindowRig {
protected:
    InjectorBarsTest() {
        context->Images.Mem3Data.Cilindri = 4;
        context->Images.Mem3Data.CylState.fill(1);
        live.StatusKey = 1;
    }
    support::UCtrlBar& Bar(const char* array, int i) {
        return dynamic_cast<support::UCtrlBar&>(Widget(ui::ArrayName(array, i)));
    }
    int Segments(const char* array, int i) {
        const auto& bar = Bar(array, i);
        return bar.Valore() / bar.StepVal();
    }
    // Raw times that the smoothing reaches exactly in one call from zero.
    void ShowOnceFromZero(double petrol, double delta) {
        context->InjTimes = {};
        live.TInjBenz.fill(2 * petrol);
        live.TInjGasBar.fill(2 * delta);
        bars.ShowInjectionTimes();
    }
    QComboBox& Chooser() { return static_cast<QComboBox&>(Widget("CmbInj")); }

    ecudata::Mem1Rec& live = context->Images.Mem1Data;
    monitor::InjectorBars& bars = Live().Injectors;
    app::InjectionTimes& times = context->InjTimes;
};

TEST_F(InjectorBarsTest, IstanzaInjShowsTheInstalledInjectorsAndEmptiesTheBars) {
    ShowOnceFromZero(5, 0);
    bars.IstanzaInj(4);
    for (int i = 0; i < 8; ++i) {
        for (const char* name : {"InjPetBar", "InjGasBar", "LblInj"}) {
            EXPECT_EQ(Hidden(ui::ArrayName(name, i)), i >= 4) << name << i;
        }
        EXPECT_EQ(Segments("InjPetBar", i), 0) << i;
    }
    QStringList items;
    for (int k = 0; k < Chooser().count(); ++k) {
        items << Chooser().itemText(k);
    }
    EXPECT_EQ(items, (QStringList{"Inj_##", "Inj_1", "Inj_2", "Inj_3", "Inj_4"}));
    EXPECT_EQ(Chooser().currentIndex(), 0);
}

TEST_F(InjectorBarsTest, ChoosingAnInjectorMarksItsLabel) {
    bars.IstanzaInj(4);
    Chooser().setCurrentIndex(3);
    for (int i = 0; i < 4; ++i) {
        auto& label = static_cast<QLabel&>(Widget(ui::ArrayName("LblInj", i)));
        EXPECT_EQ(label.frameShape(), i == 2 ? QFrame::Box : QFrame::NoFrame) << i;
        EXPECT_EQ(ui::BackColor(label), i == 2 ? 0xFFFFu : 0x8000000Fu) << i;
    }
    Chooser().setCurrentIndex(0);
    EXPECT_EQ(static_cast<QLabel&>(Widget("LblInj(2)")).frameShape(), QFrame::NoFrame);
}

TEST_F(InjectorBarsTest, ChoosingAnotherInjectorOrAllClearsTheDrawnMark) {
    bars.IstanzaInj(4);
    const std::string yellow = "#ffff00";
    const struct {
        int choice;
        int marked; // label index, -1 none
    } steps[] = {{3, 2}, {4, 3}, {0, -1}};
    for (const auto& step : steps) {
        Chooser().setCurrentIndex(step.choice);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(DrawnBack(ui::ArrayName("LblInj", i)),
                      i == step.marked ? yellow : ButtonFace())
                << "choice " << step.choice << ", label " << i;
        }
    }
}

TEST_F(InjectorBarsTest, BarsLightOneSegmentPerWholeMillisecondHalvesToEven) {
    for (const auto& [ms, segments] : {std::pair{3.5, 4}, std::pair{2.5, 2}, std::pair{2.49, 2}}) {
        ShowOnceFromZero(ms, 0);
        EXPECT_EQ(Segments("InjPetBar", 0), segments) << ms;
        EXPECT_EQ(Segments("InjPetBar", 7), segments) << "all eight bars move" << ms;
    }
}

// Gas shows only for an injector in mode 3 or 4 while the commanded fuel mode is gas.
TEST_F(InjectorBarsTest, GasTimeOnlyForInjectorsOnGas) {
    ecudata::Mem3Rec& zone3 = context->Images.Mem3Data;
    zone3.CylState = {3, 4, 1, 0, 3, 3, 3, 3};
    for (const quint8 fuelMode : {quint8(3), quint8(0)}) {
        context->Images.Mem2Data.ModeReq = fuelMode;
        ShowOnceFromZero(3, 0.5);
        for (int i = 0; i < 4; ++i) {
            const bool onGas = fuelMode == 3 && i < 2;
            EXPECT_EQ(Segments("InjGasBar", i), onGas ? 4 : 0) << i << " mode " << fuelMode;
        }
    }
}

// Four injectors, two on gas: the "Inj_##" gas time is their sum over all four; the
// petrol average is raw, the single injector smoothed.
TEST_F(InjectorBarsTest, AveragesAndSingleInjectorBoxes) {
    bars.IstanzaInj(4);
    context->Images.Mem2Data.ModeReq = 3;
    context->Images.Mem3Data.CylState = {3, 3, 1, 1, 0, 0, 0, 0};
    live.TInjBenz = {4, 4, 4, 4, 9, 9, 9, 9};
    live.TInjGasBar = {1, 1, 0, 0, 0, 0, 0, 0};
    bars.ShowInjectionTimes();
    EXPECT_EQ(Text("TxtInjTimePet(0)"), "04,00");
    EXPECT_EQ(Text("TxtInjTimeGas(0)"), "02,50") << "(5 + 5) / 4";
    EXPECT_EQ(Text("TxtInjTimePet(1)"), "02,00") << "injector 1 smoothed";
    EXPECT_EQ(Text("TxtInjTimeGas(1)"), "02,50");
    EXPECT_DOUBLE_EQ(times.TInjAvg1, 2.0);
    EXPECT_DOUBLE_EQ(times.TInjAvg2, 4.0);

    Chooser().setCurrentIndex(3);
    bars.ShowInjectionTimes();
    EXPECT_EQ(Text("TxtInjTimePet(0)"), "03,00") << "injector 3 smoothed: (4 + 2) / 2";
    EXPECT_EQ(Text("TxtInjTimeGas(0)"), "00,00") << "injector 3 runs on petrol";
}

TEST_F(InjectorBarsTest, CutOffShowsInTheBoxesWhileTheBarsMove) {
    context->Images.Mem2Data.Flags = 0x20;
    ShowOnceFromZero(3, 0);
    for (const char* box :
         {"TxtInjTimePet(0)", "TxtInjTimeGas(0)", "TxtInjTimePet(1)", "TxtInjTimeGas(1)"}) {
        EXPECT_EQ(Text(box), "C.OFF") << box;
    }
    EXPECT_EQ(Segments("InjPetBar", 0), 3);
}

TEST_F(InjectorBarsTest, KeyOffEmptiesBarsAndBoxesAndFeedsZerosToTheHistories) {
    bars.IstanzaInj(4);
    ShowOnceFromZero(3, 0);
    EXPECT_DOUBLE_EQ(times.TInjHist1[0], 6.0) << "the raw average";
    EXPECT_DOUBLE_EQ(times.TInjHist3[0], 3.0);

    live.StatusKey = 0;
    bars.ShowInjectionTimes();
    EXPECT_EQ(Segments("InjPetBar", 0), 0);
    EXPECT_EQ(Text("TxtInjTimePet(0)"), "00,00");
    EXPECT_EQ(Text("TxtInjTimeGas(0)"), "00,00");
    EXPECT_DOUBLE_EQ(times.TInjHist1[0], 0.0);
    EXPECT_DOUBLE_EQ(times.TInjHist1[1], 6.0) << "the history moved on";
    EXPECT_DOUBLE_EQ(times.TInjAvg2, 0.0);

    Chooser().setCurrentIndex(2);
    bars.ShowInjectionTimes();
    EXPECT_EQ(Text("TxtInjTimePet(0)"), "00,00");
}

} // namespace
} // namespace monitor_test
