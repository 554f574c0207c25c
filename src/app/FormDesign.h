#pragma once

// A dialog's designed controls built into the dialog itself: the design's top-level
// controls name the dialog "form" as their parent.

#include "app/ControlBuilder.h"

#include <span>

class QWidget;

namespace app {

void BuildForm(QWidget& form, std::span<const ControlDesc> design);

} // namespace app
