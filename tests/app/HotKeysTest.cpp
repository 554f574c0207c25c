// The password hot keys: the developer view with its controls and tabs, the viewer and
// expert buttons, and the keys taken whichever control of the window has the keyboard.

#include "AppFixture.h"

#include "link/LinkHost.h"
#include "ui/Controls.h"
#include "ui/InputBox.h"

#include <QLineEdit>
#include <QTest>

namespace app_tests {
namespace {

constexpr int AllModifiers = 1 | 2 | 4;
constexpr int KeyW = 87;
constexpr int KeyE = 69;
constexpr int KeyX = 88;

const char* const DeveloperControls[] = {
    "CmbShoRpm",   "LblShoRpm",   "CmdView",      "FrmVarTara",   "FrmMapSample",
    "ShpPLoad",    "ShpPmin",     "CkbStatoEcu",  "CkbStatoAlim", "CmdComputeModl(0)",
    "ShpPunti(0)", "ShpPunti(8)", "CmdExpert(0)", "CmdTableComp",
};

class HotKeysTest : public AppFixture {
protected:
    HotKeysTest()
        : answers_([this](const QString& prompt, const QString& title, const QString& text) {
              asked.push_back({prompt, title, text});
              return answer;
          }) {
        tree.Write("LNG/Lables.cfg", ShippedFile("LNG/Lables.cfg"));
    }
    void SetUp() override { Start(); }

    bool Shown(const QString& name) { return !Widget(name)->isHidden(); }
    bool TabShown(int tab) { return window->SstMain().isTabVisible(tab); }
    // Which of the developer view's controls and tabs are shown.
    QList<bool> Showing() {
        QList<bool> showing;
        for (const char* name : DeveloperControls) {
            showing << Shown(name);
        }
        return showing << TabShown(4) << TabShown(5) << context->DeveloperView;
    }
    // The developer view's controls and tabs, all shown (or all hidden).
    void ExpectDeveloperView(bool on) {
        for (const char* name : DeveloperControls) {
            EXPECT_EQ(Shown(name), on) << name;
        }
        EXPECT_EQ(TabShown(4), on);
        EXPECT_EQ(TabShown(5), on);
        EXPECT_EQ(context->DeveloperView, on);
        EXPECT_EQ(context->Comm().Host()->DeveloperView(), on) << "the link's error boxes";
    }

    QString answer = "KOLT5829";
    std::vector<std::array<QString, 3>> asked;

private:
    ui::ScopedInputBoxHandler answers_;
};

TEST_F(HotKeysTest, DeveloperControlsStartHidden) {
    for (const char* name : DeveloperControls) {
        EXPECT_FALSE(Shown(name)) << name;
    }
    EXPECT_FALSE(TabShown(4));
    EXPECT_TRUE(TabShown(5)) << "the shipped label layout shows the Map tab";
}

TEST_F(HotKeysTest, OnlyShiftCtrlAltWithWEOrXAskForThePassword) {
    EXPECT_FALSE(window->Form_KeyUp(KeyX, 2 | 4));
    EXPECT_FALSE(window->Form_KeyUp(KeyX, 1 | 2));
    EXPECT_FALSE(window->Form_KeyUp('Q', AllModifiers));
    EXPECT_TRUE(asked.empty());

    EXPECT_TRUE(window->Form_KeyUp(KeyX, AllModifiers));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0][0], "Pw");
    EXPECT_EQ(asked[0][1], "LX735 Sequential Gas Injection");
    EXPECT_EQ(asked[0][2], "");
}

TEST_F(HotKeysTest, XSwitchesTheDeveloperViewWithThePasswordInAnyCase) {
    answer = "kolt5829";
    window->Form_KeyUp(KeyX, AllModifiers);
    ExpectDeveloperView(true);
    answer = "Kolt5829";
    window->Form_KeyUp(KeyX, AllModifiers);
    ExpectDeveloperView(false);
}

// Two rows of two tabs with the developer view off, of three with it on; the selected
// tab's row stands next to the pages, and the rows above the pages' frames.
TEST_F(HotKeysTest, TheDeveloperViewPutsThreeTabsInARowInsteadOfTwo) {
    using Rows = QList<QList<int>>;
    ui::TabStrip& tabs = window->SstMain();
    window->Form_KeyUp(KeyX, AllModifiers);
    EXPECT_EQ(tabs.Rows(), (Rows{{3, 4, 5}, {0, 1, 2}}));
    window->MnuViewTab_Click(4);
    EXPECT_EQ(tabs.Rows(), (Rows{{0, 1, 2}, {3, 4, 5}}));

    window->Form_KeyUp(KeyX, AllModifiers);
    EXPECT_EQ(tabs.Rows(), (Rows{{0, 1}, {2, 3}})) << "the Lambda tab went: tab 3 is shown";
    window->MnuViewTab_Click(0);
    EXPECT_EQ(tabs.Rows(), (Rows{{2, 3}, {0, 1}}));
    const int pageFramesTop = 900; // where the page layouts put their frames
    EXPECT_LT(ui::ToTwips(tabs.RowsHeight()), pageFramesTop);
}

TEST_F(HotKeysTest, WrongOrCancelledPasswordChangesNothing) {
    const QList<bool> before = Showing();
    for (const char* typed : {"", "KOLT582", "KOLT5829 "}) {
        answer = typed;
        for (int key : {KeyW, KeyE, KeyX}) {
            window->Form_KeyUp(key, AllModifiers);
        }
        EXPECT_EQ(Showing(), before) << typed;
    }
    EXPECT_TRUE(boxes.boxes.empty()) << "silently";
}

TEST_F(HotKeysTest, ViewerAndExpertButtonsToggleAloneUntilTheNextX) {
    window->Form_KeyUp(KeyW, AllModifiers);
    EXPECT_TRUE(Shown("CmdView"));
    window->Form_KeyUp(KeyE, AllModifiers);
    EXPECT_TRUE(Shown("CmdExpert(0)"));
    window->Form_KeyUp(KeyE, AllModifiers);
    EXPECT_FALSE(Shown("CmdExpert(0)"));
    EXPECT_FALSE(context->DeveloperView);

    window->Form_KeyUp(KeyX, AllModifiers);
    window->Form_KeyUp(KeyX, AllModifiers);
    EXPECT_FALSE(Shown("CmdView")) << "the developer view going off hides it again";
}

// The keys reach the window from a focused text box or live value (the General tab gives
// the petrol time the focus), and count once.
TEST_F(HotKeysTest, KeysAreTakenWhicheverControlHasTheKeyboard) {
    for (const char* name : {"TxtGasMod", "TxtInjTimePet(0)"}) {
        QWidget* control = Widget(name);
        ASSERT_NE(control, nullptr) << name;
        asked.clear();
        context->DeveloperView = false;
        QTest::keyRelease(control, Qt::Key_X,
                          Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        EXPECT_EQ(asked.size(), 1u) << name;
        EXPECT_TRUE(context->DeveloperView) << name;

        QTest::keyRelease(control, Qt::Key_X, Qt::ControlModifier | Qt::AltModifier);
        EXPECT_EQ(asked.size(), 1u) << name;
    }
}

} // namespace
} // namespace app_tests
