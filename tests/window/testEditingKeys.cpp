// The Frame page's keys for tools, the mouse buttons' colours, flipping and
// turning the picture or the floating block, and moving the block with the
// arrow keys, through the real window.

#include "document.h"
#include "editorToolBar.h"
#include "frameEditor.h"
#include "windowFixture.h"

#include <QAction>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

// Lets GoogleTest print the dots of a failed comparison.
static void PrintTo(const QPoint& point, std::ostream* out) {
    *out << "(" << point.x() << ", " << point.y() << ")";
}

using namespace vistrel;
using namespace vistrel::testing;

namespace {

using Pixels = std::vector<QPoint>;

struct KeysWindow : WindowFixture {
    explicit KeysWindow(std::initializer_list<int> durations = {1, 1}) {
        Window().OpenDocument(LcdFile("frames.lcd", durations));
        // The first frame white, for the pictures drawn on it.
        Editor().SelectAll1Click();
        Editor().ClearSelection1Click();
        Window().Document().ClearHistory();
    }
    TFrameEditor& Editor() { return Window().FrameEditor(); }
    TTool CurrentTool() { return Window().Tools().CurrentTool(); }
    QToolButton* Button(const char* name) { return Window().findChild<QToolButton*>(name); }
    QUndoStack& History() { return Window().Document().UndoStack(); }
    // Black dots, one click of the Pen each, and no history from drawing them.
    void Draw(const Pixels& pixels) {
        Tool("spdbtnPen");
        for (const QPoint p : pixels)
            Drag({p});
        Window().Document().ClearHistory();
    }
    // The black dots of the editor's picture, row by row.
    Pixels Shown() {
        Pixels black;
        const QImage& work = Window().Editor().WorkBitmap;
        for (int y = 0; y < work.height(); ++y)
            for (int x = 0; x < work.width(); ++x)
                if (qGray(work.pixel(x, y)) == 0)
                    black.emplace_back(x, y);
        return black;
    }
    void ShowPlayerPage() {
        Window()
            .findChild<QTabWidget*>("pgcntlMain")
            ->setCurrentWidget(Window().findChild<QWidget*>("tbshtPlayer"));
    }
    FramePixels Stored() { return Window().Animation().Frame(Window().CurFrame()).Pixels; }
    // A block lifted with the Selection tool, from one corner pixel to the other.
    void Select(QPoint from, QPoint to) {
        Tool("spdbtnSelect");
        Drag({from, to});
        ASSERT_TRUE(Editor().Selection().Active());
    }
};

Pixels Sorted(Pixels pixels) {
    std::sort(pixels.begin(), pixels.end(),
              [](QPoint a, QPoint b) { return std::pair(a.y(), a.x()) < std::pair(b.y(), b.x()); });
    return pixels;
}

Pixels Moved(const Pixels& pixels, const std::function<QPoint(QPoint)>& move) {
    Pixels moved;
    for (const QPoint p : pixels)
        moved.push_back(move(p));
    return Sorted(moved);
}

// An L with a dot beside it: no flip or turn leaves it as it was.
const Pixels Pattern = {{3, 2}, {3, 3}, {3, 4}, {4, 4}, {6, 2}};

} // namespace

TEST(EditingKeys, EachToolKeyPicksItsToolAndItsButtonSaysSo) {
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        TTool tool;
        const char* button;
        const char* hint;
    };
    const Case cases[] = {
        {Qt::Key_L, {}, TTool::Line, "spdbtnLine", "Line (L)"},
        {Qt::Key_B, {}, TTool::Pen, "spdbtnPen", "Pen (B)"},
        {Qt::Key_R, {}, TTool::Rectangle, "spdbtnRectangle", "Rectangle (R)"},
        {Qt::Key_R, Qt::ShiftModifier, TTool::FillRect, "spdbtnFillRect",
         "Filled Rectangle (Shift+R)"},
        {Qt::Key_E, {}, TTool::Ellipse, "spdbtnEllipse", "Ellipse (E)"},
        {Qt::Key_E, Qt::ShiftModifier, TTool::FillEllipse, "spdbtnFillEllipse",
         "Filled Ellipse (Shift+E)"},
        {Qt::Key_G, {}, TTool::FloodFill, "spdbtnFloodFill", "Flood Fill (G)"},
        {Qt::Key_M, {}, TTool::Select, "spdbtnSelect", "Selection (M)"},
        {Qt::Key_T, {}, TTool::Text, "spdbtnText", "Text (T)"},
        {Qt::Key_H, {}, TTool::Shift, "spdbtnShift", "Shift (H)"},
    };
    KeysWindow f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hint);
        // From another tool, so that the key has something to change.
        f.Tool(c.tool == TTool::Pen ? "spdbtnLine" : "spdbtnPen");
        if (c.tool == TTool::Text)
            f.Prompts().fontAnswers.push_back(std::nullopt);
        f.Key(c.key, c.modifiers);
        EXPECT_EQ(f.CurrentTool(), c.tool);
        EXPECT_TRUE(f.Button(c.button)->isChecked());
        EXPECT_EQ(f.Button(c.button)->toolTip(), c.hint);
    }
    // The Text key asks for the font as the button does.
    EXPECT_EQ(f.Prompts().fontRequests, 1);
    EXPECT_TRUE(f.Prompts().fontAnswers.empty());

    // With Ctrl or Alt held a letter is no tool key.
    f.Tool("spdbtnPen");
    f.Key(Qt::Key_L, Qt::ControlModifier);
    f.Key(Qt::Key_L, Qt::AltModifier);
    f.Key(Qt::Key_B, Qt::ShiftModifier);
    EXPECT_EQ(f.CurrentTool(), TTool::Pen);
    EXPECT_FALSE(f.Window().Modified());
}

// A key, unlike a click on a tool button, can change the tool with the mouse
// button held: the stroke ends there.
TEST(EditingKeys, AToolKeyWithTheButtonHeldEndsTheStrokeWhereItIs) {
    KeysWindow f;
    f.Tool("spdbtnLine");
    f.Drag({{2, 20}, {6, 20}});
    f.Tool("spdbtnPen");
    auto* editor = f.Window().findChild<QWidget*>("pntbxEditor");
    const auto at = [](QPoint pixel) { return pixel * 8 + QPoint(3, 5); };
    QTest::mousePress(editor, Qt::LeftButton, {}, at({10, 10}));
    QTest::mouseMove(editor, at({12, 10}));
    f.Key(Qt::Key_R);
    QTest::mouseMove(editor, at({14, 14}));
    QTest::mouseRelease(editor, Qt::LeftButton, {}, at({14, 14}));
    EXPECT_EQ(f.CurrentTool(), TTool::Rectangle);
    EXPECT_EQ(f.Shown(),
              Sorted({{2, 20}, {3, 20}, {4, 20}, {5, 20}, {6, 20}, {10, 10}, {11, 10}, {12, 10}}));
    EXPECT_EQ(f.History().undoText().toStdString(), "Pen");
}

TEST(EditingKeys, LettersAndShiftedLettersGoToTheTextBeingTypedOrTheDurationBox) {
    struct Case {
        const char* where;
        std::function<void(KeysWindow&)> start;
        std::function<void(KeysWindow&, Qt::Key, Qt::KeyboardModifiers)> key;
        TTool toolAfter;
    };
    const auto onWindow = [](KeysWindow& f, Qt::Key key, Qt::KeyboardModifiers modifiers) {
        f.Key(key, modifiers);
    };
    const Case cases[] = {
        {"typing text",
         [](KeysWindow& f) {
             f.Prompts().fontAnswers.push_back(std::nullopt);
             f.Tool("spdbtnText");
             f.Drag({{4, 14}});
             ASSERT_TRUE(f.Editor().TextMode());
         },
         onWindow, TTool::Text},
        {"a duration box",
         [](KeysWindow& f) { f.Window().findChild<QLineEdit*>("edtFrame0")->setFocus(); },
         [](KeysWindow& f, Qt::Key key, Qt::KeyboardModifiers modifiers) {
             QTest::keyClick(f.Window().findChild<QLineEdit*>("edtFrame0"), key, modifiers);
         },
         TTool::Pen},
        {"the Player page", [](KeysWindow& f) { f.ShowPlayerPage(); }, onWindow, TTool::Select},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        KeysWindow f;
        f.Draw(Pattern);
        c.start(f);
        const FramePixels before = f.Stored();
        const int steps = f.History().count();
        for (const Qt::Key key : {Qt::Key_L, Qt::Key_G, Qt::Key_X})
            c.key(f, key, Qt::NoModifier);
        for (const Qt::Key key : {Qt::Key_R, Qt::Key_H, Qt::Key_V})
            c.key(f, key, Qt::ShiftModifier);
        EXPECT_EQ(f.CurrentTool(), c.toolAfter);
        EXPECT_FALSE(f.Button("imgSwapColors")->isChecked());
        EXPECT_FALSE(f.Window().Tools().ButtonsSwapped());
        if (c.toolAfter == TTool::Text) {
            // Every key typed a letter, Shift+H and Shift+V included; no flip.
            EXPECT_EQ(f.Editor().TypedText().toLower().toStdString(), "lgxrhv");
            EXPECT_EQ(f.History().undoText().toStdString(), "Text");
        } else {
            EXPECT_EQ(f.Stored(), before);
            EXPECT_EQ(f.History().count(), steps);
        }
    }
}

TEST(EditingKeys, XSwapsTheColoursOfTheButtonsAndTheIndicatorShowsAndSwapsToo) {
    KeysWindow f;
    QToolButton* indicator = f.Button("imgSwapColors");
    ASSERT_NE(indicator, nullptr);
    EXPECT_FALSE(indicator->isChecked());
    EXPECT_EQ(indicator->toolTip(), "Left button draws black; swap the buttons (X)");
    f.Draw(Pattern);

    f.Key(Qt::Key_X);
    EXPECT_TRUE(indicator->isChecked());
    EXPECT_EQ(indicator->toolTip(), "Right button draws black; swap the buttons (X)");
    // The left button now draws white: over the L's corner with the Pen, and
    // a filled rectangle over its stem.
    f.Drag({{4, 4}});
    f.Tool("spdbtnFillRect");
    f.Drag({{3, 2}, {3, 3}});
    EXPECT_EQ(f.Shown(), (Pixels{{6, 2}, {3, 4}}));

    // A click on the indicator swaps back.
    indicator->click();
    EXPECT_FALSE(indicator->isChecked());
    EXPECT_FALSE(f.Window().Tools().ButtonsSwapped());
    f.Tool("spdbtnPen");
    f.Drag({{10, 10}});
    EXPECT_EQ(f.Shown(), (Pixels{{6, 2}, {3, 4}, {10, 10}}));
}

TEST(EditingKeys, FlipsAndTheTurnOfTheFrameOrTheBlockAreOneUndoStepEach) {
    struct Case {
        const char* item;
        const char* step;
        std::function<void(KeysWindow&)> run;
        // Where a dot of a picture w x h goes (the frame or the block).
        std::function<QPoint(QPoint, QSize)> map;
    };
    const Case cases[] = {
        {"FlipHorizontal1", "Flip Horizontal",
         [](KeysWindow& f) { f.Key(Qt::Key_H, Qt::ShiftModifier); },
         [](QPoint p, QSize s) { return QPoint(s.width() - 1 - p.x(), p.y()); }},
        {"FlipVertical1", "Flip Vertical",
         [](KeysWindow& f) { f.Key(Qt::Key_V, Qt::ShiftModifier); },
         [](QPoint p, QSize s) { return QPoint(p.x(), s.height() - 1 - p.y()); }},
        {"Rotate1801", "Rotate 180\u00B0",
         [](KeysWindow& f) {
             f.Window().Edit1Click();
             f.Action("Rotate1801")->trigger();
         },
         [](QPoint p, QSize s) { return QPoint(s.width() - 1 - p.x(), s.height() - 1 - p.y()); }},
    };
    // The block: columns 2 to 7, rows 1 to 5, with a dot outside it that stays.
    const QRect block(QPoint(2, 1), QPoint(7, 5));
    const QPoint outside(20, 20);
    for (const Case& c : cases) {
        for (const bool floating : {false, true}) {
            SCOPED_TRACE(std::string(c.step) + (floating ? " of a block" : " of the frame"));
            KeysWindow f;
            Pixels drawn = Pattern;
            drawn.push_back(outside);
            f.Draw(drawn);
            if (floating)
                f.Select(block.topLeft(), block.bottomRight());
            const FramePixels before = f.Stored();
            const Pixels expected = floating ? Sorted([&] {
                Pixels moved = Moved(Pattern, [&](QPoint p) {
                    return c.map(p - block.topLeft(), block.size()) + block.topLeft();
                });
                moved.push_back(outside);
                return moved;
            }())
                                             : Moved(drawn, [&](QPoint p) {
                                                   return c.map(p, {48, 32});
                                               });
            const int steps = f.History().count();
            f.Window().Edit1Click();
            ASSERT_TRUE(f.Action(c.item)->isEnabled());
            c.run(f);
            EXPECT_EQ(f.Shown(), Sorted(expected));
            EXPECT_EQ(f.Editor().Selection().Active(), floating);
            EXPECT_EQ(TAnimation::PixelsOf(f.Window().Editor().WorkBitmap), f.Stored());
            EXPECT_EQ(f.History().count(), steps + 1);
            EXPECT_EQ(f.History().undoText().toStdString(), c.step);
            EXPECT_TRUE(f.Window().Modified());

            f.Window().Undo1Click();
            EXPECT_EQ(f.Stored(), before);
            EXPECT_EQ(f.Shown(), Sorted(drawn));
            f.Window().Redo1Click();
            EXPECT_EQ(f.Shown(), Sorted(expected));
        }
    }
}

TEST(EditingKeys, TheFlipItemsServeOnlyAFrameOnTheFramePage) {
    KeysWindow f;
    f.Draw(Pattern);
    f.ShowPlayerPage();
    f.Window().Edit1Click();
    for (const char* item : {"FlipHorizontal1", "FlipVertical1", "Rotate1801"})
        EXPECT_FALSE(f.Action(item)->isEnabled()) << item;
    const int steps = f.History().count();
    f.Action("FlipHorizontal1")->trigger();
    EXPECT_EQ(f.Shown(), Sorted(Pattern));
    EXPECT_EQ(f.History().count(), steps);
}

TEST(EditingKeys, ArrowsMoveAFloatingBlockByOneOrEightAsOneStepAndOtherwiseChangeTheFrame) {
    KeysWindow f({1, 1, 1});
    f.Draw(Pattern);
    const FramePixels before = f.Stored();
    // The block of the L and the dot, columns 3 to 6, rows 2 to 4.
    f.Select({3, 2}, {6, 4});
    const int steps = f.History().count();
    f.Key(Qt::Key_Right);
    EXPECT_EQ(f.Shown(), Moved(Pattern, [](QPoint p) { return p + QPoint(1, 0); }));
    f.Key(Qt::Key_Down, Qt::ShiftModifier);
    f.Key(Qt::Key_Left);
    f.Key(Qt::Key_Up);
    EXPECT_EQ(f.Shown(), Moved(Pattern, [](QPoint p) { return p + QPoint(0, 7); }));
    EXPECT_EQ(f.Window().CurFrame(), 0);
    EXPECT_TRUE(f.Editor().Selection().Active());
    EXPECT_EQ(f.Stored(), TAnimation::PixelsOf(f.Window().Editor().WorkBitmap));
    EXPECT_TRUE(f.Window().Modified());
    EXPECT_EQ(f.History().count(), steps + 1);
    EXPECT_EQ(f.History().undoText().toStdString(), "Move Selection");
    // Up and Down, which a duration box leaves unused, do not move it from there.
    auto* duration = f.Window().findChild<QLineEdit*>("edtFrame0");
    duration->setFocus();
    QTest::keyClick(duration, Qt::Key_Down);
    QTest::keyClick(duration, Qt::Key_B);
    EXPECT_EQ(f.Shown(), Moved(Pattern, [](QPoint p) { return p + QPoint(0, 7); }));
    EXPECT_EQ(f.CurrentTool(), TTool::Select);
    f.Window().ReleaseKeyboardFocus();

    // One Undo takes the whole run back; the block no longer floats, and the
    // arrows go through the frames again.
    f.Window().Undo1Click();
    EXPECT_EQ(f.Stored(), before);
    EXPECT_FALSE(f.Editor().Selection().Active());
    f.Key(Qt::Key_Right);
    EXPECT_EQ(f.Window().CurFrame(), 1);
    f.Key(Qt::Key_Right);
    EXPECT_EQ(f.Window().CurFrame(), 2);
    f.Key(Qt::Key_Left);
    EXPECT_EQ(f.Window().CurFrame(), 1);
}

TEST(EditingKeys, ABlockMovedPastTheEdgeByArrowsComesBackWholeWhileItFloats) {
    KeysWindow f;
    f.Draw(Pattern);
    f.Select({3, 2}, {6, 4});
    const auto shifted = [](QPoint by) {
        return Moved(Pattern, [by](QPoint p) { return p + by; });
    };
    for (int i = 0; i < 6; ++i)
        f.Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(f.Editor().Selection().Cells().topLeft(), QPoint(51, 2));
    EXPECT_EQ(f.Shown(), Pixels{});
    EXPECT_EQ(f.Stored(), FramePixels{});
    f.Key(Qt::Key_Left, Qt::ShiftModifier);
    f.Key(Qt::Key_Left);
    EXPECT_EQ(f.Shown(), shifted({39, 0}));
    // Partly inside: the dot past the edge is not in the frame.
    for (int i = 0; i < 3; ++i)
        f.Key(Qt::Key_Right);
    EXPECT_EQ(f.Shown(), Sorted({{45, 2}, {45, 3}, {45, 4}, {46, 4}}));
    EXPECT_EQ(f.Window().CurFrame(), 0);
    // A flip there mirrors the whole block, the part past the edge too.
    f.Key(Qt::Key_H, Qt::ShiftModifier);
    EXPECT_EQ(f.Shown(), Sorted({{45, 2}, {47, 4}}));
    while (f.Editor().Selection().Cells().left() > 3)
        f.Key(Qt::Key_Left);
    EXPECT_EQ(f.Shown(), Sorted({{3, 2}, {6, 2}, {6, 3}, {5, 4}, {6, 4}}));
    EXPECT_EQ(f.Window().CurFrame(), 0);
}
