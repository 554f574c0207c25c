#include "app/FormDesign.h"

#include <QWidget>

namespace app {

void BuildForm(QWidget& form, std::span<const ControlDesc> design) {
    ControlBuilder builder(form);
    builder.AddParent("form", form);
    builder.Build(design);
}

} // namespace app
