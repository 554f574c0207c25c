#include "ModelingRig.h"

#include "app/Controls.h"
#include "app/StartUp.h"
#include "common/BuildTools.h"
#include "common/FillUnwired.h"
#include "common/SimPort.h"
#include "platform/FtdiFake.h"
#include "settings/ParamFileSend.h"
#include "sim/Frame.h"

#include <QPushButton>
#include <QTest>

namespace calibration_test {

namespace {

const QString SimDevice = "/dev/pts/lx735-sim";

sim::EcuConfig FastEcu() {
    sim::EcuConfig config;
    config.fast = true;
    config.animated = false;
    return config;
}

} // namespace

ModelingRig::ModelingRig()
    : ecu(FastEcu()), boxHandler_([this](const QString& prompt, int, const QString& title) {
          boxes << title + "|" + prompt;
          return answer;
      }),
      fileHandler_([this](QWidget*, const app::FileDialogRequest&) { return chosenFile; }) {
    for (const char* file :
         {"LNG/ConfigScale.ini", "LNG/M3.diz", "LNG/M3.con", "LNG/Lables.cfg", "LNG/Default.Xar",
          "LNG/DefaultCng.Xar", "BIN/Flash.ini", "BIN/TarvencoInj468.frh"}) {
        tree.Write(file, testing_support::ReadFixture(testing_support::StagedRootPath(file)));
    }
    tree.Write("BIN/ComPorts.ini", "[COM1]\r\n" + SimDevice.toLatin1() + "\r\n");
    tree.Write("BIN/SetCom.ini", "[SearchCom]\r\n 255 \r\n[Comport]\r\n1\r\n[NumResend]\r\n2\r\n"
                                 "[AttesaGlobale_usec]\r\n300000\r\n[Idle_usec]\r\n20000\r\n");
    time.onPump = [this] {
        if (!timers_ || !window) {
            return;
        }
        const double now = time.NowUsec();
        if (window->Timer1().isActive() && now >= nextTimer1_) {
            nextTimer1_ = now + 1000;
            window->Timer1_Timer();
        }
        if (window && window->Timer2().isActive() && now >= nextTimer2_) {
            nextTimer2_ = now + 14000;
            window->Timer2_Timer();
        }
        // The calibration sets its timer going for the time it wants.
        if (window && window->Timer3().isActive() && pages.run &&
            now >= pages.run->NextWakeUsec()) {
            services.Timer3Tick();
        }
    };
}

ModelingRig::~ModelingRig() {
    time.onPump = nullptr;
    pages.map.reset();
    pages.modeling.reset();
    monitor.reset();
    window.reset();
}

void ModelingRig::Start() {
    context = std::make_unique<app::ProgramContext>(
        std::make_unique<testing_support::SimPort>(ecu, SimDevice),
        std::make_unique<platform::FakeFtdiDriver>());
    app::PrepareProgram(*context, tree.Path("BIN"));
    context->DecimalSep = ",";
    window = std::make_unique<app::FrmLX735>(*context, services);
    monitor = std::make_unique<monitor::Monitor>(*context, services);
    monitor::InstallMonitor(*monitor, *window);
    monitor->hooks.FileParametriInvia = [this](const QString& path) {
        return settings::FileParametriInvia(
            path, *context, services, [this](const QString& c) { window->setWindowTitle(c); });
    };
    calibration::InstallCalibration(pages, *context, services, monitor->hooks, *window);
    testing_support::FillUnwiredWithNothing(services, monitor->hooks);
    window->Show();
    timers_ = true;
    nextTimer1_ = nextTimer2_ = time.NowUsec();
    window->EnableTimers();
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

void ModelingRig::Run(double usec) {
    time.RunFor(usec, 1000);
}

bool ModelingRig::RunUntil(const std::function<bool()>& condition, double maxUsec) {
    return time.RunUntil(condition, maxUsec, 1000);
}

bool ModelingRig::Connect() {
    return RunUntil([this] {
        return context->Comm().ComState() == app::COM_READY && context->Requests.FirmwareOk &&
               !context->Requests.RefreshPending;
    });
}

void ModelingRig::ShowTab(int tab) {
    window->MnuViewTab_Click(tab);
}

QWidget& ModelingRig::Widget(const QString& name) {
    auto* widget = qobject_cast<QWidget*>(window->Control(name));
    return widget ? *widget : standIns_.Missing<QWidget>(name);
}

QString ModelingRig::Text(const QString& name) {
    return app::Caption(&Widget(name));
}

void ModelingRig::Click(const QString& name) {
    QWidget& w = Widget(name);
    if (auto* button = qobject_cast<QAbstractButton*>(&w)) {
        button->click();
    } else {
        QTest::mouseClick(&w, Qt::LeftButton, {}, w.rect().center());
    }
}

QList<quint8> ModelingRig::Commands(qsizetype from) const {
    QList<quint8> out;
    const QList<quint8>& log = ecu.CommandLog();
    for (qsizetype i = from; i < log.size(); ++i) {
        if (log[i] != sim::CMD_GET_ECO) {
            out << log[i];
        }
    }
    return out;
}

} // namespace calibration_test
