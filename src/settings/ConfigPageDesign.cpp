#include "settings/ConfigPageDesign.h"

#include "app/FrmLX735.h"
#include "app/MainControls.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace settings {

namespace {

using ui::ControlDesc;
using ui::ControlKind;

constexpr int RowH = 315;

const ui::ControlDesc Design[] = {
    // Left column: change-over, injectors, cylinders.
    {ui::ControlKind::Shape, "ShpFrmSwitch", -1, "FrmCongif", "", 45, 135, 4965, 2310},
    {ui::ControlKind::Combo, "CmbSwtchRpm", -1, "FrmCongif", "", 1700, 495, 1000, RowH},
    {ui::ControlKind::Combo, "CmbSwtchDrect", -1, "FrmCongif", "", 2800, 495, 1655, RowH},
    {ui::ControlKind::Combo, "CmbSwtchTemp", -1, "FrmCongif", "", 3295, 855, 1655, RowH},
    {ui::ControlKind::Combo, "CmbSwtchDelay", -1, "FrmCongif", "", 3295, 1215, 1655, RowH},
    {ui::ControlKind::Combo, "CmbSwtchForce", -1, "FrmCongif", "", 3295, 1575, 1655, RowH},
    {ui::ControlKind::Combo, "CmbSwtchSeq", -1, "FrmCongif", "", 3295, 1935, 1655, RowH},
    {ui::ControlKind::Shape, "ShpFrmTyp", -1, "FrmCongif", "", 45, 2565, 4965, 1050},
    {ui::ControlKind::Combo, "CmbTpyInj", -1, "FrmCongif", "", 1700, 2925, 3200, RowH},
    {ui::ControlKind::Shape, "ShpFrmRPM", -1, "FrmCongif", "", 45, 3735, 4965, 690},
    {ui::ControlKind::Label, "LblFrmRPM", -1, "FrmCongif", "R.P.M.", 135, 3765, 2400, 285},
    {ui::ControlKind::Combo, "CmbSwtchCilindri", -1, "FrmCongif", "", 2031, 4035, 933, RowH},
    {ui::ControlKind::Combo, "CmbSwtchBobine", -1, "FrmCongif", "", 4017, 4035, 933, RowH},
    // Right column: level sensor, options.
    {ui::ControlKind::Shape, "ShpFrmSensor", -1, "FrmCongif", "", 5130, 135, 4965, 1050},
    {ui::ControlKind::Combo, "CmbTpyGLS", -1, "FrmCongif", "", 7635, 495, 2400, RowH},
    {ui::ControlKind::Shape, "ShpFrmOption", 0, "FrmCongif", "", 5130, 1305, 4965, 3120},
    {ui::ControlKind::Combo, "CmbEmptyGas", -1, "FrmCongif", "", 7635, 2025, 2400, RowH},
    {ui::ControlKind::Combo, "CmbSwtchBar", -1, "FrmCongif", "", 7180, 2385, 900, RowH},
    {ui::ControlKind::Combo, "CmbSwtchDelayPress", -1, "FrmCongif", "", 9135, 2385, 900, RowH},
    {ui::ControlKind::Shape, "ShpFrmOption", 1, "FrmCongif", "", 5130, 2715, 4965, 1170},
    {ui::ControlKind::Combo, "CmbSwtchLambdaBis", -1, "FrmCongif", "", 7635, 2805, 2400, RowH},
    {ui::ControlKind::Combo, "CmbSonda1Bis", -1, "FrmCongif", "", 7635, 3165, 2400, RowH},
    {ui::ControlKind::Combo, "CmbSonda2Bis", -1, "FrmCongif", "", 7635, 3525, 2400, RowH},
    // The Lambda page's combos that the fill fills (their behaviour is that page's); the
    // first, CmbSwtchLambda, is the window's.
    {ui::ControlKind::Combo, "CmbAbilEmula", -1, "FrmEmul", "", 7680, 960, 2400, RowH},
    {ui::ControlKind::Combo, "CmbSonda1", -1, "FrmEmul", "", 7680, 1320, 2400, RowH},
    {ui::ControlKind::Combo, "CmbSonda2", -1, "FrmEmul", "", 7680, 1680, 2400, RowH},
    {ui::ControlKind::Combo, "CmbRitardo", -1, "FrmEmul", "", 7680, 2040, 2400, RowH},
    {ui::ControlKind::Combo, "CmbFiltro", -1, "FrmEmul", "", 7680, 2400, 2400, RowH},
    {ui::ControlKind::Grid, "GrdEmul", -1, "FrmEmul", "", 120, 2880, 9960, 2400},
};

} // namespace

std::span<const ui::ControlDesc> ConfigPageDesign() {
    return Design;
}

ConfigControls BuildConfigControls(app::FrmLX735& window) {
    app::BuildOnMainWindow(*window.centralWidget(), "ConfigPageDesign", Design);
    QHash<QString, QComboBox*> combos;
    for (const ui::ControlDesc& desc : Design) {
        const QString name = ui::DescName(desc, 0);
        if (desc.kind == ui::ControlKind::Shape) {
            // The section boxes stand behind their contents.
            ui::Bind<QWidget>(window, name).lower();
        } else if (desc.kind == ui::ControlKind::Combo) {
            combos.insert(name, &ui::Bind<QComboBox>(window, name));
        }
    }
    combos.insert("CmbSwtchLambda", &ui::Bind<QComboBox>(window, "CmbSwtchLambda"));
    const auto combo = [&window](const char* name) -> QComboBox& {
        return ui::Bind<QComboBox>(window, name);
    };
    const auto button = [&window](const char* name) -> QPushButton& {
        return ui::Bind<QPushButton>(window, name);
    };
    const auto heading = [&window](const char* name) { return &ui::Bind<QLabel>(window, name); };
    return {
        .frmCongif = ui::Bind<QWidget>(window, "FrmCongif"),
        .frmParametri = ui::Bind<QWidget>(window, "FrmParametri"),
        .cmdParametri = ui::Bind<QWidget>(window, "CmdParametri"),
        .headings = {heading("LblFrmSwitch"), heading("LblFrmTyp"), heading("LblFrmRPM"),
                     heading("LblFrmSensor"), heading("LblFrmOption")},
        .cmbSwtchRpm = combo("CmbSwtchRpm"),
        .cmbSwtchDrect = combo("CmbSwtchDrect"),
        .cmbSwtchTemp = combo("CmbSwtchTemp"),
        .cmbSwtchDelay = combo("CmbSwtchDelay"),
        .cmbSwtchForce = combo("CmbSwtchForce"),
        .cmbSwtchSeq = combo("CmbSwtchSeq"),
        .cmbTpyInj = combo("CmbTpyInj"),
        .cmbSwtchCilindri = combo("CmbSwtchCilindri"),
        .cmbSwtchBobine = combo("CmbSwtchBobine"),
        .cmbTpyGLS = combo("CmbTpyGLS"),
        .cmbEmptyGas = combo("CmbEmptyGas"),
        .cmbSwtchBar = combo("CmbSwtchBar"),
        .cmbSwtchDelayPress = combo("CmbSwtchDelayPress"),
        .cmbSwtchLambda = combo("CmbSwtchLambda"),
        .cmbSwtchLambdaBis = combo("CmbSwtchLambdaBis"),
        .optTypFuel = {&ui::Bind<QRadioButton>(window, "OptTypFuel", 0),
                       &ui::Bind<QRadioButton>(window, "OptTypFuel", 1)},
        .cmdExpert = ui::Bind<QPushButton>(window, "CmdExpert", 0),
        .cmdTpyGLS = button("CmdTpyGLS"),
        .cmdTpyInj = button("CmdTpyInj"),
        .cmdReserVar = button("CmdReserVar"),
        .grdEmul = ui::Bind<QWidget>(window, "GrdEmul"),
        .combos = combos,
    };
}

} // namespace settings
