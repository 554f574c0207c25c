#include "AppFixture.h"

#include "ui/Controls.h"

namespace app_tests {

QString AppFixture::CaptionOf(const QString& name) const {
    return ui::Caption(window->Control(name));
}

} // namespace app_tests
