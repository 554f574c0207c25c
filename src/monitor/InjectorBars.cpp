#include "monitor/InjectorBars.h"

#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "monitor/EngineValues.h"
#include "support/Colors.h"
#include "support/Conversions.h"
#include "support/UCtrlBar.h"
#include "ui/ControlBuilder.h"
#include "ui/ControlLook.h"
#include "ui/TextCell.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QSignalBlocker>
#include <algorithm>

namespace monitor {

namespace {

constexpr quint8 FuelGas = 3;
constexpr quint8 FlagCutOff = 0x20;
constexpr quint32 ColorYellow = 0xFFFF;
const QString CutOff = QStringLiteral("C.OFF");

void SetBar(support::UCtrlBar& bar, double ms) {
    qint16 value = BarValue(ms);
    bar.Valore(value);
}

} // namespace

qint16 BarValue(double ms) {
    return qint16(std::clamp(support::RoundHalfEven(ms), -32768.0, 32767.0));
}

InjectorBars::InjectorBars(app::ProgramContext& context, app::FrmLX735& window)
    : ctx_(context), cmbInj_(ui::Bind<QComboBox>(window, "CmbInj")),
      petBars_(ui::BindArray<support::UCtrlBar>(window, "InjPetBar", 0, Injectors)),
      gasBars_(ui::BindArray<support::UCtrlBar>(window, "InjGasBar", 0, Injectors)),
      labels_(ui::BindArray<QLabel>(window, "LblInj", 0, Injectors)),
      petPage_(ui::Bind<ui::TextCell>(window, "TxtInjTimePet", 0)),
      gasPage_(ui::Bind<ui::TextCell>(window, "TxtInjTimeGas", 0)),
      petFrame_(ui::Bind<ui::TextCell>(window, "TxtInjTimePet", 1)),
      gasFrame_(ui::Bind<ui::TextCell>(window, "TxtInjTimeGas", 1)) {
    for (int i = 0; i < Injectors; ++i) {
        labels_[i]->setText(QString::number(i + 1));
    }
    QObject::connect(&cmbInj_, &QComboBox::currentIndexChanged, &cmbInj_,
                     [this] { CmbInj_Click(); });
}

bool InjectorBars::OnGas(int injector) const {
    const quint8 mode = ctx_.Images.Mem3Data.CylState[size_t(injector)];
    return ctx_.Images.Mem2Data.ModeReq == FuelGas && (mode == 3 || mode == 4);
}

QString InjectorBars::Time(double ms) const {
    return LiveFixed(ms, 2, 2, ctx_.DecimalSep);
}

void InjectorBars::IstanzaInj(int n) {
    for (int i = 0; i < Injectors; ++i) {
        const bool shown = i < n;
        ui::SetShown(*gasBars_[i], shown);
        ui::SetShown(*petBars_[i], shown);
        ui::SetShown(*labels_[i], shown);
    }
    for (int i = 0; i < Injectors; ++i) {
        SetBar(*gasBars_[i], 0);
        SetBar(*petBars_[i], 0);
    }
    {
        const QSignalBlocker filling(cmbInj_);
        cmbInj_.clear();
        cmbInj_.addItem("Inj_##");
        for (int k = 1; k <= n; ++k) {
            cmbInj_.addItem("Inj_" + QString::number(k));
        }
        cmbInj_.setCurrentIndex(0);
    }
    CmbInj_Click();
}

void InjectorBars::CmbInj_Click() {
    for (int i = 0; i < Injectors; ++i) {
        QLabel& label = *labels_[i];
        const bool chosen = cmbInj_.currentIndex() == i + 1;
        label.setFrameShape(chosen ? QFrame::Box : QFrame::NoFrame);
        ui::SetBackColor(label, chosen ? ColorYellow : support::ColorButtonFace);
    }
}

void InjectorBars::ShowInjectionTimes() {
    const bool keyOn = ctx_.Images.Mem1Data.StatusKey != 0;
    app::InjectionTimes& t = ctx_.InjTimes;
    const ecudata::Mem1Rec& live = ctx_.Images.Mem1Data;
    for (int i = 0; i < Injectors; ++i) {
        t.TInjGasDeltaSmooth[i] = (live.TInjGasBar[i] + t.TInjGasDeltaSmooth[i]) / 2;
        t.TInjPetSmooth[i] = (live.TInjBenz[i] + t.TInjPetSmooth[i]) / 2;
    }
    ShowBars(keyOn);
    ComputeAverages(keyOn);
    ShowTimes(keyOn);
    AdvanceHistories();
}

void InjectorBars::ShowBars(bool keyOn) {
    const app::InjectionTimes& t = ctx_.InjTimes;
    for (int i = 0; i < Injectors; ++i) {
        const double petrol = keyOn ? t.TInjPetSmooth[i] : 0;
        const double gas = keyOn && OnGas(i) ? t.TInjPetSmooth[i] + t.TInjGasDeltaSmooth[i] : 0;
        SetBar(*petBars_[i], petrol);
        SetBar(*gasBars_[i], gas);
    }
}

void InjectorBars::ComputeAverages(bool keyOn) {
    app::InjectionTimes& t = ctx_.InjTimes;
    const ecudata::Mem1Rec& live = ctx_.Images.Mem1Data;
    t.TInjAvg1 = t.TInjAvg2 = t.TInjAvgGas = t.TInj1Gas = 0;
    t.TInj1Pet = t.TInjPetSmooth[0];
    if (OnGas(0)) {
        t.TInj1Gas = t.TInjPetSmooth[0] + t.TInjGasDeltaSmooth[0];
    }
    // The zone-3 parser keeps the count within 1..8.
    const int count = std::clamp<int>(ctx_.Images.Mem3Data.Cilindri, 0, Injectors);
    for (int i = 0; i < count; ++i) {
        t.TInjAvg1 += t.TInjPetSmooth[i];
        t.TInjAvg2 += live.TInjBenz[i];
        if (OnGas(i)) {
            t.TInjAvgGas += live.TInjBenz[i] + live.TInjGasBar[i];
        }
    }
    if (count >= 1 && keyOn) {
        t.TInjAvg1 /= count;
        t.TInjAvg2 /= count;
        t.TInjAvgGas /= count; // every injector counts, also those on petrol
    } else {
        t.TInjAvg1 = t.TInjAvg2 = t.TInjAvgGas = t.TInj1Pet = t.TInj1Gas = 0;
    }
}

void InjectorBars::ShowTimes(bool keyOn) {
    const app::InjectionTimes& t = ctx_.InjTimes;
    const bool cutOff = ctx_.Images.Mem2Data.Flags & FlagCutOff;
    gasFrame_.setText(cutOff ? CutOff : Time(t.TInj1Gas));
    petFrame_.setText(cutOff ? CutOff : Time(t.TInj1Pet));

    const int choice = cmbInj_.currentIndex();
    double gas = 0;
    double petrol = 0;
    if (choice == 0) {
        gas = t.TInjAvgGas;
        petrol = t.TInjAvg2;
    } else if (choice >= 1 && choice <= Injectors && keyOn) {
        const int j = choice - 1;
        gas = OnGas(j) ? t.TInjPetSmooth[j] + t.TInjGasDeltaSmooth[j] : 0;
        petrol = t.TInjPetSmooth[j];
    }
    gasPage_.setText(cutOff ? CutOff : Time(gas));
    petPage_.setText(cutOff ? CutOff : Time(petrol));
}

void InjectorBars::AdvanceHistories() {
    app::InjectionTimes& t = ctx_.InjTimes;
    for (auto* history : {&t.TInjHist1, &t.TInjHist3, &t.TInjHist4}) {
        std::shift_right(history->begin(), history->end(), 1);
    }
    t.TInjHist1[0] = t.TInjAvg2;
    t.TInjHist3[0] = t.TInj1Pet;
    t.TInjHist4[0] = t.TInj1Gas;
}

void InjectorBars::Blank() {
    for (int i = 0; i < Injectors; ++i) {
        SetBar(*petBars_[i], 0);
        SetBar(*gasBars_[i], 0);
    }
    for (ui::TextCell* cell : {&gasFrame_, &petFrame_, &gasPage_, &petPage_}) {
        cell->setText({});
    }
}

} // namespace monitor
