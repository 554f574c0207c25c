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
#include <functional>
#include <vector>

class QLabel;
class QLineEdit;
class QWidget;

namespace app {
class FrmLX735;
struct ProgramContext;
} // namespace app

namespace calibration {

class ChartCanvas;
class ChartLine;
struct ModPageLayout;

class ModelingPage : public QObject {
public:
    // Builds the page's controls on the window and binds them.
    ModelingPage(app::ProgramContext& ctx, app::FrmLX735& window, TaraValues& tara);

    // Chart frame.
    void InizVarMod();
    // The chart frame sized for the tab strip as it stands and its geometry taken from
    // it: what the page's layout gives, also before the page was shown.
    void FitChart();
    // Called at the end of every layout of the page, the chart redrawn.
    void OnLayout(std::function<void()> laidOut) { laidOut_ = std::move(laidOut); }
    void DrawGridMod();
    const ModGeometry& Geometry() const { return geo_; }
    // The live point's trail ShpInjTimeMod(1..15), made by the Map chart's
    // LoadPointLabelsMap on its first call, brought to the front on every call.
    void LoadTrailMod();

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
    // Half sizes of the live point (element 0) and of its trail.
    struct TrailHalfSizes {
        double pointW = 0, pointH = 0;
        double trailW = 0, trailH = 0;
    };

    ModPageLayout PageLayout() const;
    void BuildControls();
    void BindControls();
    void MakeCorMarkers();
    void ConnectButtons();
    void SelectLine(QLineEdit& box);
    void RedrawAfterStep();
    void RevealNext();
    void ArmModelWrite();
    bool ModelRead() const;
    void EnableModelEditing();
    QString Fixed(double value, int decimals) const;
    // A value the correction table keeps as a whole count of 1/scale (Alfa and Offset in
    // thousandths, a point's time in microseconds), shown from that count exactly.
    QString StoredFixed(float value, int scale, int decimals) const;

    app::ProgramContext& ctx_;
    app::FrmLX735& window_;
    TaraValues& tara_;
    ModGeometry geo_;
    TrailHalfSizes trail_;
    std::function<void()> laidOut_;

    // The page's controls, bound once when it is built.
    QWidget* frmMod_ = nullptr;
    QWidget* frmModPnt_ = nullptr;
    QWidget* frmModLine_ = nullptr;
    ChartCanvas* canvas_ = nullptr;
    ChartLine* refLine_ = nullptr;           // LineRifModel
    std::vector<ChartLine*> segments_;       // LineRMod(0..6)
    std::vector<QLabel*> points_;            // LblPntMod(0..7)
    std::vector<QLineEdit*> txtX_;           // TxtXPos(0..6), points 1..7
    std::vector<QLineEdit*> txtY_;           // TxtYPos(0..6)
    QLineEdit* txtAlfa_ = nullptr;           // TxtALfaPos
    QLineEdit* txtOffset_ = nullptr;         // TxtOffsetPos
    std::array<QWidget*, 3> fileButtons_{};  // CmdModOpen, CmdModSave, CmdReset
    std::array<QWidget*, 2> lowerButtons_{}; // CmdShpMapMod, CmdTableComp
    QWidget* shpPmin_ = nullptr;
    QWidget* shpPLoad_ = nullptr;
    std::vector<QWidget*> trailShapes_;  // ShpInjTimeMod(0..15), the live point first
    std::vector<QWidget*> markers_;      // ShpPunti(0..191)
    std::vector<QWidget*> modelEditors_; // the step buttons, CmdResetLine, CmdComputeModl(0)

    // Positions in twips as last placed (the widgets hold whole pixels only).
    std::array<Twips, 8> pointPos_{};
    std::array<std::array<double, 4>, 7> segmentPos_{};
    std::array<Twips, 192> markerPos_{};
    std::array<Twips, 2> devMarkerPos_{};

    bool modButtonHeld_ = false;
    HoldRepeat repeat_;
    StepButton heldButton_ = StepButton::Up;
    int heldPoint_ = -1;
    QTimer holdTimer_;

    QTimer revealTimer_;
    int revealNext_ = 0;
};

} // namespace calibration
