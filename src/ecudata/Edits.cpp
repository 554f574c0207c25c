#include "ecudata/Edits.h"

#include "ecudata/EcuImages.h"
#include "ecudata/EcuRequests.h"
#include "ecudata/ParamRecords.h"
#include <algorithm>

namespace ecudata {

bool BlockStates::SettingsRead() const {
    for (std::size_t b = 0; b < EditBlockCount; ++b) {
        if (EditBlock(b) != EditBlock::Emula && !read[b]) {
            return false;
        }
    }
    return true;
}

void BlockStates::WriteEnded(EditBlock b, bool ok, bool wasRefused) {
    const std::size_t i = std::size_t(b);
    if (ok) {
        refused[i] = told[i] = false;
    } else if (wasRefused) {
        refused[i] = true;
    }
}

std::array<bool, EditBlockCount> BlockStates::TakeUntold() {
    std::array<bool, EditBlockCount> untold{};
    for (std::size_t i = 0; i < EditBlockCount; ++i) {
        untold[i] = refused[i] && !told[i];
        told[i] = told[i] || untold[i];
    }
    return untold;
}

bool EditsPending(const EcuImages& images, const EcuRequests& r) {
    const bool compEdits = std::any_of(images.CompEdit.begin(), images.CompEdit.end(),
                                       [](const auto& edits) { return edits.Any(); });
    return Mem2EditsPending(images.Mem2Write) || Mem3EditsPending(images.Mem3Write) ||
           images.EmulaEdit.Any() || compEdits || r.InjSetMode > 0 || r.ModWriteCountdown > 0 ||
           r.ReqSaveFlash;
}

} // namespace ecudata
