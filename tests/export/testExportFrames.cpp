#include "exportFrames.h"
#include "modelFixtures.h"

#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

TEST(GifDelays, FollowThePlayersTimeWithoutAddingUpRoundingErrors) {
    struct Case {
        std::vector<int> durations;
        int fps;
    };
    const Case cases[] = {
        {{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 12}, // 83 ms ticks: 8.3 hundredths each
        {{2, 0, 5}, 10},                            // a frame of 0 ticks still shows one
        {{1, 3, 1, 7, 255, 1}, 7},                  // 142 ms ticks
        {{1, 1, 1, 1, 1, 1}, 1000},                 // 1 ms ticks: most delays round to 0
        {{255, 255}, 1},
    };
    for (const Case& c : cases) {
        TAnimation animation;
        for (const int d : c.durations)
            FillAnimation(animation, {d});
        const std::vector<int> delays = GifDelays(animation, c.fps);
        ASSERT_EQ(delays.size(), c.durations.size());
        const int tickMs = 1000 / c.fps;
        long long realMs = 0;
        long long gifMs = 0;
        for (std::size_t i = 0; i < delays.size(); ++i) {
            realMs += std::max(c.durations[i], 1) * tickMs;
            gifMs += delays[i] * 10;
            EXPECT_GE(delays[i], 0);
            // Every frame ends within half a hundredth of its end in the player.
            EXPECT_LE(std::abs(gifMs - realMs), 5) << "fps " << c.fps << " frame " << i;
        }
    }
    TAnimation twelve;
    FillAnimation(twelve, 3);
    EXPECT_EQ(GifDelays(twelve, 12), (std::vector<int>{8, 9, 8}));
}

TEST(GifLoopCount, PlaysTheAnimationAsOftenAsThePlayerDoes) {
    // {repeat count, loop count, -1 for no looping extension}
    const std::pair<int, int> cases[] = {{1, -1}, {2, 1}, {3, 2}, {254, 253}, {255, 0}, {0, 0}};
    for (const auto& [repeat, loop] : cases)
        EXPECT_EQ(GifLoopCount(repeat).value_or(-1), loop) << "repeat " << repeat;
}

TEST(CIdentifier, TurnsAnyFileNameIntoAValidName) {
    const std::pair<const char*, const char*> cases[] = {
        {"walk", "walk"},
        {"Walk_Cycle2", "Walk_Cycle2"},
        {"2 walk-cycle", "anim_2_walk_cycle"},
        {"", "anim_"},
        {"_x", "_x"},
        {"caf\u00e9", "caf_"},
    };
    for (const auto& [file, name] : cases)
        EXPECT_EQ(CIdentifier(QString::fromUtf8(file)), QLatin1String(name)) << file;
}
