#pragma once

// The test script's eyes: finding a control by the name a script line gives it, telling
// whether a user could reach it, and reading what it shows. The tab strip is read and
// clicked in one place (TabsOf, ClickTab), so that a strip of another build needs only
// these functions changed.

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

class QObject;
class QWidget;

namespace script {

// "Name" or "Name(i)": a control of the main window, else a window of that name;
// "Window.Control": a control of that window (a dialog, a modeless window). Menu items
// count as controls of the window whose menu bar holds them. nullptr when none.
QObject* FindNamed(QWidget& mainWindow, const QString& name);
// The elements of the array "Name" ("Name(*)" without the "(*)"), in index order.
QList<QObject*> FindArray(QWidget& mainWindow, const QString& name);

// Why a user could not reach the control: "hidden", "disabled", "covered by the modal
// dialog X"; "" when they can.
QString Unreachable(const QObject& control);

// What `read` records, in order: texts (written quoted), numbers, flags 0 or 1, the
// rectangle "x,y,w,h" and colours "#rrggbb".
struct Field {
    QString name;
    QString value;
    bool text = false;
};
QList<Field> ReadFields(QObject& control, bool colours = true);
// One field of ReadFields by name; "exists" is 1 when the control exists.
QString ReadField(QObject* control, const QString& field);

// A text in double quotes with \" \\ \r \n escaped.
QString Quoted(const QString& text);

// A grid's lines: "rows=R cols=C", its column headings "head ..." when shown, then one
// line a row ("0 ...", "1 ..."), each cell quoted. Empty when the control is no grid.
QStringList GridLines(QObject& control);
// A combo box's or a list's entries, each quoted; nothing when it has none to give.
std::optional<QStringList> ItemTexts(QObject& control);

// The tab strip.
struct Tab {
    QString caption;
    bool visible = true;
    bool enabled = true;
};
// Its tabs, hidden ones included; nothing when the widget is no tab strip.
std::optional<QList<Tab>> TabsOf(QWidget& strip);
// Why a user could not click tab index (counted with the hidden ones): "not a tab
// strip", "no tab 7", "the tab is hidden", "the tab is disabled"; "" when they can.
QString TabUnreachable(QWidget& strip, int index);
// Clicks the tab as a user does.
void ClickTab(QWidget& strip, int index);

} // namespace script
