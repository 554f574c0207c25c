#pragma once

// What the link hands upwards: the reply dispatcher gives zone replies to the ECU
// images' parsers, and the link's error boxes appear only in the developer view. The
// program context implements this; every default does nothing.

#include <QByteArray>

namespace comm {

class LinkHost {
public:
    virtual ~LinkHost() = default;

    virtual bool DeveloperView() const { return false; }

    // Whole reply frames of the zone reads.
    virtual void ParseMem1(const QByteArray&) {}
    virtual void ParseMem2(const QByteArray&) {}
    virtual void ParseMem3(const QByteArray&) {}
    // part 0: points 0..29, part 1: points 30..59.
    virtual void ParseSmplBnz(const QByteArray&, int) {}
    virtual void ParseSmplGas(const QByteArray&, int) {}
    virtual void ClearSmplBnz() {}
    virtual void ClearSmplGas() {}
    // A zone-2 write was acknowledged: its mode and fuel requests are done.
    virtual void Mem2WriteDone() {}
    // The emulation block's reply frame (EmulaLine) and its data (EmulaBlkData).
    virtual void StoreEmulaBlock(const QByteArray&) {}
};

} // namespace comm
