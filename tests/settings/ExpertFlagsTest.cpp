// The expert settings' flag and threshold arithmetic.

#include "settings/ExpertFlags.h"
#include "ecudata/ParamRecords.h"

#include <gtest/gtest.h>

using namespace settings;

TEST(ExpertFlags, ThresholdRoundTrip) {
    const QStringList items{"2560", "3840", "5120", "7680", "10240"};
    EXPECT_EQ(ThresholdBits(5.12), 40);
    EXPECT_EQ(ThresholdSelection(items, 40, ","), 2);
    EXPECT_EQ(ThresholdSelection(items, 41, ","), 2) << "bit 0 is the minimum rpm";
    EXPECT_EQ(ThresholdSelection(items, 0, ","), -1) << "no threshold: no selection";
    EXPECT_EQ(ThresholdSelection(items, 254, ","), -1) << "beyond every item";
    EXPECT_EQ(ThresholdBits(0.3841), 2) << "384,1 us rounds to 384: 3 units, bit 0 dropped";
    EXPECT_EQ(ThresholdBits(40.0), 254) << "beyond 32767 us the units stop at 254";
    EXPECT_EQ(ThresholdBits(100.0), 254);
}

TEST(ExpertFlags, EditsStartFromAPendingEdit) {
    ecudata::Mem3Rec read, write;
    read.ExpertFlags = 0x28;
    write.ExpertFlags = -1;
    EXPECT_EQ(ExpertFlagsBase(write, read), 0x28);
    write.ExpertFlags = 0x51;
    EXPECT_EQ(ExpertFlagsBase(write, read), 0x51);
}
