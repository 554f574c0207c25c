#include "LiveWindowRig.h"

#include "common/FillUnwired.h"
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QPixmap>

namespace monitor_test {

LiveWindowRig::LiveWindowRig() : LiveWindowRig(std::function<void()>()) {}

LiveWindowRig::LiveWindowRig(const std::function<void()>& beforeShow) {
    StageProgram();
    Prepare();
    context->DecimalSep = ",";
    BuildWindow(true);
    if (beforeShow) {
        beforeShow();
    }
    testing_support::FillUnwiredWithNothing(services, monitor->hooks);
    window->Show();
}

std::string LiveWindowRig::DrawnBack(const QString& name) {
    const QImage image = Widget(name).grab().toImage();
    return image.isNull() ? "none" : image.pixelColor(image.width() - 2, 1).name().toStdString();
}

std::string LiveWindowRig::ButtonFace() {
    return QGuiApplication::palette().color(QPalette::Button).name().toStdString();
}

std::string LiveWindowRig::ButtonShadow() {
    return QGuiApplication::palette().color(QPalette::Dark).name().toStdString();
}

} // namespace monitor_test
