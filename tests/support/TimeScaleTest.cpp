// The test-only time scale shortens the program's fixed pauses and nothing else.

#include "common/FakeTime.h"
#include "support/Clock.h"

#include <gtest/gtest.h>

namespace {

// Sets the variable for the test's lifetime.
class ScopedScale {
public:
    explicit ScopedScale(const char* text) { qputenv("LX735_TEST_TIME_SCALE", text); }
    ~ScopedScale() { qunsetenv("LX735_TEST_TIME_SCALE"); }
    ScopedScale(const ScopedScale&) = delete;
    ScopedScale& operator=(const ScopedScale&) = delete;
};

TEST(TimeScale, OnlyAFactorAboveZeroAndAtMostOneCounts) {
    const struct {
        const char* text;
        double scale;
    } cases[] = {{"0.1", 0.1},  {" 0.5 ", 0.5}, {"1", 1.0},   {"", 1.0},    {"0", 1.0},
                 {"-0.2", 1.0}, {"2", 1.0},     {"nan", 1.0}, {"inf", 1.0}, {"0,1", 1.0}};
    for (const auto& c : cases) {
        EXPECT_EQ(support::ParseTimeScale(c.text), c.scale) << c.text;
    }
}

TEST(TimeScale, APauseIsShortenedAndAWaitIsNot) {
    testing_support::FakeTime time(0);
    time.onPump = [&] { time.Advance(100); };
    {
        const ScopedScale scale("0.1");
        support::PauseUsec(10000);
        EXPECT_LT(time.NowUsec(), 1200);
        const double start = time.NowUsec();
        support::WaitUsec(10000);
        EXPECT_GT(time.NowUsec(), start + 10000);
    }
    const double start = time.NowUsec();
    support::PauseUsec(10000);
    EXPECT_GT(time.NowUsec(), start + 10000) << "without the variable a pause is whole";
}

} // namespace
