#include "SimHelpers.h"

#include <gtest/gtest.h>

using namespace sim;
using simtest::Answer;
using simtest::Parse;

namespace {

const QByteArray kEcoRequest = QByteArray::fromHex("4102060945434F05");

EcuConfig Fast() {
    EcuConfig config;
    config.fast = true;
    return config;
}

} // namespace

TEST(Framing, BuildersMatchTheWireExamples) {
    EXPECT_EQ(BuildRequest(CMD_GET_ECO, "ECO"), kEcoRequest);
    EXPECT_EQ(BuildRequest(CMD_SAVE_FLASH, QByteArray(1, '\0')).toHex(), "410204150052");
    EXPECT_EQ(BuildReply(CMD_GET_ECO, 0, {}).toHex(), "42010409004e");
    EXPECT_EQ(BuildReply(CMD_GET_ECO, 254, {}).toHex(), "42010409feb0");
    EXPECT_EQ(BuildReply(CMD_GET_ECO, 255, {}).toHex(), "42010409ffb1");
}

TEST(Framing, EcoIsAnsweredWithItsEchoAndStatusAlone) {
    Ecu ecu(Fast());
    ecu.Receive(kEcoRequest, 0);
    const QByteArray reply = ecu.Transmit(0);
    EXPECT_EQ(reply.toHex(), "42010409004e");
    EXPECT_EQ(XorOf(reply), 0);
}

// The program writes a frame byte by byte: every way of cutting it gives one reply, and
// only once the last byte is in.
TEST(Framing, ARequestSplitAcrossReceivesIsAnsweredOnceWhenComplete) {
    const QByteArray request = BuildRequest(CMD_READ_MEM2);
    for (int cut1 = 0; cut1 <= request.size(); ++cut1) {
        for (int cut2 = cut1; cut2 <= request.size(); ++cut2) {
            Ecu ecu(Fast());
            double now = 0;
            qsizetype received = 0;
            for (const QByteArray& part :
                 {request.left(cut1), request.mid(cut1, cut2 - cut1), request.mid(cut2)}) {
                if (received < request.size()) {
                    ASSERT_TRUE(ecu.Transmit(now).isEmpty()) << "reply before the request";
                }
                ecu.Receive(part, now);
                received += part.size();
                now += 500;
            }
            const Answer a = Parse(ecu.Transmit(now));
            ASSERT_EQ(a.status, 0) << cut1 << "/" << cut2;
            EXPECT_EQ(a.data.size(), kZone2Size);
            EXPECT_TRUE(ecu.Transmit(now + 1e6).isEmpty()) << "exactly one reply";
        }
    }
}

TEST(Framing, GarbageBeforeAHeaderIsSkipped) {
    struct Case {
        const char* name;
        QByteArray garbage;
    };
    const Case cases[] = {
        {"noise bytes", QByteArray::fromHex("00ff1342")},
        {"header byte without its second byte", QByteArray::fromHex("4141")},
        {"header with a length too small to be one", QByteArray::fromHex("410201")},
        {"a reply-like frame", QByteArray::fromHex("42010409004e")},
    };
    for (const Case& c : cases) {
        Ecu ecu(Fast());
        double now = 0;
        const Answer a = simtest::Exchange(ecu, c.garbage + kEcoRequest, now);
        EXPECT_EQ(a.status, 0) << c.name;
        EXPECT_EQ(ecu.CommandLog(), QList<quint8>{CMD_GET_ECO}) << c.name;
    }
}

TEST(Framing, TwoRequestsInOneReceiveGetTwoRepliesInOrder) {
    Ecu ecu(Fast());
    ecu.Receive(BuildRequest(CMD_READ_MEM2) + kEcoRequest, 0);
    const QByteArray out = ecu.Transmit(0);
    const Answer first = Parse(out.left(kZone2Size + 6));
    const Answer second = Parse(out.mid(kZone2Size + 6));
    EXPECT_EQ(static_cast<quint8>(first.frame[3]), CMD_READ_MEM2);
    EXPECT_EQ(static_cast<quint8>(second.frame[3]), CMD_GET_ECO);
}

TEST(Framing, WrongRequestChecksumIsAnsweredWithStatus255AndNotExecuted) {
    Ecu ecu(Fast());
    double now = 0;
    QByteArray request = BuildRequest(CMD_SET_ECU_SLAVE, QByteArray(1, '\0'));
    request[request.size() - 1] = static_cast<char>(request.back() ^ 0x10);
    const Answer a = simtest::Exchange(ecu, request, now);
    EXPECT_EQ(a.frame.toHex(), BuildReply(CMD_SET_ECU_SLAVE, 255, {}).toHex());
    EXPECT_EQ(ecu.Mode(), EcuMode::Run);
}

TEST(Framing, UnknownAndUnsentCommandsAreNotExecuted) {
    for (const quint8 command : {0, 2, 11, 15, 22, 40, 70, 200}) {
        Ecu ecu(Fast());
        double now = 0;
        const Answer a = simtest::Command(ecu, command, {}, now);
        EXPECT_EQ(a.status, 254) << int(command);
        EXPECT_EQ(static_cast<quint8>(a.frame[3]), command);
        EXPECT_TRUE(a.data.isEmpty());
    }
}

TEST(Framing, AnAbandonedPartialRequestDoesNotSwallowTheNextOne) {
    Ecu ecu(Fast());
    double now = 0;
    ecu.Receive(BuildRequest(CMD_READ_MEM3).left(3), now); // length byte says 5 bytes
    now += 500e3;                                          // the program gave up and resends
    const Answer a = simtest::Exchange(ecu, kEcoRequest, now);
    EXPECT_EQ(a.status, 0);
    EXPECT_EQ(static_cast<quint8>(a.frame[3]), CMD_GET_ECO);
}
