#include "LiveWindowRig.h"

#include "MonitorRig.h"
#include "app/Controls.h"
#include "app/StartUp.h"
#include "common/BuildTools.h"
#include "common/FillUnwired.h"
#include "common/SimPort.h"
#include "platform/FtdiFake.h"

#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QPixmap>

namespace monitor_test {

namespace {

const QString SimDevice = "/dev/pts/lx735-sim";

sim::EcuConfig FastEcu() {
    sim::EcuConfig config;
    config.fast = true;
    config.animated = false;
    return config;
}

} // namespace

LiveWindowRig::LiveWindowRig() : LiveWindowRig(std::function<void()>()) {}

LiveWindowRig::LiveWindowRig(const std::function<void()>& beforeShow) : ecu(FastEcu()) {
    for (const char* file : {"LNG/ConfigScale.ini", "LNG/M3.diz", "LNG/M3.con", "LNG/Lables.cfg",
                             "BIN/Flash.ini", "BIN/TarvencoInj468.frh"}) {
        tree.Write(file, testing_support::ReadFixture(testing_support::StagedRootPath(file)));
    }
    tree.Write("BIN/ComPorts.ini", "[COM1]\r\n" + SimDevice.toLatin1() + "\r\n");
    tree.Write("BIN/SetCom.ini", SetComFile());
    context = std::make_unique<app::ProgramContext>(
        std::make_unique<testing_support::SimPort>(ecu, SimDevice),
        std::make_unique<platform::FakeFtdiDriver>());
    app::PrepareProgram(*context, tree.Path("BIN"));
    context->DecimalSep = ",";
    window = std::make_unique<app::FrmLX735>(*context, services);
    monitor = std::make_unique<monitor::Monitor>(*context, services);
    monitor::InstallMonitor(*monitor, *window);
    if (beforeShow) {
        beforeShow();
    }
    testing_support::FillUnwiredWithNothing(services, monitor->hooks);
    window->Show();

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
    };
}

LiveWindowRig::~LiveWindowRig() {
    time.onPump = nullptr;
    monitor.reset();
    window.reset();
}

void LiveWindowRig::StartTimers() {
    timers_ = true;
    nextTimer1_ = nextTimer2_ = time.NowUsec();
    window->EnableTimers();
}

void LiveWindowRig::Run(double usec) {
    time.RunFor(usec, 1000);
}

bool LiveWindowRig::RunUntil(const std::function<bool()>& condition, double maxUsec) {
    return time.RunUntil(condition, maxUsec, 1000);
}

QWidget& LiveWindowRig::Widget(const QString& name) {
    auto* widget = qobject_cast<QWidget*>(window->Control(name));
    return widget ? *widget : standIns_.Missing<QWidget>(name);
}

std::string LiveWindowRig::DrawnBack(const QString& name) {
    const QImage image = Widget(name).grab().toImage();
    return image.isNull() ? "none" : image.pixelColor(image.width() - 2, 1).name().toStdString();
}

std::string LiveWindowRig::ButtonFace() {
    return QGuiApplication::palette().color(QPalette::Button).name().toStdString();
}

std::string LiveWindowRig::ButtonShadow() {
    return QGuiApplication::palette().color(QPalette::Dark).name().toStdString();
}

QString LiveWindowRig::Text(const QString& name) {
    return app::Caption(&Widget(name));
}

} // namespace monitor_test
