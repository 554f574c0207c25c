#include "ecudata/Edits.h"

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

} // namespace ecudata
