// Moving frames through the document's real history: the order, the current
// frame and the range after the move, after its undo and after its redo.

#include "document.h"
#include "modelFixtures.h"
#include "moveFramesCommand.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

using testing::FillAnimation;
using testing::Marker;

// What the user sees of the frames and where they are in them. A range reads
// as its ends, -1 -1 without one.
struct Seen {
    std::vector<int> order; // FillAnimation's number of each frame
    std::vector<int> marked;
    int current = -1;
    int selFirst = -1;
    int selLast = -1;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& seen) {
    out << "order";
    for (const int frame : seen.order)
        out << ' ' << frame;
    out << ", marked";
    for (const int frame : seen.marked)
        out << ' ' << frame;
    return out << ", current " << seen.current << ", range " << seen.selFirst << ".."
               << seen.selLast;
}

Seen SeenIn(const TDocument& document) {
    Seen seen;
    const TAnimation& animation = document.Animation();
    for (int i = 0; i < animation.FrameCount(); ++i) {
        seen.order.push_back(Marker(animation.Frame(i)));
        if (animation.Frame(i).Selected())
            seen.marked.push_back(i);
    }
    seen.current = document.CurFrame();
    if (document.MultipleSel()) {
        seen.selFirst = document.SelFirst();
        seen.selLast = document.SelLast();
    }
    return seen;
}

// Six frames, saved; frame 1 current, or frames 1..2 marked with 2 current.
void Fill(TDocument& document, bool range) {
    FillAnimation(document.Animation(), 6);
    document.SetCurFrame(range ? 2 : 1);
    if (range) {
        document.Animation().Frame(1).SetSelected(true);
        document.Animation().Frame(2).SetSelected(true);
        document.SetSelRange(1, 2);
        document.SetMultipleSel(true);
    }
    document.MarkClean();
}

TEST(MoveFramesCommand, MovesShowsAndUndoesExactly) {
    const struct {
        const char* what;
        bool range;      // the document has frames 1..2 marked
        bool movesRange; // the step moves the marked range
        int first, last, to, shown;
        Seen after;
    } cases[] = {
        {"current forwards", false, false, 1, 1, 4, 0, {{0, 2, 3, 4, 1, 5}, {}, 4, -1, -1}},
        {"other backwards", false, false, 4, 4, 0, 0, {{4, 0, 1, 2, 3, 5}, {}, 0, -1, -1}},
        {"range to the end", true, true, 1, 2, 4, 1, {{0, 3, 4, 5, 1, 2}, {4, 5}, 5, 4, 5}},
        {"range to the start", true, true, 1, 2, 0, 1, {{1, 2, 0, 3, 4, 5}, {0, 1}, 1, 0, 1}},
        // A frame outside the range moves alone and ends the range.
        {"outside the range", true, false, 5, 5, 2, 0, {{0, 1, 5, 2, 3, 4}, {}, 2, -1, -1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TDocument document;
        Fill(document, c.range);
        const Seen before = SeenIn(document);

        document.Push(
            new TMoveFramesCommand(document, c.first, c.last, c.to, c.movesRange, c.shown));
        EXPECT_EQ(SeenIn(document), c.after);
        EXPECT_TRUE(document.Modified());
        ASSERT_EQ(document.UndoStack().count(), 1);
        EXPECT_EQ(document.UndoStack().text(0), QStringLiteral("Move Frames"));

        document.UndoStack().undo();
        Seen undone = before;
        // A single frame moved back is current where it was; a range comes
        // back marked.
        undone.current = c.first + c.shown;
        if (!c.movesRange) {
            undone.marked.clear();
            undone.selFirst = undone.selLast = -1;
        }
        EXPECT_EQ(SeenIn(document), undone);
        EXPECT_FALSE(document.Modified());

        document.UndoStack().redo();
        EXPECT_EQ(SeenIn(document), c.after);
    }
}

TEST(MoveFramesCommand, AMoveToWhereTheFramesAreOrOutsideTheAnimationLeavesNoStep) {
    for (const auto& [first, last, to] : {std::tuple{1, 1, 1}, {1, 2, 1}, {1, 2, 5}, {6, 6, 0}}) {
        TDocument document;
        Fill(document, false);
        const Seen before = SeenIn(document);
        document.Push(new TMoveFramesCommand(document, first, last, to, false, 0));
        EXPECT_EQ(SeenIn(document), before) << first << ".." << last << " to " << to;
        EXPECT_EQ(document.UndoStack().count(), 0);
        EXPECT_FALSE(document.Modified());
    }
}

} // namespace
} // namespace vistrel
