#include "modelFixtures.h"
#include "unitAnimationSpeed.h"

#include <gtest/gtest.h>
#include <numeric>

using namespace vistrel;
using namespace vistrel::testing;

TEST(AnimationSpeed, DurationsRoundHalvesToEvenAndStayWithinOneTo255) {
    struct Case {
        int speedFactor;
        std::initializer_list<int> durations;
        std::vector<int> expected;
    };
    for (const Case& c : {
             // 0.5 rounds to 0 and is raised to 1; 1.5 gives 2; 2.5 gives 2.
             Case{200, {1, 2, 3, 5, 7}, {1, 1, 2, 2, 4}}, Case{33, {1, 2, 3}, {3, 6, 9}},
             Case{300, {3, 6, 9}, {1, 2, 3}}, Case{50, {200, 127, 128}, {255, 254, 255}},
             Case{25500, {255, 1, 128}, {1, 1, 1}}, Case{1, {1, 2}, {100, 200}},
             Case{40, {1, 3}, {2, 8}},            // 2.5 -> 2, 7.5 -> 8
             Case{150, {0, 3}, {1, 2}},           // a duration of 0 comes out as 1
             Case{100, {0, 3, 255}, {0, 3, 255}}, // the own speed keeps even a 0
         }) {
        TAnimation animation;
        FillAnimation(animation, c.durations);
        EXPECT_EQ(AdjustAnimationSpeed(animation, c.speedFactor), c.speedFactor != 100);
        EXPECT_EQ(Durations(animation), c.expected) << c.speedFactor << "%";
        // The times follow the new durations.
        EXPECT_EQ(animation.Frame(animation.FrameCount() - 1).EndTime(),
                  std::accumulate(c.expected.begin(), c.expected.end(), 0))
            << c.speedFactor << "%";
    }
}

TEST(AnimationSpeed, ReadsTypedPercentagesWithoutWrapping) {
    struct Case {
        const char* text;
        std::optional<std::int64_t> value;
    };
    for (const Case& c : {
             Case{"150%", 150},
             Case{"150", 150},
             Case{"%1%5%0%", 150},
             Case{"  +95", 95},
             Case{"-3%", -3},
             Case{"150 %", std::nullopt},
             Case{"fast", std::nullopt},
             Case{"", std::nullopt},
             Case{"1.5", std::nullopt},
             Case{"0x20", std::nullopt},
         }) {
        EXPECT_EQ(ReadSpeedFactor(QString::fromLatin1(c.text)), c.value) << c.text;
    }
    // Numbers past 32 bits stay out of range whatever their size.
    for (const char* huge : {"4294967346", "2147483648", "99999999999999999999999999"}) {
        const std::optional<std::int64_t> value = ReadSpeedFactor(QString::fromLatin1(huge));
        ASSERT_TRUE(value.has_value()) << huge;
        EXPECT_FALSE(IsValidSpeedFactor(*value)) << huge;
        EXPECT_FALSE(IsValidSpeedFactor(-*value)) << huge;
    }
    EXPECT_TRUE(IsValidSpeedFactor(1));
    EXPECT_TRUE(IsValidSpeedFactor(25500));
    EXPECT_FALSE(IsValidSpeedFactor(0));
    EXPECT_FALSE(IsValidSpeedFactor(25501));
}
