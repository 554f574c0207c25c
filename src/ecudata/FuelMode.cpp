#include "ecudata/FuelMode.h"

#include "ecudata/EcuImages.h"
#include "ecudata/EcuModel.h"
#include "ecudata/EcuRequests.h"
#include "ecudata/RequestServer.h"
#include "ecudata/ZoneExchange.h"
#include "link/ClsComm.h"
#include "link/Frames.h"
#include "support/Clock.h"

#include <QtGlobal>
#include <map>

namespace ecudata {

namespace {

constexpr quint8 OnGas = 3;
constexpr quint8 OnPetrol = 0;

using Moves = std::map<quint8, quint8>; // state read -> state written

class InjStep {
public:
    InjStep(EcuImages& images, EcuRequests& requests)
        : read_(images.Mem3Data.CylState), write_(images.Mem3Write.CylState), req_(requests) {}

    void Arm() { req_.Mem3WriteCountdown = 1.0; }
    void Finish() {
        req_.InjSetMode = 0;
        req_.InjSetState = -1;
    }
    quint8 Read(int cyl) const { return read_[cyl]; }

    // Moves the one cylinder by the table; the state it came from, or nothing moved.
    bool Move(int cyl, const Moves& moves, quint8& from) {
        from = read_[cyl];
        const auto it = moves.find(from);
        if (it == moves.end()) {
            return false;
        }
        write_[cyl] = it->second;
        return true;
    }

private:
    const std::array<quint8, 8>& read_;
    std::array<quint8, 8>& write_;
    EcuRequests& req_;
};

void StepOnGas(InjStep& s, const EcuRequests& r) {
    const int idx = r.InjSetIndex;
    quint8 from = 0;
    switch (r.InjSetState) {
    case 0:
        if (s.Move(idx, {{3, 0}, {4, 0}}, from)) {
            s.Arm();
            s.Finish();
        }
        return;
    case 3:
        if (r.InjSetMode == 1) {
            if (s.Read(idx) == 3) {
                s.Finish();
            } else if (s.Move(idx, {{0, 1}, {1, 2}, {4, 3}}, from)) {
                s.Arm();
                if (from != 0) {
                    s.Finish();
                }
            }
            return;
        }
        {
            bool wentOn = false;
            bool wentSwitching = false;
            for (int cyl = 0; cyl < idx; ++cyl) {
                if (s.Move(cyl, {{0, 1}, {1, 2}, {4, 3}}, from)) {
                    wentOn |= from == 0;
                    wentSwitching |= from == 1;
                }
            }
            if (wentOn) {
                s.Arm();
            } else if (wentSwitching) {
                s.Arm();
                s.Finish();
            } else {
                s.Finish();
            }
        }
        return;
    case 4:
        if (s.Move(idx, {{0, 1}, {1, 2}, {3, 4}}, from)) {
            s.Arm();
            if (from == 3) {
                s.Finish();
            }
        }
        return;
    default:
        return;
    }
}

void StepOffGas(InjStep& s, const EcuRequests& r) {
    const int idx = r.InjSetIndex;
    quint8 from = 0;
    if (r.InjSetState == 0) {
        if (s.Move(idx, {{1, 0}}, from)) {
            s.Arm();
        }
        s.Finish();
        return;
    }
    if (r.InjSetState != 3) {
        return;
    }
    if (r.InjSetMode == 1) {
        if (s.Move(idx, {{0, 1}}, from)) {
            s.Arm();
        }
        s.Finish();
        return;
    }
    if (idx == 0) {
        return;
    }
    bool changed = false;
    for (int cyl = 0; cyl < idx; ++cyl) {
        changed |= s.Move(cyl, {{0, 1}}, from);
    }
    if (changed) {
        s.Arm();
    }
    s.Finish();
}

// The step addresses one cylinder unless it is a multi-cylinder step of state 3.
bool InRange(const EcuRequests& r) {
    const bool count = r.InjSetState == 3 && r.InjSetMode != 1;
    return count ? r.InjSetIndex <= 8 : r.InjSetIndex <= 7;
}

} // namespace

void StepInjSet(EcuImages& images, EcuRequests& requests) {
    InjStep step(images, requests);
    if (!InRange(requests)) {
        step.Finish();
        return;
    }
    const quint8 fuel = images.Mem2Data.FuelState;
    if (fuel == OnGas) {
        StepOnGas(step, requests);
    } else if (fuel == OnPetrol || images.Mem1Data.StatusKey == 0) {
        StepOffGas(step, requests);
    }
    if (images.Mem3Write.Cilindri != images.Mem3Data.Cilindri) {
        step.Arm();
    }
}

namespace {

constexpr int FuelPolls = 8;
constexpr double FuelPollUsec = 250000;
constexpr double RelinkWaitUsec = 3000000;

// The mode byte that switches: gas from petrol, or gas once more when the ECU went
// back to petrol by itself with cylinder 0 on; otherwise petrol.
quint8 TargetMode(const EcuImages& images) {
    const Mem2Rec& m = images.Mem2Data;
    const bool toGas =
        (m.ModeReq == OnPetrol && m.FuelState == OnPetrol) ||
        (images.Mem3Data.CylState[0] == 1 && m.ModeReq == OnGas && m.FuelState == OnPetrol);
    return toGas ? OnGas : OnPetrol;
}

// The run mode back after a switch, also when the switch failed half way: then the
// link is restarting, and the ECU is sent back once the link is up again.
void BackToRun(comm::ClsComm& link) {
    const double end = support::GetTimeUsec() + RelinkWaitUsec;
    while (link.ComState() != comm::COM_READY && link.ComState() != comm::COM_STOP &&
           support::GetTimeUsec() < end) {
        support::WaitUsec(1000);
    }
    if (link.ComState() == comm::COM_READY) {
        SendRequest(link, comm::CMD_SET_ECU_RUN, QByteArray(1, '\0'));
    }
}

// Runs the switch; False when an exchange failed. slaved: this procedure put the ECU
// into slave mode.
bool Switch(comm::ClsComm& link, EcuModel& model, bool& slaved) {
    EcuImages& img = model.images;
    EcuRequests& req = model.requests;
    if (!SendParsedRead(link, comm::CMD_READ_MEM2, img) ||
        !SendParsedRead(link, comm::CMD_READ_MEM3, img)) {
        return false;
    }
    const quint8 target = TargetMode(img);
    if (img.Mem2Data.EcuRunState == 0) {
        if (!ToggleEcuMode(link, img)) {
            return false;
        }
        slaved = true;
        if (!SendParsedRead(link, comm::CMD_READ_MEM2, img)) {
            return false;
        }
        req.ReqSwitchFuelMode = 2;
    } else {
        req.ReqSwitchFuelMode = 3;
    }
    img.Mem2Write.ModeReq = target;
    if (!WriteMem2(link, model)) {
        img.Mem2Write.ModeReq = 255; // a failed switch is not made later by another write
        return false;
    }
    if (req.ReqSwitchFuelMode != 2) {
        return true;
    }
    for (int i = 0; i < FuelPolls; ++i) {
        support::WaitUsec(FuelPollUsec);
        if (!SendParsedRead(link, comm::CMD_READ_MEM2, img)) {
            return false;
        }
        if (img.Mem2Data.FuelState == target) {
            break;
        }
    }
    return true;
}

} // namespace

void SwitchFuelMode(comm::ClsComm& link, EcuModel& model) {
    bool slaved = false;
    Switch(link, model, slaved);
    if (slaved) {
        BackToRun(link);
    }
    model.requests.ReqSwitchFuelMode = 0;
}

} // namespace ecudata
