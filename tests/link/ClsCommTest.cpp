#include "LinkFixture.h"

#include <gtest/gtest.h>

using namespace comm;
using link_test::LinkInTree;

TEST(ClsComm, StartsSearchingWithDefaults) {
    LinkInTree t;
    EXPECT_EQ(t.link.ComState(), COM_SEARCH);
    EXPECT_EQ(t.link.EcuState(), ECU_RUN);
    EXPECT_EQ(t.link.AdrFrmwarEcu, "00FFE000");
    EXPECT_FALSE(t.link.IsOpen());
    EXPECT_EQ(t.link.TimeCom(), 0.0);
}

TEST(FirmwareIdentity, GettersFollowTheIdentityLength) {
    const struct {
        const char* id;
        const char* vers;
        int versNum;
        const char* date;
        int day, month, year;
        const char* w1;
        const char* w2;
        const char* w3;
    } cases[] = {
        {"", "00.00", 0, "00000000", 0, 0, 0, "", "", ""},
        {"0112", "00.00", 0, "00000000", 0, 0, 0, "", "", ""},
        {"011214", "01.12", 112, "00000000", 0, 0, 0, "", "", ""},
        {"0112140420", "01.12", 112, "00000000", 14, 4, 0, "", "", ""},
        {"011214042011", "01.12", 112, "14/04/2011", 14, 4, 0, "", "", ""},
        {"011214042011LX735 CLIENT  X1", "01.12", 112, "14/04/2011", 14, 4, 2011, "LX735", "CLIENT",
         ""},
        {"011214042011A B C D", "01.12", 112, "14/04/2011", 14, 4, 2011, "A", "B", "C"},
        // Identity digits are hex: fields that are not decimal read as 0 (unknown).
        {"010A1A0B20FFX", "01.0A", 0, "1A/0B/20FF", 0, 0, 0, "X", "", ""},
        {"FFFFFFFFFFFF\xFF\xFF", "FF.FF", 0, "FF/FF/FFFF", 0, 0, 0, "\xFF\xFF", "", ""},
    };
    for (const auto& c : cases) {
        LinkInTree t;
        const QString id = QString::fromLatin1(c.id);
        t.link.FirmwareEcu(id);
        t.link.FirmwareFle(id);
        EXPECT_EQ(t.link.FirmwareEcuVersStr(), c.vers) << c.id;
        EXPECT_EQ(t.link.FirmwareEcuVersNum(), c.versNum) << c.id;
        EXPECT_EQ(t.link.FirmwareEcuDataStr(), c.date) << c.id;
        EXPECT_EQ(t.link.FirmwareEcuDayNum(), c.day) << c.id;
        EXPECT_EQ(t.link.FirmwareEcuMonthNum(), c.month) << c.id;
        EXPECT_EQ(t.link.FirmwareEcuYearNum(), c.year) << c.id;
        EXPECT_EQ(t.link.DescProgettoEcu_LXXXX(), QString::fromLatin1(c.w1)) << c.id;
        EXPECT_EQ(t.link.DescProgettoEcu_CLIENTE(), c.w2) << c.id;
        EXPECT_EQ(t.link.DescProgettoEcu_CODICE(), c.w3) << c.id;
        EXPECT_EQ(t.link.FirmwareFleVersStr(), c.vers) << c.id;
        EXPECT_EQ(t.link.FirmwareFleVersNum(), c.versNum) << c.id;
        EXPECT_EQ(t.link.FirmwareFleDataStr(), c.date) << c.id;
        EXPECT_EQ(t.link.FirmwareFleDayNum(), c.day) << c.id;
        EXPECT_EQ(t.link.FirmwareFleMonthNum(), c.month) << c.id;
        EXPECT_EQ(t.link.FirmwareFleYearNum(), c.year) << c.id;
        EXPECT_EQ(t.link.DescProgettoFle_CLIENTE(), c.w2) << c.id;
    }
}

TEST(ClsComm, ComPortUnderUsbAndItsName) {
    LinkInTree t;
    t.link.ComPort(3);
    t.link.UsbCom(true);
    EXPECT_EQ(t.link.ComPort(), 0);
    EXPECT_EQ(t.link.ComPortNome(), "COM3");
    t.link.UsbCom(false);
    EXPECT_EQ(t.link.ComPort(), 3);
    for (qint16 n : {0, 10, -1}) {
        t.link.ComPort(n);
        EXPECT_EQ(t.link.ComPortNome(), "") << n;
    }
}

TEST(ClsComm, GuardedAndCheckedIndexes) {
    LinkInTree t;
    t.link.NumWDogSend(-3);
    EXPECT_EQ(t.link.NumWDogSend(), 0);

    t.link.ErrInj(63, 7);
    t.link.ErrInj(64, 5);
    EXPECT_EQ(t.link.ErrInj(63), 7);
    EXPECT_EQ(t.link.ErrInj(64), 0);
    EXPECT_EQ(t.link.ErrInj(200), 0);
    EXPECT_EQ(t.link.ErrInjUBound(), 63);
    t.link.ErrInjClr();
    EXPECT_EQ(t.link.ErrInj(63), 0);

    EXPECT_TRUE(t.link.BFlash(13, 1, 9));
    EXPECT_EQ(t.link.BFlash(13, 1), 9);
    EXPECT_FALSE(t.link.BFlash(14, 0, 1));
    EXPECT_FALSE(t.link.BFlash(0, 2).has_value());
    EXPECT_FALSE(t.link.BFlash(-1, 0).has_value());
}

TEST(ClsComm, TableFlashIsSizedAndBounded) {
    LinkInTree t;
    EXPECT_EQ(t.link.TableFlashUBound(), -1);
    EXPECT_FALSE(t.link.TableFlash(0).has_value());
    EXPECT_TRUE(t.link.RedimTableFlash(3, false));
    EXPECT_EQ(t.link.TableFlashUBound(), 3);
    EXPECT_TRUE(t.link.TableFlash(3, 0xAB));
    EXPECT_FALSE(t.link.TableFlash(4, 1));
    EXPECT_TRUE(t.link.RedimTableFlash(5, true));
    EXPECT_EQ(t.link.TableFlash(3), 0xAB);
    EXPECT_EQ(t.link.TableFlash(5), 0);
    EXPECT_TRUE(t.link.RedimTableFlash(-1, false));
    EXPECT_EQ(t.link.TableFlashUBound(), 5) << "a negative size changes nothing";
    EXPECT_TRUE(t.link.RedimTableFlash(5, false));
    EXPECT_EQ(t.link.TableFlash(3), 0);
    EXPECT_FALSE(t.link.RedimTableFlash(0x7FFFFFFF, false)) << "a damaged flash map";
    EXPECT_EQ(t.link.TableFlashUBound(), 5);
}

TEST(ClsComm, AggiornaIndVarTakesTheReplyData) {
    LinkInTree t;
    t.link.AggiornaIndVar(QByteArray::fromHex("42010701000A0BFF47"));
    EXPECT_EQ(t.link.IndVar(0), 0x0A);
    EXPECT_EQ(t.link.IndVar(1), 0x0B);
    EXPECT_EQ(t.link.IndVar(2), 0xFF);
    EXPECT_EQ(t.link.IndVar(3), -1);
    EXPECT_EQ(t.link.IndVar(15), -1);
}

TEST(ClsComm, TimeComCountsOnlyWhileOpen) {
    testing_support::FakeTime time;
    LinkInTree t;
    time.Advance(5e6);
    EXPECT_EQ(t.link.TimeCom(), 0.0);
    t.link.nPorta(7); // as if the serial port were open
    time.Advance(3e6);
    EXPECT_EQ(t.link.TimeCom(), 3.0);
    t.link.TimeCom_RSet();
    EXPECT_EQ(t.link.TimeCom(), 0.0);
}

TEST(ReplyQueue, FirstInFirstOutWithTwentySlots) {
    ReplyQueue queue;
    queue.PushReplyQueue("a");
    queue.PushReplyQueue("");
    queue.PushReplyQueue("b");
    queue.PushReplyQueue("c");
    EXPECT_EQ(queue.PopReplyQueue(), "a");
    EXPECT_EQ(queue.PopReplyQueue(), "b");
    EXPECT_EQ(queue.PopReplyQueue(), "c");
    EXPECT_EQ(queue.PopReplyQueue(), "");

    for (int i = 0; i < 21; ++i) {
        queue.PushReplyQueue(QByteArray::number(i));
    }
    EXPECT_EQ(queue.Pending(), 20) << "the 21st push is dropped";
    EXPECT_EQ(queue.PopReplyQueue(), "0");
    queue.PushReplyQueue("x");
    for (int i = 1; i < 20; ++i) {
        EXPECT_EQ(queue.PopReplyQueue(), QByteArray::number(i));
    }
    EXPECT_EQ(queue.PopReplyQueue(), "x");
    EXPECT_EQ(queue.Pending(), 0);
}
