#include "toolStateMachine.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vistrel;

namespace {

struct Editor {
    TEditorBitmaps bitmaps;
    TToolStateMachine tools{bitmaps};

    // A whole mouse operation: press at the first point, moves through the rest.
    void Stroke(TTool tool, std::vector<QPoint> points, Qt::MouseButton button = Qt::LeftButton,
                bool shift = false) {
        tools.SelectTool(tool);
        tools.MouseDown(button, points.front());
        for (std::size_t i = 1; i < points.size(); ++i)
            tools.MouseMove(points[i], shift);
        tools.MouseUp();
    }
    std::vector<QPoint> Lit() const {
        std::vector<QPoint> lit;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 48; ++x)
                if ((bitmaps.WorkBitmap.pixel(x, y) & 0xFFFFFF) == 0)
                    lit.emplace_back(x, y);
        return lit;
    }
};

} // namespace

TEST(ToolStateMachine, OnlyLeftAndRightPressesStartAnOperation) {
    Editor e;
    EXPECT_FALSE(e.tools.MouseDown(Qt::MiddleButton, {3, 3}));
    EXPECT_EQ(e.tools.MouseState(), TMouseState::msIdle);
    EXPECT_FALSE(e.tools.MouseUp());
    EXPECT_TRUE(e.Lit().empty());
    // Every tool, with either button, starts an operation and ends it.
    for (int tool = 0; tool < ToolCount; ++tool) {
        for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
            Editor fresh;
            fresh.tools.SelectTool(static_cast<TTool>(tool));
            EXPECT_TRUE(fresh.tools.MouseDown(button, {3, 3})) << tool << ' ' << button;
            EXPECT_NE(fresh.tools.MouseState(), TMouseState::msIdle) << tool << ' ' << button;
            EXPECT_TRUE(fresh.tools.MouseUp()) << tool << ' ' << button;
        }
    }
}

// The Filled Rectangle tool covers both corners, whichever way it is dragged.
TEST(ToolStateMachine, AFilledRectangleCoversBothCornersInclusive) {
    const auto block = [](int left, int top, int right, int bottom) {
        std::vector<QPoint> points;
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                points.emplace_back(x, y);
        return points;
    };
    struct Case {
        const char* name;
        QPoint start, end;
        std::vector<QPoint> lit;
    };
    const Case cases[] = {
        {"(2, 3) to (5, 1)", {2, 3}, {5, 1}, block(2, 1, 5, 3)},
        {"(5, 1) to (2, 3)", {5, 1}, {2, 3}, block(2, 1, 5, 3)},
        {"(2, 1) to (5, 3)", {2, 1}, {5, 3}, block(2, 1, 5, 3)},
        {"back to the start", {2, 2}, {2, 2}, {}},
        {"one pixel to the right", {1, 1}, {2, 1}, block(1, 1, 2, 1)},
        {"one pixel wide", {1, 1}, {1, 3}, block(1, 1, 1, 3)},
    };
    for (const Case& c : cases) {
        Editor e;
        e.Stroke(TTool::FillRect, {c.start, c.end});
        EXPECT_EQ(e.Lit(), c.lit) << c.name;
    }
}

TEST(ToolStateMachine, AClickWithoutAMove) {
    const std::pair<TTool, std::vector<QPoint>> cases[] = {
        {TTool::Pen, {{7, 5}}}, {TTool::Line, {{7, 5}}}, {TTool::Rectangle, {}},
        {TTool::FillRect, {}},  {TTool::Shift, {}},      {TTool::Select, {}},
    };
    for (const auto& [tool, lit] : cases) {
        Editor e;
        e.Stroke(tool, {{7, 5}});
        EXPECT_EQ(e.Lit(), lit) << static_cast<int>(tool);
    }
}

TEST(ToolStateMachine, PenStrokesJoinEveryMousePositionAndRightDrawsWhite) {
    Editor e;
    e.Stroke(TTool::Pen, {{0, 0}, {3, 0}, {3, 2}});
    EXPECT_EQ(e.Lit(), (std::vector<QPoint>{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}, {3, 2}}));
    e.Stroke(TTool::Pen, {{1, 0}, {2, 0}}, Qt::RightButton);
    EXPECT_EQ(e.Lit(), (std::vector<QPoint>{{0, 0}, {3, 0}, {3, 1}, {3, 2}}));
}

TEST(ToolStateMachine, ShapesFollowTheDragAndOnlyTheLastOneStays) {
    Editor e;
    e.Stroke(TTool::Line, {{2, 2}, {9, 9}, {7, 2}, {5, 2}});
    EXPECT_EQ(e.Lit(), (std::vector<QPoint>{{2, 2}, {3, 2}, {4, 2}, {5, 2}}));

    Editor rect;
    rect.Stroke(TTool::FillRect, {{2, 3}, {20, 20}, {5, 1}});
    std::vector<QPoint> expected;
    for (int y = 1; y <= 3; ++y)
        for (int x = 2; x <= 5; ++x)
            expected.emplace_back(x, y);
    EXPECT_EQ(rect.Lit(), expected);
}

TEST(ToolStateMachine, ShiftHeldConstrainsLinesAndSquares) {
    Editor line;
    line.Stroke(TTool::Line, {{10, 10}, {15, 12}}, Qt::LeftButton, true);
    EXPECT_EQ(line.tools.LastPoint(), QPoint(15, 10));
    EXPECT_EQ(line.Lit().size(), 6u);
    Editor square;
    square.Stroke(TTool::Rectangle, {{10, 10}, {15, 7}}, Qt::LeftButton, true);
    EXPECT_EQ(square.tools.LastPoint(), QPoint(13, 7));
}

TEST(ToolStateMachine, TheShiftToolRotatesByEachMove) {
    Editor e;
    e.bitmaps.WorkBitmap.setPixel(47, 0, qRgb(0, 0, 0));
    e.Stroke(TTool::Shift, {{10, 10}, {12, 10}, {13, 9}});
    // Three columns right and one row up: (47, 0) re-enters at (2, 31).
    EXPECT_EQ(e.Lit(), (std::vector<QPoint>{{2, 31}}));
}

TEST(ToolStateMachine, PositionsOutsideTheFrameAreClipped) {
    Editor e;
    e.Stroke(TTool::Line, {{-5, -5}, {2, 2}});
    EXPECT_EQ(e.Lit(), (std::vector<QPoint>{{0, 0}, {1, 1}, {2, 2}}));
    Editor fill;
    fill.Stroke(TTool::FloodFill, {{48, 10}});
    EXPECT_TRUE(fill.Lit().empty());
    Editor fillAll;
    fillAll.Stroke(TTool::FloodFill, {{20, 10}});
    EXPECT_EQ(fillAll.Lit().size(), 48u * 32u);
}

TEST(ToolStateMachine, EditorPositionsBecomeFramePixelsRoundingDown) {
    const std::pair<QPoint, QPoint> cases[] = {
        {{0, 0}, {0, 0}},       {{7, 7}, {0, 0}},     {{8, 15}, {1, 1}},
        {{384, 256}, {48, 32}}, {{-1, -8}, {-1, -1}}, {{-9, 0}, {-2, 0}},
    };
    for (const auto& [position, pixel] : cases)
        EXPECT_EQ(TToolStateMachine::PixelAt(position), pixel);
}
