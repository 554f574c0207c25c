// The Configuration page on the main window against the simulated ECU: the lists and
// selections follow the record as read without arming a write, each choice stores its
// field and arms the zone's countdown, and the writes reach the ECU's zone 3.

#include "SettingsRig.h"
#include "common/Wait.h"

#include "ecudata/ParamFile.h"
#include "settings/ConfigPage.h"
#include "sim/Memory.h"
#include "support/MessageBox.h"
#include "ui/Controls.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QRadioButton>

using testing_support::RunFor;
using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace settings_test {
namespace {

class ConfigPageTest : public SettingsRig {
protected:
    void ChooseIndex(const QString& combo, int index) { Combo(combo).setCurrentIndex(index); }
    QRadioButton& Fuel(int i) {
        return dynamic_cast<QRadioButton&>(Widget(ui::ArrayName("OptTypFuel", i)));
    }
    bool NothingArmed() {
        ecudata::EcuImages fresh;
        return context->Requests.Mem3WriteCountdown == 0 &&
               context->Requests.Mem2WriteCountdown == 0 &&
               context->Images.Mem3Write == fresh.Mem3Write &&
               context->Images.Mem2Write == fresh.Mem2Write;
    }
    QString Zone3(int offset, int count) { return Hex(ecu.Ram().zone3, offset, count); }
};

TEST_F(ConfigPageTest, TheFirstReadSelectsTheRecordAndArmsNothing) {
    Connect();
    EXPECT_EQ(Combo("CmbSwtchTemp").currentText(), "35");
    EXPECT_EQ(Combo("CmbSwtchRpm").currentText(), "1600") << "first not below 1500";
    EXPECT_EQ(Combo("CmbSwtchCilindri").currentText(), "4");
    EXPECT_EQ(Combo("CmbSwtchBobine").currentText(), "4");
    EXPECT_EQ(Combo("CmbTpyInj").currentText(), "Fast 2 Ohm");
    EXPECT_EQ(Combo("CmbEmptyGas").currentIndex(), 1);
    EXPECT_TRUE(Combo("CmbSwtchBar").isEnabled());
    EXPECT_EQ(Combo("CmbSwtchDelay").currentText(), "60") << "cold list, first not below 10 s";
    EXPECT_EQ(Combo("CmbSwtchSeq").currentText(), "0,25");
    EXPECT_TRUE(Fuel(0).isChecked());
    EXPECT_EQ(Combo("CmbInj").count(), 5) << "Inj_## and Inj_1 to Inj_4";
    EXPECT_TRUE(NothingArmed());

    // A refresh of every list and selection arms nothing either.
    page->RiempiCmbSwtch();
    context->Images.Mem3Changed = true;
    context->Requests.RefreshPending = true;
    page->RefreshParamPages();
    EXPECT_TRUE(NothingArmed());
    EXPECT_FALSE(context->Images.Mem3Changed);
    EXPECT_TRUE(context->Requests.RefreshPending) << "the poll scheduler clears that one";
    EXPECT_FALSE(window->PageFilling);
}

TEST_F(ConfigPageTest, ChoicesReachZone3AndStayAfterTheReadBack) {
    Connect();
    Answer yes(support::vbYes);
    Choose("CmbSwtchRpm", "2000");
    Choose("CmbSwtchTemp", "45");
    EXPECT_EQ(Combo("CmbSwtchDelay").currentText(), "10") << "the warm list, stored at once";
    EXPECT_EQ(context->Images.Mem3Write.SwitchDelay, 10);
    Choose("CmbSwtchDelay", "12");
    Choose("CmbSwtchBar", "0,6");
    ChooseIndex("CmbEmptyGas", 0);
    EXPECT_FALSE(Combo("CmbSwtchBar").isEnabled());
    ChooseIndex("CmbTpyInj", 2);
    ASSERT_EQ(yes.boxes.size(), 1u);
    EXPECT_TRUE(yes.boxes[0].endsWith(" - Release  ver 01.12.82 - 14/04/2011|" +
                                      context->Texts.MsgConfirm));
    ASSERT_TRUE(WrittenAndReadBack());

    EXPECT_EQ(Zone3(2, 5), "2D 00 4C 1D 02");
    EXPECT_EQ(Zone3(8, 6), "F4 01 1E 00 24 00");
    EXPECT_EQ(Zone3(55, 2), "E0 01");
    EXPECT_EQ(Zone3(62, 2), "58 02");
    EXPECT_EQ(Zone3(67, 1), "00");
    EXPECT_EQ(Hex(ecu.Ram().zone2, 12, 2), "4C 1D");
    for (const auto& [combo, text] : {std::pair{"CmbSwtchRpm", "2000"},
                                      {"CmbSwtchTemp", "45"},
                                      {"CmbSwtchDelay", "12"},
                                      {"CmbSwtchBar", "0,6"},
                                      {"CmbTpyInj", "High flow 1 Ohm"}}) {
        EXPECT_EQ(Combo(combo).currentText(), text) << combo;
    }
}

// Each new list's entry is matched against the ECU's delay: two steps of the temperature
// leave the delay as the ECU has it; a refill shows the delay chosen.
TEST_F(ConfigPageTest, TemperatureStepsMatchTheDelayListsAgainstTheEcusDelay) {
    Connect();
    Choose("CmbSwtchTemp", "40");
    EXPECT_EQ(Combo("CmbSwtchDelay").currentText(), "60") << "cold list, first not below 10";
    Choose("CmbSwtchTemp", "45");
    EXPECT_EQ(Combo("CmbSwtchDelay").currentText(), "10") << "warm list, not its last";
    ASSERT_TRUE(WrittenAndReadBack());
    EXPECT_EQ(context->Images.Mem3Data.SwitchTemp, 45);
    EXPECT_EQ(context->Images.Mem3Data.SwitchDelay, 10);

    window->Timer2().stop();
    Choose("CmbSwtchDelay", "12");
    page->RefreshParamPages();
    EXPECT_EQ(Combo("CmbSwtchDelay").currentText(), "12") << "the pending delay";
}

TEST_F(ConfigPageTest, RefusedOrNoInjectorTypeWritesNothing) {
    Connect();
    ecu.ClearCommandLog();
    {
        Answer no(support::vbNo);
        ChooseIndex("CmbTpyInj", 2);
        EXPECT_EQ(no.boxes.size(), 1u);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(Combo("CmbTpyInj").currentText(), "Fast 2 Ohm") << "the ECU's type again";
    {
        Answer yes(support::vbYes);
        Choose("CmbTpyInj", "- - -");
        EXPECT_TRUE(yes.boxes.empty()) << "no question for - - -";
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(Combo("CmbTpyInj").currentText(), "Fast 2 Ohm");
    EXPECT_TRUE(NothingArmed());
    RunFor(2s);
    EXPECT_FALSE(ecu.CommandLog().contains(sim::CMD_WRT_MEM3));
}

// The edits without the link running: what each choice stores.
TEST_F(ConfigPageTest, EachChoiceStoresItsField) {
    Connect();
    window->Timer2().stop();
    struct Case {
        const char* combo;
        const char* entry;
        std::function<bool(const ecudata::Mem3Rec&)> stored;
    };
    const Case cases[] = {
        {"CmbSwtchBobine", "6", [](const ecudata::Mem3Rec& w) { return w.Bobine == 6; }},
        {"CmbSwtchForce", "120", [](const ecudata::Mem3Rec& w) { return w.SwitchForce == 120; }},
        {"CmbSwtchSeq", "0,75", [](const ecudata::Mem3Rec& w) { return w.SwitchSeq == 750; }},
        {"CmbSwtchDelayPress", "1,5",
         [](const ecudata::Mem3Rec& w) { return w.DelayPress == 1.5; }},
        {"CmbSwtchDrect", "", [](const ecudata::Mem3Rec& w) { return w.SwitchDrect == 1; }},
        {"CmbTpyGLS", "Hall 0-5 V",
         [](const ecudata::Mem3Rec& w) { return w.LevelType == 2 && w.LevelThr[5] != 0; }},
    };
    for (const Case& c : cases) {
        context->Requests.Mem3WriteCountdown = 0;
        ecudata::ResetMemToWrite(context->Images);
        if (*c.entry) {
            Choose(c.combo, c.entry);
        } else {
            ChooseIndex(c.combo, 1);
        }
        EXPECT_TRUE(c.stored(context->Images.Mem3Write)) << c.combo;
        EXPECT_EQ(context->Requests.Mem3WriteCountdown, 1.0) << c.combo;
    }

    // The rpm also sets the zone-2 period; none for rpm 0.
    Choose("CmbSwtchRpm", "0");
    EXPECT_EQ(context->Images.Mem3Write.SwitchRpm, 0);
    EXPECT_EQ(context->Images.Mem2Write.SwitchRpmPeriod, -1.0);
    EXPECT_EQ(context->Requests.Mem2WriteCountdown, 1.0);

    // Selections made by code under the filling flag store nothing.
    ecudata::ResetMemToWrite(context->Images);
    context->Requests.Mem3WriteCountdown = 0;
    window->PageFilling = true;
    Choose("CmbSwtchForce", "600");
    window->PageFilling = false;
    EXPECT_EQ(context->Requests.Mem3WriteCountdown, 0);
}

TEST_F(ConfigPageTest, CylinderCountClearsTheModesAboveAndStartsTheSetUp) {
    Connect();
    window->Timer2().stop();
    context->Images.Mem3Write.CylState.fill(9);
    Choose("CmbSwtchCilindri", "3");
    const ecudata::Mem3Rec& w = context->Images.Mem3Write;
    EXPECT_EQ(w.Cilindri, 3);
    EXPECT_EQ(w.CylState[2], 9);
    EXPECT_EQ(w.CylState[3], 0);
    EXPECT_EQ(w.CylState[7], 0);
    const ecudata::EcuRequests& r = context->Requests;
    EXPECT_EQ(r.InjSetMode, 2);
    EXPECT_EQ(r.InjSetIndex, 3);
    EXPECT_EQ(r.InjSetState, 3);
    EXPECT_EQ(r.Mem3WriteCountdown, 0) << "on-line the set-up step writes";

    // Off-line the count is merged at once with the cleared modes.
    ecudata::ResetMemToWrite(context->Images);
    context->Comm().ComState(app::COM_STOP);
    Choose("CmbSwtchCilindri", "8");
    EXPECT_EQ(w.Cilindri, 8);
    EXPECT_EQ(w.CylState[7], 255) << "8 cylinders clear none";
    EXPECT_EQ(r.Mem3WriteCountdown, 1.0);
}

TEST_F(ConfigPageTest, SixCylindersShowSixInjectorRows) {
    Connect();
    Choose("CmbSwtchCilindri", "6");
    ASSERT_TRUE(WaitFor([this] { return ecu.Ram().zone3[sim::kZ3Cilindri] == 6; }, 60s));
    ASSERT_TRUE(WaitFor([this] { return Combo("CmbInj").count() == 7; }, 60s));
    EXPECT_FALSE(Hidden("InjPetBar(5)"));
    EXPECT_TRUE(Hidden("InjPetBar(6)"));
}

TEST_F(ConfigPageTest, FuelTypes) {
    Connect();
    window->Timer2().stop();
    context->Images.Mem3Data.FuelType = 2;
    page->ShowConfigParams();
    EXPECT_FALSE(Fuel(0).isChecked());
    EXPECT_FALSE(Fuel(1).isChecked());
    EXPECT_TRUE(NothingArmed());
    {
        Answer no(support::vbNo);
        Fuel(1).click();
        ASSERT_EQ(no.boxes.size(), 1u);
        EXPECT_EQ(no.boxes[0], context->Texts.AppTitle + "|" + context->Texts.MsgConfig[3]);
    }
    EXPECT_EQ(context->Images.Mem3Write.FuelType, 1);
    EXPECT_EQ(context->Requests.Mem3WriteCountdown, 1.0);
    EXPECT_TRUE(context->ParamFilePending.isEmpty());
    {
        Answer yes(support::vbYes);
        Fuel(0).click();
    }
    EXPECT_EQ(context->ParamFilePending, ecudata::DefaultXarPath(context->AppFolder));
    EXPECT_EQ(context->Images.Mem3Write.FuelType, 1) << "the set carries its own";
}

} // namespace
} // namespace settings_test

namespace settings_test {
namespace {

TEST_F(ConfigPageTest, ASequenceItemThatIsNoNumberIsReportedAndLeftOut) {
    context->Scale.SequenzaComm = {"250", "quick", "500"};
    Answer ok(support::vbOK);
    page->RiempiCmbSwtch();
    ASSERT_EQ(ok.boxes.size(), 1u);
    EXPECT_TRUE(ok.boxes[0].contains("Config errorErrorRiempiCmbSwtch_Err:"));
    EXPECT_EQ(Combo("CmbSwtchSeq").count(), 2);
    EXPECT_EQ(Combo("CmbSwtchSeq").currentIndex(), -1) << "a fill selects nothing";
}

} // namespace
} // namespace settings_test
