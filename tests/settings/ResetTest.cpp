// The reset to a default set: the fuel dialog's answer queues the set, which reaches the
// ECU with its errors cleared and its flash saved; any other way out queues nothing.

#include "SettingsRig.h"
#include "common/Wait.h"

#include "common/BuildTools.h"
#include "ecudata/ParamFile.h"
#include "settings/FrmResetParam.h"
#include "sim/Frame.h"
#include "ui/Controls.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace settings_test {
namespace {

class ResetTest : public SettingsRig {
protected:
    settings::FrmResetParam* Dialog() {
        return window->findChild<settings::FrmResetParam*>("FrmResetParam");
    }
    // Clicks the reset button; the dialog, once shown, gets the answer.
    void Reset(const std::function<void(settings::FrmResetParam&)>& answer) {
        AtNextPump([this, answer] {
            ASSERT_TRUE(Dialog());
            answer(*Dialog());
        });
        page->CmdReserVar_Click();
    }
};

TEST_F(ResetTest, TheCngSetReachesTheEcu) {
    tree.Write("LNG/DefaultCng.Xar",
               testing_support::ReadFixture(testing_support::StagedRootPath("LNG/DefaultCng.Xar")));
    ecu.ErrorBytes()[3] = 1;
    const QByteArray hours = ecu.Ram().zone2.mid(3, 8);
    Connect();
    Reset([](settings::FrmResetParam& dialog) {
        EXPECT_EQ(ui::Caption(dialog.findChild<QPushButton*>("CmdTipoALim(2)")), "Esc");
        dialog.findChild<QPushButton*>("CmdTipoALim(1)")->click();
    });
    EXPECT_EQ(context->ParamFilePending, ecudata::DefaultCngXarPath(context->AppFolder));
    ASSERT_TRUE(WaitFor([this] { return context->ParamFilePending.isEmpty(); }, 60s));
    ASSERT_TRUE(WaitFor([this] { return ecu.CommandLog().contains(sim::CMD_SAVE_FLASH); }, 60s));
    EXPECT_EQ(Hex(ecu.Ram().zone3, 7, 1), "01");
    EXPECT_TRUE(ecu.CommandLog().contains(sim::CMD_CANC_ERR));
    EXPECT_EQ(ecu.ErrorBytes().count('\0'), ecu.ErrorBytes().size()) << "no error left";
    EXPECT_TRUE(ecu.Saved() == ecu.Ram());
    EXPECT_EQ(ecu.Ram().zone2.mid(3, 8), hours);
    EXPECT_TRUE(window->windowTitle().endsWith("/LNG/DefaultCng.Xar]"));
}

TEST_F(ResetTest, EveryOtherWayOutQueuesNothing) {
    Connect();
    const std::pair<const char*, std::function<void(settings::FrmResetParam&)>> ways[] = {
        {"Esc button",
         [](settings::FrmResetParam& d) { d.findChild<QPushButton*>("CmdTipoALim(2)")->click(); }},
        {"close box", [](settings::FrmResetParam& d) { d.close(); }},
        {"Esc key",
         [](settings::FrmResetParam& d) {
             QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QCoreApplication::sendEvent(&d, &esc);
         }},
        {"gone", [](settings::FrmResetParam& d) { delete &d; }},
    };
    for (const auto& [way, answer] : ways) {
        Reset(answer);
        EXPECT_TRUE(context->ParamFilePending.isEmpty()) << way;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(Dialog()) << way;
    }
}

TEST_F(ResetTest, TheButtonWaitsForAPendingFile) {
    Connect();
    window->Timer2().stop();
    context->ParamFilePending = "queued.var";
    bool shown = false;
    AtNextPump([&] { shown = Dialog() != nullptr; });
    page->CmdReserVar_Click();
    EXPECT_FALSE(shown);
    EXPECT_FALSE(Dialog());
    EXPECT_EQ(context->ParamFilePending, "queued.var");
}

} // namespace
} // namespace settings_test
