#include "monitor/DialogDesigns.h"

#include "app/ControlBuilder.h"

#include <QWidget>

namespace monitor {

namespace {

using app::ControlDesc;
using app::ControlKind;

const ControlDesc ErrEcuDesign[] = {
    {ControlKind::Grid, "MSFlexGrid1", -1, "FrmErrEcu", "", 120, 120, 8160, 5280},
    {ControlKind::Button, "CmdErrInjCanc", -1, "FrmErrEcu", "Clear errors", 120, 5580, 2400, 495},
    {ControlKind::Button, "Command2", -1, "FrmErrEcu", "OK", 5880, 5580, 2400, 495},
};

const ControlDesc ServiceDesign[] = {
    {ControlKind::Frame, "FrmTempo", -1, "FrmService", "Running time", 120, 120, 5160, 2040},
    {ControlKind::Label, "LblTimeGas", -1, "FrmTempo", "", 240, 360, 4680, 315},
    {ControlKind::Label, "LblTimePetrol", -1, "FrmTempo", "", 240, 780, 4680, 315},
    {ControlKind::Label, "LblHelp", -1, "FrmTempo", "", 240, 1260, 4680, 600},
    {ControlKind::Button, "CmdErase", -1, "FrmService", "Erase", 3480, 2280, 1800, 420},
};

} // namespace

void BuildFrmErrEcu(QWidget& form) {
    app::ControlBuilder(form).Build(ErrEcuDesign);
}

void BuildFrmService(QWidget& form) {
    app::ControlBuilder(form).Build(ServiceDesign);
}

} // namespace monitor
