#pragma once

// The ECU data model on a link to the simulated ECU, on simulated time: the link timer
// (1 ms) steps the link whenever a wait lets the event loop run, and the dispatcher
// hands the zone replies to the images through an EcuLinkHost.

#include "common/FakeTime.h"
#include "common/MsgBoxCapture.h"
#include "common/SimPort.h"
#include "common/TempTree.h"
#include "ecudata/ConfigScale.h"
#include "ecudata/EcuImages.h"
#include "ecudata/EcuLinkHost.h"
#include "ecudata/EcuModel.h"
#include "ecudata/EcuRequests.h"
#include "link/ClsComm.h"
#include "platform/FtdiFake.h"
#include "sim/Ecu.h"

#include <QList>
#include <functional>

namespace ecudata_test {

class EcuRig {
public:
    explicit EcuRig(const sim::EcuConfig& config = Quiet());
    ~EcuRig();

    // A fast ECU whose engine idles warm on petrol, without the drive cycle.
    static sim::EcuConfig Quiet();

    // Lets simulated time pass with the link timer running.
    void Run(double usec);
    // Runs until the condition holds; False when maxUsec passed first.
    bool RunUntil(const std::function<bool()>& condition, double maxUsec = 60e6);
    // Runs until the link is ready (after the start or a restart).
    bool Connect();
    // Calls the request server until no request is raised; False when some request
    // is still raised after calls calls.
    bool ServeAll(int calls = 40);

    // Requests the ECU received, from the given position of its command log on.
    QList<quint8> Commands(qsizetype from = 0) const;
    int Received(quint8 command) const;
    void FailNext(quint8 command, int count);

    testing_support::TempTree tree;
    testing_support::FakeTime time;
    sim::Ecu ecu;
    testing_support::SimPort port;
    platform::FakeFtdiDriver ftdi;
    testing_support::MsgBoxCapture boxes;
    comm::ClsComm link;
    ecudata::ConfigScale scale;
    ecudata::EcuImages images;
    ecudata::EcuRequests requests;
    ecudata::EcuModel model{images, requests, scale};
    ecudata::EcuLinkHost host{link, model};

private:
    double nextTick_ = 0;
};

} // namespace ecudata_test
