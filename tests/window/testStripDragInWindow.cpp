// Frames dragged along the strip of the real window with the mouse: where they
// go, what stays current and marked, the one step Undo takes back, and what
// stays a click.

#include "document.h"
#include "frameStrip.h"
#include "windowFixture.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QUndoStack>
#include <functional>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

// A saved document whose frame i has pixel (i, 0) lit, frame 1 current.
struct StripWindow : WindowFixture {
    explicit StripWindow(std::initializer_list<int> durations = {1, 2, 3, 4, 5, 6, 7, 8}) {
        Window().OpenDocument(LcdFile("anim.lcd", durations));
        Window().SetCurFrame(1);
        Strip().RefreshFrameStrip();
    }

    TFrameStrip& Strip() { return Window().FrameStrip(); }
    QUndoStack& History() { return Window().Document().UndoStack(); }
    QWidget* Thumbnail(int slot) {
        return Strip().findChild<QWidget*>(QStringLiteral("pntbxFrame%1").arg(slot));
    }
    // The mouse goes to the thumbnail it was pressed on, wherever it is, as
    // while the button is held; x and y in the strip's pixels.
    QPoint On(int x, int y = 30) { return m_pressed->mapFrom(&Strip(), QPoint(x, y)); }
    // The press lands in the middle of the slot's thumbnail.
    void Press(int slot, Qt::KeyboardModifiers modifiers = {}) {
        m_pressed = Thumbnail(slot);
        m_modifiers = modifiers;
        QTest::mousePress(m_pressed, Qt::LeftButton, modifiers);
    }
    QPoint Pressed() { return m_pressed->mapTo(&Strip(), m_pressed->rect().center()); }
    void MoveTo(int x, int y = 30) { QTest::mouseMove(m_pressed, On(x, y)); }
    void Release(int x, int y = 30) {
        QTest::mouseRelease(m_pressed, Qt::LeftButton, m_modifiers, On(x, y));
    }
    // The slot pressed, dragged in steps to x and dropped there.
    void DragSlot(int slot, int x) {
        Press(slot);
        const int from = Pressed().x();
        for (int step = 1; step <= 4; ++step)
            MoveTo(from + (x - from) * step / 4);
        Release(x);
    }
    // Shift+click on a slot: the range from the current frame to its frame.
    void ShiftClick(int slot) {
        QTest::mouseClick(Thumbnail(slot), Qt::LeftButton, Qt::ShiftModifier);
    }

    // Each frame by the number its lit pixel gives it.
    std::vector<int> Order() {
        std::vector<int> order;
        for (int i = 0; i < Window().Animation().FrameCount(); ++i) {
            const FramePixels& pixels = Window().Animation().Frame(i).Pixels;
            order.push_back(
                static_cast<int>(std::find(pixels.begin(), pixels.end(), 1) - pixels.begin()));
        }
        return order;
    }
    std::vector<int> Marked() {
        std::vector<int> marked;
        for (int i = 0; i < Window().Animation().FrameCount(); ++i)
            if (Window().Animation().Frame(i).Selected())
                marked.push_back(i);
        return marked;
    }
    // The editor shows the frame that is current, not the one that stood there.
    bool EditorShowsCurrent() {
        QImage stored(FrameWidth, FrameHeight, QImage::Format_RGB32);
        stored.fill(Qt::white);
        Window().Animation().DrawFrame(Window().CurFrame(), stored);
        return Window().WorkBitmap().convertToFormat(QImage::Format_RGB32) == stored;
    }

private:
    QWidget* m_pressed = nullptr;
    Qt::KeyboardModifiers m_modifiers;
};

// Slot s stands at x = 7 + 128 s, its middle at 60 + 128 s; a drop lands
// before the first slot whose middle is right of the pointer.
TEST(StripDragInWindow, ADroppedFrameOrRangeMovesAndUndoTakesItBack) {
    const struct {
        const char* what;
        std::function<void(StripWindow&)> before;
        int slot, x;
        std::vector<int> order;
        int current;
        std::vector<int> marked;
        int currentAfterUndo; // the moved frame back where it was
    } cases[] = {
        {"the current frame forwards", {}, 1, 470, {0, 2, 3, 1, 4, 5, 6, 7}, 3, {}, 1},
        {"another frame backwards", {}, 4, 100, {0, 4, 1, 2, 3, 5, 6, 7}, 1, {}, 4},
        {"a range forwards",
         [](StripWindow& f) { f.ShiftClick(2); },
         1,
         600,
         {0, 3, 4, 1, 2, 5, 6, 7},
         4,
         {3, 4},
         2},
        {"a range backwards to the start",
         [](StripWindow& f) {
             f.Window().SetCurFrame(3);
             f.ShiftClick(4);
         },
         3,
         3,
         {3, 4, 0, 1, 2, 5, 6, 7},
         1,
         {0, 1},
         4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StripWindow f;
        if (c.before)
            c.before(f);
        const std::vector<int> markedBefore = f.Marked();

        f.DragSlot(c.slot, c.x);
        EXPECT_EQ(f.Order(), c.order);
        EXPECT_EQ(f.Window().CurFrame(), c.current);
        EXPECT_EQ(f.Marked(), c.marked);
        EXPECT_EQ(f.Window().MultipleSel(), !c.marked.empty());
        EXPECT_TRUE(f.EditorShowsCurrent());
        EXPECT_TRUE(f.Window().Modified());
        EXPECT_EQ(f.History().count(), 1);
        EXPECT_EQ(f.History().undoText(), QStringLiteral("Move Frames"));
        EXPECT_FALSE(f.Strip().Dragging());

        f.Key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(f.Order(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
        EXPECT_EQ(f.Marked(), markedBefore);
        EXPECT_EQ(f.Window().CurFrame(), c.currentAfterUndo);
        EXPECT_TRUE(f.EditorShowsCurrent());
        EXPECT_FALSE(f.Window().Modified());

        f.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(f.Order(), c.order);
        EXPECT_EQ(f.Window().CurFrame(), c.current);
        // Leaving the frame stores the editor's picture into it: the picture
        // of the frame that stood there before must not come back.
        f.Key(Qt::Key_End);
        f.Key(Qt::Key_Home);
        EXPECT_EQ(f.Order(), c.order);
    }
}

// A drop next to the carried frames, Escape during the drag, and a press that
// moves less than the start distance change no frame and leave no step; the
// short move is a click as ever.
TEST(StripDragInWindow, ShortMovesClickAndDropsInPlaceOrEscapeChangeNothing) {
    const int nearby = QApplication::startDragDistance() - 1;
    const struct {
        const char* what;
        std::function<void(StripWindow&)> gesture;
        int current;
        std::vector<int> marked;
    } cases[] = {
        {"a short move",
         [nearby](StripWindow& f) {
             f.Press(3);
             const QPoint to = f.Pressed() + QPoint(nearby, 0);
             f.MoveTo(to.x(), to.y());
             f.Release(to.x(), to.y());
         },
         3,
         {}},
        {"a short move with Shift",
         [](StripWindow& f) {
             f.Press(3, Qt::ShiftModifier);
             const QPoint to = f.Pressed() + QPoint(1, 2);
             f.MoveTo(to.x(), to.y());
             f.Release(to.x(), to.y());
         },
         3,
         {1, 2, 3}},
        {"dropped beside itself", [](StripWindow& f) { f.DragSlot(2, 300); }, 1, {}},
        {"Escape",
         [](StripWindow& f) {
             f.Press(1);
             f.MoveTo(300);
             f.MoveTo(600);
             ASSERT_TRUE(f.Strip().Dragging());
             f.Key(Qt::Key_Escape);
             EXPECT_FALSE(f.Strip().Dragging());
             EXPECT_EQ(f.Strip().DropMarkerX(), -1);
             f.MoveTo(470);
             f.Release(470);
         },
         1,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StripWindow f;
        c.gesture(f);
        EXPECT_EQ(f.Order(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
        EXPECT_EQ(f.Window().CurFrame(), c.current);
        EXPECT_EQ(f.Marked(), c.marked);
        EXPECT_EQ(f.History().count(), 0);
        EXPECT_FALSE(f.Window().Modified());
        EXPECT_FALSE(f.Strip().Dragging());
    }
}

// The marker shows the gap under the pointer, in the space between two slots.
TEST(StripDragInWindow, TheDropMarkerShowsWhereTheFramesWouldGo) {
    StripWindow f;
    f.Press(0);
    f.MoveTo(200);
    f.MoveTo(330);
    const int x = f.Strip().DropMarkerX();
    EXPECT_EQ(x, 391 - 11); // between slots 2 and 3
    const QImage strip = f.Strip().grab().toImage();
    EXPECT_EQ(qGray(strip.pixel(x, 30)), 0);
    f.Release(330);
    EXPECT_EQ(f.Strip().DropMarkerX(), -1);
    EXPECT_NE(qGray(f.Strip().grab().toImage().pixel(x, 30)), 0);
    EXPECT_EQ(f.Order(), (std::vector<int>{1, 2, 0, 3, 4, 5, 6, 7}));
}

// Held near an end, a drag scrolls the strip a frame at a time as far as it
// goes, and the drop lands in the gap now under the pointer.
TEST(StripDragInWindow, ADragHeldNearAnEndScrollsTheStrip) {
    StripWindow f({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    const int last = f.Strip().findChild<QScrollBar*>("scrlbrFrames")->maximum();
    ASSERT_EQ(last, 11);

    f.Press(0);
    f.MoveTo(300);
    f.MoveTo(620);
    EXPECT_TRUE(QTest::qWaitFor([&f, last] { return f.Strip().Position() == last; }, 5000));
    f.Release(620);
    std::vector<int> order{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0};
    EXPECT_EQ(f.Order(), order);
    EXPECT_EQ(f.Window().CurFrame(), 15);

    // Back to the start with the frame now in the last slot.
    f.Press(4);
    f.MoveTo(300);
    f.MoveTo(-10);
    EXPECT_TRUE(QTest::qWaitFor([&f] { return f.Strip().Position() == 0; }, 5000));
    f.Release(-10);
    EXPECT_EQ(f.Order(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
    EXPECT_EQ(f.Window().CurFrame(), 0);
    EXPECT_EQ(f.History().count(), 2);
}

} // namespace
