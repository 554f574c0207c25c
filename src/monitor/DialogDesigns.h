#pragma once

// The designed controls of the error-list and service-hours windows, each named as the
// window's procedures and the test script name it. The windows bind them after building.

class QWidget;

namespace monitor {

// FrmErrEcu: the grid MSFlexGrid1 and the buttons CmdErrInjCanc and Command2.
void BuildFrmErrEcu(QWidget& form); // form named FrmErrEcu

// FrmService: the frame FrmTempo with LblTimeGas, LblTimePetrol and LblHelp, and the
// button CmdErase.
void BuildFrmService(QWidget& form); // form named FrmService

} // namespace monitor
