#include "frameClipboard.h"
#include "frameStrip.h"
#include "pictureFixtures.h"
#include "playerPage.h"
#include "threadPlayer.h"
#include "timeFormat.h"
#include "windowFixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

constexpr int Blank = -1;

// Which frame stands where: the marker FillAnimation and LCDBytes give frame i,
// Blank for a frame without lit dots.
std::vector<int> Markers(const TAnimation& animation) {
    std::vector<int> markers;
    for (int i = 0; i < animation.FrameCount(); ++i) {
        const int marker = Marker(animation.Frame(i));
        markers.push_back(marker >= FramePixelCount ? Blank : marker);
    }
    return markers;
}

// A window over an LCD file of these durations, saved and unmodified.
struct Commands : WindowFixture {
    explicit Commands(std::initializer_list<int> durations = {1, 1, 1, 1}) {
        Window().OpenDocument(LcdFile("anim.lcd", durations));
    }
    // Grows the document to count frames (markers go on counting).
    void GrowTo(int count) {
        TAnimation& animation = Window().Animation();
        while (animation.FrameCount() < count) {
            animation.AddFrame();
            const int last = animation.FrameCount() - 1;
            animation.Frame(last).Pixels[static_cast<std::size_t>(last)] = 1;
            animation.PaintCell(last);
        }
        Window().RefreshFrames(false);
    }
    // The range first..last marked as Shift+clicks leave it, current its end.
    void SelectRange(int first, int last, int current) {
        Window().SetCurFrame(current);
        Window().Document().SetSelRange(first, last);
        for (int i = first; i <= last; ++i)
            Window().Animation().Frame(i).SetSelected(true);
        Window().Document().SetMultipleSel(true);
    }
    std::vector<int> Marks() {
        std::vector<int> marked;
        for (int i = 0; i < Window().Animation().FrameCount(); ++i)
            if (Window().Animation().Frame(i).Selected())
                marked.push_back(i);
        return marked;
    }
    QString SlotNumber(int slot) {
        return Window().findChild<QLabel*>(QStringLiteral("lblFrame%1Num").arg(slot))->text();
    }
    bool SlotShown(int slot) {
        return !Window().findChild<QWidget*>(QStringLiteral("pnlFrame%1").arg(slot))->isHidden();
    }
    QString TimePanel() { return Window().findChild<QLabel*>("stsbrMainPanel2")->text(); }
    // Puts frames of these markers on the frame clipboard.
    static void PutFramesOnClipboard(int count) {
        TAnimation source;
        FillAnimation(source, count);
        for (int i = 0; i < count; ++i)
            source.Frame(i).SetSelected(true);
        TFrameClipboard().PutFrames(source.SelectedFramesPayload());
    }
    // A dot drawn with the Pen, as the user draws it.
    void DrawDot(QPoint dot) {
        Tool("spdbtnPen");
        Drag({dot});
    }
    QImage Work() { return Window().Editor().WorkBitmap.convertToFormat(QImage::Format_RGB32); }
};

bool Lit(const TFrame& frame, QPoint dot) {
    return frame.Pixels[static_cast<std::size_t>(PixelIndex(dot.x(), dot.y()))] == 1;
}

} // namespace

TEST(AnimationMenu, HoldsItsItemsWithCaptionsShortcutsAndSeparators) {
    WindowFixture f;
    const auto* menu = f.Window().findChild<QMenu*>("Animation1");
    QStringList shown;
    for (const QAction* item : menu->actions()) {
        if (item->isSeparator()) {
            shown << QStringLiteral("-");
            continue;
        }
        QString line = item->objectName() + QLatin1Char(' ') + item->text();
        if (!item->shortcut().isEmpty())
            line += QLatin1Char(' ') + item->shortcut().toString();
        if (item->menu())
            for (const QAction* sub : item->menu()->actions())
                line += QStringLiteral(" [%1 %2%3]")
                            .arg(sub->objectName(), sub->text(),
                                 sub->shortcut().isEmpty()
                                     ? QString()
                                     : QLatin1Char(' ') + sub->shortcut().toString());
        shown << line;
    }
    const QStringList expected = {
        "InsertFrame1 &Insert Frame [BeforeCurrent1 Be&fore Current Shift+Ins]"
        " [AfterCurrent1 &After Current Ins]",
        "DuplicateFrames1 D&uplicate Frame(s) Ctrl+D",
        "DeleteFrame1 &Delete Frame(s) Del",
        "-",
        "CutFrame1 Cu&t Frame(s)",
        "CopyFrame1 &Copy Frame(s)",
        "PasteFrame1 &Paste Frame(s)",
        "-",
        "PasteFrom1 Insert &Animation [BeforeCurrent2 Be&fore Current]"
        " [AfterCurrent2 &After Current]",
        "-",
        "AdjustAnimationSpeed1 Adjust Animation &Speed [mnuitmRate300 300% (From Dream Animator)]"
        " [mnuitmRate200 200%] [mnuitmRate150 150%] [mnuitmRate75 75%] [mnuitmRate50 50%]"
        " [mnuitmRate33 33% (To Dream Animator)] [mnuitmRate25 25%] [mnuitmRate10 10%]"
        " [mnuitmRateCustom &Custom]",
        "Properties1 P&roperties",
    };
    EXPECT_EQ(shown, expected);
    // The menu follows the document: closed, it is off.
    f.Window().Close1Click();
    EXPECT_FALSE(f.Action("Animation1")->isEnabled());
    f.Window().New1Click();
    EXPECT_TRUE(f.Action("Animation1")->isEnabled());
}

TEST(FrameCommands, InsertKeysPlaceABlankFrameAndMarkTheDocument) {
    struct Case {
        const char* what;
        int current;
        Qt::KeyboardModifiers modifiers;
        std::vector<int> markers;
        int newCurrent;
    };
    for (const Case& c : {
             Case{"Ins on the last frame", 3, Qt::NoModifier, {0, 1, 2, 3, Blank}, 4},
             Case{"Ins in the middle", 1, Qt::NoModifier, {0, 1, Blank, 2, 3}, 2},
             Case{"Shift+Ins on index 2", 2, Qt::ShiftModifier, {0, 1, Blank, 2, 3}, 2},
             Case{"Shift+Ins on the first", 0, Qt::ShiftModifier, {Blank, 0, 1, 2, 3}, 0},
         }) {
        Commands f;
        f.Window().SetCurFrame(c.current);
        // An edit of the current frame not stored yet goes with its frame.
        f.DrawDot({20, 20});
        f.Key(Qt::Key_Insert, c.modifiers);
        const TAnimation& animation = f.Window().Animation();
        EXPECT_EQ(Markers(animation), c.markers) << c.what;
        EXPECT_EQ(f.Window().CurFrame(), c.newCurrent) << c.what;
        EXPECT_TRUE(f.Window().Modified()) << c.what;
        const int edited = c.modifiers == Qt::ShiftModifier ? c.current + 1 : c.current;
        EXPECT_TRUE(Lit(animation.Frame(edited), {20, 20})) << c.what;
        // The editor shows the new blank frame.
        EXPECT_EQ(f.Window().Editor().WorkBitmap.pixel(20, 20), qRgb(255, 255, 255)) << c.what;
        EXPECT_EQ(f.SlotNumber(c.newCurrent),
                  QStringLiteral("%1/005").arg(c.newCurrent + 1, 3, 10, QLatin1Char('0')))
            << c.what;
    }
}

// Frames that do not all fit are refused whole: the document stays as it was,
// unmodified and without an undo step.
TEST(FrameCommands, AtTheFrameLimitEachInsertSaysSoAndChangesNothing) {
    struct Case {
        const char* what;
        int frames;
        int current;
        std::function<void(Commands&)> command;
        const char* message;
    };
    const auto insertFile = [](const char* item) {
        return [item](Commands& f) {
            f.Prompts().fileAnswers.push_back(f.LcdFile("ten.lcd", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
            f.Run(item);
        };
    };
    const Case cases[] = {
        {"Ins", MaxDocumentFrames, 5, [](Commands& f) { f.Key(Qt::Key_Insert); },
         "Unable to insert new frame (maximum = 324)."},
        {"Shift+Ins", MaxDocumentFrames, 5,
         [](Commands& f) { f.Key(Qt::Key_Insert, Qt::ShiftModifier); },
         "Unable to insert new frame (maximum = 324)."},
        {"Insert Animation After on the last frame", 320, 319, insertFile("AfterCurrent2"),
         "Unable to insert all frames (maximum = 324)."},
        {"Insert Animation After in the middle", 320, 5, insertFile("AfterCurrent2"),
         "Unable to insert all frames (maximum = 324)"},
        {"Insert Animation Before", 320, 5, insertFile("BeforeCurrent2"),
         "Unable to insert all frames (maximum = 324)"},
        {"Ctrl+D", MaxDocumentFrames, 5, [](Commands& f) { f.Key(Qt::Key_D, Qt::ControlModifier); },
         "Unable to insert new frame (maximum = 324)."},
        // Three copies where two would fit: none goes in.
        {"Duplicate a range", 322, 5,
         [](Commands& f) {
             f.SelectRange(3, 5, 5);
             f.Run("DuplicateFrames1");
         },
         "Unable to insert new frame (maximum = 324)."},
    };
    for (const Case& c : cases) {
        Commands f;
        f.GrowTo(c.frames);
        f.Window().SetCurFrame(c.current);
        f.Window().Document().MarkClean(); // as a save leaves it
        const int steps = f.Window().Document().UndoStack().count();
        f.Prompts().ExpectError(c.message);
        c.command(f);
        EXPECT_EQ(f.Window().Animation().FrameCount(), c.frames) << c.what;
        EXPECT_EQ(f.Window().Document().UndoStack().count(), steps) << c.what;
        EXPECT_EQ(f.Prompts().MessageTexts(), QStringList{c.message}) << c.what;
        EXPECT_EQ(f.Prompts().messages.at(0).caption, "Error") << c.what;
        EXPECT_FALSE(f.Window().Modified()) << c.what;
        EXPECT_TRUE(f.Window().Animation().IsValidIndex(f.Window().CurFrame())) << c.what;
    }
}

// The copies carry what a copied frame carries: picture, with an edit not yet
// stored, and duration. The red mark stays on its one frame.
TEST(FrameCommands, DuplicatePutsCopiesRightAfterTheFrameOrRangeWithTheFirstCurrent) {
    struct Case {
        const char* what;
        int first, last, current; // first -1: no range
        std::vector<int> markers;
        std::vector<int> durations;
        int newCurrent;
    };
    for (const Case& c : {
             Case{"a middle frame", -1, -1, 1, {0, 1, 1, 2, 3, 4}, {1, 2, 2, 3, 4, 5}, 2},
             Case{"the last frame", -1, -1, 4, {0, 1, 2, 3, 4, 4}, {1, 2, 3, 4, 5, 5}, 5},
             Case{"a range current at its start",
                  1,
                  3,
                  1,
                  {0, 1, 2, 3, 1, 2, 3, 4},
                  {1, 2, 3, 4, 2, 3, 4, 5},
                  4},
             Case{"a range to the end", 3, 4, 4, {0, 1, 2, 3, 4, 3, 4}, {1, 2, 3, 4, 5, 4, 5}, 5},
         }) {
        Commands f({1, 2, 3, 4, 5});
        f.Window().Animation().Frame(c.current).SetRedLayer(true);
        f.Window().SetCurFrame(c.current);
        f.DrawDot({20, 20});
        if (c.first >= 0)
            f.SelectRange(c.first, c.last, c.current);
        f.Key(Qt::Key_D, Qt::ControlModifier);
        const TAnimation& animation = f.Window().Animation();
        EXPECT_EQ(Markers(animation), c.markers) << c.what;
        std::vector<int> drawn;
        for (int i = 0; i < animation.FrameCount(); ++i)
            if (Lit(animation.Frame(i), {20, 20}))
                drawn.push_back(i);
        EXPECT_EQ(Durations(animation), c.durations) << c.what;
        const int copyOfCurrent = c.newCurrent + (c.first < 0 ? 0 : c.current - c.first);
        EXPECT_EQ(drawn, (std::vector<int>{c.current, copyOfCurrent})) << c.what;
        std::vector<int> red;
        for (int i = 0; i < animation.FrameCount(); ++i)
            if (animation.Frame(i).RedLayer())
                red.push_back(i);
        EXPECT_EQ(red, std::vector<int>{c.current}) << c.what;
        EXPECT_EQ(f.Window().CurFrame(), c.newCurrent) << c.what;
        QImage shown(FrameWidth, FrameHeight, QImage::Format_RGB32);
        animation.DrawFrame(c.newCurrent, shown);
        EXPECT_EQ(f.Work(), shown) << c.what;
        EXPECT_EQ(f.SlotNumber(c.newCurrent - f.Window().FrameStrip().Position()),
                  QStringLiteral("%1/%2")
                      .arg(c.newCurrent + 1, 3, 10, QLatin1Char('0'))
                      .arg(animation.FrameCount(), 3, 10, QLatin1Char('0')))
            << c.what;
        EXPECT_FALSE(f.Window().MultipleSel()) << c.what;
        EXPECT_TRUE(f.Marks().empty()) << c.what;
        EXPECT_TRUE(f.Window().Modified()) << c.what;
        EXPECT_TRUE(f.Prompts().messages.empty()) << c.what;
    }
}

TEST(FrameCommands, DeletingTheOnlyFrameLeavesNoCurrentFrameUntilAnInsert) {
    Commands f({3});
    f.Key(Qt::Key_Delete);
    EXPECT_EQ(f.Window().Animation().FrameCount(), 0);
    EXPECT_EQ(f.Window().CurFrame(), -1);
    EXPECT_TRUE(f.Window().findChild<QWidget*>("pnlEditor")->isHidden());
    EXPECT_FALSE(f.SlotShown(0));
    f.Window().Animation1Click();
    for (const char* item :
         {"DuplicateFrames1", "DeleteFrame1", "CutFrame1", "CopyFrame1", "AdjustAnimationSpeed1"})
        EXPECT_FALSE(f.Action(item)->isEnabled()) << item;
    for (const char* item : {"InsertFrame1", "PasteFrom1", "Properties1"})
        EXPECT_TRUE(f.Action(item)->isEnabled()) << item;
    // Del with no frame does nothing; Ins makes a first frame again.
    f.Key(Qt::Key_Delete);
    f.Key(Qt::Key_Insert);
    EXPECT_EQ(f.Window().Animation().FrameCount(), 1);
    EXPECT_EQ(f.Window().CurFrame(), 0);
    EXPECT_FALSE(f.Window().findChild<QWidget*>("pnlEditor")->isHidden());
    EXPECT_TRUE(f.Prompts().messages.empty());
}

TEST(FrameCommands, DelActsOnlyOnTheFramePageTheMenuItemOnEveryPage) {
    Commands f;
    f.Window().ShowPage(f.Window().findChild<QWidget*>("tbshtPlayer"));
    f.Key(Qt::Key_Delete);
    EXPECT_EQ(f.Window().Animation().FrameCount(), 4);
    EXPECT_FALSE(f.Window().Modified());
    f.Run("DeleteFrame1");
    EXPECT_EQ(f.Window().Animation().FrameCount(), 3);
    // Switching pages as the user does takes the key off the item, and back.
    auto* pages = f.Window().findChild<QTabWidget*>("pgcntlMain");
    pages->setCurrentWidget(f.Window().findChild<QWidget*>("tbshtFrameEdit"));
    pages->setCurrentWidget(f.Window().findChild<QWidget*>("tbshtPlayer"));
    EXPECT_TRUE(f.Action("DeleteFrame1")->shortcut().isEmpty());
    f.Key(Qt::Key_Delete);
    EXPECT_EQ(f.Window().Animation().FrameCount(), 3);
    pages->setCurrentWidget(f.Window().findChild<QWidget*>("tbshtFrameEdit"));
    EXPECT_EQ(f.Action("DeleteFrame1")->shortcut(), QKeySequence(Qt::Key_Delete));
    f.Key(Qt::Key_Delete);
    EXPECT_EQ(f.Window().Animation().FrameCount(), 2);
    // Ins works on every page.
    f.Window().ShowPage(f.Window().findChild<QWidget*>("tbshtPlayer"));
    f.Key(Qt::Key_Insert);
    EXPECT_EQ(f.Window().Animation().FrameCount(), 3);
}

// Del belongs to the picture while a selection floats or text is typed: it
// never takes the frame away then.
TEST(FrameCommands, DelClearsAFloatingSelectionAndDoesNothingWhileTyping) {
    Commands f;
    // Frame 0 has dot 0 lit; one more dot inside the band, one outside it.
    f.DrawDot({5, 5});
    f.DrawDot({20, 20});
    f.Tool("spdbtnSelect");
    f.Drag({{6, 6}, {0, 0}});
    ASSERT_TRUE(f.Window().FrameEditor().Selection().Active());
    const QImage lifted = f.Work();
    const int steps = f.Window().Document().UndoStack().count();
    f.Key(Qt::Key_Delete);
    // The frame holds what the editor shows: dot 0 and (5, 5) cleared.
    EXPECT_EQ(Markers(f.Window().Animation()), (std::vector<int>{PixelIndex(20, 20), 1, 2, 3}));
    EXPECT_EQ(f.Window().CurFrame(), 0);
    EXPECT_FALSE(f.Window().FrameEditor().Selection().Active());
    QImage cleared = NewFrameBitmap(Qt::white);
    cleared.setPixel(20, 20, qRgb(0, 0, 0));
    EXPECT_EQ(f.Work(), cleared);
    // One editor step, which Undo takes back.
    EXPECT_EQ(f.Window().Document().UndoStack().count(), steps + 1);
    f.Window().Undo1Click();
    EXPECT_EQ(f.Work(), lifted);

    // A selection dragged when Del comes: the drag ends with it.
    f.Drag({{0, 0}, {1, 1}});
    auto* editor = f.Window().findChild<QWidget*>("pntbxEditor");
    QTest::mousePress(editor, Qt::LeftButton, {}, QPoint(3, 5));
    QTest::mouseMove(editor, QPoint(83, 85));
    f.Key(Qt::Key_Delete);
    const QImage afterDel = f.Work();
    QTest::mouseMove(editor, QPoint(243, 85));
    QTest::mouseRelease(editor, Qt::LeftButton, {}, QPoint(243, 85));
    EXPECT_EQ(f.Work(), afterDel);
    EXPECT_EQ(f.Window().Animation().FrameCount(), 4);

    // Typing: Del (and Tab) draw nothing, and Del deletes nothing.
    f.Prompts().fontAnswers.push_back(std::nullopt);
    f.Tool("spdbtnText");
    f.Drag({{4, 14}});
    QTest::keyClicks(&f.Window(), "ab");
    const QImage typed = f.Work();
    f.Key(Qt::Key_Delete);
    f.Key(Qt::Key_Tab);
    EXPECT_EQ(f.Window().Animation().FrameCount(), 4);
    EXPECT_EQ(f.Window().FrameEditor().TypedText(), "ab");
    EXPECT_TRUE(f.Window().FrameEditor().TextMode());
    EXPECT_EQ(f.Work(), typed);

    // With neither, Del deletes the frame as before, also after Escape ends the typing.
    f.Key(Qt::Key_Escape);
    EXPECT_FALSE(f.Window().FrameEditor().TextMode());
    f.Key(Qt::Key_Delete);
    EXPECT_EQ(Markers(f.Window().Animation()), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(f.Prompts().messages.empty());
}

TEST(FrameCommands, DeletingOrCuttingARangeEndsItAndKeepsTheCurrentFrameInBounds) {
    struct Case {
        int first, last, current;
        const char* item;
        std::vector<int> markers;
        int newCurrent;
    };
    for (const Case& c : {
             // Index 4 stays current and now names the former index 8.
             Case{1, 4, 4, "DeleteFrame1", {0, 5, 6, 7, 8, 9}, 4},
             Case{6, 9, 9, "DeleteFrame1", {0, 1, 2, 3, 4, 5}, 5},
             Case{6, 9, 6, "CutFrame1", {0, 1, 2, 3, 4, 5}, 5},
             Case{0, 9, 9, "DeleteFrame1", {}, -1},
         }) {
        Commands f({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
        f.SelectRange(c.first, c.last, c.current);
        f.Run(c.item);
        const TAnimation& animation = f.Window().Animation();
        const std::string what =
            std::string(c.item) + " of " + std::to_string(c.first) + ".." + std::to_string(c.last);
        EXPECT_EQ(Markers(animation), c.markers) << what;
        EXPECT_EQ(f.Window().CurFrame(), c.newCurrent) << what;
        EXPECT_FALSE(f.Window().MultipleSel()) << what;
        EXPECT_TRUE(f.Marks().empty()) << what;
        EXPECT_TRUE(f.Window().Modified()) << what;
        // The time panel shows the new current frame, not the old range.
        if (c.newCurrent >= 0) {
            const TFrame& current = animation.Frame(c.newCurrent);
            const int rate = f.Window().TickRate();
            EXPECT_EQ(f.TimePanel(), FormatTime(current.StartTime(), rate) + " to " +
                                         FormatTime(current.EndTime(), rate))
                << what;
        } else {
            EXPECT_EQ(f.TimePanel(), "0:00:00.00 to 0:00:00.00") << what;
        }
    }
}

TEST(FrameCommands, CutFramesComeBackWithPasteBeforeTheCurrentFrame) {
    Commands f({1, 2, 3, 4, 5});
    f.SelectRange(1, 2, 2);
    f.Run("CutFrame1");
    EXPECT_EQ(Markers(f.Window().Animation()), (std::vector<int>{0, 3, 4}));
    f.Window().SetCurFrame(2);
    f.Run("PasteFrame1");
    const TAnimation& animation = f.Window().Animation();
    EXPECT_EQ(Markers(animation), (std::vector<int>{0, 3, 1, 2, 4}));
    EXPECT_EQ(Durations(animation), (std::vector<int>{1, 4, 2, 3, 5}));
    // The first pasted frame is current and shown.
    EXPECT_EQ(f.Window().CurFrame(), 2);
    EXPECT_EQ(f.Window().Editor().WorkBitmap.pixel(1, 0), qRgb(0, 0, 0));
}

// A paste happens whole or not at all: refused, it leaves the document, its
// Modified mark and the editor's undo steps as they were.
TEST(FrameCommands, ARefusedPasteFramesChangesNothingAndSaysWhy) {
    // One frame entry is a duration byte and the frame's 1,536 dots.
    const QByteArray entry(1 + FramePixelCount, '\x01');
    struct Case {
        const char* what;
        QByteArray block; // as the clipboard holds it
        int frames;
        QString message;
    };
    const QString invalid = QStringLiteral("Invalid data in Clipboard!");
    const Case cases[] = {
        {"an entry cut short", EncodeClipboardBlock(entry + entry.left(100)), 4, invalid},
        {"a length beyond the block", EncodeClipboardBlock(entry).left(200), 4, invalid},
        {"no room for the length", QByteArray("\x05\x00", 2), 4, invalid},
        {"more frames than fit", EncodeClipboardBlock(entry.repeated(5)), 320,
         QStringLiteral("Unable to insert all frames (maximum = 324).")},
    };
    for (const Case& c : cases) {
        Commands f;
        f.GrowTo(c.frames);
        f.Window().SetCurFrame(2);
        const QImage beforeStroke = f.Work();
        f.Tool("spdbtnPen");
        f.Drag({{20, 20}, {22, 20}});
        // As a save leaves it.
        f.Window().StoreCurrentFrame();
        f.Window().SetModified(false);
        const std::vector<int> markers = Markers(f.Window().Animation());
        const std::vector<int> durations = Durations(f.Window().Animation());
        const QImage shown = f.Work();
        auto* data = new QMimeData;
        data->setData(FrameClipboardFormat, c.block);
        QGuiApplication::clipboard()->setMimeData(data);
        f.Prompts().ExpectError(c.message);
        f.Run("PasteFrame1");
        EXPECT_EQ(f.Prompts().MessageTexts(), QStringList{c.message}) << c.what;
        EXPECT_EQ(Markers(f.Window().Animation()), markers) << c.what;
        EXPECT_EQ(Durations(f.Window().Animation()), durations) << c.what;
        EXPECT_TRUE(Lit(f.Window().Animation().Frame(2), {21, 20})) << c.what;
        EXPECT_EQ(f.Window().CurFrame(), 2) << c.what;
        EXPECT_EQ(f.Work(), shown) << c.what;
        EXPECT_FALSE(f.Window().Modified()) << c.what;
        EXPECT_FALSE(f.Action("Save1")->isEnabled()) << c.what;
        // The stroke can still be taken back.
        f.Window().Undo1Click();
        EXPECT_EQ(f.Work(), beforeStroke) << c.what;
    }
}

TEST(FrameCommands, CopyTakesTheEditorsPictureAndChangesNothingElse) {
    Commands f({1, 2});
    f.DrawDot({30, 5});
    f.Window().Document().MarkClean(); // as a save leaves it
    f.Run("CopyFrame1");
    EXPECT_FALSE(f.Window().Modified());
    EXPECT_EQ(f.Window().Animation().FrameCount(), 2);
    f.Window().SetCurFrame(1);
    f.Run("PasteFrame1");
    EXPECT_TRUE(Lit(f.Window().Animation().Frame(1), {30, 5}));
    EXPECT_EQ(Durations(f.Window().Animation()), (std::vector<int>{1, 1, 2}));
}

// Paste offers itself for frames of our format only, whoever put them there:
// text another program copied over them takes them away.
TEST(FrameCommands, PasteFramesFollowsWhatTheClipboardHolds) {
    Commands f({1, 2});
    QGuiApplication::clipboard()->clear();
    f.Window().Animation1Click();
    EXPECT_FALSE(f.Action("PasteFrame1")->isEnabled());
    f.Run("CopyFrame1");
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->formats(), QStringList{QLatin1String(FrameClipboardFormat)});
    EXPECT_EQ(data->data(FrameClipboardFormat),
              EncodeClipboardBlock(f.Window().Animation().FramePayload(0)));
    f.Window().Animation1Click();
    EXPECT_TRUE(f.Action("PasteFrame1")->isEnabled());
    QGuiApplication::clipboard()->setText(QStringLiteral("plain text"));
    f.Window().Animation1Click();
    EXPECT_FALSE(f.Action("PasteFrame1")->isEnabled());
    f.Action("PasteFrame1")->trigger();
    EXPECT_EQ(f.Window().Animation().FrameCount(), 2);
}

TEST(FrameCommands, DeletingWhileScrolledShowsTheFramesThatAreLeft) {
    Commands f({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    f.Window().SetCurFrame(11);
    f.Window().FrameStrip().SetPosition(7);
    f.SelectRange(4, 11, 11);
    f.Key(Qt::Key_Delete);
    EXPECT_EQ(f.Window().FrameStrip().Position(), 0);
    EXPECT_EQ(f.Window().CurFrame(), 3);
    for (int slot = 0; slot < TFrameStrip::SlotCount; ++slot)
        EXPECT_EQ(f.SlotShown(slot), slot < 4) << slot;
    EXPECT_EQ(f.SlotNumber(3), "004/004");
}

TEST(FrameCommands, InsertsEndTheRangeSoALaterDeleteRemovesOnlyTheCurrentFrame) {
    const std::pair<const char*, std::function<void(Commands&)>> inserts[] = {
        {"Shift+Ins", [](Commands& f) { f.Key(Qt::Key_Insert, Qt::ShiftModifier); }},
        {"Ins", [](Commands& f) { f.Key(Qt::Key_Insert); }},
        {"Paste",
         [](Commands& f) {
             Commands::PutFramesOnClipboard(1);
             f.Run("PasteFrame1");
         }},
        {"Insert Animation Before",
         [](Commands& f) {
             f.Prompts().fileAnswers.push_back(f.LcdFile("one.lcd", {1}));
             f.Run("BeforeCurrent2");
         }},
    };
    for (const auto& [what, insert] : inserts) {
        Commands f({1, 1, 1, 1, 1, 1, 1, 1});
        f.SelectRange(3, 5, 5);
        insert(f);
        EXPECT_FALSE(f.Window().MultipleSel()) << what;
        EXPECT_TRUE(f.Marks().empty()) << what;
        const std::vector<int> before = Markers(f.Window().Animation());
        const int current = f.Window().CurFrame();
        f.Key(Qt::Key_Delete);
        std::vector<int> expected = before;
        expected.erase(expected.begin() + current);
        EXPECT_EQ(Markers(f.Window().Animation()), expected) << what;
    }
}

TEST(FrameCommands, EveryFrameCommandStopsThePlayerBeforeTheFramesChange) {
    TempFolder files;
    const QString clip = files.Write("clip.lcd", LCDBytes({1, 1, 1, 1, 1, 1}, 255));
    WindowFixture f({"/P", clip});
    f.Prompts().fileAnswers.push_back(f.LcdFile("two.lcd", {1, 1}));
    TfrmMain& window = f.Window();
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"Ins", [&] { QTest::keyClick(&window, Qt::Key_Insert); }},
        {"Shift+Ins", [&] { QTest::keyClick(&window, Qt::Key_Insert, Qt::ShiftModifier); }},
        {"Delete", [&] { f.Action("DeleteFrame1")->trigger(); }},
        {"Cut", [&] { f.Action("CutFrame1")->trigger(); }},
        {"Paste", [&] { f.Action("PasteFrame1")->trigger(); }},
        {"Insert Animation", [&] { f.Action("AfterCurrent2")->trigger(); }},
        {"Speed", [&] { f.Action("mnuitmRate50")->trigger(); }},
        {"Duplicate", [&] { f.Action("DuplicateFrames1")->trigger(); }},
    };
    for (const auto& [what, command] : commands) {
        window.SetCurFrame(window.Animation().FrameCount() - 1);
        window.PlayerPage().tlbtnPlayClick();
        TPlayerThread* player = window.PlayerPage().PlayerThread();
        ASSERT_NE(player, nullptr) << what;
        // The command comes in the middle of the run, once the worker has drawn.
        const auto drawn = std::make_shared<bool>(false);
        QObject::connect(player, &TPlayerThread::Drawn, [drawn] { *drawn = true; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return *drawn; }, 10000)) << what;
        window.Animation1Click(); // the menu opens
        command();
        EXPECT_EQ(window.PlayerPage().PlayerThread(), nullptr) << what;
        EXPECT_TRUE(window.findChild<QWidget*>("tlbtnPlay")->isEnabled()) << what;
    }
    // 6 frames, +1 +1 -1 -1, the cut frame pasted, two from the file, one copy.
    EXPECT_EQ(window.Animation().FrameCount(), 10);
    EXPECT_EQ(Durations(window.Animation()), std::vector<int>(10, 2));
    EXPECT_TRUE(f.Prompts().messages.empty());
}

TEST(FrameCommands, AnEmptyDocumentGetsACurrentFrameOnlyWhenFramesArrive) {
    Commands f({2});
    const QString empty = f.LcdFile("empty.lcd", {});
    f.Run("CutFrame1");
    ASSERT_EQ(f.Window().CurFrame(), -1);

    f.Prompts().fileAnswers.push_back(empty);
    f.Run("BeforeCurrent2");
    EXPECT_EQ(f.Window().CurFrame(), -1);
    EXPECT_TRUE(f.Window().findChild<QWidget*>("pnlEditor")->isHidden());

    // Pasting the cut frame makes it current.
    f.Run("PasteFrame1");
    EXPECT_EQ(f.Window().Animation().FrameCount(), 1);
    EXPECT_EQ(f.Window().CurFrame(), 0);
    EXPECT_FALSE(f.Window().findChild<QWidget*>("pnlEditor")->isHidden());

    // Insert Animation After into an empty document makes its last frame current.
    f.Key(Qt::Key_Delete);
    f.Prompts().fileAnswers.push_back(f.LcdFile("three.lcd", {1, 1, 1}));
    f.Run("AfterCurrent2");
    EXPECT_EQ(f.Window().CurFrame(), 2);
    EXPECT_TRUE(f.Prompts().messages.empty());

    // Opening a file without frames at start-up leaves no current frame either.
    WindowFixture started({empty});
    EXPECT_EQ(started.Window().Animation().FrameCount(), 0);
    EXPECT_EQ(started.Window().CurFrame(), -1);
    EXPECT_TRUE(started.Window().findChild<QWidget*>("pnlEditor")->isHidden());
}

TEST(FrameCommands, InsertAnimationNamesAFileItCannotReadAndChangesNothing) {
    Commands f;
    f.Prompts().fileAnswers.push_back(f.Folder().Write("broken.lcd", "LCDi"));
    f.Prompts().ExpectError("Unable to open broken.lcd");
    f.Run("AfterCurrent2");
    EXPECT_EQ(f.Prompts().MessageTexts(), QStringList{"Unable to open broken.lcd"});
    EXPECT_EQ(f.Window().Animation().FrameCount(), 4);
    EXPECT_FALSE(f.Window().Modified());
    // A cancelled dialog does nothing at all.
    f.Prompts().fileAnswers.push_back(QString());
    f.Run("BeforeCurrent2");
    EXPECT_FALSE(f.Window().Modified());
}

TEST(FrameCommands, InsertAnimationPutsTheFileBeforeOrAfterTheCurrentFrame) {
    struct Case {
        const char* item;
        int current;
        std::vector<int> markers; // the inserted frames show markers 0 and 1 again
        int newCurrent;
    };
    for (const Case& c : {
             Case{"BeforeCurrent2", 1, {0, 0, 1, 1, 2}, 1},
             Case{"AfterCurrent2", 1, {0, 1, 0, 1, 2}, 1},
             Case{"AfterCurrent2", 2, {0, 1, 2, 0, 1}, 4},
         }) {
        Commands f({1, 1, 1});
        f.Window().SetCurFrame(c.current);
        f.Prompts().fileAnswers.push_back(f.LcdFile("two.lcd", {7, 8}));
        f.Run(c.item);
        EXPECT_EQ(Markers(f.Window().Animation()), c.markers) << c.item << c.current;
        EXPECT_EQ(f.Window().CurFrame(), c.newCurrent) << c.item << c.current;
        EXPECT_TRUE(f.Window().Modified());
    }
}

TEST(FrameCommands, DeletingALayerFrameClearsItsLayerPicture) {
    Commands f({1, 1, 1});
    TAnimation& animation = f.Window().Animation();
    f.Window().PopupFrameMenu(1, QPoint());
    f.Window().findChild<QAction*>("RedLayer1")->setChecked(true);
    f.Window().RedLayer1Click();
    f.Window().findChild<QMenu*>("mnuFrame")->hide();
    ASSERT_TRUE(animation.Frame(1).RedLayer());
    const QImage& layer = f.Window().Editor().RedLayerBitmap;
    ASSERT_EQ(layer.pixel(1, 0), qRgb(255, 0, 0));
    f.Window().SetCurFrame(1);
    f.Key(Qt::Key_Delete);
    EXPECT_EQ(layer.pixel(1, 0), qRgb(0, 0, 0));
}

// The Import page's Insert: After Current, then the imported picture replaces
// the new blank frame as an editor step.
TEST(FrameCommands, TheImportPagesInsertPutsThePictureAfterTheCurrentFrame) {
    Commands f({1, 1, 1});
    f.SelectRange(0, 1, 1);
    QImage picture = Filled(FrameWidth, FrameHeight, qRgb(255, 255, 255));
    picture.setPixel(40, 30, qRgb(0, 0, 0));
    const QString file = f.Folder().Write("dot.png", PictureBytes(picture, "png"));
    f.Prompts().fileAnswers.push_back(file);
    f.Action("Import1")->trigger();
    ASSERT_EQ(f.Page()->objectName(), "tbshtImport");
    f.Window().findChild<QPushButton*>("btnImportInsert")->click();
    const TAnimation& animation = f.Window().Animation();
    EXPECT_EQ(Markers(animation), (std::vector<int>{0, 1, PixelIndex(40, 30), 2}));
    EXPECT_EQ(f.Window().CurFrame(), 2);
    EXPECT_EQ(f.Work(), picture);
    EXPECT_TRUE(f.Window().Modified());
    EXPECT_FALSE(f.Window().MultipleSel());
    EXPECT_TRUE(f.Marks().empty());
    EXPECT_EQ(f.SlotNumber(2), "003/004");
    // Back on the Frame page, Undo leaves the inserted frame blank.
    f.Window().findChild<QPushButton*>("btnImportDone")->click();
    f.Window().Undo1Click();
    EXPECT_EQ(f.Work(), NewFrameBitmap(Qt::white));

    // A full animation takes nothing and says why.
    f.GrowTo(MaxDocumentFrames);
    f.Prompts().fileAnswers.push_back(file);
    f.Action("Import1")->trigger();
    f.Prompts().ExpectError("Unable to insert new frame (maximum = 324).");
    f.Window().findChild<QPushButton*>("btnImportInsert")->click();
    EXPECT_EQ(f.Window().CurFrame(), 2);
    EXPECT_EQ(animation.FrameCount(), MaxDocumentFrames);
    EXPECT_EQ(f.Prompts().MessageTexts(),
              QStringList{"Unable to insert new frame (maximum = 324)."});
}

// Typing or a floating selection over the frame that a command removes or moves
// must not come down on the frame that takes its place: editing ends before the
// frames change. Cut shows that moment: it hands the frames to the clipboard
// after ending editing and before removing them.
TEST(FrameCommands, FrameCommandsEndEditingBeforeTheFramesChange) {
    const std::pair<const char*, std::function<void(Commands&)>> edits[] = {
        {"a moved selection",
         [](Commands& f) {
             f.Tool("spdbtnSelect");
             f.Drag({{0, 0}, {3, 3}});
             f.Drag({{1, 1}, {9, 9}});
         }},
        {"typing",
         [](Commands& f) {
             f.Prompts().fontAnswers.push_back(std::nullopt);
             f.Tool("spdbtnText");
             f.Drag({{4, 14}});
             QTest::keyClicks(&f.Window(), "ab");
         }},
    };
    for (const auto& [what, edit] : edits) {
        Commands cut({1, 2, 3});
        edit(cut);
        const QImage edited = cut.Work();
        TFrameEditor& editor = cut.Window().FrameEditor();
        std::optional<bool> editingWhenCut;
        const auto watch =
            QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, [&] {
                editingWhenCut = editor.Selection().Active() || editor.TextMode();
            });
        cut.Run("CutFrame1");
        QObject::disconnect(watch);
        EXPECT_EQ(editingWhenCut, std::optional<bool>(false)) << what;
        // The frame went with its edit.
        cut.Window().SetCurFrame(0);
        cut.Run("PasteFrame1");
        EXPECT_EQ(cut.Work(), edited) << what;

        // The copy and its original both hold the edit as it was shown.
        Commands duplicate({1, 2, 3});
        edit(duplicate);
        const QImage shown = duplicate.Work();
        duplicate.Key(Qt::Key_D, Qt::ControlModifier);
        ASSERT_EQ(duplicate.Window().CurFrame(), 1) << what;
        EXPECT_EQ(duplicate.Work(), shown) << what;
        QImage original(FrameWidth, FrameHeight, QImage::Format_RGB32);
        duplicate.Window().Animation().DrawFrame(0, original);
        EXPECT_EQ(original, shown) << what;

        for (const char* item : {"DeleteFrame1", "CutFrame1", "PasteFrame1", "BeforeCurrent1"}) {
            Commands f({1, 2, 3});
            f.Run("CopyFrame1");
            edit(f);
            f.Run(item);
            EXPECT_FALSE(f.Window().FrameEditor().Selection().Active()) << what << item;
            EXPECT_FALSE(f.Window().FrameEditor().TextMode()) << what << item;
            // Keys typed afterwards draw nothing over the frame now current.
            QTest::keyClicks(&f.Window(), "xy");
            QImage stored(FrameWidth, FrameHeight, QImage::Format_RGB32);
            f.Window().Animation().DrawFrame(f.Window().CurFrame(), stored);
            EXPECT_EQ(f.Work(), stored) << what << item;
        }
    }
}
