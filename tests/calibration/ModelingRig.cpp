#include "ModelingRig.h"
#include "common/Wait.h"

#include "common/FillUnwired.h"
#include "settings/ParamFileSend.h"

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace calibration_test {

ModelingRig::ModelingRig()
    : boxHandler_([this](const QString& prompt, int, const QString& title) {
          boxes << title + "|" + prompt;
          return answer;
      }),
      fileHandler_([this](QWidget*, const ui::FileDialogRequest&) { return chosenFile; }) {
    StageProgram();
    Stage({"LNG/Default.Xar", "LNG/DefaultCng.Xar"});
    // The calibration sets its timer going for the time it wants.
    AddTimer(
        0,
        [this] {
            return window && window->Timer3().isActive() && pages.run &&
                   time.NowUsec() >= pages.run->NextWakeUsec();
        },
        [this] { services.Timer3Tick(); });
}

ModelingRig::~ModelingRig() {
    StopTimers();
    pages.map.reset();
    pages.modeling.reset();
    monitor.reset();
    window.reset();
}

void ModelingRig::Start() {
    Prepare();
    context->DecimalSep = ",";
    BuildWindow(true);
    monitor->hooks.FileParametriInvia = [this](const QString& path) {
        return settings::FileParametriInvia(
            path, *context, services, [this](const QString& c) { window->setWindowTitle(c); });
    };
    calibration::InstallCalibration(pages, *context, services, monitor->hooks, *window);
    testing_support::FillUnwiredWithNothing(services, monitor->hooks);
    window->Show();
    StartTimers();
}

void ModelingRig::SetTaraParams(const std::map<int, int>& values) {
    QByteArray scale = tree.Read("LNG/ConfigScale.ini");
    QList<QByteArray> lines = scale.split('\n');
    const qsizetype block = lines.indexOf("[PARAMETRI DI TARATURA]\r");
    ASSERT_GE(block, 0);
    for (const auto& [position, value] : values) {
        lines[block + 2 * position] = QByteArray::number(value) + "\r";
    }
    tree.Write("LNG/ConfigScale.ini", lines.join('\n'));
}

bool ModelingRig::Connect() {
    return WaitFor(
        [this] {
            return context->Comm().ComState() == app::COM_READY && context->Requests.FirmwareOk &&
                   !context->Requests.RefreshPending;
        },
        60s);
}

void ModelingRig::ShowTab(int tab) {
    window->MnuViewTab_Click(tab);
}

} // namespace calibration_test
