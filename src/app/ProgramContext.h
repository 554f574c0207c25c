#pragma once

// The program's shared state: the one dictionary, the one link object with its port
// drivers, the configuration scales and tables, the ECU images with their request flags
// and countdowns, and the flags and texts of the main window. main creates one for the
// whole run; every window reaches the state through it, and tests create a fresh one of
// their own. It outlives the event loop, so nothing that a handler still on the stack
// may use is ever destroyed before the loop has ended.

#include "app/LinkStepGate.h"
#include "ecudata/CalibrationParams.h"
#include "ecudata/ConfigScale.h"
#include "ecudata/EcuImages.h"
#include "ecudata/EcuModel.h"
#include "ecudata/EcuRequests.h"
#include "ecudata/PointLog.h"
#include "ecudata/RecordTables.h"
#include "link/ClsComm.h"
#include "support/Lingue.h"

#include <QString>
#include <QStringList>
#include <array>
#include <memory>

namespace comm {
class LinkHost;
}

namespace platform {
class SerialPort;
class FtdiDriver;
} // namespace platform

namespace app {

using comm::ClsComm;
using comm::COM_ERROR;
using comm::COM_READY;
using comm::COM_RESTART;
using comm::COM_SEARCH;
using comm::COM_SENDING;
using comm::COM_STOP;
using comm::COM_WAIT_REPLY;

// The program's release text, shown after the title in captions and log headers.
inline const QString ReleaseText = QStringLiteral("Release  ver 01.12.82 - 14/04/2011");

// The message texts the caption translation fills from the dictionary, in the current
// language. Numbered families are arrays indexed by their number (MsgTara[1] is
// MsgTara01); element 0 is not used.
struct MessageTexts {
    QString AppTitle;
    std::array<QString, 10> MsgConfig; // 01 .. 09
    QString GridHeader15;
    std::array<QString, 5> MsgLive;   // 01 .. 04
    std::array<QString, 7> MsgUpdate; // 01 .. 06
    std::array<QString, 4> MsgMod;    // 01 .. 03
    QString MsgComError;
    QString MsgConfirm;
    std::array<QString, 31> MsgTara; // 01 .. 30
    std::array<QString, 8> MsgEmula; // 01 .. 07
    // The ECU error texts by error code ("name ? state0|state1|..."); may be empty.
    QStringList EcuErrorTexts;
};

// The injection times the General page's injector display keeps (Doubles, ms): smoothed
// per injector, averaged over the injectors, and short histories with element 0 the
// newest. The operating-point log, the calibration and the Modeling and Map live points
// read them.
struct InjectionTimes {
    std::array<double, 9> TInjPetSmooth{}; // injectors use 0..7
    std::array<double, 9> TInjGasDeltaSmooth{};
    double TInjAvg1 = 0;                // smoothed petrol times, averaged
    double TInjAvg2 = 0;                // raw petrol times, averaged
    double TInjAvgGas = 0;              // raw gas times of the injectors on gas, over all injectors
    double TInj1Pet = 0;                // injector 1, smoothed
    double TInj1Gas = 0;                // injector 1 on gas, smoothed; else 0
    std::array<double, 17> TInjHist1{}; // TInjAvg2
    std::array<double, 17> TInjHist3{}; // TInj1Pet
    std::array<double, 17> TInjHist4{}; // TInj1Gas
};

struct ProgramContext {
    // With the product's port drivers: a POSIX serial port and the cable through libftdi.
    ProgramContext();
    // With drivers of the caller's (tests hand in fakes).
    ProgramContext(std::unique_ptr<platform::SerialPort> serial,
                   std::unique_ptr<platform::FtdiDriver> ftdi);
    ~ProgramContext();
    ProgramContext(const ProgramContext&) = delete;
    ProgramContext& operator=(const ProgramContext&) = delete;

    ClsComm& Comm() { return *ObjComm; }
    // The view of the images, requests and scales that the zone exchanges work on.
    ecudata::EcuModel Model() { return {Images, Requests, Scale}; }
    // Queues a parameter file (nothing for an empty path). The file replaces what the
    // installer had edited of its blocks before choosing it; set ParamNoSend first.
    void QueueParamFile(const QString& path);
    // A fresh link object for the application folder, wired to this context.
    void NewLink();

    QString AppFolder;
    QString DecimalSep;
    support::ClsLingue ObjLingue;

    std::unique_ptr<platform::SerialPort> Serial;
    std::unique_ptr<platform::FtdiDriver> Ftdi;
    std::unique_ptr<ClsComm> ObjComm;

    ecudata::ConfigScale Scale;
    ecudata::RecordTables Tables;
    ecudata::CalibrationParams TaraParams;
    ecudata::EcuImages Images;
    ecudata::EcuRequests Requests; // request flags, countdowns, FirmwareOk, first read
    MessageTexts Texts;
    ecudata::PointLog PointLog; // the operating-point log, while its switch is on
    InjectionTimes InjTimes;

    // The main window's ticks under way, where the link-step gate sees them.
    MainTicks Ticks;

    bool DeveloperView = false;
    bool QuitRequest = false;
    bool OffLineRequest = false;
    bool OffLineMode = false;
    bool UpdateRequest = false;
    bool ParamFileSending = false;
    int DefaultParamPending = 0;
    QString ParamFilePending;
    quint8 ParamNoSend = 0;             // the queued file is loaded without sending its records
    bool ParamFileQueuedOnLine = false; // queued for the ECU, not chosen off-line
    // A file the images took off-line, named in the caption while the program stays
    // off-line; unsent when it had been queued for the ECU.
    QString OffLineFile;
    bool OffLineFileUnsent = false;
    // A send that switched the ECU to petrol and then failed: the retry switches back.
    bool ParamFileSwitchedFuel = false;
    QString FirmwareFilePath;
    int TaraState = 0; // the calibration's state; 0 while none runs

private:
    std::unique_ptr<comm::LinkHost> linkHost_;
};

} // namespace app
