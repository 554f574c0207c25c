// The port-search splash: its texts from the dictionary, when the poll timer shows and
// hides it, and the bouncing bar.

#include "AppFixture.h"

#include "app/FrmInit.h"
#include "ui/Controls.h"

#include <QFrame>
#include <QLabel>

namespace app_tests {
namespace {

class SplashTest : public AppFixture {
protected:
    app::FrmInit& Splash() { return *window->Init(); }
    QString Message() { return Splash().findChild<QLabel*>("LblMsg")->text(); }
    QWidget& Bar() { return *Splash().findChild<QFrame*>("Shape1"); }
    QWidget& Track() { return *Splash().findChild<QLabel*>("Label1"); }
};

TEST_F(SplashTest, LoadedHiddenWithTheCurrentLanguagesTexts) {
    tree.Write("LNG/M3.con", "1\r\n");
    Start();
    ASSERT_NE(window->Init(), nullptr);
    EXPECT_FALSE(Splash().isVisible());
    EXPECT_FALSE(Splash().Timer1().isActive());
    EXPECT_EQ(Splash().MessageText(3), "SEARCH COM");
    EXPECT_EQ(Splash().MessageText(0), "Lettura della centralina...");
    EXPECT_EQ(Splash().MessageText(1), "Attendere prego...");
    EXPECT_EQ(Splash().MessageText(2), "");
}

TEST_F(SplashTest, WithoutItsSectionOnlyTheSearchTextShows) {
    tree.Write("LNG/M3.diz", Dictionary({{"English", {"Title", "Load", "Save"}}}));
    Start();
    EXPECT_EQ(Splash().MessageText(0), "");
    EXPECT_EQ(Splash().MessageText(1), "");
    context->Comm().FlagRicercaCom(0);
    window->ElaboraMsgCom();
    Splash().Timer1_Timer();
    EXPECT_EQ(Message(), "SEARCH COM");
}

TEST_F(SplashTest, OnlyTheKnownMessageTypesAreTaken) {
    Start();
    Splash().TipoMessaggio(1);
    Splash().TipoMessaggio(2);
    EXPECT_EQ(Splash().TipoMessaggio(), 1);
    Splash().TipoMessaggio(3);
    EXPECT_EQ(Splash().TipoMessaggio(), 3);
}

TEST_F(SplashTest, ShownWhileSearchingOrWaitingForTheFirstRead) {
    Start();
    EXPECT_FALSE(context->OffLineMode) << "loading the splash ends the off-line mode";
    comm::ClsComm& link = context->Comm();
    const struct {
        const char* what;
        bool offLine;
        quint8 search;
        bool firstRead;
        bool shown;
        qint32 type;
    } cases[] = {
        {"search", false, 4, false, true, 3},
        {"first read", false, comm::NoSearch, true, true, 0},
        {"connected and read", false, comm::NoSearch, false, false, 0},
        {"search again", false, 1, false, true, 3},
        {"off-line during a search", true, 1, true, false, 3},
    };
    for (const auto& c : cases) {
        context->OffLineMode = c.offLine;
        link.FlagRicercaCom(c.search);
        context->Requests.FirstReadPending = c.firstRead;
        window->ElaboraMsgCom();
        EXPECT_EQ(Splash().isVisible(), c.shown) << c.what;
        EXPECT_EQ(Splash().Timer1().isActive(), c.shown) << c.what;
        if (c.shown) {
            EXPECT_EQ(Splash().TipoMessaggio(), c.type) << c.what;
            Splash().Timer1_Timer();
            EXPECT_EQ(Message(), Splash().MessageText(c.type)) << c.what;
        } else if (!c.offLine) {
            EXPECT_EQ(Message(), "") << "hidden after the first read, its text cleared";
        }
    }
}

// A track eight bar-widths wide: a third of the bar per step, turning 30 twips inside
// either end.
TEST_F(SplashTest, BarBouncesBetweenTheTracksEnds) {
    Start();
    const int track = ui::LeftTwips(Track());
    const int width = ui::WidthTwips(Bar());
    const int end = track + ui::WidthTwips(Track());
    ASSERT_EQ(width, ui::WidthTwips(Track()) / 8);
    const int step = width / 3;
    ASSERT_EQ(step * 3, width);

    int left = ui::LeftTwips(Bar());
    bool turnedRight = false;
    bool turnedLeft = false;
    for (int i = 0; i < 60; ++i) {
        Splash().Timer1_Timer();
        const int now = ui::LeftTwips(Bar());
        if (std::abs(now - left) != step) {
            if (now + width == end - 30) {
                turnedRight = true;
            } else {
                EXPECT_EQ(now, track + 30) << "tick " << i;
                turnedLeft = true;
            }
        }
        EXPECT_GE(now, track);
        EXPECT_LE(now + width, end);
        left = now;
    }
    EXPECT_TRUE(turnedRight && turnedLeft);
}

} // namespace
} // namespace app_tests
