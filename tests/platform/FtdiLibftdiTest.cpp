#include "platform/FtdiLibftdi.h"

#include <gtest/gtest.h>

using namespace platform;

// Runs on machines without any cable (and without USB at all): the driver must then
// report no device or a failed count, and an open must fail, never crash.
TEST(LibFtdiDriver, WithoutACableNothingOpens) {
    LibFtdiDriver driver;
    qint32 count = -1;
    const FT_STATUS first = driver.FT_ListDevices(count);
    if (first == FT_OK) {
        EXPECT_GE(count, 0);
    }
    qint32 again = -1;
    EXPECT_EQ(driver.FT_ListDevices(again), first) << "a second count at once is the cached one";
    EXPECT_EQ(again, count);

    qint32 handle = 0;
    EXPECT_NE(driver.FT_Open(first == FT_OK ? count : 0, handle), FT_OK);
    EXPECT_EQ(handle, 0);
    qint32 rx = 0;
    EXPECT_NE(driver.FT_GetQueueStatus(handle, rx), FT_OK);
    EXPECT_NE(driver.FT_Close(handle), FT_OK);
}

// What a failed transfer of the library says: the cable gone (unplugged, closed under
// the driver, an I/O error) or a transfer that only failed this time.
TEST(LibFtdiDriver, TransferFailuresOfAGoneCableAreToldApart) {
    const struct {
        int code;
        bool gone;
    } cases[] = {// the USB library's I/O error, no device, not found; libftdi's unavailable
                 {-1, true},
                 {-4, true},
                 {-5, true},
                 {-666, true},
                 // its time-out, interrupted, busy and overflow
                 {-7, false},
                 {-10, false},
                 {-6, false},
                 {-8, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(FtDeviceGone(LibFtdiTransferStatus(c.code)), c.gone) << c.code;
    }
}
