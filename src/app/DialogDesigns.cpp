#include "app/DialogDesigns.h"

#include "app/ControlBuilder.h"

#include <QWidget>

namespace app {

namespace {

const ControlDesc InitDesign[] = {
    {ControlKind::Label, "LblBackGrd", -1, "FrmInit", "", 60, 60, 5280, 1530},
    {ControlKind::Label, "LblMsg", -1, "FrmInit", "", 180, 240, 5040, 495},
    {ControlKind::Label, "Label1", -1, "FrmInit", "", 180, 960, 5040, 300},
    {ControlKind::Shape, "Shape1", -1, "FrmInit", "", 210, 990, 600, 240},
};

// The picture's place is as designed until a picture is loaded; the rest follows it.
const ControlDesc StartUpDesign[] = {
    {ControlKind::Label, "LblBackGrd", -1, "FrmStartUp", "", 60, 60, 6180, 5130},
    {ControlKind::Image, "Image1", -1, "FrmStartUp", "", 150, 150, 6000, 2250},
    {ControlKind::Label, "LblVersioneVal", -1, "FrmStartUp", "", 150, 2520, 6000, 1650},
    {ControlKind::Button, "CmdUpdateFrm", -1, "FrmStartUp", "Update firmware", 0, 0, 1800, 375},
    {ControlKind::Button, "Command1", -1, "FrmStartUp", "Esc", 0, 0, 1800, 375},
};

} // namespace

void BuildFrmInit(QWidget& form) {
    ControlBuilder(form).Build(InitDesign);
}

void BuildFrmStartUp(QWidget& form) {
    ControlBuilder(form).Build(StartUpDesign);
}

} // namespace app
