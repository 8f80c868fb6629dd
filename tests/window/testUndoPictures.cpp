// Every change of a frame's picture, made through the real window, is one
// named step of the document's history that undoes and redoes exactly, with
// Modified following the saved step.

#include "document.h"
#include "frameEditor.h"
#include "undoHistoryDock.h"
#include "windowFixture.h"

#include <QAction>
#include <QDockWidget>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QUndoView>
#include <functional>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

struct UndoWindow : WindowFixture {
    UndoWindow() {
        Window().OpenDocument(LcdFile("two.lcd", {1, 1}));
        // A small shape to move, shift and fill around, as opened.
        Tool("spdbtnPen");
        Drag({{10, 10}, {12, 10}, {12, 12}});
        Window().Document().ClearHistory();
    }
    FramePixels Stored(int frame) { return Window().Animation().Frame(frame).Pixels; }
    QUndoStack& History() { return Window().Document().UndoStack(); }
};

TEST(UndoPictures, EachPictureChangeIsOneNamedStepThatUndoesAndRedoesExactly) {
    struct Case {
        const char* step;
        std::function<void(UndoWindow&)> edit;
    };
    const Case cases[] = {
        {"Pen",
         [](UndoWindow& w) {
             w.Drag({{20, 20}, {25, 22}});
         }},
        {"Line",
         [](UndoWindow& w) {
             w.Tool("spdbtnLine"), w.Drag({{2, 2}, {9, 5}});
         }},
        {"Rectangle",
         [](UndoWindow& w) {
             w.Tool("spdbtnRectangle"), w.Drag({{2, 2}, {9, 5}});
         }},
        {"Filled Rectangle",
         [](UndoWindow& w) {
             w.Tool("spdbtnFillRect"), w.Drag({{2, 2}, {9, 5}});
         }},
        {"Ellipse",
         [](UndoWindow& w) {
             w.Tool("spdbtnEllipse"), w.Drag({{20, 2}, {40, 20}});
         }},
        {"Filled Ellipse",
         [](UndoWindow& w) {
             w.Tool("spdbtnFillEllipse"), w.Drag({{20, 2}, {40, 20}});
         }},
        {"Flood Fill",
         [](UndoWindow& w) {
             w.Tool("spdbtnFloodFill"), w.Drag({{30, 30}});
         }},
        {"Shift",
         [](UndoWindow& w) {
             w.Tool("spdbtnShift"), w.Drag({{5, 5}, {8, 7}});
         }},
        {"Move Selection",
         [](UndoWindow& w) {
             w.Tool("spdbtnSelect");
             w.Drag({{9, 9}, {13, 13}});
             w.Drag({{10, 10}, {30, 15}});
         }},
        {"Cut",
         [](UndoWindow& w) {
             w.Tool("spdbtnSelect");
             w.Drag({{9, 9}, {11, 11}});
             w.Window().FrameEditor().Cut1Click();
         }},
        {"Clear Selection",
         [](UndoWindow& w) {
             w.Tool("spdbtnSelect");
             w.Drag({{11, 9}, {13, 13}});
             w.Window().FrameEditor().ClearSelection1Click();
         }},
        {"Paste",
         [](UndoWindow& w) {
             w.Tool("spdbtnSelect");
             w.Drag({{9, 9}, {13, 13}});
             w.Window().FrameEditor().Copy1Click();
             w.Window().FrameEditor().Paste1Click();
         }},
        {"Invert", [](UndoWindow& w) { w.Window().FrameEditor().spdbtnInvertClick(); }},
        {"Text",
         [](UndoWindow& w) {
             w.Prompts().fontAnswers = {std::nullopt};
             w.Tool("spdbtnText");
             w.Drag({{2, 20}});
             w.Window().FormKeyPress(QStringLiteral("Hi"));
             w.Window().FormKeyPress(QStringLiteral("!"));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        UndoWindow w;
        const FramePixels before = w.Stored(0);
        c.edit(w);
        // The step is in the frame at once, and the editor shows it.
        const FramePixels after = w.Stored(0);
        ASSERT_NE(after, before);
        EXPECT_EQ(TAnimation::PixelsOf(w.Window().Editor().WorkBitmap), after);
        EXPECT_EQ(w.History().count(), 1);
        EXPECT_EQ(w.History().undoText(), QLatin1String(c.step));
        EXPECT_TRUE(w.Window().Modified());
        w.Window().Edit1Click();
        EXPECT_EQ(w.Action("Undo1")->text(), QStringLiteral("&Undo %1").arg(c.step));

        w.Window().Undo1Click();
        EXPECT_EQ(w.Stored(0), before);
        EXPECT_EQ(TAnimation::PixelsOf(w.Window().Editor().WorkBitmap), before);
        EXPECT_FALSE(w.Window().Modified()); // back at the file's content
        EXPECT_FALSE(w.Window().FrameEditor().Selection().Active());
        EXPECT_FALSE(w.Window().FrameEditor().TextMode());

        w.Window().Redo1Click();
        EXPECT_EQ(w.Stored(0), after);
        EXPECT_EQ(TAnimation::PixelsOf(w.Window().Editor().WorkBitmap), after);
        EXPECT_TRUE(w.Window().Modified());
    }
}

// Undo reaches the frame it changes from anywhere: another frame, the Player
// page, the Undo History window.
TEST(UndoPictures, UndoWorksFromEveryPageAndTheHistoryWindowJumps) {
    UndoWindow w;
    const FramePixels opened = w.Stored(0);
    w.Drag({{30, 5}});
    const FramePixels oneDot = w.Stored(0);
    w.Drag({{31, 5}});
    w.Window().SetCurFrame(1);
    auto* pages = w.Window().findChild<QTabWidget*>("pgcntlMain");
    pages->setCurrentWidget(w.Window().findChild<QWidget*>("tbshtPlayer"));
    w.Window().Edit1Click();
    ASSERT_TRUE(w.Action("Undo1")->isEnabled());
    EXPECT_FALSE(w.Action("SelectAll1")->isEnabled());
    QTest::keyClick(&w.Window(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.Stored(0), oneDot);
    EXPECT_EQ(w.Window().CurFrame(), 0); // the changed frame is shown

    // The history window lists the opened state and both steps; a click on a
    // row goes to it.
    QAction* view = w.Action("UndoHistory1");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->text(), "Undo &History");
    view->trigger();
    TUndoHistoryDock& dock = w.Window().UndoHistory();
    EXPECT_TRUE(dock.isVisible());
    QUndoView& list = dock.View();
    ASSERT_EQ(list.model()->rowCount(), 3);
    list.setCurrentIndex(list.model()->index(0, 0));
    EXPECT_EQ(w.Stored(0), opened);
    EXPECT_FALSE(w.Window().Modified());
    list.setCurrentIndex(list.model()->index(2, 0));
    EXPECT_NE(w.Stored(0), oneDot);
    EXPECT_TRUE(w.Window().Modified());
}

// The history window is built the first time View > Undo History asks for it;
// the item shows and hides it and follows it when it is closed by its own button.
TEST(UndoPictures, TheHistoryWindowIsBuiltOnDemandAndItsItemFollowsIt) {
    WindowFixture w;
    EXPECT_EQ(w.Window().findChild<QDockWidget*>("dckUndoHistory"), nullptr);
    QAction* item = w.Action("UndoHistory1");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isCheckable());
    EXPECT_FALSE(item->isChecked());

    item->trigger();
    auto* dock = w.Window().findChild<QDockWidget*>("dckUndoHistory");
    ASSERT_NE(dock, nullptr);
    EXPECT_TRUE(dock->isVisible());
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(w.Window().dockWidgetArea(dock), Qt::RightDockWidgetArea);

    dock->close();
    EXPECT_FALSE(item->isChecked());
    item->trigger();
    EXPECT_TRUE(dock->isVisible());
    item->trigger();
    EXPECT_FALSE(dock->isVisible());
    EXPECT_FALSE(item->isChecked());
    EXPECT_EQ(w.Window().findChildren<QDockWidget*>().size(), 1);
}

} // namespace
