// Rpm, temperatures, pressures and supply voltage in the General page's boxes and the
// live-value frame.

#include "LiveWindowRig.h"

#include <QCheckBox>

namespace monitor_test {
namespace {

class EngineValuesTest : public LiveWindowRig {
protected:
    ecudata::Mem1Rec& live = context->Images.Mem1Data;
    monitor::EngineValues& engine = Live().Engine;
};

TEST_F(EngineValuesTest, RpmIsSmoothedWhileTheKeyIsOnAndZeroWhileOff) {
    live.StatusKey = 0;
    live.Rpm = 850;
    engine.ShowRpm();
    EXPECT_EQ(Text("TxtRpm(0)"), "0000");
    EXPECT_EQ(Text("TxtRpm(1)"), "0000");

    live.StatusKey = 1;
    engine.ShowRpm();
    EXPECT_EQ(Text("TxtRpm(0)"), "0425") << "half the real speed after the key comes on";
    engine.ShowRpm();
    EXPECT_EQ(Text("TxtRpm(1)"), "0637");
    live.Rpm = 12000;
    engine.RpmSmooth = 12000;
    engine.ShowRpm();
    EXPECT_EQ(Text("TxtRpm(0)"), "12000") << "five digits when there are five";
}

TEST_F(EngineValuesTest, TemperaturesAndSupplyAsFixedPointText) {
    const struct {
        double reducer, gas, supply;
        const char *reducerText, *gasText, *supplyText;
    } cases[] = {{7.9, 25, 12.64, "07", "25", "12,6"},
                 {-5.3, 0, 0.9, "-06", "00", "0,0"},
                 {70, 30, 1.0, "70", "30", "1,0"}};
    for (const auto& c : cases) {
        live.Temp = c.reducer;
        live.Temp1 = c.gas;
        live.Supply = c.supply;
        engine.ShowTemperatures();
        engine.ShowSupplyVoltage();
        EXPECT_EQ(Text("TxtTmpVap(0)"), c.reducerText);
        EXPECT_EQ(Text("TxtTmpVap(1)"), c.reducerText);
        EXPECT_EQ(Text("TxtTmpGas(0)"), c.gasText);
        EXPECT_EQ(Text("TxtTmpGas(1)"), c.gasText);
        EXPECT_EQ(Text("TxtSupply"), c.supplyText);
    }
}

TEST_F(EngineValuesTest, GasPressureInBarOrNotConfigured) {
    context->Images.Mem3Data.EmptyGas = 1;
    for (const auto& [mbar, text] :
         {std::pair{1234.5, "1,234"}, std::pair{0.0, "0,000"}, std::pair{-20.0, "0,000"}}) {
        live.PressGas = mbar;
        engine.ShowPressures();
        EXPECT_EQ(Text("TxtPressure(0)"), text) << mbar;
        EXPECT_EQ(Text("TxtPressure(1)"), text) << mbar;
    }
    context->Images.Mem3Data.EmptyGas = 0;
    live.PressGas = 1234.5;
    engine.ShowPressures();
    EXPECT_EQ(Text("TxtPressure(0)"), "- - -");
    EXPECT_EQ(Text("TxtPressure(1)"), "- - -");
}

TEST_F(EngineValuesTest, VacuumFollowsTheAcquisitionFlag) {
    auto& box = static_cast<QCheckBox&>(Widget("ChkAbilAcqVacum"));
    live.Press2 = 450;
    live.Vacuum = 600;
    context->Images.Mem2Data.Flags = 0x10;
    engine.ShowPressures();
    EXPECT_FALSE(Hidden("TxtVacuum"));
    EXPECT_FALSE(Hidden("LblCalPres"));
    EXPECT_TRUE(box.isEnabled());
    EXPECT_EQ(Text("TxtVacuum"), "0,450");

    live.Vacuum = 0.005;
    engine.ShowPressures();
    EXPECT_EQ(Text("TxtVacuum"), "0,000") << "no absolute pressure, no vacuum";

    context->Images.Mem2Data.Flags = 0;
    live.Vacuum = 600;
    engine.ShowPressures();
    EXPECT_TRUE(Hidden("TxtVacuum"));
    EXPECT_TRUE(Hidden("LblCalPres"));
    EXPECT_FALSE(box.isEnabled());
    EXPECT_EQ(Text("TxtVacuum"), "0,000") << "the hidden box keeps its text";

    context->Images.Mem2Data.Flags = 0x10;
    engine.ShowPressures();
    EXPECT_FALSE(Hidden("TxtVacuum"));
    EXPECT_TRUE(box.isEnabled());
}

TEST_F(EngineValuesTest, AbsolutePressureOnlyOnTheLambdaPage) {
    live.Vacuum = 987.6;
    window->SstMain().setTabVisible(4, true);
    window->SstMain().setCurrentIndex(4);
    engine.ShowPressures();
    EXPECT_EQ(Text("TxtAbsPres"), "0,987");

    window->SstMain().setCurrentIndex(0);
    live.Vacuum = 500;
    engine.ShowPressures();
    EXPECT_EQ(Text("TxtAbsPres"), "0,987");
}

} // namespace
} // namespace monitor_test
