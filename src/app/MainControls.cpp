#include "app/MainControls.h"

#include "app/Controls.h"
#include "app/TabStrip.h"
#include "app/TextBoxStyle.h"
#include "app/TextCell.h"
#include "support/Colors.h"
#include "support/UCtrlBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

namespace app {

namespace {

enum class Kind { Frame, Label, Button, Check, Option, Text, Cell, Combo, Grid, Shape, Image, Bar };

struct ControlDef {
    Kind kind;
    const char* name;
    const char* parent; // "client", "Tab0" .. "Tab5" or a frame of this table
    const char* caption;
    int count = 0; // > 0: a control array of that many elements, "Name(0)" ...
    int left = -1; // twips; -1 places the control in its parent's next free slot
    int top = 0;
    int width = 2400;
    int height = 285;
    int stepX = 0; // array elements side by side this far apart; 0: stacked downwards
};

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
const ControlDef Design[] = {
    // Live values below the tab control; the button behind it is its raised background.
    // Element 1 of each value box array stands here, element 0 on the General page.
    {Kind::Button, "CmdParametri", "client", "", 0, 120, 5820, 10440, 1410},
    {Kind::Frame, "FrmParametri", "client", "Engine parameters", 0, 165, 5835, 10350, 1335},
    {Kind::Shape, "ShpCalComm", "FrmParametri", "", 0, 9420, 120, 1020, 1155},
    {Kind::Shape, "ShpLevelS", "FrmParametri", "", 0, 9480, 150, 930, 1095},
    {Kind::Image, "ImgLogoS", "FrmParametri", "", 0, 9525, 210, 840, 990},
    {Kind::Label, "LblCalRpm", "FrmParametri", "R.P.M.", 0, 30, 300, 1010, 300},
    {Kind::Label, "LblCalVacuum", "FrmParametri", "Pressure (bar)", 0, 1070, 300, 1010, 300},
    {Kind::Label, "LblCalInjTp", "FrmParametri", " Petrol Time (ms)", 0, 2110, 300, 1010, 300},
    {Kind::Label, "LblCalInjTg", "FrmParametri", "Gas Time (ms)", 0, 3150, 300, 1010, 300},
    {Kind::Label, "LblCalTempVap", "FrmParametri", "Vapor. Temp (\u00b0c)", 0, 4190, 300, 1010,
     300},
    {Kind::Label, "LblCalTempGas", "FrmParametri", "Gas Temp (\u00b0c)", 0, 5230, 300, 1010, 300},
    {Kind::Label, "LblCalPres", "FrmParametri", "Vacuum (bar)", 0, 6270, 300, 1010, 300},
    {Kind::Label, "LblCalLambda", "FrmParametri", "Lambda 1 (V)", 0, 7310, 300, 1010, 300},
    {Kind::Label, "LblCalLambda2", "FrmParametri", "Lambda 2 (V)", 0, 8350, 300, 1010, 300},
    {Kind::Cell, "TxtRpm(1)", "FrmParametri", "", 0, 60, 630, 950, 540},
    {Kind::Cell, "TxtPressure(1)", "FrmParametri", "", 0, 1100, 630, 950, 540},
    {Kind::Cell, "TxtInjTimePet(1)", "FrmParametri", "", 0, 2140, 630, 950, 540},
    {Kind::Cell, "TxtInjTimeGas(1)", "FrmParametri", "", 0, 3180, 630, 950, 540},
    {Kind::Cell, "TxtTmpVap(1)", "FrmParametri", "", 0, 4220, 630, 950, 540},
    {Kind::Cell, "TxtTmpGas(1)", "FrmParametri", "", 0, 5260, 630, 950, 540},
    {Kind::Cell, "TxtVacuum", "FrmParametri", "", 0, 6300, 630, 950, 540},
    {Kind::Cell, "TxtLambda(1)", "FrmParametri", "", 0, 7340, 630, 950, 540},
    {Kind::Cell, "TxtLambda2(1)", "FrmParametri", "", 0, 8380, 630, 950, 540},

    // Status bar: three fields on a bar along the bottom edge.
    {Kind::Button, "CmdBarBack", "client", "", 0, -15, 7500, 10800, 375},
    {Kind::Cell, "TxtStatusBar", "client", "", 3, 30, 7560, 1500, 255},

    // General: the injector panel on the left, the engine values on the right.
    {Kind::Frame, "FrmPrincipe", "Tab0", "", 0, 60, 60, 10140, 6465},
    {Kind::Shape, "ShpPrincipeSx", "FrmPrincipe", "", 0, 45, 45, 4965, 6390},
    {Kind::Shape, "ShpPrincipeDx", "FrmPrincipe", "", 0, 5130, 45, 4965, 6390},
    {Kind::Shape, "ShpLevel", "FrmPrincipe", "", 0, 8400, 120, 1485, 1305},
    {Kind::Image, "ImgLogo", "FrmPrincipe", "", 0, 8475, 180, 1380, 1200},
    {Kind::Shape, "ShpLevAct", "FrmPrincipe", "", 7, 8685, 1110, 150, 150, 200},
    {Kind::Label, "LblParRpm", "FrmPrincipe", "R.P.M.", 0, 5437, 150, 2656, 360},
    {Kind::Cell, "TxtRpm(0)", "FrmPrincipe", "", 0, 5437, 540, 2656, 855},
    {Kind::Label, "LblParTmpVap", "FrmPrincipe", "Vapor. temp.", 0, 5220, 1635, 2158, 360},
    {Kind::Cell, "TxtTmpVap(0)", "FrmPrincipe", "", 0, 7453, 1560, 2158, 600},
    {Kind::Label, "LblParGradi", "FrmPrincipe", "\u00b0c", 2, 9641, 1800, 400, 360},
    {Kind::Label, "LblParTmpGas", "FrmPrincipe", "Gas temp.", 0, 5220, 2447, 2158, 360},
    {Kind::Cell, "TxtTmpGas(0)", "FrmPrincipe", "", 0, 7453, 2372, 2158, 600},
    {Kind::Label, "LblParPressure", "FrmPrincipe", "Pressure", 0, 5220, 3259, 2158, 360},
    {Kind::Cell, "TxtPressure(0)", "FrmPrincipe", "", 0, 7453, 3184, 2158, 600},
    {Kind::Label, "LblParBar", "FrmPrincipe", "Bar", 0, 9641, 3424, 510, 360},
    {Kind::Label, "LblSupVoltage", "FrmPrincipe", "Supply", 0, 5220, 4071, 2158, 360},
    {Kind::Cell, "TxtSupply", "FrmPrincipe", "", 0, 7453, 3996, 2158, 600},
    {Kind::Label, "LblParV", "FrmPrincipe", "V", 0, 9641, 4236, 400, 360},
    {Kind::Label, "LblParLambda", "FrmPrincipe", "Lambda in", 2, 5220, 4883, 2158, 360},
    {Kind::Cell, "TxtLambda(0)", "FrmPrincipe", "", 0, 7453, 4808, 2158, 600},
    {Kind::Label, "LblParLambdaMv", "FrmPrincipe", "V", 2, 9641, 5048, 400, 360},
    {Kind::Cell, "TxtLambda2(0)", "FrmPrincipe", "", 0, 7453, 5620, 2158, 600},
    {Kind::Image, "ImgLambda1", "FrmPrincipe", "", 0, 5220, 5243, 2158, 150},
    {Kind::Image, "ImgLambda2", "FrmPrincipe", "", 0, 5220, 6055, 2158, 150},
    {Kind::Shape, "ShpLambda1", "FrmPrincipe", "", 0, 5310, 5183, 90, 270},
    {Kind::Shape, "ShpLambda2", "FrmPrincipe", "", 0, 5310, 5995, 90, 270},
    {Kind::Label, "LblInj", "FrmPrincipe", "1", 8, 150, 300, 240, 641},
    {Kind::Bar, "InjPetBar", "FrmPrincipe", "", 8, 450, 300, 1778, 290},
    {Kind::Bar, "InjGasBar", "FrmPrincipe", "", 8, 450, 620, 1778, 290},
    {Kind::Label, "LblInjCmb", "FrmPrincipe", "Injectors time", 0, 2528, 300, 2158, 360},
    {Kind::Combo, "CmbInj", "FrmPrincipe", "", 0, 2528, 675, 2158, 360},
    {Kind::Label, "LblInjTPetrol", "FrmPrincipe", "Petrol (ms)", 0, 2528, 1520, 2158, 360},
    {Kind::Cell, "TxtInjTimePet(0)", "FrmPrincipe", "", 0, 2528, 1895, 2158, 600},
    {Kind::Label, "LblInjTGas", "FrmPrincipe", "Gas (ms)", 0, 2528, 3350, 2158, 360},
    {Kind::Cell, "TxtInjTimeGas(0)", "FrmPrincipe", "", 0, 2528, 3725, 2158, 600},
    {Kind::Image, "ImgCompAttiva", "FrmPrincipe", "", 0, 2408, 5002, 300, 300},
    {Kind::Label, "LblCompAttiva", "FrmPrincipe", "Compensation active", 0, 2738, 5047, 2158, 360},
    {Kind::Image, "ImgEmulAttiva", "FrmPrincipe", "", 0, 2408, 5362, 300, 300},
    {Kind::Label, "LblEmulAttiva", "FrmPrincipe", "Emulazione attiva", 0, 2738, 5407, 2158, 360},
    {Kind::Button, "CmdService", "FrmPrincipe", "Service", 0, 90, 5790, 780, 420},
    {Kind::Button, "CmdErrInj", "FrmPrincipe", "Errori", 0, 900, 5790, 900, 420},
    {Kind::Button, "CmdView", "FrmPrincipe", "Viewer", 0, 1830, 5790, 660, 420},
    {Kind::Check, "CkbStatoAlim", "FrmPrincipe", "BNZ", 0, 2520, 5790, 480, 420},
    {Kind::Check, "CkbStatoEcu", "FrmPrincipe", "SLV", 0, 3030, 5790, 480, 420},
    {Kind::Check, "CkbKey", "FrmPrincipe", "KEY", 0, 3540, 5790, 450, 420},
    {Kind::Check, "CkbeV_01", "FrmPrincipe", "EV 1", 0, 4020, 5790, 450, 420},
    {Kind::Check, "CkbeV_02", "FrmPrincipe", "EV 2", 0, 4500, 5790, 450, 420},
    {Kind::Frame, "FrmMapSample", "FrmPrincipe", "", 0, 2528, 4400, 2158, 1200},
    {Kind::Shape, "ShpPLoad", "FrmPrincipe", "", 0, 2528, 4400, 1000, 240},
    {Kind::Shape, "ShpPmin", "FrmPrincipe", "", 0, 3600, 4400, 1000, 240},

    // Configuration.
    {Kind::Frame, "FrmCongif", "Tab1", "", 0, 60, 60, 10200, 5700},
    {Kind::Label, "LblFrmSwitch", "FrmCongif", "Change-over"},
    {Kind::Label, "LblSwtchRpm", "FrmCongif", "Change-over rpm"},
    {Kind::Label, "LblShoRpm", "FrmCongif", "Rpm shown"},
    {Kind::Combo, "CmbShoRpm", "FrmCongif", ""},
    {Kind::Label, "LblSwtchTemp", "FrmCongif", "Change-over temperature"},
    {Kind::Label, "LblSwtchDelay", "FrmCongif", "Change-over delay"},
    {Kind::Label, "LblSwtchForce", "FrmCongif", "Forced change-over"},
    {Kind::Label, "LblSwtchSeq", "FrmCongif", "Change-over sequence"},
    {Kind::Label, "LblFrmTyp", "FrmCongif", "Type"},
    {Kind::Label, "LblTypFuel", "FrmCongif", "Fuel type"},
    {Kind::Option, "OptTypFuel", "FrmCongif", "LPG / CNG", 2},
    {Kind::Label, "LblSwtchCilindri", "FrmCongif", "Cylinders"},
    {Kind::Label, "LblSwtchBobine", "FrmCongif", "Coils"},
    {Kind::Label, "LblFrmSensor", "FrmCongif", "Sensors"},
    {Kind::Label, "LblTypGLS", "FrmCongif", "Type"},
    {Kind::Button, "CmdTpyGLS", "FrmCongif", "Level sensor"},
    {Kind::Label, "LblTypInj", "FrmCongif", "Type"},
    {Kind::Button, "CmdTpyInj", "FrmCongif", "Injectors"},
    {Kind::Label, "LblEmptyGas", "FrmCongif", "End of gas"},
    {Kind::Label, "LblSwtchPres", "FrmCongif", "End-of-gas pressure"},
    {Kind::Label, "LblSwtchPressDelay", "FrmCongif", "End-of-gas delay"},
    {Kind::Label, "LblFrmOption", "FrmCongif", "Options"},
    {Kind::Label, "LblSwtchLambda", "FrmCongif", "Lambda probe"},
    {Kind::Combo, "CmbSwtchLambda", "FrmCongif", ""},
    {Kind::Label, "LblSwtchLambdaBis", "FrmCongif", "Lambda probe"},
    {Kind::Button, "CmdReserVar", "FrmCongif", "Reset all"},
    {Kind::Button, "CmdExpert", "FrmCongif", "Expert", 1},
    {Kind::Button, "CmdTableComp", "Tab3", "Compensation", 0, 7080, 4860, 2280, 420},

    // Calibration.
    {Kind::Frame, "FrmCalStatus", "Tab2", "", 0, 60, 780, 10200, 2400},
    {Kind::Label, "LblCalStep", "FrmCalStatus", "", 0, 240, 240, 9600, 600},
    {Kind::Shape, "ShpCalStep", "FrmCalStatus", "", 2, 240, 900, 9600, 480},
    {Kind::Label, "LblCalMsg", "FrmCalStatus", "", 0, 240, 1500, 9600, 600},
    {Kind::Button, "CmdCalStart", "Tab2", "Start", 0, 240, 3360, 1800, 420},
    {Kind::Button, "CmdCalCancel", "Tab2", "Cancel", 0, 2160, 3360, 1800, 420},
    {Kind::Frame, "FrmVarTara", "Tab2", "", 0, 4200, 3360, 6000, 1800},
    {Kind::Button, "CmdComputeModl", "Tab2", "Compute", 1, 240, 3960, 1800, 420},

    // Modeling.
    {Kind::Frame, "FrmMod", "Tab3", "", 0, 60, 780, 6600, 4500},
    {Kind::Text, "TxtGasMod", "FrmMod", "T Gas (ms)", 0, 120, 240, 1500, 285},
    {Kind::Text, "TxtPetrolMod", "FrmMod", "T Petrol (ms)", 0, 4980, 4080, 1500, 285},
    {Kind::Shape, "ShpPunti", "FrmMod", "", 9, 120, 600, 90, 90},
    {Kind::Frame, "FrmModPnt", "Tab3", "", 0, 6780, 780, 3420, 1800},
    {Kind::Label, "LblPlace", "FrmModPnt", "Point"},
    {Kind::Label, "LblMul", "FrmModPnt", "Gain"},
    {Kind::Frame, "FrmModLine", "Tab3", "Reference line", 0, 6780, 2700, 3420, 1500},
    {Kind::Label, "LblAlfa", "FrmModLine", "Slope"},
    {Kind::Label, "LblOffset", "FrmModLine", "Offset (ms)"},

    // Lambda.
    {Kind::Frame, "FrmEmul", "Tab4", "", 0, 60, 60, 10200, 5700},
    {Kind::Label, "LblAbilEmula", "FrmEmul", "Lambda emulation"},
    {Kind::Label, "LblSonda1", "FrmEmul", "Probe 1"},
    {Kind::Label, "LblSonda1Bis", "FrmEmul", "Probe 1"},
    {Kind::Label, "LblSonda2", "FrmEmul", "Probe 2"},
    {Kind::Label, "LblSonda2Bis", "FrmEmul", "Probe 2"},
    {Kind::Label, "LblRitardo", "FrmEmul", "Activation delay (s)"},
    {Kind::Label, "LblFiltro", "FrmEmul", "Filter"},
    {Kind::Label, "LblAnte", "FrmEmul", "Pre"},
    {Kind::Label, "LblPost", "FrmEmul", "Post"},
    {Kind::Label, "LblEmulLevAlto", "FrmEmul", "High (V)"},
    {Kind::Label, "LblEmulLevBasso", "FrmEmul", "Low (V)"},
    {Kind::Label, "LblLambdaOut1", "FrmEmul", "Lambda out 1"},
    {Kind::Label, "LblLambdaOut2", "FrmEmul", "Lambda out 2"},
    {Kind::Label, "LblTabSoglie", "FrmEmul", "Thresholds"},
    {Kind::Label, "LblHelpTabDelay", "FrmEmul", ""},
    {Kind::Label, "LblAbsPres", "FrmEmul", "Abs. pressure"},
    {Kind::Cell, "TxtAbsPres", "FrmEmul", ""},
    {Kind::Cell, "TxtLambdaOut1", "FrmEmul", ""},
    {Kind::Cell, "TxtLambdaOut2", "FrmEmul", ""},
    {Kind::Grid, "GrdTitolo", "FrmEmul", "", 0, 5040, 240, 1200, 300},

    // Map.
    {Kind::Frame, "FrmMapCmd", "Tab5", "", 0, 60, 780, 3000, 2400},
    {Kind::Button, "CmdMapRead", "FrmMapCmd", "Read map"},
    {Kind::Button, "CmdMapCompute", "FrmMapCmd", "Compute"},
    {Kind::Button, "CmdMapClrGas", "FrmMapCmd", "Clear gas"},
    {Kind::Button, "CmdMapClrPet", "FrmMapCmd", "Clear petrol"},
    {Kind::Button, "CmdShpMapMod", "FrmMapCmd", "Show model"},
    {Kind::Frame, "FrmMapTuning", "Tab5", "Map acquisition", 0, 60, 3300, 3000, 1200},
    {Kind::Check, "ChkAbilAcqVacum", "FrmMapTuning", "Acquire vacuum"},
    {Kind::Frame, "FrmLegendaMap", "Tab5", "", 0, 60, 4620, 3000, 1200},
    {Kind::Label, "LblMapPetrol", "FrmLegendaMap", "Petrol"},
    {Kind::Label, "LblMapGas", "FrmLegendaMap", "Gas"},
    {Kind::Frame, "FrmMap", "Tab5", "", 0, 3180, 780, 7020, 5100},
    {Kind::Text, "TxtMapPressure", "FrmMap", "Vacuum (bar)", 0, 120, 240, 1500, 285},
    {Kind::Text, "TxtMapPetrol", "FrmMap", "T Petrol (ms)", 0, 5400, 4680, 1500, 285},
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
        if (auto* label = client.findChild<QLabel*>(name)) {
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        }
    }
    for (const auto& [name, top] : ElementTops) {
        if (auto* control = client.findChild<QWidget*>(name)) {
            SetTopTwips(*control, top);
        }
    }
    for (const auto& [name, caption] : ElementCaptions) {
        SetCaption(client.findChild<QWidget*>(name), caption);
    }
    for (const auto& [name, points, bold] : DesignFonts) {
        if (auto* control = client.findChild<QWidget*>(name)) {
            QFont font = control->font();
            font.setPointSize(points);
            font.setBold(bold);
            control->setFont(font);
        }
    }
    // The live values read centred in their boxes.
    for (const char* frame : {"FrmPrincipe", "FrmParametri"}) {
        if (auto* parent = client.findChild<QWidget*>(frame)) {
            for (TextCell* box : parent->findChildren<TextCell*>()) {
                box->setAlignment(Qt::AlignCenter);
            }
        }
    }
}

QWidget* MakeControl(Kind kind, const QString& caption, QWidget* parent) {
    switch (kind) {
    case Kind::Frame:
        return new QGroupBox(caption, parent);
    case Kind::Label:
        return new QLabel(caption, parent);
    case Kind::Button:
        return new QPushButton(caption, parent);
    case Kind::Check:
        return new QCheckBox(caption, parent);
    case Kind::Option:
        return new QRadioButton(caption, parent);
    case Kind::Text: {
        auto* box = new QLineEdit(caption, parent);
        // Opaque, so that a new text repaints the box alone and not what lies beneath,
        // and cheap to draw; the texts need no complex shaping.
        box->setStyle(&SharedTextBoxStyle());
        box->setAttribute(Qt::WA_OpaquePaintEvent);
        QFont font = box->font();
        font.setStyleStrategy(QFont::PreferNoShaping);
        box->setFont(font);
        return box;
    }
    case Kind::Cell: {
        auto* cell = new TextCell(parent);
        cell->setText(caption);
        return cell;
    }
    case Kind::Combo:
        return new QComboBox(parent);
    case Kind::Grid: {
        auto* grid = new QTableWidget(1, 1, parent);
        grid->horizontalHeader()->hide();
        grid->verticalHeader()->hide();
        return grid;
    }
    case Kind::Shape: {
        auto* shape = new QFrame(parent);
        shape->setFrameShape(QFrame::Box);
        return shape;
    }
    case Kind::Image:
        return new QLabel(parent);
    case Kind::Bar:
        return new support::UCtrlBar(parent);
    }
    return nullptr;
}

// Hands out the next free slot of a parent: columns of rows, 2520 twips apart.
class SlotFlow {
public:
    void Place(QWidget& control, const QWidget& parent) {
        int& slot = next_[&parent];
        const int rows = std::max(1, (HeightTwips(parent) - 360) / 360);
        MoveTwips(control, 120 + (slot / rows) * 2520, 300 + (slot % rows) * 360, 2400, 285);
        ++slot;
    }

private:
    QHash<const QWidget*, int> next_;
};

} // namespace

TabStrip* BuildMainControls(QWidget& client) {
    auto* sstMain = new TabStrip(&client);
    sstMain->setObjectName("SstMain");
    MoveTwips(*sstMain, 0, 120, 10440, 7200);

    QHash<QString, QWidget*> parents{{"client", &client}};
    for (int tab = 0; tab < 6; ++tab) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("SstMainTab(%1)").arg(tab));
        sstMain->addTab(page, TabCaptions[tab]);
        MoveTwips(*page, 0, 0, 10380, 6600);
        parents.insert(QStringLiteral("Tab%1").arg(tab), page);
    }

    SlotFlow flow;
    for (const ControlDef& def : Design) {
        QWidget* parent = parents.value(def.parent);
        Q_ASSERT(parent);
        const int elements = def.count > 0 ? def.count : 1;
        for (int i = 0; i < elements; ++i) {
            QWidget* control = MakeControl(def.kind, def.caption, parent);
            control->setObjectName(def.count > 0 ? ArrayName(def.name, i) : def.name);
            if (def.left < 0) {
                flow.Place(*control, *parent);
            } else {
                const bool sideBySide = def.stepX > 0;
                MoveTwips(*control, def.left + (sideBySide ? i * def.stepX : 0),
                          def.top + (sideBySide ? 0 : i * (def.height + 45)), def.width,
                          def.height);
            }
            if (def.kind == Kind::Frame) {
                parents.insert(def.name, control);
            }
        }
    }
    ApplyDesignDetails(client);
    // The button behind the live values and the status bar stay behind their contents.
    for (const char* name : {"CmdParametri", "CmdBarBack"}) {
        if (auto* back = client.findChild<QWidget*>(name)) {
            back->lower();
        }
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
