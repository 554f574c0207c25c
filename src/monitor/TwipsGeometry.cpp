#include "monitor/TwipsGeometry.h"

#include "app/Controls.h"
#include "support/Conversions.h"

#include <QFont>
#include <QWidget>
#include <cmath>

namespace monitor {

namespace {

int Twips(float value) {
    return static_cast<int>(std::lround(value));
}

} // namespace

qint32 LayoutStep(float value) {
    return static_cast<qint32>(support::RoundHalfEven(value));
}

TwipsGeometry ReadGeometry(QWidget& root, const QStringList& names) {
    TwipsGeometry geometry;
    for (const QString& name : names) {
        auto* control = qobject_cast<QWidget*>(app::FindControl(root, name));
        if (!control) {
            continue;
        }
        geometry[name] = {float(app::LeftTwips(*control)), float(app::TopTwips(*control)),
                          float(app::WidthTwips(*control)), float(app::HeightTwips(*control)),
                          float(control->font().pointSizeF())};
    }
    return geometry;
}

void WriteGeometry(QWidget& root, const TwipsGeometry& before, const TwipsGeometry& after) {
    for (const auto& [name, box] : after) {
        const auto old = before.find(name);
        if (old == before.end() || old->second == box) {
            continue; // not a control of the window, or unchanged
        }
        auto* control = qobject_cast<QWidget*>(app::FindControl(root, name));
        if (!control) {
            continue;
        }
        app::MoveTwips(*control, Twips(box.Left), Twips(box.Top), Twips(box.Width),
                       Twips(box.Height));
        if (box.FontSize > 0 && box.FontSize != old->second.FontSize) {
            QFont font = control->font();
            font.setPointSizeF(box.FontSize);
            control->setFont(font);
        }
    }
}

} // namespace monitor
