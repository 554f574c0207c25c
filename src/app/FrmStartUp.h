#pragma once

// The About box, also the notice the identification opens when the firmware image
// carries a later date than the ECU's same version: a picture, the program's release,
// the ECU's and the image's firmware, the operating system, and (in the second case) a
// blinking button that asks for the firmware update. It never blocks the main window;
// each close unloads it.

#include <QTimer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace comm {
class ClsComm;
}

namespace support {
struct WinVerInfo;
}

namespace app {

struct ProgramContext;

// The version text: an empty line, the release, the ECU's and the image's firmware,
// an empty line and the operating system.
QString VersionText(const comm::ClsComm& link, const support::WinVerInfo& os);

// The update is offered for the image's later date of the ECU's own version, and only
// while the link is not stopped. An identity whose version or date is not all decimal
// digits is unknown and offers nothing.
bool OfferFirmwareUpdate(const comm::ClsComm& link);

class FrmStartUp : public QWidget {
public:
    FrmStartUp(ProgramContext& context, QWidget* owner);

    void Form_Load();
    void Command1_Click();
    void CmdUpdateFrm_Click();
    // Every 500 ms: the update button, while shown, turns orange and back.
    void Timer1_Timer();
    QTimer& Timer1() { return timer1_; }

    // The texts and buttons of one showing.
    void ShowVersions(const QString& text, bool offerUpdate);

private:
    ProgramContext& ctx_;
    QLabel* image1_ = nullptr;
    QLabel* lblBackGrd_ = nullptr;
    QLabel* lblVersioneVal_ = nullptr;
    QPushButton* cmdUpdateFrm_ = nullptr;
    QPushButton* command1_ = nullptr;
    QTimer timer1_;
};

} // namespace app
