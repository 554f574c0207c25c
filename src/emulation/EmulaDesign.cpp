#include "emulation/EmulaDesign.h"

namespace emulation {

namespace {

using ui::ControlKind;

const ui::ControlDesc EmulaPage[] = {
    // The thresholds, each pair's upper box first.
    {ui::ControlKind::Edit, "TxtEmulLevAltoAnte", -1, "FrmEmul", "", 5040, 960, 1140, 285},
    {ui::ControlKind::Edit, "TxtEmulLevBassoAnte", -1, "FrmEmul", "", 5040, 1320, 1140, 285},
    {ui::ControlKind::Edit, "TxtEmulLevAltoPost", -1, "FrmEmul", "", 6240, 960, 1140, 285},
    {ui::ControlKind::Edit, "TxtEmulLevBassoPost", -1, "FrmEmul", "", 6240, 1320, 1140, 285},
    // The table's axes beside GrdEmul; the marker over it, shown by the working point.
    {ui::ControlKind::Grid, "GrdRpm", -1, "FrmEmul", "", 1320, 2880, 8850, 420},
    {ui::ControlKind::Grid, "GrdBar", -1, "FrmEmul", "", 120, 3300, 1200, 1350},
    {ui::ControlKind::Image, "PctGrdLambda", -1, "FrmEmul", "", 0, 0, 165, 165},
};

const ui::ControlDesc CompensaTbl[] = {
    // The four tables in the order of their ids 1..4: a frame with its enable box, its
    // grid (the axis row over the percent row) and the live marker over the axis.
    {ui::ControlKind::Frame, "FrmGrdTemp", -1, "FrmCompensaTbl", "Compensazione Tempertura Gas",
     158, 105, 9915, 1770},
    {ui::ControlKind::Check, "ChkGrdTemp", -1, "FrmGrdTemp", "Abilita", 90, 360, 1800, 285},
    {ui::ControlKind::Grid, "GrdTemp", -1, "FrmGrdTemp", "", 90, 720, 9690, 930},
    {ui::ControlKind::Image, "PctGrdTemp", -1, "FrmGrdTemp", "", 0, 0, 165, 165},
    {ui::ControlKind::Frame, "FrmGrdTempRid", -1, "FrmCompensaTbl",
     "Compensazione Tempertura Riduttore", 158, 1980, 9915, 1770},
    {ui::ControlKind::Check, "ChkGrdTempRid", -1, "FrmGrdTempRid", "Abilita", 90, 360, 1800, 285},
    {ui::ControlKind::Grid, "GrdTempRid", -1, "FrmGrdTempRid", "", 90, 720, 9690, 930},
    {ui::ControlKind::Image, "PctGrdTempRid", -1, "FrmGrdTempRid", "", 0, 0, 165, 165},
    {ui::ControlKind::Frame, "FrmGrdPres", -1, "FrmCompensaTbl",
     "Compensazione Pressione Riduttore", 158, 3870, 9915, 1770},
    {ui::ControlKind::Check, "ChkGrdPres", -1, "FrmGrdPres", "Abilita", 90, 360, 1800, 285},
    {ui::ControlKind::Grid, "GrdPres", -1, "FrmGrdPres", "", 90, 720, 9690, 930},
    {ui::ControlKind::Image, "PctGrdPres", -1, "FrmGrdPres", "", 0, 0, 165, 165},
    {ui::ControlKind::Frame, "FrmSmagAcc", -1, "FrmCompensaTbl", "*** Smagrimento in Accelerazione",
     120, 5760, 9915, 1770},
    {ui::ControlKind::Check, "ChkSmagAcc", -1, "FrmSmagAcc", "*** Abilita", 90, 405, 1800, 285},
    {ui::ControlKind::Grid, "GrdSmag", -1, "FrmSmagAcc", "", 90, 720, 9690, 930},
    {ui::ControlKind::Image, "PctGrdSmag", -1, "FrmSmagAcc", "", 0, 0, 165, 165},
    // The leaning table's tools, in a row below the frame's title, clear of its line.
    {ui::ControlKind::Button, "CmdModScala", -1, "FrmSmagAcc", "*** Modifica Scala", 2040, 300,
     1700, 375},
    {ui::ControlKind::Button, "CmdAutoMinMaxSmagTInj", -1, "FrmSmagAcc", "*** Min/Max TInj", 3840,
     300, 1700, 375},
    {ui::ControlKind::Button, "CmdAutoMinMaxSmagPerc", -1, "FrmSmagAcc", "*** Min/Max %", 5640, 300,
     1700, 375},
    {ui::ControlKind::Combo, "CmbSmagAcc", -1, "FrmSmagAcc", "", 7440, 300, 1700, 375},
    {ui::ControlKind::Label, "LblHelp", -1, "FrmCompensaTbl",
     "Selezionare una cella e utilizzare i tasti - o + per cambiare i valori. Premere shift per "
     "le cambiare le decine",
     158, 7680, 9870, 285},
};

const ui::ControlDesc EnterValue[] = {
    {ui::ControlKind::Option, "OptTipoOper", 0, "FrmEnterValueLambda", "** [+/-] Lineare", 240, 180,
     3120, 300},
    {ui::ControlKind::Option, "OptTipoOper", 1, "FrmEnterValueLambda", "**[%] Percentuale", 240,
     540, 3120, 300},
    {ui::ControlKind::Option, "OptTipoOper", 2, "FrmEnterValueLambda", "**[=] Assoluta", 240, 900,
     3120, 300},
    {ui::ControlKind::Edit, "TxtValue", -1, "FrmEnterValueLambda", "0", 240, 1320, 1800, 330},
    {ui::ControlKind::Button, "CmdRet", -1, "FrmEnterValueLambda", "Click", 2160, 1290, 1200, 390},
};

} // namespace

std::span<const ui::ControlDesc> EmulaPageDesign() {
    return EmulaPage;
}

std::span<const ui::ControlDesc> CompensaTblDesign() {
    return CompensaTbl;
}

std::span<const ui::ControlDesc> EnterValueDesign() {
    return EnterValue;
}

} // namespace emulation
