#include "common/SimWindow.h"

#include "app/StartUp.h"
#include "platform/FtdiFake.h"
#include "ui/Controls.h"

#include <QAbstractButton>
#include <QTest>

namespace testing_support {

SimWindowBase::SimWindowBase(const sim::EcuConfig& config, int com) : SimRig(config, com) {
    AddTimer(
        1000, [this] { return timers_ && Shown() && Shown()->Timer1().isActive(); },
        [this] { Shown()->Timer1_Timer(); });
    AddTimer(
        14000, [this] { return timers_ && Shown() && Shown()->Timer2().isActive(); },
        [this] { Shown()->Timer2_Timer(); });
}

void SimWindowBase::StageProgram() {
    Stage({"LNG/ConfigScale.ini", "LNG/M3.diz", "LNG/M3.con", "LNG/Lables.cfg", "BIN/Flash.ini",
           "BIN/TarvencoInj468.frh"});
    tree.Write("BIN/SetCom.ini", QuickSetCom());
}

void SimWindowBase::Prepare() {
    context = std::make_unique<app::ProgramContext>(NewPort(),
                                                    std::make_unique<platform::FakeFtdiDriver>());
    app::PrepareProgram(*context, tree.Path("BIN"));
}

void SimWindowBase::StartTimers() {
    timers_ = true;
    Shown()->EnableTimers();
}

QString SimWindowBase::Text(const QString& name) {
    return ui::Caption(&Widget(name));
}

void SimWindowBase::Click(const QString& name) {
    QWidget& w = Widget(name);
    if (auto* button = qobject_cast<QAbstractButton*>(&w)) {
        button->click();
    } else {
        QTest::mouseClick(&w, Qt::LeftButton, {}, w.rect().center());
    }
}

SimWindow::~SimWindow() {
    StopTimers();
    monitor.reset();
    window.reset();
}

void SimWindow::BuildWindow(bool withMonitor) {
    window = std::make_unique<app::FrmLX735>(*context, services);
    if (withMonitor) {
        monitor = std::make_unique<monitor::Monitor>(*context, services);
        monitor::InstallMonitor(*monitor, *window);
    }
}

} // namespace testing_support
