#pragma once

// The main window: the program's shell. It loads once (its load step prepares the
// menus, the translated captions, the default ECU images, the poll countdowns and a
// fresh link log), lives until the program ends, and carries the two timers that
// drive the link (Timer1, 1 ms) and the polling (Timer2, 14 ms). Closing it, File >
// Esc and Device > OFFLINE only raise requests; the timers carry them out.

#include "app/FrmInit.h"
#include "app/FrmStartUp.h"
#include "app/LinkStepGate.h"
#include "app/QuitGuard.h"
#include "support/Cursor.h"
#include "ui/TabStrip.h"

#include <QColor>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QMenu;

namespace ui {
class TextCell;
} // namespace ui

namespace app {

struct PageServices;
struct ProgramContext;

class FrmLX735 : public QMainWindow {
public:
    FrmLX735(ProgramContext& context, PageServices& services);
    ~FrmLX735() override;

    // Runs the load step, then shows the window without blocking.
    void Show();
    // Starts Timer1, then Timer2; nothing once the window has unloaded.
    void EnableTimers();

    // Load, activation and unload.
    void Form_Load();
    void Form_Activate();
    void OnActivationChanged(bool active);
    void Unload();
    bool IsUnloaded() const { return unloaded_; }
    // Called at the end of the unload (main ends the event loop there).
    std::function<void()> OnUnloaded;

    // The close box and File > Esc: edits still owed to the ECU are written first, a
    // running calibration is undone first (after asking); then the program ends. With
    // the link down, or lost while writing, the installer is asked.
    void RequestQuit();

    // Menus.
    void MnuFileEsc_Click();
    void MnuOffLine_Click();
    void MnuLngT_Click(int index);
    void MnuViewTab_Click(int index);
    void SstMain_Click();

    // Timers: their re-entry guards, the off-line request and the quit around the
    // link pump and the poll scheduler (PageServices::Timer1Tick and Timer2Tick).
    void Timer1_Timer();
    // A tick at once: the link has new work (wired to ClsComm::OnWork).
    void WakeTimer1();
    void Timer2_Timer();
    QTimer& Timer1() { return timer1_; }
    QTimer& Timer2() { return timer2_; }
    QTimer& Timer3() { return timer3_; }

    // Layout and tab switching.
    void Form_Resize();
    void LayoutStatusBar();
    void DisponiFrmMain();
    void CheckTab();

    ui::TabStrip& SstMain() { return *sstMain_; }
    // What a page hands the window of the controls it makes: the control its tab gives
    // the focus when shown, and the developer's controls that the developer view shows
    // and hides with the window's own. A rig without the page hands nothing: its tab then
    // moves no focus and the view switches the window's controls alone.
    void SetTabFocus(int tab, QWidget& control);
    void AddDeveloperControls(const std::vector<QWidget*>& controls);
    // A control of the window by a name read from data or input ("TxtStatusBar(1)");
    // nullptr when none. Names written in the program's code are bound through Bind.
    QObject* Control(const QString& name);
    QWidget* Page(int tab);

    int TabStripHeight = 0;
    int CalBarFullWidth = 0;
    double LampBlinkPeriod = 0;
    // The ticks under way (the context's, which the link-step gate reads): a tick that
    // comes while the previous one is still under way does nothing.
    TickMark& Timer1Busy;
    TickMark& Timer2Busy;
    bool CheckTabBusy = false;
    // Raised while a procedure fills page controls by code: the pages' change handlers
    // then store nothing back.
    bool PageFilling = false;

    // File and ? menus, and the operating-point log started at load.
    void MnuFileLoadConf_Click();
    void MnuFileSaveConf_Click();
    void MnuInfoHelp_Click();
    // The About box. Returns at once with the box shown; the identification calls it
    // when the firmware image carries a later date than the ECU's same version.
    void MnuInfoAbout_Click();
    FrmStartUp* AboutBox() const { return frmStartUp_; }
    // A parameter file to load: the path chosen in an open dialog, "" when cancelled.
    QString ChooseParamFile();
    void StartLogPoint();

    // Port choice (Device menu) and the watch of the USB interface cables. The link
    // timer calls WatchUsbDevices at every tick while the link is stopped, the poll
    // timer every 54 ticks.
    void MnuDevCom_Click(int index);
    void SelezionaCom(int index, bool usb);
    void MnuSearcCom_Click();
    int PortaDiComSelected() const;
    void WatchUsbDevices();
    qint32 UsbDeviceCount = 0; // cables seen by the last watch (at load: those attached)

    // The status bar's link cells and the Device menu's port check marks; the link
    // pump runs it after every link step. Its dots and blinking advance at a readable
    // pace, not at every 1 ms tick.
    void AggiornaStatoCom();

    // The port-search splash: the poll scheduler runs ElaboraMsgCom at the start of
    // every tick that is not a re-entry; it shows or hides the splash.
    void ElaboraMsgCom();
    FrmInit* Init() const { return frmInit_; }
    void PrepareInitSplash();
    void UnloadInitSplash();

    // Hot keys: Shift+Ctrl+Alt with W, E or X and the password. Shift is the modifier
    // mask (1 Shift, 2 Ctrl, 4 Alt). True when the keys were a hot key.
    bool Form_KeyUp(int KeyCode, int Shift);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Timer1 keeps its 1 ms step while the link has work and otherwise sleeps to the
    // next deadline the link knows, or the status bar's next animation step.
    void ScheduleTimer1();
    // When the status bar's animation (the reply-wait dots, the pending-write blink)
    // steps next; +infinity when nothing moves.
    double NextStatusStepUsec(double nowUsec) const;
    void BindControls(QWidget& client);
    void BuildMenus();
    void LoadLanguageMenu();
    void ApplyTranslation(qint16 language);
    void LoadDevComItems();
    void RestartLinkLogOnce();
    void QueryUnloadFromWindow();
    void ReportDictionaryError(qint16 language);
    void CheckPortItem(int index);
    void BindDeveloperView();
    void ApplyDeveloperView();
    // A hot key's release anywhere in the window; True when it was one (then taken).
    bool TakeHotKey(QObject* watched, QEvent* event);
    ui::TextCell& StatusCell(int cell);
    void SetStatusCell(int cell, const QString& text);
    void SetStatusColors(int cell, const QColor& back, const QColor& fore);
    void ShowPendingWrites(bool pending, bool searching, double nowUsec);
    // The wide cell's text for a port that could not be opened, while the link holds none.
    void FollowPortFailure();
    // What the edit model has to tell the installer, each told once and never from
    // inside the poll tick: writes the ECU refuses, a queued file loaded off-line only.
    void FollowEdits();
    void TellRefusedWrites();

    // The quit's phases (FrmLX735Quit.cpp).
    QuitView SeeQuit() const;
    void CarryQuitStep(QuitStep step);
    void BeginQuitPhase(QuitPhase phase);
    void EndQuitPhase();
    void StepQuit();      // at the end of every poll tick
    void WatchQuitLink(); // at the end of every link and poll tick
    int QuitBox(int text, int style);

    ProgramContext& ctx_;
    PageServices& services_;
    ui::TabStrip* sstMain_ = nullptr;
    QMenu* mnuDevice_ = nullptr;
    QMenu* mnuLng_ = nullptr;
    QAction* mnuOffLine_ = nullptr;
    QAction* mnuSearcCom_ = nullptr;
    QList<QAction*> mnuDevCom_;
    QList<QAction*> mnuLngT_;
    QList<QAction*> mnuViewTab_;
    QTimer timer1_;
    QTimer timer2_;
    QTimer timer3_;
    // The designed controls the window's own procedures use, bound when it is built.
    std::vector<ui::TextCell*> statusCells_; // TxtStatusBar(0) to (2)
    QWidget* cmdBarBack_ = nullptr;
    QWidget* frmParametri_ = nullptr;
    QWidget* cmdParametri_ = nullptr;
    QWidget* frmPrincipe_ = nullptr;
    QLabel* lblCalMsg_ = nullptr;
    std::vector<QWidget*> shpCalStep_; // the calibration bar's frame and fill
    QWidget* cmbSwtchLambda_ = nullptr;
    // The control each tab gives the focus when shown; none for the Lambda tab, and the
    // Modeling page's once that page hands it (the page makes it).
    std::array<QWidget*, 6> tabFocus_{};
    // What the developer view shows and hides, in that order (the window's, then those
    // the pages hand); CmdView and CmdExpert(0) also switch alone.
    std::vector<QWidget*> developerControls_;
    QWidget* cmdView_ = nullptr;
    QWidget* cmdExpert_ = nullptr;
    QPointer<FrmInit> frmInit_;
    QPointer<FrmStartUp> frmStartUp_;
    double lastDotStepUsec_ = -1e18;
    double lastBlinkUsec_ = -1e18;
    // The port that could not be opened, told in the wide status cell.
    struct PortNotice {
        quint64 serial = 0; // the link's PortMessageSerial taken
        bool on = false;    // until the link holds a port
        int width = -1;     // the text is fitted to this width; -1: not told yet
        QString text;
    } portNotice_;
    bool loaded_ = false;
    bool unloaded_ = false;
    bool closingByProgram_ = false;
    bool settingTab_ = false;
    bool dictionaryBoxOpen_ = false;
    bool deactivatedByOwnBox_ = false;
    bool errorMarkerReported_ = false;
    QuitPhase quitPhase_ = QuitPhase::None;
    bool quitLinkFailed_ = false;
    bool quitAsking_ = false;
    bool editTellQueued_ = false;
    std::unique_ptr<support::CursorOverride> quitCursor_;
    QString closingText_; // the status bar's text while the last writes go out
};

} // namespace app
