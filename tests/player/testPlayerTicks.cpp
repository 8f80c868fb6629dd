#include "modelFixtures.h"
#include "playerTicks.h"
#include "unitAnimation.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

using Position = std::pair<int, int>; // frame, tick

// The frame on show at each tick of a run, up to a limit; the second value
// tells whether the run ended by itself.
std::pair<std::vector<int>, bool> ShownFrames(TPlayerTicks& ticks, int limit = 1000) {
    std::vector<int> shown{ticks.ShownFrame()};
    while (static_cast<int>(shown.size()) < limit) {
        if (ticks.Advance())
            return {shown, true};
        shown.push_back(ticks.ShownFrame());
    }
    return {shown, false};
}

Position At(const TPlayerTicks& ticks) {
    return {ticks.CurrentFrame(), ticks.Tick()};
}

} // namespace

TEST(PlayerTicks, DurationsOneTwoThreePlayedTwiceShowTwelveTicks) {
    TAnimation animation;
    FillAnimation(animation, {1, 2, 3});
    TPlayerTicks ticks(animation);
    ticks.Start(0, 2, 2);
    const auto [shown, ended] = ShownFrames(ticks);
    EXPECT_TRUE(ended);
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 1, 2, 2, 2, 0, 1, 1, 2, 2, 2}));
    EXPECT_EQ(ticks.PassesDone(), 2);
    // The run stays over and keeps showing a real frame.
    EXPECT_TRUE(ticks.Advance());
    EXPECT_EQ(ticks.ShownFrame(), 2);
}

TEST(PlayerTicks, RunLengthInTicks) {
    struct Case {
        std::vector<int> durations;
        int first, last, repeats;
        int ticks;
    };
    const Case cases[] = {
        {{0}, 0, 0, 1, 1},             // a frame of duration 0 is shown for one tick
        {{0, 2, 0}, 0, 2, 1, 4},       //
        {{5}, 0, 0, 1, 5},             //
        {{3}, 0, 0, 3, 9},             // three passes of one frame
        {{1, 1, 2, 3, 1}, 2, 4, 1, 6}, // a range inside the animation, once
        {{2, 1, 1}, 1, 1, 2, 2},       // a range of one frame
    };
    for (const Case& c : cases) {
        TAnimation animation;
        for (const int d : c.durations)
            FillAnimation(animation, {d});
        TPlayerTicks ticks(animation);
        ticks.Start(c.first, c.last, c.repeats);
        const auto [shown, ended] = ShownFrames(ticks);
        EXPECT_TRUE(ended) << c.ticks;
        EXPECT_EQ(static_cast<int>(shown.size()), c.ticks)
            << "range " << c.first << ".." << c.last << " x" << c.repeats;
        for (const int frame : shown)
            EXPECT_TRUE(frame >= c.first && frame <= c.last) << frame;
    }
}

TEST(PlayerTicks, PassCountsThatNeverEnd) {
    // 255 and above are endless; 0 is too, as a pass is counted before the test.
    for (const int repeats : {255, 256, 1000, 0}) {
        TAnimation animation;
        FillAnimation(animation, {1, 1, 2, 1});
        TPlayerTicks ticks(animation);
        ticks.Start(1, 2, repeats);
        const auto [shown, ended] = ShownFrames(ticks, 3000);
        EXPECT_FALSE(ended) << repeats;
        EXPECT_EQ(ticks.PassesDone(), 999) << repeats;
        // A pass of the range 1..2 shows 1, 2, 2 and starts over at 1.
        EXPECT_EQ(std::vector<int>(shown.begin(), shown.begin() + 7),
                  (std::vector<int>{1, 2, 2, 1, 2, 2, 1}))
            << repeats;
    }
}

TEST(PlayerTicks, SteppingByTicks) {
    // Each command letter: F first, L last, P previous tick, N next tick; the
    // position after every command.
    struct Case {
        std::vector<int> durations;
        int first, last;
        std::string commands;
        std::vector<Position> after;
    };
    const Case cases[] = {
        // Three Nexts through a frame of duration 3 reach the next frame's tick 0.
        {{3, 1, 2}, 0, 2, "NNN", {{0, 1}, {0, 2}, {1, 0}}},
        // Last shows the last tick of the last frame; Next there changes nothing.
        {{3, 1, 2}, 0, 2, "LNN", {{2, 1}, {2, 1}, {2, 1}}},
        // Previous at tick 0 of the first frame changes nothing.
        {{3, 1, 2}, 0, 2, "PP", {{0, 0}, {0, 0}}},
        // Previous from a frame's tick 0 lands on the last tick of the one before.
        {{3, 1, 2}, 0, 2, "LPPPP", {{2, 1}, {2, 0}, {1, 0}, {0, 2}, {0, 1}}},
        {{3, 1, 2}, 0, 2, "NNLF", {{0, 1}, {0, 2}, {2, 1}, {0, 0}}},
        // The ends are those of the range played, not of the animation.
        {{3, 1, 2, 4}, 1, 2, "PLNF", {{1, 0}, {2, 1}, {2, 1}, {1, 0}}},
        // A frame of duration 0 has one tick, tick 0.
        {{2, 0, 1}, 0, 2, "NNNP", {{0, 1}, {1, 0}, {2, 0}, {1, 0}}},
        {{1, 0}, 0, 1, "LP", {{1, 0}, {0, 0}}},
    };
    for (const Case& c : cases) {
        TAnimation animation;
        for (const int d : c.durations)
            FillAnimation(animation, {d});
        TPlayerTicks ticks(animation);
        ticks.Start(c.first, c.last, 1);
        std::vector<Position> after;
        for (const char command : c.commands) {
            switch (command) {
            case 'F':
                ticks.ShowFirst();
                break;
            case 'L':
                ticks.ShowLast();
                break;
            case 'P':
                ticks.StepBack();
                break;
            default:
                ticks.StepForward();
                break;
            }
            after.push_back(At(ticks));
        }
        EXPECT_EQ(after, c.after) << c.commands;
    }
}

TEST(PlayerTicks, PlayingResumesFromWhereTheStepsLeftIt) {
    TAnimation animation;
    FillAnimation(animation, {3, 1, 2});
    TPlayerTicks ticks(animation);
    ticks.Start(0, 2, 1);
    ticks.Advance(); // (0, 1)
    ticks.ShowLast();
    ticks.StepBack(); // (2, 0)
    EXPECT_FALSE(ticks.Advance());
    EXPECT_EQ(At(ticks), (Position{2, 1}));
    // Stepping does not count passes: the single pass ends after this tick.
    EXPECT_TRUE(ticks.Advance());
}

TEST(PlayerTicks, FramesRemovedOrInsertedDuringARunAreBounded) {
    TAnimation animation;
    FillAnimation(animation, {1, 1, 1, 1, 1, 1});
    TPlayerTicks ticks(animation);
    ticks.Start(2, 5, 255);
    for (int i = 0; i < 3; ++i)
        ticks.Advance();
    ASSERT_EQ(ticks.ShownFrame(), 5);

    // Down to three frames: the range 2..5 shrinks to frame 2.
    animation.DeleteFrame(5);
    animation.DeleteFrame(4);
    animation.DeleteFrame(3);
    EXPECT_EQ(ticks.ShownFrame(), 2);
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(ticks.Advance());
        EXPECT_EQ(ticks.ShownFrame(), 2);
    }
    ticks.StepForward();
    ticks.ShowLast();
    EXPECT_EQ(ticks.ShownFrame(), 2);

    // Down to one frame, which is before the range: that frame is shown.
    animation.DeleteFrame(2);
    animation.DeleteFrame(1);
    ticks.StepBack();
    ticks.ShowFirst();
    EXPECT_FALSE(ticks.Advance());
    EXPECT_EQ(ticks.ShownFrame(), 0);

    // Frames coming back are played again, within the range asked for.
    FillAnimation(animation, {1, 1, 1, 1, 1, 1, 1});
    std::vector<int> shown;
    for (int i = 0; i < 8; ++i) {
        ticks.Advance();
        shown.push_back(ticks.ShownFrame());
    }
    EXPECT_EQ(shown, (std::vector<int>{3, 4, 5, 2, 3, 4, 5, 2}));

    // No frames at all: nothing to show, and the run ends.
    animation.ClearFrames();
    EXPECT_EQ(ticks.ShownFrame(), -1);
    ticks.StepForward();
    ticks.StepBack();
    ticks.ShowFirst();
    ticks.ShowLast();
    EXPECT_TRUE(ticks.Advance());
}

TEST(PlayerTicks, AShortenedDurationEndsTheFrameAtItsNewLength) {
    TAnimation animation;
    FillAnimation(animation, {6, 1});
    TPlayerTicks ticks(animation);
    ticks.Start(0, 1, 1);
    for (int i = 0; i < 4; ++i)
        ticks.Advance();
    ASSERT_EQ(At(ticks), (Position{0, 4}));
    animation.Frame(0).SetDuration(2);
    EXPECT_FALSE(ticks.Advance());
    EXPECT_EQ(At(ticks), (Position{1, 0}));
}
