#include "firmware/FrmUpdateDesign.h"

#include "ui/ControlBuilder.h"
#include "ui/ControlLook.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace firmware {

namespace {

constexpr int WindowWidth = 8100;
constexpr int WindowHeight = 5400;
// FmeBack stands this far inside the window's edges.
constexpr int BackMargin = 60;

using ui::ControlKind;

constexpr int Inner = 300;
constexpr int CaptionWidth = 2700;
constexpr int ValueLeft = Inner + CaptionWidth;
constexpr int ValueWidth = WindowWidth - Inner - ValueLeft;
constexpr int RowHeight = 375;
constexpr int MsgTop = 1500;
constexpr int MsgWidth = WindowWidth - 2 * Inner;
constexpr int MsgHeight = 2400;
constexpr int BottomTop = 4200;
constexpr int BottomHeight = 615;
constexpr int ButtonWidth = 1800;

// Controls in creation order: FmeBack behind the rest, the progress bar over its strip.
const ui::ControlDesc Design[] = {
    {ui::ControlKind::Shape, "FmeBack", -1, "FrmUpdate", "", BackMargin, BackMargin,
     WindowWidth - 2 * BackMargin, WindowHeight - 2 * BackMargin},
    {ui::ControlKind::Label, "LblRelEcu", -1, "FrmUpdate", "", Inner, Inner, CaptionWidth,
     RowHeight},
    {ui::ControlKind::Label, "LblRelFle", -1, "FrmUpdate", "", Inner, Inner + 2 * RowHeight,
     CaptionWidth, RowHeight},
    {ui::ControlKind::Label, "LblRelEcu_Val", -1, "FrmUpdate", "", ValueLeft, Inner, ValueWidth,
     RowHeight},
    {ui::ControlKind::Label, "LblRelFle_Val", -1, "FrmUpdate", "", ValueLeft, Inner + 2 * RowHeight,
     ValueWidth, RowHeight},
    {ui::ControlKind::Label, "LblMsg", -1, "FrmUpdate", "", Inner, MsgTop, MsgWidth, MsgHeight},
    {ui::ControlKind::Button, "CmdUpdate", -1, "FrmUpdate", "Next", Inner, BottomTop, ButtonWidth,
     BottomHeight},
    {ui::ControlKind::Button, "CmdEsc", -1, "FrmUpdate", "Esc", WindowWidth - Inner - ButtonWidth,
     BottomTop, ButtonWidth, BottomHeight},
    {ui::ControlKind::Label, "LblBackBar", -1, "FrmUpdate", "", Inner, BottomTop, MsgWidth,
     BottomHeight},
    {ui::ControlKind::Custom, "ShpBarUpDate", -1, "FrmUpdate", "", Inner, BottomTop, 0,
     BottomHeight},
};

// BGR colours.
constexpr quint32 LightRed = 0x8080FF;
constexpr quint32 LightOrange = 0x80C0FF;
constexpr quint32 White = 0xFFFFFF;
constexpr quint32 BarColor = 0xC08000;

constexpr struct {
    const char* name;
    quint32 back;
} BackColors[] = {{"FmeBack", support::ColorButtonFace},
                  {"LblRelEcu_Val", LightRed},
                  {"LblRelFle_Val", LightOrange},
                  {"LblMsg", White},
                  // The buttons keep their own face: the window's blinking colour is not theirs.
                  {"CmdUpdate", support::ColorButtonFace},
                  {"CmdEsc", support::ColorButtonFace},
                  {"LblBackBar", White}};

void SetFont(QLabel& label, double points, bool bold) {
    QFont font = label.font();
    font.setPointSizeF(points);
    font.setBold(bold);
    label.setFont(font);
}

// The progress bar is a plain fill of its colour, without the shape's box.
QWidget* MakeBar(const ui::ControlDesc&, QWidget& parent) {
    return new QFrame(&parent);
}

void ApplyDesignDetails(QWidget& window) {
    for (const auto& [name, back] : BackColors) {
        ui::SetBackColor(ui::Bind<QWidget>(window, name), back);
    }
    auto& message = ui::Bind<QLabel>(window, "LblMsg");
    message.setWordWrap(true);
    message.setAlignment(Qt::AlignCenter);
    SetFont(message, 12, true);
    auto& strip = ui::Bind<QLabel>(window, "LblBackBar");
    strip.setAlignment(Qt::AlignCenter);
    SetFont(strip, 19.5, false);
    ui::SetFillColor(ui::Bind<QFrame>(window, "ShpBarUpDate"), BarColor);
    for (const char* name : {"CmdUpdate", "CmdEsc"}) {
        ui::Bind<QPushButton>(window, name).setAutoDefault(false);
    }
}

} // namespace

void BuildUpdateControls(QWidget& window) {
    window.setFixedSize(ui::ToPixels(WindowWidth), ui::ToPixels(WindowHeight));
    ui::SetBackColor(window, Orange);
    ui::ControlBuilder(window).Build(Design, MakeBar);
    ApplyDesignDetails(window);
}

} // namespace firmware
