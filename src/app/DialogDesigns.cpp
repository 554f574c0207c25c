#include "app/DialogDesigns.h"

#include "ui/ControlBuilder.h"

#include <QWidget>

namespace app {

namespace {

const ui::ControlDesc InitDesign[] = {
    {ui::ControlKind::Label, "LblBackGrd", -1, "FrmInit", "", 60, 60, 5280, 1530},
    {ui::ControlKind::Label, "LblMsg", -1, "FrmInit", "", 180, 240, 5040, 495},
    {ui::ControlKind::Label, "Label1", -1, "FrmInit", "", 180, 960, 5040, 300},
    {ui::ControlKind::Shape, "Shape1", -1, "FrmInit", "", 210, 990, 600, 240},
};

// The picture's place is as designed until a picture is loaded; the rest follows it.
const ui::ControlDesc StartUpDesign[] = {
    {ui::ControlKind::Label, "LblBackGrd", -1, "FrmStartUp", "", 60, 60, 6180, 5130},
    {ui::ControlKind::Image, "Image1", -1, "FrmStartUp", "", 150, 150, 6000, 2250},
    {ui::ControlKind::Label, "LblVersioneVal", -1, "FrmStartUp", "", 150, 2520, 6000, 1650},
    {ui::ControlKind::Button, "CmdUpdateFrm", -1, "FrmStartUp", "Update firmware", 0, 0, 1800, 375},
    {ui::ControlKind::Button, "Command1", -1, "FrmStartUp", "Esc", 0, 0, 1800, 375},
};

} // namespace

void BuildFrmInit(QWidget& form) {
    ui::ControlBuilder(form).Build(InitDesign);
}

void BuildFrmStartUp(QWidget& form) {
    ui::ControlBuilder(form).Build(StartUpDesign);
}

} // namespace app
