#include "calibration/PageControls.h"

#include "calibration/ChartCanvas.h"
#include "calibration/NinePointModel.h"
#include "ui/ControlLook.h"
#include "ui/Controls.h"

#include <QLineEdit>

namespace calibration {

QWidget& BuildElement(QWidget& parent, const ui::ControlDesc& desc, int index) {
    return BuildElement(parent, desc, index, {desc.left, desc.top, desc.width, desc.height});
}

QWidget& BuildElement(QWidget& parent, ui::ControlDesc desc, int index, const QRect& twips) {
    desc.index = index;
    desc.count = 1;
    desc.left = twips.x();
    desc.top = twips.y();
    desc.width = twips.width();
    desc.height = twips.height();
    ui::ControlBuilder builder(parent);
    builder.AddParent(QString::fromUtf8(desc.parent), parent);
    QWidget& element = *builder.Build({&desc, 1}).front();
    element.show();
    return element;
}

QRect TwipsRect(const QWidget& control) {
    return {ui::LeftTwips(control), ui::TopTwips(control), ui::WidthTwips(control),
            ui::HeightTwips(control)};
}

QWidget* MakeChartCanvas(const ui::ControlDesc& desc, QWidget& parent) {
    return new ChartCanvas(parent, QString::fromUtf8(desc.name));
}

QWidget* MakeValueBox(const ui::ControlDesc&, QWidget& parent) {
    auto* box = new QLineEdit(&parent);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignCenter);
    box->setFrame(false);
    box->setProperty("Appearance", 0);
    ui::SetBackColor(*box, White);
    return box;
}

} // namespace calibration
