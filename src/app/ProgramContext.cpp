#include "app/ProgramContext.h"

#include "ecudata/EmulaBlock.h"
#include "ecudata/LiveData.h"
#include "ecudata/MapSamples.h"
#include "ecudata/ParamRecords.h"
#include "link/LinkHost.h"
#include "platform/FtdiLibftdi.h"
#include "platform/SerialPosix.h"

namespace app {

namespace {

// What the link hands up: zone replies go to the images' parsers, and the link's error
// boxes follow the developer view.
class ContextLinkHost final : public comm::LinkHost {
public:
    explicit ContextLinkHost(ProgramContext& context) : ctx_(context) {}

    bool DeveloperView() const override { return ctx_.DeveloperView; }
    void ParseMem1(const QByteArray& reply) override {
        ecudata::ParseMem1(reply, ctx_.Images, ctx_.Scale);
    }
    void ParseMem2(const QByteArray& reply) override {
        ecudata::ParseMem2(reply, ctx_.Images, ctx_.Scale);
    }
    void ParseMem3(const QByteArray& reply) override {
        ecudata::ParseMem3(reply, ctx_.Images, ctx_.Requests, ctx_.Scale);
    }
    void ParseSmplBnz(const QByteArray& frame, int part) override {
        ecudata::ParseSmplBnz(frame, quint8(part), ctx_.Images, ctx_.Scale);
    }
    void ParseSmplGas(const QByteArray& frame, int part) override {
        ecudata::ParseSmplGas(frame, quint8(part), ctx_.Images, ctx_.Scale);
    }
    void ClearSmplBnz() override { ecudata::ClearSmplBnz(ctx_.Images); }
    void ClearSmplGas() override { ecudata::ClearSmplGas(ctx_.Images); }
    void Mem2WriteDone() override { ecudata::Mem2WriteAcknowledged(ctx_.Images); }
    void StoreEmulaBlock(const QByteArray& reply) override {
        ecudata::StoreEmulaReply(reply, ctx_.Images);
    }

private:
    ProgramContext& ctx_;
};

} // namespace

ProgramContext::ProgramContext()
    : ProgramContext(std::make_unique<platform::PosixSerialPort>(),
                     std::make_unique<platform::LibFtdiDriver>()) {}

ProgramContext::ProgramContext(std::unique_ptr<platform::SerialPort> serial,
                               std::unique_ptr<platform::FtdiDriver> ftdi)
    : Serial(std::move(serial)), Ftdi(std::move(ftdi)),
      linkHost_(std::make_unique<ContextLinkHost>(*this)) {
    NewLink();
}

ProgramContext::~ProgramContext() {
    // The link object goes first: it may still hold the port drivers.
    ObjComm.reset();
}

void ProgramContext::NewLink() {
    ObjComm = std::make_unique<ClsComm>(AppFolder, *Serial, *Ftdi);
    ObjComm->Host(linkHost_.get());
}

} // namespace app
