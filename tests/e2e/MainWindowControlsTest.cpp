// The main window driven through its controls, as an installer does, against lx735-sim:
// the live values it shows follow the engine's, the Language menu switches the
// captions, the About box tells the ECU's firmware and closes with its button, and
// OFFLINE stops the link.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <QColor>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;

class EndToEndMainWindowControls : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(staged.Valid());
        staged.MapCom(1, staged.StartSim("com1"));
        ASSERT_TRUE(staged.SimControl("com1", "set key 1\nset rpm 2500\nset reducer 45\n"
                                              "set gastemp 31\nset supply 13.6"));
        ASSERT_TRUE(staged.StartProgram());
        ASSERT_TRUE(
            WaitFor([&] { return staged.Requests("CMD_READ_MEM1").size() >= 3; }, LongMs * 1ms));
    }

    QString Text(const QString& name) {
        const auto fields = staged.ReadControl(name);
        return fields ? fields->value("text") : QString("<not read>");
    }

    // Waits until the control shows the value within the margin (the speed is smoothed).
    bool Shows(const QString& name, double value, double within) {
        return WaitFor(
            [&] {
                bool ok = false;
                const double shown = Text(name).trimmed().toDouble(&ok);
                return ok && std::abs(shown - value) <= within + 1e-9;
            },
            LongMs * 1ms);
    }

    StagedProgram staged;
};

// The values stand on the wire in the ECU's units (the engine speed as a period), so
// the page shows them within their resolution.
TEST_F(EndToEndMainWindowControls, TheLiveValuesShowTheEnginesOnThePageAndInTheFrame) {
    const struct {
        const char* control;
        double engine;
        double within;
    } cases[] = {
        {"TxtRpm(0)", 2500, 25}, {"TxtRpm(1)", 2500, 25}, {"TxtTmpVap(0)", 45, 0},
        {"TxtTmpVap(1)", 45, 0}, {"TxtTmpGas(0)", 31, 0}, {"TxtSupply", 13.6, 0.15},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(Shows(c.control, c.engine, c.within))
            << c.control << " shows " << Text(c.control).toStdString();
    }
    // The engine slows: the page follows.
    ASSERT_TRUE(staged.SimControl("com1", "set rpm 800"));
    EXPECT_TRUE(Shows("TxtRpm(0)", 800, 8)) << Text("TxtRpm(0)").toStdString();
}

TEST_F(EndToEndMainWindowControls, TheLanguageMenuSwitchesTheCaptionsAndKeepsTheChoice) {
    ASSERT_TRUE(staged.Run({"click MnuLngT(1)"}));
    const auto window = staged.ReadControl("FrmLX735");
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->value("tabs").startsWith("Generale - F2|Configurazione - F3"))
        << window->value("tabs").toStdString();
    EXPECT_EQ(staged.ReadControl("MnuLngT(1)")->value("checked"), "1");
    EXPECT_EQ(staged.ReadControl("MnuLngT(0)")->value("checked"), "0");
    EXPECT_TRUE(staged.Read("LNG/M3.con").startsWith("1"));
}

TEST_F(EndToEndMainWindowControls, TheAboutBoxTellsTheFirmwareAndClosesWithItsButton) {
    ASSERT_TRUE(staged.Run({"click MnuInfoAbout", "until FrmStartUp visible 1 60000"}));
    EXPECT_TRUE(Text("FrmStartUp.LblVersioneVal").contains("Firmware ver "))
        << Text("FrmStartUp.LblVersioneVal").toStdString();
    ASSERT_TRUE(staged.Run({"click FrmStartUp.Command1", "until FrmStartUp exists 0 60000"}));
    EXPECT_TRUE(staged.Refusals().isEmpty());
}

TEST_F(EndToEndMainWindowControls, OfflineStopsTheLinkAndIsChecked) {
    ASSERT_TRUE(staged.Run({"click MnuOffLine", "until TxtStatusBar(1) text \"COM STOP\" 60000"}));
    EXPECT_EQ(staged.ReadControl("MnuOffLine")->value("checked"), "1");
    // Once the stop is logged no request goes out whole: at most a frame cut short by it.
    const auto framesAfterStop = [&]() -> std::optional<QString> {
        std::optional<QString> tags;
        for (const LogLine& line : staged.LogLines()) {
            if (tags && (line.text.startsWith("T 41") || line.text.startsWith("D 41"))) {
                *tags += line.text.front();
            }
            tags = line.text == "C 8" ? QString() : tags;
        }
        return tags;
    };
    ASSERT_TRUE(WaitFor([&] { return framesAfterStop().has_value(); }, LongMs * 1ms));
    const auto quiet = [&] {
        const QString frames = framesAfterStop().value_or("?");
        return frames.isEmpty() || frames == "D";
    };
    EXPECT_TRUE(HoldsFor(quiet, 1500)) << staged.Read("BIN/RxTx.TXT").right(1500).constData();
    EXPECT_TRUE(staged.ProgramRunning());
}

TEST_F(EndToEndMainWindowControls, AnEcuErrorShowsTheButtonWhoseListTellsIt) {
    ASSERT_TRUE(staged.SimControl("com1", "error 3 1"));
    ASSERT_TRUE(staged.Run({"until CmdErrInj visible 1 " + QString::number(LongMs)}));
    const auto button = staged.ReadControl("CmdErrInj");
    ASSERT_TRUE(button);
    // Its face is drawn as a gradient of the orange button colour (BGR 0x80C0FF).
    const QColor face(button->value("back"));
    EXPECT_NEAR(face.hue(), QColor(0xff, 0xc0, 0x80).hue(), 3) << face.name().toStdString();
    EXPECT_GT(face.saturation(), 60) << face.name().toStdString();
    ASSERT_TRUE(staged.Run({"click CmdErrInj", "until FrmErrEcu visible 1 60000"}));
    const std::optional<GridCells> grid = staged.Grid("FrmErrEcu.MSFlexGrid1");
    ASSERT_TRUE(grid);
    ASSERT_FALSE(grid->rows.isEmpty());
    EXPECT_EQ(grid->head.size(), 3);
    const auto injector4 =
        std::find_if(grid->rows.begin(), grid->rows.end(),
                     [](const QStringList& row) { return row[0] == "Injector 4"; });
    ASSERT_NE(injector4, grid->rows.end());
    EXPECT_EQ((*injector4)[1], "Short circuit") << "error 3 in state 1";
}

} // namespace
} // namespace e2e
