#include "emulation/EmulaDesign.h"

namespace emulation {

namespace {

using app::ControlKind;

const app::ControlDesc EmulaPage[] = {
    // The thresholds, each pair's upper box first.
    {ControlKind::Edit, "TxtEmulLevAltoAnte", -1, "FrmEmul", "", 5040, 960, 1140, 285},
    {ControlKind::Edit, "TxtEmulLevBassoAnte", -1, "FrmEmul", "", 5040, 1320, 1140, 285},
    {ControlKind::Edit, "TxtEmulLevAltoPost", -1, "FrmEmul", "", 6240, 960, 1140, 285},
    {ControlKind::Edit, "TxtEmulLevBassoPost", -1, "FrmEmul", "", 6240, 1320, 1140, 285},
    // The table's axes beside GrdEmul; the marker over it, shown by the working point.
    {ControlKind::Grid, "GrdRpm", -1, "FrmEmul", "", 1320, 2880, 8850, 420},
    {ControlKind::Grid, "GrdBar", -1, "FrmEmul", "", 120, 3300, 1200, 1350},
    {ControlKind::Image, "PctGrdLambda", -1, "FrmEmul", "", 0, 0, 165, 165},
};

const app::ControlDesc CompensaTbl[] = {
    // The four tables in the order of their ids 1..4: a frame with its enable box, its
    // grid (the axis row over the percent row) and the live marker over the axis.
    {ControlKind::Frame, "FrmGrdTemp", -1, "FrmCompensaTbl", "Compensazione Tempertura Gas", 158,
     105, 9915, 1770},
    {ControlKind::Check, "ChkGrdTemp", -1, "FrmGrdTemp", "Abilita", 90, 360, 1800, 285},
    {ControlKind::Grid, "GrdTemp", -1, "FrmGrdTemp", "", 90, 720, 9690, 930},
    {ControlKind::Image, "PctGrdTemp", -1, "FrmGrdTemp", "", 0, 0, 165, 165},
    {ControlKind::Frame, "FrmGrdTempRid", -1, "FrmCompensaTbl",
     "Compensazione Tempertura Riduttore", 158, 1980, 9915, 1770},
    {ControlKind::Check, "ChkGrdTempRid", -1, "FrmGrdTempRid", "Abilita", 90, 360, 1800, 285},
    {ControlKind::Grid, "GrdTempRid", -1, "FrmGrdTempRid", "", 90, 720, 9690, 930},
    {ControlKind::Image, "PctGrdTempRid", -1, "FrmGrdTempRid", "", 0, 0, 165, 165},
    {ControlKind::Frame, "FrmGrdPres", -1, "FrmCompensaTbl", "Compensazione Pressione Riduttore",
     158, 3870, 9915, 1770},
    {ControlKind::Check, "ChkGrdPres", -1, "FrmGrdPres", "Abilita", 90, 360, 1800, 285},
    {ControlKind::Grid, "GrdPres", -1, "FrmGrdPres", "", 90, 720, 9690, 930},
    {ControlKind::Image, "PctGrdPres", -1, "FrmGrdPres", "", 0, 0, 165, 165},
    {ControlKind::Frame, "FrmSmagAcc", -1, "FrmCompensaTbl", "*** Smagrimento in Accelerazione",
     120, 5760, 9915, 1770},
    {ControlKind::Check, "ChkSmagAcc", -1, "FrmSmagAcc", "*** Abilita", 90, 405, 1800, 285},
    {ControlKind::Grid, "GrdSmag", -1, "FrmSmagAcc", "", 90, 720, 9690, 930},
    {ControlKind::Image, "PctGrdSmag", -1, "FrmSmagAcc", "", 0, 0, 165, 165},
    // The leaning table's tools, in a row below the frame's title, clear of its line.
    {ControlKind::Button, "CmdModScala", -1, "FrmSmagAcc", "*** Modifica Scala", 2040, 300, 1700,
     375},
    {ControlKind::Button, "CmdAutoMinMaxSmagTInj", -1, "FrmSmagAcc", "*** Min/Max TInj", 3840, 300,
     1700, 375},
    {ControlKind::Button, "CmdAutoMinMaxSmagPerc", -1, "FrmSmagAcc", "*** Min/Max %", 5640, 300,
     1700, 375},
    {ControlKind::Combo, "CmbSmagAcc", -1, "FrmSmagAcc", "", 7440, 300, 1700, 375},
    {ControlKind::Label, "LblHelp", -1, "FrmCompensaTbl",
     "Selezionare una cella e utilizzare i tasti - o + per cambiare i valori. Premere shift per "
     "le cambiare le decine",
     158, 7680, 9870, 285},
};

const app::ControlDesc EnterValue[] = {
    {ControlKind::Option, "OptTipoOper", 0, "FrmEnterValueLambda", "** [+/-] Lineare", 240, 180,
     3120, 300},
    {ControlKind::Option, "OptTipoOper", 1, "FrmEnterValueLambda", "**[%] Percentuale", 240, 540,
     3120, 300},
    {ControlKind::Option, "OptTipoOper", 2, "FrmEnterValueLambda", "**[=] Assoluta", 240, 900, 3120,
     300},
    {ControlKind::Edit, "TxtValue", -1, "FrmEnterValueLambda", "0", 240, 1320, 1800, 330},
    {ControlKind::Button, "CmdRet", -1, "FrmEnterValueLambda", "Click", 2160, 1290, 1200, 390},
};

} // namespace

std::span<const app::ControlDesc> EmulaPageDesign() {
    return EmulaPage;
}

std::span<const app::ControlDesc> CompensaTblDesign() {
    return CompensaTbl;
}

std::span<const app::ControlDesc> EnterValueDesign() {
    return EnterValue;
}

} // namespace emulation
