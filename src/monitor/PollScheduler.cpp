#include "monitor/PollScheduler.h"

#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "ecudata/CompTables.h"
#include "ecudata/CorrectionTable.h"
#include "ecudata/FuelMode.h"
#include "ecudata/ParamFile.h"
#include "ecudata/RequestServer.h"
#include "ecudata/ZoneExchange.h"
#include "link/Frames.h"
#include "monitor/EcuIdentification.h"
#include "monitor/Monitor.h"
#include "support/Clock.h"

namespace monitor {

namespace {

using ecudata::EcuRequests;

enum Tab { TabGeneral = 0, TabModeling = 3, TabLambda = 4, TabMap = 5 };

// The countdowns in the order they are tested within a tick, with their reloads: a
// countdown with reload R fires every R + 1 ticks.
enum Countdown { Every4th, Every8th, Every18th, Every24th, Every54th, Every504th };
constexpr std::array<qint32, 6> Reloads{3, 7, 17, 23, 53, 503};

// A countdown below 1 runs its actions and is reloaded; any other is lowered by 1.
template <class Actions> void RunCountdown(EcuRequests& r, Countdown c, Actions actions) {
    if (r.PollCountdown[c] < 1) {
        actions();
        r.PollCountdown[c] = Reloads[c];
    } else {
        --r.PollCountdown[c];
    }
}

// A deferred write: a countdown above 0 is lowered by 1; when it falls below 1 the
// zone is read afresh and written.
void StepZoneWrite(auto& countdown, bool& readFlag, bool& writeFlag) {
    if (countdown > 0) {
        countdown -= 1;
        if (countdown < 1) {
            readFlag = writeFlag = true;
        }
    }
}

// The model and compensation-table writes go out at once when their countdown falls
// below 2; a failed one is tried again nine expiries later. An edit made during the
// write re-armed the countdown, and that edit is written next.
template <class Write> void StepDirectWrite(auto& countdown, Write write) {
    if (countdown > 1) {
        countdown -= 1;
        if (countdown < 2) {
            if (!write()) {
                countdown = 10;
            } else if (countdown < 2) {
                countdown = 0;
            }
        }
    }
}

// Every read of a complete refresh has been served (the live record and the samples
// do not count).
bool CompleteReadDone(const EcuRequests& r) {
    return r.RefreshPending &&
           !(r.ReqReadMem3 || r.ReqReadEmus || r.ReqReadMem2 || r.ReqReadTblCor || r.ReqReadComp ||
             r.ReqReadDcol || r.ReqSaveFlash);
}

void RefreshAfterCompleteRead(Monitor& m) {
    EcuRequests& r = m.ctx.Requests;
    support::PauseUsec(1e6);
    m.pages.RefreshParamPages();
    if (!m.hooks.ModButtonHeld()) {
        m.hooks.UpdateCorTable(true);
    }
    FixInjectorEnables(m.ctx.Images, r);
    r.RefreshPending = false;
    r.FirstReadPending = false;
    m.ctx.DefaultParamPending = 0;
}

// A model that CalcTblCor refuses has been reported there and is not sent: sending the
// table as it stood would not be what the installer edited, and a retry would only
// repeat the message.
bool SendModel(Monitor& m) {
    ecudata::EcuImages& images = m.ctx.Images;
    ecudata::EcuModel model = m.ctx.Model();
    if (!ecudata::CalcTblCor(images.TblCorEdit, images.ModPoints, m.ctx.Scale)) {
        return true;
    }
    const bool ok = ecudata::SendTblCor(m.ctx.Comm(), model, m.ctx.DecimalSep);
    images.Blocks.WriteEnded(ecudata::EditBlock::Correction, ok, m.ctx.Comm().ExchangeRefused());
    return ok;
}

void SendQueuedParamFile(Monitor& m) {
    app::ProgramContext& ctx = m.ctx;
    const QString path = ctx.ParamFilePending;
    ctx.ParamFileSending = true;
    bool sent = false;
    {
        const Timer2Pause pause(m.hooks);
        sent = m.hooks.FileParametriInvia(path);
    }
    if (sent) {
        // A set queued meanwhile (the fuel option during the send's question) stays.
        if (ctx.ParamFilePending == path) {
            ctx.ParamFilePending.clear();
        }
        ctx.ParamNoSend = 0; // it belonged to the file sent
        ctx.ParamFileSending = false;
    }
}

// The live record is not current: its displays are emptied, and the live marker of the
// tab shown hides itself.
void BlankLive(Monitor& m) {
    m.displays.BlankLive();
    switch (m.hooks.CurrentTab()) {
    case TabLambda:
        m.hooks.MoveEmulaMarker();
        break;
    case TabModeling:
        m.hooks.VisualizzaPuntoInjTimeMod();
        break;
    case TabMap:
        m.hooks.VisualizzaPuntoInjTimeMap();
        break;
    default:
        break;
    }
}

void Every4thTick(Monitor& m, bool linkHeld) {
    EcuRequests& r = m.ctx.Requests;
    ecudata::EcuModel model = m.ctx.Model();
    if (!linkHeld) {
        ecudata::ServeEcuRequest(m.ctx.Comm(), model);
    }
    m.displays.ShowRpm();
    m.displays.ShowInjectionTimes();
    if (m.hooks.CurrentTab() == TabLambda) {
        m.hooks.MoveEmulaMarker();
    }
    StepZoneWrite(r.Mem2WriteCountdown, r.ReqReadMem2, r.ReqWriteMem2);
    if (linkHeld) {
        return;
    }
    StepDirectWrite(r.ModWriteCountdown, [&m] { return SendModel(m); });
    StepDirectWrite(r.CompWriteCountdown, [&m] {
        return ecudata::WriteCompTbl(m.ctx.Comm(), m.ctx.Images, m.ctx.Requests.CompWriteTable);
    });
}

void Every8thTick(Monitor& m, bool linkHeld) {
    EcuRequests& r = m.ctx.Requests;
    StepZoneWrite(r.Mem3WriteCountdown, r.ReqReadMem3, r.ReqWriteMem3);
    StepZoneWrite(r.EmulaWriteCountdown, r.ReqReadEmus, r.ReqWriteEmus);
    if (!r.ReqSaveFlash && !m.hooks.CalibrationReadsLive()) {
        r.ReqReadMem1 = true;
    }
    if (!m.ctx.ParamFilePending.isEmpty() && !linkHeld) {
        SendQueuedParamFile(m);
    }
    m.displays.ShowLambda();
    const int tab = m.hooks.CurrentTab();
    if (tab == TabModeling) {
        m.hooks.VisualizzaPuntoInjTimeMod();
    }
    if (tab == TabMap) {
        m.hooks.VisualizzaPuntoInjTimeMap();
    }
    m.displays.ShowLevelLamps();
}

void Every18thTick(Monitor& m) {
    if (m.ctx.Requests.ReqSwitchFuelMode > 0) {
        ecudata::EcuModel model = m.ctx.Model();
        ecudata::SwitchFuelMode(m.ctx.Comm(), model);
    }
}

void Every24thTick(Monitor& m) {
    EcuRequests& r = m.ctx.Requests;
    if (!r.ReqSaveFlash && !m.hooks.CalibrationReadsLive()) {
        r.ReqReadMem2 = true;
    }
    m.displays.ShowEcuStatus();
    if (r.InjSetMode > 0) {
        ecudata::StepInjSet(m.ctx.Images, r);
    }
    m.hooks.ShowRpmBand();
    if (m.hooks.CurrentTab() == TabModeling) {
        m.hooks.ShowModLimits();
    }
}

// While acquisition is enabled the sample reads are raised at every 5th expiry, and
// not armed again while one of them is still pending.
void StepSampleReads(Monitor& m) {
    EcuRequests& r = m.ctx.Requests;
    if (r.SmplReadCountdown > 0) {
        r.SmplReadCountdown -= 1.0;
        if (r.SmplReadCountdown < 1.0) {
            r.ReqReadSmplGas = r.ReqReadSmplBnz = true;
        }
    } else if (m.hooks.AcquisitionEnabled() && !r.ReqReadSmplBnz && !r.ReqReadSmplGas) {
        r.SmplReadCountdown = 4.0;
    }
}

void Every54thTick(Monitor& m) {
    EcuRequests& r = m.ctx.Requests;
    if (m.ctx.Images.Mem3Changed) {
        m.pages.RefreshParamPages();
    }
    m.displays.ShowTemperatures();
    m.displays.ShowPressures();
    m.displays.ShowSupplyVoltage();
    const int tab = m.hooks.CurrentTab();
    if (tab == TabMap) {
        m.hooks.RefreshMapAcq(false);
    } else if (tab == TabModeling) {
        m.pages.PlotCorTableMod();
    }
    if (!r.ReqSaveFlash) {
        r.ReqReadMem3 = true;
    }
    StepSampleReads(m);
    if (m.ctx.DeveloperView) {
        m.hooks.DrawMapSample();
    }
    m.hooks.WatchUsbDevices();
}

void Every504thTick(Monitor& m) {
    CaricaErroriEcu(m);
    comm::ClsComm& link = m.ctx.Comm();
    if (!link.RichiediIndVar()) {
        ecudata::SendRequest(link, comm::CMD_GET_ADR_VAR);
    }
}

} // namespace

void CaricaErroriEcu(Monitor& m) {
    ecudata::SendRequest(m.ctx.Comm(), comm::CMD_READ_ERR);
    m.displays.ShowErrorButton();
}

void FixInjectorEnables(ecudata::EcuImages& images, EcuRequests& requests) {
    const ecudata::Mem3Rec& data = images.Mem3Data;
    bool changed = false;
    for (int i = 0; i < 8; ++i) {
        if (data.CylState[i] != 0 && data.Cilindri <= i) {
            images.Mem3Write.CylState[i] = 0;
            changed = true;
        }
    }
    if (data.CylState[0] == 0) {
        images.Mem3Write.CylState[0] = 1;
        changed = true;
    }
    if (changed) {
        requests.Mem3WriteCountdown = 1.0;
    }
}

void PollSchedulerTick(Monitor& m) {
    support::CurrentTimeSource().PumpEvents();
    m.hooks.ElaboraMsgCom();
    if (m.ctx.Comm().LiveStale()) {
        BlankLive(m); // also under the search splash, with no ECU identified
    }
    EcuRequests& r = m.ctx.Requests;
    // Inside the calibration's tick (its waits let this timer in) the countdowns and the
    // displays go on, but what would use the link or wait waits: the tick goes first.
    const bool held = m.hooks.CalibrationTickUnderWay();
    if (!r.FirmwareOk) {
        if (!held) {
            CompareEcuFirmware(m);
        }
        return;
    }
    if (CompleteReadDone(r) && !held) {
        RefreshAfterCompleteRead(m);
    }
    RunCountdown(r, Every4th, [&m, held] { Every4thTick(m, held); });
    RunCountdown(r, Every8th, [&m, held] { Every8thTick(m, held); });
    if (!held) {
        RunCountdown(r, Every18th, [&m] { Every18thTick(m); });
    }
    RunCountdown(r, Every24th, [&m] { Every24thTick(m); });
    RunCountdown(r, Every54th, [&m] { Every54thTick(m); });
    if (!held) {
        RunCountdown(r, Every504th, [&m] { Every504thTick(m); });
    }
}

} // namespace monitor
