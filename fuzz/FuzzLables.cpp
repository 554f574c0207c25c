// The label-layout file LNG/Lables.cfg over a window holding controls of the names it
// addresses (a label, a control array element, the tab strip and the viewer button):
// any bytes are applied without harm, whatever sizes, places and colours they ask for.

#include "FuzzSupport.h"

#include "app/LablesFile.h"
#include "ui/TabStrip.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace {

struct Window {
    Window() {
        window.resize(800, 600);
        label->setObjectName(QStringLiteral("LblSupVoltage"));
        status->setObjectName(QStringLiteral("TxtStatusBar(2)"));
        view->setObjectName(QStringLiteral("CmdView"));
        tabs->setObjectName(QStringLiteral("SstMain"));
        for (int i = 0; i < 6; ++i) {
            tabs->addTab(new QWidget(tabs), QString::number(i));
        }
    }

    QWidget window;
    // Owned by the window.
    QLabel* label = new QLabel(&window);
    QLineEdit* status = new QLineEdit(&window);
    QPushButton* view = new QPushButton(&window);
    ui::TabStrip* tabs = new ui::TabStrip(&window);
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzz::WriteInput(QStringLiteral("/LNG/Lables.cfg"), data, size);
    Window w;
    app::ApplyLablesMainPage(w.window, path);
    app::ApplyLablesStatusBar(w.window, path);
    FUZZ_CHECK(!w.tabs->isTabVisible(4));
    for (QWidget* control : {static_cast<QWidget*>(w.label), static_cast<QWidget*>(w.status)}) {
        FUZZ_CHECK(control->width() >= 0 && control->height() >= 0);
    }
    return 0;
}
