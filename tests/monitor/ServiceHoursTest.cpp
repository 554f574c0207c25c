// The service-hours window: the counters as last read, and Erase.

#include "LiveWindowRig.h"

#include "monitor/FrmService.h"

#include <QGroupBox>

namespace monitor_test {
namespace {

TEST(ServiceHours, NumbersWithAPointAndALeadingBlank) {
    EXPECT_EQ(monitor::HoursText(123.5), " 123.5");
    EXPECT_EQ(monitor::HoursText(0), " 0");
    EXPECT_EQ(monitor::HoursText(-1), "-1");
}

class ServiceHoursTest : public LiveWindowRig {};

TEST_F(ServiceHoursTest, ShowsTheLastReadHoursAndEraseAsksForTheReset) {
    context->Images.Mem2Data.HoursGas = 123.5;
    context->Images.Mem2Data.HoursBenz = 7;
    Live().CmdService_Click();
    monitor::FrmService& service = Live().Service();
    EXPECT_FALSE(service.isHidden());
    EXPECT_EQ(service.GasHoursText, "Hours on gas:") << "from the dictionary";
    EXPECT_EQ(Text("LblTimeGas"), "Hours on gas:  123.5");
    EXPECT_EQ(Text("LblTimePetrol"), "Hours on petrol:  7");
    EXPECT_EQ(service.windowTitle(), context->Texts.AppTitle + " - " + app::ReleaseText);
    EXPECT_EQ(static_cast<QGroupBox&>(Widget("FrmTempo")).title(), "Running time");

    // Before zone 2 is read the reset is no edit to take.
    EXPECT_FALSE(Widget("CmdErase").isEnabled());
    service.CmdErase_Click();
    EXPECT_EQ(context->Images.Mem2Write.HoursGas, 0) << "no edit";
    EXPECT_EQ(context->Requests.Mem2WriteCountdown, 0);

    context->Images.Blocks.SetRead(ecudata::EditBlock::Mem2);
    service.Form_Load();
    EXPECT_TRUE(Widget("CmdErase").isEnabled());
    service.CmdErase_Click();
    EXPECT_EQ(context->Images.Mem2Write.HoursGas, -1.0);
    EXPECT_EQ(context->Images.Mem2Write.HoursBenz, -1.0);
    EXPECT_EQ(context->Requests.Mem2WriteCountdown, 1.0);
    EXPECT_EQ(Text("LblTimeGas"), "Hours on gas: 0");
    EXPECT_EQ(Text("LblTimePetrol"), "Hours on petrol: 0");
}

} // namespace
} // namespace monitor_test
