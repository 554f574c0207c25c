// The automatic calibration of the real program against lx735-sim, driven by the
// Calibration tab's buttons: the key-off refusal, the temperature wait with pause,
// resume and abort, a run that converges on the simulated engine's correction and
// stores it, an abort in a cycle that restores the start (also when the first run-mode
// command is refused) and gives back the starting table word for word, a link lost in a
// run and the abort written once it is back, a dropout that keeps a shown result, and a
// slow reply that is no lost link. A whole run's pace is measured by
// bench/lx735-bench-calibration.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <functional>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 60000;
const QString CrLf = "\r\n";
// The dictionary's texts (LNG/M3.diz, English).
const QString Idle = "Press Start to begin the calibration.";
const QString KeyOff = "The ignition key is off";
const QString WaitTemp = "Waiting for the reducer temperature";
const QString OnHold = "Calibration on hold";
const QString Stored = "The calibration's result is stored in the ECU.";
const QString LinkLost = "The link to the ECU was lost";
const QString Aborted = "Calibration aborted";
const QString Confirm = "Calibration successful" + CrLf + CrLf + "Press Start to store the result";
const QString ResultKept = "The result is kept: Start and Cancel act once the ECU answers again.";
// Cells the installer had (25, 40 and -13 counts) where the model their table gives
// computes 0: only the words themselves put them back.
const QString InstallersCells = "correction 80 19002800F3FF";
const QList<int> InstallersWords = {25, 40, -13};

// The link timings the program ships with (what it uses without port settings): a pause
// after each byte sent, the reply looked for no sooner than the idle time after the
// request.
struct LinkPace {
    double byteUsec = 500;
    double idleUsec = 100000;
};

class EndToEndCalibration : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(staged.Valid()); }

    // Short waits and samples in the staged ConfigScale.ini; the engine at 2200 rpm on
    // petrol, the program on the Calibration tab. The simulator answers at once unless
    // told otherwise (simArgs).
    void Open(const QString& engine, const QStringList& simArgs = {"--fast"}) {
        ASSERT_TRUE(staged.StartOnCalibrationTab(engine, simArgs));
    }
    QString Text(const QString& control) {
        const auto fields = staged.ReadControl(control);
        return fields ? fields->value("text") : "<refused>";
    }
    bool Shows(const QString& control, const QString& text, int ms = LongMs) {
        return WaitFor([&] { return Text(control) == text; }, ms * 1ms);
    }
    std::optional<SimDump> Sim() { return staged.SimState("com1"); }
    bool SimMode(const QString& mode) {
        return WaitFor([&] { return Sim() && Sim()->mode == mode; }, LongMs * 1ms);
    }
    // The staged port settings with the shipped timings and resends.
    void UseLinkPace(const LinkPace& pace) {
        QList<QByteArray> lines = staged.Read("BIN/SetCom.ini").split('\n');
        for (const auto& [marker, value] : {std::pair{"[AttesaByteTx_usec]", pace.byteUsec},
                                            {"[Idle_usec]", pace.idleUsec},
                                            {"[AttesaGlobale_usec]", 4e6},
                                            {"[NumResend]", 10.0}}) {
            const qsizetype at = lines.indexOf(QByteArray(marker) + "\r");
            ASSERT_GE(at, 0) << marker;
            lines[at + 1] = QByteArray::number(value, 'f', 0) + "\r";
        }
        ASSERT_TRUE(staged.Write("BIN/SetCom.ini", lines.join('\n')));
    }
    QStringList RequestsSince(qsizetype from) {
        QStringList names;
        for (const LoggedRequest& r : staged.Requests().mid(from)) {
            names << r.name;
        }
        return names;
    }

    // Starts a run on a table with the installer's cells, lets the run's model reach the
    // ECU in step 02, aborts by abort, and expects the starting table back word for word
    // with the ECU in run mode.
    void ExpectTheStartingTableBackAfter(const std::function<bool()>& abort) {
        Open("set target 1.04\n" + InstallersCells);
        const std::optional<SimDump> start = Sim();
        ASSERT_TRUE(start);
        ASSERT_EQ(start->Words("correction", 40, 3), InstallersWords);
        ASSERT_TRUE(staged.Run({"click CmdCalStart"}));
        ASSERT_TRUE(Shows("LblCalStep", CrLf + "Step 02", 120000));
        ASSERT_TRUE(WaitFor(
            [&] {
                const std::optional<SimDump> now = Sim();
                return now && now->Words("correction", 40, 3) != InstallersWords;
            },
            LongMs * 1ms));
        ASSERT_TRUE(abort());
        ASSERT_TRUE(Shows("LblCalMsg", Idle));
        ASSERT_TRUE(SimMode("run"));
        const std::optional<SimDump> end = Sim();
        ASSERT_TRUE(end);
        EXPECT_EQ(end->images.value("correction"), start->images.value("correction"));
        EXPECT_EQ(end->images.value("zone3"), start->images.value("zone3"));
    }

    StagedProgram staged;
};

TEST_F(EndToEndCalibration, KeyOffShowsWhyAndReturnsToIdle) {
    Open("set key 0");
    const qsizetype before = staged.Requests().size();
    // The refusal shows for one calibration step only: the program itself watches for it.
    ASSERT_TRUE(staged.Run({"click CmdCalStart", "until LblCalMsg text \"" + KeyOff + "\" 5000"}));
    EXPECT_TRUE(Shows("LblCalMsg", Idle, 4000));
    const QStringList requests = RequestsSince(before);
    EXPECT_FALSE(requests.contains("CMD_WRT_MEM2"));
    EXPECT_FALSE(requests.contains("CMD_WRT_MEM3"));
}

// With the program's pauses at their real length: the start's and the abort's.
TEST_F(EndToEndCalibration, TemperatureWaitPausesResumesAndAbortsToTheStart) {
    staged.SetTimeScale(1);
    Open("set reducer 40");
    const std::optional<SimDump> start = Sim();
    ASSERT_TRUE(start);
    ASSERT_TRUE(staged.Run({"click CmdCalStart"}));
    ASSERT_TRUE(SimMode("slave"));
    ASSERT_TRUE(Shows("LblCalMsg", WaitTemp + CrLf + " 40 < 50"));
    ASSERT_TRUE(staged.Run({"click CmdCalCancel"}));
    ASSERT_TRUE(WaitFor([&] { return Text("LblCalMsg").startsWith(OnHold); }, LongMs * 1ms));
    ASSERT_TRUE(staged.Run({"click CmdCalStart"}));
    ASSERT_TRUE(Shows("LblCalMsg", WaitTemp + CrLf + " 40 < 50"));
    ASSERT_TRUE(staged.Run({"click CmdCalCancel", "click CmdCalCancel"}));
    ASSERT_TRUE(Shows("LblCalMsg", Idle));
    ASSERT_TRUE(SimMode("run"));
    const std::optional<SimDump> end = Sim();
    ASSERT_TRUE(end);
    EXPECT_EQ(end->images.value("zone3"), start->images.value("zone3"));
    EXPECT_EQ(end->images.value("correction"), start->images.value("correction"));
    EXPECT_EQ(end->Hex("zone2", 11, 1), start->Hex("zone2", 11, 1)); // the flags
}

TEST_F(EndToEndCalibration, ConvergesOnTheEnginesCorrectionAndStoresIt) {
    Open("set target 1.04");
    ASSERT_TRUE(staged.Run({"click CmdCalStart"}));
    for (const char* step : {"00", "01", "02", "03"}) {
        ASSERT_TRUE(Shows("LblCalStep", CrLf + "Step " + step, 120000)) << step;
    }
    ASSERT_TRUE(Shows("LblCalMsg", Confirm, 180000)) << Text("LblCalMsg").toStdString();
    const QString log = QString::fromLatin1(staged.Read("BIN/TaraCorr.txt"));
    EXPECT_TRUE(log.startsWith("\"TaraMax Ciclo 1  TInjRef ")) << log.toStdString();
    EXPECT_TRUE(log.contains("\r\n\"TaraMin Ciclo 1  TInjRef "));

    ASSERT_TRUE(staged.Run({"click CmdCalStart"}));
    ASSERT_TRUE(Shows("LblCalMsg", Stored + CrLf + CrLf + Idle));
    ASSERT_TRUE(SimMode("run"));
    const std::optional<SimDump> end = Sim();
    ASSERT_TRUE(end);
    EXPECT_EQ(end->Hex("zone2", 0, 1), "03");
    EXPECT_EQ(end->Words("correction", 181, 1), QList<int>{1040});
    EXPECT_EQ(end->Words("correction", 184, 1), QList<int>{23});
}

TEST_F(EndToEndCalibration, KeyOffInACycleRestoresTheStart) {
    Open("set target 1.04\nzone2 11 02");
    const std::optional<SimDump> start = Sim();
    ASSERT_TRUE(start);
    ASSERT_TRUE(staged.Run({"click CmdCalStart"}));
    ASSERT_TRUE(Shows("LblCalStep", CrLf + "Step 02", 120000));
    bool warned = false;
    for (const ProgramEvent& e : staged.Events()) {
        warned = warned || e.text.contains("Attenzione l'emulazione lambda");
    }
    EXPECT_TRUE(warned);
    // The key goes off, and the ECU refuses the first run-mode command on every resend.
    ASSERT_TRUE(staged.SimControl("com1", "status cmd=5 count=3\nset key 0"));
    ASSERT_TRUE(Shows("LblCalMsg", Idle));
    ASSERT_TRUE(SimMode("run"));
    ASSERT_TRUE(WaitFor(
        [&] {
            const std::optional<SimDump> end = Sim();
            return end && end->images.value("correction") == start->images.value("correction");
        },
        LongMs * 1ms));
    const std::optional<SimDump> end = Sim();
    ASSERT_TRUE(end);
    EXPECT_EQ(end->images.value("zone3"), start->images.value("zone3"));
    EXPECT_EQ(end->Hex("zone2", 11, 1), "02"); // the emulation flag given back
}

TEST_F(EndToEndCalibration, CancelTwiceGivesBackTheStartingTableWordForWord) {
    ExpectTheStartingTableBackAfter([&] {
        return staged.Run({"click CmdCalCancel", "click CmdCalCancel"});
    });
}

TEST_F(EndToEndCalibration, AStoppedEngineGivesBackTheStartingTableWordForWord) {
    ExpectTheStartingTableBackAfter([&] { return staged.SimControl("com1", "set rpm 0"); });
}

// The simulated ECU ends in a cycle: the page says that the link was lost (not that the
// engine stopped), and once an ECU is on the line again the abort puts back what the run
// changed and leaves it in run mode.
TEST_F(EndToEndCalibration, ALostLinkIsToldAndTheAbortIsWrittenOnceTheLinkIsBack) {
    Open("set target 1.04");
    const std::optional<SimDump> start = Sim();
    ASSERT_TRUE(start);
    ASSERT_TRUE(staged.Run({"click CmdCalStart"}));
    ASSERT_TRUE(Shows("LblCalStep", CrLf + "Step 02", 120000));
    ASSERT_TRUE(staged.StopSim("com1"));
    ASSERT_TRUE(Shows("LblCalMsg", LinkLost));
    ASSERT_TRUE(Shows("LblCalMsg", Aborted)); // and it waits for a line to write to
    const qint64 back = staged.LogLines().last().ms;
    ASSERT_FALSE(staged.StartSim("com1", {"--fast"}).isEmpty());
    ASSERT_TRUE(staged.SimControl("com1", "set rpm 2200\nset petrol 3.0\nset reducer 60"));
    ASSERT_TRUE(Shows("LblCalMsg", Idle));
    ASSERT_TRUE(SimMode("run"));
    EXPECT_FALSE(GoodExchangesAfter(staged, "CMD_WRT_MEM3", back).isEmpty());
    EXPECT_FALSE(GoodExchangesAfter(staged, "CMD_WRT_MEM2", back).isEmpty());
    const std::optional<SimDump> end = Sim();
    ASSERT_TRUE(end);
    EXPECT_EQ(end->images.value("zone3"), start->images.value("zone3"));
    EXPECT_EQ(end->Hex("zone2", 0, 1), "00"); // supply mode 0
}

// A link that drops out while the result waits to be stored: the page says so and keeps
// the result; nothing is undone; a Start pressed meanwhile stores once the ECU answers.
TEST_F(EndToEndCalibration, ALinkDropoutKeepsTheResultForTheInstallersPress) {
    Open("set target 1.04");
    ASSERT_TRUE(staged.Run({"click CmdCalStart"}));
    ASSERT_TRUE(Shows("LblCalMsg", Confirm, 180000)) << Text("LblCalMsg").toStdString();
    const QString kept = LinkLost + CrLf + CrLf + ResultKept;
    ASSERT_TRUE(staged.SimControl("com1", "hangup value=6000000"));
    ASSERT_TRUE(Shows("LblCalMsg", kept));
    ASSERT_TRUE(Shows("LblCalMsg", Confirm));
    const std::optional<SimDump> back = Sim();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->mode, "slave");
    EXPECT_EQ(back->Words("correction", 181, 1), QList<int>{1040});

    ASSERT_TRUE(staged.SimControl("com1", "hangup value=6000000"));
    ASSERT_TRUE(Shows("LblCalMsg", kept));
    ASSERT_TRUE(staged.Run({"click CmdCalStart"}));
    ASSERT_TRUE(Shows("LblCalMsg", Stored + CrLf + CrLf + Idle));
    ASSERT_TRUE(SimMode("run"));
    const std::optional<SimDump> end = Sim();
    ASSERT_TRUE(end);
    EXPECT_EQ(end->Hex("zone2", 0, 1), "03");
    EXPECT_EQ(end->Words("correction", 181, 1), QList<int>{1040});
}

// On the shipped timings one zone-3 read's reply takes nearly the whole reply wait in
// step 02: the run's own reads find no fresh record meanwhile, but the link is up, so
// the run goes on to its result.
TEST_F(EndToEndCalibration, AReplyThatTakesTheWholeWaitIsNoLostLink) {
    UseLinkPace(LinkPace{});
    Open("set target 1.04", {});
    ASSERT_TRUE(staged.Run({"click CmdCalStart"}));
    ASSERT_TRUE(Shows("LblCalStep", CrLf + "Step 02", 120000));
    const qint64 from = staged.LogLines().last().ms;
    ASSERT_TRUE(staged.SimControl("com1", "delay cmd=14 value=3900000"));
    ASSERT_TRUE(
        WaitFor([&] { return !GoodExchangesAfter(staged, "CMD_READ_MEM3", from).isEmpty(); },
                LongMs * 1ms));
    ASSERT_TRUE(WaitFor(
        [&] {
            const QString shown = Text("LblCalMsg");
            return shown == Confirm || shown == Idle;
        },
        300000 * 1ms));
    EXPECT_EQ(Text("LblCalMsg"), Confirm); // not aborted to Idle
}

} // namespace
} // namespace e2e
