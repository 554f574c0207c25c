#include "calibration/Calibration.h"

#include "app/FrmLX735.h"
#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "calibration/PageControls.h"
#include "monitor/MonitorHooks.h"
#include "support/MessageBox.h"
#include "support/ProgramTexts.h"

namespace calibration {

void InstallCalibration(Calibration& c, app::ProgramContext& ctx, app::PageServices& pages,
                        monitor::MonitorHooks& hooks, app::FrmLX735& window) {
    c.modeling = std::make_unique<ModelingPage>(ctx, window, c.tara);
    c.map = std::make_unique<MapChart>(ctx, window, *c.modeling);
    c.mapPage = std::make_unique<MapPage>(ctx, window, *c.map, *c.modeling);
    c.page = std::make_unique<CalibrationPage>(ctx, window);
    c.run = std::make_unique<TaraRun>(ctx, window, *c.modeling, *c.page, c.tara);
    TaraRun& run = *c.run;
    ModelingPage& mod = *c.modeling;
    MapChart& map = *c.map;

    pages.InizVarMod = [&mod] { mod.InizVarMod(); };
    pages.DrawGridMod = [&mod] { mod.DrawGridMod(); };
    pages.DisponiMatriceModDefault = [&mod] { mod.DisponiMatriceModDefault(); };
    pages.PlottaMatricePuntiMod = [&mod](bool& animate) { mod.PlottaMatricePuntiMod(animate); };
    pages.AggiornaStatoPuntoMod = [&mod] { mod.AggiornaStatoPuntoMod(); };
    pages.DrawRefLineMod = [&mod] { mod.DrawRefLineMod(); };
    pages.DeselezionaPuntiMod = [&mod] { mod.DeselezionaPuntiMod(); };
    pages.PlotCorTableMod = [&mod] { mod.PlotCorTableMod(); };
    pages.LayoutModPage = [&mod] { mod.LayoutModPage(); };
    pages.Timer3Tick = [&run] { run.Timer3_Timer(); };
    pages.AbortTara = [&run] { run.Abort(); };
    pages.LayoutCalPage = [page = c.page.get()] { page->LayoutCalPage(); };
    pages.InizVarMap = [&map] { map.InizVarMap(); };
    pages.DrawGridMap = [&map] { map.DrawGridMap(); };
    pages.LoadPointLabelsMap = [&map] { map.LoadPointLabelsMap(); };

    hooks.UpdateCorTable = [&mod](bool force) { mod.UpdateCorTable(force); };
    hooks.ModButtonHeld = [&mod] { return mod.ModButtonHeld(); };
    hooks.CalibrationTickUnderWay = [&run] { return run.TickUnderWay(); };
    hooks.CalibrationReadsLive = [&run] { return run.Ticking(); };
    hooks.VisualizzaPuntoInjTimeMod = [&mod] { mod.VisualizzaPuntoInjTimeMod(); };
    hooks.ShowModLimits = [&mod] { mod.ShowModLimits(); };

    MapPage& mapPage = *c.mapPage;
    pages.LayoutMapPage = [&mapPage] { mapPage.LayoutMapPage(); };
    hooks.VisualizzaPuntoInjTimeMap = [&mapPage] { mapPage.VisualizzaPuntoInjTimeMap(); };
    hooks.ShowRpmBand = [&mapPage] { mapPage.ShowRpmBand(); };
    hooks.RefreshMapAcq = [&mapPage](bool onModChart) { mapPage.RefreshMapAcq(onModChart); };
    hooks.DrawMapSample = [&mapPage, &run] {
        run.RefreshTaraLimits();
        mapPage.DrawMapSample();
    };

    ConnectClicks<TaraRun>(window, window, run,
                           {{"CmdCalStart", &TaraRun::CmdCalStart_Click},
                            {"CmdCalCancel", &TaraRun::CmdCalCancel_Click}});

    const QStringList refused = RefuseUnsafeTaraParams(ctx.TaraParams);
    if (!refused.isEmpty()) {
        support::MsgBox(
            support::Text(support::ProgramText::CalibrationParamsUnsafe).arg(refused.join(", ")),
            support::vbExclamation, ctx.Texts.AppTitle);
    }
}

} // namespace calibration
