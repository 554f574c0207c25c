#pragma once

// The seven level lamps ShpLevAct(0..6) from the lamp word of the live record: each dark,
// lit, or blinking slowly or fast on a blink clock of four phases. The live-value frame's
// indicator ShpCalComm blinks against the fourth lamp, and the frame's petrol-time or
// gas-time caption is highlighted by the fuel the engine runs on. Every 8th poll tick.

#include <QtGlobal>
#include <vector>

class QWidget;

namespace app {
class FrmLX735;
struct ProgramContext;
} // namespace app

namespace monitor {

inline constexpr int LevelLampCount = 7;

// The fill colour of lamp 0..6 for the lamp word in the blink phase 0..3.
quint32 LampColor(qint32 lampWord, int lamp, quint8 phase);

// ShpCalComm's back style: opaque (1) while the fourth lamp blinks and is dark.
int CalCommBackStyle(qint32 lampWord, quint8 phase);

class LevelLamps {
public:
    LevelLamps(app::ProgramContext& context, app::FrmLX735& window);

    void ShowLevelLamps();
    // Puts the lamps out: the live record is not current.
    void Blank();

    // The blink clock: the step (the window's LampBlinkPeriod), the time of the next step
    // and the phase.
    double BlinkNextUs = 0;
    quint8 BlinkPhase = 0;

private:
    void StepBlinkClock();

    app::ProgramContext& ctx_;
    app::FrmLX735& window_;
    std::vector<QWidget*> lamps_; // ShpLevAct(0..6)
    QWidget& calComm_;
    QWidget& gasCaption_;
    QWidget& petrolCaption_;
};

} // namespace monitor
