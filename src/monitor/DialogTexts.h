#pragma once

// Captions of the small windows from their dictionary section: the entry whose text in
// language 0 is the window's marker ("[FrmErrEcu]"), then the entries that follow it in
// the current language, in a fixed order. Every language holds the markers at the same
// entry numbers.

#include <QString>
#include <QStringList>

class QWidget;

namespace support {
class ClsLingue;
}

namespace monitor {

// The count entries after the marker; empty when the dictionary has no such marker (the
// window then keeps its designed captions).
QStringList DialogTexts(const support::ClsLingue& lingue, const QString& marker, int count);

// The window's icon from LNG/ico.img when that file is there.
void LoadDialogIcon(QWidget& window, const QString& appFolder);

} // namespace monitor
