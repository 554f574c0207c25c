#pragma once

// The main window: the program's shell. It loads once (its load step prepares the
// menus, the translated captions, the default ECU images, the poll countdowns and a
// fresh link log), lives until the program ends, and carries the two timers that
// drive the link (Timer1, 1 ms) and the polling (Timer2, 14 ms). Closing it, File >
// Esc and Device > OFFLINE only raise requests; the timers carry them out.

#include <QList>
#include <QMainWindow>
#include <QTimer>
#include <functional>

class QAction;
class QMenu;
class QTabWidget;

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

    // Menus.
    void MnuFileEsc_Click();
    void MnuOffLine_Click();
    void MnuLngT_Click(int index);
    void MnuViewTab_Click(int index);
    void SstMain_Click();

    // Timers.
    void Timer1_Timer();
    void Timer2_Timer();
    QTimer& Timer1() { return timer1_; }
    QTimer& Timer2() { return timer2_; }
    QTimer& Timer3() { return timer3_; }

    // Layout and tab switching.
    void Form_Resize();
    void LayoutStatusBar();
    void DisponiFrmMain();
    void CheckTab();

    QTabWidget& SstMain() { return *sstMain_; }
    // A control of the window by name ("TxtStatusBar(1)"); nullptr when none.
    QObject* Control(const QString& name);
    QWidget* Page(int tab);

    int TabStripHeight = 0;
    int CalBarFullWidth = 0;
    double LampBlinkPeriod = 0;
    bool Timer1Busy = false;
    bool Timer2Busy = false;
    bool CheckTabBusy = false;

    // Hooks of the window's own procedures that a later step provides.
    void MnuFileLoadConf_Click() {}
    void MnuFileSaveConf_Click() {}
    void MnuInfoHelp_Click() {}
    void MnuInfoAbout_Click() {}
    void MnuDevCom_Click(int) {}
    void MnuSearcCom_Click() {}
    void StartLogPoint() {}
    void PrepareInitSplash() {}
    void UnloadInitSplash() {}

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void LoadLanguageMenu();
    void ApplyTranslation(qint16 language);
    void LoadDevComItems();
    void RestartLinkLogOnce();
    void QueryUnloadFromWindow();
    void ReportDictionaryError(qint16 language);

    ProgramContext& ctx_;
    PageServices& services_;
    QTabWidget* sstMain_ = nullptr;
    QMenu* mnuDevice_ = nullptr;
    QMenu* mnuLng_ = nullptr;
    QAction* mnuOffLine_ = nullptr;
    QList<QAction*> mnuDevCom_;
    QList<QAction*> mnuLngT_;
    QList<QAction*> mnuViewTab_;
    QTimer timer1_;
    QTimer timer2_;
    QTimer timer3_;
    bool loaded_ = false;
    bool unloaded_ = false;
    bool closingByProgram_ = false;
    bool settingTab_ = false;
    bool dictionaryBoxOpen_ = false;
    bool deactivatedByOwnBox_ = false;
    bool errorMarkerReported_ = false;
};

} // namespace app
