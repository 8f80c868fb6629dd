#include "pixelPattern.h"
#include "toolStateMachine.h"

#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::test;

namespace {

struct Editor {
    TEditorBitmaps bitmaps;
    TToolStateMachine tools{bitmaps};
    TSelection& selection = tools.Selection();

    explicit Editor(const TPicture& picture = {}) {
        bitmaps.WorkBitmap = FrameWith(picture);
        tools.SelectTool(TTool::Select);
    }
    void Drag(std::initializer_list<QPoint> pixels) {
        tools.MouseDown(Qt::LeftButton, *pixels.begin());
        for (auto p = pixels.begin() + 1; p != pixels.end(); ++p)
            tools.MouseMove(*p, false);
        tools.MouseUp();
    }
    std::string Work(const TPicture& like) const { return Corner(bitmaps.WorkBitmap, like); }
};

} // namespace

TEST(Selection, TheRubberBandCoversThePressedPixelAndThePixelUnderTheMouse) {
    struct Case {
        QPoint press;
        std::vector<QPoint> moves;
        std::optional<QRect> selected; // frame pixels
    };
    // Both end pixels, whichever way the band is dragged.
    const Case cases[] = {
        {{2, 3}, {{4, 5}}, QRect(2, 3, 3, 3)},
        {{5, 5}, {{3, 3}}, QRect(3, 3, 3, 3)},
        {{5, 5}, {{4, 4}}, QRect(4, 4, 2, 2)},
        {{5, 5}, {{7, 2}}, QRect(5, 2, 3, 4)},
        {{5, 5}, {{2, 7}}, QRect(2, 5, 4, 3)},
        // Only the last position counts.
        {{5, 5}, {{9, 9}, {1, 6}}, QRect(1, 5, 5, 2)},
        // One row or one column.
        {{5, 5}, {{5, 1}}, QRect(5, 1, 1, 5)},
        {{5, 5}, {{0, 5}}, QRect(0, 5, 6, 1)},
        // A move within the pressed pixel selects it.
        {{5, 5}, {{5, 5}}, QRect(5, 5, 1, 1)},
        // A click without a move selects nothing.
        {{5, 5}, {}, std::nullopt},
        // Beyond the frame's corners.
        {{46, 30}, {{60, 40}}, QRect(46, 30, 15, 11)},
        {{1, 1}, {{-2, -3}}, QRect(-2, -3, 4, 5)},
    };
    for (const Case& c : cases) {
        Editor e;
        e.tools.MouseDown(Qt::LeftButton, c.press);
        for (QPoint move : c.moves)
            e.tools.MouseMove(move, false);
        // The band shown while dragging is what the release selects.
        const QRect band = e.tools.RubberBand().value_or(QRect(-1, -1, 1, 1));
        e.tools.MouseUp();
        const QPoint end = c.moves.empty() ? c.press : c.moves.back();
        EXPECT_EQ(e.selection.Active(), c.selected.has_value()) << end.x() << "," << end.y();
        if (c.selected) {
            EXPECT_EQ(e.selection.Cells(), *c.selected) << end.x() << "," << end.y();
            EXPECT_EQ(e.selection.ScreenRect(),
                      QRect(c.selected->topLeft() * 8, c.selected->size() * 8));
            EXPECT_EQ(e.bitmaps.SelectionBitmap.size(), c.selected->size());
            EXPECT_EQ(band, e.selection.ScreenRect());
        } else {
            EXPECT_TRUE(band.isEmpty());
        }
    }
}

TEST(Selection, LiftingMovingAndDroppingKeepThePixelsAndUncoverWhite) {
    Editor e({"##..", "#.#.", "....", "...#"});
    e.Drag({{0, 0}, {1, 1}});
    // Lifted, the picture looks the same.
    EXPECT_EQ(e.Work({"##..", "#.#.", "....", "...#"}), Text({"##..", "#.#.", "....", "...#"}));
    // Pressed inside, moved two right and two down: white where it was, and the
    // floating pixels opaque over the black pixel they now cover.
    e.tools.MouseDown(Qt::LeftButton, {1, 0});
    EXPECT_EQ(e.tools.MouseState(), TMouseState::msMoving);
    e.tools.MouseMove({2, 1}, false);
    e.tools.MouseMove({3, 2}, false);
    EXPECT_TRUE(e.tools.MouseUp(QPoint(3, 2)));
    EXPECT_EQ(e.Work({"....", "..#.", "..##", "..#."}), Text({"....", "..#.", "..##", "..#."}));
    EXPECT_EQ(e.selection.Cells(), QRect(2, 2, 2, 2));

    // Partly out of the frame and back: nothing is lost until the drop.
    e.tools.MouseDown(Qt::LeftButton, {2, 2});
    e.tools.MouseMove({-1, 2}, false);
    EXPECT_EQ(e.Work({"....", "..#.", "#...", "...#"}), Text({"....", "..#.", "#...", "...#"}));
    e.tools.MouseUp(QPoint(0, 0));
    EXPECT_EQ(e.Work({"##..", "#.#.", "....", "...#"}), Text({"##..", "#.#.", "....", "...#"}));

    // A new band drops the selection where it lies: its pixels stay.
    e.Drag({{10, 10}});
    EXPECT_FALSE(e.selection.Active());
    EXPECT_EQ(e.Work({"##..", "#.#.", "....", "...#"}), Text({"##..", "#.#.", "....", "...#"}));
}

TEST(Selection, ABandBeyondTheFrameFloatsWhiteOutsideIt) {
    Editor e;
    e.bitmaps.WorkBitmap.fill(Qt::black);
    e.Drag({{44, 28}, {50, 35}});
    ASSERT_TRUE(e.selection.Active());
    const QImage& pixels = e.bitmaps.SelectionBitmap;
    ASSERT_EQ(pixels.size(), QSize(7, 8));
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x)
            EXPECT_EQ(pixels.pixel(x, y), (x < 4 && y < 4) ? Black : White) << x << "," << y;
}

TEST(Selection, RemovingAFloatingSelectionShowsWhatLayUnderIt) {
    // Lifted and removed where it was: white, as a fill would give.
    Editor lifted({"##", "##"});
    lifted.Drag({{0, 0}, {1, 1}});
    lifted.selection.Remove();
    EXPECT_EQ(lifted.Work({"..", ".."}), Text({"..", ".."}));

    // Moved over a picture and removed: the picture under it is back.
    Editor moved({"#..#", "...#"});
    moved.Drag({{0, 0}, {0, 0}});
    moved.tools.MouseDown(Qt::LeftButton, {0, 0});
    moved.tools.MouseUp(QPoint(3, 0));
    EXPECT_EQ(moved.Work({"...#", "...#"}), Text({"...#", "...#"}));
    moved.selection.Remove();
    EXPECT_FALSE(moved.selection.Active());
    EXPECT_EQ(moved.Work({"...#", "...#"}), Text({"...#", "...#"}));

    // Floated over a picture and removed: the picture is untouched.
    Editor pasted({"#.#"});
    pasted.selection.Float(FrameWith({"###"}).copy(0, 0, 3, 1));
    EXPECT_EQ(pasted.Work({"###"}), Text({"###"}));
    pasted.selection.Remove();
    EXPECT_EQ(pasted.Work({"#.#"}), Text({"#.#"}));
}

TEST(Selection, SelectAllThenMoveUncoversWhiteNotAnOlderPicture) {
    Editor e({"#"});
    // An earlier operation left another picture behind.
    e.bitmaps.BackupBitmap.fill(Qt::black);
    e.selection.SelectAll();
    EXPECT_EQ(e.selection.Cells(), QRect(0, 0, 48, 32));
    e.tools.MouseDown(Qt::LeftButton, {0, 0});
    e.tools.MouseUp(QPoint(1, 1));
    EXPECT_EQ(e.Work({"..", ".#"}), Text({"..", ".#"}));
}

TEST(Selection, InvertWithAFloatingSelectionInvertsWhatLiesUnderItToo) {
    Editor e({"#.", ".."});
    e.Drag({{0, 0}, {0, 0}});
    e.selection.Invert();
    EXPECT_EQ(e.bitmaps.WorkBitmap.pixel(0, 0), White);
    EXPECT_EQ(e.bitmaps.WorkBitmap.pixel(5, 5), Black);
    // Moved away: the hole it left is inverted as well, and the moved pixel too.
    e.tools.MouseDown(Qt::LeftButton, {0, 0});
    e.tools.MouseUp(QPoint(1, 1));
    EXPECT_EQ(e.bitmaps.WorkBitmap.pixel(0, 0), Black);
    EXPECT_EQ(e.bitmaps.WorkBitmap.pixel(1, 1), White);
    EXPECT_EQ(PixelsOf(e.bitmaps.WorkBitmap, White), std::vector<QPoint>{QPoint(1, 1)});
}
