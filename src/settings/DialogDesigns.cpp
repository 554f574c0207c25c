#include "settings/DialogDesigns.h"

#include "settings/DialogRows.h"

#include <algorithm>

namespace settings {

namespace {

using ui::ControlDesc;
using ui::ControlKind;

constexpr int H = 315;

const ui::ControlDesc Expert[] = {
    {ui::ControlKind::Frame, "FrmExp", -1, "FrmSetExpert", "", 120, 60, 5760, 1440},
    {ui::ControlKind::Check, "ChkAbilAdat", -1, "FrmExp", "Self-adaptation", 120, 240, 2640, H},
    {ui::ControlKind::Check, "ChkAbilDiag", -1, "FrmExp", "Diagnostics", 120, 600, 2640, H},
    {ui::ControlKind::Check, "ChkReturnBenz", -1, "FrmExp", "Return to petrol", 120, 960, 2640, H},
    {ui::ControlKind::Check, "ChkMinRpmAbil", -1, "FrmExp", "Minimum rpm", 2880, 240, 2760, H},
    {ui::ControlKind::Frame, "Frame5", -1, "FrmSetExpert", "", 120, 1560, 5760, 720},
    {ui::ControlKind::Check, "CHK_FiloRPM", -1, "Frame5", "Rpm from wire", 120, 240, 2640, H},
    {ui::ControlKind::Check, "CHK_RPMx1x2", -1, "Frame5", "Rpm x1 / x2", 2880, 240, 2760, H},
    {ui::ControlKind::Frame, "Frame1", -1, "FrmSetExpert", "", 120, 2340, 5760, 720},
    {ui::ControlKind::Label, "LblMinPowerSol", -1, "Frame1", "Minimum power low", 120, 240, 1560,
     H},
    {ui::ControlKind::Combo, "CmbRpmLow", -1, "Frame1", "", 1740, 240, 1080, H},
    {ui::ControlKind::Label, "LblMinPowerSoh", -1, "Frame1", "Minimum power high", 2880, 240, 1560,
     H},
    {ui::ControlKind::Combo, "CmbRpmHight", -1, "Frame1", "", 4500, 240, 1080, H},
    {ui::ControlKind::Frame, "Frame2", -1, "FrmSetExpert", "", 120, 3120, 5760, 720},
    {ui::ControlKind::Label, "LblMaxpower", -1, "Frame2", "Maximum power", 120, 240, 1560, H},
    {ui::ControlKind::Combo, "CmbMaxPowerSoh", -1, "Frame2", "", 1740, 240, 1080, H},
    {ui::ControlKind::Label, "LblMaxPowerTinj", -1, "Frame2", "Injection time", 2880, 240, 1560, H},
    {ui::ControlKind::Combo, "CmbTInjMaxPower", -1, "Frame2", "", 4500, 240, 1080, H},
    {ui::ControlKind::Frame, "Frame3", -1, "FrmSetExpert", "", 120, 3900, 5760, 720},
    {ui::ControlKind::Label, "LblTempSens", -1, "Frame3", "Temperature sensor", 120, 240, 1560, H},
    {ui::ControlKind::Combo, "CmbTypSensTemp", -1, "Frame3", "", 1740, 240, 1080, H},
    {ui::ControlKind::Frame, "FrameSeparatore", -1, "Frame3", "", 2850, 120, 15, 480},
    {ui::ControlKind::Label, "LblPressSens", -1, "Frame3", "Pressure sensor", 2880, 240, 1560, H},
    {ui::ControlKind::Combo, "CmbTypSensMap", -1, "Frame3", "", 4500, 240, 1080, H},
    {ui::ControlKind::Frame, "Frame4", -1, "FrmSetExpert", "", 120, 4680, 5760, 720},
    {ui::ControlKind::Label, "LblRpmHyst", -1, "Frame4", "Deceleration hysteresis", 120, 240, 2640,
     H},
    {ui::ControlKind::Combo, "CmbIsteresi", -1, "Frame4", "", 2880, 240, 1560, H},
    {ui::ControlKind::Label, "LblPw", -1, "FrmSetExpert", "Password", 120, 5520, 1200, H},
    {ui::ControlKind::Edit, "TxtPw", -1, "FrmSetExpert", "", 1380, 5520, 2400, H},
};

// ---- Level sensor.

constexpr int LevelRowH = 285;
constexpr int HeadingTop = 120;

constexpr const char* LevelCaptions[LevelRows] = {"1/4", "2/4", "3/4", "4/4"};

// ---- Injectors.

constexpr int InjRowTop = 480;
constexpr int InjRowPitch = 420;

constexpr const char* InjCaptions[InjMaxRows] = {"Inj #1", "Inj #2", "Inj #3", "Inj #4",
                                                 "Inj #5", "Inj #6", "Inj #7", "Inj #8"};

const ui::ControlDesc Reset[] = {
    {ui::ControlKind::Button, "CmdTipoALim", 0, "FrmResetParam", "", 120, 240, 1240, 420, 3, 1360},
};

} // namespace

std::span<const ui::ControlDesc> ExpertDesign() {
    return Expert;
}

std::vector<ControlDesc> LevelDesign() {
    const int bottom = LevelRowTop(HeadingTop, LevelRowH, LevelRowH, 0) + LevelRowH;
    return {
        {ui::ControlKind::Button, "CmdBack", -1, "FrmLevelSetting", "", 0, 0, 5760, 3960},
        {ui::ControlKind::Frame, "FrmLevel", -1, "FrmLevelSetting", "", 60, 60, 5640, 3840},
        {ui::ControlKind::Label, "LblGasLevel", -1, "FrmLevel", "Level sensor thresholds", 120,
         HeadingTop, 5400, LevelRowH},
        {ui::ControlKind::Button, "CmdDefaultLevel", -1, "FrmLevel", "Default", 3180, bottom + 225,
         2340, 375},
        {ui::ControlKind::Label, "LblSensVolt", -1, "FrmLevel", "V", 120, bottom + 720, 2940,
         LevelRowH},
        {ui::ControlKind::Label, "LblSensVal", -1, "FrmLevel", "", 3180, bottom + 720, 2340,
         LevelRowH},
        {ui::ControlKind::Label, "LblSensVoltNofiltro", -1, "FrmLevel", "Livello non filtrato (v)",
         120, bottom + 1080, 2940, LevelRowH},
        {ui::ControlKind::Label, "LblSensValNoFiltro", -1, "FrmLevel", "", 3180, bottom + 1080,
         2340, LevelRowH},
    };
}

std::vector<ControlDesc> LevelRowsDesign() {
    std::vector<ControlDesc> design;
    for (int i = 0; i < LevelRows; ++i) {
        const int top = LevelRowTop(HeadingTop, LevelRowH, LevelRowH, i);
        design.insert(
            design.end(),
            {{ui::ControlKind::Label, "LblLevel", i, "FrmLevel", LevelCaptions[i], 120, top, 600,
              LevelRowH},
             {ui::ControlKind::Shape, "ShpLevAct", i, "FrmLevel", "", 780, top + 45, 195, 195},
             {ui::ControlKind::Edit, "TxtLevel", i, "FrmLevel", "", 1080, top, 1080, LevelRowH},
             {ui::ControlKind::Label, "LblMisura", i, "FrmLevel", "", 2220, top, 900, LevelRowH},
             {ui::ControlKind::HScroll, "HScrLevel", i, "FrmLevel", "", 3180, top, 2340,
              LevelRowH}});
    }
    return design;
}

std::vector<ControlDesc> InjDesign(int rows) {
    rows = std::clamp(rows, 1, InjMaxRows);
    const int frameHeight = InjRowTop + rows * InjRowPitch + 60;
    const int below = 60 + frameHeight + 120;
    std::vector<ControlDesc> design = {
        {ui::ControlKind::Button, "CmdBack", -1, "FrmInjSet", "", 0, 0, 7320, below + H + 180},
        {ui::ControlKind::Frame, "FrmInj", -1, "FrmInjSet", "", 60, 60, 7200, frameHeight},
        {ui::ControlKind::Label, "LblInjNum", -1, "FrmInj", "Injector", 120, 120, 900, H},
        {ui::ControlKind::Label, "LblTime", -1, "FrmInj", "Gas (ms)", 1080, 120, 900, H},
        {ui::ControlKind::Label, "LblEnricht", -1, "FrmInj", "OffSet", 2040, 120, 2760, H},
        {ui::ControlKind::Label, "LblInjSet", -1, "FrmInj", "Mode", 5220, 120, 1800, H},
        {ui::ControlKind::Label, "LblBadBit", 0, "FrmInjSet", "", 120, below, 120, H},
        {ui::ControlKind::Label, "LblBadBit", 1, "FrmInjSet", " Sensibility", 240, below, 1800, H},
        {ui::ControlKind::Slider, "SldBadBit", -1, "FrmInjSet", "", 2100, below, 3600, H},
    };
    for (int i = 0; i < rows; ++i) {
        const int top = InjRowTop + i * InjRowPitch;
        design.insert(
            design.end(),
            {{ui::ControlKind::Panel, "ShpBack", i, "FrmInj", "", 60, top - 45, 7080,
              InjRowPitch - 15},
             {ui::ControlKind::Label, "LblInj", i, "FrmInj", InjCaptions[i], 120, top, 900, H},
             {ui::ControlKind::Edit, "TxtInjFuelGas", i, "FrmInj", "", 1080, top, 900, H},
             {ui::ControlKind::Edit, "TxtInjGas", i, "FrmInj", "", 2040, top, 720, H},
             {ui::ControlKind::HScroll, "HScrTime", i, "FrmInj", "", 2820, top, 1920, H},
             {ui::ControlKind::Button, "CmdDefaultTime", i, "FrmInj", "X", 4800, top, 360, H},
             {ui::ControlKind::Combo, "CmbSelect", i, "FrmInj", "", 5220, top, 1860, H}});
    }
    return design;
}

std::span<const ui::ControlDesc> ResetDesign() {
    return Reset;
}

} // namespace settings
