#include "monitor/LinkPump.h"

#include "app/ProgramContext.h"
#include "ecudata/CompTables.h"
#include "ecudata/CorrectionTable.h"
#include "ecudata/EmulaBlock.h"
#include "ecudata/ParamRecords.h"
#include "link/LinkStateMachine.h"
#include "monitor/Monitor.h"

namespace monitor {

namespace {

using ecudata::EcuRequests;

// The first error read comes 104 identified ticks after the link is up again.
constexpr std::array<qint32, 6> StoppedPollCountdowns{3, 7, 17, 23, 53, 103};

// A zone's read waits while its write is pending, the correction table while a model
// write is due and the compensation tables while a table write is due.
void RaisePeriodicReads(EcuRequests& r) {
    r.ReqReadMem1 = true;
    r.ReqReadMem2 = r.ReqReadMem2 || !r.ReqWriteMem2;
    r.ReqReadMem3 = r.ReqReadMem3 || !r.ReqWriteMem3;
    r.ReqReadEmus = r.ReqReadEmus || !r.ReqWriteEmus;
    r.ReqReadTblCor = r.ReqReadTblCor || r.ModWriteCountdown < 1.0;
    r.ReqReadComp = r.ReqReadComp || r.CompWriteCountdown < 1;
    r.ReqReadSmplGas = r.ReqReadSmplBnz = true;
    r.RefreshPending = r.FirstReadPending = true;
    r.ReqReadDcol = true;
}

// Off-line the local images play the ECU: every pending edit goes into them, whatever
// became of its countdown or write (the dialogs arm some with other values than the
// pages do, a write may have been given back by a failure, a model write may be waiting
// for its retry). Nothing stays pending off-line.
void ApplyPendingEdits(Monitor& m) {
    ecudata::EcuImages& images = m.ctx.Images;
    EcuRequests& r = m.ctx.Requests;
    if (ecudata::Mem2EditsPending(images.Mem2Write)) {
        ecudata::BuildMem2(images.Mem2Data, images.Mem2Write);
        // A counter reset asked for off-line leaves the counter at 0: -1 is a request to
        // the ECU, never an hour count.
        for (double* hours : {&images.Mem2Data.HoursGas, &images.Mem2Data.HoursBenz}) {
            if (*hours < 0) {
                *hours = 0;
            }
        }
    }
    if (ecudata::Mem3EditsPending(images.Mem3Write)) {
        ecudata::BuildMem3(images.Mem3Data, images.Mem3Write, m.ctx.Scale, r);
    }
    if (r.ModWriteCountdown > 0) {
        ecudata::CalcTblCor(images.TblCorEdit, images.ModPoints, m.ctx.Scale);
    }
    if (images.EmulaEdit.Any()) {
        images.EmulaBlkData = ecudata::ShownEmula(images);
        images.EmulaEdit.Clear();
        // Off-line, EmulaLine holds the edited block as if the ECU had sent it.
        images.EmulaLine = ecudata::EmulaReplyLine(images.EmulaBlkData);
    }
    for (const ecudata::CompTblInfo& info : ecudata::CompTables) {
        auto& edits = images.CompEdit[std::size_t(info.id - 1)];
        if (edits.Any()) {
            ecudata::CompTable(images, info.id) = ecudata::ShownCompTable(images, info.id);
            ecudata::ClampCompTbl(ecudata::CompTable(images, info.id), info.form);
            edits.Clear();
        }
    }
}

void ClearPendingWrites(app::ProgramContext& ctx) {
    EcuRequests& r = ctx.Requests;
    r.ReqWriteMem2 = r.ReqWriteMem3 = r.ReqWriteEmus = false;
    r.ReqSaveFlash = r.ReqCancSmplGas = r.ReqCancSmplBnz = r.ReqEcuMode = false;
    r.ReqSwitchFuelMode = 0;
    r.SmplReadCountdown = r.Mem2WriteCountdown = r.Mem3WriteCountdown = 0.0;
    r.ModWriteCountdown = 0.0;
    r.CompWriteCountdown = r.EmulaWriteCountdown = 0;
    ctx.ParamFilePending.clear();
    ctx.ParamNoSend = 0;
    ecudata::ResetMemToWrite(ctx.Images);
    ctx.ParamFileSending = false;
    r.InjSetMode = 0;
    r.InjSetState = -1;
    r.InjSetIndex = 0;
}

} // namespace

void FlushStopped(Monitor& m) {
    app::ProgramContext& ctx = m.ctx;
    m.hooks.WatchUsbDevices();
    ApplyPendingEdits(m);
    if (!ctx.ParamFilePending.isEmpty()) {
        m.hooks.FileParametriInvia(ctx.ParamFilePending);
    }
    ctx.Requests.PollCountdown = StoppedPollCountdowns;
    ClearPendingWrites(ctx);
}

void LinkPumpTick(Monitor& m) {
    comm::ClsComm& link = m.ctx.Comm();
    if (link.ComState() == comm::COM_RESTART || link.ComState() == comm::COM_STOP) {
        RaisePeriodicReads(m.ctx.Requests);
        m.ctx.Requests.FirmwareOk = false;
        if (link.ComState() == comm::COM_STOP) {
            FlushStopped(m);
        }
    }
    comm::ProcessComState(link);
    m.hooks.AggiornaStatoCom();
}

} // namespace monitor
