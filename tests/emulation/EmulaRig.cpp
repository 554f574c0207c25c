#include "EmulaRig.h"

#include "app/StartUp.h"
#include "common/BuildTools.h"
#include "common/FillUnwired.h"
#include "common/SimPort.h"
#include "emulation/FrmCompensaTbl.h"
#include "platform/FtdiFake.h"

#include <algorithm>

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
    configPage = std::make_unique<settings::ConfigPage>(*context, *window, services);
    page = std::make_unique<emulation::EmulaPage>(*context, *window);
    page->Install(services, monitor->hooks);
    emulation::ConnectCmdTableComp(*context, *window);
    testing_support::FillUnwiredWithNothing(services, monitor->hooks);
    window->Show();
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
    configPage.reset();
    monitor.reset();
    window.reset();
}

void EmulaRig::Connect() {
    nextTimer1_ = nextTimer2_ = time.NowUsec();
    window->EnableTimers();
    ASSERT_TRUE(RunUntil([this] {
        return context->Requests.FirmwareOk && !context->Requests.ReqReadEmus &&
               !context->Requests.ReqReadMem3 && !context->Requests.ReqReadMem2 &&
               !context->Requests.ReqReadComp && !context->Requests.RefreshPending &&
               context->Images.EmulaBlkData[86] != 0;
    }));
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

int EmulaRig::Writes(quint8 command) const {
    const auto& log = ecu.CommandLog();
    return int(std::count(log.begin(), log.end(), command));
}

void EmulaRig::Refuse(quint8 command) {
    sim::Fault fault;
    fault.kind = sim::FaultKind::Status;
    fault.command = command;
    fault.count = sim::kForever;
    fault.value = 254;
    ecu.AddFault(fault);
}

} // namespace emulation_test
