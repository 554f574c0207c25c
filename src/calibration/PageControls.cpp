#include "calibration/PageControls.h"

#include "app/Controls.h"
#include "app/FrmLX735.h"
#include "calibration/ChartCanvas.h"
#include "calibration/NinePointModel.h"
#include "monitor/ControlLook.h"

#include <QLineEdit>
#include <QSet>

namespace calibration {

namespace {

// The widget a design's parent name stands for on the main window.
QWidget& WindowParent(app::FrmLX735& window, const QString& name) {
    if (name == QLatin1String("client")) {
        return *window.centralWidget();
    }
    if (name.startsWith(QLatin1String("Tab"))) {
        bool number = false;
        const int tab = name.mid(3).toInt(&number);
        if (number && window.Page(tab)) {
            return *window.Page(tab);
        }
    }
    return app::Bind<QWidget>(window, name);
}

} // namespace

std::vector<QWidget*> BuildOnWindow(app::FrmLX735& window, std::span<const app::ControlDesc> design,
                                    const app::ControlBuilder::MakeCustom& custom) {
    app::ControlBuilder builder(window);
    QSet<QString> built;
    QSet<QString> parents;
    struct Adopted {
        QWidget* control;
        QWidget* parent;
        bool shown;
    };
    std::vector<Adopted> adopted;
    for (const app::ControlDesc& desc : design) {
        const QString parent = QString::fromUtf8(desc.parent);
        if (!built.contains(parent) && !parents.contains(parent)) {
            parents.insert(parent);
            builder.AddParent(parent, WindowParent(window, parent));
        }
        for (int element = 0; element < std::max(1, desc.count); ++element) {
            const QString name = app::DescName(desc, element);
            built.insert(name);
            if (auto* control = qobject_cast<QWidget*>(app::FindControl(window, name))) {
                adopted.push_back({control, control->parentWidget(),
                                   control->isVisibleTo(control->parentWidget())});
            }
        }
    }
    std::vector<QWidget*> controls = builder.Build(design, custom);
    // The builder shows a control it moves to another parent.
    for (const Adopted& a : adopted) {
        if (a.control->parentWidget() != a.parent) {
            a.control->setVisible(a.shown);
        }
    }
    return controls;
}

QWidget& BuildElement(QWidget& parent, const app::ControlDesc& desc, int index) {
    return BuildElement(parent, desc, index, {desc.left, desc.top, desc.width, desc.height});
}

QWidget& BuildElement(QWidget& parent, app::ControlDesc desc, int index, const QRect& twips) {
    desc.index = index;
    desc.count = 1;
    desc.left = twips.x();
    desc.top = twips.y();
    desc.width = twips.width();
    desc.height = twips.height();
    app::ControlBuilder builder(parent);
    builder.AddParent(QString::fromUtf8(desc.parent), parent);
    QWidget& element = *builder.Build({&desc, 1}).front();
    element.show();
    return element;
}

QRect TwipsRect(const QWidget& control) {
    return {app::LeftTwips(control), app::TopTwips(control), app::WidthTwips(control),
            app::HeightTwips(control)};
}

QWidget* MakeChartCanvas(const app::ControlDesc& desc, QWidget& parent) {
    return new ChartCanvas(parent, QString::fromUtf8(desc.name));
}

QWidget* MakeValueBox(const app::ControlDesc&, QWidget& parent) {
    auto* box = new QLineEdit(&parent);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignCenter);
    box->setFrame(false);
    box->setProperty("Appearance", 0);
    monitor::SetBackColor(*box, White);
    return box;
}

} // namespace calibration
