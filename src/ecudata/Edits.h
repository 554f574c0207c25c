#pragma once

// The installer's edits. Every block the installer edits is the ECU's last read plus the
// pending edits of its fields: pages show that merge, a write sends it as it stands when
// it goes out, a read never replaces a field that has an edit pending. An edit holds the
// value the installer chose (a byte, a cell, a bit's wanted state), never a difference,
// so a write sent again after a reply in doubt cannot undo it.
//
// A write carries a snapshot of its block's edits. Its success clears each carried field
// whose edit is still the carried value (a field edited again meanwhile stays pending);
// a refused or lost write keeps them all.

#include <QtGlobal>
#include <array>
#include <cstddef>

namespace ecudata {

struct EcuImages;
struct EcuRequests;

// One block's pending edits, element by element.
template <class T, std::size_t N> struct BlockEdits {
    std::array<T, N> value{};
    std::array<bool, N> edited{};

    bool Any() const {
        for (const bool e : edited) {
            if (e) {
                return true;
            }
        }
        return false;
    }
    void Set(std::size_t i, T v) {
        value[i] = v;
        edited[i] = true;
    }
    // Every element of whole that differs from read becomes an edit.
    void SetWhole(const std::array<T, N>& whole, const std::array<T, N>& read) {
        for (std::size_t i = 0; i < N; ++i) {
            if (whole[i] != read[i] || edited[i]) {
                Set(i, whole[i]);
            }
        }
    }
    std::array<T, N> Merge(const std::array<T, N>& read) const {
        std::array<T, N> out = read;
        for (std::size_t i = 0; i < N; ++i) {
            if (edited[i]) {
                out[i] = value[i];
            }
        }
        return out;
    }
    void ClearCarried(const BlockEdits& carried) {
        for (std::size_t i = 0; i < N; ++i) {
            if (carried.edited[i] && edited[i] && value[i] == carried.value[i]) {
                edited[i] = false;
            }
        }
    }
    void Clear() { edited.fill(false); }
};

// The blocks the installer edits, each read (or refused) on its own.
enum class EditBlock {
    Mem2,
    Mem3,
    Emula,
    CompGasTemp, // the compensation tables in the order of their ids 1..4
    CompRidTemp,
    CompPress,
    CompSmag,
    Correction,
};
inline constexpr std::size_t EditBlockCount = 8;

inline EditBlock CompBlock(int id) {
    return EditBlock(int(EditBlock::CompGasTemp) + id - 1);
}

// Which blocks hold what the ECU (or a file loaded off-line) gave, and whose writes the
// ECU refused. A block stays read through a link restart: its editors go on showing the
// last read with the pending edits.
struct BlockStates {
    std::array<bool, EditBlockCount> read{};
    // A write refused since the block's last good write; told once until that.
    std::array<bool, EditBlockCount> refused{};
    std::array<bool, EditBlockCount> told{};

    bool Read(EditBlock b) const { return read[std::size_t(b)]; }
    void SetRead(EditBlock b) { read[std::size_t(b)] = true; }
    // Every block a parameter file must carry: the records, the compensation tables and
    // the correction table (a file may lack the emulation block).
    bool SettingsRead() const;

    // The end of a write of the block: a good one clears its refusal; a failed one whose
    // every try the ECU answered with a refusal marks it.
    void WriteEnded(EditBlock b, bool ok, bool refused);
    // The refused blocks not yet told; marks them told.
    std::array<bool, EditBlockCount> TakeUntold();
};

// Whether anything the installer did has yet to reach the ECU: a block with edits, an
// injector set-up step, a model write, a flash save.
bool EditsPending(const EcuImages& images, const EcuRequests& requests);

} // namespace ecudata
