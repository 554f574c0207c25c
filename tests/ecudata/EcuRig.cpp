#include "EcuRig.h"

#include "common/Wait.h"
#include "ecudata/RequestServer.h"
#include "link/LinkStateMachine.h"

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace ecudata_test {

namespace {

bool AnyRequest(const ecudata::EcuRequests& r) {
    return r.ReqWriteMem3 || r.ReqWriteEmus || r.ReqWriteMem2 || r.ReqSaveFlash || r.ReqEcuMode ||
           r.ReqReadTblCor || r.ReqReadEmus || r.ReqReadMem3 || r.ReqReadDcol || r.ReqReadMem2 ||
           r.ReqReadMem1 || r.ReqReadSmplBnz || r.ReqReadSmplGas || r.ReqCancSmplBnz ||
           r.ReqCancSmplGas || r.ReqReadComp;
}

} // namespace

EcuRig::EcuRig(const sim::EcuConfig& config) : SimRig(config) {
    tree.Write("BIN/SetCom.ini", QuickSetCom());
    link.ReadSetCom("/BIN/SetCom.ini");
    link.Host(&host);
    scale.K_Time_Pwm_us = 0.008; // the simulated ECU's scales
    requests.FirmwareOk = true;
    AddTimer(
        1000, [] { return true; }, [this] { comm::ProcessComState(link); });
}

EcuRig::~EcuRig() {
    StopTimers();
    link.Host(nullptr);
}

bool EcuRig::Connect() {
    return WaitFor([this] { return link.ComState() == comm::COM_READY; }, 60s);
}

bool EcuRig::ServeAll(int calls) {
    for (int i = 0; i < calls && AnyRequest(requests); ++i) {
        if (!Connect()) {
            return false;
        }
        ecudata::ServeEcuRequest(link, model);
    }
    return !AnyRequest(requests);
}

} // namespace ecudata_test
