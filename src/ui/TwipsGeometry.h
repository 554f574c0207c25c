#pragma once

// The geometry the page layouts compute: position, size and font size of named controls,
// in twips and points, in single precision as the layouts calculate. The layouts are pure
// functions on this model; LayoutControls moves it from and to the window's controls,
// converting to pixels only there.

#include <QString>
#include <QStringList>
#include <map>

class QWidget;

namespace ui {

struct TwipsBox {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
    float FontSize = 0; // points

    bool operator==(const TwipsBox&) const = default;
};

// Controls by name ("TxtRpm(0)").
using TwipsGeometry = std::map<QString, TwipsBox>;

// The nearest whole number of a single-precision quotient, a half to the even one: the
// integer steps of the layouts.
qint32 LayoutStep(float value);

// A layout's controls, bound by name once, when the layout is made: a name root lacks
// stops the program. Read gives their geometry relative to their parents; Write writes
// what differs from before: geometry rounded to whole twips, then pixels. A name the
// layout computed that is none of its controls (a misspelt key) stops the program, naming
// the key and the layout.
class LayoutControls {
public:
    LayoutControls(QWidget& root, QString layout, const QStringList& names);

    TwipsGeometry Read() const;
    void Write(const TwipsGeometry& before, const TwipsGeometry& after) const;

private:
    QString layout_;
    std::map<QString, QWidget*> controls_;
};

} // namespace ui
