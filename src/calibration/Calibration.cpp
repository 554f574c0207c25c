#include "calibration/Calibration.h"

#include "app/PageServices.h"
#include "monitor/MonitorHooks.h"

namespace calibration {

void InstallCalibration(Calibration& c, app::ProgramContext& ctx, app::PageServices& pages,
                        monitor::MonitorHooks& hooks, app::FrmLX735& window) {
    c.modeling = std::make_unique<ModelingPage>(ctx, window, c.tara);
    c.map = std::make_unique<MapChart>(ctx, window, c.modeling->Trail());
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
    pages.InizVarMap = [&map] { map.InizVarMap(); };
    pages.DrawGridMap = [&map] { map.DrawGridMap(); };
    pages.LoadPointLabelsMap = [&map] { map.LoadPointLabelsMap(); };

    hooks.UpdateCorTable = [&mod](bool force) { mod.UpdateCorTable(force); };
    hooks.ModButtonHeld = [&mod] { return mod.ModButtonHeld(); };
    hooks.VisualizzaPuntoInjTimeMod = [&mod] { mod.VisualizzaPuntoInjTimeMod(); };
    hooks.ShowModLimits = [&mod] { mod.ShowModLimits(); };
}

} // namespace calibration
