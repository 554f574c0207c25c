// The Configuration page of the real program against lx735-sim, driven by its controls:
// the record's values shown after the first read, choices written into the ECU's zones
// and kept after the read-back, a refused injector type writing nothing, the injector
// rows following the cylinder count, and off-line choices in a saved parameter file.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <QFile>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;

class EndToEndConfiguration : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(staged.Valid());
        staged.MapCom(1, staged.StartSim("com1", {"--fast"}));
        ASSERT_TRUE(staged.StartProgram());
    }

    // The Configuration tab, once the first read is shown on it.
    void OpenShown() {
        ASSERT_TRUE(staged.Run({"tab SstMain 1", "until CmbSwtchTemp text 35 60000"}));
    }
    QString Text(const QString& control) {
        const auto fields = staged.ReadControl(control);
        return fields ? fields->value("text") : "<refused>";
    }
    // The items an "items" line records for the combo.
    QString Items(const QString& combo) {
        const qsizetype before = staged.Events().size();
        if (!staged.Run({"items " + combo})) {
            return "<refused>";
        }
        for (const ProgramEvent& e : staged.Events().mid(before)) {
            if (e.text.startsWith("items: " + combo + " ")) {
                return e.text.section(' ', 2);
            }
        }
        return "<none>";
    }
    QString Zone(const QString& image, int offset, int count) {
        const std::optional<SimDump> dump = staged.SimState("com1");
        return dump ? dump->Hex(image, offset, count) : "<no dump>";
    }
    int Writes() { return int(staged.Requests("CMD_WRT_MEM3").size()); }

    StagedProgram staged;
};

TEST_F(EndToEndConfiguration, ChoicesReachTheEcuAndStay) {
    OpenShown();
    EXPECT_EQ(Text("CmbSwtchRpm"), "1600") << "the first entry not below 1500 rpm";
    ASSERT_TRUE(staged.Run({"choose CmbSwtchRpm \"2000\"", "choose CmbSwtchTemp \"45\"",
                            "choose CmbSwtchDelay \"12\"", "choose CmbSwtchBar 5",
                            "choose CmbEmptyGas 0", "answer Yes", "choose CmbTpyInj 2"}));
    ASSERT_TRUE(WaitFor(
        [&] {
            return Zone("zone3", 2, 5) == "2D 00 4C 1D 02" && Zone("zone3", 67, 1) == "00" &&
                   Zone("zone2", 12, 2) == "4C 1D";
        },
        LongMs * 1ms))
        << Zone("zone3", 0, 74).toStdString();
    EXPECT_EQ(Zone("zone3", 8, 6), "F4 01 1E 00 24 00");
    EXPECT_EQ(Zone("zone3", 55, 2), "E0 01");
    EXPECT_EQ(Zone("zone3", 62, 2), "58 02");
    EXPECT_EQ(Zone("zone2", 12, 2), "4C 1D");

    // Read back: the controls keep the choices.
    const int reads = int(staged.Requests("CMD_READ_MEM3").size());
    ASSERT_TRUE(WaitFor([&] { return staged.Requests("CMD_READ_MEM3").size() >= reads + 2; },
                        LongMs * 1ms));
    EXPECT_EQ(Text("CmbSwtchRpm"), "2000");
    EXPECT_EQ(Text("CmbSwtchTemp"), "45");
    EXPECT_EQ(Text("CmbSwtchDelay"), "12");
    EXPECT_EQ(Text("CmbTpyInj"), "High flow 1 Ohm");
    EXPECT_EQ(staged.ReadControl("CmbSwtchBar")->value("enabled"), "0");
}

TEST_F(EndToEndConfiguration, ARefusedInjectorTypeWritesNothing) {
    OpenShown();
    const int writes = Writes();
    ASSERT_TRUE(staged.Run({"answer No", "choose CmbTpyInj 2", "choose CmbTpyInj \"- - -\""}));
    const int reads = int(staged.Requests("CMD_READ_MEM3").size());
    ASSERT_TRUE(WaitFor([&] { return staged.Requests("CMD_READ_MEM3").size() >= reads + 3; },
                        LongMs * 1ms));
    EXPECT_EQ(Writes(), writes);
    EXPECT_EQ(Text("CmbTpyInj"), "Fast 2 Ohm");
    EXPECT_EQ(staged.MessageBoxes().size(), 1) << "one question for one choice";
}

TEST_F(EndToEndConfiguration, TheInjectorRowsFollowTheCylinders) {
    OpenShown();
    EXPECT_EQ(Items("CmbInj"), "\"Inj_##\" \"Inj_1\" \"Inj_2\" \"Inj_3\" \"Inj_4\"");
    ASSERT_TRUE(staged.Run({"choose CmbSwtchCilindri \"6\""}));
    ASSERT_TRUE(WaitFor([&] { return Zone("zone3", 1, 1) == "06"; }, LongMs * 1ms));
    ASSERT_TRUE(
        WaitFor([&] { return Items("CmbInj").endsWith("\"Inj_5\" \"Inj_6\""); }, LongMs * 1ms))
        << Items("CmbInj").toStdString();
}

TEST_F(EndToEndConfiguration, OffLineChoicesGoIntoASavedFile) {
    OpenShown();
    const QString path = staged.Path("offline.var");
    ASSERT_TRUE(
        staged.Run({"click MnuOffLine", "until TxtStatusBar(1) text \"COM STOP\" 60000",
                    "choose CmbSwtchTemp \"45\"", "choose CmbSwtchCilindri \"6\"",
                    "choose CmbEmptyGas 0", "file \"" + path + "\"", "click MnuFileSaveConf"}));
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(path); }, LongMs * 1ms));
    QByteArray zone3;
    for (const QByteArray& line : staged.Read("offline.var").split('\n')) {
        if (line.startsWith("B3")) {
            zone3 = QByteArray::fromHex(line.mid(2).trimmed());
        }
    }
    ASSERT_EQ(zone3.size(), 74);
    EXPECT_EQ(zone3.mid(1, 3).toHex(' ').toUpper(), "06 2D 00");
    EXPECT_EQ(zone3[67], 0);
}

// The picture shows the page as drawn: each control where it stands, in its colours, and
// a choice changes the picture where its box stands.
TEST_F(EndToEndConfiguration, AScreenshotShowsThePageAsDrawn) {
    OpenShown();
    const std::optional<QImage> before = Grab(staged, staged.Path("config-start.png"));
    ASSERT_TRUE(before);
    const auto window = staged.ReadControl("FrmLX735");
    ASSERT_TRUE(window);
    EXPECT_EQ(before->size(), RectOf(*window).size());
    for (const char* control : {"CmbSwtchTemp", "CmbSwtchRpm", "CmbTpyInj", "TxtStatusBar(1)"}) {
        const auto fields = staged.ReadControl(control);
        ASSERT_TRUE(fields) << control;
        EXPECT_EQ(PictureMisses(*before, *fields).toStdString(), "") << control;
    }

    ASSERT_TRUE(staged.Run({"choose CmbSwtchTemp \"45\"", "until CmbSwtchTemp text 45 60000"}));
    const std::optional<QImage> after = Grab(staged, staged.Path("config-45.png"));
    ASSERT_TRUE(after);
    const QRect box = RectOf(*staged.ReadControl("CmbSwtchTemp"));
    EXPECT_NE(before->copy(box), after->copy(box)) << "the box shows its new choice";
}

} // namespace
} // namespace e2e
