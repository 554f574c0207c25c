#pragma once

// The Map page (tab 5): the acquisition check box and the rpm-band combo, the read,
// clear, compute, open and save buttons, the sample labels and the live point on the
// Map chart, the matched pairs on the Modeling chart (and the Modeling tab's button that
// hides them), the in-band indicator with its beep, and the developer's drawing of the
// correction table (FrmMapSample).

#include "calibration/OperatingMap.h"

#include <QObject>
#include <QPointer>
#include <vector>

class QCheckBox;
class QComboBox;
class QWidget;

namespace app {
class FrmLX735;
struct ProgramContext;
} // namespace app

namespace calibration {

class ChartCanvas;
class ChartLine;
class MapChart;
class ModelingPage;

class MapPage : public QObject {
public:
    // Builds the page's controls on the window and binds them.
    MapPage(app::ProgramContext& ctx, app::FrmLX735& window, MapChart& chart,
            ModelingPage& modeling);

    // Handlers.
    void ChkAbilAcqVacum_Click();
    void CmbShoRpm_Click();
    void CmdMapRead_Click();
    void CmdMapClrGas_Click();
    void CmdMapClrPet_Click();
    void CmdMapCompute_Click();
    void CmdShpMapMod_Click();
    void CmdMapOpen_Click();
    void CmdMapSave_Click();
    void FrmMapSample_Click();

    // Called by the poll scheduler and the window.
    void ShowRpmBand();
    void RefreshMapAcq(bool plotOnModel);
    void VisualizzaPuntoInjTimeMap();
    void DrawMapSample();
    void LayoutMapPage();

    void PlottaMatricePuntiMap();
    void PlotMapPointsMod();
    void AutoScaleMapY();
    void FillCmbShoRpm();
    void BeepRpmBand();

private:
    void BuildControls();
    void HideMatchedPoints();
    void PlaceMatchedPoints();
    // The hourglass over a handler, then a 250 ms wait that keeps the events running.
    template <class Work> void Busy(Work work);
    void ClearFuel(bool gas);

    app::ProgramContext& ctx_;
    app::FrmLX735& window_;
    MapChart& chart_;
    ModelingPage& modeling_;
    MapSamples sel_;
    BeepPacer beeps_;

    // The page's controls, bound once when it is built.
    QWidget* frmMapCmd_ = nullptr;
    QWidget* frmMapTuning_ = nullptr;
    QWidget* frmLegendaMap_ = nullptr;
    QWidget* frmMap_ = nullptr;
    QCheckBox* acquire_ = nullptr; // ChkAbilAcqVacum
    QComboBox* bands_ = nullptr;   // CmbShoRpm
    QWidget* cmdMapRead_ = nullptr;
    QWidget* cmdMapCompute_ = nullptr;
    QWidget* lblCalRpm_ = nullptr; // lit inside the band
    QWidget* txtRpm_ = nullptr;    // TxtRpm(1), the rpm shown
    QWidget* livePoint_ = nullptr;
    QWidget* liveShadow_ = nullptr;
    QWidget* frmMapSample_ = nullptr;
    ChartCanvas* sampleCanvas_ = nullptr;
    ChartLine* sampleZero_ = nullptr;        // LneMapSampleX
    std::vector<QPointer<QWidget>> matched_; // ShpMapMod, element 0 always there
    std::vector<ChartPoint> matchedAt_;      // where they stand, until hidden
    std::vector<QWidget*> cells_;            // ShpT
};

} // namespace calibration
