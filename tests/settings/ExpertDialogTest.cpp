// The expert settings dialog against the simulated ECU: its boxes toggle their zone-2
// bits, its combos write the expert fields of zone 3, the rpm source is refused on gas,
// and the second password shows the hidden controls.

#include "SettingsRig.h"
#include "common/Wait.h"

#include "ecudata/ParamRecords.h"
#include "settings/FrmSetExpert.h"
#include "ui/Controls.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace settings_test {
namespace {

class ExpertDialogTest : public SettingsRig {
protected:
    ExpertDialogTest() { ecu.Engine().reducerTempC = 20; } // cold: stays on petrol

    settings::FrmSetExpert& Open() {
        page->CmdExpert_Click();
        return page->Expert();
    }
    QCheckBox& Box(const char* name) { return *page->Expert().findChild<QCheckBox*>(name); }
    QComboBox& ExpertCombo(const char* name) { return *page->Expert().findChild<QComboBox*>(name); }
    void Key(QWidget& target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent release(QEvent::KeyRelease, key, modifiers);
        QCoreApplication::sendEvent(&target, &release);
    }
};

TEST_F(ExpertDialogTest, BoxesAndCombosReachTheEcuInOneWrite) {
    Connect();
    Choose("CmbSwtchRpm", "2000");
    Open();
    EXPECT_TRUE(Box("CHK_FiloRPM").isChecked()) << "bit 6 clear";
    EXPECT_FALSE(Box("CHK_RPMx1x2").isEnabled());
    Box("ChkAbilDiag").click();
    Box("CHK_FiloRPM").click();
    EXPECT_TRUE(Box("CHK_RPMx1x2").isEnabled());
    Box("CHK_RPMx1x2").click();
    Choose(ExpertCombo("CmbMaxPowerSoh"), "4000");
    Choose(ExpertCombo("CmbTInjMaxPower"), "5,12");
    Box("ChkMinRpmAbil").click();
    ASSERT_TRUE(WrittenAndReadBack());

    EXPECT_EQ(Hex(ecu.Ram().zone2, 11, 3), "D4 A6 0E");
    EXPECT_EQ(Hex(ecu.Ram().zone3, 66, 1), "29") << "threshold 40 and the minimum rpm";
    EXPECT_EQ(Hex(ecu.Ram().zone3, 68, 1), "28");
    EXPECT_EQ(context->Scale.RpmClock, 7500000);
}

TEST_F(ExpertDialogTest, ASecondClickBeforeTheWriteCancelsTheFirst) {
    Connect();
    window->Timer2().stop();
    Open();
    Box("ChkAbilDiag").click();
    Box("ChkReturnBenz").click();
    Box("ChkAbilDiag").click();
    EXPECT_EQ(ecudata::ShownMem2(context->Images).Flags ^ context->Images.Mem2Data.Flags, 0x08);
}

TEST_F(ExpertDialogTest, ReturnToPetrolNeedsTheMinimumRpm) {
    Connect();
    window->Timer2().stop();
    context->Images.Mem3Data.ExpertFlags = 0x28;
    context->Images.Mem2Data.Flags = 0x10;
    Open();
    ASSERT_FALSE(Box("ChkMinRpmAbil").isChecked());
    Box("ChkReturnBenz").click();
    EXPECT_TRUE(Box("ChkMinRpmAbil").isChecked());
    EXPECT_EQ(context->Images.Mem3Write.ExpertFlags, 0x29);
    EXPECT_EQ(ecudata::ShownMem2(context->Images).Flags ^ context->Images.Mem2Data.Flags, 0x08);

    // And the reverse: the minimum rpm off with return to petrol on in the ECU.
    ecudata::ResetMemToWrite(context->Images);
    context->Images.Mem3Data.ExpertFlags = 0x29;
    context->Images.Mem2Data.Flags = 0x18;
    page->Expert().Form_Activate();
    ASSERT_TRUE(Box("ChkReturnBenz").isChecked());
    Box("ChkMinRpmAbil").click();
    EXPECT_FALSE(Box("ChkReturnBenz").isChecked());
    EXPECT_EQ(ecudata::ShownMem2(context->Images).Flags ^ context->Images.Mem2Data.Flags, 0x08);
    EXPECT_EQ(context->Images.Mem3Write.ExpertFlags, 0x28);
    EXPECT_EQ(context->Requests.Mem2WriteCountdown, 1.0);
}

TEST_F(ExpertDialogTest, UntickingTheMinimumRpmTakesBackAReturnToPetrolNotYetWritten) {
    Connect();
    Open();
    // The minimum rpm off in the ECU (the return click ticks it) and already on.
    for (const char minRpmInEcu : {0, 1}) {
        ecu.Ram().zone3[66] = minRpmInEcu;
        ASSERT_TRUE(WaitFor(
            [&] { return (context->Images.Mem3Data.ExpertFlags & 1) == minRpmInEcu; }, 60s));
        page->Expert().Form_Activate();
        ASSERT_FALSE(Box("ChkReturnBenz").isChecked());
        Box("ChkReturnBenz").click();
        ASSERT_TRUE(Box("ChkMinRpmAbil").isChecked());
        Box("ChkMinRpmAbil").click();
        EXPECT_FALSE(Box("ChkReturnBenz").isChecked()) << int(minRpmInEcu);
        ASSERT_TRUE(WrittenAndReadBack());
        EXPECT_EQ(ecu.Ram().zone2[11] & 0x08, 0) << "return to petrol off, " << int(minRpmInEcu);
        EXPECT_EQ(ecu.Ram().zone3[66] & 0x01, 0) << "minimum rpm off, " << int(minRpmInEcu);
    }
}

TEST_F(ExpertDialogTest, CombosOfZone3) {
    Connect();
    window->Timer2().stop();
    Open();
    Choose(ExpertCombo("CmbMaxPowerSoh"), "4000");
    EXPECT_EQ(context->Images.Mem3Write.MaxPowerSoh, 4000);
    EXPECT_TRUE(ExpertCombo("CmbTInjMaxPower").isEnabled());
    ExpertCombo("CmbMaxPowerSoh").setCurrentIndex(0);
    EXPECT_EQ(context->Images.Mem3Write.MaxPowerSoh, 0);
    EXPECT_FALSE(ExpertCombo("CmbTInjMaxPower").isEnabled());

    // The low and high rpm mirror each other by list position.
    Choose(ExpertCombo("CmbRpmLow"), "2500"); // index 3
    EXPECT_EQ(ExpertCombo("CmbRpmHight").currentIndex(), 3);
    EXPECT_EQ(context->Images.Mem3Write.RpmHigh, 3000);
    Choose(ExpertCombo("CmbRpmHight"), "1500"); // index 0
    EXPECT_EQ(ExpertCombo("CmbRpmLow").currentIndex(), 0);
    EXPECT_EQ(context->Images.Mem3Write.RpmLow, 1000);

    // A threshold chosen after the minimum rpm keeps it (and the reverse).
    Box("ChkMinRpmAbil").setChecked(!Box("ChkMinRpmAbil").isChecked());
    const int bit0 = context->Images.Mem3Write.ExpertFlags & 1;
    Choose(ExpertCombo("CmbTInjMaxPower"), "2,56");
    EXPECT_EQ(context->Images.Mem3Write.ExpertFlags, 20 | bit0);

    context->Requests.Mem3WriteCountdown = 0;
    const quint8 mapType = context->Images.Mem3Write.TypSensMap;
    ExpertCombo("CmbTypSensMap").addItem("MAP 6 bar");
    ExpertCombo("CmbTypSensMap").setCurrentIndex(3);
    EXPECT_EQ(context->Images.Mem3Write.TypSensMap, mapType) << "only types 0 to 2";
    EXPECT_EQ(context->Requests.Mem3WriteCountdown, 1.0);
}

TEST_F(ExpertDialogTest, RpmDoublingWithoutAnRpmLeavesThePeriod) {
    Connect();
    window->Timer2().stop();
    Combo("CmbSwtchRpm").setCurrentIndex(-1);
    context->Images.Mem2Data.Flags = 0x50; // rpm from the wire
    Open();
    Box("CHK_RPMx1x2").click();
    EXPECT_EQ(context->Images.Mem2Write.SwitchRpmPeriod, -1.0);
    EXPECT_EQ(context->Scale.RpmClock, 7500000);
    Choose("CmbSwtchRpm", "1600");
    Box("CHK_RPMx1x2").click();
    EXPECT_EQ(context->Images.Mem2Write.SwitchRpmPeriod, 9375);
    EXPECT_EQ(context->Scale.RpmClock, 15000000);
}

TEST_F(ExpertDialogTest, TheRpmSourceStaysWhileOnGas) {
    Connect();
    window->Timer2().stop();
    context->Images.Mem2Data.FuelState = 3;
    Open();
    Answer ok(support::vbOK);
    Box("CHK_FiloRPM").click();
    ASSERT_EQ(ok.boxes.size(), 1u);
    EXPECT_TRUE(ok.boxes[0].endsWith("|" + page->Expert().MsgExpertOnGas));
    EXPECT_TRUE(Box("CHK_FiloRPM").isChecked()) << "put back";
    EXPECT_EQ(ecudata::ShownMem2(context->Images).Flags ^ context->Images.Mem2Data.Flags, 0);
    EXPECT_EQ(context->Requests.Mem2WriteCountdown, 0);
}

TEST_F(ExpertDialogTest, TheSecondPasswordShowsTheHiddenControls) {
    settings::FrmSetExpert& dialog = Open();
    auto& pw = *dialog.findChild<QLineEdit*>("TxtPw");
    QWidget& map = *dialog.findChild<QWidget*>("CmbTypSensMap");
    EXPECT_TRUE(pw.isHidden());
    EXPECT_TRUE(map.isHidden());
    Key(dialog, Qt::Key_X, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(pw.isHidden());
    EXPECT_FALSE(dialog.findChild<QWidget*>("LblPw")->isHidden());

    pw.setText(context->Scale.PassWord01);
    Key(pw, Qt::Key_Return);
    for (const char* name : {"LblPressSens", "CmbTypSensMap", "ChkAbilAdat", "FrameSeparatore"}) {
        EXPECT_FALSE(dialog.findChild<QWidget*>(name)->isHidden()) << name;
    }
    pw.setText(context->Scale.PassWord01.toLower());
    Key(pw, Qt::Key_Return);
    EXPECT_TRUE(map.isHidden()) << "case counts";

    // The developer view opens it with the second password.
    dialog.close();
    context->DeveloperView = true;
    Open();
    EXPECT_FALSE(map.isHidden());
}

} // namespace
} // namespace settings_test
