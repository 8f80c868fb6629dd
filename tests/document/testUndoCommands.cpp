// Every undo step through a real QUndoStack: the change itself, its undo giving
// back exactly the document before it, and its redo exactly the one after,
// checked against a state written out by hand rather than read back from the
// command.

#include "document.h"
#include "undoCommands.h"

#include <QUndoStack>
#include <functional>
#include <gtest/gtest.h>

namespace vistrel {
namespace {

// What a user can see of a document.
struct State {
    std::vector<int> durations;
    std::vector<int> marks; // per frame: the pixel it has lit, as frames are told apart
    int red = -1;
    int blue = -1;
    int repeat = 0;
    bool operator==(const State&) const = default;
};

State StateOf(const TDocument& document) {
    const TAnimation& animation = document.Animation();
    State state;
    state.repeat = animation.RepeatCount;
    for (int i = 0; i < animation.FrameCount(); ++i) {
        const TFrame& frame = animation.Frame(i);
        state.durations.push_back(frame.Duration());
        int lit = -1;
        int litCount = 0;
        for (int p = 0; p < FramePixelCount; ++p)
            if (frame.Pixels[static_cast<std::size_t>(p)] == 1) {
                lit = p;
                ++litCount;
            }
        state.marks.push_back(litCount == 1 ? lit : -1 - litCount);
        if (frame.RedLayer())
            state.red = i;
        if (frame.BlueLayer())
            state.blue = i;
    }
    return state;
}

TFrame FrameWithPixel(int pixel, int duration) {
    TFrame frame;
    frame.SetDuration(static_cast<std::uint8_t>(duration));
    frame.Pixels[static_cast<std::size_t>(pixel)] = 1;
    return frame;
}

FramePixels PixelsWith(int pixel) {
    FramePixels pixels{};
    pixels[static_cast<std::size_t>(pixel)] = 1;
    return pixels;
}

// Five frames told apart by their one lit pixel (100 + i), durations 0, 1, 2,
// 254, 255, the red mark on frame 1, the blue one on frame 3, repeat count 3,
// frame 2 current.
void Fill(TDocument& document) {
    TAnimation& animation = document.Animation();
    const int durations[] = {0, 1, 2, 254, 255};
    for (int i = 0; i < 5; ++i) {
        animation.AddFrame();
        animation.Frame(i).SetDuration(static_cast<std::uint8_t>(durations[i]));
        animation.Frame(i).Pixels = PixelsWith(100 + i);
        animation.PaintCell(i);
    }
    animation.Frame(1).SetRedLayer(true);
    animation.Frame(3).SetBlueLayer(true);
    animation.RepeatCount = 3;
    document.SetCurFrame(2);
}

// The change itself leaves the current frame to its caller; undo and redo from
// the history show the frame they touched.
struct Case {
    const char* what;
    std::function<QUndoCommand*(TDocument&)> command;
    State after;
    int currentAfterRedo;
    int currentAfterUndo;
};

TEST(UndoCommands, EachStepUndoesAndRedoesExactly) {
    const State before{{0, 1, 2, 254, 255}, {100, 101, 102, 103, 104}, 1, 3, 3};
    std::vector<TFrame> none;
    const Case cases[] = {
        {"insert two in the middle",
         [](TDocument& d) {
             std::vector<TFrame> frames;
             frames.push_back(FrameWithPixel(7, 9));
             frames.push_back(FrameWithPixel(8, 0));
             return new TInsertFramesCommand(d, 2, std::move(frames), "Insert Frame");
         },
         {{0, 1, 9, 0, 2, 254, 255}, {100, 101, 7, 8, 102, 103, 104}, 1, 5, 3},
         2,
         2},
        {"append one",
         [](TDocument& d) {
             std::vector<TFrame> frames;
             frames.push_back(FrameWithPixel(9, 4));
             return new TInsertFramesCommand(d, -1, std::move(frames), "Paste Frames");
         },
         {{0, 1, 2, 254, 255, 4}, {100, 101, 102, 103, 104, 9}, 1, 3, 3},
         5,
         2},
        {"delete the marked middle",
         [](TDocument& d) { return new TRemoveFramesCommand(d, 1, 3, "Delete Frames"); },
         {{0, 255}, {100, 104}, -1, -1, 3},
         1,
         1},
        {"delete the last",
         [](TDocument& d) { return new TRemoveFramesCommand(d, 4, 4, "Delete Frames"); },
         {{0, 1, 2, 254}, {100, 101, 102, 103}, 1, 3, 3},
         3,
         4},
        {"delete every frame",
         [](TDocument& d) { return new TRemoveFramesCommand(d, 0, 4, "Cut Frames"); },
         {{}, {}, -1, -1, 3},
         -1,
         0},
        {"a duration",
         [](TDocument& d) { return new TDurationCommand(d, 4, 0); },
         {{0, 1, 2, 254, 0}, {100, 101, 102, 103, 104}, 1, 3, 3},
         4,
         4},
        {"every duration",
         [](TDocument& d) {
             return new TDurationsCommand(d, {1, 1, 1, 127, 128}, "Adjust Animation Speed");
         },
         {{1, 1, 1, 127, 128}, {100, 101, 102, 103, 104}, 1, 3, 3},
         2,
         2},
        {"the repeat count",
         [](TDocument& d) { return new TRepeatCountCommand(d, 255); },
         {{0, 1, 2, 254, 255}, {100, 101, 102, 103, 104}, 1, 3, 255},
         2,
         2},
        {"a picture",
         [](TDocument& d) {
             return new TPictureCommand(d, 0, PixelsWith(100), PixelsWith(1535), "Pen");
         },
         {{0, 1, 2, 254, 255}, {1535, 101, 102, 103, 104}, 1, 3, 3},
         0,
         0},
        {"the red mark moved",
         [](TDocument& d) {
             return new TLayerMarkCommand(d, 4, TLayerMarkCommand::Layer::Red, true);
         },
         {{0, 1, 2, 254, 255}, {100, 101, 102, 103, 104}, 4, 3, 3},
         4,
         4},
        {"the blue mark taken off",
         [](TDocument& d) {
             return new TLayerMarkCommand(d, 3, TLayerMarkCommand::Layer::Blue, false);
         },
         {{0, 1, 2, 254, 255}, {100, 101, 102, 103, 104}, 1, -1, 3},
         3,
         3},
        {"the red mark set on the blue frame",
         [](TDocument& d) {
             return new TLayerMarkCommand(d, 3, TLayerMarkCommand::Layer::Red, true);
         },
         {{0, 1, 2, 254, 255}, {100, 101, 102, 103, 104}, 3, -1, 3},
         3,
         3},
        {"the blue mark set on the red frame",
         [](TDocument& d) {
             return new TLayerMarkCommand(d, 1, TLayerMarkCommand::Layer::Blue, true);
         },
         {{0, 1, 2, 254, 255}, {100, 101, 102, 103, 104}, -1, 1, 3},
         1,
         1},
    };
    for (const Case& c : cases) {
        TDocument document;
        Fill(document);
        ASSERT_EQ(StateOf(document), before) << c.what;
        QUndoStack stack;
        stack.push(c.command(document));
        EXPECT_EQ(StateOf(document), c.after) << c.what;
        EXPECT_EQ(document.CurFrame(), 2) << c.what;
        ASSERT_EQ(stack.count(), 1) << c.what;
        stack.undo();
        EXPECT_EQ(StateOf(document), before) << c.what;
        EXPECT_EQ(document.CurFrame(), c.currentAfterUndo) << c.what;
        stack.redo();
        EXPECT_EQ(StateOf(document), c.after) << c.what;
        EXPECT_EQ(document.CurFrame(), c.currentAfterRedo) << c.what;
        stack.undo();
        EXPECT_EQ(StateOf(document), before) << c.what << " (second undo)";
    }
}

// The keystrokes typed into one duration box are one step; another box, or the
// same box typed into again later, starts the next.
TEST(UndoCommands, DurationsTypedIntoOneBoxAreOneStep) {
    TDocument document;
    Fill(document);
    QUndoStack stack;
    for (const int typed : {2, 25, 250})
        stack.push(new TDurationCommand(document, 1, static_cast<std::uint8_t>(typed)));
    stack.push(new TDurationCommand(document, 3, 7));
    stack.push(new TDurationCommand(document, 3, 8, 1));
    EXPECT_EQ(stack.count(), 3);
    EXPECT_EQ(StateOf(document).durations, (std::vector<int>{0, 250, 2, 8, 255}));
    stack.undo();
    EXPECT_EQ(StateOf(document).durations, (std::vector<int>{0, 250, 2, 7, 255}));
    stack.undo();
    EXPECT_EQ(StateOf(document).durations, (std::vector<int>{0, 250, 2, 254, 255}));
    stack.undo();
    EXPECT_EQ(StateOf(document).durations, (std::vector<int>{0, 1, 2, 254, 255}));
}

// Typed back to where the box started, the typing leaves no step and the
// document is as saved again.
TEST(UndoCommands, ADurationTypedBackToItsStartLeavesNoStep) {
    TDocument document;
    Fill(document);
    document.MarkClean();
    for (const int typed : {5, 50, 1})
        document.Push(new TDurationCommand(document, 1, static_cast<std::uint8_t>(typed)));
    EXPECT_EQ(document.UndoStack().count(), 0);
    EXPECT_FALSE(document.Modified());
    EXPECT_EQ(StateOf(document).durations, (std::vector<int>{0, 1, 2, 254, 255}));
}

// A range is marked on frames by index: once frames come or go from the
// history it is over, and frames deleted with their range marks come back
// without them.
TEST(UndoCommands, FramesComingOrGoingFromTheHistoryEndTheMarkedRange) {
    const auto markRange = [](TDocument& document, int first, int last) {
        for (int i = first; i <= last; ++i)
            document.Animation().Frame(i).SetSelected(true);
        document.SetSelRange(first, last);
        document.SetMultipleSel(true);
    };
    const auto marked = [](const TDocument& document) {
        std::vector<int> frames;
        for (int i = 0; i < document.Animation().FrameCount(); ++i)
            if (document.Animation().Frame(i).Selected())
                frames.push_back(i);
        return frames;
    };
    TDocument document;
    Fill(document);
    markRange(document, 1, 3);
    QUndoStack stack;
    stack.push(new TRemoveFramesCommand(document, 1, 3, "Delete Frames"));
    stack.undo();
    EXPECT_TRUE(marked(document).empty());
    EXPECT_FALSE(document.MultipleSel());

    std::vector<TFrame> frames(2);
    stack.push(new TInsertFramesCommand(document, 0, std::move(frames), "Paste Frames"));
    for (const bool undo : {true, false}) {
        markRange(document, 3, 4);
        undo ? stack.undo() : stack.redo();
        EXPECT_TRUE(marked(document).empty()) << undo;
        EXPECT_FALSE(document.MultipleSel()) << undo;
    }
}

// Frames that do not fit go in not at all, and leave no step behind.
TEST(UndoCommands, FramesThatDoNotFitLeaveTheDocumentAndTheHistoryAsTheyWere) {
    TDocument document;
    Fill(document);
    const State before = StateOf(document);
    std::vector<TFrame> frames(static_cast<std::size_t>(MaxDocumentFrames - 4));
    QUndoStack stack;
    stack.push(new TInsertFramesCommand(document, 1, std::move(frames), "Paste Frames"));
    EXPECT_EQ(stack.count(), 0);
    EXPECT_EQ(StateOf(document), before);
    EXPECT_EQ(document.CurFrame(), 2);
}

// Followers redraw after every step, the undo as much as the change.
TEST(UndoCommands, EveryStepTellsThatTheFramesChanged) {
    TDocument document;
    Fill(document);
    int told = 0;
    QObject::connect(&document, &TDocument::framesChanged, [&told] { ++told; });
    QUndoStack stack;
    stack.push(new TRemoveFramesCommand(document, 0, 0, "Delete Frames"));
    stack.undo();
    stack.redo();
    EXPECT_EQ(told, 3);
}

} // namespace
} // namespace vistrel
