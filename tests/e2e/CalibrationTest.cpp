// The automatic calibration of the real program against lx735-sim, driven by the
// Calibration tab's buttons: the key-off refusal, the temperature wait with pause,
// resume and abort, a run that converges on the simulated engine's correction and
// stores it, and an abort in a cycle that restores the start (also when the first
// run-mode command is refused).

#include "StagedProgram.h"

#include <QFile>
#include <gtest/gtest.h>

namespace e2e {
namespace {

constexpr int LongMs = 60000;
const QString CrLf = "\r\n";
// The dictionary's texts (LNG/M3.diz, English).
const QString Idle = "Press Start to begin the calibration.";
const QString KeyOff = "The ignition key is off";
const QString WaitTemp = "Waiting for the reducer temperature";
const QString Finished = "Calibration finished";
const QString Confirm = "Calibration successful" + CrLf + CrLf + "Press Start to store the result";

class EndToEndCalibration : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(staged.Valid()); }

    // Short waits and samples (settling, samples, rpm waits, pauses) in the staged
    // ConfigScale.ini: the simulated engine holds its values, so fewer samples give the
    // same means. The engine at 2200 rpm on petrol, the program on the Calibration tab.
    void Open(const QString& engine) {
        QByteArray scale = staged.Read("LNG/ConfigScale.ini");
        QList<QByteArray> lines = scale.split('\n');
        const qsizetype block = lines.indexOf("[PARAMETRI DI TARATURA]\r");
        ASSERT_GE(block, 0);
        for (const auto& [position, value] :
             {std::pair{2, 4}, {3, 3}, {4, 4}, {5, 3}, {6, 3}, {7, 2}, {16, 4}, {17, 3}, {18, 2}}) {
            lines[block + 2 * position] = QByteArray::number(value) + "\r";
        }
        QFile file(staged.Path("LNG/ConfigScale.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(lines.join('\n'));
        file.close();
        staged.MapCom(1, staged.StartSim("com1", {"--fast"}));
        ASSERT_TRUE(staged.SimControl(
            "com1", "set rpm 2200\nset petrol 3.0\nset reducer 60\nzone2 0 00\n" + engine));
        ASSERT_TRUE(staged.StartProgram());
        ASSERT_TRUE(StagedProgram::WaitFor(
            [&] { return staged.Requests("CMD_READ_TBL_COR").size() >= 4; }, LongMs));
        ASSERT_TRUE(staged.Run({"tab SstMain 2", "until CmdCalStart enabled 1 20000"}));
    }
    QString Text(const QString& control) {
        const auto fields = staged.ReadControl(control);
        return fields ? fields->value("text") : "<refused>";
    }
    bool Shows(const QString& control, const QString& text, int ms = LongMs) {
        return StagedProgram::WaitFor([&] { return Text(control) == text; }, ms);
    }
    std::optional<SimDump> Sim() { return staged.SimState("com1"); }
    bool SimMode(const QString& mode) {
        return StagedProgram::WaitFor([&] { return Sim() && Sim()->mode == mode; }, LongMs);
    }
    QStringList RequestsSince(qsizetype from) {
        QStringList names;
        for (const LoggedRequest& r : staged.Requests().mid(from)) {
            names << r.name;
        }
        return names;
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
    ASSERT_TRUE(
        StagedProgram::WaitFor([&] { return Text("LblCalMsg").startsWith(Finished); }, LongMs));
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
    ASSERT_TRUE(Shows("LblCalMsg", Idle));
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
    ASSERT_TRUE(StagedProgram::WaitFor(
        [&] {
            const std::optional<SimDump> end = Sim();
            return end && end->images.value("correction") == start->images.value("correction");
        },
        LongMs));
    const std::optional<SimDump> end = Sim();
    ASSERT_TRUE(end);
    EXPECT_EQ(end->images.value("zone3"), start->images.value("zone3"));
    EXPECT_EQ(end->Hex("zone2", 11, 1), "02"); // the emulation flag given back
}

} // namespace
} // namespace e2e
