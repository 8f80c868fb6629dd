#include "undoHistory.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace vistrel;

namespace {

// Picture n has pixel (n, 0) black: each stands for the state after stroke n.
QImage Picture(int n) {
    QImage image(48, 32, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (n > 0)
        image.setPixel(n, 0, qRgb(0, 0, 0));
    return image;
}

int Which(const QImage& image) {
    for (int x = 1; x < 48; ++x)
        if ((image.pixel(x, 0) & 0xFFFFFF) == 0)
            return x;
    return 0;
}

std::vector<int> States(const TUndoHistory& history) {
    std::vector<int> states;
    for (int i = 0; i < history.Count(); ++i)
        states.push_back(Which(history.Snapshot(i)));
    return states;
}

} // namespace

TEST(UndoHistory, KeepsTenStatesAndStopsAtTheOldest) {
    TUndoHistory history;
    history.Reset(Picture(0));
    EXPECT_FALSE(history.CanUndo());
    for (int stroke = 1; stroke <= 12; ++stroke)
        history.Push(Picture(stroke));
    EXPECT_EQ(history.Count(), 10);
    int shown = 12;
    for (int i = 0; i < 9; ++i)
        shown = Which(history.Undo());
    EXPECT_EQ(shown, 3);
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(Which(history.Undo()), 3); // at the oldest it shows the same again
    EXPECT_TRUE(history.CanRedo());
}

TEST(UndoHistory, ARecordedChangeAfterUndoDropsTheRedoSteps) {
    TUndoHistory history;
    history.Reset(Picture(0));
    for (int stroke = 1; stroke <= 3; ++stroke)
        history.Push(Picture(stroke));
    history.Undo();
    history.Undo();
    history.Push(Picture(4));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(States(history), (std::vector<int>{0, 1, 4}));

    history.Undo();
    history.Undo();
    EXPECT_EQ(Which(history.Redo()), 1);
    history.Push(Picture(5));
    EXPECT_EQ(States(history), (std::vector<int>{0, 1, 5}));
}

TEST(UndoHistory, SnapshotsDoNotShareThePictureDrawnOn) {
    TUndoHistory history;
    QImage work = Picture(0);
    history.Reset(work);
    work.setPixel(9, 0, qRgb(0, 0, 0));
    history.Push(work);
    work.setPixel(9, 0, qRgb(255, 255, 255));
    work.setPixel(10, 0, qRgb(0, 0, 0));
    EXPECT_EQ(Which(history.Snapshot(0)), 0);
    EXPECT_EQ(Which(history.Snapshot(1)), 9);
    history.OverwriteLast(work);
    EXPECT_EQ(Which(history.Snapshot(1)), 10);
    EXPECT_EQ(history.Count(), 2);
}

TEST(UndoHistory, AChangeNoStepRecordedJoinsTheStepShownAndKeepsTheOthers) {
    TUndoHistory history;
    history.Reset(Picture(0));
    for (int stroke = 1; stroke <= 3; ++stroke)
        history.Push(Picture(stroke));
    history.Undo();
    history.KeepShown(Picture(7));
    EXPECT_EQ(States(history), (std::vector<int>{0, 1, 7, 3}));
    EXPECT_EQ(history.Index(), 2);
    EXPECT_EQ(Which(history.Redo()), 3);
    EXPECT_EQ(Which(history.Undo()), 7);
}
