#include "modelFixtures.h"

#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

// 23 frames, so that moves cross a row of the sheet, with durations of their
// own, both layer marks and a few range marks to travel with their frames.
void FillMovable(TAnimation& animation) {
    FillAnimation(animation, 23);
    for (int i = 0; i < animation.FrameCount(); ++i)
        animation.Frame(i).SetDuration(static_cast<std::uint8_t>((i * 37) % 256));
    animation.Frame(3).SetRedLayer(true);
    animation.Frame(20).SetBlueLayer(true);
    for (int i = 5; i <= 7; ++i)
        animation.Frame(i).SetSelected(true);
}

} // namespace

// A move is the same as taking the frames out and putting them in at their new
// place, and the opposite move brings back the animation it started from.
TEST(MoveFrames, IsATakeAndInsertAndMovingBackRestoresEverything) {
    const struct {
        const char* name;
        int first, last, to;
    } cases[] = {
        {"one frame forwards", 2, 2, 6},
        {"one frame backwards", 9, 9, 1},
        {"first to last", 0, 0, 22},
        {"last to first", 22, 22, 0},
        {"a range forwards across a sheet row", 5, 8, 18},
        {"a range backwards across a sheet row", 17, 21, 2},
        {"a range by one", 5, 7, 6},
        {"nowhere", 4, 9, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TAnimation moved;
        TAnimation expected;
        FillMovable(moved);
        FillMovable(expected);
        const AnimationState before = AnimationStateOf(moved);

        ASSERT_TRUE(moved.MoveFrames(c.first, c.last, c.to));
        ASSERT_TRUE(expected.InsertFrames(c.to, expected.TakeFrames(c.first, c.last)));
        EXPECT_TRUE(AnimationStateOf(moved) == AnimationStateOf(expected))
            << "not a take and insert";
        const int count = c.last - c.first + 1;
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(Marker(moved.Frame(c.to + i)), c.first + i);
        for (int i = 0; i < moved.FrameCount(); ++i)
            EXPECT_TRUE(CellMatchesPixels(moved, i)) << "frame " << i;

        ASSERT_TRUE(moved.MoveFrames(c.to, c.to + count - 1, c.first));
        EXPECT_TRUE(AnimationStateOf(moved) == before) << "not the same animation again";

        // The moved frames still belong to the animation: a new duration moves
        // the frames after them.
        const int after = c.to + count;
        if (after < moved.FrameCount()) {
            const int start = moved.Frame(after).StartTime();
            TFrame& last = moved.Frame(after - 1);
            last.SetDuration(last.Duration() == 1 ? 2 : 1);
            EXPECT_NE(moved.Frame(after).StartTime(), start);
        }
    }
}

TEST(MoveFrames, RangesOutsideTheAnimationAndPlacesBeyondItChangeNothing) {
    TAnimation animation;
    FillMovable(animation);
    const AnimationState before = AnimationStateOf(animation);
    const struct {
        int first, last, to;
    } refused[] = {{-1, 0, 3}, {3, 2, 0}, {20, 23, 0}, {0, 0, -1}, {0, 0, 23}, {18, 22, 19}};
    for (const auto& r : refused)
        EXPECT_FALSE(animation.MoveFrames(r.first, r.last, r.to))
            << r.first << ".." << r.last << " to " << r.to;
    EXPECT_TRUE(AnimationStateOf(animation) == before);
}
