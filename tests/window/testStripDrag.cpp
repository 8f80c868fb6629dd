// The sums of a slot dragged along the strip, on the strip's own layout: five
// slots 107 pixels wide every 128 pixels from x = 7, their middles at 60, 188,
// 316, 444 and 572.

#include "frameStrip.h"
#include "modelFixtures.h"
#include "stripDrag.h"

#include <gtest/gtest.h>

namespace vistrel::testing {
namespace {

const TSlotRow Row = TFrameStrip::SlotRow();

// Where a drop at x lands and the order the frames then stand in, as numbers
// of the frames before the move; an empty order is a drop that moves nothing.
TEST(StripDrag, ADropPutsTheCarriedFramesInTheGapUnderThePointer) {
    const struct {
        const char* what;
        int frames, position, pressed;
        int selFirst, selLast; // -1: no range
        int x;
        int gap;
        std::vector<int> order;
    } cases[] = {
        {"one frame forwards", 10, 0, 1, -1, -1, 380, 3, {0, 2, 1, 3, 4, 5, 6, 7, 8, 9}},
        {"one frame backwards", 10, 3, 7, -1, -1, 3, 3, {0, 1, 2, 7, 3, 4, 5, 6, 8, 9}},
        {"to the very end", 10, 5, 0, -1, -1, 700, 10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0}},
        {"to the very start", 10, 0, 4, -1, -1, -30, 0, {4, 0, 1, 2, 3, 5, 6, 7, 8, 9}},
        {"left of a slot's middle", 10, 0, 0, -1, -1, 187, 1, {}},
        {"on a slot's middle", 10, 0, 0, -1, -1, 188, 2, {1, 0, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"past the last of three frames", 3, 0, 0, -1, -1, 600, 3, {1, 2, 0}},
        {"onto itself", 10, 0, 2, -1, -1, 290, 2, {}},
        {"a range forwards", 10, 2, 3, 2, 4, 632, 7, {0, 1, 5, 6, 2, 3, 4, 7, 8, 9}},
        {"a range backwards", 10, 0, 5, 5, 7, 124, 1, {0, 5, 6, 7, 1, 2, 3, 4, 8, 9}},
        {"inside the range", 10, 0, 2, 2, 4, 330, 3, {}},
        {"at the range's start", 10, 0, 4, 2, 4, 200, 2, {}},
        {"at the range's end", 10, 0, 2, 2, 4, 600, 5, {}},
        {"a frame outside the range", 10, 2, 6, 2, 4, 3, 2, {0, 1, 6, 2, 3, 4, 5, 7, 8, 9}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TStripDrag drag(Row, c.frames, c.pressed, c.selFirst >= 0, c.selFirst, c.selLast);
        const int gap = drag.GapAt(c.x, c.position);
        EXPECT_EQ(gap, c.gap);
        EXPECT_EQ(drag.Moves(gap), !c.order.empty());
        if (!drag.Moves(gap))
            continue;
        TAnimation animation;
        FillAnimation(animation, c.frames);
        ASSERT_TRUE(animation.MoveFrames(drag.First(), drag.Last(), drag.Destination(gap)));
        std::vector<int> order;
        for (int i = 0; i < animation.FrameCount(); ++i)
            order.push_back(Marker(animation.Frame(i)));
        EXPECT_EQ(order, c.order);
    }
}

TEST(StripDrag, TheMarkerStandsInTheSpaceOfItsGapWhileItIsInView) {
    const TStripDrag ten(Row, 10, 0, false, 0, 0);
    const TStripDrag three(Row, 3, 0, false, 0, 0);
    const struct {
        const TStripDrag& drag;
        int gap, position, x;
    } cases[] = {
        {ten, 0, 0, 3},     // the strip's left margin
        {ten, 1, 0, 124},   // between slots 0 and 1
        {ten, 4, 0, 508},   // between slots 3 and 4
        {ten, 5, 0, 629},   // the strip's right margin
        {ten, 7, 2, 629},   // scrolled
        {ten, 6, 0, -1},    // right of the slots in view
        {ten, 1, 2, -1},    // left of them
        {three, 3, 0, 380}, // after the last of three frames
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.drag.MarkerX(c.gap, c.position), c.x)
            << "gap " << c.gap << " at position " << c.position;
}

TEST(StripDrag, ThePointerNearAnEndScrollsWhileThereIsRoom) {
    const TStripDrag drag(Row, 10, 0, false, 0, 0);
    const struct {
        int x, position, step;
    } cases[] = {
        {26, 3, -1}, {27, 3, 0},  {-40, 3, -1}, {26, 0, 0},   // the left end
        {606, 3, 1}, {605, 3, 0}, {900, 3, 1},  {606, 5, 0}}; // the right end, 5 the last position
    for (const auto& c : cases)
        EXPECT_EQ(drag.ScrollStep(c.x, c.position, 5), c.step)
            << "x " << c.x << " at position " << c.position;
}

} // namespace
} // namespace vistrel::testing
