#pragma once

// The ECU data model on a link to the simulated ECU, on simulated time: the link timer
// (1 ms) steps the link whenever a wait lets the event loop run, and the dispatcher
// hands the zone replies to the images through an EcuLinkHost.

#include "common/SimRig.h"
#include "ecudata/ConfigScale.h"
#include "ecudata/EcuImages.h"
#include "ecudata/EcuLinkHost.h"
#include "ecudata/EcuModel.h"
#include "ecudata/EcuRequests.h"
#include "link/ClsComm.h"
#include "platform/FtdiFake.h"

namespace ecudata_test {

class EcuRig : public testing_support::SimRig {
public:
    explicit EcuRig(const sim::EcuConfig& config = Quiet());
    ~EcuRig() override;

    // Runs until the link is ready (after the start or a restart).
    bool Connect();
    // Calls the request server until no request is raised; False when some request
    // is still raised after calls calls.
    bool ServeAll(int calls = 40);

    testing_support::SimPort port{ecu, testing_support::SimDevice};
    platform::FakeFtdiDriver ftdi;
    comm::ClsComm link{tree.Root(), port, ftdi};
    ecudata::ConfigScale scale;
    ecudata::EcuImages images;
    ecudata::EcuRequests requests;
    ecudata::EcuModel model{images, requests, scale};
    ecudata::EcuLinkHost host{link, model};
};

} // namespace ecudata_test
