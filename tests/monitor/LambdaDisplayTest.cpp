// The lambda probes as numbers and cursors, and the emulated outputs on the Lambda page.

#include "LiveWindowRig.h"

#include "monitor/LambdaDisplay.h"
#include "ui/Controls.h"

namespace monitor_test {
namespace {

TEST(MoveLaLambda, CursorCentreRunsOneCursorWidthInsideTheBar) {
    // Bar 1000 + 2000 wide, cursor 100: the span is 1800, the centre runs 1100 .. 2900.
    const struct {
        qint32 value;
        double left;
    } cases[] = {{0, 1050}, {5000, 2850}, {9000, 2850}, {-300, 1050}, {2500, 1950}};
    for (const auto& c : cases) {
        EXPECT_EQ(monitor::LambdaCursorLeft(c.value, 1000, 2000, 100, 0, 5000), c.left) << c.value;
    }
    EXPECT_FALSE(monitor::LambdaCursorLeft(100, 1000, 2000, 100, 800, 800))
        << "a scale without a span moves nothing";
}

class LambdaDisplayTest : public LiveWindowRig {
protected:
    LambdaDisplayTest() {
        images.Mem3Data.LambdaSwitch = 1;
        images.EmulaBlkData[86] = 1;
        images.EmulaBlkData[87] = 0x21;
        images.Mem1Data.Lambda1 = 0.4504f;
        images.Mem1Data.Lambda2 = 0.75f;
    }
    void ShowLambdaPage() {
        window->SstMain().setTabVisible(4, true);
        window->SstMain().setCurrentIndex(4);
    }
    ecudata::EcuImages& images = context->Images;
    monitor::LambdaDisplay& lambda = Live().Lambda;
};

const char* const ProbeControls[] = {
    "TxtLambda(0)",      "TxtLambda(1)",      "TxtLambda2(0)", "TxtLambda2(1)", "LblParLambda(0)",
    "LblParLambda(1)",   "LblCalLambda",      "LblCalLambda2", "ImgLambda1",    "ImgLambda2",
    "LblParLambdaMv(0)", "LblParLambdaMv(1)", "ShpLambda1",    "ShpLambda2"};

TEST_F(LambdaDisplayTest, ProbeVoltagesInBothPlaces) {
    lambda.ShowLambda();
    EXPECT_EQ(Text("TxtLambda(0)"), "0,450");
    EXPECT_EQ(Text("TxtLambda(1)"), "0,450");
    EXPECT_EQ(Text("TxtLambda2(0)"), "0,750");
    EXPECT_EQ(Text("TxtLambda2(1)"), "0,750");
    EXPECT_FALSE(Hidden("ShpLambda1"));
}

TEST_F(LambdaDisplayTest, WithoutProbeTypeEverythingHidesAndOutputsShowNothing) {
    images.Mem3Data.LambdaSwitch = 0;
    ShowLambdaPage();
    lambda.ShowLambda();
    for (const char* name : ProbeControls) {
        EXPECT_TRUE(Hidden(name)) << name;
    }
    EXPECT_EQ(Text("TxtLambdaOut1"), "- - -");
    EXPECT_EQ(Text("TxtLambdaOut2"), "- - -");
}

// Every session starts without a probe type until zone 3 is read: both probes' displays
// come back with the type.
TEST_F(LambdaDisplayTest, BothProbesComeBackWithTheProbeType) {
    images.Mem3Data.LambdaSwitch = 0;
    lambda.ShowLambda();
    images.Mem3Data.LambdaSwitch = 1;
    lambda.ShowLambda();
    for (const char* name : ProbeControls) {
        EXPECT_FALSE(Hidden(name)) << name;
    }
}

TEST_F(LambdaDisplayTest, ProbeSetToNoneShowsDashesAndHidesOnlyItsCursor) {
    images.EmulaBlkData[86] = 0;
    images.EmulaBlkData[87] = 0x20; // low nibble 0: no probe 2
    lambda.ShowLambda();
    EXPECT_EQ(Text("TxtLambda(0)"), "- - -");
    EXPECT_EQ(Text("TxtLambda2(1)"), "- - -");
    EXPECT_TRUE(Hidden("ShpLambda1"));
    EXPECT_TRUE(Hidden("ShpLambda2"));
    EXPECT_FALSE(Hidden("LblParLambda(0)"));
    EXPECT_FALSE(Hidden("TxtLambda(0)"));

    images.EmulaBlkData[86] = 1;
    images.EmulaBlkData[87] = 0x21;
    lambda.ShowLambda();
    EXPECT_FALSE(Hidden("ShpLambda1"));
    EXPECT_FALSE(Hidden("ShpLambda2")) << "the probe-2 cursor comes back as probe 1's does";
}

TEST_F(LambdaDisplayTest, CursorStopsAtTheUpperEndOfTheProbeScale) {
    const int row = ecudata::FindLambda(context->Tables, 1);
    ASSERT_GE(row, 0);
    const ecudata::LambdaRec& record = context->Tables.TblLambda[size_t(row)];
    QWidget& bar = Widget("ImgLambda1");
    QWidget& cursor = Widget("ShpLambda1");
    const auto centre = [&] { return ui::LeftTwips(cursor) + ui::WidthTwips(cursor) / 2; };
    const int rightEnd = ui::LeftTwips(bar) + ui::WidthTwips(bar) - ui::WidthTwips(cursor);

    images.Mem1Data.Lambda1 = float(record.Param2) / 1000;
    lambda.ShowLambda();
    EXPECT_NEAR(centre(), rightEnd, 15);
    images.Mem1Data.Lambda1 = float(record.Param2) / 1000 + 1;
    lambda.ShowLambda();
    EXPECT_NEAR(centre(), rightEnd, 15);
}

// An unknown probe type or a record without a span leaves the cursors where they stand.
TEST_F(LambdaDisplayTest, CursorsStayWithoutAUsableProbeRecord) {
    lambda.ShowLambda();
    const int before = ui::LeftTwips(Widget("ShpLambda1"));
    images.Mem1Data.Lambda1 = 0.9f;
    context->Tables.TblLambda.resize(3);
    context->Tables.TblLambda[1].Id = 2; // no row holds type 1 any more
    lambda.ShowLambda();
    EXPECT_EQ(ui::LeftTwips(Widget("ShpLambda1")), before);

    context->Tables.TblLambda[1] = {"flat", 1, 500, 500};
    lambda.ShowLambda();
    EXPECT_EQ(ui::LeftTwips(Widget("ShpLambda1")), before);
    EXPECT_EQ(Text("TxtLambda(0)"), "0,899") << "the rest of the display goes on";
}

TEST_F(LambdaDisplayTest, EmulatedOutputsOnTheLambdaPageOnly) {
    images.Mem2Data.Flags = 0x02;
    images.Mem1Data.LambdaOut1 = 2353;
    images.Mem1Data.LambdaOut2 = 800;
    ShowLambdaPage();
    lambda.ShowLambda();
    EXPECT_EQ(Text("TxtLambdaOut1"), "2,35");
    EXPECT_EQ(Text("TxtLambdaOut2"), "0,80");

    images.Mem2Data.Flags = 0;
    lambda.ShowLambda();
    EXPECT_EQ(Text("TxtLambdaOut1"), "- - -") << "emulation off";

    images.Mem2Data.Flags = 0x02;
    window->SstMain().setCurrentIndex(0);
    lambda.ShowLambda();
    EXPECT_EQ(Text("TxtLambdaOut1"), "- - -") << "kept on another page";
}

} // namespace
} // namespace monitor_test
