#pragma once

// What the main window calls of the pages and of the poll scheduler. Those belong to
// the libraries above this one (live monitoring, settings, calibration and map,
// emulation), so the window reaches them only through these callbacks. Each starts as
// a no-op; main wires the real procedures as those libraries provide them.

#include <QString>
#include <functional>

namespace app {

struct PageServices {
    using Action = std::function<void()>;
    static void Nothing() {}

    // Live monitoring: the bodies of the two main-window timers (the window keeps their
    // re-entry guards and the quit test), the injector bars and the live frames.
    Action Timer1Tick = Nothing;
    Action Timer2Tick = Nothing;
    std::function<void(int& cilindri)> IstanzaInj = [](int&) {};
    Action LayoutParametriFrame = Nothing;
    Action LayoutGeneralPage = Nothing;

    // Installation settings.
    Action RiempiCmbSwtch = Nothing;
    Action ShowConfigParams = Nothing;
    Action RefreshParamPages = Nothing;
    Action LayoutConfigPage = Nothing;
    Action UnloadFrmSetExpert = Nothing;

    // Calibration, modelling and map; Timer3Tick is the body of the calibration's timer,
    // which that library starts and stops.
    Action Timer3Tick = Nothing;
    // Closing the program: the calibration's own abort, whatever state it is in.
    Action AbortTara = Nothing;
    Action InizVarMap = Nothing;
    Action DrawGridMap = Nothing;
    Action LoadPointLabelsMap = Nothing;
    Action InizVarMod = Nothing;
    Action DrawGridMod = Nothing;
    Action DisponiMatriceModDefault = Nothing;
    std::function<void(bool& redraw)> PlottaMatricePuntiMod = [](bool&) {};
    Action AggiornaStatoPuntoMod = Nothing;
    Action DrawRefLineMod = Nothing;
    Action DeselezionaPuntiMod = Nothing;
    Action PlotCorTableMod = Nothing;
    Action LayoutCalPage = Nothing;
    Action LayoutModPage = Nothing;
    Action LayoutMapPage = Nothing;

    // Lambda emulation and compensation tables.
    Action InitEmulaGrids = Nothing;
    Action AggiornaVariabiliEmulazioneLambda = Nothing;
    Action AggiornaVariabiliTabellaEmulazioneLambda = Nothing;
    Action LayoutEmulaPage = Nothing;
    // A parameter file's emulation block into the read image, then the page refreshed.
    std::function<void(const QString& path)> LoadEmulaFromParFile = [](const QString&) {};
};

} // namespace app
