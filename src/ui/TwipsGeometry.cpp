#include "ui/TwipsGeometry.h"

#include "support/Conversions.h"
#include "ui/ControlBuilder.h"

#include <QFont>
#include <QWidget>
#include <cmath>

namespace ui {

namespace {

int Twips(float value) {
    return static_cast<int>(std::lround(value));
}

TwipsBox ReadBox(const QWidget& control) {
    return {float(ui::LeftTwips(control)), float(ui::TopTwips(control)),
            float(ui::WidthTwips(control)), float(ui::HeightTwips(control)),
            float(control.font().pointSizeF())};
}

void WriteBox(QWidget& control, const TwipsBox& before, const TwipsBox& box) {
    ui::MoveTwips(control, Twips(box.Left), Twips(box.Top), Twips(box.Width), Twips(box.Height));
    if (box.FontSize > 0 && box.FontSize != before.FontSize) {
        QFont font = control.font();
        font.setPointSizeF(box.FontSize);
        control.setFont(font);
    }
}

} // namespace

qint32 LayoutStep(float value) {
    return static_cast<qint32>(support::RoundHalfEven(value));
}

LayoutControls::LayoutControls(QWidget& root, QString layout, const QStringList& names)
    : layout_(std::move(layout)) {
    for (const QString& name : names) {
        controls_[name] = &ui::Bind<QWidget>(root, name);
    }
}

TwipsGeometry LayoutControls::Read() const {
    TwipsGeometry geometry;
    for (const auto& [name, control] : controls_) {
        geometry[name] = ReadBox(*control);
    }
    return geometry;
}

void LayoutControls::Write(const TwipsGeometry& before, const TwipsGeometry& after) const {
    for (const auto& [name, box] : after) {
        const auto control = controls_.find(name);
        const auto old = before.find(name);
        if (control == controls_.end() || old == before.end()) {
            qFatal("The layout %s computes %s, which is none of its controls", qPrintable(layout_),
                   qPrintable(name));
        }
        if (old->second != box) {
            WriteBox(*control->second, old->second, box);
        }
    }
}

} // namespace ui
