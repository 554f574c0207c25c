#include "AppFixture.h"

#include "app/Controls.h"

namespace app_tests {

QString AppFixture::CaptionOf(const QString& name) const {
    return app::Caption(window->Control(name));
}

} // namespace app_tests
