#pragma once

// What the link pump, the poll scheduler and the identification call outside live
// monitoring: the main window's shell, the firmware update window, the parameter-file
// send, and the pages of calibration, modelling, map and lambda emulation. Each starts
// as a no-op (or the stand-in named below); InstallMonitor wires the window's own, and
// the libraries that provide the others replace them.

#include <QString>
#include <functional>

namespace monitor {

struct MonitorHooks {
    using Action = std::function<void()>;
    static void Nothing() {}

    // Main window and start-up.
    Action ElaboraMsgCom = Nothing;    // port-search splash: shown or hidden
    Action AggiornaStatoCom = Nothing; // link state and pending writes in the status bar
    Action WatchUsbDevices = Nothing;  // a change in the cable count restarts the link
    Action MnuInfoAbout_Click = Nothing;
    std::function<int()> CurrentTab = [] { return 0; };              // SstMain.Tab
    std::function<bool()> AcquisitionEnabled = [] { return false; }; // ChkAbilAcqVacum
    std::function<bool()> Timer2Enabled = [] { return false; };
    std::function<void(bool)> SetTimer2Enabled = [](bool) {};
    Action DefaultPointer = Nothing; // the main window's mouse pointer to the default

    // The firmware update window, modal; it sets FirmwareOk when the update completes.
    // Without it FirmwareOk stays False and the identification ends the program.
    Action ShowFrmUpdate = Nothing;

    // Installation settings: loads and sends a queued parameter file; False keeps it
    // queued for another try. Until the settings library provides it, nothing is sent
    // and the file counts as done.
    std::function<bool(const QString& path)> FileParametriInvia = [](const QString&) {
        return true;
    };

    // Calibration, modelling and map.
    std::function<void(bool force)> UpdateCorTable = [](bool) {};
    std::function<bool()> ModButtonHeld = [] { return false; };
    Action VisualizzaPuntoInjTimeMod = Nothing;
    Action VisualizzaPuntoInjTimeMap = Nothing;
    Action ShowRpmBand = Nothing;
    Action ShowModLimits = Nothing;
    std::function<void(bool onModChart)> RefreshMapAcq = [](bool) {};
    Action DrawMapSample = Nothing;
    // The calibration's tick has the link first: while it is under way the poll
    // scheduler's ticks (let in by its waits) leave the link alone, and while its ticks
    // read the live record and zone 2 the poll scheduler does not ask for them as well.
    std::function<bool()> CalibrationTickUnderWay = [] { return false; };
    std::function<bool()> CalibrationReadsLive = [] { return false; };

    // Lambda emulation.
    Action MoveEmulaMarker = Nothing;

    // Signal viewer: the General page's viewer button opens it modally (Timer2 pauses
    // while it is open).
    Action OpenViewer = Nothing;
};

} // namespace monitor
