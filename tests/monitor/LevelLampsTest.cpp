// The level lamps from the lamp word, their blink clock, the live frame's indicator and
// the fuel highlight of the frame's time captions.

#include "LiveWindowRig.h"

#include "monitor/LevelLamps.h"
#include "ui/ControlLook.h"
#include "ui/Controls.h"

namespace monitor_test {
namespace {

using monitor::LampColor;

constexpr quint32 Green = 0xFF00, Red = 0xFF, Orange = 0x80FF;

TEST(LevelLampColors, DarkSteadyAndBlinking) {
    const quint32 steady[] = {Green, Green, Green, Green, Red, Orange, Red};
    for (quint8 phase = 0; phase < 4; ++phase) {
        for (int lamp = 0; lamp < 7; ++lamp) {
            EXPECT_EQ(LampColor(0, lamp, phase), 0u);
            EXPECT_EQ(LampColor(0x3FFF, lamp, phase), steady[lamp]) << lamp;
            EXPECT_EQ(LampColor(0xC000, lamp, phase), 0u) << "bits above the lamps";
        }
        EXPECT_EQ(LampColor(0x200, 0, phase), phase >= 2 ? Green : 0) << "slow";
        EXPECT_EQ(LampColor(0x100, 0, phase), phase % 2 ? Green : 0) << "fast";
        EXPECT_EQ(LampColor(0x100, 1, phase), 0u);
    }
}

TEST(LevelLampColors, IndicatorIsOpaqueWhileTheFourthLampBlinksDark) {
    for (quint8 phase = 0; phase < 4; ++phase) {
        EXPECT_EQ(monitor::CalCommBackStyle(0x4, phase), phase % 2 ? 0 : 1) << int(phase);
        EXPECT_EQ(monitor::CalCommBackStyle(0xC, phase), 0) << "steady";
        EXPECT_EQ(monitor::CalCommBackStyle(0, phase), 0) << "dark";
    }
}

class LevelLampsTest : public LiveWindowRig {
protected:
    monitor::LevelLamps& lamps = Live().Lamps;
};

TEST_F(LevelLampsTest, BlinkPhaseStepsAtMostOncePerCallAndPeriod) {
    lamps.ShowLevelLamps();
    const quint8 first = lamps.BlinkPhase;
    time.Advance(100000);
    lamps.ShowLevelLamps();
    EXPECT_EQ(lamps.BlinkPhase, first) << "within 0.2 s";
    time.Advance(1e6);
    lamps.ShowLevelLamps();
    EXPECT_EQ(lamps.BlinkPhase, (first + 1) % 4) << "one step however long the pause";
}

TEST_F(LevelLampsTest, LampBordersTakeTheFillAndTheIndicatorFollowsTheFourthLamp) {
    context->Images.Mem1Data.LevelLamps = 0x4 | 0x3000;
    for (int call = 0; call < 4; ++call) {
        time.Advance(250000);
        lamps.ShowLevelLamps();
        for (int i = 0; i < 7; ++i) {
            QWidget& lamp = Widget(ui::ArrayName("ShpLevAct", i));
            EXPECT_EQ(ui::BorderColor(lamp), ui::FillColor(lamp)) << i;
        }
        EXPECT_EQ(ui::FillColor(Widget("ShpLevAct(5)")), Orange);
        const bool dark = ui::FillColor(Widget("ShpLevAct(3)")) == 0;
        EXPECT_EQ(ui::BackStyle(Widget("ShpCalComm")), dark ? 1 : 0);
    }
}

TEST_F(LevelLampsTest, FuelHighlightMovesBetweenTheTimeCaptions) {
    context->Images.Mem2Data.FuelState = 0;
    lamps.ShowLevelLamps();
    EXPECT_EQ(ui::BackStyle(Widget("LblCalInjTp")), 1);
    EXPECT_EQ(ui::BackStyle(Widget("LblCalInjTg")), 0);
    context->Images.Mem2Data.FuelState = 3;
    lamps.ShowLevelLamps();
    EXPECT_EQ(ui::BackStyle(Widget("LblCalInjTp")), 0);
    EXPECT_EQ(ui::BackStyle(Widget("LblCalInjTg")), 1);
}

} // namespace
} // namespace monitor_test
