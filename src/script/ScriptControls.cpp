#include "script/ScriptControls.h"

#include "script/ScriptInput.h"
#include "ui/Controls.h"
#include "ui/TabStrip.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>

namespace script {

namespace {

// The window a control belongs to: menus are windows of their own (pop-ups), so a menu
// item belongs to the window under the menu bar.
QWidget* OwningWindow(const QObject* object) {
    for (const QObject* o = object; o; o = o->parent()) {
        const auto* widget = qobject_cast<const QWidget*>(o);
        if (widget && widget->isWindow() && widget->windowType() != Qt::Popup) {
            return const_cast<QWidget*>(widget);
        }
    }
    return nullptr;
}

QWidget* WindowNamed(const QString& name) {
    QWidget* found = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name && window->windowType() != Qt::Popup &&
            (!found || (!found->isVisible() && window->isVisible()))) {
            found = window;
        }
    }
    return found;
}

// The controls of the window with a name accepted by the test, not those of the
// dialogs it owns.
QList<QObject*> ControlsOf(QWidget& window, const std::function<bool(const QString&)>& named) {
    QList<QObject*> found;
    if (named(window.objectName())) {
        found << &window;
    }
    for (QObject* child : window.findChildren<QObject*>()) {
        if (named(child->objectName()) && OwningWindow(child) == &window) {
            found << child;
        }
    }
    return found;
}

QObject* ControlOf(QWidget& window, const QString& name) {
    const QList<QObject*> found =
        ControlsOf(window, [&name](const QString& own) { return own == name; });
    return found.value(0);
}

QString Flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// A menu item is shown and usable only with every menu above it.
bool ActionReachable(const QAction& action, bool (QAction::*test)() const) {
    if (!(action.*test)()) {
        return false;
    }
    for (const QObject* o = action.parent(); o; o = o->parent()) {
        if (const auto* menu = qobject_cast<const QMenu*>(o)) {
            if (!(menu->menuAction()->*test)()) {
                return false;
            }
        }
    }
    return true;
}

// The colours of the control's picture. The back: the colour that fills most of its
// interior; where a face is drawn as a gradient (rows of nearly as many pixels each),
// the one nearest its middle row. The fore: the commonest of the colours farthest from
// the back (the text's or the drawing's); none when nothing stands out.
std::pair<QColor, std::optional<QColor>> DrawnColours(QWidget& widget) {
    const QImage image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int margin = std::min({3, image.width() / 4, image.height() / 4});
    struct Seen {
        int count = 0;
        qint64 rows = 0; // the sum of the rows it shows in
    };
    std::map<QRgb, Seen> colours; // ordered: ties end the same way in every run
    for (int y = margin; y < image.height() - margin; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = margin; x < image.width() - margin; ++x) {
            Seen& seen = colours[line[x] | 0xff000000u];
            ++seen.count;
            seen.rows += y;
        }
    }
    int most = 0;
    for (const auto& [rgb, seen] : colours) {
        most = std::max(most, seen.count);
    }
    const double middle = (image.height() - 1) / 2.0;
    QRgb back = 0;
    double nearest = 1e9;
    for (const auto& [rgb, seen] : colours) {
        const double off = std::abs(double(seen.rows) / seen.count - middle);
        if (seen.count * 10 >= most * 9 && off < nearest) {
            back = rgb;
            nearest = off;
        }
    }
    const auto distance = [back](QRgb c) {
        return std::abs(qRed(c) - qRed(back)) + std::abs(qGreen(c) - qGreen(back)) +
               std::abs(qBlue(c) - qBlue(back));
    };
    int farthest = 0;
    for (const auto& [rgb, seen] : colours) {
        farthest = std::max(farthest, distance(rgb));
    }
    constexpr int Noticeable = 48;
    if (farthest < Noticeable) {
        return {QColor(back), std::nullopt};
    }
    QRgb fore = 0;
    int foreCount = -1;
    for (const auto& [rgb, seen] : colours) {
        if (distance(rgb) * 4 >= farthest * 3 && seen.count > foreCount) {
            fore = rgb;
            foreCount = seen.count;
        }
    }
    return {QColor(back), QColor(fore)};
}

QString TextOf(const QObject& control) {
    if (const auto* view = qobject_cast<const QAbstractItemView*>(&control)) {
        return view->currentIndex().data().toString();
    }
    if (const auto* strip = qobject_cast<const ui::TabStrip*>(&control)) {
        return strip->tabText(strip->currentIndex());
    }
    for (const char* name : {"text", "currentText", "plainText", "title"}) {
        const QVariant value = control.property(name);
        if (value.isValid()) {
            return value.toString();
        }
    }
    const auto* widget = qobject_cast<const QWidget*>(&control);
    return widget && widget->isWindow() ? widget->windowTitle() : QString();
}

std::optional<int> IndexOf(const QObject& control) {
    if (const auto* view = qobject_cast<const QAbstractItemView*>(&control)) {
        return view->currentIndex().row();
    }
    if (const auto* strip = qobject_cast<const ui::TabStrip*>(&control)) {
        return strip->currentIndex();
    }
    const QVariant index = control.property("currentIndex");
    return index.isValid() ? std::optional<int>(index.toInt()) : std::nullopt;
}

QWidget* TabStripIn(QWidget& window) {
    for (auto* strip : window.findChildren<QWidget*>()) {
        if (OwningWindow(strip) == &window && TabsOf(*strip)) {
            return strip;
        }
    }
    return nullptr;
}

void AddWindowFields(QWidget& window, QList<Field>& fields) {
    fields.append({"title", window.windowTitle(), true});
    QWidget* strip = TabStripIn(window);
    if (const auto tabs = strip ? TabsOf(*strip) : std::nullopt) {
        QStringList captions;
        for (const Tab& tab : *tabs) {
            if (tab.visible) {
                captions << tab.caption;
            }
        }
        fields.append({"tabs", captions.join('|'), true});
    }
}

void AddWidgetFields(QWidget& widget, QList<Field>& fields, bool colours) {
    fields.append({"visible", Flag(widget.isVisible())});
    fields.append({"enabled", Flag(widget.isEnabled())});
    const QPoint at = widget.isWindow() ? widget.pos() : widget.mapTo(widget.window(), QPoint());
    fields.append({"rect", QStringLiteral("%1,%2,%3,%4")
                               .arg(at.x())
                               .arg(at.y())
                               .arg(widget.width())
                               .arg(widget.height())});
    if (colours && widget.width() > 0 && widget.height() > 0) {
        const auto [back, fore] = DrawnColours(widget);
        fields.append({"back", back.name()});
        fields.append({"fore", fore ? fore->name() : QStringLiteral("none")});
    }
    // The keyboard focus as the program sees it: only in the active window.
    fields.append({"focus", Flag(widget.hasFocus())});
}

} // namespace

QString Quoted(const QString& text) {
    QString escaped = text;
    escaped.replace('\\', "\\\\").replace('"', "\\\"").replace('\r', "\\r").replace('\n', "\\n");
    return '"' + escaped + '"';
}

QObject* FindNamed(QWidget& mainWindow, const QString& name) {
    const int dot = name.indexOf('.');
    if (dot > 0) {
        QWidget* window = WindowNamed(name.left(dot));
        return window ? ControlOf(*window, name.mid(dot + 1)) : nullptr;
    }
    if (QObject* control = ControlOf(mainWindow, name)) {
        return control;
    }
    return WindowNamed(name);
}

QList<QObject*> FindArray(QWidget& mainWindow, const QString& name) {
    const int dot = name.indexOf('.');
    QWidget* window = dot > 0 ? WindowNamed(name.left(dot)) : &mainWindow;
    if (!window) {
        return {};
    }
    const QRegularExpression element("^" + QRegularExpression::escape(name.mid(dot + 1)) +
                                     "\\((\\d+)\\)$");
    std::map<int, QObject*> byIndex;
    for (QObject* control : ControlsOf(
             *window, [&element](const QString& own) { return element.match(own).hasMatch(); })) {
        byIndex.emplace(element.match(control->objectName()).captured(1).toInt(), control);
    }
    QList<QObject*> found;
    for (const auto& [index, control] : byIndex) {
        found << control;
    }
    return found;
}

QString Unreachable(const QObject& control) {
    if (const auto* action = qobject_cast<const QAction*>(&control)) {
        if (!ActionReachable(*action, &QAction::isVisible)) {
            return QStringLiteral("hidden");
        }
        if (!ActionReachable(*action, &QAction::isEnabled)) {
            return QStringLiteral("disabled");
        }
    } else if (const auto* widget = qobject_cast<const QWidget*>(&control)) {
        if (!widget->isVisible()) {
            return QStringLiteral("hidden");
        }
        if (!widget->isEnabled()) {
            return QStringLiteral("disabled");
        }
    }
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* window = OwningWindow(&control);
    // A modal dialog leaves its own controls and the windows it owns reachable.
    for (QWidget* w = window; w && modal; w = w->parentWidget()) {
        if (w == modal) {
            return {};
        }
    }
    return modal ? "covered by the modal dialog " + modal->objectName() : QString();
}

QList<Field> ReadFields(QObject& control, bool colours) {
    QList<Field> fields;
    auto* widget = qobject_cast<QWidget*>(&control);
    if (widget && widget->isWindow()) {
        AddWindowFields(*widget, fields);
    }
    fields.append({"text", TextOf(control), true});
    const QVariant value = control.property("value");
    if (value.isValid()) {
        fields.append({"value", value.toString()});
    }
    if (control.property("checkable").toBool()) {
        fields.append({"checked", Flag(control.property("checked").toBool())});
    }
    if (const std::optional<int> index = IndexOf(control)) {
        fields.append({"index", QString::number(*index)});
    }
    if (widget) {
        AddWidgetFields(*widget, fields, colours);
    } else if (const auto* action = qobject_cast<const QAction*>(&control)) {
        fields.append({"visible", Flag(ActionReachable(*action, &QAction::isVisible))});
        fields.append({"enabled", Flag(action->isEnabled())});
    }
    return fields;
}

QString ReadField(QObject* control, const QString& field) {
    if (field == QLatin1String("exists")) {
        return Flag(control != nullptr);
    }
    if (!control) {
        return {};
    }
    const bool colours = field == QLatin1String("back") || field == QLatin1String("fore");
    for (const Field& f : ReadFields(*control, colours)) {
        if (f.name == field) {
            return f.value;
        }
    }
    return {};
}

QStringList GridLines(QObject& control) {
    const auto* view = qobject_cast<const QAbstractItemView*>(&control);
    const QAbstractItemModel* model = view ? view->model() : nullptr;
    if (!model) {
        return {};
    }
    const int rows = model->rowCount();
    const int columns = model->columnCount();
    QStringList lines{QStringLiteral("rows=%1 cols=%2").arg(rows).arg(columns)};
    const auto* table = qobject_cast<const QTableView*>(view);
    if (table && table->horizontalHeader()->isVisible()) {
        QStringList cells;
        for (int c = 0; c < columns; ++c) {
            cells << Quoted(model->headerData(c, Qt::Horizontal).toString());
        }
        lines << "head " + cells.join(' ');
    }
    for (int r = 0; r < rows; ++r) {
        QStringList cells;
        for (int c = 0; c < columns; ++c) {
            cells << Quoted(model->index(r, c).data().toString());
        }
        lines << QString::number(r) + " " + cells.join(' ');
    }
    return lines;
}

std::optional<QStringList> ItemTexts(QObject& control) {
    QStringList items;
    if (const auto* combo = qobject_cast<const QComboBox*>(&control)) {
        for (int i = 0; i < combo->count(); ++i) {
            items << Quoted(combo->itemText(i));
        }
        return items;
    }
    const auto* view = qobject_cast<const QAbstractItemView*>(&control);
    if (!view || !view->model()) {
        return std::nullopt;
    }
    for (int r = 0; r < view->model()->rowCount(); ++r) {
        items << Quoted(view->model()->index(r, 0).data().toString());
    }
    return items;
}

// The program's strip (rows of tab buttons) and Qt's own, as a dialog may use.
std::optional<QList<Tab>> TabsOf(QWidget& strip) {
    QList<Tab> found;
    if (const auto* tabs = qobject_cast<const ui::TabStrip*>(&strip)) {
        for (int i = 0; i < tabs->count(); ++i) {
            found.append(
                {tabs->tabText(i), tabs->isTabVisible(i), tabs->TabButton(i)->isEnabled()});
        }
        return found;
    }
    const auto* tabWidget = qobject_cast<const QTabWidget*>(&strip);
    const QTabBar* bar = tabWidget ? tabWidget->tabBar() : qobject_cast<const QTabBar*>(&strip);
    if (!bar) {
        return std::nullopt;
    }
    for (int i = 0; i < bar->count(); ++i) {
        found.append({bar->tabText(i), bar->isTabVisible(i), bar->isTabEnabled(i)});
    }
    return found;
}

QString TabUnreachable(QWidget& strip, int index) {
    const std::optional<QList<Tab>> tabs = TabsOf(strip);
    if (!tabs) {
        return QStringLiteral("not a tab strip");
    }
    if (index < 0 || index >= tabs->size()) {
        return QStringLiteral("no tab %1").arg(index);
    }
    if (!(*tabs)[index].visible) {
        return QStringLiteral("the tab is hidden");
    }
    return (*tabs)[index].enabled ? QString() : QStringLiteral("the tab is disabled");
}

void ClickTab(QWidget& strip, int index) {
    if (auto* tabStrip = qobject_cast<ui::TabStrip*>(&strip)) {
        QPushButton& button = *tabStrip->TabButton(index);
        MouseClick(button, button.rect().center(), Qt::LeftButton, Qt::NoModifier);
        return;
    }
    auto* tabWidget = qobject_cast<QTabWidget*>(&strip);
    QTabBar* bar = tabWidget ? tabWidget->tabBar() : qobject_cast<QTabBar*>(&strip);
    if (bar) {
        MouseClick(*bar, bar->tabRect(index).center(), Qt::LeftButton, Qt::NoModifier);
    }
}

} // namespace script
