#include "monitor/LevelLamps.h"

#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "support/Clock.h"
#include "ui/ControlBuilder.h"
#include "ui/ControlLook.h"

#include <QWidget>
#include <array>

namespace monitor {

namespace {

constexpr quint32 Green = 0xFF00;
constexpr quint32 Red = 0xFF;
constexpr quint32 Orange = 0x80FF;
constexpr quint32 GasCaptionColor = 0xFFFF80;    // light cyan
constexpr quint32 PetrolCaptionColor = 0xC0C0C0; // light grey
constexpr quint8 FuelGas = 3;
constexpr int CalCommLamp = 3;

struct LampBits {
    qint32 low;  // alone: fast blink
    qint32 high; // alone: slow blink
    quint32 lit;
};
constexpr std::array<LampBits, LevelLampCount> Lamps{{{0x100, 0x200, Green},
                                                      {0x40, 0x80, Green},
                                                      {0x10, 0x20, Green},
                                                      {0x4, 0x8, Green},
                                                      {0x1, 0x2, Red},
                                                      {0x1000, 0x2000, Orange},
                                                      {0x400, 0x800, Red}}};

bool Blinking(qint32 lampWord, int lamp) {
    const LampBits& bits = Lamps[size_t(lamp)];
    return bool(lampWord & bits.low) != bool(lampWord & bits.high);
}

} // namespace

quint32 LampColor(qint32 lampWord, int lamp, quint8 phase) {
    const LampBits& bits = Lamps[size_t(lamp)];
    const bool low = lampWord & bits.low;
    const bool high = lampWord & bits.high;
    bool lit = low && high;
    if (high && !low) {
        lit = phase & 2;
    } else if (low && !high) {
        lit = phase & 1;
    }
    return lit ? bits.lit : 0;
}

int CalCommBackStyle(qint32 lampWord, quint8 phase) {
    return Blinking(lampWord, CalCommLamp) && LampColor(lampWord, CalCommLamp, phase) == 0 ? 1 : 0;
}

LevelLamps::LevelLamps(app::ProgramContext& context, app::FrmLX735& window)
    : ctx_(context), window_(window),
      lamps_(ui::BindArray<QWidget>(window, "ShpLevAct", 0, LevelLampCount)),
      calComm_(ui::Bind<QWidget>(window, "ShpCalComm")),
      gasCaption_(ui::Bind<QWidget>(window, "LblCalInjTg")),
      petrolCaption_(ui::Bind<QWidget>(window, "LblCalInjTp")) {
    for (QWidget* lamp : lamps_) {
        ui::SetFillColor(*lamp, 0);
        ui::SetBorderColor(*lamp, 0);
    }
    // Designed looks: the indicator shows green when opaque, the highlighted caption the
    // colour of its bars.
    ui::SetBorderColor(calComm_, 0);
    ui::SetBackColor(calComm_, Green);
    ui::SetBackStyle(calComm_, 0);
    ui::SetBackColor(gasCaption_, GasCaptionColor);
    ui::SetBackColor(petrolCaption_, PetrolCaptionColor);
}

void LevelLamps::StepBlinkClock() {
    if (support::GetTimeUsec() > BlinkNextUs) {
        BlinkNextUs = support::GetTimeUsec() + window_.LampBlinkPeriod;
        BlinkPhase = BlinkPhase >= 3 ? 0 : BlinkPhase + 1;
    }
}

void LevelLamps::ShowLevelLamps() {
    StepBlinkClock();
    const qint32 word = ctx_.Images.Mem1Data.LevelLamps;
    for (int i = 0; i < LevelLampCount; ++i) {
        QWidget& lamp = *lamps_[size_t(i)];
        const quint32 color = LampColor(word, i, BlinkPhase);
        ui::SetFillColor(lamp, color);
        ui::SetBorderColor(lamp, color);
    }
    ui::SetBackStyle(calComm_, CalCommBackStyle(word, BlinkPhase));

    const bool gas = ctx_.Images.Mem2Data.FuelState == FuelGas;
    ui::SetBackStyle(gasCaption_, gas ? 1 : 0);
    ui::SetBackStyle(petrolCaption_, gas ? 0 : 1);
}

void LevelLamps::Blank() {
    for (QWidget* lamp : lamps_) {
        ui::SetFillColor(*lamp, 0);
        ui::SetBorderColor(*lamp, 0);
    }
    ui::SetBackStyle(calComm_, 0);
}

} // namespace monitor
