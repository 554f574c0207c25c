#include "app/ProgramContext.h"

#include "ecudata/ParamFile.h"

#include "app/LinkLogRestart.h"
#include "ecudata/EcuLinkHost.h"
#include "ecudata/LiveData.h"
#include "ecudata/PointLog.h"
#include "platform/FtdiLibftdi.h"
#include "platform/SerialPosix.h"
#include "support/FileWriter.h"

namespace app {

namespace {

// What the link hands up: zone replies go to the images' parsers, every live record to
// the operating-point log (with the averaged petrol time the injector display keeps),
// and the link's error boxes follow the developer view.
class ContextLinkHost final : public ecudata::EcuLinkHost {
public:
    ContextLinkHost(ProgramContext& context)
        : EcuLinkHost(context.Comm(), context.Model()), ctx_(context) {
        OnLogPoint = [&context](const ecudata::Mem1Rec& record) {
            QString stoppedWhy;
            ecudata::WriteLogPoint(record, context.PointLog, context.InjTimes.TInjAvg2,
                                   context.AppFolder, context.DecimalSep, &stoppedWhy);
            if (!stoppedWhy.isEmpty()) {
                support::TellLogStopped(ecudata::LogPointPath(context.AppFolder), stoppedWhy,
                                        context.Texts.AppTitle);
            }
        };
    }

    bool DeveloperView() const override { return ctx_.DeveloperView; }

private:
    ProgramContext& ctx_;
};

} // namespace

ProgramContext::ProgramContext()
    : ProgramContext(std::make_unique<platform::PosixSerialPort>(),
                     std::make_unique<platform::LibFtdiDriver>()) {}

ProgramContext::ProgramContext(std::unique_ptr<platform::SerialPort> serial,
                               std::unique_ptr<platform::FtdiDriver> ftdi)
    : Serial(std::move(serial)), Ftdi(std::move(ftdi)) {
    NewLink();
}

ProgramContext::~ProgramContext() {
    // The link object goes first: it may still hold the port drivers.
    ObjComm.reset();
}

void ProgramContext::QueueParamFile(const QString& path) {
    ParamFilePending = path;
    if (path.isEmpty()) {
        return;
    }
    ParamFileQueuedOnLine = !OffLineMode;
    ecudata::EcuModel model = Model();
    ecudata::DropEditsForFile(path, model, ParamNoSend);
}

void ProgramContext::NewLink() {
    // The host refers to the link it serves: both are made anew together.
    ObjComm = std::make_unique<ClsComm>(AppFolder, *Serial, *Ftdi);
    linkHost_ = std::make_unique<ContextLinkHost>(*this);
    ObjComm->Host(linkHost_.get());
    ObjComm->RxTxLog().Restart = [this] { return RestartLinkLog(AppFolder, Texts.AppTitle); };
    ObjComm->RxTxLog().Stopped = [this](const QString& path, const QString& why) {
        support::TellLogStopped(path, why, Texts.AppTitle);
    };
}

} // namespace app
