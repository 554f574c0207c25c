#include "firmware/UpdateFixUps.h"
#include "ecudata/ParamRecords.h"

#include <gtest/gtest.h>

using namespace firmware;

TEST(UpdateFixUps, OldFirmwareDatesDecideWhichFixUpsApply) {
    struct Case {
        const char* date;
        qint16 version;
        bool options; // the 2007 fix-up
        bool period;  // the 2008 fix-up
    };
    const Case cases[] = {
        {"27/07/2007", 112, true, true},   {"28/07/2007", 112, false, true},
        {"22/07/2008", 112, false, false}, {"28/07/2006", 112, true, true},
        {"21/07/2008", 112, false, true},  {"27/07/2007", 0, false, false},
    };
    for (const Case& c : cases) {
        ecudata::Mem2Rec mem2;
        ecudata::Mem3Rec mem3;
        mem2.Flags = 0x8B; // clock bit 7, bit 3 and bits 1, 0
        mem2.SwitchRpmPeriod = 1234;
        mem3.ExpertFlags = 0x0F0B;
        mem3.SwitchRpm = 1500;
        FixUpSavedRecords(mem2, mem3, c.version, c.date);
        EXPECT_EQ(mem2.Flags, c.options ? 0x83 : 0x8B) << c.date;
        EXPECT_EQ(mem3.ExpertFlags, c.options ? 0x75 : 0x0F0B) << c.date;
        EXPECT_EQ(mem2.SwitchRpmPeriod, c.period ? 5000 : 1234) << c.date; // 7,500,000 / 1500
    }
}

TEST(UpdateFixUps, ChangeOverPeriodIsNoneForNoSpeedOrAnOverflow) {
    EXPECT_EQ(SwitchRpmPeriodFor(100, 7500000), -1) << "75,000 does not fit 16 bits";
    EXPECT_EQ(SwitchRpmPeriodFor(0, 7500000), -1);
    EXPECT_EQ(SwitchRpmPeriodFor(0.4, 15000000), -1) << "rounds to no speed";
    EXPECT_EQ(SwitchRpmPeriodFor(2500.5, 15000000), 6000) << "2500.5 rounds to 2500";
    EXPECT_EQ(SwitchRpmPeriodFor(7000, 15000000), 2142) << "rounded down";
    EXPECT_EQ(SwitchRpmPeriodFor(115, 7500000), 65217);
}

TEST(UpdateFixUps, TestRecordPayloadIsTheReplyDataRightAligned) {
    QByteArray whole("B\x01\x13\x30");
    whole.append('\0');
    for (int i = 0; i < 16; ++i) {
        whole.append(static_cast<char>(0xA0 + i));
    }
    whole.append('\x77'); // checksum
    ASSERT_EQ(whole.size(), 22);
    EXPECT_EQ(DcolWritePayload(whole), whole.mid(5, 16));

    const QByteArray shortReply = whole.right(10); // data bytes 10..15 and the checksum
    EXPECT_EQ(DcolWritePayload(shortReply), QByteArray(7, '\0') + whole.mid(12, 9));
    EXPECT_EQ(DcolWritePayload({}), QByteArray(16, '\0'));
}
