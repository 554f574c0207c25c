// The calibration pages on the window: the controls they move out of the window's design
// stand in their new frames and keep whether they were shown, so the developer's stay
// hidden in the installer's view.

#include "ModelingRig.h"

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

} // namespace

} // namespace calibration_test
