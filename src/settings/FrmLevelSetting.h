#pragma once

// The level-sensor dialog: the four switching thresholds of the fitted sensor type, one
// row each (lamp, value in the sensor's unit, scroll bar over the raw count), the live
// reading filtered and unfiltered, and Default, which reloads the type's thresholds.
// Modeless, owned by the main window, destroyed when closed.

#include <QTimer>
#include <QWidget>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QScrollBar;

namespace app {
struct ProgramContext;
}

namespace ecudata {
struct GasLevelRec;
}

namespace settings {

class FrmLevelSetting : public QWidget {
public:
    FrmLevelSetting(app::ProgramContext& context, QWidget& owner);

    void Form_Load();
    void LoadLevelCaptions();
    void BuildLevelControls();
    void ShowLevelThresholds();
    void HScrLevel_Change(int index);
    void CmdDefaultLevel_Click();
    void Timer1_Timer();
    void MarkLevelShapes();

    QScrollBar& HScrLevel(int row) const;
    QLineEdit& TxtLevel(int row) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    // The record of the sensor type as read; nullptr when the table lacks it.
    const ecudata::GasLevelRec* Sensor() const;
    bool Reversed() const;
    QString ValueText(int count) const;
    QWidget& Lamp(int row) const;

    app::ProgramContext& ctx_;
    QTimer timer1_;
    bool thresholdsReady_ = false;
    int shownSensorType_ = -1;
};

} // namespace settings
