// The settings dialogs of the real program against lx735-sim, driven by their controls:
// the expert settings, the reset to a default set, the level-sensor and injector dialogs.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;

class EndToEndSettingsDialogs : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(staged.Valid());
        staged.MapCom(1, staged.StartSim("com1", {"--fast"}));
        ASSERT_TRUE(staged.SimControl("com1", "set reducer 20")); // cold: on petrol
        ASSERT_TRUE(staged.StartProgram());
        ASSERT_TRUE(staged.Run({"tab SstMain 1", "until CmbSwtchTemp text 35 60000"}));
    }
    QString Zone(const QString& image, int offset, int count) {
        const std::optional<SimDump> dump = staged.SimState("com1");
        return dump ? dump->Hex(image, offset, count) : "<no dump>";
    }
    bool ZoneBecomes(const QString& image, int offset, const QString& hex) {
        return WaitFor([&] { return Zone(image, offset, int(hex.size() + 1) / 3) == hex; },
                       LongMs * 1ms);
    }
    QString Field(const QString& control, const QString& field) {
        const auto fields = staged.ReadControl(control);
        return fields ? fields->value(field) : "<refused>";
    }
    QStringList Boxes() const { return staged.MessageBoxes(); }

    StagedProgram staged;
};

// A number as the program writes it, whichever the locale's separator.
QRegularExpression Number(const QString& whole, const QString& fraction) {
    return QRegularExpression("^" + whole + "[.,]" + fraction + "$");
}

TEST_F(EndToEndSettingsDialogs, ExpertSettings) {
    ASSERT_TRUE(staged.Run({"input \"KOLT5829\"", "key FrmLX735 Ctrl+Alt+Shift+E",
                            "choose CmbSwtchRpm \"2000\"", "click CmdExpert(0)",
                            "click FrmSetExpert.ChkAbilDiag", "click FrmSetExpert.CHK_FiloRPM",
                            "click FrmSetExpert.CHK_RPMx1x2"}));
    EXPECT_TRUE(ZoneBecomes("zone2", 11, "D4 A6 0E")) << Zone("zone2", 0, 14).toStdString();
    ASSERT_TRUE(
        staged.Run({"choose FrmSetExpert.CmbMaxPowerSoh \"4000\"",
                    "choose FrmSetExpert.CmbTInjMaxPower 2", "click FrmSetExpert.ChkMinRpmAbil"}));
    EXPECT_TRUE(ZoneBecomes("zone3", 66, "29")) << Zone("zone3", 60, 14).toStdString();
    EXPECT_EQ(Zone("zone3", 68, 1), "28");

    // The second password shows the hidden controls, another text hides them.
    ASSERT_TRUE(staged.Run({"key FrmSetExpert Ctrl+Alt+Shift+X"}));
    EXPECT_EQ(Field("FrmSetExpert.TxtPw", "visible"), "1");
    ASSERT_TRUE(staged.Run({"key FrmSetExpert.TxtPw Ctrl+A", "type FrmSetExpert.TxtPw \"x\"",
                            "key FrmSetExpert.TxtPw Return"}));
    EXPECT_EQ(Field("FrmSetExpert.CmbTypSensMap", "visible"), "0");
    ASSERT_TRUE(
        staged.Run({"key FrmSetExpert.TxtPw Ctrl+A", "type FrmSetExpert.TxtPw \"T468expert\"",
                    "key FrmSetExpert.TxtPw Return"}));
    EXPECT_EQ(Field("FrmSetExpert.CmbTypSensMap", "visible"), "1");
    EXPECT_EQ(Field("FrmSetExpert.ChkAbilAdat", "visible"), "1");

    // On gas the rpm source stays.
    ASSERT_TRUE(staged.SimControl("com1", "set reducer 50\nset key 1\nset rpm 800"));
    ASSERT_TRUE(ZoneBecomes("zone2", 1, "03"));
    const qsizetype boxes = Boxes().size();
    ASSERT_TRUE(staged.Run({"click FrmSetExpert.CHK_FiloRPM"}));
    ASSERT_TRUE(WaitFor([&] { return Boxes().size() > boxes; }, LongMs * 1ms));
    EXPECT_TRUE(Boxes().last().endsWith("The engine runs on gas: switch to petrol first."))
        << Boxes().last().toStdString();
    EXPECT_EQ(Field("FrmSetExpert.CHK_FiloRPM", "checked"), "0") << "as it was";
}

TEST_F(EndToEndSettingsDialogs, UntickingTheMinimumRpmTakesBackAChosenReturnToPetrol) {
    ASSERT_TRUE(staged.SimControl("com1", "zone3 66 01")); // the minimum rpm on
    const int reads = int(staged.Requests("CMD_READ_MEM3").size());
    ASSERT_TRUE(WaitFor([&] { return staged.Requests("CMD_READ_MEM3").size() >= reads + 2; },
                        LongMs * 1ms));
    ASSERT_TRUE(
        staged.Run({"input \"KOLT5829\"", "key FrmLX735 Ctrl+Alt+Shift+E", "click CmdExpert(0)"}));
    ASSERT_EQ(Field("FrmSetExpert.ChkMinRpmAbil", "checked"), "1");
    ASSERT_EQ(Field("FrmSetExpert.ChkReturnBenz", "checked"), "0");
    const QString untick = "click FrmSetExpert.ChkMinRpmAbil";
    ASSERT_TRUE(staged.Run({"click FrmSetExpert.ChkReturnBenz", untick}));
    EXPECT_EQ(Field("FrmSetExpert.ChkReturnBenz", "checked"), "0");
    EXPECT_TRUE(ZoneBecomes("zone3", 66, "00"));
    // A return to petrol left chosen would have been written by the third zone-2 read.
    const qint64 unticked = staged.CommandMs(untick);
    ASSERT_TRUE(WaitForRequestsAfter(staged, "CMD_READ_MEM2", unticked, 3, LongMs));
    EXPECT_EQ(Zone("zone2", 11, 1), "10") << "return to petrol off";
}

TEST_F(EndToEndSettingsDialogs, ResetToTheCngSet) {
    ASSERT_TRUE(staged.SimControl("com1", "error 3 1"));
    const QString hours = Zone("zone2", 3, 8);
    ASSERT_TRUE(staged.Run({"click CmdReserVar", "close FrmResetParam"}));
    ASSERT_TRUE(staged.Run({"click CmdReserVar", "click FrmResetParam.CmdTipoALim(1)"}));
    ASSERT_TRUE(
        WaitFor([&] { return !staged.Requests("CMD_SAVE_FLASH").isEmpty(); }, LongMs * 1ms));
    ASSERT_TRUE(ZoneBecomes("zone3", 7, "01"));
    EXPECT_FALSE(staged.Requests("CMD_CANC_ERR").isEmpty());
    const std::optional<SimDump> dump = staged.SimState("com1");
    ASSERT_TRUE(dump);
    EXPECT_EQ(dump->images.value("errors"), QByteArray(64, '\0'));
    for (const char* block : {"zone3", "emulation", "correction"}) {
        EXPECT_EQ(dump->images.value(block), dump->images.value(QString("saved.") + block))
            << block;
    }
    EXPECT_EQ(dump->Hex("zone2", 3, 8), hours);
    EXPECT_TRUE(Field("FrmLX735", "title").endsWith("/LNG/DefaultCng.Xar]"));
    EXPECT_EQ(staged.Requests("CMD_SAVE_FLASH").size(), 1) << "the closed dialog queued nothing";
}

TEST_F(EndToEndSettingsDialogs, LevelSensorThresholds) {
    ASSERT_TRUE(
        staged.Run({"click CmdTpyGLS", "until FrmLevelSetting.HScrLevel(3) exists 1 60000"}));
    QStringList keys;
    for (int i = 0; i < 5; ++i) {
        keys << "key FrmLevelSetting.HScrLevel(3) PgUp";
    }
    ASSERT_TRUE(staged.Run(keys));
    EXPECT_TRUE(ZoneBecomes("zone3", 42, "C0 02 C0 02 C0 02 37 03"));
    EXPECT_TRUE(Number("68", "81").match(Field("FrmLevelSetting.TxtLevel(3)", "text")).hasMatch());

    ASSERT_TRUE(staged.SimControl("com1", "set level 600"));
    EXPECT_TRUE(WaitFor(
        [&] {
            return Number("2", "929").match(Field("FrmLevelSetting.LblSensVal", "text")).hasMatch();
        },
        LongMs * 1ms));

    ASSERT_TRUE(staged.Run({"click FrmLevelSetting.CmdDefaultLevel"}));
    EXPECT_TRUE(ZoneBecomes("zone3", 42, "CC 00 99 01 6A 02 37 03"));

    // A type chosen on the page shows in the open dialog after the read-back.
    ASSERT_TRUE(staged.Run({"choose CmbTpyGLS 0"}));
    EXPECT_TRUE(WaitFor([&] { return Field("FrmLevelSetting.HScrLevel(0)", "value") == "204"; },
                        LongMs * 1ms));
}

TEST_F(EndToEndSettingsDialogs, InjectorOffsetsModesAndSensibility) {
    ASSERT_TRUE(staged.Run({"click CmdTpyInj"}));
    EXPECT_EQ(Field("FrmInjSet.CmbSelect(0)", "enabled"), "0");
    EXPECT_EQ(Field("FrmInjSet.LblInj(3)", "text"), "Inj #4");
    EXPECT_EQ(Field("FrmInjSet.LblInj(4)", "text"), "<refused>");
    // Three presses in a row are three steps: the bar never drops out of reach.
    ASSERT_TRUE(staged.Run({"key FrmInjSet.HScrTime(1) Right", "key FrmInjSet.HScrTime(1) Right",
                            "key FrmInjSet.HScrTime(1) Right"}));
    EXPECT_TRUE(ZoneBecomes("zone3", 34, "96 00"));
    EXPECT_TRUE(Number("1", "2").match(Field("FrmInjSet.TxtInjGas(1)", "text")).hasMatch());
    ASSERT_TRUE(staged.Run({"click FrmInjSet.CmdDefaultTime(1)", "key FrmInjSet.SldBadBit Right"}));
    EXPECT_TRUE(ZoneBecomes("zone3", 34, "00 00"));
    EXPECT_TRUE(ZoneBecomes("zone3", 73, "06"));

    const int writes = int(staged.Requests("CMD_WRT_MEM3").size());
    ASSERT_TRUE(staged.Run({"choose FrmInjSet.CmbSelect(1) 1"}));
    ASSERT_TRUE(WaitFor([&] { return !Boxes().isEmpty(); }, LongMs * 1ms));
    EXPECT_EQ(Boxes().last(), "Injectors - Fast 2 Ohm|Mode 4 needs the engine running on gas.");
    const int reads = int(staged.Requests("CMD_READ_MEM3").size());
    ASSERT_TRUE(WaitFor([&] { return staged.Requests("CMD_READ_MEM3").size() >= reads + 2; },
                        LongMs * 1ms));
    EXPECT_EQ(staged.Requests("CMD_WRT_MEM3").size(), writes);

    // A sensibility of 0 in the ECU: opening the dialog writes nothing.
    ASSERT_TRUE(staged.Run({"close FrmInjSet"}));
    ASSERT_TRUE(staged.SimControl("com1", "zone3 73 00"));
    const int reads2 = int(staged.Requests("CMD_READ_MEM3").size());
    ASSERT_TRUE(WaitFor([&] { return staged.Requests("CMD_READ_MEM3").size() >= reads2 + 2; },
                        LongMs * 1ms));
    const int writes2 = int(staged.Requests("CMD_WRT_MEM3").size());
    ASSERT_TRUE(staged.Run({"click CmdTpyInj"}));
    ASSERT_TRUE(WaitFor([&] { return staged.Requests("CMD_READ_MEM3").size() >= reads2 + 4; },
                        LongMs * 1ms));
    EXPECT_EQ(staged.Requests("CMD_WRT_MEM3").size(), writes2);

    // On gas the mode is asked of the ECU through the set-up step.
    ASSERT_TRUE(staged.SimControl("com1", "set reducer 50\nset key 1\nset rpm 800"));
    ASSERT_TRUE(ZoneBecomes("zone2", 1, "03"));
    const int zone2Reads = int(staged.Requests("CMD_READ_MEM2").size());
    ASSERT_TRUE(WaitFor([&] { return staged.Requests("CMD_READ_MEM2").size() >= zone2Reads + 2; },
                        LongMs * 1ms))
        << "the program has seen it";
    ASSERT_TRUE(staged.Run({"choose FrmInjSet.CmbSelect(1) 1"}));
    EXPECT_TRUE(ZoneBecomes("zone3", 20, "04")) << Zone("zone3", 14, 8).toStdString();
}

} // namespace
} // namespace e2e
