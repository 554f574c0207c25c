#pragma once

// The ECU's state on the General page: the key, valve, fuel and ECU-mode lamps (check
// boxes that cannot be operated), the compensation and emulation indicators, the
// enabling of the map-acquisition box and the link time in the status bar
// (ShowEcuStatus, every 24th poll tick); and the two logos, whose click asks the ECU to
// switch between petrol and gas while the ignition key is on.

#include <QObject>
#include <array>

class QCheckBox;
class QLabel;

namespace ui {
class TextCell;
} // namespace ui

namespace app {
class FrmLX735;
struct ProgramContext;
} // namespace app

namespace monitor {

// The link time as the status bar shows it: "h:mm:ss" of the seconds, within a day.
QString LinkTimeText(double seconds);

class StatusIndicators : public QObject {
public:
    StatusIndicators(app::ProgramContext& context, app::FrmLX735& window);

    void ShowEcuStatus();
    // Puts the key and valve lamps out and shows the link time: the live record is not
    // current.
    void Blank();

    // The logo ImgLogo or ImgLogoS, framed by ShpLevel or ShpLevelS.
    void ImgLogo_MouseDown(QLabel& logo, QWidget& frame);
    void ImgLogo_MouseUp(QLabel& logo, QWidget& frame);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowLamps();
    void ShowLinkTime();
    void ShowFuelAndMode();
    void ShowIndicators();

    app::ProgramContext& ctx_;
    app::FrmLX735& window_;
    QCheckBox& key_;
    QCheckBox& valve1_;
    QCheckBox& valve2_;
    QCheckBox& fuel_;
    QCheckBox& mode_;
    QCheckBox& acquisition_;
    ui::TextCell& linkTime_;
    QLabel& logo_;
    QLabel& logoS_;
    QWidget& logoFrame_;
    QWidget& logoFrameS_;
    // The indicators' captions and pictures.
    std::array<QWidget*, 2> compensation_;
    std::array<QWidget*, 2> emulation_;
};

} // namespace monitor
