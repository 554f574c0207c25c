#pragma once

// The ECU's error flags after each error read (every 504th poll tick): the errors of
// sensors and functions the installation does not use are masked and zeroed in the link
// object, and the General page's error button CmdErrInj shows while an error with a text
// remains. A flag of 0 is no error and 255 counts as none for the button; codes 32..63
// are the second set of the errors 0..31.

#include <QStringList>
#include <array>

class QPushButton;
class QWidget;

namespace comm {
class ClsComm;
}

namespace app {
class FrmLX735;
struct ProgramContext;
} // namespace app

namespace monitor {

using ErrorMaskArray = std::array<quint8, 64>;

// What decides the mask: the end-of-gas setting off, the vacuum box hidden, the
// gas-temperature box hidden, no lambda probe (or its combo hidden).
struct ErrorMaskInputs {
    bool endGasOff = false;
    bool vacuumHidden = false;
    bool gasTempHidden = false;
    bool lambdaOff = false;
};

// Entries 8, 9, 11, 12 and their partners 40, 41, 43, 44; every other entry 0.
ErrorMaskArray BuildErrorMask(const ErrorMaskInputs& inputs);

// True when some code holds an error (neither 0 nor 255) that has a text: a code of the
// first set within the texts, or its partner in the second.
bool ErrorButtonWanted(const comm::ClsComm& link, const QStringList& ecuErrorTexts);

class ErrorFlags {
public:
    ErrorFlags(app::ProgramContext& context, app::FrmLX735& window);

    // The rest of the error read: BuildErrorMask, the masked flags zeroed, the button.
    void ShowErrorButton();
    void BuildErrorMask();

    ErrorMaskArray ErrorMask{};
    // CmdErrInj.
    QPushButton& Button() { return button_; }

private:
    app::ProgramContext& ctx_;
    QPushButton& button_;
    // Whose visibility decides the mask.
    QWidget& vacuum_;
    QWidget& gasTemp_;
    QWidget& lambdaCombo_;
};

} // namespace monitor
