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
