// The editors of zones 2 and 3 on the Configuration page and in the dialogs before the
// ECU's first read: disabled, showing no value and taking no edit; after the read each
// shows the record and is enabled as its own rule says, the dialogs opened before it too.

#include "SettingsRig.h"

#include "settings/FrmInjSet.h"
#include "settings/FrmLevelSetting.h"
#include "settings/FrmSetExpert.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>

namespace settings_test {
namespace {

class BeforeTheFirstRead : public SettingsRig {
protected:
    BeforeTheFirstRead() { ecu.Engine().reducerTempC = 20; } // cold: stays on petrol

    // Opens every dialog, as an installer may before the ECU answers.
    void OpenDialogs() {
        page->CmdExpert_Click();
        page->CmdTpyGLS_Click();
        page->CmdTpyInj_Click();
    }
    void TickDialogs() {
        page->Expert().Timer1_Timer();
        page->LevelDialog()->Timer1_Timer();
        page->InjectorDialog()->Timer1_Timer();
    }
    QWidget& Control(const QString& name) {
        for (QWidget* root : std::initializer_list<QWidget*>{
                 window.get(), &page->Expert(), page->LevelDialog(), page->InjectorDialog()}) {
            if (auto* control = root->findChild<QWidget*>(name)) {
                return *control;
            }
        }
        ADD_FAILURE() << "no control " << name.toStdString();
        return *window;
    }
    // A combo's selection, a box's tick, an edit box's text: what the control shows.
    static bool ShowsAValue(QWidget& control) {
        if (auto* combo = qobject_cast<QComboBox*>(&control)) {
            return combo->currentIndex() >= 0;
        }
        if (auto* box = qobject_cast<QCheckBox*>(&control)) {
            return box->isChecked();
        }
        if (auto* edit = qobject_cast<QLineEdit*>(&control)) {
            return !edit->text().isEmpty();
        }
        return false; // a bar or a button shows no value of its own
    }
    static bool Readout(QWidget& control) {
        auto* edit = qobject_cast<QLineEdit*>(&control);
        return edit && edit->isReadOnly();
    }
    bool NothingEdited() {
        const ecudata::EcuImages fresh;
        const ecudata::EcuRequests& r = context->Requests;
        return context->Images.Mem3Write == fresh.Mem3Write &&
               context->Images.Mem2Write == fresh.Mem2Write && r.Mem3WriteCountdown == 0 &&
               r.Mem2WriteCountdown == 0;
    }
};

TEST_F(BeforeTheFirstRead, EditorsWaitForTheirZoneThenFollowTheirRules) {
    struct Case {
        const char* control;
        bool enabledAfter; // by the control's own rule against the ECU's records
        bool valueAfter;   // a box: ticked
    };
    const Case cases[] = {
        // The Configuration page.
        {"CmbSwtchTemp", true, true},
        {"CmbSwtchDelay", true, true},
        {"CmbSwtchRpm", true, true}, // zones 2 and 3
        {"CmbSwtchCilindri", true, true},
        {"CmbTpyInj", true, true},
        {"CmbSwtchBar", true, true}, // enabled with the end-of-gas function on
        {"OptTypFuel(0)", true, false},
        // The expert dialog.
        {"ChkAbilDiag", true, false},
        {"ChkReturnBenz", true, false},
        {"CHK_FiloRPM", true, true},
        {"CHK_RPMx1x2", false, false}, // only with the rpm from the wire
        {"ChkMinRpmAbil", true, false},
        {"CmbRpmLow", true, true},
        {"CmbIsteresi", true, true},
        // The level and injector dialogs.
        {"HScrLevel(0)", true, false},
        {"TxtLevel(0)", true, true},
        {"CmdDefaultLevel", true, false},
        {"HScrTime(1)", true, false},
        {"TxtInjGas(1)", true, true},
        {"CmbSelect(1)", true, true},
        {"CmbSelect(0)", false, true}, // the first injector's mode never changes here
        {"SldBadBit", true, false},
    };
    OpenDialogs();
    for (const Case& c : cases) {
        QWidget& control = Control(c.control);
        EXPECT_TRUE(!control.isEnabled() || Readout(control)) << c.control << " before the read";
        EXPECT_FALSE(ShowsAValue(control)) << c.control << " before the read";
    }
    // Edits reaching the handlers all the same take nothing.
    Combo("CmbSwtchTemp").setCurrentIndex(1);
    Combo("CmbSwtchRpm").setCurrentIndex(2);
    static_cast<QCheckBox&>(Control("ChkAbilDiag")).setChecked(true);
    static_cast<QCheckBox&>(Control("ChkMinRpmAbil")).setChecked(true);
    page->LevelDialog()->HScrLevel(1).setValue(300);
    page->InjectorDialog()->HScrTime(1).setValue(20);
    page->InjectorDialog()->SldBadBit().setValue(9);
    EXPECT_TRUE(NothingEdited());

    Connect();
    TickDialogs();
    for (const Case& c : cases) {
        QWidget& control = Control(c.control);
        EXPECT_EQ(control.isEnabled(), c.enabledAfter) << c.control << " after the read";
        EXPECT_EQ(ShowsAValue(control), c.valueAfter) << c.control << " after the read";
    }
    EXPECT_TRUE(NothingEdited()) << "showing the read arms nothing";
}

} // namespace
} // namespace settings_test
