// Pacing of replies and the scripted faults.

#include "SimHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace sim;
using simtest::Answer;
using simtest::Parse;

namespace {

const QByteArray kEco = BuildRequest(CMD_GET_ECO, "ECO");
const QByteArray kEcoReply = BuildReply(CMD_GET_ECO, 0, {});

EcuConfig Config(bool fast) {
    EcuConfig config;
    config.fast = fast;
    config.animated = false;
    return config;
}

} // namespace

// Byte k of a reply is on the wire (k + 1) byte times after the processing delay.
TEST(Pacing, BytesBecomeAvailableOnlyAfterTheirWireTime) {
    EcuConfig config = Config(false);
    config.processingUsec = 2000;
    Ecu ecu(config);
    const double t0 = 10e6;
    ecu.Receive(kEco, t0);
    EXPECT_DOUBLE_EQ(ecu.NextTransmitUsec(), t0 + 2000 + kByteUsec);
    QByteArray got;
    for (int k = 0; k < kEcoReply.size(); ++k) {
        const double due = t0 + 2000 + (k + 1) * kByteUsec;
        got += ecu.Transmit(due - 1);
        ASSERT_EQ(got.size(), k) << "byte " << k << " too early";
        got += ecu.Transmit(due);
        ASSERT_EQ(got.size(), k + 1) << "byte " << k << " late";
    }
    EXPECT_EQ(got, kEcoReply);
}

TEST(Pacing, RepliesQueueBehindEachOther) {
    Ecu ecu(Config(false));
    ecu.Receive(kEco + kEco, 0);
    const double end = ecu.NextTransmitUsec() + (2 * kEcoReply.size() - 1) * kByteUsec;
    EXPECT_EQ(ecu.Transmit(end - 1).size(), 2 * kEcoReply.size() - 1);
    EXPECT_EQ(ecu.Transmit(end), kEcoReply.right(1));
}

TEST(Pacing, FastModeHandsOutTheWholeReplyAtOnce) {
    Ecu ecu(Config(true));
    ecu.Receive(kEco, 5e6);
    EXPECT_EQ(ecu.Transmit(5e6), kEcoReply);
    EXPECT_TRUE(std::isinf(ecu.NextTransmitUsec()));
}

// Each kind of fault changes the reply the way its name says, and only for its request.
TEST(Faults, EachKindShapesTheReply) {
    const QByteArray slave = BuildRequest(CMD_SET_ECU_SLAVE, QByteArray(1, '\0'));
    struct Case {
        FaultKind kind;
        double value;
        bool executed;
        std::function<void(const QByteArray& reply)> check;
    };
    const Case cases[] = {
        {FaultKind::Silence, 0, false, [](const QByteArray& r) { EXPECT_TRUE(r.isEmpty()); }},
        {FaultKind::Delay, 3e6, true, [](const QByteArray& r) { EXPECT_TRUE(r.isEmpty()); }},
        {FaultKind::BadChecksum, 0, true,
         [](const QByteArray& r) {
             EXPECT_EQ(r.left(5), BuildReply(4, 0, {}).left(5));
             EXPECT_NE(XorOf(r), 0);
         }},
        {FaultKind::WrongEcho, 0, true,
         [](const QByteArray& r) {
             EXPECT_EQ(XorOf(r), 0);
             EXPECT_NE(r[3], 4);
             EXPECT_EQ(r[4], 0);
         }},
        {FaultKind::Status, 0, false,
         [](const QByteArray& r) { EXPECT_EQ(r, BuildReply(4, 254, {})); }},
        {FaultKind::Status, 1, false,
         [](const QByteArray& r) { EXPECT_EQ(r, BuildReply(4, 1, {})); }},
        {FaultKind::Status, 255, false,
         [](const QByteArray& r) { EXPECT_EQ(r, BuildReply(4, 255, {})); }},
        {FaultKind::Split, 0, true,
         [](const QByteArray& r) { EXPECT_EQ(r, BuildReply(4, 0, {}).left(3)); }},
        {FaultKind::Garble, 0, true,
         [](const QByteArray& r) {
             EXPECT_EQ(r.left(3), BuildReply(4, 0, {}).left(3)) << "still a whole frame";
             EXPECT_EQ(r.size(), 6);
             EXPECT_NE(XorOf(r), 0);
         }},
        {FaultKind::Noise, 2, true,
         [](const QByteArray& r) {
             EXPECT_EQ(r.size(), 8);
             EXPECT_EQ(r.mid(2), BuildReply(4, 0, {}));
         }},
        {FaultKind::HangUp, 0, false, [](const QByteArray& r) { EXPECT_TRUE(r.isEmpty()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FaultKindName(c.kind).toStdString());
        Ecu ecu(Config(true));
        ecu.AddFault({c.kind, CMD_SET_ECU_SLAVE, 1, c.value});
        ecu.Receive(slave, 0);
        c.check(ecu.Transmit(1000)); // what the first millisecond brings
        EXPECT_EQ(ecu.Mode() == EcuMode::Slave, c.executed);
        EXPECT_EQ(ecu.TakeHangUp().has_value(), c.kind == FaultKind::HangUp);
        EXPECT_EQ(ecu.PendingFaults(), 0);
        ecu.Transmit(10e6); // whatever the fault held back
        double now = 20e6;
        EXPECT_EQ(simtest::Exchange(ecu, slave, now).frame, BuildReply(4, 0, {}))
            << "the next request is served normally";
    }
}

TEST(Faults, DelayAndSplitHoldBytesBackByTheirValue) {
    Ecu ecu(Config(true));
    ecu.AddFault({FaultKind::Delay, kAnyCommand, 1, 4.5e6});
    ecu.Receive(kEco, 0);
    EXPECT_TRUE(ecu.Transmit(4.5e6 - 1).isEmpty());
    EXPECT_EQ(ecu.Transmit(4.5e6), kEcoReply);

    ecu.AddFault({FaultKind::Split, kAnyCommand, 1, 0}); // default pause
    ecu.Receive(kEco, 10e6);
    EXPECT_EQ(ecu.Transmit(10e6), kEcoReply.left(kEcoReply.size() / 2));
    EXPECT_TRUE(ecu.Transmit(10e6 + DefaultFaultValue(FaultKind::Split) - 1).isEmpty());
    EXPECT_EQ(ecu.Transmit(10e6 + DefaultFaultValue(FaultKind::Split)),
              kEcoReply.mid(kEcoReply.size() / 2));
}

TEST(Faults, CountAndCommandSelectTheRequests) {
    Ecu ecu(Config(true));
    ecu.AddFault({FaultKind::Silence, CMD_READ_MEM2, 2, 0});
    ecu.AddFault({FaultKind::Status, CMD_READ_FIRMWARE, kForever, 254});
    double now = 0;
    const auto status = [&](quint8 command) {
        return simtest::Command(ecu, command, {}, now).status;
    };
    EXPECT_EQ(status(CMD_READ_MEM3), 0) << "other commands untouched";
    EXPECT_EQ(status(CMD_READ_MEM2), -1);
    EXPECT_EQ(status(CMD_READ_MEM2), -1);
    EXPECT_EQ(status(CMD_READ_MEM2), 0) << "used up after two";
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(status(CMD_READ_FIRMWARE), 254);
    }
    EXPECT_EQ(ecu.PendingFaults(), 1);
    ecu.ClearFaults();
    EXPECT_EQ(status(CMD_READ_FIRMWARE), 0);

    ecu.AddFault({FaultKind::Silence, kAnyCommand, 3, 0});
    EXPECT_EQ(status(CMD_GET_ECO), -1);
    EXPECT_EQ(status(CMD_READ_MEM1), -1);
    EXPECT_EQ(status(CMD_READ_MEM2), -1);
    EXPECT_EQ(status(CMD_GET_ECO), 0);

    // skip: the first matching requests pass, other commands do not count.
    ecu.AddFault(*ParseFault("silence cmd=13 skip=2 count=1"));
    EXPECT_EQ(status(CMD_READ_MEM2), 0);
    EXPECT_EQ(status(CMD_READ_MEM3), 0);
    EXPECT_EQ(status(CMD_READ_MEM2), 0);
    EXPECT_EQ(status(CMD_READ_MEM2), -1);
    EXPECT_EQ(status(CMD_READ_MEM2), 0);
}

TEST(Faults, HangUpDropsWhatWasQueuedAndReportsItsDowntimeOnce) {
    Ecu ecu(Config(false));
    ecu.AddFault({FaultKind::HangUp, CMD_READ_MEM1, 1, 2.5e6});
    ecu.Receive(kEco + BuildRequest(CMD_READ_MEM1) + kEco, 0);
    EXPECT_EQ(ecu.TakeHangUp(), 2.5e6);
    EXPECT_FALSE(ecu.TakeHangUp());
    EXPECT_TRUE(ecu.Transmit(10e6).isEmpty()) << "the line died with its bytes";
    EXPECT_EQ(ecu.CommandLog(), (QList<quint8>{CMD_GET_ECO, CMD_READ_MEM1}));
}

TEST(Faults, TextForm) {
    struct Case {
        const char* text;
        FaultKind kind;
        int command;
        int count;
        double value;
    };
    const Case good[] = {
        {"silence", FaultKind::Silence, kAnyCommand, 1, 0},
        {"status cmd=33 count=forever value=254", FaultKind::Status, 33, kForever, 254},
        {"delay,count=2,value=5000000", FaultKind::Delay, kAnyCommand, 2, 5e6},
        {"  HangUp   cmd=0x0C  ", FaultKind::HangUp, 12, 1, 0},
        {"split cmd=12 value=1500", FaultKind::Split, 12, 1, 1500},
    };
    for (const Case& c : good) {
        const auto f = ParseFault(c.text);
        ASSERT_TRUE(f) << c.text;
        EXPECT_EQ(f->kind, c.kind) << c.text;
        EXPECT_EQ(f->command, c.command) << c.text;
        EXPECT_EQ(f->count, c.count) << c.text;
        EXPECT_EQ(f->value, c.value) << c.text;
    }
    for (const char* bad :
         {"", "sleep", "delay cmd=300", "delay count=0", "delay value=-1", "delay skip=-1",
          "delay skip=x", "status value=256", "delay foo=1", "delay 12"}) {
        QString error;
        EXPECT_FALSE(ParseFault(bad, &error)) << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
}
