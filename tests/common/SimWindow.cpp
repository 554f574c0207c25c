#include "common/SimWindow.h"

#include "app/Controls.h"
#include "app/StartUp.h"
#include "platform/FtdiFake.h"

#include <QAbstractButton>
#include <QTest>

namespace testing_support {

SimWindow::SimWindow(const sim::EcuConfig& config, int com) : SimRig(config, com) {
    AddTimer(
        1000, [this] { return timers_ && window && window->Timer1().isActive(); },
        [this] { window->Timer1_Timer(); });
    AddTimer(
        14000, [this] { return timers_ && window && window->Timer2().isActive(); },
        [this] { window->Timer2_Timer(); });
}

SimWindow::~SimWindow() {
    StopTimers();
    monitor.reset();
    window.reset();
}

void SimWindow::StageProgram() {
    Stage({"LNG/ConfigScale.ini", "LNG/M3.diz", "LNG/M3.con", "LNG/Lables.cfg", "BIN/Flash.ini",
           "BIN/TarvencoInj468.frh"});
    tree.Write("BIN/SetCom.ini", QuickSetCom());
}

void SimWindow::Prepare() {
    context = std::make_unique<app::ProgramContext>(NewPort(),
                                                    std::make_unique<platform::FakeFtdiDriver>());
    app::PrepareProgram(*context, tree.Path("BIN"));
}

void SimWindow::BuildWindow(bool withMonitor) {
    window = std::make_unique<app::FrmLX735>(*context, services);
    if (withMonitor) {
        monitor = std::make_unique<monitor::Monitor>(*context, services);
        monitor::InstallMonitor(*monitor, *window);
    }
}

void SimWindow::StartTimers() {
    timers_ = true;
    window->EnableTimers();
}

QString SimWindow::Text(const QString& name) {
    return app::Caption(&Widget(name));
}

void SimWindow::Click(const QString& name) {
    QWidget& w = Widget(name);
    if (auto* button = qobject_cast<QAbstractButton*>(&w)) {
        button->click();
    } else {
        QTest::mouseClick(&w, Qt::LeftButton, {}, w.rect().center());
    }
}

} // namespace testing_support
