#include "monitor/TwipsGeometry.h"

#include "app/ControlBuilder.h"
#include "support/Conversions.h"

#include <QFont>
#include <QWidget>
#include <cmath>

namespace monitor {

namespace {

int Twips(float value) {
    return static_cast<int>(std::lround(value));
}

TwipsBox ReadBox(const QWidget& control) {
    return {float(app::LeftTwips(control)), float(app::TopTwips(control)),
            float(app::WidthTwips(control)), float(app::HeightTwips(control)),
            float(control.font().pointSizeF())};
}

void WriteBox(QWidget& control, const TwipsBox& before, const TwipsBox& box) {
    app::MoveTwips(control, Twips(box.Left), Twips(box.Top), Twips(box.Width), Twips(box.Height));
    if (box.FontSize > 0 && box.FontSize != before.FontSize) {
        QFont font = control.font();
        font.setPointSizeF(box.FontSize);
        control.setFont(font);
    }
}

// Writes each box that differs from before through the control found for its name.
template <class Find>
void WriteChanged(const TwipsGeometry& before, const TwipsGeometry& after, const Find& find) {
    for (const auto& [name, box] : after) {
        const auto old = before.find(name);
        if (old == before.end() || old->second == box) {
            continue; // not a control of the window, or unchanged
        }
        if (QWidget* control = find(name)) {
            WriteBox(*control, old->second, box);
        }
    }
}

} // namespace

qint32 LayoutStep(float value) {
    return static_cast<qint32>(support::RoundHalfEven(value));
}

TwipsGeometry ReadGeometry(QWidget& root, const QStringList& names) {
    TwipsGeometry geometry;
    for (const QString& name : names) {
        if (auto* control = qobject_cast<QWidget*>(app::FindControl(root, name))) {
            geometry[name] = ReadBox(*control);
        }
    }
    return geometry;
}

void WriteGeometry(QWidget& root, const TwipsGeometry& before, const TwipsGeometry& after) {
    WriteChanged(before, after, [&root](const QString& name) {
        return qobject_cast<QWidget*>(app::FindControl(root, name));
    });
}

LayoutControls::LayoutControls(QWidget& root, const QStringList& names) {
    for (const QString& name : names) {
        controls_[name] = &app::Bind<QWidget>(root, name);
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
    WriteChanged(before, after, [this](const QString& name) {
        const auto found = controls_.find(name);
        return found == controls_.end() ? nullptr : found->second;
    });
}

} // namespace monitor
