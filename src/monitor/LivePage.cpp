#include "monitor/LivePage.h"

#include "app/ControlBuilder.h"
#include "app/FrmLX735.h"
#include "app/PageServices.h"
#include "monitor/ControlLook.h"
#include "monitor/FrmErrEcu.h"
#include "monitor/FrmService.h"
#include "monitor/Monitor.h"

#include <QPushButton>

namespace monitor {

LivePage::LivePage(Monitor& monitor, app::FrmLX735& window)
    : Engine(monitor.ctx, window), Injectors(monitor.ctx, window), Lambda(monitor.ctx, window),
      Lamps(monitor.ctx, window), Status(monitor.ctx, window), Errors(monitor.ctx, window),
      GeneralLayout(window), FrameLayout(window), monitor_(monitor), window_(window) {
    const std::pair<const char*, void (LivePage::*)()> buttons[] = {
        {"CmdErrInj", &LivePage::CmdErrInj_Click},
        {"CmdService", &LivePage::CmdService_Click},
        {"CmdView", &LivePage::CmdView_Click}};
    for (const auto& [name, handler] : buttons) {
        QObject::connect(&app::Bind<QPushButton>(window, name), &QPushButton::clicked,
                         &connections_, [this, handler] { (this->*handler)(); });
    }
    WireDisplays();
}

LivePage::~LivePage() = default;

void LivePage::WireDisplays() {
    LiveDisplays& d = monitor_.displays;
    d.ShowRpm = [this] { Engine.ShowRpm(); };
    d.ShowInjectionTimes = [this] { Injectors.ShowInjectionTimes(); };
    d.ShowLambda = [this] { Lambda.ShowLambda(); };
    d.ShowLevelLamps = [this] { Lamps.ShowLevelLamps(); };
    d.ShowEcuStatus = [this] { Status.ShowEcuStatus(); };
    d.ShowTemperatures = [this] { Engine.ShowTemperatures(); };
    d.ShowPressures = [this] { Engine.ShowPressures(); };
    d.ShowSupplyVoltage = [this] { Engine.ShowSupplyVoltage(); };
    d.ShowErrorButton = [this] { Errors.ShowErrorButton(); };

    app::PageServices& pages = monitor_.pages;
    pages.IstanzaInj = [this](int& cilindri) { Injectors.IstanzaInj(cilindri); };
    pages.LayoutParametriFrame = [this] { FrameLayout.Layout(); };
    pages.LayoutGeneralPage = [this] { GeneralLayout.Layout(); };
}

FrmErrEcu& LivePage::ErrorList() {
    if (!frmErrEcu_) {
        QPushButton& button = Errors.Button();
        frmErrEcu_ = new FrmErrEcu(monitor_.ctx, window_, [&button] { SetShown(button, false); });
    }
    return *frmErrEcu_;
}

FrmService& LivePage::Service() {
    if (!frmService_) {
        frmService_ = new FrmService(monitor_.ctx, window_);
    }
    return *frmService_;
}

void LivePage::CmdErrInj_Click() {
    ErrorList().ShowModeless();
}

void LivePage::CmdService_Click() {
    Service().ShowModeless();
}

void LivePage::CmdView_Click() {
    monitor_.hooks.OpenViewer();
}

} // namespace monitor
