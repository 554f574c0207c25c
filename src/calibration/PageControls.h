#pragma once

// The calibration pages build their controls on the main window through the one control
// builder. A design's parents are the window's client area ("client"), its tabs ("Tab0"
// to "Tab5") and its controls by name. A control the window already holds is adopted and
// keeps whether it was shown: the developer's controls stay hidden in the installer's
// view wherever a page moves them. The elements of an array that a page adds while it
// runs are built one at a time and shown at once.

#include "app/ControlBuilder.h"

#include <QPushButton>
#include <QRect>
#include <initializer_list>
#include <span>
#include <vector>

class QWidget;

namespace app {
class FrmLX735;
}

namespace calibration {

// Builds design on window in order; custom makes its ControlKind::Custom rows.
std::vector<QWidget*> BuildOnWindow(app::FrmLX735& window, std::span<const app::ControlDesc> design,
                                    const app::ControlBuilder::MakeCustom& custom = {});

// Element index of the array desc describes (a built-in kind), made in parent at the
// desc's place or at twips, and shown.
QWidget& BuildElement(QWidget& parent, const app::ControlDesc& desc, int index);
QWidget& BuildElement(QWidget& parent, app::ControlDesc desc, int index, const QRect& twips);

// A control's place in its parent, in twips.
QRect TwipsRect(const QWidget& control);

// A button's click and the handler of page it runs.
template <class Page> struct Click {
    const char* button;
    void (Page::*handler)();
};

// Connects each button of window to its handler, for as long as context lives.
template <class Page>
void ConnectClicks(QWidget& window, const QObject& context, Page& page,
                   std::initializer_list<Click<Page>> clicks) {
    for (const Click<Page>& click : clicks) {
        QObject::connect(&app::Bind<QPushButton>(window, click.button), &QPushButton::clicked,
                         &context, [&page, handler = click.handler] { (page.*handler)(); });
    }
}

// The factories of the designs' custom rows: a chart canvas (the page fits it to its
// frame), and a value box of the model: read-only, centred, flat and white, in the
// style's own field; raised (its "Appearance" 1) while it is selected.
QWidget* MakeChartCanvas(const app::ControlDesc& desc, QWidget& parent);
QWidget* MakeValueBox(const app::ControlDesc& desc, QWidget& parent);

} // namespace calibration
