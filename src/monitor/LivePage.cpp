#include "monitor/LivePage.h"

#include "app/FrmLX735.h"
#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "monitor/FrmErrEcu.h"
#include "monitor/FrmService.h"
#include "monitor/Monitor.h"
#include "ui/ControlBuilder.h"
#include "ui/ControlLook.h"

#include <QPushButton>
#include <functional>

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
        QObject::connect(&ui::Bind<QPushButton>(window, name), &QPushButton::clicked, &connections_,
                         [this, handler] { (this->*handler)(); });
    }
    WireDisplays();
}

LivePage::~LivePage() = default;

void LivePage::WireDisplays() {
    LiveDisplays& d = monitor_.displays;
    // The live record's displays stay as BlankLive left them until a current record.
    const auto live = [this](std::function<void()> show) {
        return [this, show] {
            if (!monitor_.ctx.Comm().LiveStale()) {
                show();
            }
        };
    };
    d.ShowRpm = live([this] { Engine.ShowRpm(); });
    d.ShowInjectionTimes = live([this] { Injectors.ShowInjectionTimes(); });
    d.ShowLambda = live([this] { Lambda.ShowLambda(); });
    d.ShowLevelLamps = live([this] { Lamps.ShowLevelLamps(); });
    d.ShowEcuStatus = live([this] { Status.ShowEcuStatus(); });
    d.ShowTemperatures = live([this] { Engine.ShowTemperatures(); });
    d.ShowPressures = live([this] { Engine.ShowPressures(); });
    d.ShowSupplyVoltage = live([this] { Engine.ShowSupplyVoltage(); });
    d.ShowErrorButton = [this] { Errors.ShowErrorButton(); };
    d.BlankLive = [this] {
        Engine.Blank();
        Injectors.Blank();
        Lambda.Blank();
        Lamps.Blank();
        Status.Blank();
    };

    app::PageServices& pages = monitor_.pages;
    pages.IstanzaInj = [this](int& cilindri) { Injectors.IstanzaInj(cilindri); };
    pages.LayoutParametriFrame = [this] { FrameLayout.Layout(); };
    pages.LayoutGeneralPage = [this] { GeneralLayout.Layout(); };
}

FrmErrEcu& LivePage::ErrorList() {
    if (!frmErrEcu_) {
        QPushButton& button = Errors.Button();
        frmErrEcu_ =
            new FrmErrEcu(monitor_.ctx, window_, [&button] { ui::SetShown(button, false); });
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
