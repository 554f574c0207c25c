#include "viewer/OpenViewer.h"
#include "LiveWindowRig.h"
#include "common/Wait.h"
#include "ui/Controls.h"
#include "viewer/FrmView.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

class OpenViewerTest : public monitor_test::LiveWindowRig {
protected:
    // Opens the viewer; while it is shown, during runs once and the viewer is closed.
    // A refused opening leaves the look-up pending; it then finds nothing.
    bool OpenAndClose(const std::function<void(viewer::FrmView&)>& during) {
        opened_ = false;
        during_ = during;
        QTimer::singleShot(0, window.get(), [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* view = dynamic_cast<viewer::FrmView*>(w); view && view->isVisible()) {
                    opened_ = true;
                    during_(*view);
                    view->close();
                }
            }
        });
        viewer::OpenViewer(*context, *window, monitor->hooks, labels_.get());
        return opened_;
    }
    // The window's labels, bound as the program's composition binds them.
    void BindLabels() { labels_ = std::make_unique<viewer::ChannelLabels>(*window); }

private:
    bool opened_ = false;
    std::function<void(viewer::FrmView&)> during_;
    std::unique_ptr<viewer::ChannelLabels> labels_;
};

} // namespace

TEST_F(OpenViewerTest, OpensModallyWithTheLabelsNamesAndGivesBackTimer2AndKgm) {
    context->Comm().ComState(comm::COM_STOP);
    context->Scale.K_gm = 123;
    window->Timer2().start(1000000);
    BindLabels();
    bool timer2DuringView = true;
    QString vacuumName;
    QString pressureName;
    EXPECT_TRUE(OpenAndClose([&](viewer::FrmView& view) {
        timer2DuringView = window->Timer2().isActive();
        vacuumName = view.findChild<QLabel*>("LblSignal(2)")->text();
        pressureName = view.findChild<QLabel*>("LblSignal(3)")->text();
        context->Scale.K_gm = 7; // as a loaded log's header would
    }));
    EXPECT_FALSE(timer2DuringView);
    EXPECT_TRUE(window->Timer2().isActive());
    window->Timer2().stop();
    EXPECT_EQ(context->Scale.K_gm, 123);
    // Channel 2 is named from the pressure label, channel 3 from the vacuum label.
    EXPECT_EQ(vacuumName, ui::Caption(window->Control("LblCalPres")).trimmed());
    EXPECT_EQ(pressureName, ui::Caption(window->Control("LblCalVacuum")).trimmed());
}

TEST_F(OpenViewerTest, RefusedSilentlyWhileTheLinkTickRunsOrTheLinkTimedOut) {
    context->Comm().ComState(comm::COM_STOP);
    window->Timer1Busy.Begin();
    EXPECT_FALSE(OpenAndClose([](viewer::FrmView&) {}));
    window->Timer1Busy.End();
    context->Comm().WDogPresente(true);
    EXPECT_FALSE(OpenAndClose([](viewer::FrmView&) {}));
    EXPECT_TRUE(boxes.boxes.empty());
    QCoreApplication::processEvents();
}

TEST_F(OpenViewerTest, AClickInsideThePollTickOpensTheViewerOnceTheTickHasEnded) {
    context->Comm().ComState(comm::COM_STOP);
    window->Timer2Busy.Begin(); // the click came through a wait of the poll scheduler's tick
    EXPECT_FALSE(OpenAndClose([](viewer::FrmView&) {}));
    window->Timer2Busy.End();
    bool opened = false;
    // Looks for the viewer until it shows, also from inside its modal loop.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* view = dynamic_cast<viewer::FrmView*>(w); view && view->isVisible()) {
                opened = true;
                view->close();
            }
        }
    });
    watch.start(5);
    // The gate looks again on a timer of the window system's clock, which a wait on the
    // simulated clock leaves to the event loop: the look lets it run.
    EXPECT_TRUE(testing_support::WaitFor(
        [&] {
            QCoreApplication::processEvents();
            return opened;
        },
        std::chrono::seconds(60)));
}

// A rig whose composition binds no labels hands none: the viewer opens with its channels
// unnamed.
TEST_F(OpenViewerTest, WithoutBoundLabelsTheChannelsGoUnnamed) {
    context->Comm().ComState(comm::COM_STOP);
    QString vacuumName = "<not read>";
    EXPECT_TRUE(OpenAndClose([&](viewer::FrmView& view) {
        vacuumName = view.findChild<QLabel*>("LblSignal(2)")->text();
    }));
    EXPECT_EQ(vacuumName, "");
}
