#include "support/ProgramTexts.h"

#include "support/Lingue.h"

#include <QStringList>

namespace support {

namespace {

// The English texts, in the order of ProgramText.
const QStringList EnglishTexts = {
    QStringLiteral("Next"),
    QStringLiteral("Esc"),
    QStringLiteral("Erase"),
    QStringLiteral("Cancel"),
    QStringLiteral("Open"),
    QStringLiteral("Save"),
    QStringLiteral("Reset"),
    QStringLiteral("Compute"),
    QStringLiteral("Compensation"),
    QStringLiteral("Up"),
    QStringLiteral("Down"),
    QStringLiteral("Run"),
    QStringLiteral("Stop"),
    QStringLiteral("Reload"),
    QStringLiteral("Export"),
    QStringLiteral("Setting"),
    QStringLiteral(" Cilinder && Coil "),
    QStringLiteral("CYLINDER"),
    QStringLiteral("COIL"),
    QStringLiteral("T Inj Gas"),
    QStringLiteral("T Inj Benz"),
    QStringLiteral("Vacuum"),
    QStringLiteral("Press"),
    QStringLiteral("Lambda"),
    QStringLiteral("Rpm"),
    QStringLiteral("Temp Inj"),
    QStringLiteral("Temp Gas"),
    QStringLiteral("%1: %2. The map shown is kept."),
    QStringLiteral("the file is damaged: line %1 %2"),
    QStringLiteral("holds no number"),
    QStringLiteral("holds %1, outside 0 to %2 %3"),
    QStringLiteral("the file cannot be read: %1"),
    QStringLiteral("The map could not be saved to %1: %2"),
    QStringLiteral("Blocks not written: %1"),
    QStringLiteral("The link to the ECU is down. The update goes on once it is back; Esc "
                   "leaves it and closes the program."),
    QStringLiteral("The log %1 could not be written: %2. Nothing more is added to it."),
    QStringLiteral("The parameter file %1 could not be written: %2."),
    QStringLiteral("The parameter file %1 was not loaded: %2. Nothing was changed."),
    QStringLiteral("The language choice could not be saved to %1: %2."),
    QStringLiteral("The port choice could not be saved to %1: %2. It holds until the program "
                   "closes."),
    QStringLiteral("The link log cannot be written: %1: %2"),
    QStringLiteral("The operating-point log cannot be started: %1: %2"),
    QStringLiteral("The calibration parameters %1 of LNG/ConfigScale.ini would divide by zero; "
                   "their defaults are used."),
    QStringLiteral("The injection model gives a correction the ECU cannot take (check the "
                   "points' times and slope). The correction table was not changed."),
    QStringLiteral("%1: values out of range, limited to what the viewer shows: %2."),
    QStringLiteral("%1 holds no samples: it is neither a link log nor a formatted log."),
    QStringLiteral("The firmware image or the flash map BIN/Flash.ini cannot be read."),
};
static_assert(int(ProgramText::ViewChannel7) == int(ProgramText::ViewChannel0) + 7);

QStringList& CurrentTexts() {
    static QStringList texts = EnglishTexts;
    return texts;
}

} // namespace

QString ProgramTextsSection() {
    return QStringLiteral("[ProgramTexts]");
}

QString Text(ProgramText text) {
    Q_ASSERT(EnglishTexts.size() == int(ProgramText::Count));
    return CurrentTexts().value(int(text));
}

void ApplyProgramTexts(const ClsLingue& lingue) {
    CurrentTexts() = SectionTexts(lingue, ProgramTextsSection(), EnglishTexts);
}

} // namespace support
