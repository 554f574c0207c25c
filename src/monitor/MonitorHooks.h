#pragma once

// What the link pump, the poll scheduler and the identification call outside live
// monitoring: the main window's shell, the firmware update window, the parameter-file
// send, and the pages of calibration, modelling, map and lambda emulation. Every slot
// starts unfilled and stops the program, naming itself, when called so (an unwired
// call never passes as done); InstallMonitor fills the window's own, and the program's
// composition the others as their libraries provide them.

#include "app/Slot.h"

#include <QString>

namespace monitor {

struct MonitorHooks : app::SlotTable {
    MonitorHooks() : SlotTable("MonitorHooks") {}

    // Main window and start-up.
    APP_SLOT(ElaboraMsgCom, void());    // port-search splash: shown or hidden
    APP_SLOT(AggiornaStatoCom, void()); // link state and pending writes in the status bar
    APP_SLOT(WatchUsbDevices, void());  // a change in the cable count restarts the link
    APP_SLOT(MnuInfoAbout_Click, void());
    APP_SLOT(CurrentTab, int());          // SstMain.Tab
    APP_SLOT(AcquisitionEnabled, bool()); // ChkAbilAcqVacum
    APP_SLOT(Timer2Enabled, bool());
    APP_SLOT(SetTimer2Enabled, void(bool));
    APP_SLOT(DefaultPointer, void()); // the main window's mouse pointer to the default

    // The firmware update window, modal; it sets FirmwareOk when the update completes.
    APP_SLOT(ShowFrmUpdate, void());

    // Installation settings: loads and sends a queued parameter file; False keeps it
    // queued for another try.
    APP_SLOT(FileParametriInvia, bool(const QString& path));

    // Calibration, modelling and map.
    APP_SLOT(UpdateCorTable, void(bool force));
    APP_SLOT(ModButtonHeld, bool());
    APP_SLOT(VisualizzaPuntoInjTimeMod, void());
    APP_SLOT(VisualizzaPuntoInjTimeMap, void());
    APP_SLOT(ShowRpmBand, void());
    APP_SLOT(ShowModLimits, void());
    APP_SLOT(RefreshMapAcq, void(bool onModChart));
    APP_SLOT(DrawMapSample, void());
    // The calibration's tick has the link first: while it is under way the poll
    // scheduler's ticks (let in by its waits) leave the link alone, and while its ticks
    // read the live record and zone 2 the poll scheduler does not ask for them as well.
    APP_SLOT(CalibrationTickUnderWay, bool());
    APP_SLOT(CalibrationReadsLive, bool());

    // Lambda emulation.
    APP_SLOT(MoveEmulaMarker, void());

    // Signal viewer: the General page's viewer button opens it modally (Timer2 pauses
    // while it is open).
    APP_SLOT(OpenViewer, void());
};

} // namespace monitor
