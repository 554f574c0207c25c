#include "EmulaRig.h"

#include "app/StartUp.h"
#include "common/BuildTools.h"
#include "common/SimPort.h"
#include "platform/FtdiFake.h"

#include <QHeaderView>

namespace emulation_test {

namespace {

const QString SimDevice = "/dev/pts/lx735-sim";

sim::EcuConfig QuietEcu() {
    sim::EcuConfig config;
    config.fast = true;
    config.animated = false;
    return config;
}

} // namespace

EmulaRig::EmulaRig() : ecu(QuietEcu()) {
    for (const char* file : {"LNG/ConfigScale.ini", "LNG/M3.diz", "LNG/M3.con", "LNG/Lables.cfg",
                             "BIN/Flash.ini", "BIN/TarvencoInj468.frh"}) {
        tree.Write(file, testing_support::ReadFixture(testing_support::StagedRootPath(file)));
    }
    tree.Write("BIN/ComPorts.ini", "[COM1]\r\n" + SimDevice.toLatin1() + "\r\n");
    tree.Write("BIN/SetCom.ini", "[SearchCom]\r\n 255 \r\n[Comport]\r\n1\r\n[NumResend]\r\n2\r\n"
                                 "[AttesaGlobale_usec]\r\n300000\r\n[Idle_usec]\r\n20000\r\n");
    context = std::make_unique<app::ProgramContext>(
        std::make_unique<testing_support::SimPort>(ecu, SimDevice),
        std::make_unique<platform::FakeFtdiDriver>());
    app::PrepareProgram(*context, tree.Path("BIN"));
    context->DecimalSep = ".";
    window = std::make_unique<app::FrmLX735>(*context, services);
    monitor = std::make_unique<monitor::Monitor>(*context, services);
    monitor::InstallMonitor(*monitor, *window);
    MakeConfigurationControls();
    page = std::make_unique<emulation::EmulaPage>(*context, *window);
    page->Install(services, monitor->hooks);
    window->Show();
    for (const auto& fill : lists_) {
        fill();
    }
    time.onPump = [this] {
        if (!window || !window->Timer1().isActive()) {
            return;
        }
        const double now = time.NowUsec();
        if (now >= nextTimer1_) {
            nextTimer1_ = now + 1000;
            window->Timer1_Timer();
        }
        if (window && window->Timer2().isActive() && now >= nextTimer2_) {
            nextTimer2_ = now + 14000;
            window->Timer2_Timer();
        }
    };
}

EmulaRig::~EmulaRig() {
    time.onPump = nullptr;
    page.reset();
    monitor.reset();
    window.reset();
}

void EmulaRig::MakeConfigurationControls() {
    auto* frame = qobject_cast<QWidget*>(window->Control("FrmEmul"));
    ASSERT_TRUE(frame);
    const auto combo = [&](const char* name, const QStringList& items) {
        auto* box = qobject_cast<QComboBox*>(window->Control(name));
        if (!box) {
            box = new QComboBox(frame);
            box->setObjectName(name);
        }
        lists_.push_back([box, items] {
            const QSignalBlocker quiet(box);
            box->clear();
            box->addItems(items);
            box->setCurrentIndex(-1);
        });
    };
    QStringList filters{"Off"};
    for (int i = 1; i <= 15; ++i) {
        filters << QString::number(i);
    }
    // The lambda records are read at the window's load.
    QStringList lambdas;
    for (int i = 0; i < 6; ++i) {
        lambdas << QString("Lambda %1").arg(i);
    }
    const QStringList probes{"Type 0", "Type 1", "Type 2"};
    combo("CmbAbilEmula", {"Off", "On"});
    combo("CmbSonda1", probes);
    combo("CmbSonda2", probes);
    combo("CmbSonda1Bis", probes);
    combo("CmbSonda2Bis", probes);
    combo("CmbFiltro", filters);
    combo("CmbRitardo", QString("0|1|3|5|7|10|15|20|25|30|35|40|50|60|90|120|150|180|210|240|"
                                "250|280|300")
                            .split('|'));
    combo("CmbSwtchLambda", lambdas);
    combo("CmbSwtchLambdaBis", lambdas);
    if (!window->Control("GrdEmul")) {
        auto* grid = new QTableWidget(1, 1, frame);
        grid->setObjectName("GrdEmul");
        grid->horizontalHeader()->hide();
        grid->verticalHeader()->hide();
    }
}

void EmulaRig::Connect() {
    nextTimer1_ = nextTimer2_ = time.NowUsec();
    window->EnableTimers();
    ASSERT_TRUE(RunUntil([this] {
        return context->Requests.FirmwareOk && !context->Requests.ReqReadEmus &&
               !context->Requests.ReqReadMem3 && !context->Requests.ReqReadMem2 &&
               context->Images.EmulaBlkData[86] != 0;
    }));
    // What the parameter-page refresh does after the first read.
    const int type = ecudata::FindLambda(context->Tables, context->Images.Mem3Data.LambdaSwitch);
    {
        window->PageFilling = true;
        Get<QComboBox>("CmbSwtchLambda").setCurrentIndex(type);
        Grid("GrdEmul").setProperty("Tag", type == 5 ? "1" : "0");
        window->PageFilling = false;
    }
    page->AggiornaVariabiliEmulazioneLambda();
    page->AggiornaVariabiliTabellaEmulazioneLambda();
}

void EmulaRig::Run(double usec) {
    time.RunFor(usec, 1000);
}

bool EmulaRig::RunUntil(const std::function<bool()>& condition, double maxUsec) {
    return time.RunUntil(condition, maxUsec, 1000);
}

QString EmulaRig::CellText(const QString& grid, int row, int col) {
    const QTableWidgetItem* item = Grid(grid).item(row, col);
    return item ? item->text() : QString();
}

int EmulaRig::SimEmula(int offset) const {
    return static_cast<quint8>(const_cast<sim::Ecu&>(ecu).Ram().emulation[offset]);
}

} // namespace emulation_test
