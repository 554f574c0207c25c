#include "monitor/DialogDesigns.h"

#include "ui/ControlBuilder.h"

#include <QWidget>

namespace monitor {

namespace {

using ui::ControlDesc;
using ui::ControlKind;

const ui::ControlDesc ErrEcuDesign[] = {
    {ui::ControlKind::Grid, "MSFlexGrid1", -1, "FrmErrEcu", "", 120, 120, 8160, 5280},
    {ui::ControlKind::Button, "CmdErrInjCanc", -1, "FrmErrEcu", "Clear errors", 120, 5580, 2400,
     495},
    {ui::ControlKind::Button, "Command2", -1, "FrmErrEcu", "OK", 5880, 5580, 2400, 495},
};

const ui::ControlDesc ServiceDesign[] = {
    {ui::ControlKind::Frame, "FrmTempo", -1, "FrmService", "Running time", 120, 120, 5160, 2040},
    {ui::ControlKind::Label, "LblTimeGas", -1, "FrmTempo", "", 240, 360, 4680, 315},
    {ui::ControlKind::Label, "LblTimePetrol", -1, "FrmTempo", "", 240, 780, 4680, 315},
    {ui::ControlKind::Label, "LblHelp", -1, "FrmTempo", "", 240, 1260, 4680, 600},
    {ui::ControlKind::Button, "CmdErase", -1, "FrmService", "Erase", 3480, 2280, 1800, 420},
};

} // namespace

void BuildFrmErrEcu(QWidget& form) {
    ui::ControlBuilder(form).Build(ErrEcuDesign);
}

void BuildFrmService(QWidget& form) {
    ui::ControlBuilder(form).Build(ServiceDesign);
}

} // namespace monitor
