#pragma once

// What the main window calls of the pages and of the poll scheduler. Those belong to
// the libraries above this one (live monitoring, settings, calibration and map,
// emulation), so the window reaches them only through these slots. Every slot starts
// unfilled and stops the program, naming itself, when called so; the program's
// composition fills them all as those libraries provide them.

#include "app/Slot.h"

#include <QString>

namespace app {

struct PageServices : SlotTable {
    PageServices() : SlotTable("PageServices") {}

    // Live monitoring: the bodies of the two main-window timers (the window keeps their
    // re-entry guards and the quit test), the injector bars and the live frames.
    APP_SLOT(Timer1Tick, void());
    APP_SLOT(Timer2Tick, void());
    APP_SLOT(IstanzaInj, void(int& cilindri));
    APP_SLOT(LayoutParametriFrame, void());
    APP_SLOT(LayoutGeneralPage, void());

    // Installation settings.
    APP_SLOT(RiempiCmbSwtch, void());
    APP_SLOT(ShowConfigParams, void());
    APP_SLOT(RefreshParamPages, void());
    APP_SLOT(LayoutConfigPage, void());
    APP_SLOT(UnloadFrmSetExpert, void());

    // Calibration, modelling and map; Timer3Tick is the body of the calibration's timer,
    // which that library starts and stops.
    APP_SLOT(Timer3Tick, void());
    // Closing the program: the calibration's own abort, whatever state it is in.
    APP_SLOT(AbortTara, void());
    APP_SLOT(InizVarMap, void());
    APP_SLOT(DrawGridMap, void());
    APP_SLOT(LoadPointLabelsMap, void());
    APP_SLOT(InizVarMod, void());
    APP_SLOT(DrawGridMod, void());
    APP_SLOT(DisponiMatriceModDefault, void());
    APP_SLOT(PlottaMatricePuntiMod, void(bool& redraw));
    APP_SLOT(AggiornaStatoPuntoMod, void());
    APP_SLOT(DrawRefLineMod, void());
    APP_SLOT(DeselezionaPuntiMod, void());
    APP_SLOT(PlotCorTableMod, void());
    APP_SLOT(LayoutCalPage, void());
    APP_SLOT(LayoutModPage, void());
    APP_SLOT(LayoutMapPage, void());

    // Lambda emulation and compensation tables.
    APP_SLOT(InitEmulaGrids, void());
    APP_SLOT(AggiornaVariabiliEmulazioneLambda, void());
    APP_SLOT(AggiornaVariabiliTabellaEmulazioneLambda, void());
    APP_SLOT(LayoutEmulaPage, void());
    // A parameter file's emulation block into the read image, then the page refreshed.
    APP_SLOT(LoadEmulaFromParFile, void(const QString& path));
};

} // namespace app
