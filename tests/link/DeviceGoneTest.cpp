// A device that is gone (unplugged, its line hung up) against one that only failed a
// call for now: the first ends the exchange at once as a lost link, the second leaves
// the reply wait and its resends to decide. A call that keeps failing is logged when
// it starts and when it stops, not at every tick.

#include "LinkFixture.h"
#include "link/Frames.h"
#include "link/LinkStateMachine.h"

#include <cerrno>
#include <gtest/gtest.h>

using namespace comm;
using link_test::PortRig;
using link_test::Texts;

namespace {

const QByteArray Probe = BuildMsg(ReqHeader, ReqByte2, CMD_GET_ECO, "ECO");

struct FailureCase {
    const char* name;
    bool usb;
    int code; // the system error of a serial port, the driver status of the cable
    bool gone;
};

const FailureCase Failures[] = {
    {"EIO", false, EIO, true},
    {"ENXIO", false, ENXIO, true},
    {"ENODEV", false, ENODEV, true},
    {"EAGAIN", false, EAGAIN, false},
    {"EINTR", false, EINTR, false},
    {"ETIMEDOUT", false, ETIMEDOUT, false},
    {"EINVAL", false, EINVAL, false},
    {"cable I/O error", true, platform::FtStatusIoError, true},
    {"cable not found", true, platform::FtStatusDeviceNotFound, true},
    {"cable handle gone", true, platform::FtStatusInvalidHandle, true},
    {"cable other error", true, platform::FtStatusOtherError, false},
};

// Makes the port's queue query, or its write, fail with the case's code.
void Fail(PortRig& rig, const FailureCase& c, bool writes) {
    if (c.usb) {
        (writes ? rig.ftdi.writeStatus : rig.ftdi.queueStatus) = c.code;
        return;
    }
    (writes ? rig.port.failWrite : rig.port.failQueue) = true;
    (writes ? rig.port.writeError : rig.port.failError) = c.code;
}

} // namespace

TEST(DeviceGone, AFailedQueryWhileAwaitingAReplyEndsTheExchangeOnlyForAGoneDevice) {
    for (const FailureCase& c : Failures) {
        PortRig rig;
        rig.Open(c.usb);
        ASSERT_TRUE(rig.link.SendMsg(Probe));
        Fail(rig, c, false);
        rig.time.Advance(rig.link.Idle_usec());
        ProcessComState(rig.link);
        EXPECT_EQ(rig.link.ComState(), c.gone ? COM_RESTART : COM_WAIT_REPLY) << c.name;
        EXPECT_EQ(rig.link.DeviceGone(), c.gone) << c.name;
        EXPECT_EQ(rig.link.WDogPresente(), c.gone) << c.name;

        // The restart closes the port; the next one starts without the mark.
        ProcessComState(rig.link);
        EXPECT_FALSE(rig.link.DeviceGone()) << c.name;
    }
}

TEST(DeviceGone, AFailedWriteEndsTheSendOnlyForAGoneDevice) {
    for (const FailureCase& c : Failures) {
        PortRig rig;
        rig.Open(c.usb);
        Fail(rig, c, true);
        EXPECT_EQ(rig.link.SendMsg(Probe), !c.gone) << c.name;
        EXPECT_EQ(rig.link.ComState(), c.gone ? COM_RESTART : COM_WAIT_REPLY) << c.name;
        EXPECT_TRUE(Texts(rig.tree).last().startsWith("H ")) << c.name;
    }
}

TEST(DeviceGone, AStopThatCameDuringTheFailedSendStands) {
    PortRig rig;
    rig.Open(false);
    rig.port.failWrite = true;
    rig.port.writeError = EIO;
    // Off-line clicked while the send waits after its byte.
    rig.time.onPump = [&] { rig.link.ComState(COM_STOP); };
    EXPECT_FALSE(rig.link.SendMsg(Probe));
    EXPECT_EQ(rig.link.ComState(), COM_STOP);
}

TEST(FailedCalls, ACallThatKeepsFailingIsLoggedWhenItStartsAndWhenItStops) {
    PortRig rig;
    rig.Open(false);
    ASSERT_TRUE(rig.link.SendMsg(Probe));
    rig.time.Advance(rig.link.Idle_usec());
    ProcessComState(rig.link); // logs the state
    const qsizetype before = Texts(rig.tree).size();
    rig.port.failQueue = true;
    rig.port.failError = EINVAL; // not gone: the reply wait goes on
    for (int tick = 0; tick < 50; ++tick) {
        ProcessComState(rig.link);
        rig.time.Advance(1000);
    }
    rig.port.failQueue = false;
    ProcessComState(rig.link);
    EXPECT_EQ(
        Texts(rig.tree).mid(before),
        (QStringList{"ClearCommError Recive ", "lpErrors 0", "GetLastError 16", "LastDllError 16",
                     "H 22 ", "ClearCommError Recive failures in a row: 50"}));

    // A run that the port's close ends is told with its length too.
    rig.port.failQueue = true;
    for (int tick = 0; tick < 3; ++tick) {
        ProcessComState(rig.link);
        rig.time.Advance(1000);
    }
    rig.link.CloseComPort();
    EXPECT_EQ(Texts(rig.tree).last(), "ClearCommError Recive failures in a row: 3");
}
