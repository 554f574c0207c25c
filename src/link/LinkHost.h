#pragma once

// What the link hands upwards: the reply dispatcher gives zone replies to the ECU
// images' parsers, and the link's error boxes appear only in the developer view. The
// program context implements it (ecudata::EcuLinkHost for the images); there is no
// default, so a host that forgets a reply does not compile.
//
// A link without a host is a bare transport (the tests of the port and the state
// machine): it shows no error boxes, and it acknowledges a zone reply whose data then go
// nowhere. The program's link always has a host; its wiring test checks that.

#include <QByteArray>

namespace comm {

class LinkHost {
public:
    virtual ~LinkHost() = default;

    virtual bool DeveloperView() const = 0;

    // Whole reply frames of the zone reads.
    virtual void ParseMem1(const QByteArray& frame) = 0;
    virtual void ParseMem2(const QByteArray& frame) = 0;
    virtual void ParseMem3(const QByteArray& frame) = 0;
    // part 0: points 0..29, part 1: points 30..59.
    virtual void ParseSmplBnz(const QByteArray& frame, int part) = 0;
    virtual void ParseSmplGas(const QByteArray& frame, int part) = 0;
    virtual void ClearSmplBnz() = 0;
    virtual void ClearSmplGas() = 0;
    // A zone-2 write was acknowledged: its mode and fuel requests are done.
    virtual void Mem2WriteDone() = 0;
    // The emulation block's reply frame (EmulaLine) and its data (EmulaBlkData).
    virtual void StoreEmulaBlock(const QByteArray& frame) = 0;
};

} // namespace comm
