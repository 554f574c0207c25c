#pragma once

// The level-sensor dialog: the four switching thresholds of the fitted sensor type, one
// row each (lamp, value in the sensor's unit, scroll bar over the raw count), the live
// reading filtered and unfiltered, and Default, which reloads the type's thresholds. It
// shows zone 3 as read with its pending edits, refilled when a zone read lands.
// Modeless, owned by the main window, destroyed when closed.

#include "ecudata/ParamRecords.h"

#include <QTimer>
#include <QWidget>
#include <vector>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
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
    void ShowLevelThresholds();
    void HScrLevel_Change(int index);
    void CmdDefaultLevel_Click();
    void Timer1_Timer();
    void MarkLevelShapes();

    QScrollBar& HScrLevel(int row) const { return *hscrLevel_[size_t(row)]; }
    QLineEdit& TxtLevel(int row) const { return *txtLevel_[size_t(row)]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    // Makes the four threshold rows and binds them; once, when the dialog loads.
    void BuildLevelControls();
    ecudata::Mem3Rec Shown() const;
    bool Read() const;
    // A bar held: a refill would move it under the hand.
    bool Held() const;
    // The record of the sensor type shown; nullptr when the table lacks it.
    const ecudata::GasLevelRec* Sensor() const;
    bool Reversed() const;
    QString ValueText(int count) const;

    app::ProgramContext& ctx_;
    QTimer timer1_;
    bool thresholdsReady_ = false;
    int shownSensorType_ = -1;
    quint32 shownReads_ = 0; // ZoneReads when the thresholds were last shown

    // The dialog's controls, bound once when they are built; rows 0 to 3.
    QWidget* frmLevel_ = nullptr;
    QLabel* lblGasLevel_ = nullptr;
    QPushButton* cmdDefaultLevel_ = nullptr;
    QLabel* lblSensVal_ = nullptr;
    QLabel* lblSensValNoFiltro_ = nullptr;
    std::vector<QWidget*> shpLevAct_;
    std::vector<QLineEdit*> txtLevel_;
    std::vector<QLabel*> lblMisura_;
    std::vector<QScrollBar*> hscrLevel_;
};

} // namespace settings
