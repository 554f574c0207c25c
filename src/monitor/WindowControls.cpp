#include "monitor/WindowControls.h"

#include <QWidget>

namespace monitor {

void SetShown(QWidget& control, bool shown) {
    if (control.isHidden() == shown) {
        control.setVisible(shown);
    }
}

} // namespace monitor
