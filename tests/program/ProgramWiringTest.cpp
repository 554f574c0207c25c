// The program's composition as main makes it: every slot of the callback tables filled
// and the link handing its zone replies to a host. And what an unfilled slot does: called,
// it stops the program with its table's name and its own; a test rig's explicit
// do-nothing never reports success.

#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "app/StartUp.h"
#include "common/BuildTools.h"
#include "common/FillUnwired.h"
#include "common/MsgBoxCapture.h"
#include "common/TempTree.h"
#include "monitor/MonitorHooks.h"
#include "platform/FtdiFake.h"
#include "platform/SerialPosix.h"
#include "program/Program.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

std::string Names(const QStringList& names) {
    return names.join(", ").toStdString();
}

// A staged tree with the shipped data files and a prepared context whose drivers open
// nothing (no port is opened before the window's timers run).
class ProgramWiring : public ::testing::Test {
protected:
    ProgramWiring() {
        for (const char* file : {"LNG/ConfigScale.ini", "LNG/M3.diz", "LNG/M3.con",
                                 "LNG/Lables.cfg", "BIN/Flash.ini", "BIN/TarvencoInj468.frh"}) {
            tree.Write(file, testing_support::ReadFixture(testing_support::StagedRootPath(file)));
        }
        app::PrepareProgram(context, tree.Path("BIN"));
    }

    testing_support::TempTree tree;
    testing_support::MsgBoxCapture boxes;
    app::ProgramContext context{std::make_unique<platform::PosixSerialPort>(),
                                std::make_unique<platform::FakeFtdiDriver>()};
};

TEST_F(ProgramWiring, FillsEverySlotAndGivesTheLinkAHost) {
    program::Program program(context);
    EXPECT_EQ(Names(program.services.Unfilled()), "") << "slots the program leaves unfilled";
    EXPECT_EQ(Names(program.liveMonitor.hooks.Unfilled()), "")
        << "slots the program leaves unfilled";
    EXPECT_EQ(Names(program.liveMonitor.displays.Unfilled()), "")
        << "slots the program leaves unfilled";
    EXPECT_NE(context.Comm().Host(), nullptr) << "the link hands its zone replies to no one";
}

TEST(CallbackSlotsDeathTest, AnUnfilledSlotCalledStopsTheProgramNamingIt) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    app::PageServices services;
    monitor::MonitorHooks hooks;
    bool redraw = true;
    EXPECT_DEATH(services.Timer3Tick(), "PageServices::Timer3Tick was called, but the program "
                                        "never wired it");
    EXPECT_DEATH(services.PlottaMatricePuntiMod(redraw), "PageServices::PlottaMatricePuntiMod");
    EXPECT_DEATH(hooks.FileParametriInvia("P.par"), "MonitorHooks::FileParametriInvia");
    EXPECT_DEATH(hooks.CurrentTab(), "MonitorHooks::CurrentTab");
}

TEST(CallbackSlots, TheTablesListTheirUnfilledSlots) {
    app::PageServices services;
    EXPECT_EQ(services.Unfilled().size(), static_cast<qsizetype>(services.Slots().size()));
    EXPECT_EQ(services.Unfilled().first(), "PageServices::Timer1Tick");
    services.Timer1Tick.FillWithNothing(); // a page's explicit reset counts
    services.LoadEmulaFromParFile = [](const QString&) {};
    EXPECT_FALSE(services.Unfilled().contains("PageServices::Timer1Tick"));
    EXPECT_FALSE(services.Unfilled().contains("PageServices::LoadEmulaFromParFile"));
    EXPECT_TRUE(services.Unfilled().contains("PageServices::Timer2Tick"));
}

TEST(CallbackSlots, ARigsDoNothingAnswersZeroAndKeepsWhatTheRigWired) {
    monitor::MonitorHooks hooks;
    hooks.CurrentTab = [] { return 3; };
    testing_support::FillUnwiredWithNothing(hooks);
    EXPECT_EQ(Names(hooks.Unfilled()), "");
    EXPECT_EQ(hooks.CurrentTab(), 3);
    EXPECT_FALSE(hooks.FileParametriInvia("P.par")) << "an unwired send never counts as done";
    EXPECT_FALSE(hooks.ModButtonHeld());
    hooks.ElaboraMsgCom();
}

} // namespace
