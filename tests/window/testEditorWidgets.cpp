#include "editorToolBar.h"
#include "frameEditor.h"
#include "paintBox.h"
#include "windowFixture.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <functional>
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

// A drag that leaves the editor goes on reporting the mouse; the status bar
// names frame cells only, and shows none while the mouse is off the frame.
TEST(EditorWidgets, TheStatusBarNamesNoCellOffTheFrame) {
    EditorWindow e;
    auto* cell = e.Window().findChild<QLabel*>("stsbrMainPanel0");
    QTest::mousePress(e.Editor(), Qt::LeftButton, {}, At(46, 30));
    QTest::mouseMove(e.Editor(), At(47, 31));
    EXPECT_EQ(cell->text(), "48, 32");
    for (const QPoint off : {At(60, 45), At(20, 32), At(48, 3), QPoint(-4, 8), QPoint(8, -4)}) {
        QTest::mouseMove(e.Editor(), off);
        EXPECT_EQ(cell->text(), "") << off.x() << "," << off.y();
    }
    QTest::mouseMove(e.Editor(), At(0, 0));
    EXPECT_EQ(cell->text(), "1, 1");
    QTest::mouseRelease(e.Editor(), Qt::LeftButton, {}, At(0, 0));
}

TEST(EditorWidgets, AStrokeOnTheEditorIsStoredInTheFrameAsItEnds) {
    EditorWindow e;
    e.Drag(Qt::LeftButton, {{10, 10}, {12, 10}, {12, 12}});
    EXPECT_TRUE(e.Window().Modified());
    EXPECT_EQ(e.Window().findChild<QLabel*>("stsbrMainPanel0")->text(), "13, 13");
    EXPECT_EQ(e.StoredPixel(0, 11, 10), 1);
    EXPECT_EQ(e.Window().Document().UndoStack().undoText(), "Pen");
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
    EXPECT_EQ(e.Window().Document().UndoStack().count(), 0);
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

    // On another frame the history goes on, and Undo brings the frame it
    // changes back into view; Ctrl+Shift+Z redoes as Ctrl+Y does.
    e.Window().SetCurFrame(1);
    e.Window().Edit1Click();
    EXPECT_EQ(undo->text(), "&Undo Filled Rectangle");
    QTest::keyClick(&e.Window(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(e.Window().CurFrame(), 0);
    EXPECT_EQ(qGray(e.Window().Editor().WorkBitmap.pixel(4, 2)), 255);
    EXPECT_EQ(redo->text(), "&Redo Filled Rectangle");
    QTest::keyClick(&e.Window(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(qGray(e.Window().Editor().WorkBitmap.pixel(4, 2)), 0);
    EXPECT_EQ(e.StoredPixel(0, 4, 2), 1);
}

TEST(EditorWidgets, UndoAndRedoReachTheEditorWhileADurationIsTyped) {
    EditorWindow e;
    e.Drag(Qt::LeftButton, {{3, 3}});
    auto* duration = e.Window().findChild<QLineEdit*>("edtFrame0");
    duration->setFocus();
    QTest::keyClick(duration, Qt::Key_5);
    // The typed duration is the newest step, the stroke the one before it.
    QTest::keyClick(duration, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(e.Window().Animation().Frame(0).Duration(), 1);
    EXPECT_EQ(qGray(e.Window().Editor().WorkBitmap.pixel(3, 3)), 0);
    QTest::keyClick(duration, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(qGray(e.Window().Editor().WorkBitmap.pixel(3, 3)), 255);
    QTest::keyClick(duration, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(qGray(e.Window().Editor().WorkBitmap.pixel(3, 3)), 0);
}

TEST(EditorWidgets, TextTypedOnTheWindowEndsWithAFrameChangeAShortcutOrThePage) {
    EditorWindow e;
    TFrameEditor& editor = e.Window().FrameEditor();
    e.Prompts().fontAnswers.push_back(std::nullopt);
    e.Window().findChild<QToolButton*>("spdbtnText")->click();
    EXPECT_EQ(e.Prompts().fontRequests, 1);
    e.Drag(Qt::LeftButton, {{4, 14}});
    QTest::keyClicks(&e.Window(), "ab");
    EXPECT_EQ(editor.TypedText(), "ab");
    // Ctrl+Z undoes the text without typing a character and ends text mode.
    QTest::keyClick(&e.Window(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor.TypedText(), "ab");
    EXPECT_FALSE(editor.TextMode());
    QTest::keyClick(&e.Window(), Qt::Key_C);
    EXPECT_EQ(editor.TypedText(), "ab");

    // Another frame made current ends it; nothing typed reaches the new frame.
    e.Drag(Qt::LeftButton, {{4, 14}});
    ASSERT_TRUE(editor.TextMode());
    e.Window().SetCurFrame(1);
    EXPECT_FALSE(editor.TextMode());
    const QImage loaded = e.Window().Editor().WorkBitmap.copy();
    QTest::keyClicks(&e.Window(), "xy");
    EXPECT_EQ(e.Window().Editor().WorkBitmap, loaded);

    // Leaving the Frame page ends it and takes up the Selection tool.
    e.Drag(Qt::LeftButton, {{4, 14}});
    ASSERT_TRUE(editor.TextMode());
    auto* pages = e.Window().findChild<QTabWidget*>("pgcntlMain");
    pages->setCurrentWidget(e.Window().findChild<QWidget*>("tbshtPlayer"));
    EXPECT_FALSE(editor.TextMode());
    EXPECT_EQ(e.Window().Tools().CurrentTool(), TTool::Select);
    EXPECT_TRUE(e.Window().findChild<QToolButton*>("spdbtnSelect")->isChecked());
}

// With no current frame left, keys typed afterwards must neither draw the old
// picture again nor mark the closed document modified.
TEST(EditorWidgets, TypingEndsWhenCloseOrAnOpenLeavesNoCurrentFrame) {
    struct Case {
        const char* what;
        std::function<void(EditorWindow&)> action;
        QStringList messagesAfterTheQuestion;
    };
    const Case cases[] = {
        {"Close", [](EditorWindow& e) { e.Window().Close1Click(); }, {}},
        {"an Open that fails",
         [](EditorWindow& e) { e.Window().OpenDocument(e.Folder().Write("broken.lcd", "LCDi")); },
         {"Unable to open broken.lcd"}},
        {"an Open of a file without frames",
         [](EditorWindow& e) { e.Window().OpenDocument(e.LcdFile("empty.lcd", {})); },
         {}},
    };
    for (const Case& c : cases) {
        EditorWindow e;
        e.Prompts().fontAnswers.push_back(std::nullopt);
        e.Window().findChild<QToolButton*>("spdbtnText")->click();
        e.Drag(Qt::LeftButton, {{4, 14}});
        QTest::keyClicks(&e.Window(), "ab");
        ASSERT_TRUE(e.Window().Modified()) << c.what;
        // Save changes? No.
        e.Prompts().buttonAnswers.push_back(PromptButton::No);
        for (const QString& error : c.messagesAfterTheQuestion)
            e.Prompts().ExpectError(error);
        c.action(e);
        ASSERT_EQ(e.Window().CurFrame(), -1) << c.what;
        EXPECT_FALSE(e.Window().FrameEditor().TextMode()) << c.what;
        EXPECT_FALSE(e.Window().FrameEditor().CaretShown()) << c.what;
        QTest::keyClicks(&e.Window(), "xy");
        EXPECT_EQ(e.Window().Editor().WorkBitmap, NewFrameBitmap(Qt::white)) << c.what;
        EXPECT_FALSE(e.Window().Modified()) << c.what;
        EXPECT_EQ(e.Window().FrameEditor().TypedText(), "ab") << c.what;
        // The next Open has nothing to ask.
        e.Window().OpenDocument(e.LcdFile("next.lcd", {1}));
        EXPECT_EQ(e.Window().Animation().FrameCount(), 1) << c.what;
        ASSERT_GE(e.Prompts().messages.size(), 1u) << c.what;
        EXPECT_EQ(e.Prompts().MessageTexts().mid(1), c.messagesAfterTheQuestion) << c.what;
        EXPECT_TRUE(e.Prompts().buttonAnswers.empty()) << c.what;
    }
}

TEST(EditorWidgets, SelectAllAndClearSelectionByTheirShortcutsLeaveAWhiteFrame) {
    EditorWindow e;
    e.Drag(Qt::LeftButton, {{3, 3}, {9, 9}});
    const int undos = e.Window().Document().UndoStack().count();
    QTest::keyClick(&e.Window(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(e.Window().FrameEditor().Selection().Active());
    QTest::keyClick(&e.Window(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_FALSE(e.Window().FrameEditor().Selection().Active());
    EXPECT_EQ(e.Window().Editor().WorkBitmap, NewFrameBitmap(Qt::white));
    EXPECT_EQ(e.Window().Document().UndoStack().count(), undos + 1);
    // Ctrl+Del again, with nothing selected, does nothing.
    QTest::keyClick(&e.Window(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(e.Window().Document().UndoStack().count(), undos + 1);
}

// The window's members go before its child widgets: a page switch that the
// page control still reports then must reach none of the window's page steps.
TEST(EditorWidgets, APageSwitchWhileTheWindowIsDestroyedRunsNoPageStep) {
    EditorWindow e;
    QPointer<QTabWidget> pages = e.Window().findChild<QTabWidget*>("pgcntlMain");
    QPointer<QWidget> popupButton = e.Window().findChild<QWidget*>("spdbtnFrame0");
    QWidget* player = e.Window().findChild<QWidget*>("tbshtPlayer");
    ASSERT_TRUE(popupButton->isEnabled());
    bool switched = false;
    bool popupEnabledAfterSwitch = false;
    // The menu bar is the window's first child: it goes after the members and
    // before the pages.
    QObject::connect(e.Window().menuBar(), &QObject::destroyed, [&] {
        ASSERT_FALSE(pages.isNull());
        ASSERT_FALSE(popupButton.isNull());
        pages->setCurrentWidget(player);
        switched = pages->currentWidget() == player;
        popupEnabledAfterSwitch = popupButton->isEnabled();
    });
    e.Destroy();
    EXPECT_TRUE(switched);
    // Leaving the Frame page would have disabled the strip's popup buttons.
    EXPECT_TRUE(popupEnabledAfterSwitch);
}

// The window looks at the system's clipboard only once it is on screen (the
// first look loads every image plugin); from then on a picture another program
// put there before the start is taken by Ctrl+V at once.
TEST(EditorWidgets, APictureOnTheClipboardBeforeTheStartIsPastedByItsShortcutOnceTheWindowIsUp) {
    QImage picture(FrameWidth, FrameHeight, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&buffer, "PNG"));
    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/png"), png);
    QGuiApplication::clipboard()->setMimeData(data);

    WindowFixture w({}, false);
    w.Window().FormActivate();
    ASSERT_EQ(w.Window().CurFrame(), 0);
    EXPECT_FALSE(w.Action("Paste1")->isEnabled());
    w.Start();
    EXPECT_TRUE(w.Action("Paste1")->isEnabled());
    w.Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(w.Window().FrameEditor().Selection().Active());
    QGuiApplication::clipboard()->clear();
}

// Each tool button shows its tool's picture, painted at the size it is shown.
TEST(EditorWidgets, EachToolButtonShowsItsToolsPictureAtTheSizeShown) {
    WindowFixture w;
    const auto* toolBar = w.Window().findChild<TEditorToolBar*>();
    ASSERT_NE(toolBar, nullptr);
    for (int index = 0; index < ToolCount; ++index) {
        const auto tool = static_cast<TTool>(index);
        for (const int size : {TEditorToolBar::IconSize, 32})
            EXPECT_EQ(toolBar->Button(tool)->icon().pixmap(size).toImage().convertToFormat(
                          QImage::Format_ARGB32_Premultiplied),
                      PaintToolGlyph(tool, size))
                << index << " " << size;
    }
}
