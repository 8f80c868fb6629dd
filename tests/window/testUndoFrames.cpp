// Frame changes made through the real window, undone and redone through the
// document's history: each is one named step, undoing it gives back exactly
// the frames before it and shows the frame it touched, and Modified follows the
// step of the last save.

#include "document.h"
#include "formAnimProperties.h"
#include "frameStrip.h"
#include "pictureFixtures.h"
#include "windowFixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <functional>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

// What the user can see of the frames.
struct Frames {
    // Per frame: -1 blank, the one lit pixel's index, or 10000 + the lit count.
    std::vector<int> pictures;
    std::vector<int> durations;
    int red = -1;
    int blue = -1;
    int repeat = 0;
    bool operator==(const Frames&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Frames& frames) {
    out << "pictures";
    for (const int picture : frames.pictures)
        out << ' ' << picture;
    out << " durations";
    for (const int duration : frames.durations)
        out << ' ' << duration;
    return out << " red " << frames.red << " blue " << frames.blue << " repeat " << frames.repeat;
}

Frames FramesOf(const TAnimation& animation) {
    Frames frames;
    frames.repeat = animation.RepeatCount;
    for (int i = 0; i < animation.FrameCount(); ++i) {
        const TFrame& frame = animation.Frame(i);
        int lit = 0;
        int first = -1;
        for (int p = 0; p < FramePixelCount; ++p)
            if (frame.Pixels[static_cast<std::size_t>(p)] == 1 && lit++ == 0)
                first = p;
        frames.pictures.push_back(lit <= 1 ? first : 10000 + lit);
        frames.durations.push_back(frame.Duration());
        if (frame.RedLayer())
            frames.red = i;
        if (frame.BlueLayer())
            frames.blue = i;
    }
    return frames;
}

// A saved five-frame document (durations 1..5, frame i with pixel (i, 0) lit),
// the red mark on frame 4, frame 2 current.
struct UndoWindow : WindowFixture {
    UndoWindow() {
        Window().OpenDocument(LcdFile("anim.lcd", {1, 2, 3, 4, 5}));
        Window().Animation().Frame(4).SetRedLayer(true);
        Window().SetCurFrame(2);
    }
    QUndoStack& History() { return Window().Document().UndoStack(); }
    void MarkRange(int first, int last) {
        Window().Document().SetSelRange(first, last);
        for (int i = first; i <= last; ++i)
            Window().Animation().Frame(i).SetSelected(true);
        Window().Document().SetMultipleSel(true);
    }
    // Clicks into the duration box of the frame in slot, types keys at its end
    // and gives the keyboard back with Enter.
    void TypeDuration(int slot, const std::string& keys) {
        auto* edit = Window().findChild<QLineEdit*>(QStringLiteral("edtFrame%1").arg(slot));
        QTest::mouseClick(edit, Qt::LeftButton);
        edit->end(false);
        for (const char key : keys)
            QTest::keyClick(edit, key == '\b' ? Qt::Key_Backspace : Qt::Key(key));
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void ClickUp(int slot) {
        auto* upDown = Window().findChild<TUpDown*>(QStringLiteral("updnFrame%1").arg(slot));
        QTest::mouseClick(upDown->UpButton(), Qt::LeftButton);
    }
    void Layer(int frame, const char* item) {
        Window().PopupFrameMenu(frame, QPoint(0, 0));
        Action(item)->trigger();
        Window().findChild<QMenu*>("mnuFrame")->hide();
    }
    // File > Import Frame with an all-black picture, then a button of the page.
    void ImportBlack(const char* button) {
        Prompts().fileAnswers.push_back(
            Folder().Write("black.png", PictureBytes(Filled(48, 32, qRgb(0, 0, 0)), "png")));
        Action("Import1")->trigger();
        Window().findChild<QPushButton*>(button)->click();
        Window().findChild<QPushButton*>("btnImportDone")->click();
    }
    void RepeatCount(const char* typed) {
        QTimer::singleShot(0, [typed] {
            auto* dialog = qobject_cast<TfrmAnimProperties*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            auto* edit = dialog->findChild<QLineEdit*>("edtRepeat");
            edit->selectAll();
            QTest::keyClicks(edit, typed);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        Run("Properties1");
    }
};

TEST(UndoFrames, EachFrameChangeIsANamedStepThatUndoesAndRedoesExactly) {
    struct Case {
        const char* what;
        std::function<void(UndoWindow&)> change;
        const char* step; // the newest
        int currentAfterUndo;
        int currentAfterRedo;
        int steps = 1;
        // Durations leave the frames where they are, so the range stays marked.
        bool rangeKept = false;
    };
    const Case cases[] = {
        {"Ins", [](UndoWindow& f) { f.Key(Qt::Key_Insert); }, "Insert Frame", 2, 3},
        {"Shift+Ins", [](UndoWindow& f) { f.Key(Qt::Key_Insert, Qt::ShiftModifier); },
         "Insert Frame", 2, 2},
        // The red frame comes back with its mark.
        {"Del on the last frame",
         [](UndoWindow& f) {
             f.Window().SetCurFrame(4);
             f.Key(Qt::Key_Delete);
         },
         "Delete Frames", 4, 3},
        {"Delete a range",
         [](UndoWindow& f) {
             f.MarkRange(1, 3);
             f.Run("DeleteFrame1");
         },
         "Delete Frames", 1, 1},
        // Marks with a gap go as one step, and come back where they were.
        {"Delete marks with a gap",
         [](UndoWindow& f) {
             f.MarkRange(2, 3);
             f.Window().Animation().Frame(0).SetSelected(true);
             f.Run("DeleteFrame1");
             EXPECT_EQ(FramesOf(f.Window().Animation()).pictures, (std::vector<int>{1, 4}));
         },
         "Delete Frames", 2, 0},
        {"Cut a range",
         [](UndoWindow& f) {
             f.MarkRange(3, 4);
             f.Run("CutFrame1");
         },
         "Cut Frames", 3, 2},
        {"Paste",
         [](UndoWindow& f) {
             f.Window().SetCurFrame(0);
             f.Run("CopyFrame1");
             f.Window().SetCurFrame(2);
             f.Run("PasteFrame1");
         },
         "Paste Frames", 2, 2},
        // Undo goes back to the frame that was duplicated, redo to the first copy.
        {"Duplicate a frame", [](UndoWindow& f) { f.Key(Qt::Key_D, Qt::ControlModifier); },
         "Duplicate Frames", 2, 3},
        {"Duplicate a range",
         [](UndoWindow& f) {
             f.MarkRange(1, 2);
             f.Run("DuplicateFrames1");
         },
         "Duplicate Frames", 2, 3},
        {"Insert Animation after",
         [](UndoWindow& f) {
             f.Prompts().fileAnswers.push_back(f.LcdFile("two.lcd", {7, 8}));
             f.Run("AfterCurrent2");
         },
         "Insert Animation", 2, 3},
        {"Insert Animation before",
         [](UndoWindow& f) {
             f.Prompts().fileAnswers.push_back(f.LcdFile("two.lcd", {7, 8}));
             f.Run("BeforeCurrent2");
         },
         "Insert Animation", 2, 2},
        // Three keys in one box, one step; undo shows the frame typed into.
        {"a duration typed", [](UndoWindow& f) { f.TypeDuration(1, "\b45"); }, "Duration", 1, 1},
        {"an arrow clicked twice",
         [](UndoWindow& f) {
             f.ClickUp(3);
             f.ClickUp(3);
         },
         "Duration", 3, 3},
        {"speed 200%", [](UndoWindow& f) { f.Run("mnuitmRate200"); }, "Adjust Animation Speed", 2,
         2},
        {"speed 200% on a range",
         [](UndoWindow& f) {
             f.MarkRange(3, 4);
             f.Run("mnuitmRate200");
         },
         "Adjust Animation Speed", 2, 2, 1, true},
        {"repeat count", [](UndoWindow& f) { f.RepeatCount("7"); }, "Repeat Count", 2, 2},
        {"red layer moved", [](UndoWindow& f) { f.Layer(1, "RedLayer1"); }, "Red Layer", 1, 1},
        // The red frame turns blue; undo gives it back its red mark.
        {"blue layer on the red frame", [](UndoWindow& f) { f.Layer(4, "BlueLayer1"); },
         "Blue Layer", 4, 4},
        {"Import Replace", [](UndoWindow& f) { f.ImportBlack("btnImportReplace"); },
         "Replace Frame", 2, 2},
        // The Animation menu's insert, then the page's Replace.
        {"Import Insert", [](UndoWindow& f) { f.ImportBlack("btnImportInsert"); }, "Replace Frame",
         2, 3, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UndoWindow f;
        const Frames before = FramesOf(f.Window().Animation());
        ASSERT_FALSE(f.Window().Modified());
        c.change(f);
        const Frames after = FramesOf(f.Window().Animation());
        EXPECT_NE(after, before);
        EXPECT_EQ(f.History().count(), c.steps);
        EXPECT_EQ(f.History().undoText(), QLatin1String(c.step));
        EXPECT_TRUE(f.Window().Modified());

        for (int i = 0; i < c.steps; ++i)
            f.History().undo();
        EXPECT_EQ(FramesOf(f.Window().Animation()), before);
        EXPECT_EQ(f.Window().CurFrame(), c.currentAfterUndo);
        EXPECT_FALSE(f.Window().Modified());
        EXPECT_EQ(f.Window().MultipleSel(), c.rangeKept);

        for (int i = 0; i < c.steps; ++i)
            f.History().redo();
        EXPECT_EQ(FramesOf(f.Window().Animation()), after);
        EXPECT_EQ(f.Window().CurFrame(), c.currentAfterRedo);
        EXPECT_TRUE(f.Window().Modified());
    }
}

// Refused changes leave no step behind to undo.
TEST(UndoFrames, ARefusedPasteOrInsertLeavesNoStep) {
    struct Case {
        const char* what;
        std::function<void(UndoWindow&)> change;
        const char* message;
    };
    const Case cases[] = {
        {"Ins", [](UndoWindow& f) { f.Key(Qt::Key_Insert); },
         "Unable to insert new frame (maximum = 324)."},
        {"Paste",
         [](UndoWindow& f) {
             f.Run("CopyFrame1");
             f.Run("PasteFrame1");
         },
         "Unable to insert all frames (maximum = 324)."},
        {"Import Insert", [](UndoWindow& f) { f.ImportBlack("btnImportInsert"); },
         "Unable to insert new frame (maximum = 324)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UndoWindow f;
        TAnimation& animation = f.Window().Animation();
        while (animation.FrameCount() < MaxDocumentFrames)
            animation.AddFrame();
        f.Prompts().ExpectError(c.message);
        c.change(f);
        EXPECT_EQ(animation.FrameCount(), MaxDocumentFrames);
        EXPECT_EQ(f.History().count(), 0);
    }
}

// The history goes on across frame changes: each spell of typing in a box is a
// step of its own, and undoing goes back through them showing each frame in turn.
TEST(UndoFrames, StepsOnDifferentFramesUndoInTurnAndShowTheirFrames) {
    UndoWindow f;
    f.TypeDuration(1, "\b7");
    f.TypeDuration(1, "\b29");
    f.TypeDuration(3, "\b8");
    f.Key(Qt::Key_Home);
    f.Key(Qt::Key_Delete);
    ASSERT_EQ(FramesOf(f.Window().Animation()).durations, (std::vector<int>{29, 3, 8, 5}));
    ASSERT_EQ(f.History().count(), 4);

    f.History().undo();
    EXPECT_EQ(FramesOf(f.Window().Animation()).durations, (std::vector<int>{1, 29, 3, 8, 5}));
    EXPECT_EQ(f.Window().CurFrame(), 0);
    EXPECT_EQ(f.History().undoText(), "Duration");
    f.History().undo();
    EXPECT_EQ(FramesOf(f.Window().Animation()).durations, (std::vector<int>{1, 29, 3, 4, 5}));
    EXPECT_EQ(f.Window().CurFrame(), 3);
    f.History().undo();
    EXPECT_EQ(FramesOf(f.Window().Animation()).durations, (std::vector<int>{1, 7, 3, 4, 5}));
    EXPECT_EQ(f.Window().CurFrame(), 1);
    f.History().undo();
    EXPECT_EQ(FramesOf(f.Window().Animation()).durations, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_FALSE(f.Window().Modified());
}

} // namespace

// A duration being typed keeps the edit's own shortcuts but lets the window's
// Undo and Redo keys through, so they take back the typing as one step.
TEST(UndoFrames, ADurationEditLetsTheWindowsUndoAndRedoKeysThrough) {
    const struct {
        QKeyCombination key;
        bool passes;
    } cases[] = {
        {Qt::ControlModifier | Qt::Key_Z, true},
        {Qt::ControlModifier | Qt::Key_Y, true},
        {Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z, true},
        {Qt::ControlModifier | Qt::Key_A, false},
    };
    TDurationEdit edit;
    edit.setText(QStringLiteral("12"));
    for (const auto& c : cases) {
        QKeyEvent override(QEvent::ShortcutOverride, c.key.key(), c.key.keyboardModifiers());
        QCoreApplication::sendEvent(&edit, &override);
        EXPECT_EQ(override.isAccepted(), !c.passes) << QKeySequence(c.key).toString().toStdString();
    }
}

// Undo and Redo typed while the box still has the keyboard take back the
// typing as one step and bring it back; the box shows each duration.
TEST(UndoFrames, UndoAndRedoInADurationBoxTakeBackTheTyping) {
    UndoWindow f;
    auto* edit = f.Window().findChild<QLineEdit*>("edtFrame2");
    QTest::mouseClick(edit, Qt::LeftButton);
    edit->end(false);
    for (const Qt::Key key : {Qt::Key_Backspace, Qt::Key_9, Qt::Key_1})
        QTest::keyClick(edit, key);
    ASSERT_EQ(f.Window().Animation().Frame(2).Duration(), 91);
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.Window().Animation().Frame(2).Duration(), 3);
    EXPECT_EQ(edit->text(), "3");
    EXPECT_FALSE(f.Window().Modified());
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(f.Window().Animation().Frame(2).Duration(), 91);
    EXPECT_EQ(edit->text(), "91");
}
