// The main window's visible tab captions and title in the shipped languages: English at
// the first start, Italian once chosen in the Language menu, and Italian again after a
// restart.

#include "AppFixture.h"
#include "ui/TabStrip.h"

namespace app_tests {
namespace {

const QString Release = " - Release  ver 01.12.82 - 14/04/2011";
const QStringList EnglishTabs = {"General - F2", "Configuration - F3", "Calibration - F5",
                                 "Modeling - F6", "Map - F8"};
const QStringList ItalianTabs = {"Generale - F2", "Configurazione - F3", "Taratura - F5",
                                 "Modellazione - F6", "Mappa - F8"};

QStringList VisibleTabCaptions(app::FrmLX735& window) {
    const ui::TabStrip& tabs = window.SstMain();
    QStringList captions;
    for (int i = 0; i < tabs.count(); ++i) {
        if (tabs.isTabVisible(i)) {
            captions << tabs.tabText(i);
        }
    }
    return captions;
}

TEST_F(AppFixture, VisibleTabCaptionsFollowTheLanguageChosenAcrossARestart) {
    Start();
    EXPECT_EQ(VisibleTabCaptions(*window), EnglishTabs);
    EXPECT_EQ(window->windowTitle(), "LX735 Sequential Gas Injection" + Release);

    window->MnuLngT_Click(1);
    EXPECT_EQ(VisibleTabCaptions(*window), ItalianTabs);
    EXPECT_EQ(window->windowTitle(), "LX735 Iniezione Gas Sequenziale" + Release);

    window.reset();
    Start();
    EXPECT_EQ(VisibleTabCaptions(*window), ItalianTabs);
    EXPECT_EQ(window->windowTitle(), "LX735 Iniezione Gas Sequenziale" + Release);
    EXPECT_TRUE(boxes.boxes.empty());
}

} // namespace
} // namespace app_tests
