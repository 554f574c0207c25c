#pragma once

// What the calibration pages add to the one control builder (app::BuildOnMainWindow
// builds their designs on the main window): the elements of an array that a page adds
// while it runs, built one at a time and shown at once, and the factories of the pages'
// own kinds.

#include "ui/ControlBuilder.h"

#include <QPushButton>
#include <QRect>
#include <initializer_list>

class QWidget;

namespace calibration {

// Element index of the array desc describes (a built-in kind), made in parent at the
// desc's place or at twips, and shown.
QWidget& BuildElement(QWidget& parent, const ui::ControlDesc& desc, int index);
QWidget& BuildElement(QWidget& parent, ui::ControlDesc desc, int index, const QRect& twips);

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
        QObject::connect(&ui::Bind<QPushButton>(window, click.button), &QPushButton::clicked,
                         &context, [&page, handler = click.handler] { (page.*handler)(); });
    }
}

// The factories of the designs' custom rows: a chart canvas (the page fits it to its
// frame), and a value box of the model: read-only, centred, flat and white, in the
// style's own field; raised (its "Appearance" 1) while it is selected.
QWidget* MakeChartCanvas(const ui::ControlDesc& desc, QWidget& parent);
QWidget* MakeValueBox(const ui::ControlDesc& desc, QWidget& parent);

} // namespace calibration
