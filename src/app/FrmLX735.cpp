#include "app/FrmLX735.h"

#include "app/CaptionTranslation.h"
#include "app/LablesFile.h"
#include "app/LinkLogRestart.h"
#include "app/MainControls.h"
#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "ecudata/ParamRecords.h"
#include "ecudata/RecordTables.h"
#include "link/LinkStateMachine.h"
#include "link/RxTxLog.h"
#include "platform/FtdiDriver.h"
#include "support/Clock.h"
#include "support/Colors.h"
#include "support/Cursor.h"
#include "support/FileRoutines.h"
#include "support/MessageBox.h"
#include "support/ProgramTexts.h"
#include "support/UCtrlBar.h"
#include "ui/ControlBuilder.h"
#include "ui/TabStrip.h"
#include "ui/TextCell.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <cmath>
#include <utility>

namespace app {

namespace {

// The link timer sleeps to the link's next deadline, but never longer than this (what
// no hook wakes, it still finds soon), and off-line it ticks at this pace.
constexpr int MaxPumpSleepMs = 100;
constexpr double OffLineTickUsec = 80000;

} // namespace

namespace {

constexpr int ComItems = 9; // "  COM1" .. "  COM 9"
constexpr int Injectors = 8;
const QString DictionaryError = QStringLiteral("Dictionary error: ");

void PumpEvents() {
    QCoreApplication::processEvents();
}

QAction* AddItem(QMenu& menu, const QString& name, const QString& caption, bool checkable = false) {
    QAction* item = menu.addAction(caption);
    item->setObjectName(name);
    item->setCheckable(checkable);
    return item;
}

QMenu* AddMenu(QMenuBar& bar, const QString& name, const QString& caption) {
    QMenu* menu = bar.addMenu(caption);
    menu->setObjectName(name);
    return menu;
}

QMenu* AddSubmenu(QMenu& menu, const QString& name, const QString& caption) {
    QMenu* sub = menu.addMenu(caption);
    sub->setObjectName(name);
    return sub;
}

// The ECU images as they stand before the first read.
void StoreDefaultImages(ecudata::EcuImages& images) {
    ecudata::Mem1Rec& m1 = images.Mem1Data;
    m1.Rpm = m1.PressGas = m1.Press2 = m1.Lambda1 = 0;
    m1.StatusKey = m1.StatusEv1 = m1.StatusEv2 = m1.StatusKeyHigh = 0;
    m1.Level1 = m1.Level2 = m1.Temp = m1.Temp1 = m1.Supply = 0;
    m1.LevelLamps = 0;
    m1.Lambda2 = m1.LambdaOut1 = m1.LambdaOut2 = 0;

    ecudata::Mem2Rec& m2 = images.Mem2Data;
    m2.ModeReq = m2.FuelState = m2.EcuRunState = 0;
    m2.HoursGas = m2.HoursBenz = 0.0;
    m2.Flags = 0;
    m2.SwitchRpmPeriod = 75.0;

    ecudata::Mem3Rec& m3 = images.Mem3Data;
    m3.Bobine = 4;
    m3.Cilindri = 4;
    m3.SwitchTemp = 50.0;
    m3.SwitchRpm = 0.0;
    m3.InjType = 0;
    m3.FuelType = 0;
    m3.InjTime = 3000.0;
    m3.InjPwm1 = 28.0;
    m3.InjPwm2 = 24.0;
    m3.CylState.fill(1);
    m3.CylTime.fill(0.0);
    m3.LevelType = 0;
    m3.Param121 = 0;
    m3.SwitchDrect = 0;
    m3.SwitchSeq = 0;
    m3.Isteresi = 300;
    m3.SwitchDelay = 10.0;
    m3.Param152 = 900;
    m3.Param156 = 1200;
    m3.SwitchForce = 300.0;
    m3.LambdaSwitch = 0;
    m3.EndGasPress = 500.0;
    m3.DelayPress = 1.0 / 10.0;
    m3.ExpertFlags = 1;
    m3.EmptyGas = 1;
    m3.MaxPowerSoh = 0;
    m3.TypSensTemp = 0;
    m3.TypSensMap = 0;
    m3.BadBit = 0;
}

} // namespace

FrmLX735::FrmLX735(ProgramContext& context, PageServices& services)
    : Timer1Busy(context.Ticks.Timer1), Timer2Busy(context.Ticks.Timer2), ctx_(context),
      services_(services) {
    setObjectName("FrmLX735");
    setWindowTitle("%Titolo%");
    auto* client = new QWidget(this);
    client->setObjectName("FrmLX735Client");
    setCentralWidget(client);
    sstMain_ = BuildMainControls(*client);
    BindControls(*client);
    BindDeveloperView();
    BuildMenus();
    client->installEventFilter(this);
    // The hot keys work whichever control of the window has the keyboard.
    qApp->installEventFilter(this);

    timer1_.setTimerType(Qt::PreciseTimer);
    timer1_.setInterval(1);
    timer2_.setInterval(14);
    timer3_.setInterval(250);
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(&timer2_, &QTimer::timeout, this, [this] { Timer2_Timer(); });
    connect(&timer3_, &QTimer::timeout, this, [this] { services_.Timer3Tick(); });
    connect(sstMain_, &ui::TabStrip::currentChanged, this, [this] {
        if (loaded_ && !settingTab_) {
            SstMain_Click();
        }
    });
}

FrmLX735::~FrmLX735() {
    ctx_.Comm().OnWork(nullptr);
}

void FrmLX735::BindControls(QWidget& client) {
    statusCells_ = ui::BindArray<ui::TextCell>(client, "TxtStatusBar", 0, 3);
    cmdBarBack_ = &ui::Bind<QWidget>(client, "CmdBarBack");
    frmParametri_ = &ui::Bind<QWidget>(client, "FrmParametri");
    cmdParametri_ = &ui::Bind<QWidget>(client, "CmdParametri");
    frmPrincipe_ = &ui::Bind<QWidget>(client, "FrmPrincipe");
    lblCalMsg_ = &ui::Bind<QLabel>(client, "LblCalMsg");
    shpCalStep_ = ui::BindArray<QWidget>(client, "ShpCalStep", 0, 2);
    cmbSwtchLambda_ = &ui::Bind<QWidget>(client, "CmbSwtchLambda");
    tabFocus_ = {&ui::Bind<QWidget>(client, "TxtInjTimePet", 0),
                 &ui::Bind<QWidget>(client, "CmdTpyGLS"),
                 &ui::Bind<QWidget>(client, "CmdCalStart"),
                 nullptr,
                 nullptr,
                 &ui::Bind<QWidget>(client, "CmdMapRead")};
}

void FrmLX735::SetTabFocus(int tab, QWidget& control) {
    tabFocus_.at(size_t(tab)) = &control;
}

void FrmLX735::BuildMenus() {
    QMenuBar& bar = *menuBar();
    QMenu* file = AddMenu(bar, "MnuFile", "&File");
    connect(AddItem(*file, "MnuFileLoadConf", "Load configuration"), &QAction::triggered, this,
            [this] { MnuFileLoadConf_Click(); });
    connect(AddItem(*file, "MnuFileSaveConf", "Save configuration"), &QAction::triggered, this,
            [this] { MnuFileSaveConf_Click(); });
    file->addSeparator();
    connect(AddItem(*file, "MnuFileEsc", "&Esc"), &QAction::triggered, this,
            [this] { MnuFileEsc_Click(); });

    QMenu* view = AddMenu(bar, "MnuView", "&View");
    const char* pages[] = {"General", "Configuration", "Calibration", "Modeling", "Lambda", "Map"};
    const Qt::Key keys[] = {Qt::Key_F2, Qt::Key_F3, Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_F8};
    for (int i = 0; i < 6; ++i) {
        QAction* item = AddItem(*view, ui::ArrayName("MnuViewTab", i), pages[i]);
        item->setShortcut(QKeySequence(keys[i]));
        connect(item, &QAction::triggered, this, [this, i] { MnuViewTab_Click(i); });
        mnuViewTab_.append(item);
    }

    QMenu* project = AddMenu(bar, "MnuPjct", "&Project");
    mnuDevice_ = AddSubmenu(*project, "MnuDevice", "De&vice");
    mnuOffLine_ = AddItem(*mnuDevice_, "MnuOffLine", "OFFLINE", true);
    connect(mnuOffLine_, &QAction::triggered, this, [this] { MnuOffLine_Click(); });
    mnuSearcCom_ = AddItem(*mnuDevice_, "MnuSearcCom", "SEARCH COM");
    connect(mnuSearcCom_, &QAction::triggered, this, [this] { MnuSearcCom_Click(); });
    mnuDevice_->addSeparator();
    for (const auto& [index, caption] : {std::pair{0, "  USB"}, std::pair{1, "  COM1"}}) {
        QAction* item = AddItem(*mnuDevice_, ui::ArrayName("MnuDevCom", index), caption, true);
        connect(item, &QAction::triggered, this, [this, i = index] { MnuDevCom_Click(i); });
        mnuDevCom_.append(item);
    }
    mnuLng_ = AddSubmenu(*project, "MnuLng", "&Language");
    QAction* first = AddItem(*mnuLng_, ui::ArrayName("MnuLngT", 0), "LINGUA - ...", true);
    connect(first, &QAction::triggered, this, [this] { MnuLngT_Click(0); });
    mnuLngT_.append(first);

    QMenu* info = AddMenu(bar, "MnuInfo", "&?");
    QAction* help = AddItem(*info, "MnuInfoHelp", "Help");
    help->setShortcut(QKeySequence(Qt::Key_F1));
    connect(help, &QAction::triggered, this, [this] { MnuInfoHelp_Click(); });
    connect(AddItem(*info, "MnuInfoAbout", "&About"), &QAction::triggered, this,
            [this] { MnuInfoAbout_Click(); });
}

QObject* FrmLX735::Control(const QString& name) {
    return ui::FindControl(*this, name);
}

QWidget* FrmLX735::Page(int tab) {
    return sstMain_->widget(tab);
}

void FrmLX735::Show() {
    Form_Load();
    show();
}

void FrmLX735::EnableTimers() {
    if (unloaded_) {
        return;
    }
    ctx_.Comm().OnWork([this] { WakeTimer1(); });
    timer1_.start();
    timer2_.start();
}

void FrmLX735::WakeTimer1() {
    // Inside a tick the next one is chosen when the tick ends.
    if (timer1_.isActive() && !Timer1Busy && timer1_.interval() > 1) {
        timer1_.start(1);
    }
}

void FrmLX735::ScheduleTimer1() {
    if (!timer1_.isActive()) {
        return;
    }
    const double now = support::GetTimeUsec();
    double due = std::min(comm::NextStepDueUsec(ctx_.Comm()), NextStatusStepUsec(now));
    if (ctx_.Comm().ComState() == COM_STOP) {
        // Off-line each tick watches the USB cables and takes pending edits in.
        due = std::min(due, now + OffLineTickUsec);
    }
    const double waitMs = std::ceil((due - now) / 1000.0);
    const int interval = static_cast<int>(std::clamp(waitMs, 1.0, double(MaxPumpSleepMs)));
    if (timer1_.interval() != interval) {
        timer1_.setInterval(interval);
    }
}

void FrmLX735::Form_Load() {
    support::CursorOverride hourglass(Qt::WaitCursor);
    ecudata::EcuImages& images = ctx_.Images;
    ecudata::EcuRequests& requests = ctx_.Requests;
    const QString& folder = ctx_.AppFolder;
    const QString& decimalSep = ctx_.DecimalSep;

    for (const auto& [array, color] :
         {std::pair{"InjPetBar", 0x000000u}, std::pair{"InjGasBar", 0xFFFF00u}}) {
        for (support::UCtrlBar* bar :
             ui::BindArray<support::UCtrlBar>(*this, array, 0, Injectors)) {
            qint16 maxVal = 21;
            qint16 stepVal = 1;
            bar->Configura(maxVal, 0, stepVal, support::ColorButtonFace, color, 0);
        }
    }
    ApplyLablesMainPage(*this, folder + "/LNG/Lables.cfg");
    ApplyLablesStatusBar(*this, folder + "/LNG/Lables.cfg");

    if (support::IsFilePresent(folder + "/LNG/ico.img")) {
        setWindowIcon(QIcon(folder + "/LNG/ico.img"));
    }
    for (const auto& [name, file] :
         {std::pair{"ImgLogo", "/LNG/img2.img"}, std::pair{"ImgLogoS", "/LNG/img3.img"}}) {
        auto& image = ui::Bind<QLabel>(*this, name);
        if (support::IsFilePresent(folder + file)) {
            image.setScaledContents(true);
            image.setPixmap(QPixmap(folder + file));
        }
    }

    LoadLanguageMenu();
    ApplyTranslation(ctx_.ObjLingue.IdLingua());
    LoadDevComItems();
    // The cables attached at the start are no change: the watch restarts the link only
    // when one is plugged in or pulled out later.
    qint32 cables = 0;
    if (ctx_.Comm().Ftdi().FT_ListDevices(cables) == platform::FT_OK) {
        UsbDeviceCount = cables;
    }

    TabStripHeight = ui::HeightTwips(*sstMain_);
    CheckTab();

    requests.ReqReadMem1 = requests.ReqReadMem2 = requests.ReqReadMem3 = true;
    requests.ReqReadEmus = requests.ReqReadTblCor = requests.ReqReadComp = true;
    requests.ReqReadDcol = true;
    // The first error read thus comes 102 identified ticks after the load.
    requests.PollCountdown = {3, 7, 17, 23, 53, 101};
    requests.FirstReadPending = true;
    requests.RefreshPending = true;

    int cilindri = images.Mem3Data.Cilindri;
    services_.IstanzaInj(cilindri);
    DisponiFrmMain();
    ecudata::ResetMemToWrite(images);
    ctx_.Tables.TblGasLevel = {ecudata::BuiltInGasLevelRow()};
    images.Mem3Data.LevelType = 0;
    StoreDefaultImages(images);
    ecudata::LoadGasLevelTbl(ctx_.Tables, folder, decimalSep);
    ecudata::LoadInjTypeTbl(ctx_.Tables, folder, decimalSep, ctx_.Scale.K_Time_Pwm_us);
    ecudata::LoadLambdaTbl(ctx_.Tables, folder, decimalSep, ctx_.Texts.GridHeader15);
    services_.RiempiCmbSwtch();

    services_.InizVarMap();
    services_.DrawGridMap();
    services_.LoadPointLabelsMap();
    services_.InizVarMod();
    services_.DrawGridMod();
    services_.DisponiMatriceModDefault();
    bool redraw = false;
    services_.PlottaMatricePuntiMod(redraw);
    services_.AggiornaStatoPuntoMod();
    services_.DrawRefLineMod();
    services_.DeselezionaPuntiMod();

    images.EmulaBlkData.fill(0);
    services_.InitEmulaGrids();
    ctx_.FirmwareFilePath = folder + "/BIN/TarvencoInj468.frh";
    PrepareInitSplash();

    const QSize frameExtra = frameGeometry().size() - size();
    resize(QSize(ui::ToPixels(10920), ui::ToPixels(8580)) - frameExtra);
    RestartLinkLogOnce();
    if (ctx_.Comm().FlagLogPoint()) {
        StartLogPoint();
    }
    support::CenterForm(*this);
    LampBlinkPeriod = 1e3 * 200;
    loaded_ = true;
}

void FrmLX735::LoadLanguageMenu() {
    const support::ClsLingue& lingue = ctx_.ObjLingue;
    if (!DictionaryLoaded(lingue)) {
        return; // the built-in item stays
    }
    for (int i = 0; i <= lingue.UboundLingue(); ++i) {
        if (i > 0) {
            QAction* item = AddItem(*mnuLng_, ui::ArrayName("MnuLngT", i), QString(), true);
            connect(item, &QAction::triggered, this, [this, i] { MnuLngT_Click(i); });
            mnuLngT_.append(item);
        }
        mnuLngT_[i]->setVisible(true);
        mnuLngT_[i]->setText(lingue.NomeLingua(qint16(i)));
    }
}

void FrmLX735::ApplyTranslation(qint16 language) {
    QString notStored;
    const TranslationResult result = TranslateMainWindow(*this, ctx_, language, &notStored);
    portNotice_.width = -1; // the port-open reason is told again in the new language
    if (!notStored.isEmpty()) {
        support::MsgBox(support::Text(support::ProgramText::LanguageNotSaved)
                            .arg(ctx_.ObjLingue.PathAttualeLingua(), notStored),
                        support::vbExclamation, ctx_.Texts.AppTitle);
    }
    if (result == TranslationResult::NoErrorMarker && !errorMarkerReported_) {
        errorMarkerReported_ = true;
        ReportDictionaryError(language);
    }
}

void FrmLX735::LoadDevComItems() {
    for (int i = 2; i <= ComItems; ++i) {
        QAction* item = AddItem(*mnuDevice_, ui::ArrayName("MnuDevCom", i),
                                "  COM " + QString::number(i), true);
        connect(item, &QAction::triggered, this, [this, i] { MnuDevCom_Click(i); });
        mnuDevCom_.append(item);
    }
    // A port number outside the menu (a hand-edited settings file) checks nothing.
    const ClsComm& comm = ctx_.Comm();
    if (comm.UsbCom()) {
        mnuDevCom_[0]->setChecked(true);
    } else if (comm.ComPort() >= 1 && comm.ComPort() <= ComItems) {
        mnuDevCom_[comm.ComPort()]->setChecked(true);
    }
    const bool comPorts = !ctx_.Scale.SoloUSB;
    mnuSearcCom_->setVisible(comPorts);
    for (int i = 1; i < mnuDevCom_.size(); ++i) {
        mnuDevCom_[i]->setVisible(comPorts);
    }
}

void FrmLX735::RestartLinkLogOnce() {
    QString why;
    if (!RestartLinkLog(ctx_.AppFolder, ctx_.Texts.AppTitle, &why)) {
        support::MsgBox(support::Text(support::ProgramText::LinkLogNotWritten)
                            .arg(comm::RxTxLogPath(ctx_.AppFolder), why),
                        support::vbExclamation, ctx_.Texts.AppTitle);
    }
}

void FrmLX735::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        // From the event loop: an activation delivered while the window is being shown
        // must not open a box before the timers run (the link and its splash would wait
        // behind it).
        QTimer::singleShot(0, this, [this] { OnActivationChanged(isActiveWindow()); });
    }
    QMainWindow::changeEvent(event);
}

void FrmLX735::OnActivationChanged(bool active) {
    if (!active) {
        // Losing the focus to the dictionary box must not re-open the box on return.
        deactivatedByOwnBox_ = dictionaryBoxOpen_;
        return;
    }
    Form_Activate();
}

void FrmLX735::Form_Activate() {
    if (!loaded_ || dictionaryBoxOpen_ || std::exchange(deactivatedByOwnBox_, false)) {
        return;
    }
    const qint16 n = support::FindLinguaMismatch(ctx_.ObjLingue);
    if (n > -1) {
        ReportDictionaryError(n);
    }
}

void FrmLX735::ReportDictionaryError(qint16 language) {
    dictionaryBoxOpen_ = true;
    support::MsgBox(DictionaryError + ctx_.ObjLingue.NomeLingua(language), support::vbCritical,
                    ctx_.Texts.AppTitle);
    dictionaryBoxOpen_ = false;
}

void FrmLX735::closeEvent(QCloseEvent* event) {
    if (closingByProgram_) {
        event->accept();
        return;
    }
    event->ignore();
    RequestQuit();
}

void FrmLX735::QueryUnloadFromWindow() {
    support::CursorOverride hourglass(Qt::WaitCursor);
    ctx_.Comm().ComState(COM_STOP);
    ctx_.Comm().CloseComPort();
    ctx_.QuitRequest = true;
    PumpEvents();
}

void FrmLX735::Unload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    support::CursorOverride hourglass(Qt::WaitCursor);
    PumpEvents();
    ctx_.Comm().ComState(COM_STOP);
    PumpEvents();
    timer1_.stop();
    PumpEvents();
    timer2_.stop();
    PumpEvents();
    // A handler may still be inside a tick further up the stack (the unload can come
    // from a tick nested in another one's wait). Nothing it uses is destroyed here: the
    // link object ends with the program context, after the event loop has returned.
    ctx_.Comm().CloseComPort();
    PumpEvents();
    ctx_.Comm().ComState(COM_STOP);
    UnloadInitSplash();
    services_.UnloadFrmSetExpert();
    PumpEvents();
    closingByProgram_ = true;
    close();
    if (OnUnloaded) {
        OnUnloaded();
    }
}

void FrmLX735::MnuFileEsc_Click() {
    RequestQuit();
}

void FrmLX735::MnuOffLine_Click() {
    ctx_.OffLineRequest = true;
    WakeTimer1();
    mnuOffLine_->setChecked(true);
    for (QAction* item : std::as_const(mnuDevCom_)) {
        item->setChecked(false);
    }
}

void FrmLX735::MnuLngT_Click(int index) {
    PumpEvents();
    ApplyTranslation(qint16(index));
    ecudata::LoadLambdaTbl(ctx_.Tables, ctx_.AppFolder, ctx_.DecimalSep, ctx_.Texts.GridHeader15);
    services_.RiempiCmbSwtch();
    services_.ShowConfigParams();
    services_.AggiornaVariabiliEmulazioneLambda();
    services_.AggiornaVariabiliTabellaEmulazioneLambda();
    lblCalMsg_->setText(ctx_.Texts.MsgTara[1]);
}

void FrmLX735::Timer1_Timer() {
    if (Timer1Busy) {
        return;
    }
    Timer1Busy.Begin();
    if (ctx_.OffLineRequest) {
        ClsComm& comm = ctx_.Comm();
        comm.ComState(COM_STOP);
        comm.NumWDogSend(0);
        ctx_.OffLineRequest = false;
        ctx_.OffLineMode = true;
        ctx_.ParamFileSending = false;
        if (ctx_.DefaultParamPending == 1) {
            ctx_.DefaultParamPending = 0;
            // A file the installer queued already is loaded instead, never replaced.
            if (ctx_.ParamFilePending.isEmpty()) {
                ctx_.QueueParamFile(ctx_.AppFolder + "/LNG/Default.Xar");
            }
        }
    }
    services_.Timer1Tick();
    WatchQuitLink();
    Timer1Busy.End();
    ScheduleTimer1();
}

void FrmLX735::Timer2_Timer() {
    if (Timer2Busy) {
        return;
    }
    Timer2Busy.Begin();
    services_.Timer2Tick();
    WatchQuitLink();
    Timer2Busy.End();
    StepQuit(); // after the tick: a box it opens leaves the polls running
    if (ctx_.QuitRequest) {
        Unload();
    }
}

} // namespace app
