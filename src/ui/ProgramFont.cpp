#include "ui/ProgramFont.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

namespace ui {

bool SetProgramFont() {
    const bool installed = QFontDatabase::families().contains(ProgramFontFamily);
    QFont font = QApplication::font();
    font.setStyleHint(QFont::SansSerif);
    font.setFamilies({installed ? ProgramFontFamily : QStringLiteral("Sans Serif")});
    font.setPointSize(ProgramFontPoints);
    QApplication::setFont(font);
    return installed;
}

} // namespace ui
