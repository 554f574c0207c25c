#pragma once

// The link's host for the ECU images: the reply dispatcher hands every zone reply to
// the parsers of the images through it. The program context installs one on its link
// object (ClsComm::Host) and derives from it for the developer view.

#include "ecudata/EcuModel.h"
#include "link/LinkHost.h"

#include <functional>

namespace comm {
class ClsComm;
}

namespace ecudata {

struct Mem1Rec;

class EcuLinkHost : public comm::LinkHost {
public:
    EcuLinkHost(comm::ClsComm& link, const EcuModel& model) : link_(link), model_(model) {}

    // Called with every live record decoded while the link's point-log switch is on
    // (the operating-point log).
    std::function<void(const Mem1Rec&)> OnLogPoint;

    // The images alone show no link error boxes; the program's host follows the
    // installer's developer view.
    bool DeveloperView() const override { return false; }

    void ParseMem1(const QByteArray& frame) override;
    void ParseMem2(const QByteArray& frame) override;
    void ParseMem3(const QByteArray& frame) override;
    void ParseSmplBnz(const QByteArray& frame, int part) override;
    void ParseSmplGas(const QByteArray& frame, int part) override;
    void ClearSmplBnz() override;
    void ClearSmplGas() override;
    void Mem2WriteDone() override;
    void StoreEmulaBlock(const QByteArray& frame) override;

private:
    comm::ClsComm& link_;
    EcuModel model_;
};

} // namespace ecudata
