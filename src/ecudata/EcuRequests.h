#pragma once

// The pending requests to the ECU and the countdowns that raise them. Pages raise a flag
// (or set a deferred-write countdown that the poll timer turns into flags); the request
// server serves one raised flag per call. One instance lives in the program context.

#include <QtGlobal>
#include <array>

namespace ecudata {

struct EcuRequests {
    // Served in this order; a write only while its zone's read flag is clear.
    bool ReqWriteMem3 = false;
    bool ReqWriteEmus = false;
    bool ReqWriteMem2 = false;
    bool ReqSaveFlash = false;
    bool ReqEcuMode = false;
    bool ReqReadTblCor = false;
    bool ReqReadEmus = false;
    bool ReqReadMem3 = false;
    bool ReqReadDcol = false;
    bool ReqReadMem2 = false;
    bool ReqReadMem1 = false;
    bool ReqReadSmplBnz = false;
    bool ReqReadSmplGas = false;
    bool ReqCancSmplBnz = false;
    bool ReqCancSmplGas = false;
    bool ReqReadComp = false;

    // The ECU's firmware has been accepted: only then are requests served.
    bool FirmwareOk = false;

    // Deferred writes: an edit sets its countdown, the poll timer counts it down and then
    // raises the zone's read and write flags together.
    double Mem2WriteCountdown = 0;
    double Mem3WriteCountdown = 0;
    qint32 EmulaWriteCountdown = 0;
    qint32 CompWriteCountdown = 0;
    qint32 CompWriteTable = 0; // 0 all four compensation tables, else its id 1..4
    double ModWriteCountdown = 0;
    double SmplReadCountdown = 0;
    std::array<qint32, 6> PollCountdown{};

    bool RefreshPending = false;   // rebuild the parameter pages after the next complete read
    bool FirstReadPending = false; // the first complete read after a connection

    // Fuel-mode switch: 0 idle, 1 requested, 2 switching after putting the ECU into
    // slave mode, 3 switching with the ECU already in slave mode.
    quint8 ReqSwitchFuelMode = 0;

    // Injector set-up step: InjSetMode 0 none, 1 the one cylinder InjSetIndex, other
    // values cylinders 0..InjSetIndex-1; InjSetState the step to make (0, 3, 4), -1 done.
    quint8 InjSetMode = 0;
    quint8 InjSetIndex = 0;
    qint16 InjSetState = -1;
};

} // namespace ecudata
