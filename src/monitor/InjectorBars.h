#pragma once

// The injection times of the General page: a petrol bar and a gas bar per injector, the
// injector chooser CmbInj with its petrol and gas boxes, and injector 1's times in the
// live-value frame. ShowInjectionTimes (every 4th poll tick) also keeps the smoothed
// times, averages and histories of the program context's InjTimes, which the point log,
// the calibration and the Modeling and Map live points read.

#include <QString>
#include <vector>

class QComboBox;
class QLabel;

namespace support {
class UCtrlBar;
}

namespace ui {
class TextCell;
} // namespace ui

namespace app {
class FrmLX735;
struct ProgramContext;
} // namespace app

namespace monitor {

class InjectorBars {
public:
    static constexpr int Injectors = 8;

    InjectorBars(app::ProgramContext& context, app::FrmLX735& window);

    // Shows the bars and labels of injectors 0..n-1 and hides the others, empties every
    // bar and fills CmbInj with "Inj_##" and "Inj_1".."Inj_n", entry 0 chosen.
    void IstanzaInj(int n);
    // Marks the label of the injector chosen in CmbInj (entry k: injector k - 1).
    void CmbInj_Click();
    void ShowInjectionTimes();
    // Empties the bars and times: the live record is not current.
    void Blank();

private:
    bool OnGas(int injector) const;
    QString Time(double ms) const;
    void ShowBars(bool keyOn);
    void ComputeAverages(bool keyOn);
    void ShowTimes(bool keyOn);
    void AdvanceHistories();

    app::ProgramContext& ctx_;
    QComboBox& cmbInj_;
    std::vector<support::UCtrlBar*> petBars_; // one per injector
    std::vector<support::UCtrlBar*> gasBars_;
    std::vector<QLabel*> labels_;
    ui::TextCell& petPage_;
    ui::TextCell& gasPage_;
    ui::TextCell& petFrame_;
    ui::TextCell& gasFrame_;
};

// A time handed to a bar: the nearest whole millisecond, a half to the even one.
qint16 BarValue(double ms);

} // namespace monitor
