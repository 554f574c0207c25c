#include "monitor/LiveFrameLayout.h"

#include "app/FrmLX735.h"
#include "ui/Controls.h"

#include <array>

namespace monitor {

namespace {

// Value boxes and their captions, in position order: rpm, pressure, petrol time, gas
// time, reducer temperature, gas temperature, vacuum, lambda 1, lambda 2.
constexpr std::array<const char*, 9> Boxes{"TxtRpm(1)",        "TxtPressure(1)", "TxtInjTimePet(1)",
                                           "TxtInjTimeGas(1)", "TxtTmpVap(1)",   "TxtTmpGas(1)",
                                           "TxtVacuum",        "TxtLambda(1)",   "TxtLambda2(1)"};
constexpr std::array<const char*, 9> Captions{"LblCalRpm",   "LblCalVacuum",  "LblCalInjTp",
                                              "LblCalInjTg", "LblCalTempVap", "LblCalTempGas",
                                              "LblCalPres",  "LblCalLambda",  "LblCalLambda2"};

constexpr float LargeSetFrom = 15360; // outer width, twips
constexpr float LargeCaption = 12, LargeBox = 20;
constexpr float SmallCaption = 10, SmallBox = 16;

// The controls the layout reads and places.
const QStringList& LiveFrameControls() {
    static const QStringList names = [] {
        QStringList list{"FrmParametri", "ImgLogoS", "ShpLevelS", "ShpCalComm"};
        for (size_t k = 0; k < Boxes.size(); ++k) {
            list << Boxes[k] << Captions[k];
        }
        return list;
    }();
    return names;
}

} // namespace

void LayoutParametriFrame(ui::TwipsGeometry& g, float windowWidth) {
    const float W = g["FrmParametri"].Width;
    g["ImgLogoS"].Left = W - 930;
    g["ShpLevelS"].Left = W - 975;
    ui::TwipsBox& calComm = g["ShpCalComm"];
    calComm.Left = W - 1035;

    const float w = (calComm.Left - 60) / 9 - 90;
    const float rowTop = g["TxtRpm(1)"].Top;
    const bool large = windowWidth >= LargeSetFrom;
    for (size_t k = 0; k < Boxes.size(); ++k) {
        ui::TwipsBox& box = g[Boxes[k]];
        ui::TwipsBox& caption = g[Captions[k]];
        box.Width = w;
        box.Left = 60 + float(k) * (w + 90);
        box.Top = rowTop;
        caption.Width = w + 60;
        caption.Left = 30 + float(k) * (w + 90);
        caption.FontSize = large ? LargeCaption : SmallCaption;
        box.FontSize = large ? LargeBox : SmallBox;
    }
}

LiveFrameLayout::LiveFrameLayout(app::FrmLX735& window)
    : window_(window), controls_(window, "LiveFrameLayout", LiveFrameControls()) {}

void LiveFrameLayout::Layout() {
    const ui::TwipsGeometry before = controls_.Read();
    ui::TwipsGeometry frame = before;
    LayoutParametriFrame(frame, float(ui::ToTwips(window_.frameGeometry().width())));
    controls_.Write(before, frame);
}

} // namespace monitor
