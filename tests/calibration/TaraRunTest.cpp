#include "ModelingRig.h"
#include "common/Wait.h"

#include "sim/Frame.h"
#include "ui/ControlLook.h"
#include "ui/Controls.h"

#include <QFile>
#include <QLabel>
#include <cmath>
#include <functional>
#include <map>
#include <ostream>
#include <vector>

using testing_support::WaitFor;
using namespace std::chrono_literals;
using testing_support::RunFor;

namespace calibration {
// A state in a failure message: its number.
void PrintTo(TaraState state, std::ostream* os) {
    *os << static_cast<int>(state);
}
} // namespace calibration

namespace calibration_test {

namespace {

using S = calibration::TaraState;
const QString CrLf = "\r\n";
const QString Stored = "The calibration's result is stored in the ECU.";

class TaraRunTest : public ModelingRig {
protected:
    // An engine at 2200 rpm, warm, 3 ms petrol; the calibration tab shown.
    void StartWarm(double reducer = 60) {
        ecu.Engine().rpm = 2200;
        ecu.Engine().reducerTempC = reducer;
        ecu.Engine().petrolMs = 3.0;
        ecu.Ram().zone2[sim::kZ2ModeReq] = sim::kFuelPetrol;
        // Short waits: settling, rpm waits and pauses of a few ticks.
        SetTaraParams({{2, 4}, {4, 4}, {7, 2}, {16, 4}, {18, 2}});
        Start();
        ASSERT_TRUE(Connect());
        ShowTab(2);
        ecu.ClearCommandLog();
    }
    calibration::TaraRun& Run3() { return *pages.run; }
    QString Msg(int n) { return context->Texts.MsgTara[n]; }
    QString Message() { return Text("LblCalMsg"); }
    S State() { return static_cast<S>(context->TaraState); }
    void SetState(S state) { context->TaraState = static_cast<int>(state); }
    bool WaitState(S state, std::chrono::microseconds bound = 60s) {
        return WaitFor([&] { return State() == state; }, bound);
    }
    // The ECU in slave mode, as the running states need it.
    void ToSlave() {
        ecu.SetMode(sim::EcuMode::Slave);
        ASSERT_TRUE(WaitFor([&] { return context->Images.Mem2Data.EcuRunState == 1; }, 5s));
    }
    int CountOf(quint8 command) { return static_cast<int>(Commands().count(command)); }
};

TEST_F(TaraRunTest, KeyOffShowsWhyAndReturnsToIdle) {
    ecu.Engine().key = false;
    Start();
    ASSERT_TRUE(Connect());
    ShowTab(2);
    ecu.ClearCommandLog();
    Click("CmdCalStart");
    ASSERT_TRUE(WaitFor([&] { return Message() == Msg(18); }, 1s));
    const double from = time.NowUsec();
    ASSERT_TRUE(WaitFor([&] { return Message() == Msg(1); }, 4s));
    EXPECT_GT(time.NowUsec() - from, 2e6); // ten not-ready ticks
    EXPECT_EQ(State(), S::Idle);
    EXPECT_EQ(CountOf(sim::CMD_WRT_MEM2) + CountOf(sim::CMD_WRT_MEM3), 0);
    EXPECT_FALSE(window->Timer3().isActive());
    EXPECT_FALSE(Widget("CmdCalCancel").isEnabled());
}

TEST_F(TaraRunTest, TemperatureWaitPausesResumesAndAbortsToTheStart) {
    StartWarm(40);
    const QByteArray zone3 = ecu.Ram().zone3;
    const QByteArray table = ecu.Ram().correction;
    const int flags = ecu.Ram().zone2[sim::kZ2Flags];
    EXPECT_FALSE(Widget("CmdCalCancel").isEnabled());
    Click("CmdCalStart");
    ASSERT_TRUE(WaitFor([&] { return Message() == Msg(5) + CrLf + " 40 < 50"; }, 10s));
    EXPECT_EQ(ecu.Mode(), sim::EcuMode::Slave);
    const quint32 back = ui::BackColor(Widget("TxtTmpVap(1)"));
    RunFor(250ms);
    EXPECT_NE(ui::BackColor(Widget("TxtTmpVap(1)")), back); // blinking

    Click("CmdCalCancel");
    ASSERT_TRUE(WaitState(S::Paused, 1s));
    ASSERT_TRUE(WaitFor([&] { return Message().startsWith(Msg(20)); }, 1s))
        << Message().toStdString() << " state " << context->TaraState << " slave "
        << int(context->Images.Mem2Data.EcuRunState) << " rpm " << context->Images.Mem1Data.Rpm;
    Click("CmdCalStart");
    EXPECT_EQ(State(), S::WaitTemp);
    ASSERT_TRUE(WaitFor([&] { return Message().startsWith(Msg(5)); }, 1s));

    Click("CmdCalCancel");
    Click("CmdCalCancel");
    ASSERT_TRUE(WaitState(S::Idle, 10s));
    ASSERT_TRUE(WaitFor([&] { return ecu.Mode() == sim::EcuMode::Run; }, 5s));
    EXPECT_EQ(ecu.Ram().zone3, zone3);
    EXPECT_EQ(ecu.Ram().correction, table);
    EXPECT_EQ(ecu.Ram().zone2[sim::kZ2Flags], flags);
    EXPECT_EQ(ecu.Ram().zone2[sim::kZ2ModeReq], 0);
}

TEST_F(TaraRunTest, ConvergesOnTheEnginesCorrectionAndStoresIt) {
    ecu.Engine().targetMs = 1.04;
    StartWarm();
    QFile::remove(Run3().LogPath());
    Click("CmdCalStart");
    for (const char* step : {"00", "01", "02", "03"}) {
        ASSERT_TRUE(WaitFor([&] { return Text("LblCalStep") == CrLf + Msg(2) + step; }, 120s))
            << step << " " << Message().toStdString() << " state " << context->TaraState;
    }
    ASSERT_TRUE(WaitState(S::Confirm, 300s)) << "state " << context->TaraState;
    ASSERT_TRUE(WaitFor([&] { return Message() == Msg(16) + CrLf + CrLf + Msg(17); }, 1s));
    EXPECT_FLOAT_EQ(context->Images.ModPoints.Offset, 1.04f);
    EXPECT_EQ(Text("TxtOffsetPos"), "1,0");
    QFile log(Run3().LogPath());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(log.readAll());
    EXPECT_TRUE(text.startsWith("\"TaraMax Ciclo 1  TInjRef "));
    EXPECT_TRUE(text.contains("\"TaraMin Ciclo 1  TInjRef "));
    EXPECT_TRUE(text.endsWith("\"\r\n"));

    ecu.ClearCommandLog();
    Click("CmdCalStart");
    ASSERT_TRUE(WaitState(S::Idle, 10s));
    ASSERT_TRUE(WaitFor([&] { return ecu.Mode() == sim::EcuMode::Run; }, 5s));
    EXPECT_EQ(ecu.Ram().zone2[sim::kZ2ModeReq], 3);
    EXPECT_EQ(Cell(181), 1040);
    EXPECT_EQ(Cell(184), 23);
    EXPECT_EQ(CountOf(sim::CMD_SAVE_FLASH), 0);

    // The page says the result was stored until the next Start, not after that run.
    EXPECT_EQ(Message(), Stored + CrLf + CrLf + Msg(1));
    Click("CmdCalStart");
    ASSERT_TRUE(WaitFor([&] { return Widget("CmdCalCancel").isEnabled(); }, 2s));
    EXPECT_FALSE(Message().contains(Stored)) << Message().toStdString();
    Click("CmdCalCancel");
    ASSERT_TRUE(WaitState(S::Paused, 2s));
    Click("CmdCalCancel");
    ASSERT_TRUE(WaitState(S::Idle, 20s));
    EXPECT_TRUE(WaitFor([&] { return Message() == Msg(1); }, 2s)) << Message().toStdString();
}

// Each step's text stands at the top of its label, clear of the message below it; a
// wait without a count and the pause read whole, and the pause does not read finished.
TEST_F(TaraRunTest, TheWaitsAndThePauseReadWholeAndApart) {
    StartWarm();
    ToSlave();
    const QString wait = "Please wait... ";
    const QString raise = "Raise and hold the engine speed" + CrLf + CrLf + wait;
    const struct {
        S state;
        const char* step;
        QString message;
    } cases[] = {
        {S::WaitRpm, "Step 02", raise},
        {S::MaxPause, "Step 02", raise},
        {S::MinPause, "Step 03", "Keep the engine at idle" + CrLf + CrLf + wait},
        {S::Paused, "", "Calibration on hold" + CrLf + CrLf + "Start = continue, Cancel = abort"},
    };
    const QLabel& step = Get<QLabel>("LblCalStep");
    const QWidget& message = Widget("LblCalMsg");
    for (const auto& c : cases) {
        SetState(c.state);
        Run3().TaraTicks = 1000; // the state holds over the ticks looked at
        window->Timer3().start();
        const QString stepText = *c.step ? CrLf + c.step : QString();
        EXPECT_TRUE(
            WaitFor([&] { return Message().startsWith(c.message) && step.text() == stepText; }, 2s))
            << c.step << ": " << Message().toStdString();
        const QRect text = step.fontMetrics().boundingRect(
            step.contentsRect(), int(step.alignment()) | Qt::TextWordWrap, step.text());
        EXPECT_LT(text.translated(step.pos()).bottom(), message.y()) << c.step;
    }
}

// Cancel stays enabled until the idle tick after a store: two clicks landing before it
// pause and then abort a run that has ended, and the stored calibration must stay.
TEST_F(TaraRunTest, CancelRightAfterTheStoreKeepsTheStoredResult) {
    ecu.Engine().targetMs = 1.04;
    StartWarm();
    Click("CmdCalStart");
    ASSERT_TRUE(WaitState(S::Confirm, 300s)) << "state " << context->TaraState;
    ASSERT_TRUE(WaitFor([&] { return Message() == Msg(16) + CrLf + CrLf + Msg(17); }, 1s));
    Click("CmdCalStart");
    ASSERT_TRUE(WaitState(S::Idle, 10s));
    ASSERT_EQ(Cell(181), 1040);
    Run3().CmdCalCancel_Click();
    Run3().CmdCalCancel_Click();
    ASSERT_TRUE(WaitState(S::Idle, 20s)) << "state " << context->TaraState;
    ASSERT_TRUE(WaitFor([&] { return ecu.Mode() == sim::EcuMode::Run; }, 10s));
    EXPECT_EQ(Cell(181), 1040);
    EXPECT_EQ(ecu.Ram().zone2[sim::kZ2ModeReq], 3);
    EXPECT_FLOAT_EQ(context->Images.ModPoints.Offset, 1.04f);
    EXPECT_EQ(Message(), Stored + CrLf + CrLf + Msg(1));
}

TEST_F(TaraRunTest, KeyOffDuringACycleRestoresTheStart) {
    ecu.Engine().targetMs = 1.04;
    StartWarm();
    ecu.Ram().zone2[sim::kZ2Flags] = 0x02; // lambda emulation on
    ASSERT_TRUE(WaitFor([&] { return context->Images.Mem2Data.Flags == 0x02; }, 5s));
    const QByteArray zone3 = ecu.Ram().zone3;
    const QByteArray table = ecu.Ram().correction;
    const ecudata::ModRec model = context->Images.ModPoints;
    Click("CmdCalStart");
    ASSERT_TRUE(WaitState(S::MaxCycle, 120s));
    EXPECT_TRUE(boxes.join('\n').contains("Attenzione l'emulazione lambda"));
    EXPECT_EQ(ecu.Ram().zone2[sim::kZ2Flags] & 0x02, 0);
    ecu.Engine().key = false;
    ASSERT_TRUE(WaitState(S::Abort, 5s));
    ASSERT_TRUE(WaitState(S::Idle, 20s));
    ASSERT_TRUE(WaitFor([&] { return ecu.Mode() == sim::EcuMode::Run && Cell(181) == 0; }, 10s));
    EXPECT_EQ(ecu.Ram().zone3, zone3);
    EXPECT_EQ(ecu.Ram().correction, table);
    EXPECT_EQ(ecu.Ram().zone2[sim::kZ2Flags], 0x02);
    EXPECT_EQ(context->Images.ModPoints, model);
}

// The program's close aborts the run from outside its page, possibly while a state
// procedure waits further up the stack and then sets its next state: the abort holds.
TEST_F(TaraRunTest, AnAbortFromOutsideHoldsOverTheStateARunningStepSets) {
    StartWarm(40);
    const QByteArray zone3 = ecu.Ram().zone3;
    Click("CmdCalStart");
    ASSERT_TRUE(WaitState(S::WaitTemp, 10s));
    ASSERT_EQ(ecu.Mode(), sim::EcuMode::Slave);
    Run3().Abort();
    SetState(S::WaitTemp); // the waiting temperature step's own next state
    ASSERT_TRUE(WaitState(S::Idle, 20s));
    ASSERT_TRUE(WaitFor([&] { return ecu.Mode() == sim::EcuMode::Run; }, 10s));
    EXPECT_EQ(ecu.Ram().zone3, zone3);
}

TEST_F(TaraRunTest, RefusedRunCommandStillEndsInRunMode) {
    ecu.Engine().key = false;
    Start();
    ASSERT_TRUE(Connect());
    ecu.SetMode(sim::EcuMode::Slave);
    ASSERT_TRUE(WaitFor([&] { return context->Images.Mem2Data.EcuRunState == 1; }, 5s));
    ecu.AddFault(sim::ParseFault("status cmd=5 count=3").value());
    SetState(S::Abort);
    window->Timer3().start();
    ASSERT_TRUE(WaitFor([&] { return ecu.Mode() == sim::EcuMode::Run; }, 20s));
    ASSERT_TRUE(WaitFor([&] { return !window->Timer3().isActive(); }, 5s));
}

TEST_F(TaraRunTest, RefusedStoreKeepsTheConfirmationAndASecondStartStores) {
    StartWarm();
    ToSlave();
    SetState(S::Confirm);
    window->Timer3().start();
    ASSERT_TRUE(WaitFor([&] { return Message() == Msg(16) + CrLf + CrLf + Msg(17); }, 2s));
    ecu.AddFault(sim::ParseFault("status cmd=16 count=3").value());
    Click("CmdCalStart");
    EXPECT_EQ(State(), S::Confirm);
    EXPECT_FALSE(Widget("CmdCalStart").isEnabled());
    ASSERT_TRUE(WaitFor([&] { return Widget("CmdCalStart").isEnabled(); }, 2s));
    Click("CmdCalStart");
    ASSERT_TRUE(WaitState(S::Idle, 10s));
    EXPECT_EQ(ecu.Ram().zone2[sim::kZ2ModeReq], 3);
}

TEST_F(TaraRunTest, RpmEqualToTheLimitDoesNotCount) {
    StartWarm();
    ToSlave();
    const double rpm = context->Images.Mem1Data.Rpm;
    context->TaraParams.TaraPar11 = 0; // the limit is P10 itself
    context->TaraParams.TaraPar10 = rpm;
    SetState(S::WaitRpm);
    Run3().TaraTicks = 3; // past its first tick
    window->Timer3().start();
    RunFor(2s);
    EXPECT_EQ(State(), S::WaitRpm);
    EXPECT_EQ(Run3().TaraTicks, 3);
    const QString shown = QString::number(static_cast<int>(std::floor(rpm)));
    EXPECT_TRUE(Message().endsWith(CrLf + CrLf + shown + " < " + shown)) << Message().toStdString();
    context->TaraParams.TaraPar10 = rpm - 1;
    ASSERT_TRUE(WaitState(S::SampleMax, 2s));
}

// In a cycle only a live record read in the tick is a sample: a tick whose reads wait
// for a model write neither samples nor counts down.
TEST_F(TaraRunTest, ACycleTickWithoutAFreshRecordNeitherSamplesNorCounts) {
    StartWarm();
    ToSlave();
    SetState(S::MaxCycle);
    Run3().TaraTicks = calibration::MaxCycleTicks(0, context->TaraParams);
    window->Timer3().start();
    ASSERT_TRUE(WaitFor([&] { return ecu.Ram().zone2[sim::kZ2FuelState] == sim::kFuelGas; }, 5s));
    // Driven tick by tick from here: the poll cannot step the write's countdown.
    window->Timer3().stop();
    const int full = calibration::MaxCycleTicks(0, context->TaraParams);
    while (Run3().TaraTicks == full) {
        services.Timer3Tick(); // the mode reported, then the sums cleared
    }
    services.Timer3Tick(); // a sample
    const int ticks = Run3().TaraTicks;
    ASSERT_LT(ticks, full - 1);

    context->Requests.ModWriteCountdown = 5;
    services.Timer3Tick();
    EXPECT_EQ(Run3().TaraTicks, ticks);
    context->Requests.ModWriteCountdown = 0;

    services.Timer3Tick();
    EXPECT_EQ(Run3().TaraTicks, ticks - 1);
}

// A whole run, tick by tick: no tick runs inside another (the ticks' exchanges let the
// timer fire again), and each cycle and pause spends the ticks its count gives. A cycle
// counts from the tick that finds the supply mode reported: the tick that clears the
// sums, N - 1 samples and the last, which adds the Nth and closes the cycle; a pause
// counts its ticks with the mode reported. The cycles match the calibration log's.
TEST_F(TaraRunTest, AWholeRunNestsNoTickAndSpendsEachStatesCountOfTicks) {
    struct Tick {
        S state;
        bool counted; // the tick moved the state's count on or left the state
    };
    ecu.Engine().targetMs = 1.04;
    StartWarm();
    std::vector<Tick> ticks;
    int nestedBodies = 0;
    services.Timer3Tick = [&] {
        calibration::TaraRun& run = Run3();
        const qsizetype commands = ecu.CommandLog().size();
        if (run.TickUnderWay()) {
            run.Timer3_Timer();
            nestedBodies += !run.TickUnderWay() || ecu.CommandLog().size() != commands;
            return;
        }
        const S state = State();
        const int count = run.TaraTicks;
        run.Timer3_Timer();
        if (State() != state || run.TaraTicks != count || ecu.CommandLog().size() != commands) {
            ticks.push_back({state, State() != state || run.TaraTicks != count});
        }
    };
    QFile::remove(Run3().LogPath());
    Click("CmdCalStart");
    ASSERT_TRUE(WaitState(S::Confirm, 300s)) << "state " << context->TaraState;
    EXPECT_EQ(nestedBodies, 0);

    // The counted ticks of each stretch of one state, in order.
    std::map<S, std::vector<int>> stretches;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        if (i == 0 || ticks[i - 1].state != ticks[i].state) {
            stretches[ticks[i].state].push_back(0);
        }
        stretches[ticks[i].state].back() += ticks[i].counted;
    }
    const ecudata::CalibrationParams& p = context->TaraParams;
    const auto expectCounts = [&](S state, const std::function<int(int)>& count) {
        const std::vector<int>& got = stretches[state];
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i], count(static_cast<int>(i))) << "state " << int(state) << " #" << i;
        }
        return static_cast<int>(got.size());
    };
    const int maxCycles = expectCounts(S::MaxCycle, [&](int i) {
        return (i == 0 ? 4 : i == 1 ? 6 : p.TaraPar06) + 1;
    });
    const int minCycles = expectCounts(S::MinCycle, [&](int i) {
        return (i == 0 ? 6 : i == 1 ? 4 : p.TaraPar17) + 1;
    });
    EXPECT_EQ(expectCounts(S::MaxPause, [&](int i) { return i == 0 ? 8 : p.TaraPar07; }),
              maxCycles - 1);
    EXPECT_EQ(expectCounts(S::MinPause, [&](int i) { return i == 0 ? 4 : p.TaraPar18; }),
              minCycles - 1);
    ASSERT_GE(maxCycles, 2);
    ASSERT_GE(minCycles, 2);

    QFile log(Run3().LogPath());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString logged = QString::fromLatin1(log.readAll());
    EXPECT_EQ(logged.count("\"TaraMax Ciclo "), maxCycles);
    EXPECT_EQ(logged.count("\"TaraMin Ciclo "), minCycles);
    EXPECT_TRUE(logged.contains(QString("\"TaraMax Ciclo %1 ").arg(maxCycles)));
    EXPECT_TRUE(logged.contains(QString("\"TaraMin Ciclo %1 ").arg(minCycles)));
}

// Start pressed before zone 3 has been read: the live rpm has no scale yet and reads 0.
// The run neither aborts for a stopped engine nor counts towards it; once zone 3 is read
// it goes on.
TEST_F(TaraRunTest, StartBeforeTheFirstZone3ReadWaitsForItInsteadOfAborting) {
    ecu.Engine().rpm = 2200;
    ecu.Engine().reducerTempC = 60;
    ecu.Engine().petrolMs = 3.0;
    SetTaraParams({{2, 4}, {4, 4}, {7, 2}, {16, 4}, {18, 2}});
    ecu.AddFault(sim::ParseFault("status cmd=14 count=forever").value()); // zone 3 refused
    Start();
    ASSERT_TRUE(WaitFor(
        [&] {
            return context->Comm().ComState() == app::COM_READY && context->Requests.FirmwareOk;
        },
        60s));
    ShowTab(2);
    ASSERT_EQ(context->Images.AcceptedReplies[sim::CMD_READ_MEM3], 0u);
    Click("CmdCalStart");
    RunFor(5s); // twenty ticks: twice the not-ready countdown
    EXPECT_EQ(State(), S::Start);
    EXPECT_NE(Message(), Msg(19)) << "told as a stopped engine";
    EXPECT_EQ(CountOf(sim::CMD_WRT_MEM3), 0) << "an abort wrote the start back";

    ecu.ClearFaults();
    EXPECT_TRUE(WaitState(S::Settle, 30s))
        << "state " << context->TaraState << " " << Message().toStdString();
}

TEST_F(TaraRunTest, NotReadyAbortsOnTheTenthCall) {
    StartWarm();
    ToSlave();
    SetState(S::Settle);
    Run3().TaraTicks = 1000;
    ecu.Engine().rpm = 0;
    for (int call = 1; call <= 10; ++call) {
        services.Timer3Tick();
        EXPECT_EQ(State(), call < 10 ? S::Settle : S::Abort) << call;
    }
}

} // namespace

} // namespace calibration_test
