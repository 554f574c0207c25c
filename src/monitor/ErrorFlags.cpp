#include "monitor/ErrorFlags.h"

#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "ui/ControlBuilder.h"
#include "ui/ControlLook.h"

#include <QPushButton>

namespace monitor {

namespace {

constexpr int SecondSet = 32;
constexpr quint32 ButtonColor = 0x80C0FF;
constexpr quint8 NoErrorForButton = 255;

} // namespace

ErrorMaskArray BuildErrorMask(const ErrorMaskInputs& inputs) {
    ErrorMaskArray mask{};
    const std::pair<int, bool> entries[] = {{8, inputs.endGasOff},
                                            {9, inputs.vacuumHidden},
                                            {11, inputs.gasTempHidden},
                                            {12, inputs.lambdaOff}};
    for (const auto& [code, masked] : entries) {
        mask[size_t(code)] = mask[size_t(code + SecondSet)] = masked ? 1 : 0;
    }
    return mask;
}

bool ErrorButtonWanted(const comm::ClsComm& link, const QStringList& ecuErrorTexts) {
    const int last = int(ecuErrorTexts.size()) - 1;
    for (int code = 0; code <= link.ErrInjUBound(); ++code) {
        const quint8 flag = link.ErrInj(quint8(code));
        if (flag == 0 || flag == NoErrorForButton) {
            continue;
        }
        if (code <= last || (code >= SecondSet && code <= last + SecondSet)) {
            return true;
        }
    }
    return false;
}

ErrorFlags::ErrorFlags(app::ProgramContext& context, app::FrmLX735& window)
    : ctx_(context), button_(ui::Bind<QPushButton>(window, "CmdErrInj")),
      vacuum_(ui::Bind<QWidget>(window, "TxtVacuum")),
      gasTemp_(ui::Bind<QWidget>(window, "TxtTmpGas", 0)),
      lambdaCombo_(ui::Bind<QWidget>(window, "CmbSwtchLambda")) {
    // The button shows only once an error read has found an error.
    ui::SetShown(button_, false);
}

void ErrorFlags::BuildErrorMask() {
    const ecudata::Mem3Rec& zone3 = ctx_.Images.Mem3Data;
    ErrorMask =
        monitor::BuildErrorMask({zone3.EmptyGas == 0, vacuum_.isHidden(), gasTemp_.isHidden(),
                                 zone3.LambdaSwitch == 0 || lambdaCombo_.isHidden()});
}

void ErrorFlags::ShowErrorButton() {
    BuildErrorMask();
    comm::ClsComm& link = ctx_.Comm();
    for (int code = 0; code <= link.ErrInjUBound(); ++code) {
        if (ErrorMask[size_t(code)] == 1) {
            link.ErrInj(quint8(code), 0);
        }
    }
    if (!ErrorButtonWanted(link, ctx_.Texts.EcuErrorTexts)) {
        ui::SetShown(button_, false);
        return;
    }
    ui::SetShown(button_, true);
    if (button_.text() != ctx_.Texts.MsgLive[4]) {
        button_.setText(ctx_.Texts.MsgLive[4]);
    }
    if (ui::BackColor(button_) != ButtonColor) {
        ui::SetBackColor(button_, ButtonColor);
    }
}

} // namespace monitor
