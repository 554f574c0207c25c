#include "app/MainControls.h"

#include "app/Controls.h"
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
#include <QTabWidget>
#include <QTableWidget>

namespace app {

namespace {

enum class Kind { Frame, Label, Button, Check, Option, Text, Combo, Grid, Shape, Image, Bar };

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
    {Kind::Button, "CmdParametri", "client", "", 0, 120, 5820, 10440, 1410},
    {Kind::Frame, "FrmParametri", "client", "Engine parameters", 0, 165, 5835, 10350, 1335},
    {Kind::Label, "LblParRpm", "FrmParametri", "Rpm", 0, 120, 240, 1100, 255},
    {Kind::Text, "TxtRpm", "FrmParametri", "", 0, 120, 540, 800, 315},
    {Kind::Label, "LblParTmpVap", "FrmParametri", "Reducer temp.", 0, 1320, 240, 1100, 255},
    {Kind::Text, "TxtTmpVap", "FrmParametri", "", 0, 1320, 540, 800, 315},
    {Kind::Label, "LblParGradi", "FrmParametri", "\u00b0C", 2, 2160, 570, 300, 255, 1200},
    {Kind::Label, "LblParTmpGas", "FrmParametri", "Gas temp.", 0, 2520, 240, 1100, 255},
    {Kind::Text, "TxtTmpGas", "FrmParametri", "", 1, 2520, 540, 800, 315},
    {Kind::Label, "LblParPressure", "FrmParametri", "Gas pressure", 0, 3720, 240, 1100, 255},
    {Kind::Text, "TxtPressure", "FrmParametri", "", 0, 3720, 540, 800, 315},
    {Kind::Label, "LblParBar", "FrmParametri", "Bar", 0, 4560, 570, 300, 255},
    {Kind::Text, "TxtVacuum", "FrmParametri", "", 0, 3720, 900, 800, 315},
    {Kind::Label, "LblParLambda", "FrmParametri", "Lambda", 2, 4920, 240, 1100, 255, 1200},
    {Kind::Text, "TxtLambda", "FrmParametri", "", 0, 4920, 540, 800, 315},
    {Kind::Label, "LblParLambdaMv", "FrmParametri", "Volt", 1, 5760, 570, 360, 255},
    {Kind::Text, "TxtLambda2", "FrmParametri", "", 0, 6120, 540, 800, 315},
    {Kind::Label, "LblSupVoltage", "FrmParametri", "Supply (V)", 0, 7320, 240, 1100, 255},
    {Kind::Text, "TxtInjTimePet", "FrmParametri", "", 1, 8520, 540, 800, 315},
    {Kind::Text, "TxtInjTimeGas", "FrmParametri", "", 1, 8520, 900, 800, 315},

    // Status bar: three fields on a bar along the bottom edge.
    {Kind::Button, "CmdBarBack", "client", "", 0, -15, 7500, 10800, 375},
    {Kind::Text, "TxtStatusBar", "client", "", 3, 30, 7560, 1500, 255},

    // General.
    {Kind::Frame, "FrmPrincipe", "Tab0", "", 0, 60, 60, 10200, 6300},
    {Kind::Label, "LblInjTPetrol", "FrmPrincipe", "Petrol time (ms)", 0, 240, 120, 3600, 255},
    {Kind::Bar, "InjPetBar", "FrmPrincipe", "", 8, 240, 420, 3600, 240},
    {Kind::Label, "LblInjTGas", "FrmPrincipe", "Gas time (ms)", 0, 240, 3000, 3600, 255},
    {Kind::Bar, "InjGasBar", "FrmPrincipe", "", 8, 240, 3300, 3600, 240},
    {Kind::Label, "LblInjCmb", "FrmPrincipe", "Injector", 0, 4200, 120, 1500, 255},
    {Kind::Shape, "ShpLevel", "FrmPrincipe", "", 0, 6540, 120, 1905, 1305},
    {Kind::Image, "ImgLogo", "FrmPrincipe", "", 0, 6600, 180, 1800, 1200},
    {Kind::Shape, "ShpLevelS", "FrmPrincipe", "", 0, 8490, 120, 1605, 1305},
    {Kind::Image, "ImgLogoS", "FrmPrincipe", "", 0, 8550, 180, 1500, 1200},
    {Kind::Check, "CkbeV_01", "FrmPrincipe", "EV1", 0, 4200, 600, 1200, 285},
    {Kind::Check, "CkbeV_02", "FrmPrincipe", "EV2", 0, 4200, 960, 1200, 285},
    {Kind::Check, "CkbKey", "FrmPrincipe", "Key", 0, 4200, 1320, 1200, 285},
    {Kind::Check, "CkbStatoAlim", "FrmPrincipe", "Supply", 0, 4200, 1680, 1200, 285},
    {Kind::Check, "CkbStatoEcu", "FrmPrincipe", "ECU", 0, 4200, 2040, 1200, 285},
    {Kind::Label, "LblCompAttiva", "FrmPrincipe", "Compensation active", 0, 6600, 1560, 2400, 255},
    {Kind::Label, "LblEmulAttiva", "FrmPrincipe", "Emulation active", 0, 6600, 1860, 2400, 255},
    {Kind::Button, "CmdErrInj", "FrmPrincipe", "ECU ERRORS", 0, 6600, 2280, 2400, 420},
    {Kind::Button, "CmdService", "FrmPrincipe", "Service", 0, 6600, 2820, 1155, 420},
    {Kind::Button, "CmdView", "FrmPrincipe", "Viewer", 0, 7845, 2820, 1155, 420},
    {Kind::Frame, "FrmMapSample", "FrmPrincipe", "", 0, 6600, 3360, 3300, 1500},
    {Kind::Shape, "ShpPLoad", "FrmPrincipe", "", 0, 6600, 5040, 1500, 240},
    {Kind::Shape, "ShpPmin", "FrmPrincipe", "", 0, 8220, 5040, 1500, 240},

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
    {Kind::Button, "CmdTableComp", "FrmCongif", "Compensation"},

    // Calibration.
    {Kind::Frame, "FrmCalStatus", "Tab2", "", 0, 60, 60, 10200, 2400},
    {Kind::Label, "LblCalStep", "FrmCalStatus", "", 0, 240, 240, 9600, 600},
    {Kind::Shape, "ShpCalStep", "FrmCalStatus", "", 2, 240, 900, 9600, 480},
    {Kind::Label, "LblCalMsg", "FrmCalStatus", "", 0, 240, 1500, 9600, 600},
    {Kind::Button, "CmdCalStart", "Tab2", "Start", 0, 240, 2640, 1800, 420},
    {Kind::Button, "CmdCalCancel", "Tab2", "Cancel", 0, 2160, 2640, 1800, 420},
    {Kind::Frame, "FrmVarTara", "Tab2", "", 0, 4200, 2640, 6000, 1800},
    {Kind::Label, "LblCalInjTp", "Tab2", "T Petrol", 0, 240, 3240, 1800, 255},
    {Kind::Label, "LblCalInjTg", "Tab2", "T Gas", 0, 240, 3540, 1800, 255},
    {Kind::Label, "LblCalPres", "Tab2", "Vacuum (bar)", 0, 240, 3840, 1800, 255},
    {Kind::Label, "LblCalVacuum", "Tab2", "Vacuum", 0, 240, 4140, 1800, 255},
    {Kind::Label, "LblCalLambda", "Tab2", "Lambda #1", 0, 2160, 3240, 1800, 255},
    {Kind::Label, "LblCalLambda2", "Tab2", "Lambda #2", 0, 2160, 3540, 1800, 255},
    {Kind::Label, "LblCalTempVap", "Tab2", "Reducer temp.", 0, 2160, 3840, 1800, 255},
    {Kind::Label, "LblCalTempGas", "Tab2", "Gas temp.", 0, 2160, 4140, 1800, 255},

    // Modeling.
    {Kind::Frame, "FrmMod", "Tab3", "", 0, 60, 60, 6600, 4500},
    {Kind::Text, "TxtGasMod", "FrmMod", "T Gas (ms)", 0, 120, 240, 1500, 285},
    {Kind::Text, "TxtPetrolMod", "FrmMod", "T Petrol (ms)", 0, 4980, 4080, 1500, 285},
    {Kind::Shape, "ShpPunti", "FrmMod", "", 9, 120, 600, 90, 90},
    {Kind::Frame, "FrmModPnt", "Tab3", "", 0, 6780, 60, 3420, 1800},
    {Kind::Label, "LblPlace", "FrmModPnt", "Point"},
    {Kind::Text, "TxtXPos", "FrmModPnt", "", 1},
    {Kind::Label, "LblMul", "FrmModPnt", "Gain"},
    {Kind::Frame, "FrmModLine", "Tab3", "Reference line", 0, 6780, 1980, 3420, 1500},
    {Kind::Label, "LblAlfa", "FrmModLine", "Slope"},
    {Kind::Label, "LblOffset", "FrmModLine", "Offset (ms)"},
    {Kind::Button, "CmdComputeModl", "Tab3", "Compute", 1, 6780, 3600, 1800, 420},

    // Lambda.
    {Kind::Frame, "FrmEmul", "Tab4", "", 0, 60, 60, 10200, 5700},
    {Kind::Label, "LblAbilEmula", "FrmEmul", "Lambda emulation"},
    {Kind::Label, "LblSonda1", "FrmEmul", "Probe 1"},
    {Kind::Label, "LblSonda1Bis", "FrmEmul", "Probe 1"},
    {Kind::Label, "LblSonda2", "FrmEmul", "Probe 2"},
    {Kind::Label, "LblSonda2Bis", "FrmEmul", "Probe 2"},
    {Kind::Label, "LblRitardo", "FrmEmul", "Activation delay (s)"},
    {Kind::Label, "LblFiltro", "FrmEmul", "Filter"},
    {Kind::Label, "LblAnte", "FrmEmul", "Upstream"},
    {Kind::Label, "LblPost", "FrmEmul", "Downstream"},
    {Kind::Label, "LblEmulLevAlto", "FrmEmul", "High level (mV)"},
    {Kind::Label, "LblEmulLevBasso", "FrmEmul", "Low level (mV)"},
    {Kind::Label, "LblLambdaOut1", "FrmEmul", "Lambda out 1"},
    {Kind::Label, "LblLambdaOut2", "FrmEmul", "Lambda out 2"},
    {Kind::Label, "LblTabSoglie", "FrmEmul", "Thresholds"},
    {Kind::Label, "LblHelpTabDelay", "FrmEmul", ""},
    {Kind::Label, "LblAbsPres", "FrmEmul", "Absolute pressure"},
    {Kind::Label, "LblFrmRPM", "FrmEmul", "Rpm"},
    {Kind::Grid, "GrdTitolo", "FrmEmul", "", 0, 5040, 240, 1200, 300},

    // Map.
    {Kind::Frame, "FrmMapCmd", "Tab5", "", 0, 60, 60, 3000, 2400},
    {Kind::Button, "CmdMapRead", "FrmMapCmd", "Read map"},
    {Kind::Button, "CmdMapCompute", "FrmMapCmd", "Compute"},
    {Kind::Button, "CmdMapClrGas", "FrmMapCmd", "Clear gas"},
    {Kind::Button, "CmdMapClrPet", "FrmMapCmd", "Clear petrol"},
    {Kind::Button, "CmdShpMapMod", "FrmMapCmd", "Show model"},
    {Kind::Frame, "FrmMapTuning", "Tab5", "Map acquisition", 0, 60, 2580, 3000, 1200},
    {Kind::Check, "ChkAbilAcqVacum", "FrmMapTuning", "Acquire vacuum"},
    {Kind::Frame, "FrmLegendaMap", "Tab5", "", 0, 60, 3900, 3000, 1200},
    {Kind::Label, "LblMapPetrol", "FrmLegendaMap", "Petrol"},
    {Kind::Label, "LblMapGas", "FrmLegendaMap", "Gas"},
    {Kind::Frame, "FrmMap", "Tab5", "", 0, 3180, 60, 7020, 5100},
    {Kind::Text, "TxtMapPressure", "FrmMap", "Vacuum (bar)", 0, 120, 240, 1500, 285},
    {Kind::Text, "TxtMapPetrol", "FrmMap", "T Petrol (ms)", 0, 5400, 4680, 1500, 285},
};

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
    case Kind::Text:
        return new QLineEdit(caption, parent);
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

QTabWidget* BuildMainControls(QWidget& client) {
    auto* sstMain = new QTabWidget(&client);
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
    for (int i = 0; i < 3; ++i) {
        if (auto* field = client.findChild<QLineEdit*>(ArrayName("TxtStatusBar", i))) {
            field->setReadOnly(true);
            field->setFocusPolicy(Qt::NoFocus);
        }
    }
    return sstMain;
}

} // namespace app
