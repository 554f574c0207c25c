#include "monitor/WindowControls.h"

#include <QWidget>

namespace monitor {

void ShowText(QLineEdit& box, const QString& text) {
    if (box.text() != text) {
        box.setText(text);
    }
}

void SetShown(QWidget& control, bool shown) {
    if (control.isHidden() == shown) {
        control.setVisible(shown);
    }
}

} // namespace monitor
