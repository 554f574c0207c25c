#include "settings/ConfigPageLayout.h"

#include "app/FrmLX735.h"
#include "monitor/GeneralPageLayout.h"
#include "settings/ConfigPageDesign.h"
#include "support/Colors.h"
#include "ui/ControlLook.h"
#include "ui/Controls.h"

#include <QLabel>

namespace settings {

namespace {

using ui::LayoutStep;
using ui::TwipsBox;
using ui::TwipsGeometry;

constexpr float LiveFrameFrom = 9800; // outer height, twips

// Steps 3 to 6: the section boxes, headings and the two columns' lefts.
void LayoutColumns(ui::TwipsGeometry& g, float SW) {
    const float boxWidth = SW / 2 - 375;
    ui::TwipsBox& sw = g["ShpFrmSwitch"];
    sw.Left = 45;
    sw.Top = 135;
    sw.Width = boxWidth;
    for (const char* box : {"ShpFrmTyp", "ShpFrmRPM"}) {
        g[box].Left = 45;
        g[box].Width = boxWidth;
    }
    ui::TwipsBox& sensor = g["ShpFrmSensor"];
    sensor.Left = sw.Left + sw.Width + 120;
    sensor.Top = 135;
    sensor.Width = boxWidth;
    ui::TwipsBox& option = g["ShpFrmOption(0)"];
    option.Left = sensor.Left;
    option.Width = boxWidth;

    for (const char* heading : {"LblFrmSwitch", "LblFrmTyp", "LblFrmRPM"}) {
        g[heading].Left = sw.Left + 90;
    }
    for (const char* heading : {"LblFrmSensor", "LblFrmOption"}) {
        g[heading].Left = sensor.Left + 90;
    }

    const float left = sw.Left + 60;
    for (const char* label : {"LblSwtchRpm", "LblSwtchTemp", "LblSwtchDelay", "LblSwtchForce",
                              "LblSwtchSeq", "LblTypInj", "LblSwtchCilindri"}) {
        g[label].Left = left;
    }

    const float right = g["LblFrmSensor"].Left;
    for (const char* control :
         {"LblTypGLS", "CmdTpyGLS", "LblTypFuel", "LblEmptyGas", "LblSwtchPres", "CmdReserVar"}) {
        g[control].Left = right;
    }
    ui::TwipsBox& gls = g["CmbTpyGLS"];
    gls.Left = sensor.Left + sensor.Width - gls.Width - 60;
    const ui::TwipsBox& reset = g["CmdReserVar"];
    g["CmdExpert(0)"].Left = reset.Left + reset.Width + 60;
    g["CmdTpyGLS"].Width = sensor.Width - 180;
    ui::TwipsBox& glsLabel = g["LblTypGLS"];
    glsLabel.Width = gls.Left - glsLabel.Left - 60;
}

// Steps 7 to 9: the change-over, injector and cylinder sections.
void LayoutLeftSections(ui::TwipsGeometry& g) {
    const qint32 a = ui::LayoutStep(g["ShpFrmSwitch"].Width / 3);
    for (const char* combo :
         {"CmbSwtchDrect", "CmbSwtchTemp", "CmbSwtchDelay", "CmbSwtchForce", "CmbSwtchSeq"}) {
        g[combo].Width = float(a);
    }
    for (const char* label : {"LblSwtchTemp", "LblSwtchDelay", "LblSwtchForce", "LblSwtchSeq"}) {
        g[label].Width = float(2 * a - 180);
    }
    const ui::TwipsBox& temp = g["LblSwtchTemp"];
    const qint32 comboLeft = ui::LayoutStep(temp.Left + temp.Width + 60);
    for (const char* combo :
         {"CmbSwtchDrect", "CmbSwtchTemp", "CmbSwtchDelay", "CmbSwtchForce", "CmbSwtchSeq"}) {
        g[combo].Left = float(comboLeft);
    }
    ui::TwipsBox& rpm = g["CmbSwtchRpm"];
    rpm.Left = g["CmbSwtchDrect"].Left - rpm.Width - 30;
    ui::TwipsBox& rpmLabel = g["LblSwtchRpm"];
    rpmLabel.Width = rpm.Left - rpmLabel.Left - 60;

    const ui::TwipsBox& typ = g["ShpFrmTyp"];
    g["LblTypInj"].Width = rpmLabel.Width;
    ui::TwipsBox& inj = g["CmbTpyInj"];
    inj.Left = rpmLabel.Left + rpmLabel.Width + 60;
    inj.Width = typ.Width - rpmLabel.Width - 180;
    ui::TwipsBox& injButton = g["CmdTpyInj"];
    injButton.Left = g["LblTypInj"].Left;
    injButton.Width = typ.Width - 150;

    const qint32 c = ui::LayoutStep(g["ShpFrmRPM"].Width / 5);
    ui::TwipsBox& cylLabel = g["LblSwtchCilindri"];
    ui::TwipsBox& cyl = g["CmbSwtchCilindri"];
    ui::TwipsBox& coilLabel = g["LblSwtchBobine"];
    ui::TwipsBox& coil = g["CmbSwtchBobine"];
    cylLabel.Width = float(2 * c - 120);
    cyl.Width = coilLabel.Width = coil.Width = float(c - 60);
    cyl.Left = cylLabel.Left + cylLabel.Width + 60;
    coilLabel.Left = cyl.Left + cyl.Width + 60;
    coil.Left = coilLabel.Left + coilLabel.Width + 60;
}

// Steps 10 to 14: the option section's rows.
void LayoutOptionSection(ui::TwipsGeometry& g) {
    const ui::TwipsBox& option = g["ShpFrmOption(0)"];
    const qint32 d = ui::LayoutStep(option.Width / 7);
    ui::TwipsBox& lpg = g["OptTypFuel(0)"];
    ui::TwipsBox& cng = g["OptTypFuel(1)"];
    ui::TwipsBox& fuel = g["LblTypFuel"];
    cng.Width = float(2 * d - 60);
    lpg.Width = float(2 * d - 120);
    fuel.Width = float(3 * d - 120);
    lpg.Left = fuel.Left + fuel.Width + 60;
    cng.Left = lpg.Left + lpg.Width + 60;

    ui::TwipsBox& empty = g["CmbEmptyGas"];
    ui::TwipsBox& emptyLabel = g["LblEmptyGas"];
    const ui::TwipsBox& glsLabel = g["LblTypGLS"];
    empty.Left = g["CmbTpyGLS"].Left;
    emptyLabel.Left = glsLabel.Left;
    emptyLabel.Width = glsLabel.Width;

    const qint32 e = ui::LayoutStep(option.Width / 100);
    ui::TwipsBox& delay = g["CmbSwtchDelayPress"];
    ui::TwipsBox& delayLabel = g["LblSwtchPressDelay"];
    ui::TwipsBox& bar = g["CmbSwtchBar"];
    ui::TwipsBox& barLabel = g["LblSwtchPres"];
    delay.Width = float(18 * e);
    delayLabel.Width = float(20 * e);
    bar.Width = delay.Width;
    barLabel.Width = float(38 * e);
    bar.Left = barLabel.Left + barLabel.Width + 60;
    delay.Left = empty.Left + empty.Width - delay.Width;
    delayLabel.Left = delay.Left - delayLabel.Width - 60;

    for (const char* combo : {"CmbSwtchLambdaBis", "CmbSonda1Bis", "CmbSonda2Bis"}) {
        g[combo].Left = empty.Left;
        g[combo].Width = empty.Width;
    }
    for (const char* label : {"LblSwtchLambdaBis", "LblSonda1Bis", "LblSonda2Bis"}) {
        g[label].Left = emptyLabel.Left;
        g[label].Width = glsLabel.Width;
    }
    ui::TwipsBox& inner = g["ShpFrmOption(1)"];
    inner.Left = option.Left;
    inner.Width = option.Width;
}

} // namespace

const QStringList& ConfigPageControls() {
    static const QStringList names{
        "FrmCongif",          "ShpFrmSwitch",       "ShpFrmTyp",         "ShpFrmRPM",
        "ShpFrmSensor",       "ShpFrmOption(0)",    "ShpFrmOption(1)",   "LblFrmSwitch",
        "LblFrmTyp",          "LblFrmRPM",          "LblFrmSensor",      "LblFrmOption",
        "LblSwtchRpm",        "CmbSwtchRpm",        "CmbSwtchDrect",     "LblSwtchTemp",
        "CmbSwtchTemp",       "LblSwtchDelay",      "CmbSwtchDelay",     "LblSwtchForce",
        "CmbSwtchForce",      "LblSwtchSeq",        "CmbSwtchSeq",       "LblTypInj",
        "CmbTpyInj",          "CmdTpyInj",          "LblSwtchCilindri",  "CmbSwtchCilindri",
        "LblSwtchBobine",     "CmbSwtchBobine",     "LblTypGLS",         "CmbTpyGLS",
        "CmdTpyGLS",          "LblTypFuel",         "OptTypFuel(0)",     "OptTypFuel(1)",
        "LblEmptyGas",        "CmbEmptyGas",        "LblSwtchPres",      "CmbSwtchBar",
        "LblSwtchPressDelay", "CmbSwtchDelayPress", "LblSwtchLambdaBis", "CmbSwtchLambdaBis",
        "LblSonda1Bis",       "CmbSonda1Bis",       "LblSonda2Bis",      "CmbSonda2Bis",
        "CmdReserVar",        "CmdExpert(0)"};
    return names;
}

ConfigRoom LayoutConfigPage(ui::TwipsGeometry& g, float SW, float SH, float H, float tabFullHeight,
                            float liveFrameHeight) {
    ConfigRoom room;
    room.liveFrameShown = H >= LiveFrameFrom;
    room.tabHeight = room.liveFrameShown ? tabFullHeight - liveFrameHeight - 30 : tabFullHeight;
    ui::TwipsBox& frame = g["FrmCongif"];
    frame.Left = 60;
    frame.Top = 900;
    frame.Width = SW - 540;
    frame.Height = SH - (room.liveFrameShown ? 3000 : 1575);
    LayoutColumns(g, SW);
    LayoutLeftSections(g);
    LayoutOptionSection(g);
    return room;
}

void LayoutConfigPage(app::FrmLX735& window, const ConfigControls& controls,
                      const ui::LayoutControls& layout) {
    ui::SetBackColor(controls.frmCongif, support::ColorButtonFace);
    const ui::TwipsGeometry before = layout.Read();
    ui::TwipsGeometry page = before;
    QWidget& client = *window.centralWidget();
    const ConfigRoom room = LayoutConfigPage(
        page, float(ui::WidthTwips(client)), float(ui::HeightTwips(client)),
        float(ui::ToTwips(window.frameGeometry().height())), float(window.TabStripHeight),
        float(ui::HeightTwips(controls.frmParametri)));
    ui::SetHeightTwips(window.SstMain(), int(room.tabHeight));
    controls.frmParametri.setVisible(room.liveFrameShown);
    controls.cmdParametri.setVisible(room.liveFrameShown);
    layout.Write(before, page);
    // Each heading takes its caption again once moved.
    for (QLabel* heading : controls.headings) {
        ui::SetCaption(heading, ui::Caption(heading));
    }
}

} // namespace settings
