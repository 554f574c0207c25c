#pragma once

// The Calibration tab as the calibration run drives it: its layout, the step and message
// labels and the two buttons (each written only when it changes), the progress bar, the
// blinking live boxes and the developer read-outs.

#include <QString>
#include <array>
#include <memory>
#include <vector>

class QLabel;
class QObject;
class QPushButton;
class QWidget;

namespace app {
class FrmLX735;
struct ProgramContext;
} // namespace app

namespace calibration {

class CalibrationPage {
public:
    // Builds the read-outs on the window and binds the page's controls.
    CalibrationPage(app::ProgramContext& ctx, app::FrmLX735& window);
    ~CalibrationPage();

    void LayoutCalPage();

    void SetStep(const QString& text);
    void SetMessage(const QString& text, bool centred = false);
    QString Message() const;
    void EnableStart(bool on);
    void EnableCancel(bool on);

    // The bar (ShpCalStep(1)) in twips against the full width of the layout.
    void ResetTaraProgress();
    void RestartTaraProgress();
    void AnimateTaraProgress();
    void StepTaraProgress(int step);
    void FullWidth();

    // The live boxes the run blinks, bound when the page is built.
    enum class LiveBox { TmpVap, Rpm }; // TxtTmpVap(1), TxtRpm(1)

    // A live box blinking between yellow on black and black on yellow, or set to one of
    // them.
    void Blink(LiveBox box);
    void SetBoxColours(LiveBox box, quint32 back, quint32 fore);

    // LblVarTaraVal(i): the value rounded to 3 decimals.
    void ShowValue(int i, double value, int decimals = 3);

private:
    void SetBar(int width, bool opaque);

    app::ProgramContext& ctx_;
    app::FrmLX735& window_;

    // The page's controls, bound once when it is built.
    QPushButton* start_ = nullptr;        // CmdCalStart
    QPushButton* cancel_ = nullptr;       // CmdCalCancel
    QWidget* frame_ = nullptr;            // FrmCalStatus
    QLabel* step_ = nullptr;              // LblCalStep
    QLabel* message_ = nullptr;           // LblCalMsg
    QWidget* outline_ = nullptr;          // ShpCalStep(0)
    QWidget* bar_ = nullptr;              // ShpCalStep(1)
    QWidget* readouts_ = nullptr;         // FrmVarTara
    QWidget* compute_ = nullptr;          // CmdComputeModl(0)
    std::vector<QLabel*> values_;         // LblVarTaraVal(0..11)
    std::array<QWidget*, 2> liveBoxes_{}; // by LiveBox

    // Lays the page out again when the developer view shows or hides the read-outs.
    std::unique_ptr<QObject> readoutsWatch_;
    int barWidth_ = 0;
    bool barOpaque_ = true;
};

} // namespace calibration
