#pragma once

// The engine-value boxes of the General page and the live-value frame: rpm (smoothed,
// every 4th poll tick), reducer and gas temperatures, gas pressure, vacuum, absolute
// pressure and supply voltage (every 54th). Element 0 of each box pair stands on the
// General page, element 1 in the frame, always with the same text.

#include <QString>

class QWidget;
class QCheckBox;

namespace ui {
class TextCell;
} // namespace ui

namespace app {
class FrmLX735;
struct ProgramContext;
} // namespace app

namespace monitor {

class EngineValues {
public:
    EngineValues(app::ProgramContext& context, app::FrmLX735& window);

    void ShowRpm();
    void ShowTemperatures();
    void ShowPressures();
    void ShowSupplyVoltage();
    // Empties every value of the live record: none of them is current.
    void Blank();

    double RpmSmooth = 0;

private:
    struct Pair {
        ui::TextCell& page;
        ui::TextCell& frame;
        void Show(const QString& text);
    };
    // Elements 0 and 1 of the box array name.
    static Pair BindPair(app::FrmLX735& window, const char* name);
    QString Fixed(double value, int decimals, int digits) const;

    app::ProgramContext& ctx_;
    app::FrmLX735& window_;
    Pair rpm_, tmpVap_, tmpGas_, pressure_;
    ui::TextCell& vacuum_;
    QWidget& vacuumCaption_;
    QCheckBox& acquisition_;
    ui::TextCell& absPres_;
    ui::TextCell& supply_;
};

// Text of a number as the live boxes show it: FormatFixed with the locale's separator.
QString LiveFixed(double value, int decimals, int digits, const QString& decimalSep);

// The text of a value whose sensor or probe is not configured.
inline const QString NotConfigured = QStringLiteral("- - -");

} // namespace monitor
