#include "monitor/GeneralPageLayout.h"

#include "app/FrmLX735.h"
#include "support/Colors.h"
#include "ui/ControlBuilder.h"
#include "ui/ControlLook.h"

#include <array>

namespace monitor {

namespace {

// Value rows in row order: box, caption and unit label.
constexpr std::array<const char*, 6> Boxes{"TxtTmpVap(0)", "TxtTmpGas(0)", "TxtPressure(0)",
                                           "TxtSupply",    "TxtLambda(0)", "TxtLambda2(0)"};
constexpr std::array<const char*, 6> Captions{"LblParTmpVap",    "LblParTmpGas",
                                              "LblParPressure",  "LblSupVoltage",
                                              "LblParLambda(0)", "LblParLambda(1)"};
constexpr std::array<const char*, 6> Units{"LblParGradi(0)",    "LblParGradi(1)",
                                           "LblParBar",         "LblParV",
                                           "LblParLambdaMv(0)", "LblParLambdaMv(1)"};

// Offsets of the level lamps 0..6 from the level indicator's left edge.
constexpr std::array<float, 7> LampOffsets{1095, 900, 690, 495, 285, 1095, 285};

constexpr int InjectorRows = 8;

const std::array<const char*, 6> InjectorColumn{
    "LblInjCmb", "CmbInj", "LblInjTPetrol", "TxtInjTimePet(0)", "LblInjTGas", "TxtInjTimeGas(0)"};
const std::array<const char*, 5> InjectorColumnLabels{"LblInjCmb", "LblInjTGas", "LblInjTPetrol",
                                                      "LblEmulAttiva", "LblCompAttiva"};
const std::array<const char*, 8> BottomRow{"CmdService",  "CmdErrInj", "CmdView",  "CkbStatoAlim",
                                           "CkbStatoEcu", "CkbKey",    "CkbeV_01", "CkbeV_02"};

// The two font sets: size in points and height in twips.
struct FontSet {
    float boxSize, boxHeight;
    float labelSize, labelHeight;
    float rpmHeight;
};
constexpr FontSet LargeSet{28, 900, 16, 500, 500};
constexpr FontSet SmallSet{20, 600, 12, 360, 360};
constexpr float LargeSetAbove = 11520; // outer height, twips

QString Indexed(const char* name, int i) {
    return ui::ArrayName(name, i);
}

void SetFont(ui::TwipsBox& box, float size, float height) {
    box.FontSize = size;
    box.Height = height;
}

// Steps 3 to 12: panels, level indicator, rpm and the value rows.
void LayoutRightPanel(ui::TwipsGeometry& g, float SW, float SH, const FontSet& set) {
    ui::TwipsBox& sx = g["ShpPrincipeSx"];
    sx.Left = 45;
    sx.Top = 45;
    sx.Width = SW / 2 - 375;
    sx.Height = SH - 1650;
    ui::TwipsBox& dx = g["ShpPrincipeDx"];
    dx.Left = sx.Left + sx.Width + 120;
    dx.Top = 45;
    dx.Width = sx.Width;
    dx.Height = sx.Height;

    ui::TwipsBox& level = g["ShpLevel"];
    level.Left = dx.Left + dx.Width - level.Width - 225;
    g["ImgLogo"].Left = level.Left + 75;
    for (int i = 0; i < int(LampOffsets.size()); ++i) {
        g[Indexed("ShpLevAct", i)].Left = level.Left + LampOffsets[size_t(i)];
    }

    const qint32 u = ui::LayoutStep(dx.Width / 30);
    ui::TwipsBox& rpmCaption = g["LblParRpm"];
    rpmCaption.Width = float(16 * u);
    rpmCaption.Left = dx.Left + (level.Left - dx.Left) / 2 - rpmCaption.Width / 2;
    ui::TwipsBox& rpm = g["TxtRpm(0)"];
    rpm.Left = rpmCaption.Left;
    rpm.Width = rpmCaption.Width;

    ui::TwipsBox& first = g[Boxes[0]];
    first.Width = float(13 * u);
    for (size_t k = 0; k < Boxes.size(); ++k) {
        g[Boxes[k]].Width = first.Width;
        g[Captions[k]].Width = first.Width;
    }
    for (const char* caption : Captions) {
        g[caption].Left = dx.Left + 90;
    }
    const ui::TwipsBox& gasCaption = g["LblParTmpGas"];
    for (const char* box : Boxes) {
        g[box].Left = gasCaption.Left + gasCaption.Width + 75;
    }
    for (const char* unit : Units) {
        g[unit].Left = first.Left + first.Width + 30;
    }

    const qint32 r = ui::LayoutStep((dx.Height - (first.Top - dx.Top)) / 6);
    for (size_t k = 0; k < Boxes.size(); ++k) {
        ui::TwipsBox& box = g[Boxes[k]];
        box.Top = first.Top + float(qint32(k) * r);
        g[Captions[k]].Top = box.Top + 75;
        SetFont(box, set.boxSize, set.boxHeight);
        SetFont(g[Captions[k]], set.labelSize, set.labelHeight);
        SetFont(g[Units[k]], set.labelSize, set.labelHeight);
    }
    SetFont(rpmCaption, 12, set.rpmHeight);
    for (size_t k = 0; k < Boxes.size(); ++k) {
        const ui::TwipsBox& box = g[Boxes[k]];
        ui::TwipsBox& unit = g[Units[k]];
        unit.Top = box.Top + box.Height - unit.Height;
    }

    for (int probe = 0; probe < 2; ++probe) {
        const ui::TwipsBox& caption = g[Indexed("LblParLambda", probe)];
        ui::TwipsBox& image = g[probe == 0 ? "ImgLambda1" : "ImgLambda2"];
        ui::TwipsBox& marker = g[probe == 0 ? "ShpLambda1" : "ShpLambda2"];
        image.Width = caption.Width;
        image.Left = caption.Left;
        image.Top = caption.Top + caption.Height;
        marker.Top = image.Top - (marker.Height - image.Height) / 2;
    }
}

// Steps 13 to 20: the injector-time column, the button row, the injector rows and bars.
void LayoutLeftPanel(ui::TwipsGeometry& g, const FontSet& set) {
    const ui::TwipsBox& sx = g["ShpPrincipeSx"];
    const float columnWidth = g[Boxes[0]].Width;
    ui::TwipsBox& emulImage = g["ImgEmulAttiva"];
    ui::TwipsBox& compImage = g["ImgCompAttiva"];
    ui::TwipsBox& emulLabel = g["LblEmulAttiva"];
    ui::TwipsBox& compLabel = g["LblCompAttiva"];
    for (const char* name : InjectorColumn) {
        g[name].Width = columnWidth;
    }
    emulLabel.Width = columnWidth - emulImage.Width + 300;
    compLabel.Width = emulLabel.Width;

    const qint32 c = ui::LayoutStep(sx.Width / 2 + sx.Left);
    for (const char* name : InjectorColumn) {
        g[name].Left = float(c);
    }
    emulImage.Left = compImage.Left = float(c - 120);
    emulLabel.Left = emulImage.Left + emulImage.Width + 30;
    compLabel.Left = emulLabel.Left;

    ui::TwipsBox& service = g["CmdService"];
    const float y = float(ui::LayoutStep(sx.Top + sx.Height - service.Height - 300) + 75);
    for (const char* name : BottomRow) {
        g[name].Top = y;
    }

    const float firstRowTop = g[Indexed("LblInj", 0)].Top;
    const qint32 s = ui::LayoutStep((service.Top - firstRowTop) / 8);
    for (int i = 0; i < InjectorRows; ++i) {
        ui::TwipsBox& label = g[Indexed("LblInj", i)];
        label.Height = float(s - 45);
        label.Top = firstRowTop + float(i * s);
    }
    const qint32 h = ui::LayoutStep(g[Indexed("LblInj", 0)].Height / 2 - 30);
    const float barWidth = g["LblInjCmb"].Left - g[Indexed("InjPetBar", 0)].Left - 300;
    for (int i = 0; i < InjectorRows; ++i) {
        ui::TwipsBox& gas = g[Indexed("InjGasBar", i)];
        ui::TwipsBox& petrol = g[Indexed("InjPetBar", i)];
        const float rowTop = g[Indexed("LblInj", i)].Top;
        gas.Height = petrol.Height = float(h);
        gas.Width = petrol.Width = barWidth;
        petrol.Top = rowTop;
        gas.Top = rowTop + float(h) + 30;
    }

    for (const char* name : InjectorColumnLabels) {
        SetFont(g[name], set.labelSize, set.labelHeight);
    }

    ui::TwipsBox& heading = g["LblInjCmb"];
    ui::TwipsBox& petrolCaption = g["LblInjTPetrol"];
    ui::TwipsBox& gasCaption = g["LblInjTGas"];
    const qint32 t = ui::LayoutStep((service.Top - heading.Top) / 9);
    petrolCaption.Top = heading.Top + float(2 * t);
    gasCaption.Top = heading.Top + float(5 * t);
    g["CmbInj"].Top = heading.Top + heading.Height + 15;
    g["TxtInjTimePet(0)"].Top = petrolCaption.Top + petrolCaption.Height + 15;
    g["TxtInjTimeGas(0)"].Top = gasCaption.Top + gasCaption.Height + 15;

    compImage.Top = float(t * 82) / 10;
    compLabel.Top = compImage.Top + compImage.Height / 2 - compLabel.Height / 2 + 75;
    emulLabel.Top = compLabel.Top + compLabel.Height;
    emulImage.Top = emulLabel.Top + emulLabel.Height / 2 - emulImage.Height / 2 - 75;
}

// The controls the layout reads and places.
const QStringList& GeneralPageControls() {
    static const QStringList names = [] {
        QStringList list{"FrmPrincipe",   "ShpPrincipeSx", "ShpPrincipeDx", "ShpLevel",
                         "ImgLogo",       "LblParRpm",     "TxtRpm(0)",     "ImgLambda1",
                         "ImgLambda2",    "ShpLambda1",    "ShpLambda2",    "ImgEmulAttiva",
                         "ImgCompAttiva", "LblEmulAttiva", "LblCompAttiva"};
        for (const auto* group : {&Boxes, &Captions, &Units}) {
            for (const char* name : *group) {
                list << name;
            }
        }
        for (int i = 0; i < int(LampOffsets.size()); ++i) {
            list << Indexed("ShpLevAct", i);
        }
        for (const char* name : InjectorColumn) {
            list << name;
        }
        for (const char* name : BottomRow) {
            list << name;
        }
        for (int i = 0; i < InjectorRows; ++i) {
            list << Indexed("LblInj", i) << Indexed("InjPetBar", i) << Indexed("InjGasBar", i);
        }
        return list;
    }();
    return names;
}

} // namespace

void LayoutGeneralPage(ui::TwipsGeometry& page, float scaleWidth, float scaleHeight,
                       float outerHeight) {
    const FontSet& set = outerHeight > LargeSetAbove ? LargeSet : SmallSet;
    ui::TwipsBox& frame = page["FrmPrincipe"];
    frame.Left = 60;
    frame.Top = 900;
    frame.Width = scaleWidth - 540;
    frame.Height = scaleHeight - 1575;
    LayoutRightPanel(page, scaleWidth, scaleHeight, set);
    LayoutLeftPanel(page, set);
}

GeneralPageLayout::GeneralPageLayout(app::FrmLX735& window)
    : window_(window), frame_(ui::Bind<QWidget>(window, "FrmPrincipe")),
      controls_(window, "GeneralPageLayout", GeneralPageControls()) {}

void GeneralPageLayout::Layout() {
    ui::SetBackColor(frame_, support::ColorButtonFace);
    const ui::TwipsGeometry before = controls_.Read();
    ui::TwipsGeometry page = before;
    QWidget& client = *window_.centralWidget();
    LayoutGeneralPage(page, float(ui::WidthTwips(client)), float(ui::HeightTwips(client)),
                      float(ui::ToTwips(window_.frameGeometry().height())));
    controls_.Write(before, page);
}

} // namespace monitor
