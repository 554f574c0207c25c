#pragma once

// Helpers for the controls of the program's windows: geometry in twips (15 per pixel),
// converted only here; captions and tool tips set whatever the control's kind; and the
// look-up of a control by its name ("CmdMapSave", or "LblSignal(3)" for element 3 of a
// control array).

#include <QString>

class QObject;
class QWidget;

namespace ui {

constexpr int TwipsPerPixel = 15;

constexpr int ToPixels(int twips) {
    return twips >= 0 ? (twips + TwipsPerPixel / 2) / TwipsPerPixel
                      : -((-twips + TwipsPerPixel / 2) / TwipsPerPixel);
}
constexpr int ToTwips(int pixels) {
    return pixels * TwipsPerPixel;
}

// The name of element index of a control array.
QString ArrayName(const QString& name, int index);

// Position and size relative to the parent, in twips.
void MoveTwips(QWidget& control, int left, int top, int width, int height);
int LeftTwips(const QWidget& control);
int TopTwips(const QWidget& control);
int WidthTwips(const QWidget& control);
int HeightTwips(const QWidget& control);
void SetLeftTwips(QWidget& control, int left);
void SetTopTwips(QWidget& control, int top);
void SetWidthTwips(QWidget& control, int width);
void SetHeightTwips(QWidget& control, int height);

// The first object below root (root included) with that name; nullptr when none.
QObject* FindControl(QObject& root, const QString& name);

// The caption of a label, button, check or option box, frame, menu or menu item; the
// text of a text box. Nothing for other kinds.
void SetCaption(QObject* control, const QString& text);
QString Caption(const QObject* control);
void SetToolTip(QObject* control, const QString& text);

} // namespace ui
