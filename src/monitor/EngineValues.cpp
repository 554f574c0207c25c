#include "monitor/EngineValues.h"

#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "support/Conversions.h"
#include "ui/ControlBuilder.h"
#include "ui/ControlLook.h"
#include "ui/TextCell.h"

#include <QCheckBox>

namespace monitor {

namespace {

constexpr quint8 FlagVacuum = 0x10;
constexpr int TabLambda = 4;
constexpr double LowestPressureMbar = 1.0 / 100;

} // namespace

QString LiveFixed(double value, int decimals, int digits, const QString& decimalSep) {
    return support::FormatFixed(value, decimals, digits, decimalSep);
}

EngineValues::Pair EngineValues::BindPair(app::FrmLX735& window, const char* name) {
    return {ui::Bind<ui::TextCell>(window, name, 0), ui::Bind<ui::TextCell>(window, name, 1)};
}

void EngineValues::Pair::Show(const QString& text) {
    page.setText(text);
    frame.setText(page.text());
}

EngineValues::EngineValues(app::ProgramContext& context, app::FrmLX735& window)
    : ctx_(context), window_(window), rpm_(BindPair(window, "TxtRpm")),
      tmpVap_(BindPair(window, "TxtTmpVap")), tmpGas_(BindPair(window, "TxtTmpGas")),
      pressure_(BindPair(window, "TxtPressure")),
      vacuum_(ui::Bind<ui::TextCell>(window, "TxtVacuum")),
      vacuumCaption_(ui::Bind<QWidget>(window, "LblCalPres")),
      acquisition_(ui::Bind<QCheckBox>(window, "ChkAbilAcqVacum")),
      absPres_(ui::Bind<ui::TextCell>(window, "TxtAbsPres")),
      supply_(ui::Bind<ui::TextCell>(window, "TxtSupply")) {}

QString EngineValues::Fixed(double value, int decimals, int digits) const {
    return LiveFixed(value, decimals, digits, ctx_.DecimalSep);
}

void EngineValues::ShowRpm() {
    const ecudata::Mem1Rec& live = ctx_.Images.Mem1Data;
    if (live.StatusKey != 0) {
        RpmSmooth = (live.Rpm + RpmSmooth) / 2;
        rpm_.Show(Fixed(RpmSmooth, 0, 4));
    } else {
        RpmSmooth = 0;
        rpm_.Show(Fixed(0, 0, 4));
    }
}

void EngineValues::ShowTemperatures() {
    const ecudata::Mem1Rec& live = ctx_.Images.Mem1Data;
    tmpVap_.Show(Fixed(live.Temp, 0, 2));
    tmpGas_.Show(Fixed(live.Temp1, 0, 2));
}

void EngineValues::ShowPressures() {
    const ecudata::Mem1Rec& live = ctx_.Images.Mem1Data;
    const double gas = live.PressGas >= LowestPressureMbar ? live.PressGas / 1000 : 0;
    pressure_.Show(ctx_.Images.Mem3Data.EmptyGas == 0 ? NotConfigured : Fixed(gas, 3, 1));

    const bool vacuumOn = ctx_.Images.Mem2Data.Flags & FlagVacuum;
    ui::SetShown(vacuum_, vacuumOn);
    ui::SetShown(vacuumCaption_, vacuumOn);
    if (acquisition_.isEnabled() != vacuumOn) {
        acquisition_.setEnabled(vacuumOn);
    }
    if (vacuumOn) {
        // The vacuum reads as 0 while the absolute pressure is not measured.
        const double vacuum = live.Vacuum >= LowestPressureMbar ? live.Press2 / 1000 : 0;
        vacuum_.setText(Fixed(vacuum, 3, 1));
    }
    if (window_.SstMain().currentIndex() == TabLambda) {
        absPres_.setText(Fixed(live.Vacuum / 1000, 3, 1));
    }
}

void EngineValues::ShowSupplyVoltage() {
    const double supply = ctx_.Images.Mem1Data.Supply;
    supply_.setText(Fixed(supply < 1.0 ? 0 : supply, 1, 1));
}

void EngineValues::Blank() {
    RpmSmooth = 0; // the next record is not averaged with a stale one
    for (Pair* pair : {&rpm_, &tmpVap_, &tmpGas_, &pressure_}) {
        pair->Show({});
    }
    for (ui::TextCell* cell : {&vacuum_, &absPres_, &supply_}) {
        cell->setText({});
    }
}

} // namespace monitor
