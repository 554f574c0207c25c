#include "app/CalibrationTexts.h"

#include "app/ProgramContext.h"
#include "support/Lingue.h"

namespace app {

namespace {

const QString Section = QStringLiteral("[CalibrationTexts]");
// In the order of CalibrationText.
const QStringList Fallbacks = {
    QStringLiteral("The calibration's result is stored in the ECU."),
    QStringLiteral("A cell holds %1 V to %2 V: the cells take %3 V."),
};

} // namespace

QString TextOf(const ProgramContext& ctx, CalibrationText entry) {
    return support::SectionTexts(ctx.ObjLingue, Section, Fallbacks).value(int(entry));
}

} // namespace app
