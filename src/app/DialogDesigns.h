#pragma once

// The designed controls of the port-search splash and the About box, each named as the
// window's procedures and the test script name it. The windows bind them after building.

class QWidget;

namespace app {

// FrmInit: the background LblBackGrd, the message LblMsg, the bar's track Label1 and
// the bar Shape1.
void BuildFrmInit(QWidget& form); // form named FrmInit

// FrmStartUp: the background LblBackGrd, the picture Image1, the version text
// LblVersioneVal and the buttons CmdUpdateFrm and Command1. Its load places them.
void BuildFrmStartUp(QWidget& form); // form named FrmStartUp

} // namespace app
