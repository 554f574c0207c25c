#include "settings/ParamFileSend.h"

#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "ecudata/CompTables.h"
#include "ecudata/CorrectionTable.h"
#include "ecudata/FuelMode.h"
#include "ecudata/ParamFile.h"
#include "ecudata/RequestServer.h"

#include <algorithm>

namespace settings {

namespace {

constexpr int FuelStateChanging = 3;

void RedrawModel(const app::PageServices& pages) {
    pages.DrawRefLineMod();
    bool redraw = false;
    pages.PlottaMatricePuntiMod(redraw);
    pages.AggiornaStatoPuntoMod();
}

} // namespace

void ReadCompBlocks(const QString& path, app::ProgramContext& ctx) {
    QString error;
    const std::optional<ecudata::ParamFileData> data =
        ecudata::ReadParamFile(path, ctx.Scale, error);
    if (!data) {
        return;
    }
    for (std::size_t t = 0; t < ecudata::CompTables.size(); ++t) {
        const ecudata::CompTblInfo& info = ecudata::CompTables[t];
        if (!data->comp[t].isEmpty()) {
            ecudata::CompTblFromBytes(data->comp[t], info.form,
                                      ecudata::CompTable(ctx.Images, info.id));
        }
    }
}

bool FileParametriInvia(const QString& path, app::ProgramContext& ctx,
                        const app::PageServices& pages, const CaptionSetter& setCaption) {
    comm::ClsComm& link = ctx.Comm();
    ecudata::EcuModel model = ctx.Model();
    if (ctx.Images.Mem2Data.FuelState == FuelStateChanging) {
        ecudata::SwitchFuelMode(link, model);
        ctx.ParamFileSwitchedFuel = true;
    }
    // Switched by this try or by an earlier one that failed.
    const bool switched = ctx.ParamFileSwitchedFuel;
    const ecudata::ParamFileResult result =
        ecudata::SendParamFile(path, link, model, ctx.ParamNoSend);
    const bool stopped = link.ComState() == comm::COM_STOP;
    if (stopped && result != ecudata::ParamFileResult::Rejected) {
        pages.RefreshParamPages();
        ReadCompBlocks(path, ctx);
        pages.LoadEmulaFromParFile(path);
    }
    bool ok = result == ecudata::ParamFileResult::Sent;
    if (ok) {
        ok = ecudata::ReadTblCor(link, model);
    }
    if (stopped || ok) {
        ecudata::FixTblCor(ctx.Images);
        RedrawModel(pages);
    }
    if (ok) {
        ok = ecudata::SendSaveFlash(link);
    }
    if (ok && switched) {
        ecudata::SwitchFuelMode(link, model);
    }
    const bool done = ok || stopped || result == ecudata::ParamFileResult::Rejected;
    if (done) {
        ctx.ParamFileSwitchedFuel = false;
    }
    setCaption(ctx.Texts.AppTitle + " - " + app::ReleaseText + " - [" + path + "]");
    ctx.Requests.RefreshPending = true;
    return done;
}

} // namespace settings
