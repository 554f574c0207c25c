// The main window's requests (close, Esc, OFFLINE), the port items of the Device menu,
// the layout and the tab switching.

#include "AppFixture.h"
#include "common/Wait.h"

#include "support/Clock.h"
#include "ui/Controls.h"
#include "ui/TabStrip.h"

#include <QAction>
#include <QPushButton>
#include <QTest>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace app_tests {
namespace {

QAction* Item(app::FrmLX735& window, const QString& name) {
    return qobject_cast<QAction*>(window.Control(name));
}

TEST_F(AppFixture, CloseBoxStopsTheLinkAndQuitsAtTheNextPollTick) {
    Start();
    int unloads = 0;
    window->OnUnloaded = [&] { ++unloads; };
    int pollTicks = 0;
    services.Timer2Tick = [&] { ++pollTicks; };
    context->Comm().ComState(app::COM_READY);

    window->close();
    EXPECT_TRUE(window->isVisible()) << "the close itself is cancelled";
    EXPECT_EQ(context->Comm().ComState(), app::COM_STOP);
    EXPECT_TRUE(context->QuitRequest);
    EXPECT_FALSE(window->IsUnloaded());

    window->EnableTimers();
    ASSERT_TRUE(WaitFor([&] { return window->IsUnloaded(); }, 60s));
    EXPECT_EQ(pollTicks, 1);
    EXPECT_EQ(unloads, 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->Timer1().isActive());
    EXPECT_FALSE(window->Timer2().isActive());
    EXPECT_FALSE(context->Comm().IsOpen());

    window->EnableTimers();
    EXPECT_FALSE(window->Timer1().isActive()) << "an unloaded window starts no timer";
}

// A quit carried out by a poll tick that runs inside a link tick's wait leaves the link
// object and the window whole for the link tick that resumes afterwards.
TEST_F(AppFixture, QuitInsideANestedWaitDestroysNothingInUse) {
    Start();
    bool resumedWithLink = false;
    services.Timer1Tick = [&] {
        if (context->QuitRequest && !window->IsUnloaded()) {
            // The poll tick unloads in here.
            support::WaitUntil([&] { return window->IsUnloaded(); }, 10e6);
            resumedWithLink = window->IsUnloaded() && context->ObjComm &&
                              context->Comm().ComState() == app::COM_STOP;
        }
    };
    window->MnuFileEsc_Click();
    EXPECT_TRUE(context->QuitRequest);
    window->EnableTimers();
    ASSERT_TRUE(WaitFor([&] { return window->IsUnloaded() && !window->Timer1Busy; }, 60s));
    EXPECT_TRUE(resumedWithLink);
}

TEST_F(AppFixture, EscWaitsForThePollTimer) {
    Start();
    window->MnuFileEsc_Click();
    support::WaitUsec(30000);
    EXPECT_FALSE(window->IsUnloaded()) << "the poll timer is stopped";
    window->Timer2_Timer();
    EXPECT_TRUE(window->IsUnloaded());
}

TEST_F(AppFixture, OffLineQueuesTheDefaultSetOnlyOnce) {
    Start();
    Item(*window, "MnuDevCom(0)")->setChecked(true);
    window->MnuOffLine_Click();
    EXPECT_TRUE(Item(*window, "MnuOffLine")->isChecked());
    for (int i = 0; i <= 9; ++i) {
        EXPECT_FALSE(Item(*window, ui::ArrayName("MnuDevCom", i))->isChecked()) << i;
    }
    window->Timer1_Timer();
    EXPECT_EQ(context->Comm().ComState(), app::COM_STOP);
    EXPECT_TRUE(context->OffLineMode);
    EXPECT_FALSE(context->OffLineRequest);
    EXPECT_EQ(context->ParamFilePending, tree.Path("LNG/Default.Xar"));

    context->ParamFilePending.clear();
    window->MnuOffLine_Click();
    window->Timer1_Timer();
    EXPECT_TRUE(context->ParamFilePending.isEmpty());
}

// The configured port is checked when it has an item; a number out of range checks none.
TEST_F(AppFixture, DeviceMenuChecksTheConfiguredPort) {
    const struct {
        bool usb;
        qint16 port;
        int checked; // -1: none
    } cases[] = {{true, 3, 0},   {false, 9, 9},   {false, 1, 1},
                 {false, 0, -1}, {false, -2, -1}, {false, 12, -1}};
    for (const auto& c : cases) {
        PrepareOnly();
        context->Comm().UsbCom(c.usb);
        context->Comm().ComPort(c.port);
        Load();
        for (int i = 0; i <= 9; ++i) {
            QAction* item = Item(*window, ui::ArrayName("MnuDevCom", i));
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(item->isChecked(), i == c.checked) << "port " << c.port << " item " << i;
        }
        window.reset();
    }
}

TEST_F(AppFixture, DeviceMenuItemsAndTheUsbOnlySwitch) {
    PrepareOnly();
    context->Scale.SoloUSB = true;
    Load();
    EXPECT_EQ(Item(*window, "MnuDevCom(1)")->text(), "  COM1");
    EXPECT_EQ(Item(*window, "MnuDevCom(9)")->text(), "  COM 9");
    EXPECT_TRUE(Item(*window, "MnuDevCom(0)")->isVisible());
    EXPECT_TRUE(Item(*window, "MnuOffLine")->isVisible());
    EXPECT_FALSE(Item(*window, "MnuSearcCom")->isVisible());
    for (int i = 1; i <= 9; ++i) {
        EXPECT_FALSE(Item(*window, ui::ArrayName("MnuDevCom", i))->isVisible()) << i;
    }
}

TEST_F(AppFixture, WindowKeepsItsMinimumSize) {
    Start();
    window->resize(400, 300);
    QCoreApplication::processEvents();
    EXPECT_GE(ui::ToTwips(window->frameGeometry().width()), 10920);
    EXPECT_GE(ui::ToTwips(window->frameGeometry().height()), 8575);
}

// u = (12000 - 210) / 7 = 1684.3, rounded and cut to a multiple of 15: 1680.
TEST_F(AppFixture, StatusBarFieldsSplitTheWidthInSevenths) {
    Start();
    const QSize frame = window->frameGeometry().size() - window->size();
    window->resize(QSize(ui::ToPixels(12000), ui::ToPixels(9000)) - frame);
    QCoreApplication::processEvents();
    ASSERT_EQ(ui::ToTwips(window->frameGeometry().width()), 12000);
    EXPECT_EQ(ui::WidthTwips(*Widget("TxtStatusBar(0)")), 5 * 1680);
    EXPECT_EQ(ui::WidthTwips(*Widget("TxtStatusBar(1)")), 1680);
    EXPECT_EQ(ui::HeightTwips(*Widget("TxtStatusBar(2)")), 255);
}

TEST_F(AppFixture, FunctionKeysSwitchTabsAndTheLiveFrameFollows) {
    tree.Write("LNG/Lables.cfg", "[pagina Map-F7]\r\n1\r\n");
    Start();
    int mapLayouts = 0;
    services.LayoutMapPage = [&] { ++mapLayouts; };
    QApplication::setActiveWindow(window.get());
    window->activateWindow();
    QCoreApplication::processEvents();
    ui::TabStrip& tabs = window->SstMain();
    const int parametri = ui::HeightTwips(*Widget("FrmParametri"));

    // The Configuration tab keeps the frame and height the tab before it left.
    const struct {
        Qt::Key key;
        int tab;
        bool frame;
    } cases[] = {{Qt::Key_F5, 2, true}, {Qt::Key_F3, 1, true},  {Qt::Key_F6, 3, true},
                 {Qt::Key_F8, 5, true}, {Qt::Key_F2, 0, false}, {Qt::Key_F3, 1, false}};
    for (const auto& c : cases) {
        QTest::keyClick(window.get(), c.key);
        EXPECT_EQ(tabs.currentIndex(), c.tab) << c.key;
        EXPECT_EQ(Widget("FrmParametri")->isVisibleTo(window.get()), c.frame) << c.key;
        const bool shortened = c.frame;
        const int expected =
            shortened ? window->TabStripHeight - parametri - 30 : window->TabStripHeight;
        EXPECT_NEAR(ui::HeightTwips(tabs), expected, 15) << c.key;
    }
    EXPECT_EQ(mapLayouts, 1);

    QTest::keyClick(window.get(), Qt::Key_F7);
    EXPECT_EQ(tabs.currentIndex(), 1) << "the Lambda tab is hidden";

    // Picking the Map tab with the mouse ends in the same switch.
    QTest::mouseClick(tabs.TabButton(5), Qt::LeftButton);
    EXPECT_EQ(tabs.currentIndex(), 5);
    EXPECT_EQ(mapLayouts, 2);
}

TEST_F(AppFixture, ModelingTabReadsNoTableWhileOffLine) {
    Start();
    int redraws = 0;
    services.PlottaMatricePuntiMod = [&](bool& redraw) { redraws += redraw ? 1 : 0; };
    context->Comm().ComState(app::COM_STOP);
    window->MnuViewTab_Click(3);
    EXPECT_EQ(redraws, 1);
    context->TaraState = 5;
    window->MnuViewTab_Click(0);
    window->MnuViewTab_Click(3);
    EXPECT_EQ(redraws, 1) << "no redraw while a calibration runs";
}

} // namespace
} // namespace app_tests
