// The status lamps, indicators and link time of the General page, and the logo click
// that asks for a fuel switch.

#include "LiveWindowRig.h"

#include "monitor/StatusIndicators.h"
#include "ui/ControlLook.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace monitor_test {
namespace {

class StatusIndicatorsTest : public LiveWindowRig {
protected:
    QCheckBox& Box(const char* name) { return static_cast<QCheckBox&>(Widget(name)); }
    void ClickLogo(const char* name) { QTest::mouseClick(&Widget(name), Qt::LeftButton); }

    ecudata::EcuImages& images = context->Images;
    monitor::StatusIndicators& status = Live().Status;
};

TEST(LinkTime, HoursMinutesAndSeconds) {
    EXPECT_EQ(monitor::LinkTimeText(0), "0:00:00");
    EXPECT_EQ(monitor::LinkTimeText(3725.9), "1:02:05");
    EXPECT_EQ(monitor::LinkTimeText(86400 + 61), "0:01:01");
}

// While the link restarts the status is not refreshed, but the blanked live page still
// shows that the link is down, not how long it was up before.
TEST_F(StatusIndicatorsTest, TheBlankedPageShowsNoLinkTimeWhileThePortIsClosed) {
    context->Comm().CloseComPort();
    Widget("TxtStatusBar(2)").setProperty("text", "Time: 0:05:00");
    status.Blank();
    EXPECT_EQ(Text("TxtStatusBar(2)"), "Time: 0:00:00");
}

TEST_F(StatusIndicatorsTest, LampsChangeOnlyForTheStatesTheyShow) {
    const struct {
        quint8 state;
        bool ticked;
    } steps[] = {{1, true}, {2, true}, {0, false}, {2, false}, {1, true}};
    for (const auto& step : steps) {
        images.Mem1Data.StatusKey = images.Mem1Data.StatusEv2 = step.state;
        status.ShowEcuStatus();
        for (const char* lamp : {"CkbKey", "CkbeV_02"}) {
            EXPECT_EQ(Box(lamp).isChecked(), step.ticked) << lamp << int(step.state);
            EXPECT_EQ(ui::BackColor(Box(lamp)), step.ticked ? ui::ColorButtonShadow : 0x8000000Fu);
            // What the installer sees: a lamp that goes out is drawn in the button face.
            EXPECT_EQ(DrawnBack(lamp), step.ticked ? ButtonShadow() : ButtonFace())
                << lamp << int(step.state);
        }
    }
    EXPECT_TRUE(Text("TxtStatusBar(2)").startsWith("Time: 0:00:"));
}

TEST_F(StatusIndicatorsTest, FuelAndEcuModeLampsKeepTheirCaptionsThroughTransitions) {
    const struct {
        quint8 fuel, mode;
        const char *fuelCaption, *modeCaption;
    } steps[] = {{3, 0, "GAS", "RUN"},
                 {1, 0, "GAS", "RUN"},
                 {0, 1, "BNZ", "SLV"},
                 {2, 2, "BNZ", "SLV"},
                 {3, 0, "GAS", "RUN"}};
    for (const auto& step : steps) {
        images.Mem2Data.FuelState = step.fuel;
        images.Mem2Data.EcuRunState = step.mode;
        status.ShowEcuStatus();
        EXPECT_EQ(Text("CkbStatoAlim"), step.fuelCaption) << int(step.fuel);
        EXPECT_EQ(Text("CkbStatoEcu"), step.modeCaption) << int(step.mode);
    }
}

TEST_F(StatusIndicatorsTest, IndicatorsOfCompensationAndEmulation) {
    images.CompTblSmag[30] = 1;
    status.ShowEcuStatus();
    EXPECT_TRUE(Hidden("LblCompAttiva")) << "the leaning table does not count";
    EXPECT_TRUE(Hidden("ImgCompAttiva"));
    images.CompTblPress[30] = 1;
    images.Mem2Data.Flags = 0x02;
    status.ShowEcuStatus();
    EXPECT_FALSE(Hidden("LblCompAttiva"));
    EXPECT_FALSE(Hidden("ImgEmulAttiva"));
    images.Mem2Data.Flags = 0;
    status.ShowEcuStatus();
    EXPECT_TRUE(Hidden("LblEmulAttiva"));
}

TEST_F(StatusIndicatorsTest, AcquisitionBoxIsGreyedWithoutTheFlagAndKeepsItsTick) {
    QCheckBox& box = Box("ChkAbilAcqVacum");
    box.setChecked(true);
    images.Mem2Data.Flags = 0;
    status.ShowEcuStatus();
    EXPECT_FALSE(box.isEnabled());
    EXPECT_TRUE(box.isChecked());
    EXPECT_FALSE(window->PageFilling);
}

TEST_F(StatusIndicatorsTest, LogoClickAsksForAFuelSwitchOnlyWithTheKeyOn) {
    images.Mem1Data.StatusKey = 0;
    ClickLogo("ImgLogo");
    EXPECT_EQ(context->Requests.ReqSwitchFuelMode, 0);

    images.Mem1Data.StatusKey = 1;
    ClickLogo("ImgLogoS");
    EXPECT_EQ(context->Requests.ReqSwitchFuelMode, 1);
    EXPECT_EQ(ui::BackColor(Widget("ShpLevelS")), 0u) << "the frame is black again";

    context->Requests.ReqSwitchFuelMode = 2; // a switch under way
    ClickLogo("ImgLogo");
    EXPECT_EQ(context->Requests.ReqSwitchFuelMode, 2);
}

// A click on a lamp reaches the page behind it, as the window system delivers it.
TEST_F(StatusIndicatorsTest, LampsCannotBeOperated) {
    QCheckBox& key = Box("CkbKey");
    const bool before = key.isChecked();
    const QPoint centre = key.mapTo(window.get(), key.rect().center());
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(key.isChecked(), before);
    EXPECT_EQ(key.focusPolicy(), Qt::NoFocus);
}

} // namespace
} // namespace monitor_test
