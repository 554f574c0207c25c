// The poll scheduler: the six countdowns, the deferred writes, the refresh after a
// complete read and the polling of a connected ECU.

#include "MonitorRig.h"
#include "common/Wait.h"

#include "link/Frames.h"
#include "monitor/PollScheduler.h"

#include <QMap>
#include <gtest/gtest.h>

using testing_support::RunFor;
using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace monitor_test {
namespace {

using comm::ClsComm;

// The scheduler alone: no link step runs, so no exchange can complete, and every
// display records the ticks it ran at.
class PollScheduler : public ::testing::Test {
protected:
    PollScheduler() {
        rig.timer1Running = rig.timer2Running = false;
        ecudata::EcuRequests fresh;
        fresh.FirmwareOk = true;
        fresh.PollCountdown = {3, 7, 17, 23, 53, 101};
        rig.ctx.Requests = fresh;
        monitor::LiveDisplays& d = rig.monitor.displays;
        for (auto [name, display] :
             {std::pair{"ShowRpm", &d.ShowRpm}, std::pair{"ShowLambda", &d.ShowLambda},
              std::pair{"ShowEcuStatus", &d.ShowEcuStatus},
              std::pair{"ShowTemperatures", &d.ShowTemperatures},
              std::pair{"ShowErrorButton", &d.ShowErrorButton}}) {
            *display = [this, key = QString(name)] { calls[key] << rig.timer2Ticks; };
        }
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) {
            rig.Tick2();
        }
    }

    MonitorRig rig;
    ecudata::EcuRequests& r = rig.ctx.Requests;
    QMap<QString, QList<int>> calls;
};

QList<int> Every(int first, int period, int last) {
    QList<int> ticks;
    for (int t = first; t <= last; t += period) {
        ticks << t;
    }
    return ticks;
}

TEST_F(PollScheduler, CountdownsFireEveryReloadPlusOneTicks) {
    Ticks(1200);
    EXPECT_EQ(calls["ShowRpm"], Every(4, 4, 1200));
    EXPECT_EQ(calls["ShowLambda"], Every(8, 8, 1200));
    EXPECT_EQ(calls["ShowEcuStatus"], Every(24, 24, 1200));
    EXPECT_EQ(calls["ShowTemperatures"], Every(54, 54, 1200));
    // The first error read 102 ticks after the window loads, then every 504th.
    EXPECT_EQ(calls["ShowErrorButton"], (QList<int>{102, 606, 1110}));
}

TEST_F(PollScheduler, NothingMovesUntilTheEcuIsIdentified) {
    r.FirmwareOk = false;
    int identifications = 0;
    rig.monitor.hooks.ElaboraMsgCom = [&identifications] { ++identifications; };
    Ticks(100);
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_EQ(r.PollCountdown, (std::array<qint32, 6>{3, 7, 17, 23, 53, 101}));
    EXPECT_EQ(identifications, 100) << "the splash is served at every tick";
    EXPECT_FALSE(r.ReqReadMem1);
}

TEST_F(PollScheduler, DeferredWritesTurnIntoReadAndWriteRequests) {
    struct Case {
        const char* name;
        std::function<void(ecudata::EcuRequests&)> arm;
        std::function<bool(const ecudata::EcuRequests&)> raised;
        int atTick; // the tick of the countdown expiry that raises them
    };
    const Case cases[] = {
        {"zone 2, next 4th-tick expiry", [](auto& q) { q.Mem2WriteCountdown = 1.0; },
         [](const auto& q) { return q.ReqWriteMem2 && q.Mem2WriteCountdown == 0.0; }, 4},
        {"zone 3 armed with 4.0, fourth 8th-tick expiry",
         [](auto& q) { q.Mem3WriteCountdown = 4.0; },
         [](const auto& q) { return q.ReqWriteMem3 && q.ReqReadMem3; }, 32},
        {"emulation block, next 8th-tick expiry", [](auto& q) { q.EmulaWriteCountdown = 1; },
         [](const auto& q) { return q.ReqWriteEmus && q.ReqReadEmus; }, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MonitorRig fresh;
        fresh.timer1Running = fresh.timer2Running = false;
        ecudata::EcuRequests& q = fresh.ctx.Requests;
        q = {};
        q.FirmwareOk = true;
        q.PollCountdown = {3, 7, 17, 23, 53, 101};
        c.arm(q);
        for (int t = 1; t < c.atTick; ++t) {
            fresh.Tick2();
        }
        EXPECT_FALSE(c.raised(q));
        fresh.Tick2();
        EXPECT_TRUE(c.raised(q));
    }
}

TEST_F(PollScheduler, FuelSwitchWaitsForTheEvery18thTick) {
    r.ReqSwitchFuelMode = 1;
    Ticks(17);
    EXPECT_EQ(r.ReqSwitchFuelMode, 1);
    Ticks(1);
    EXPECT_EQ(r.ReqSwitchFuelMode, 0) << "served (here it fails: no link)";
}

TEST_F(PollScheduler, QueuedParameterFileIsSentWithTimer2PausedUntilItGoesThrough) {
    rig.timer2Running = true; // as the window's timer runs the ticks
    QList<bool> pausedDuringSend;
    bool accept = false;
    rig.monitor.hooks.FileParametriInvia = [&](const QString& path) {
        EXPECT_EQ(path, "/tmp/set.var");
        EXPECT_TRUE(rig.ctx.ParamFileSending);
        pausedDuringSend << !rig.timer2Running;
        return accept;
    };
    rig.ctx.ParamFilePending = "/tmp/set.var";
    Ticks(8);
    EXPECT_EQ(pausedDuringSend, QList<bool>{true});
    EXPECT_TRUE(rig.timer2Running);
    EXPECT_EQ(rig.ctx.ParamFilePending, "/tmp/set.var") << "kept for another try";
    EXPECT_TRUE(rig.ctx.ParamFileSending);

    accept = true;
    Ticks(8);
    EXPECT_EQ(pausedDuringSend.size(), 2) << "tried again at the next 8th tick";
    EXPECT_TRUE(rig.ctx.ParamFilePending.isEmpty());
    EXPECT_FALSE(rig.ctx.ParamFileSending);
}

TEST_F(PollScheduler, ModelCountdownOfOneIsNeverSent) {
    r.ModWriteCountdown = 1.0;
    Ticks(200);
    EXPECT_EQ(r.ModWriteCountdown, 1.0);
    EXPECT_EQ(rig.Received(comm::CMD_WRT_TBL_COR), 0);
}

TEST_F(PollScheduler, RefreshAfterACompleteReadWaitsOnlyForTheZoneReads) {
    QStringList done;
    rig.pages.RefreshParamPages = [&done] { done << "pages"; };
    rig.monitor.hooks.UpdateCorTable = [&done](bool force) { done << (force ? "cor" : "?"); };
    r.RefreshPending = r.FirstReadPending = true;
    rig.ctx.DefaultParamPending = 1;
    r.ReqReadDcol = true;
    r.ReqReadMem1 = r.ReqReadSmplGas = r.ReqReadSmplBnz = true;
    Ticks(1);
    EXPECT_TRUE(done.isEmpty()) << "the test-record read is still pending";

    r.ReqReadDcol = false;
    const double before = rig.time.NowUsec();
    Ticks(1);
    EXPECT_EQ(done, (QStringList{"pages", "cor"}));
    EXPECT_GE(rig.time.NowUsec() - before, 1e6) << "after a second's pause";
    EXPECT_FALSE(r.RefreshPending);
    EXPECT_FALSE(r.FirstReadPending);
    EXPECT_EQ(rig.ctx.DefaultParamPending, 0);

    // A held model button keeps the working correction table.
    done.clear();
    r.RefreshPending = true;
    rig.monitor.hooks.ModButtonHeld = [] { return true; };
    Ticks(1);
    EXPECT_EQ(done, QStringList{"pages"});
}

TEST_F(PollScheduler, AcquisitionRaisesTheSampleReadsEveryFifthSlowExpiry) {
    bool acquiring = true;
    rig.monitor.hooks.AcquisitionEnabled = [&acquiring] { return acquiring; };
    QList<int> raisedAt;
    for (int expiry = 1; expiry <= 12; ++expiry) {
        Ticks(54);
        if (r.ReqReadSmplGas && r.ReqReadSmplBnz) {
            raisedAt << expiry;
            if (expiry != 5) {
                r.ReqReadSmplGas = r.ReqReadSmplBnz = false; // served
            }
        }
    }
    // Still pending after the 5th expiry: not armed again until served at the 6th.
    EXPECT_EQ(raisedAt, (QList<int>{5, 6, 11}));
}

struct InjectorCase {
    qint16 cylinders;
    std::array<quint8, 8> states;
    std::array<quint8, 8> written; // 255: no edit
    double countdown;
};

TEST(FixInjectorEnables, SwitchesOffInjectorsBeyondTheCylindersAndOnTheFirst) {
    const InjectorCase cases[] = {
        {4, {1, 1, 1, 1, 0, 0, 0, 0}, {255, 255, 255, 255, 255, 255, 255, 255}, 0.0},
        {4, {1, 1, 1, 1, 1, 0, 3, 0}, {255, 255, 255, 255, 0, 255, 0, 255}, 1.0},
        {4, {0, 1, 1, 1, 0, 0, 0, 0}, {1, 255, 255, 255, 255, 255, 255, 255}, 1.0},
        {8, {4, 3, 3, 3, 3, 3, 3, 3}, {255, 255, 255, 255, 255, 255, 255, 255}, 0.0},
    };
    for (const InjectorCase& c : cases) {
        ecudata::EcuImages images;
        ecudata::EcuRequests requests;
        images.Mem3Data.Cilindri = c.cylinders;
        images.Mem3Data.CylState = c.states;
        monitor::FixInjectorEnables(images, requests);
        EXPECT_EQ(images.Mem3Write.CylState, c.written) << c.cylinders;
        EXPECT_EQ(requests.Mem3WriteCountdown, c.countdown) << c.cylinders;
    }
}

// With the link and the ECU: identification, the complete read, then the periodic reads.
TEST(PollingTheEcu, ReadsEveryZoneOnceThenPollsAtTheirRates) {
    MonitorRig rig;
    ASSERT_TRUE(WaitFor([&rig] { return rig.ctx.Requests.FirmwareOk; }, 60s));
    ASSERT_TRUE(WaitFor([&rig] { return !rig.ctx.Requests.FirstReadPending; }, 60s));
    EXPECT_TRUE(rig.events.contains("RefreshParamPages"));
    const QList<quint8> first = rig.Commands();
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(first.first(), comm::CMD_READ_FIRMWARE);
    for (quint8 zone : {comm::CMD_READ_MEM1, comm::CMD_READ_MEM2, comm::CMD_READ_MEM3,
                        comm::CMD_READ_EMUS, comm::CMD_READ_TBL_COR, comm::CMD_READ_DCOL_FL}) {
        EXPECT_TRUE(first.contains(zone)) << int(zone);
    }

    rig.ecu.ClearCommandLog();
    const int ticksBefore = rig.timer2Ticks;
    RunFor(20s);
    const int ticks = rig.timer2Ticks - ticksBefore;
    // A periodic read raised again before it was served is read once: with the slower
    // reads ahead of it in the server's order, the live record loses a few.
    const auto near = [ticks](int count, int period) {
        return count >= ticks / period * 0.85 - 2 && count <= ticks / period + 2;
    };
    EXPECT_PRED2(near, rig.Received(comm::CMD_READ_MEM1), 8);
    EXPECT_PRED2(near, rig.Received(comm::CMD_READ_MEM2), 24);
    EXPECT_PRED2(near, rig.Received(comm::CMD_READ_MEM3), 54);
    EXPECT_PRED2(near, rig.Received(comm::CMD_READ_ERR), 504);
    EXPECT_EQ(rig.Received(comm::CMD_READ_FIRMWARE), 0) << "identified once";
    EXPECT_LE(rig.Received(comm::CMD_GET_ADR_VAR), 1);
    EXPECT_TRUE(rig.ctx.Comm().RichiediIndVar());
    EXPECT_TRUE(rig.boxes.boxes.empty());
}

TEST(PollingTheEcu, ModelAndTableWritesGoOutAtOnceAndFailedOnesAreRetried) {
    MonitorRig rig;
    ecudata::EcuRequests& r = rig.ctx.Requests;
    ASSERT_TRUE(WaitFor([&r] { return r.FirmwareOk && !r.FirstReadPending; }, 60s));

    r.CompWriteTable = 1;
    r.CompWriteCountdown = 6;
    ASSERT_TRUE(WaitFor([&r] { return r.CompWriteCountdown == 0; }, 60s));
    const QList<quint8> commands = rig.Commands();
    EXPECT_TRUE(commands.contains(comm::CMD_WRITE_COMP_RID_TEMP) ||
                commands.contains(comm::CMD_WRITE_COMP_GAS_TEMP) ||
                commands.contains(comm::CMD_WRITE_COMP_PRES_GAS) ||
                commands.contains(comm::CMD_WRITE_CMP_SMAG));

    rig.ctx.Images.ModPoints = LineModel();
    sim::Fault lost;
    lost.command = comm::CMD_WRT_TBL_COR;
    lost.count = sim::kForever;
    rig.ecu.AddFault(lost);
    r.ModWriteCountdown = 2.0;
    ASSERT_TRUE(WaitFor([&r] { return r.ModWriteCountdown == 10.0; }, 60s));
    rig.ecu.ClearFaults();
    ASSERT_TRUE(WaitFor([&r] { return r.ModWriteCountdown == 0.0; }, 60s));
    EXPECT_FLOAT_EQ(rig.ctx.Images.TblCorRead[182], 1.25) << "written and read back";
    EXPECT_TRUE(r.FirmwareOk);
}

} // namespace
} // namespace monitor_test
