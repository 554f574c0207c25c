#include "app/EditTexts.h"

#include "app/ProgramContext.h"
#include "support/Lingue.h"

#include <QDir>
#include <QStringList>

namespace app {

namespace {

const QString BlockSection = QStringLiteral("[ParamFileLoad]");
// The section's first entries belong to the load's message; the block names follow, in
// the order of ecudata::ParamBlock.
constexpr int FirstBlockEntry = 3;
const QStringList BlockNames = {
    QStringLiteral("Parameters, zone 2"),
    QStringLiteral("Parameters, zone 3"),
    QStringLiteral("Gas temperature compensation"),
    QStringLiteral("Reducer temperature compensation"),
    QStringLiteral("Reducer pressure compensation"),
    QStringLiteral("Leaning on acceleration"),
    QStringLiteral("Lambda emulation"),
    QStringLiteral("Correction table"),
};

const QString EditSection = QStringLiteral("[EditModel]");
const QStringList EditTexts = {
    QStringLiteral("The ECU's settings have not been read yet: there is nothing to save."),
    QStringLiteral("The ECU refuses the new values of:"),
    QStringLiteral("Your changes are kept and will be sent again."),
    QStringLiteral("The file %1 was loaded off-line only: it has not been sent to the ECU."),
};
enum EditText { SaveNotRead, Refuses, Kept, LoadedOffLine };

QString Text(const ProgramContext& ctx, const QString& section, const QStringList& fallback,
             int first, int entry) {
    const QStringList words =
        support::SectionTexts(ctx.ObjLingue, section, first + int(fallback.size()));
    const QString word = words.value(first + entry);
    return word.isEmpty() ? fallback.value(entry) : word;
}

QString Edit(const ProgramContext& ctx, EditText entry) {
    return Text(ctx, EditSection, EditTexts, 0, entry);
}

ecudata::ParamBlock ParamBlockOf(ecudata::EditBlock block) {
    using E = ecudata::EditBlock;
    using P = ecudata::ParamBlock;
    switch (block) {
    case E::Mem2:
        return P::Mem2;
    case E::Mem3:
        return P::Mem3;
    case E::Emula:
        return P::Emulation;
    case E::Correction:
        return P::Correction;
    default:
        return P(int(P::CompGasTemp) + int(block) - int(E::CompGasTemp));
    }
}

} // namespace

QString BlockName(const ProgramContext& ctx, ecudata::ParamBlock block) {
    return Text(ctx, BlockSection, BlockNames, FirstBlockEntry, int(block));
}

QString BlockName(const ProgramContext& ctx, ecudata::EditBlock block) {
    return BlockName(ctx, ParamBlockOf(block));
}

QString SaveNotReadText(const ProgramContext& ctx) {
    return Edit(ctx, SaveNotRead);
}

QString RefusedText(const ProgramContext& ctx,
                    const std::array<bool, ecudata::EditBlockCount>& blocks) {
    QString message = Edit(ctx, Refuses);
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        if (blocks[b]) {
            message += "\r\n- " + BlockName(ctx, ecudata::EditBlock(b));
        }
    }
    return message + "\r\n\r\n" + Edit(ctx, Kept);
}

QString LoadedOffLineText(const ProgramContext& ctx, const QString& path) {
    return Edit(ctx, LoadedOffLine).arg(QDir::toNativeSeparators(path));
}

} // namespace app
