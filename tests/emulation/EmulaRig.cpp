#include "EmulaRig.h"

#include "common/FillUnwired.h"
#include "common/Wait.h"
#include "emulation/FrmCompensaTbl.h"

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace emulation_test {

EmulaRig::EmulaRig() {
    StageProgram();
    Prepare();
    context->DecimalSep = ".";
    BuildWindow(true);
    configPage = std::make_unique<settings::ConfigPage>(*context, *window, services);
    page = std::make_unique<emulation::EmulaPage>(*context, *window);
    page->Install(services, monitor->hooks);
    emulation::ConnectCmdTableComp(*context, *window);
    testing_support::FillUnwiredWithNothing(services, monitor->hooks);
    window->Show();
}

EmulaRig::~EmulaRig() {
    StopTimers();
    page.reset();
    configPage.reset();
}

void EmulaRig::Connect() {
    StartTimers();
    ASSERT_TRUE(WaitFor(
        [this] {
            return context->Requests.FirmwareOk && !context->Requests.ReqReadEmus &&
                   !context->Requests.ReqReadMem3 && !context->Requests.ReqReadMem2 &&
                   !context->Requests.ReqReadComp && !context->Requests.RefreshPending &&
                   context->Images.EmulaBlkData[86] != 0;
        },
        60s));
}

QString EmulaRig::CellText(const QString& grid, int row, int col) {
    const QTableWidgetItem* item = Grid(grid).item(row, col);
    return item ? item->text() : QString();
}

int EmulaRig::SimEmula(int offset) const {
    return static_cast<quint8>(const_cast<sim::Ecu&>(ecu).Ram().emulation[offset]);
}

} // namespace emulation_test
