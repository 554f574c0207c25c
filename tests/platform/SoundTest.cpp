#include "platform/Sound.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

int SignChanges(const std::vector<std::int16_t>& samples) {
    int changes = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if ((samples[i - 1] < 0) != (samples[i] < 0)) {
            ++changes;
        }
    }
    return changes;
}

TEST(Tone, HasThePitchAndLengthAskedAndStartsAndEndsSilent) {
    struct Case {
        int hz, ms;
    };
    for (const Case c : {Case{600, 100}, Case{500, 52}, Case{700, 28}}) {
        const auto samples = platform::ToneSamples(c.hz, c.ms, 48000);
        ASSERT_EQ(samples.size(), static_cast<std::size_t>(48 * c.ms)) << c.hz;
        // Two sign changes a period.
        EXPECT_NEAR(SignChanges(samples), 2 * c.hz * c.ms / 1000, 2) << c.hz;
        EXPECT_LT(std::abs(samples.front()), 50);
        EXPECT_LT(std::abs(samples.back()), 500);
    }
    EXPECT_TRUE(platform::ToneSamples(0, 100, 48000).empty());
    EXPECT_TRUE(platform::ToneSamples(600, 0, 48000).empty());
}

TEST(Tone, AMissingSoundDeviceIsReportedNotFatal) {
    EXPECT_FALSE(platform::PlayTone("lx735-no-such-device", 600, 100));
}

TEST(Tone, EveryToneAskedReachesTheObserverAndTheCallerGoesOn) {
    std::vector<std::pair<int, int>> seen;
    platform::SetBeepObserver([&](int hz, int ms) { seen.emplace_back(hz, ms); });
    platform::Beep(600, 100);
    platform::Beep(500, 52);
    platform::SetBeepObserver({});
    platform::Beep(700, 28);
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{600, 100}, {500, 52}}));
}

} // namespace
