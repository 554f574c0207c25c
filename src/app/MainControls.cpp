#include "app/MainControls.h"

#include "ui/ControlBuilder.h"
#include "ui/TabStrip.h"
#include "ui/TextCell.h"

#include <QLabel>

namespace app {

namespace {

// Designed tab captions; the translation replaces them.
constexpr const char* TabCaptions[] = {"General - F2",  "Configuration - F3", "Calibration - F5",
                                       "Modeling - F6", "Lambda - F7",        "Map - F8"};

// Shown only in the developer view (the hot keys switch them; the label-layout file may
// show the viewer button); an array's name stands for all of its elements.
constexpr const char* DeveloperOnly[] = {
    "CmdView",      "CmbShoRpm",         "LblShoRpm",   "FrmVarTara",   "FrmMapSample",
    "ShpPLoad",     "ShpPmin",           "CkbStatoEcu", "CkbStatoAlim", "CmdExpert(0)",
    "CmdTableComp", "CmdComputeModl(0)", "ShpPunti",
};

// Controls in creation order (frames before their contents).
const ui::ControlDesc Design[] = {
    // Live values below the tab control; the button behind it is its raised background.
    // Element 1 of each value box array stands here, element 0 on the General page.
    {ui::ControlKind::Button, "CmdParametri", -1, "client", "", 120, 5820, 10440, 1410},
    {ui::ControlKind::Frame, "FrmParametri", -1, "client", "Engine parameters", 165, 5835, 10350,
     1335},
    {ui::ControlKind::Shape, "ShpCalComm", -1, "FrmParametri", "", 9420, 120, 1020, 1155},
    {ui::ControlKind::Shape, "ShpLevelS", -1, "FrmParametri", "", 9480, 150, 930, 1095},
    {ui::ControlKind::Image, "ImgLogoS", -1, "FrmParametri", "", 9525, 210, 840, 990},
    {ui::ControlKind::Label, "LblCalRpm", -1, "FrmParametri", "R.P.M.", 30, 300, 1010, 300},
    {ui::ControlKind::Label, "LblCalVacuum", -1, "FrmParametri", "Pressure (bar)", 1070, 300, 1010,
     300},
    {ui::ControlKind::Label, "LblCalInjTp", -1, "FrmParametri", " Petrol Time (ms)", 2110, 300,
     1010, 300},
    {ui::ControlKind::Label, "LblCalInjTg", -1, "FrmParametri", "Gas Time (ms)", 3150, 300, 1010,
     300},
    {ui::ControlKind::Label, "LblCalTempVap", -1, "FrmParametri", "Vapor. Temp (\u00b0c)", 4190,
     300, 1010, 300},
    {ui::ControlKind::Label, "LblCalTempGas", -1, "FrmParametri", "Gas Temp (\u00b0c)", 5230, 300,
     1010, 300},
    {ui::ControlKind::Label, "LblCalPres", -1, "FrmParametri", "Vacuum (bar)", 6270, 300, 1010,
     300},
    {ui::ControlKind::Label, "LblCalLambda", -1, "FrmParametri", "Lambda 1 (V)", 7310, 300, 1010,
     300},
    {ui::ControlKind::Label, "LblCalLambda2", -1, "FrmParametri", "Lambda 2 (V)", 8350, 300, 1010,
     300},
    {ui::ControlKind::Cell, "TxtRpm", 1, "FrmParametri", "", 60, 630, 950, 540},
    {ui::ControlKind::Cell, "TxtPressure", 1, "FrmParametri", "", 1100, 630, 950, 540},
    {ui::ControlKind::Cell, "TxtInjTimePet", 1, "FrmParametri", "", 2140, 630, 950, 540},
    {ui::ControlKind::Cell, "TxtInjTimeGas", 1, "FrmParametri", "", 3180, 630, 950, 540},
    {ui::ControlKind::Cell, "TxtTmpVap", 1, "FrmParametri", "", 4220, 630, 950, 540},
    {ui::ControlKind::Cell, "TxtTmpGas", 1, "FrmParametri", "", 5260, 630, 950, 540},
    {ui::ControlKind::Cell, "TxtVacuum", -1, "FrmParametri", "", 6300, 630, 950, 540},
    {ui::ControlKind::Cell, "TxtLambda", 1, "FrmParametri", "", 7340, 630, 950, 540},
    {ui::ControlKind::Cell, "TxtLambda2", 1, "FrmParametri", "", 8380, 630, 950, 540},

    // Status bar: three fields on a bar along the bottom edge.
    {ui::ControlKind::Button, "CmdBarBack", -1, "client", "", -15, 7500, 10800, 375},
    {ui::ControlKind::Cell, "TxtStatusBar", 0, "client", "", 30, 7560, 1500, 255, 3},

    // General: the injector panel on the left, the engine values on the right.
    {ui::ControlKind::Frame, "FrmPrincipe", -1, "Tab0", "", 60, 60, 10140, 6465},
    {ui::ControlKind::Shape, "ShpPrincipeSx", -1, "FrmPrincipe", "", 45, 45, 4965, 6390},
    {ui::ControlKind::Shape, "ShpPrincipeDx", -1, "FrmPrincipe", "", 5130, 45, 4965, 6390},
    {ui::ControlKind::Shape, "ShpLevel", -1, "FrmPrincipe", "", 8400, 120, 1485, 1305},
    {ui::ControlKind::Image, "ImgLogo", -1, "FrmPrincipe", "", 8475, 180, 1380, 1200},
    {ui::ControlKind::Shape, "ShpLevAct", 0, "FrmPrincipe", "", 8685, 1110, 150, 150, 7, 200},
    {ui::ControlKind::Label, "LblParRpm", -1, "FrmPrincipe", "R.P.M.", 5437, 150, 2656, 360},
    {ui::ControlKind::Cell, "TxtRpm", 0, "FrmPrincipe", "", 5437, 540, 2656, 855},
    {ui::ControlKind::Label, "LblParTmpVap", -1, "FrmPrincipe", "Vapor. temp.", 5220, 1635, 2158,
     360},
    {ui::ControlKind::Cell, "TxtTmpVap", 0, "FrmPrincipe", "", 7453, 1560, 2158, 600},
    {ui::ControlKind::Label, "LblParGradi", 0, "FrmPrincipe", "\u00b0c", 9641, 1800, 400, 360, 2},
    {ui::ControlKind::Label, "LblParTmpGas", -1, "FrmPrincipe", "Gas temp.", 5220, 2447, 2158, 360},
    {ui::ControlKind::Cell, "TxtTmpGas", 0, "FrmPrincipe", "", 7453, 2372, 2158, 600},
    {ui::ControlKind::Label, "LblParPressure", -1, "FrmPrincipe", "Pressure", 5220, 3259, 2158,
     360},
    {ui::ControlKind::Cell, "TxtPressure", 0, "FrmPrincipe", "", 7453, 3184, 2158, 600},
    {ui::ControlKind::Label, "LblParBar", -1, "FrmPrincipe", "Bar", 9641, 3424, 510, 360},
    {ui::ControlKind::Label, "LblSupVoltage", -1, "FrmPrincipe", "Supply", 5220, 4071, 2158, 360},
    {ui::ControlKind::Cell, "TxtSupply", -1, "FrmPrincipe", "", 7453, 3996, 2158, 600},
    {ui::ControlKind::Label, "LblParV", -1, "FrmPrincipe", "V", 9641, 4236, 400, 360},
    {ui::ControlKind::Label, "LblParLambda", 0, "FrmPrincipe", "Lambda in", 5220, 4883, 2158, 360,
     2},
    {ui::ControlKind::Cell, "TxtLambda", 0, "FrmPrincipe", "", 7453, 4808, 2158, 600},
    {ui::ControlKind::Label, "LblParLambdaMv", 0, "FrmPrincipe", "V", 9641, 5048, 400, 360, 2},
    {ui::ControlKind::Cell, "TxtLambda2", 0, "FrmPrincipe", "", 7453, 5620, 2158, 600},
    {ui::ControlKind::Image, "ImgLambda1", -1, "FrmPrincipe", "", 5220, 5243, 2158, 150},
    {ui::ControlKind::Image, "ImgLambda2", -1, "FrmPrincipe", "", 5220, 6055, 2158, 150},
    {ui::ControlKind::Shape, "ShpLambda1", -1, "FrmPrincipe", "", 5310, 5183, 90, 270},
    {ui::ControlKind::Shape, "ShpLambda2", -1, "FrmPrincipe", "", 5310, 5995, 90, 270},
    {ui::ControlKind::Label, "LblInj", 0, "FrmPrincipe", "1", 150, 300, 240, 641, 8},
    {ui::ControlKind::Bar, "InjPetBar", 0, "FrmPrincipe", "", 450, 300, 1778, 290, 8},
    {ui::ControlKind::Bar, "InjGasBar", 0, "FrmPrincipe", "", 450, 620, 1778, 290, 8},
    {ui::ControlKind::Label, "LblInjCmb", -1, "FrmPrincipe", "Injectors time", 2528, 300, 2158,
     360},
    {ui::ControlKind::Combo, "CmbInj", -1, "FrmPrincipe", "", 2528, 675, 2158, 360},
    {ui::ControlKind::Label, "LblInjTPetrol", -1, "FrmPrincipe", "Petrol (ms)", 2528, 1520, 2158,
     360},
    {ui::ControlKind::Cell, "TxtInjTimePet", 0, "FrmPrincipe", "", 2528, 1895, 2158, 600},
    {ui::ControlKind::Label, "LblInjTGas", -1, "FrmPrincipe", "Gas (ms)", 2528, 3350, 2158, 360},
    {ui::ControlKind::Cell, "TxtInjTimeGas", 0, "FrmPrincipe", "", 2528, 3725, 2158, 600},
    {ui::ControlKind::Image, "ImgCompAttiva", -1, "FrmPrincipe", "", 2408, 5002, 300, 300},
    {ui::ControlKind::Label, "LblCompAttiva", -1, "FrmPrincipe", "Compensation active", 2738, 5047,
     2158, 360},
    {ui::ControlKind::Image, "ImgEmulAttiva", -1, "FrmPrincipe", "", 2408, 5362, 300, 300},
    {ui::ControlKind::Label, "LblEmulAttiva", -1, "FrmPrincipe", "Emulazione attiva", 2738, 5407,
     2158, 360},
    {ui::ControlKind::Button, "CmdService", -1, "FrmPrincipe", "Service", 90, 5790, 780, 420},
    {ui::ControlKind::Button, "CmdErrInj", -1, "FrmPrincipe", "Errori", 900, 5790, 900, 420},
    {ui::ControlKind::Button, "CmdView", -1, "FrmPrincipe", "Viewer", 1830, 5790, 660, 420},
    {ui::ControlKind::Check, "CkbStatoAlim", -1, "FrmPrincipe", "BNZ", 2520, 5790, 480, 420},
    {ui::ControlKind::Check, "CkbStatoEcu", -1, "FrmPrincipe", "SLV", 3030, 5790, 480, 420},
    {ui::ControlKind::Check, "CkbKey", -1, "FrmPrincipe", "KEY", 3540, 5790, 450, 420},
    {ui::ControlKind::Check, "CkbeV_01", -1, "FrmPrincipe", "EV 1", 4020, 5790, 450, 420},
    {ui::ControlKind::Check, "CkbeV_02", -1, "FrmPrincipe", "EV 2", 4500, 5790, 450, 420},

    // Configuration: the section headings, captions and buttons of the page's two columns.
    {ui::ControlKind::Frame, "FrmCongif", -1, "Tab1", "", 60, 60, 10200, 5700},
    {ui::ControlKind::Label, "LblFrmSwitch", -1, "FrmCongif", "Change-over", 135, 165, 2400, 285},
    {ui::ControlKind::Label, "LblSwtchRpm", -1, "FrmCongif", "Change-over rpm", 105, 495, 1500,
     315},
    {ui::ControlKind::Label, "LblSwtchTemp", -1, "FrmCongif", "Change-over temperature", 105, 855,
     3130, 315},
    {ui::ControlKind::Label, "LblSwtchDelay", -1, "FrmCongif", "Change-over delay", 105, 1215, 3130,
     315},
    {ui::ControlKind::Label, "LblSwtchForce", -1, "FrmCongif", "Forced change-over", 105, 1575,
     3130, 315},
    {ui::ControlKind::Label, "LblSwtchSeq", -1, "FrmCongif", "Change-over sequence", 105, 1935,
     3130, 315},
    {ui::ControlKind::Label, "LblFrmTyp", -1, "FrmCongif", "Type", 135, 2595, 2400, 285},
    {ui::ControlKind::Label, "LblTypFuel", -1, "FrmCongif", "Fuel type", 5220, 1665, 2007, 315},
    {ui::ControlKind::Option, "OptTypFuel", 0, "FrmCongif", "LPG / CNG", 7287, 1665, 1298, 315},
    {ui::ControlKind::Option, "OptTypFuel", 1, "FrmCongif", "LPG / CNG", 8645, 1665, 1358, 315},
    {ui::ControlKind::Label, "LblSwtchCilindri", -1, "FrmCongif", "Cylinders", 105, 4035, 1866,
     315},
    {ui::ControlKind::Label, "LblSwtchBobine", -1, "FrmCongif", "Coils", 3024, 4035, 933, 315},
    {ui::ControlKind::Label, "LblFrmSensor", -1, "FrmCongif", "Sensors", 5220, 165, 2400, 285},
    {ui::ControlKind::Label, "LblTypGLS", -1, "FrmCongif", "Type", 5220, 495, 2355, 315},
    {ui::ControlKind::Button, "CmdTpyGLS", -1, "FrmCongif", "Level sensor", 5220, 855, 4785, 315},
    {ui::ControlKind::Label, "LblTypInj", -1, "FrmCongif", "Type", 105, 2925, 1500, 315},
    {ui::ControlKind::Button, "CmdTpyInj", -1, "FrmCongif", "Injectors", 105, 3255, 4815, 315},
    {ui::ControlKind::Label, "LblEmptyGas", -1, "FrmCongif", "End of gas", 5220, 2025, 2355, 315},
    {ui::ControlKind::Label, "LblSwtchPres", -1, "FrmCongif", "End-of-gas pressure", 5220, 2385,
     1900, 315},
    {ui::ControlKind::Label, "LblSwtchPressDelay", -1, "FrmCongif", "End-of-gas delay", 8075, 2385,
     1000, 315},
    {ui::ControlKind::Label, "LblFrmOption", -1, "FrmCongif", "Options", 5220, 1335, 2400, 285},
    {ui::ControlKind::Label, "LblSwtchLambdaBis", -1, "FrmCongif", "Lambda probe", 5220, 2805, 2355,
     315},
    {ui::ControlKind::Label, "LblSonda1Bis", -1, "FrmCongif", "Probe 1", 5220, 3165, 2355, 315},
    {ui::ControlKind::Label, "LblSonda2Bis", -1, "FrmCongif", "Probe 2", 5220, 3525, 2355, 315},
    {ui::ControlKind::Button, "CmdReserVar", -1, "FrmCongif", "Reset all", 5220, 3975, 1800, 375},
    {ui::ControlKind::Button, "CmdExpert", 0, "FrmCongif", "Expert", 7080, 3975, 1800, 375},
    {ui::ControlKind::Button, "CmdTableComp", -1, "Tab3", "Compensation", 7080, 4860, 2280, 420},

    // Calibration.
    {ui::ControlKind::Frame, "FrmCalStatus", -1, "Tab2", "", 60, 780, 10200, 2400},
    {ui::ControlKind::Label, "LblCalStep", -1, "FrmCalStatus", "", 240, 240, 9600, 600},
    {ui::ControlKind::Shape, "ShpCalStep", 0, "FrmCalStatus", "", 240, 900, 9600, 480, 2},
    {ui::ControlKind::Label, "LblCalMsg", -1, "FrmCalStatus", "", 240, 1500, 9600, 600},
    {ui::ControlKind::Button, "CmdCalStart", -1, "Tab2", "Start", 240, 3360, 1800, 420},
    {ui::ControlKind::Button, "CmdCalCancel", -1, "Tab2", "Cancel", 2160, 3360, 1800, 420},
    {ui::ControlKind::Frame, "FrmVarTara", -1, "Tab2", "", 4200, 3360, 6000, 1800},
    {ui::ControlKind::Button, "CmdComputeModl", 0, "Tab2", "Compute", 240, 3960, 1800, 420},

    // Modeling.
    {ui::ControlKind::Frame, "FrmMod", -1, "Tab3", "", 60, 780, 6600, 4500},
    {ui::ControlKind::Text, "TxtGasMod", -1, "FrmMod", "T Gas (ms)", 120, 240, 1500, 285},
    {ui::ControlKind::Text, "TxtPetrolMod", -1, "FrmMod", "T Petrol (ms)", 4980, 4080, 1500, 285},
    {ui::ControlKind::Shape, "ShpPunti", 0, "FrmMod", "", 120, 600, 90, 90, WindowCorMarkers},
    {ui::ControlKind::Frame, "FrmModPnt", -1, "Tab3", "", 6780, 780, 3420, 1800},
    {ui::ControlKind::Label, "LblPlace", -1, "FrmModPnt", "Point", 60, 540, 560, 285},
    {ui::ControlKind::Label, "LblMul", -1, "FrmModPnt", "Gain", 60, 870, 560, 285},
    {ui::ControlKind::Frame, "FrmModLine", -1, "Tab3", "Reference line", 6780, 2700, 3420, 1500},
    {ui::ControlKind::Label, "LblAlfa", -1, "FrmModLine", "Slope", 120, 360, 1080, 285},
    {ui::ControlKind::Label, "LblOffset", -1, "FrmModLine", "Offset (ms)", 120, 900, 1080, 285},
    // The General page's markers of the minimum and the load point, drawn on the model.
    {ui::ControlKind::Shape, "ShpPmin", -1, "FrmMod", "", 0, 0, 150, 150},
    {ui::ControlKind::Shape, "ShpPLoad", -1, "FrmMod", "", 0, 0, 150, 150},

    // Lambda.
    {ui::ControlKind::Frame, "FrmEmul", -1, "Tab4", "", 60, 60, 10200, 5700},
    // The installation's lambda probe, which the Configuration page fills.
    {ui::ControlKind::Label, "LblSwtchLambda", -1, "FrmEmul", "Lambda probe", 5160, 600, 2400, 315},
    {ui::ControlKind::Combo, "CmbSwtchLambda", -1, "FrmEmul", "", 7680, 600, 2400, 315},
    {ui::ControlKind::Label, "LblAbilEmula", -1, "FrmEmul", "Lambda emulation", 120, 300},
    {ui::ControlKind::Label, "LblSonda1", -1, "FrmEmul", "Probe 1", 120, 660},
    {ui::ControlKind::Label, "LblSonda2", -1, "FrmEmul", "Probe 2", 120, 1380},
    {ui::ControlKind::Label, "LblRitardo", -1, "FrmEmul", "Activation delay (s)", 120, 2100},
    {ui::ControlKind::Label, "LblFiltro", -1, "FrmEmul", "Filter", 120, 2460},
    {ui::ControlKind::Label, "LblAnte", -1, "FrmEmul", "Pre", 120, 2820},
    {ui::ControlKind::Label, "LblPost", -1, "FrmEmul", "Post", 120, 3180},
    {ui::ControlKind::Label, "LblEmulLevAlto", -1, "FrmEmul", "High (V)", 120, 3540},
    {ui::ControlKind::Label, "LblEmulLevBasso", -1, "FrmEmul", "Low (V)", 120, 3900},
    {ui::ControlKind::Label, "LblLambdaOut1", -1, "FrmEmul", "Lambda out 1", 120, 4260},
    {ui::ControlKind::Label, "LblLambdaOut2", -1, "FrmEmul", "Lambda out 2", 120, 4620},
    {ui::ControlKind::Label, "LblTabSoglie", -1, "FrmEmul", "Thresholds", 120, 4980},
    {ui::ControlKind::Label, "LblHelpTabDelay", -1, "FrmEmul", "", 2640, 300},
    {ui::ControlKind::Label, "LblAbsPres", -1, "FrmEmul", "Abs. pressure", 2640, 660},
    {ui::ControlKind::Cell, "TxtAbsPres", -1, "FrmEmul", "", 2640, 1020},
    {ui::ControlKind::Cell, "TxtLambdaOut1", -1, "FrmEmul", "", 2640, 1380},
    {ui::ControlKind::Cell, "TxtLambdaOut2", -1, "FrmEmul", "", 2640, 1740},
    {ui::ControlKind::Grid, "GrdTitolo", -1, "FrmEmul", "", 5040, 240, 1200, 300},

    // Map.
    {ui::ControlKind::Frame, "FrmMapCmd", -1, "Tab5", "", 60, 780, 3000, 2400},
    {ui::ControlKind::Button, "CmdMapRead", -1, "FrmMapCmd", "Read map", 90, 240, 1380, 420},
    {ui::ControlKind::Button, "CmdMapCompute", -1, "FrmMapCmd", "Compute", 1530, 240, 1380, 420},
    {ui::ControlKind::Button, "CmdMapClrGas", -1, "FrmMapCmd", "Clear gas", 90, 780, 1380, 420},
    {ui::ControlKind::Button, "CmdMapClrPet", -1, "FrmMapCmd", "Clear petrol", 1530, 780, 1380,
     420},
    // The Modeling tab's button that takes the matched points off its chart.
    {ui::ControlKind::Button, "CmdShpMapMod", -1, "Tab3", "Show model", 6780, 5500, 1800, 420},
    {ui::ControlKind::Frame, "FrmMapTuning", -1, "Tab5", "Map acquisition", 60, 3300, 3000, 1200},
    // No wider than its caption (the layout fits it to the language): a click beside the
    // caption does not tick it.
    {ui::ControlKind::Check, "ChkAbilAcqVacum", -1, "FrmMapTuning", "Acquire vacuum", 120, 300,
     1800, 285},
    {ui::ControlKind::Label, "LblShoRpm", -1, "FrmMapTuning", "Rpm shown", 120, 720, 1200, 285},
    {ui::ControlKind::Combo, "CmbShoRpm", -1, "FrmMapTuning", "", 1380, 690, 1500, 315},
    {ui::ControlKind::Frame, "FrmLegendaMap", -1, "Tab5", "", 60, 4620, 3000, 1200},
    {ui::ControlKind::Label, "LblMapPetrol", -1, "FrmLegendaMap", "Petrol", 360, 300, 2520, 285},
    {ui::ControlKind::Label, "LblMapGas", -1, "FrmLegendaMap", "Gas", 360, 660, 2520, 285},
    {ui::ControlKind::Frame, "FrmMap", -1, "Tab5", "", 60, 780, 7020, 5100},
    {ui::ControlKind::Text, "TxtMapPressure", -1, "FrmMap", "Vacuum (bar)", 120, 240, 1500, 285},
    {ui::ControlKind::Text, "TxtMapPetrol", -1, "FrmMap", "T Petrol (ms)", 5400, 4680, 1500, 285},
    // The developer's frame stands outside the tabs, over them, and grows when clicked.
    {ui::ControlKind::Frame, "FrmMapSample", -1, "client", "", 600, 600, 225, 225},
};

// The upper row of the level lamps stands above lamps 0 and 4.
constexpr struct {
    const char* name;
    int top;
} ElementTops[] = {{"ShpLevAct(5)", 900}, {"ShpLevAct(6)", 900}};

// Elements of an array whose designed captions differ.
constexpr struct {
    const char* name;
    const char* caption;
} ElementCaptions[] = {{"LblParLambda(0)", "Lambda in 1"}, {"LblParLambda(1)", "Lambda in 2"}};

// Designed fonts of the live boxes that no layout sizes (the layouts size the others).
constexpr struct {
    const char* name;
    int points;
    bool bold;
} DesignFonts[] = {
    {"TxtRpm(0)", 30, true}, {"TxtInjTimePet(0)", 20, false}, {"TxtInjTimeGas(0)", 20, false}};

// A label that stands behind other controls keeps its caption in the strip above them.
constexpr const char* TopCaptions[] = {"LblTabSoglie"};

void ApplyDesignDetails(QWidget& client) {
    for (const char* name : TopCaptions) {
        ui::Bind<QLabel>(client, name).setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    for (const auto& [name, top] : ElementTops) {
        ui::SetTopTwips(ui::Bind<QWidget>(client, name), top);
    }
    for (const auto& [name, caption] : ElementCaptions) {
        ui::SetCaption(&ui::Bind<QWidget>(client, name), caption);
    }
    for (const auto& [name, points, bold] : DesignFonts) {
        auto& control = ui::Bind<QWidget>(client, name);
        QFont font = control.font();
        font.setPointSize(points);
        font.setBold(bold);
        control.setFont(font);
    }
    // The live values read centred in their boxes.
    for (const char* frame : {"FrmPrincipe", "FrmParametri"}) {
        for (ui::TextCell* box : ui::Bind<QWidget>(client, frame).findChildren<ui::TextCell*>()) {
            box->setAlignment(Qt::AlignCenter);
        }
    }
}

} // namespace

std::vector<QWidget*> BuildOnMainWindow(QWidget& client, const char* table,
                                        std::span<const ui::ControlDesc> design,
                                        const ui::ControlBuilder::MakeCustom& custom) {
    ui::ControlBuilder builder(client, QString::fromUtf8(table));
    builder.AddParent("client", client);
    auto& sstMain = ui::Bind<ui::TabStrip>(client, "SstMain");
    for (int tab = 0; tab < sstMain.count(); ++tab) {
        builder.AddParent(QStringLiteral("Tab%1").arg(tab), *sstMain.widget(tab));
    }
    return builder.Build(design, custom);
}

ui::TabStrip* BuildMainControls(QWidget& client) {
    auto* sstMain = new ui::TabStrip(&client);
    sstMain->setObjectName("SstMain");
    ui::MoveTwips(*sstMain, 0, 120, 10440, 7200);

    for (int tab = 0; tab < 6; ++tab) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("SstMainTab(%1)").arg(tab));
        sstMain->addTab(page, TabCaptions[tab]);
        ui::MoveTwips(*page, 0, 0, 10380, 6600);
    }

    BuildOnMainWindow(client, "MainControls", Design);
    ApplyDesignDetails(client);
    // The button behind the live values and the status bar stay behind their contents.
    for (const char* name : {"CmdParametri", "CmdBarBack"}) {
        ui::Bind<QWidget>(client, name).lower();
    }
    for (const char* name : DeveloperOnly) {
        for (QWidget* control : client.findChildren<QWidget*>()) {
            const QString own = control->objectName();
            if (own == name || own.startsWith(QString(name) + "(")) {
                control->setVisible(false);
            }
        }
    }
    return sstMain;
}

} // namespace app
