#pragma once

// What the installer is told about the edits: a save refused before the ECU was read, a
// value the ECU refuses, a queued file that was loaded off-line only. The texts come from
// the dictionary's section in the current language, these where it has none.

#include "ecudata/Edits.h"
#include "ecudata/ParamFile.h"

#include <QString>
#include <array>

namespace app {

struct ProgramContext;

// The name of a block of the ECU's settings, as the parameter-file messages give it.
QString BlockName(const ProgramContext& ctx, ecudata::ParamBlock block);
QString BlockName(const ProgramContext& ctx, ecudata::EditBlock block);

QString SaveNotReadText(const ProgramContext& ctx);
// The blocks whose writes the ECU refuses, named one a line.
QString RefusedText(const ProgramContext& ctx,
                    const std::array<bool, ecudata::EditBlockCount>& blocks);
QString LoadedOffLineText(const ProgramContext& ctx, const QString& path);

} // namespace app
