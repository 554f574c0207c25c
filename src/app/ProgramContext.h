#pragma once

// The program's shared state: the one dictionary, the one link object, the ECU images
// with their request flags and countdowns, and the flags and texts of the main window.
// main creates one for the whole run; every window reaches the state through it, and
// tests create a fresh one of their own. It outlives the event loop, so nothing that a
// handler still on the stack may use is ever destroyed before the loop has ended.

#include "app/StandIns.h"
#include "support/Lingue.h"

#include <QString>
#include <QStringList>
#include <array>
#include <memory>

namespace app {

using ClsComm = standin::ClsComm;
using EcuImages = standin::EcuImages;
using standin::COM_ERROR;
using standin::COM_READY;
using standin::COM_RESTART;
using standin::COM_SEARCH;
using standin::COM_SENDING;
using standin::COM_STOP;
using standin::COM_WAIT_REPLY;

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

struct PollCountdowns {
    double PollCountdown3 = 0;
    double PollCountdown7 = 0;
    double PollCountdown17 = 0;
    double PollCountdown23 = 0;
    double PollCountdown53 = 0;
    double PollCountdown503 = 0;
};

struct ProgramContext {
    ProgramContext();
    ~ProgramContext();
    ProgramContext(const ProgramContext&) = delete;
    ProgramContext& operator=(const ProgramContext&) = delete;

    // The link object; the start-up creates it and it lives until the context ends.
    ClsComm& Comm() { return *ObjComm; }

    QString AppFolder;
    QString DecimalSep;
    support::ClsLingue ObjLingue;
    std::unique_ptr<ClsComm> ObjComm;
    EcuImages Images;
    PollCountdowns Poll;
    MessageTexts Texts;

    bool DeveloperView = false;
    bool QuitRequest = false;
    bool OffLineRequest = false;
    bool OffLineMode = false;
    bool FirstReadPending = false;
    bool RefreshPending = false;
    bool FirmwareOk = false;
    bool UpdateRequest = false;
    bool ParamFileSending = false;
    int DefaultParamPending = 0;
    QString ParamFilePending;
    QString FirmwareFilePath;
    int TaraState = 0; // the calibration's state; 0 while none runs
};

} // namespace app
