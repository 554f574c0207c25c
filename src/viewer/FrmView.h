#pragma once

// The signal viewer: a modal window that records the live-data record on its own 1 ms
// timer, or shows a recording decoded from a link log or a formatted log, as eight
// step traces on one picture, with zoom, offset, time base, slider and cursor. Samples
// are whole live-data records; the pure maths and the files are in PlotGeometry,
// ViewerLog, FormattedLog and OsciConfig, the controls in FrmViewDesign, the plot area in
// PlotPicture.

#include "viewer/OsciConfig.h"
#include "viewer/PlotGeometry.h"

#include <QDialog>
#include <QTimer>
#include <array>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace app {
struct ProgramContext;
}

namespace viewer {

class PlotPicture;

class FrmView : public QDialog {
public:
    // names: the channels' names in channel order.
    FrmView(app::ProgramContext& context, const std::array<QString, 8>& names,
            QWidget* owner = nullptr);
    ~FrmView() override;

    // The load sequence; recording starts at once when the link is up.
    void Form_Load();
    // True once the window was asked to unload (by the tick after a close request).
    bool Unloaded() const { return unloaded_; }

    // Recording (FrmViewRecording.cpp).
    void OptRun_Click(int index);
    void StartRecording();
    void Timer1_Timer();
    void StopRecording();
    bool Recording() const;
    QTimer& Timer1() { return timer1_; }

    // Files and paging (FrmViewFiles.cpp).
    void LoadLogFile(const QString& path, int direction);
    void SaveRawLog();
    void CmdOpen_Click();
    void CmdSeek_Click(int direction);
    void CmdEsporta_Click();
    void CmdReload_Click();
    void SetSeekButtons(bool show);

    // Plot, zoom, offset, time base, slider, cursor, busy indicator (FrmViewPlot.cpp).
    void RedrawSignals();
    void DrawNewSamples(int& n);
    void CaricaGriglia(bool build);
    int GridDotCount() const;
    void CmdOffset_Click(bool down);
    void CmdZoom_Click(bool in);
    void CmdReset_Click();
    void CmdSecDiv_Click(bool up);
    void SldSample_Change();
    void ShowCursorValues(double x);
    void ShowLoading(bool show, const QString& caption);
    void SetSliderRange(bool toStart);

    // Channel selection and set-up (FrmView.cpp).
    void LblSignal_Click(int index);
    void PctMostra_Click(int index);
    void ChkSignal_Click(int index);
    void CmdEscSet_Click();
    void OpenCylCoil();
    void CmdEscCylCoil_Click();

    // State, public for the tests.
    Samples ViewSamples{Mem1Rec{}};
    int LastSample = -1;
    QString SourcePath;
    int SelInjector = 0;
    qint32 TimeFirst = 0;
    qint32 TimeLast = 0;
    qint64 PagePos = 1;
    int SelChannel = 0;
    qint64 LogStartTime = 0;
    bool FileLoadBusy = false;
    double SecDiv = 5.0;
    bool LoadBusy = false;
    bool SliderLock = false;
    bool TickBusy = false;
    bool StopRequest = false;
    bool CloseRequest = false;
    int LastX = 0;
    ChannelSettings Channels = DefaultChannelSettings();
    qint16 Cylinders = 4; // the viewer's own cylinder and coil counts for its rpm
    qint16 Coils = 4;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Window and channel set-up (FrmView.cpp).
    void BindControls();
    void ConnectControls();
    void SetDefaultChannels();
    void FillCylCoilCombos();
    void ResizeVisiblePicture();
    void ColorChannelLabels();
    void SetShowTag(int c, const QString& tag);
    void SetReadoutColors(int c, quint32 fore, quint32 back);
    void Box(const QString& text);

    // Recording (FrmViewRecording.cpp).
    bool RewriteRecordingLog();
    void RestartSweep();
    void ClearStore();

    // Files and paging (FrmViewFiles.cpp).
    void WriteOsciConfig();
    void SetSourcePath(const QString& path);
    void SetCaptionSource(const QString& source);
    void LoadAndDraw(int direction, bool toStart);

    // Plot and its controls (FrmViewPlot.cpp).
    bool Checked(int c) const;
    int CheckedCount() const;
    bool Shown(int c) const;
    void DrawSegments(int a, int b, int xa, int xb);
    void DrawTick(int x);
    void ShowSecDiv();
    void ShowZoomOffset();
    void PlaceZeroMarks();
    void ApplyWhenViewing();
    void RedrawOrRestart();

    app::ProgramContext& ctx_;
    std::array<QString, 8> names_;
    QTimer timer1_;
    bool unloaded_ = false;
    bool cursorGuard_ = false;
    double loadingNextStep_ = 0;
    double cursorX_ = 0;     // LneCursor.X1, twips
    std::size_t stored_ = 0; // slots of the recording's store that hold a sample
    std::array<quint32, 8> readoutBack_{};

    // The controls the procedures use, bound once when the window is built.
    PlotPicture* pctSignal_;
    QFrame* lneCursor_;
    QLabel* lblLoading_;
    QFrame* shpLoading_;
    std::vector<QRadioButton*> optRun_;
    std::vector<QCheckBox*> chkSignal_;
    std::vector<QLineEdit*> txtSignal_;
    std::vector<QLabel*> pctMostra_;
    std::vector<QLabel*> lblSignal_;
    std::vector<QLabel*> lblZero_;
    QSlider* sldSample_;
    QPushButton* cmdSeekPrev_;
    QPushButton* cmdSeekNext_;
    QPushButton* cmdReload_;
    QPushButton* cmdOpen_;
    QPushButton* cmdSaveLogOsc_;
    QPushButton* cmdSecDivP_;
    QPushButton* cmdSecDivM_;
    QLabel* lblSecDiv_;
    QLabel* lblZoomChl_;
    QLabel* lblOffset_;
    QLabel* lblCN_;
    QLabel* lblOffsetTime_;
    QComboBox* cmbChnInj_;
    QGroupBox* frame1_;
    QGroupBox* frame2_;
    QComboBox* cmbCyl_;
    QComboBox* cmbCoil_;
    QLabel* label1_;
};

// The main window's live-frame labels whose captions name the channels, in channel
// order (channel 2 takes the pressure label, channel 3 the vacuum label), bound once when
// made: a label the window lacks stops the program. Names gives their captions as they
// read then (trimmed), in the window's language of the moment.
class ChannelLabels {
public:
    explicit ChannelLabels(QWidget& window);
    std::array<QString, 8> Names() const;

private:
    std::array<const QLabel*, 8> labels_{};
};

} // namespace viewer
