#include "editorToolBar.h"
#include "paintBox.h"
#include "windowFixture.h"

#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

QPoint At(int x, int y) {
    return {x * 8 + 3, y * 8 + 5};
}

struct EditorWindow : WindowFixture {
    EditorWindow() { Window().OpenDocument(LcdFile("two.lcd", {1, 1})); }
    TPaintBox* Editor() { return Window().findChild<TPaintBox*>("pntbxEditor"); }
    void Drag(Qt::MouseButton button, std::initializer_list<QPoint> pixels) {
        auto point = pixels.begin();
        QTest::mousePress(Editor(), button, {}, At(point->x(), point->y()));
        for (++point; point != pixels.end(); ++point)
            QTest::mouseMove(Editor(), At(point->x(), point->y()));
        QTest::mouseRelease(Editor(), button, {},
                            At(std::prev(pixels.end())->x(), std::prev(pixels.end())->y()));
    }
    int StoredPixel(int frame, int x, int y) {
        return Window().Animation().Frame(frame).Pixels[PixelIndex(x, y)];
    }
};

} // namespace

TEST(EditorWidgets, AStrokeOnTheEditorReachesTheFrameWhenAnotherBecomesCurrent) {
    EditorWindow e;
    e.Drag(Qt::LeftButton, {{10, 10}, {12, 10}, {12, 12}});
    EXPECT_TRUE(e.Window().Modified());
    EXPECT_EQ(e.Window().findChild<QLabel*>("stsbrMainPanel0")->text(), "13, 13");
    EXPECT_EQ(e.StoredPixel(0, 11, 10), 0); // not stored while the frame is current
    e.Window().SetCurFrame(1);
    for (const QPoint p :
         {QPoint(10, 10), QPoint(11, 10), QPoint(12, 10), QPoint(12, 11), QPoint(12, 12)})
        EXPECT_EQ(e.StoredPixel(0, p.x(), p.y()), 1) << p.x() << "," << p.y();
    EXPECT_EQ(e.StoredPixel(0, 11, 11), 0);
}

TEST(EditorWidgets, TheMiddleButtonDrawsNothingAndChangesNothing) {
    EditorWindow e;
    e.Drag(Qt::MiddleButton, {{5, 5}, {9, 5}});
    EXPECT_FALSE(e.Window().Modified());
    EXPECT_EQ(e.Window().Editor().UndoList.Count(), 1);
}

TEST(EditorWidgets, ToolButtonsChooseTheToolAndUndoRedoFollowTheStrokes) {
    EditorWindow e;
    e.Window().findChild<QToolButton*>("spdbtnFillRect")->click();
    EXPECT_EQ(e.Window().Tools().CurrentTool(), TTool::FillRect);
    e.Drag(Qt::LeftButton, {{2, 3}, {5, 1}});
    EXPECT_EQ(qGray(e.Window().Editor().WorkBitmap.pixel(4, 2)), 0);
    QAction* undo = e.Action("Undo1");
    QAction* redo = e.Action("Redo1");
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    QTest::keyClick(&e.Window(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(qGray(e.Window().Editor().WorkBitmap.pixel(4, 2)), 255);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_TRUE(redo->isEnabled());
    QTest::keyClick(&e.Window(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(qGray(e.Window().Editor().WorkBitmap.pixel(4, 2)), 0);
    // After a save, an undo is a change that must be saved again.
    e.Window().Save1Click();
    ASSERT_FALSE(e.Window().Modified());
    EXPECT_FALSE(e.Action("Save1")->isEnabled());
    QTest::keyClick(&e.Window(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(qGray(e.Window().Editor().WorkBitmap.pixel(4, 2)), 255);
    EXPECT_TRUE(e.Window().Modified());
    EXPECT_TRUE(e.Action("Save1")->isEnabled());
    e.Window().Save1Click();
    QTest::keyClick(&e.Window(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(e.Window().Modified());

    // Another frame and back: the history starts again.
    e.Window().SetCurFrame(1);
    e.Window().SetCurFrame(0);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
}
