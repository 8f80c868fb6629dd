#include "modelFixtures.h"

#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

// 23 frames, so that moves cross a row of the sheet; durations 0 and 255 among
// them, a red and a blue layer mark, a marked range and frames set as changed.
void FillMarkedAnimation(TAnimation& animation) {
    FillAnimation(animation, 23);
    for (int i = 0; i < animation.FrameCount(); ++i)
        animation.Frame(i).SetDuration(static_cast<std::uint8_t>((i * 37) % 256));
    animation.Frame(0).SetDuration(0);
    animation.Frame(22).SetDuration(255);
    animation.Frame(10).SetDuration(255);
    animation.Frame(4).SetDuration(0);
    animation.Frame(4).SetRedLayer(true);
    animation.Frame(19).SetBlueLayer(true);
    for (int i = 8; i <= 12; ++i)
        animation.Frame(i).SetSelected(true);
}

} // namespace

TEST(TakeAndInsertFrames, TakenFramesPutBackGiveTheIdenticalAnimation) {
    struct Case {
        const char* name;
        int first;
        int last;
    };
    const Case cases[] = {
        {"first frame", 0, 0},          {"last frame", 22, 22},
        {"one in the middle", 10, 10},  {"a middle range", 3, 9},
        {"across a sheet row", 17, 21}, {"to the end", 19, 22},
        {"the whole animation", 0, 22},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TAnimation animation;
        FillMarkedAnimation(animation);
        const AnimationState before = AnimationStateOf(animation);

        std::vector<TFrame> taken = animation.TakeFrames(c.first, c.last);
        ASSERT_EQ(static_cast<int>(taken.size()), c.last - c.first + 1);
        ASSERT_EQ(animation.FrameCount(), 23 - (c.last - c.first + 1));
        EXPECT_EQ(taken.front().Pixels, std::get<3>(before.frames[c.first]));
        EXPECT_EQ(taken.back().Duration(), std::get<0>(before.frames[c.last]));
        // The frames after the gap close it up, in cells and in time.
        const int count = c.last - c.first + 1;
        for (int i = 0; i < animation.FrameCount(); ++i) {
            EXPECT_EQ(Marker(animation.Frame(i)), i < c.first ? i : i + count) << "frame " << i;
            EXPECT_EQ(animation.Frame(i).StartTime(),
                      i == 0 ? 0 : animation.Frame(i - 1).EndTime());
            EXPECT_TRUE(CellMatchesPixels(animation, i)) << "frame " << i;
        }

        ASSERT_TRUE(animation.InsertFrames(c.first, std::move(taken)));
        EXPECT_TRUE(AnimationStateOf(animation) == before) << "not the same animation again";
        for (int i = 0; i < animation.FrameCount(); ++i)
            EXPECT_TRUE(CellMatchesPixels(animation, i)) << "frame " << i;

        // The frames put back belong to the animation again: a new duration moves
        // the later frames.
        const int nextStart = c.last + 1 < 23 ? animation.Frame(c.last + 1).StartTime() : 0;
        animation.Frame(c.last).SetDuration(animation.Frame(c.last).Duration() == 1 ? 2 : 1);
        if (c.last + 1 < 23) {
            EXPECT_NE(animation.Frame(c.last + 1).StartTime(), nextStart);
        }
    }
}

TEST(TakeAndInsertFrames, RangesOutsideTheAnimationAndInsertsThatDoNotFitChangeNothing) {
    TAnimation animation;
    FillMarkedAnimation(animation);
    const AnimationState before = AnimationStateOf(animation);
    for (const auto& [first, last] : {std::pair{-1, 0}, {3, 2}, {0, 23}, {23, 23}})
        EXPECT_TRUE(animation.TakeFrames(first, last).empty()) << first << ".." << last;
    for (const int index : {-2, 24})
        EXPECT_FALSE(animation.InsertFrames(index, std::vector<TFrame>(1))) << index;
    EXPECT_FALSE(animation.InsertFrames(0, std::vector<TFrame>(MaxDocumentFrames - 22)));
    EXPECT_TRUE(AnimationStateOf(animation) == before);

    EXPECT_TRUE(animation.InsertFrames(-1, std::vector<TFrame>(MaxDocumentFrames - 23)));
    EXPECT_EQ(animation.FrameCount(), MaxDocumentFrames);
}

TEST(TakeAndInsertFrames, TakenFramesNoLongerReachTheAnimation) {
    TAnimation animation;
    FillMarkedAnimation(animation);
    std::vector<TFrame> taken = animation.TakeFrames(0, 1);
    const AnimationState before = AnimationStateOf(animation);
    // The red layer is on frame 4, now frame 2: a taken frame getting the mark
    // must not take it off there, nor a new duration move the frames that stayed.
    taken[0].SetRedLayer(true);
    taken[1].SetBlueLayer(true);
    taken[1].SetDuration(99);
    EXPECT_TRUE(AnimationStateOf(animation) == before);
}

TEST(TakeAndInsertFrames, AFramePutBackWithALayerMarkTakesItFromTheOthers) {
    TAnimation animation;
    FillMarkedAnimation(animation);
    std::vector<TFrame> taken = animation.TakeFrames(4, 4); // the red layer's frame
    animation.Frame(0).SetRedLayer(true);
    animation.Frame(1).SetBlueLayer(true);
    taken[0].SetBlueLayer(false);
    ASSERT_TRUE(animation.InsertFrames(4, std::move(taken)));
    for (int i = 0; i < animation.FrameCount(); ++i)
        EXPECT_EQ(animation.Frame(i).RedLayer(), i == 4) << "frame " << i;
    EXPECT_TRUE(animation.Frame(1).BlueLayer());
}

// A cut and a paste of the same frames at the same place, through the payload
// as the frame clipboard carries it, restore the pictures and the times.
TEST(TakeAndInsertFrames, APayloadOfTakenFramesPastedBackRestoresPicturesAndTimes) {
    TAnimation animation;
    FillMarkedAnimation(animation);
    const std::vector<int> durations = Durations(animation);
    const auto times = Times(animation);
    const QByteArray payload = animation.SelectedFramesPayload();
    animation.DeleteSelectedFrames();
    ASSERT_EQ(animation.FrameCount(), 18);
    ASSERT_TRUE(animation.InsertFramePayload(8, payload));
    EXPECT_EQ(Durations(animation), durations);
    EXPECT_EQ(Times(animation), times);
    for (int i = 0; i < animation.FrameCount(); ++i) {
        EXPECT_EQ(Marker(animation.Frame(i)), i);
        EXPECT_TRUE(CellMatchesPixels(animation, i)) << "frame " << i;
    }
}
