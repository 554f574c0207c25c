// The calibration pages on the window: the window's controls they use stand in the pages'
// frames, the developer's hidden in the installer's view, and the markers the Modeling
// page makes switch with the developer view.

#include "ModelingRig.h"

#include "ui/InputBox.h"

namespace calibration_test {

namespace {

class PageControls : public ModelingRig {};

TEST_F(PageControls, MovedControlsStandInTheirFramesAndKeepWhetherTheyWereShown) {
    Start();
    const QWidget& client = *window->centralWidget();
    const struct {
        const char* control;
        const QWidget* parent;
        bool shown; // in the installer's view
    } moved[] = {{"CmbShoRpm", &Widget("FrmMapTuning"), false},
                 {"LblShoRpm", &Widget("FrmMapTuning"), false},
                 {"FrmMapSample", &client, false},
                 {"ShpPmin", &Widget("FrmMod"), false},
                 {"ShpPLoad", &Widget("FrmMod"), false},
                 {"CmdShpMapMod", window->Page(3), true}};
    for (const auto& m : moved) {
        QWidget& control = Widget(m.control);
        EXPECT_EQ(control.parentWidget(), m.parent) << m.control;
        EXPECT_EQ(!control.isHidden(), m.shown) << m.control;
    }
}

// The page hands the window the markers it makes beyond the window's design, and the
// developer view switches them with the window's own.
TEST_F(PageControls, TheMarkersThePageMakesFollowTheDeveloperView) {
    Start();
    const ui::ScopedInputBoxHandler password(
        [](const QString&, const QString&, const QString&) { return QString("KOLT5829"); });
    const char* const markers[] = {"ShpPunti(8)", "ShpPunti(9)", "ShpPunti(191)"};
    for (bool shown : {false, true, false}) {
        for (const char* marker : markers) {
            EXPECT_EQ(!Widget(marker).isHidden(), shown) << marker;
        }
        const int x = 88, shiftCtrlAlt = 1 | 2 | 4;
        ASSERT_TRUE(window->Form_KeyUp(x, shiftCtrlAlt));
    }
}

} // namespace

} // namespace calibration_test
