#pragma once

// The Modeling page (tab 3): the chart of the nine-point model with its points,
// segments, reference line, live point and trail and the ECU table's markers; the point
// and line frames with their boxes and step buttons; the file and reset buttons.

#include "calibration/ChartGeometry.h"
#include "calibration/HoldRepeat.h"
#include "calibration/NinePointModel.h"
#include "calibration/TaraValues.h"

#include <QObject>
#include <QTimer>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace app {
class FrmLX735;
struct ProgramContext;
} // namespace app

namespace calibration {

class ChartCanvas;

// Half sizes of the live point (element 0) and of its trail, kept by the point-label
// loader of the Map page, which creates the trail.
struct TrailHalfSizes {
    double pointW = 0, pointH = 0;
    double trailW = 0, trailH = 0;
};

class ModelingPage : public QObject {
public:
    ModelingPage(app::ProgramContext& ctx, app::FrmLX735& window, TaraValues& tara);

    // Chart frame.
    void InizVarMod();
    void DrawGridMod();
    const ModGeometry& Geometry() const { return geo_; }
    TrailHalfSizes& Trail() { return trail_; }

    // The model on the chart.
    void DisponiMatriceModDefault();
    void PlottaMatricePuntiMod(bool animate);
    void AggiornaStatoPuntoMod();
    void DrawRefLineMod();
    void VisualizzaPuntoInjTimeMod();
    void LayoutModPage();
    void PlotCorTableMod();
    void ShowModLimits();
    void UpdateCorTable(bool force);

    // Selection: the labels' back colour.
    int GetSelPunto();
    void SelectPointMod(int i);
    void DeselezionaPuntiMod();

    // Step buttons: press, release, and the repeat of a held one.
    void StepButtonDown(StepButton button);
    void StepButtonUp();
    void HoldTick();
    bool ModButtonHeld() const { return modButtonHeld_; }

    // Buttons.
    void CmdResetLine_Click();
    void CmdModOpen_Click();
    void CmdModSave_Click();
    void CmdReset_Click();
    void CmdComputeModl_Click();
    // The selected injector type's rules for the fuel, applied and redrawn; the write
    // is armed.
    void ApplyModRules();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildPointFrame(QWidget& frame);
    void BuildLineFrame(QWidget& frame);
    void ConnectStep(QPushButton& button, StepButton step);
    void SelectLine(QLineEdit& box);
    void RedrawAfterStep();
    void RevealNext();
    void ArmModelWrite();
    void MarkLineSelected(bool alfa);
    QWidget* Widget(const QString& name) const;
    QString Fixed(double value, int decimals) const;

    app::ProgramContext& ctx_;
    app::FrmLX735& window_;
    TaraValues& tara_;
    ModGeometry geo_;
    TrailHalfSizes trail_;
    ChartCanvas* canvas_ = nullptr;

    std::array<QLabel*, 8> points_{};
    std::array<QLineEdit*, 7> txtX_{};
    std::array<QLineEdit*, 7> txtY_{};
    QLineEdit* txtAlfa_ = nullptr;
    QLineEdit* txtOffset_ = nullptr;

    // Positions in twips as last placed (the widgets hold whole pixels only).
    std::array<std::pair<double, double>, 8> pointPos_{};
    std::array<std::array<double, 4>, 7> segmentPos_{};
    std::array<std::pair<double, double>, 192> markerPos_{};
    std::array<std::pair<double, double>, 2> devMarkerPos_{};

    bool modButtonHeld_ = false;
    HoldRepeat repeat_;
    StepButton heldButton_ = StepButton::Up;
    int heldPoint_ = -1;
    QTimer holdTimer_;

    QTimer revealTimer_;
    int revealNext_ = 0;
};

} // namespace calibration
