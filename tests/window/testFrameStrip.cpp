#include "fakeStripHost.h"
#include "frameStrip.h"
#include "modelFixtures.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace vistrel::testing {
namespace {

const QColor Navy(0, 0, 128);
const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);
const QColor Silver(192, 192, 192);
const QColor White(255, 255, 255);
const QColor Black(0, 0, 0);

// A strip over a fake window, shown on the offscreen screen.
struct Strip {
    FakeStripHost host;
    TFrameStrip strip{host};

    Strip() { strip.show(); }

    // Frames of duration 1 (frame i with its i-th pixel lit), the current frame
    // and the scroll position, refreshed as the window does after loading.
    Strip(int frameCount, int current, int position) : Strip() {
        FillAnimation(host.animation, frameCount);
        Start(current, position);
    }

    void Start(int current, int position) {
        host.document.SetCurFrame(current);
        strip.UpdateStripScrollBar();
        strip.SetPosition(position);
        strip.RefreshFrameStrip();
        host.ForgetCalls();
        host.document.SetModified(false);
    }

    // Marks frames first..last as a Shift+click would have.
    void SelectRange(int first, int last) {
        host.document.SetMultipleSel(true);
        host.document.SetSelRange(first, last);
        for (int i = first; i <= last; ++i)
            host.animation.Frame(i).SetSelected(true);
        strip.RefreshFrameStrip();
    }

    template <typename T = QWidget> T* Child(const QString& name) const {
        T* child = strip.findChild<T*>(name);
        if (!child)
            ADD_FAILURE() << "no widget " << name.toStdString();
        return child;
    }
    template <typename T = QWidget> T* Slot(const char* pattern, int slot) const {
        return Child<T>(QString::fromLatin1(pattern).arg(slot));
    }
    QFrame* Panel(int slot) const { return Slot<QFrame>("pnlFrame%1", slot); }
    TDurationEdit* Edit(int slot) const { return Slot<TDurationEdit>("edtFrame%1", slot); }
    TUpDown* UpDown(int slot) const { return Slot<TUpDown>("updnFrame%1", slot); }
    QLabel* Number(int slot) const { return Slot<QLabel>("lblFrame%1Num", slot); }
    QScrollBar* ScrollBar() const { return Child<QScrollBar>(QStringLiteral("scrlbrFrames")); }

    int VisibleSlots() const {
        int visible = 0;
        for (int slot = 0; slot < TFrameStrip::SlotCount; ++slot)
            visible += Panel(slot)->isHidden() ? 0 : 1;
        return visible;
    }

    std::set<int> Marked() const {
        std::set<int> marked;
        for (int i = 0; i < host.animation.FrameCount(); ++i)
            if (host.animation.Frame(i).Selected())
                marked.insert(i);
        return marked;
    }

    void Type(int slot, const std::string& keys) {
        for (const char key : keys) {
            if (key == '\b')
                QTest::keyClick(Edit(slot), Qt::Key_Backspace);
            else
                QTest::keyClick(Edit(slot), key);
        }
    }
};

QImage Rgb32(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage Grab(QWidget* widget) {
    return Rgb32(widget->grab().toImage());
}

// Before the window's first frame arrives (while start-up asks about recovery,
// say) the strip shows no slot, rather than empty ones numbered 000/000.
TEST(FrameStripSlots, ANewStripShowsNoSlotBeforeItsFirstRefresh) {
    Strip s;
    EXPECT_EQ(s.VisibleSlots(), 0);
    FillAnimation(s.host.animation, 2);
    s.Start(0, 0);
    EXPECT_EQ(s.VisibleSlots(), 2);
}

TEST(FrameStripSlots, ShowTheFramesFromTheScrollPosition) {
    const struct {
        int frames, position;
        int visibleSlots;
        bool scrollBarEnabled;
        int scrollMaximum;
        const char* firstLabel;
        const char* lastLabel;
    } cases[] = {
        {0, 0, 0, false, 0, nullptr, nullptr},         {3, 0, 3, false, 0, "001/003", "003/003"},
        {6, 0, 5, true, 1, "001/006", "005/006"},      {6, 1, 5, true, 1, "002/006", "006/006"},
        {200, 11, 5, true, 195, "012/200", "016/200"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.frames << " frames at position " << c.position);
        Strip s(c.frames, c.frames > 0 ? 0 : -1, c.position);
        EXPECT_EQ(s.VisibleSlots(), c.visibleSlots);
        for (int slot = 0; slot < c.visibleSlots; ++slot)
            EXPECT_FALSE(s.Panel(slot)->isHidden()) << "slot " << slot;
        EXPECT_EQ(s.ScrollBar()->isEnabled(), c.scrollBarEnabled);
        EXPECT_EQ(s.ScrollBar()->maximum(), c.scrollMaximum);
        EXPECT_EQ(s.strip.Position(), c.position);
        EXPECT_EQ(s.strip.SlotIndex(2), c.position + 2);
        if (c.firstLabel) {
            EXPECT_EQ(s.Number(0)->text(), QLatin1String(c.firstLabel));
            EXPECT_EQ(s.Number(c.visibleSlots - 1)->text(), QLatin1String(c.lastLabel));
        }
    }
}

TEST(FrameStripSlots, ShrinkingAnimationBringsThePositionBackIntoRange) {
    // At five frames or fewer the strip returns to the first frame rather than
    // keeping the first frames out of view behind a disabled scroll bar.
    const struct {
        int frames, position, remaining;
        int newPosition, visibleSlots;
        const char* firstLabel;
    } cases[] = {
        {8, 3, 4, 0, 4, "001/004"},
        {8, 3, 5, 0, 5, "001/005"},
        {12, 7, 9, 4, 5, "005/009"},
        {12, 2, 9, 2, 5, nullptr}, // still in range: the caller refreshes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.frames << " -> " << c.remaining << " frames");
        Strip s(c.frames, 0, c.position);
        while (s.host.animation.FrameCount() > c.remaining)
            s.host.animation.DeleteFrame(s.host.animation.FrameCount() - 1);
        s.strip.UpdateStripScrollBar();
        EXPECT_EQ(s.strip.Position(), c.newPosition);
        EXPECT_EQ(s.VisibleSlots(), c.visibleSlots);
        // A position that drops refreshes the strip by itself.
        if (c.firstLabel) {
            EXPECT_EQ(s.Number(0)->text(), QLatin1String(c.firstLabel));
        }
        EXPECT_EQ(s.ScrollBar()->isEnabled(), c.remaining > 5);
        EXPECT_GE(s.host.timePanelRefreshes, 1);
    }
}

TEST(FrameStripSlots, ColourShowsCurrentSelectedAndLayerFrames) {
    struct Expected {
        QColor panel, caption;
    };
    const struct {
        const char* name;
        int current;
        int selectedFirst, selectedLast; // -1: no range
        int redFrame, blueFrame;
        Expected slotColours[5];
    } cases[] = {
        {"one of each",
         0,
         1,
         1,
         2,
         3,
         {{Navy, White}, {Navy, White}, {Red, White}, {Blue, White}, {Silver, Black}}},
        {"current and selected win over the layers",
         4,
         1,
         2,
         4,
         1,
         {{Silver, Black}, {Navy, White}, {Navy, White}, {Silver, Black}, {Navy, White}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Strip s(5, c.current, 0);
        s.host.animation.Frame(c.redFrame).SetRedLayer(true);
        s.host.animation.Frame(c.blueFrame).SetBlueLayer(true);
        s.SelectRange(c.selectedFirst, c.selectedLast);
        for (int slot = 0; slot < 5; ++slot) {
            SCOPED_TRACE(::testing::Message() << "slot " << slot);
            EXPECT_EQ(s.Panel(slot)->palette().color(QPalette::Window), c.slotColours[slot].panel);
            EXPECT_EQ(s.Number(slot)->palette().color(QPalette::WindowText),
                      c.slotColours[slot].caption);
            // What the user sees: a bare spot of the slot between its controls.
            EXPECT_EQ(Grab(s.Panel(slot)).pixelColor(70, 35), c.slotColours[slot].panel);
        }
    }
}

TEST(FrameStripDurations, TypingStoresOnlyDurationsFrom1To255) {
    const struct {
        const char* name;
        int duration;
        std::string keys; // typed at the end of the edit's text
        int newDuration;
        const char* text;
        bool modified;
    } cases[] = {
        {"a third digit", 25, "0", 250, "250", true},
        {"the largest duration", 25, "5", 255, "255", true},
        // Text that leaves the duration as it was is no edit of the document.
        {"above 255 keeps the last good value", 25, "6", 25, "256", false},
        {"300 typed digit by digit keeps 30", 1, "\b300", 30, "300", true},
        {"an empty edit keeps the duration", 1, "\b", 1, "", false},
        {"0 keeps the duration", 1, "\b0", 1, "0", false},
        {"letters cannot be typed", 12, "a", 12, "12", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Strip s;
        FillAnimation(s.host.animation, {c.duration, 3});
        s.Start(0, 0);
        s.Type(0, c.keys);
        EXPECT_EQ(s.Edit(0)->text(), QLatin1String(c.text));
        EXPECT_EQ(s.host.animation.Frame(0).Duration(), c.newDuration);
        // The next frame starts where the edited one now ends.
        EXPECT_EQ(s.host.animation.Frame(1).StartTime(), c.newDuration);
        EXPECT_EQ(s.host.document.Modified(), c.modified);
        if (QLatin1String(c.text) != QString::number(c.duration)) {
            EXPECT_GE(s.host.timePanelRefreshes, 1);
        }
    }
}

TEST(FrameStripDurations, ShowingALoadedZeroKeepsItUntilTheUserEdits) {
    Strip s;
    FillAnimation(s.host.animation, {0, 4, 0, 1, 1, 1, 0});
    s.Start(0, 0);
    // Scrolling writes other frames' numbers into the same edits.
    s.strip.SetPosition(2);
    s.strip.SetPosition(0);
    EXPECT_EQ(Durations(s.host.animation), (std::vector<int>{0, 4, 0, 1, 1, 1, 0}));
    EXPECT_EQ(s.Edit(0)->text(), "0");
    EXPECT_EQ(s.Edit(2)->text(), "0");
    EXPECT_FALSE(s.host.document.Modified());
    // The user's arrow is an edit: 0 steps up to the smallest real duration and on.
    QTest::mouseClick(s.UpDown(2)->UpButton(), Qt::LeftButton);
    EXPECT_EQ(s.host.animation.Frame(2).Duration(), 2);
    EXPECT_EQ(s.host.animation.Frame(0).Duration(), 0);
}

TEST(FrameStripDurations, EnterGivesTheKeyboardBackToTheWindow) {
    Strip s(3, 0, 0);
    s.strip.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&s.strip));
    TDurationEdit* edit = s.Edit(1);
    EXPECT_FALSE(edit->focusPolicy() & Qt::TabFocus);

    QTest::mouseClick(edit, Qt::LeftButton);
    ASSERT_TRUE(edit->hasFocus());
    QTest::keyClicks(edit, "4");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(edit->hasFocus());
    EXPECT_EQ(s.host.focusReleases, 1);
    EXPECT_EQ(edit->text(), QStringLiteral("14"));
    EXPECT_EQ(s.host.animation.Frame(1).Duration(), 14);
}

TEST(FrameStripDurations, ArrowsWrapAndMakeTheirFrameCurrent) {
    // Six frames scrolled by one, frame 1 current in slot 0.
    const struct {
        const char* name;
        int slot;
        int duration;
        bool up;
        int newDuration;
    } cases[] = {
        {"up from 255 wraps to 1", 3, 255, true, 1},
        {"down from 1 wraps to 255", 3, 1, false, 255},
        {"up", 4, 7, true, 8},
        {"down", 2, 7, false, 6},
        {"on the current frame", 0, 7, true, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Strip s(6, 1, 1);
        const int frame = c.slot + 1;
        s.host.animation.Frame(frame).SetDuration(static_cast<std::uint8_t>(c.duration));
        s.strip.RefreshFrameStrip();
        s.host.ForgetCalls();
        s.host.document.SetModified(false);

        TUpDown* upDown = s.UpDown(c.slot);
        QTest::mouseClick(c.up ? upDown->UpButton() : upDown->DownButton(), Qt::LeftButton);

        EXPECT_EQ(s.host.animation.Frame(frame).Duration(), c.newDuration);
        EXPECT_EQ(s.Edit(c.slot)->text(), QString::number(c.newDuration));
        EXPECT_EQ(s.host.document.CurFrame(), frame);
        EXPECT_EQ(s.host.curFrameCalls.size(), frame == 1 ? 0u : 1u);
        EXPECT_TRUE(s.host.document.Modified());
        EXPECT_GE(s.host.focusReleases, 1);
        // The strip was refreshed for the new current frame.
        EXPECT_EQ(s.Panel(c.slot)->palette().color(QPalette::Window), Navy);
        if (c.slot != 0) {
            EXPECT_EQ(s.Panel(0)->palette().color(QPalette::Window), Silver);
        }
    }
}

TEST(FrameStripClicks, ShiftClickMarksTheRangeFromTheCurrentFrame) {
    Strip s(6, 1, 0);
    QTest::mouseClick(s.Slot("pntbxFrame%1", 4), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(s.Marked(), (std::set<int>{1, 2, 3, 4}));
    EXPECT_EQ(s.host.document.SelFirst(), 1);
    EXPECT_EQ(s.host.document.SelLast(), 4);
    EXPECT_EQ(s.host.document.CurFrame(), 4);
    EXPECT_TRUE(s.host.document.MultipleSel());
    for (int slot = 1; slot <= 4; ++slot)
        EXPECT_EQ(s.Panel(slot)->palette().color(QPalette::Window), Navy) << slot;
    EXPECT_EQ(s.Panel(0)->palette().color(QPalette::Window), Silver);

    // The second range runs from the frame clicked before, not the first anchor.
    QTest::mouseClick(s.Slot("pntbxFrame%1", 2), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(s.Marked(), (std::set<int>{2, 3, 4}));
    EXPECT_EQ(s.host.document.SelFirst(), 2);
    EXPECT_EQ(s.host.document.SelLast(), 4);
    EXPECT_EQ(s.host.document.CurFrame(), 2);
    EXPECT_EQ(s.Panel(1)->palette().color(QPalette::Window), Silver);

    // A plain click ends the range and picks the frame.
    QTest::mouseClick(s.Slot("lblFrame%1Num", 0), Qt::LeftButton);
    EXPECT_TRUE(s.Marked().empty());
    EXPECT_FALSE(s.host.document.MultipleSel());
    EXPECT_EQ(s.host.document.CurFrame(), 0);
    EXPECT_EQ(s.host.caretEnds, 1);
}

TEST(FrameStripClicks, ShiftClickWithoutCurrentFrameOnlyRefreshes) {
    Strip s(3, -1, 0);
    // A change the strip does not show yet.
    s.host.animation.Frame(2).SetDuration(9);
    QTest::mouseClick(s.Slot("pntbxFrame%1", 1), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_TRUE(s.host.curFrameCalls.empty());
    EXPECT_FALSE(s.host.document.MultipleSel());
    EXPECT_TRUE(s.Marked().empty());
    EXPECT_EQ(s.Edit(2)->text(), QStringLiteral("9"));
}

TEST(FrameStripClicks, EveryPartOfASlotPicksItsFrame) {
    const struct {
        const char* widget;
        QPoint at; // null: the widget's centre
    } parts[] = {
        {"pnlFrame%1", QPoint(70, 35)},
        {"pnlFrame%1View", QPoint()},
        {"pntbxFrame%1", QPoint()},
        {"lblFrame%1Num", QPoint()},
    };
    for (const auto& part : parts) {
        SCOPED_TRACE(part.widget);
        Strip s(8, 0, 1);
        s.SelectRange(0, 1);
        QTest::mouseClick(s.Slot(part.widget, 2), Qt::LeftButton, {}, part.at);
        EXPECT_EQ(s.host.curFrameCalls, std::vector<int>{3});
        EXPECT_FALSE(s.host.document.MultipleSel());
        EXPECT_TRUE(s.Marked().empty());
    }
}

// A drag from any part of a slot moves its frame; the window is asked to end
// its work on the frames and store the editor's picture of the current frame
// while that frame still stands where the editor took it from. A drop beside
// the frame asks nothing.
TEST(FrameStripDrag, EveryPartOfASlotDragsAndTheWindowStoresBeforeTheMove) {
    const struct {
        const char* widget;
        int dropX;
        std::vector<int> order;
    } parts[] = {
        {"pnlFrame%1", 470, {0, 2, 3, 1, 4, 5, 6, 7}},
        {"pnlFrame%1View", 3, {1, 0, 2, 3, 4, 5, 6, 7}},
        {"pntbxFrame%1", 600, {0, 2, 3, 4, 1, 5, 6, 7}},
        {"lblFrame%1Num", 300, {0, 1, 2, 3, 4, 5, 6, 7}},
    };
    for (const auto& part : parts) {
        SCOPED_TRACE(part.widget);
        Strip s(8, 1, 0);
        QWidget* pressed = s.Slot(part.widget, 1);
        const auto at = [&](int x) { return pressed->mapFrom(&s.strip, QPoint(x, 30)); };
        QTest::mousePress(pressed, Qt::LeftButton);
        QTest::mouseMove(pressed, at(250));
        QTest::mouseMove(pressed, at(part.dropX));
        EXPECT_TRUE(s.strip.Dragging());
        QTest::mouseRelease(pressed, Qt::LeftButton, {}, at(part.dropX));

        std::vector<int> order;
        for (int i = 0; i < s.host.animation.FrameCount(); ++i)
            order.push_back(Marker(s.host.animation.Frame(i)));
        EXPECT_EQ(order, part.order);
        const bool moved = part.order[1] != 1;
        EXPECT_EQ(s.host.framesChangesAhead, moved ? 1 : 0);
        EXPECT_EQ(s.host.storedCurrent, moved ? std::vector<int>{1} : std::vector<int>{});
        EXPECT_EQ(s.host.document.Modified(), moved);
        EXPECT_FALSE(s.strip.Dragging());
    }
}

TEST(FrameStripClicks, OtherButtonsAndCtrlLeaveTheCurrentFrame) {
    const struct {
        const char* name;
        Qt::MouseButton button;
        Qt::KeyboardModifiers modifiers;
        bool rangeEnds;
    } cases[] = {
        {"right button", Qt::RightButton, {}, false},
        {"middle button", Qt::MiddleButton, {}, false},
        {"Ctrl+click ends the range", Qt::LeftButton, Qt::ControlModifier, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Strip s(6, 3, 0);
        s.SelectRange(1, 3);
        QTest::mouseClick(s.Slot("pntbxFrame%1", 4), c.button, c.modifiers);
        EXPECT_TRUE(s.host.curFrameCalls.empty());
        EXPECT_EQ(s.host.document.CurFrame(), 3);
        EXPECT_EQ(s.host.document.MultipleSel(), !c.rangeEnds);
        const std::set<int> marked = c.rangeEnds ? std::set<int>() : std::set<int>{1, 2, 3};
        EXPECT_EQ(s.Marked(), marked);
    }
}

TEST(FrameStripClicks, PopupButtonOpensTheFrameMenuAtItsTopRightCorner) {
    Strip s(8, 0, 1);
    QToolButton* button = s.Slot<QToolButton>("spdbtnFrame%1", 2);
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_EQ(s.host.popups.size(), 1u);
    EXPECT_EQ(s.host.popups[0].first, 3);
    EXPECT_EQ(s.host.popups[0].second, button->mapToGlobal(QPoint(button->width(), 0)));

    s.strip.SetPopupButtonsEnabled(false);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(s.host.popups.size(), 1u);
}

TEST(FrameStripKeys, NavigationKeysMoveTheCurrentFrameAndTheStrip) {
    const struct {
        const char* key;
        int code;
        int frames, position, current;
        int newCurrent, newPosition; // newCurrent == current: nothing happens
    } cases[] = {
        {"Left", Qt::Key_Left, 10, 3, 3, 2, 2},
        {"Left", Qt::Key_Left, 10, 0, 3, 2, 0},
        {"Left", Qt::Key_Left, 10, 0, 0, 0, 0},
        {"Right", Qt::Key_Right, 10, 0, 4, 5, 1},
        {"Right", Qt::Key_Right, 10, 0, 2, 3, 0},
        {"Right", Qt::Key_Right, 3, 0, 1, 2, 0},
        {"Right", Qt::Key_Right, 10, 5, 9, 9, 5},
        {"Home", Qt::Key_Home, 10, 5, 7, 0, 0},
        {"Home", Qt::Key_Home, 10, 0, 3, 0, 0},
        {"Home", Qt::Key_Home, 10, 0, 0, 0, 0},
        {"End", Qt::Key_End, 10, 0, 2, 9, 5},
        {"End", Qt::Key_End, 10, 5, 7, 9, 5},
        {"End", Qt::Key_End, 10, 5, 9, 9, 5},
        {"PageUp", Qt::Key_PageUp, 20, 10, 12, 7, 5},
        {"PageUp", Qt::Key_PageUp, 20, 3, 6, 1, 0},
        {"PageUp", Qt::Key_PageUp, 20, 0, 3, 0, 0},
        {"PageUp", Qt::Key_PageUp, 20, 0, 0, 0, 0},
        {"PageDown", Qt::Key_PageDown, 12, 0, 2, 7, 5},
        {"PageDown", Qt::Key_PageDown, 12, 5, 7, 11, 7},
        {"PageDown", Qt::Key_PageDown, 12, 6, 8, 11, 7},
        {"PageDown", Qt::Key_PageDown, 12, 7, 9, 11, 7},
        {"PageDown", Qt::Key_PageDown, 12, 7, 11, 11, 7},
        {"PageDown", Qt::Key_PageDown, 4, 0, 1, 3, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.key << " with " << c.frames << " frames, position "
                                          << c.position << ", current " << c.current);
        Strip s(c.frames, c.current, c.position);
        EXPECT_TRUE(s.strip.HandleNavigationKey(c.code, Qt::NoModifier));
        EXPECT_EQ(s.host.document.CurFrame(), c.newCurrent);
        EXPECT_EQ(s.strip.Position(), c.newPosition);
        if (c.newCurrent == c.current) {
            EXPECT_TRUE(s.host.curFrameCalls.empty());
        } else {
            EXPECT_EQ(s.host.curFrameCalls, std::vector<int>{c.newCurrent});
            // The strip shows the move.
            EXPECT_EQ(s.Panel(c.newCurrent - c.newPosition)->palette().color(QPalette::Window),
                      Navy);
        }
    }
}

TEST(FrameStripKeys, MovingEndsTheRangeSelection) {
    Strip s(6, 3, 0);
    s.SelectRange(1, 3);
    s.strip.HandleNavigationKey(Qt::Key_Right, Qt::NoModifier);
    EXPECT_TRUE(s.Marked().empty());
    EXPECT_FALSE(s.host.document.MultipleSel());
    EXPECT_EQ(s.host.document.CurFrame(), 4);
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_NE(s.Panel(slot)->palette().color(QPalette::Window), Navy) << slot;
}

TEST(FrameStripKeys, KeypadPlusOpensThePopupOfTheCurrentSlot) {
    Strip s(10, 4, 2);
    EXPECT_FALSE(s.strip.HandleNavigationKey(Qt::Key_Plus, Qt::NoModifier));
    EXPECT_TRUE(s.host.popups.empty());

    EXPECT_TRUE(s.strip.HandleNavigationKey(Qt::Key_Plus, Qt::KeypadModifier));
    QToolButton* button = s.Slot<QToolButton>("spdbtnFrame%1", 2);
    ASSERT_EQ(s.host.popups.size(), 1u);
    EXPECT_EQ(s.host.popups[0].first, 4);
    EXPECT_EQ(s.host.popups[0].second, button->mapToGlobal(QPoint(button->width(), 0)));

    // Out of view: nothing opens.
    s.strip.SetPosition(5);
    EXPECT_TRUE(s.strip.HandleNavigationKey(Qt::Key_Plus, Qt::KeypadModifier));
    EXPECT_EQ(s.host.popups.size(), 1u);

    EXPECT_FALSE(s.strip.HandleNavigationKey(Qt::Key_Up, Qt::NoModifier));
    EXPECT_FALSE(s.strip.HandleNavigationKey(Qt::Key_Down, Qt::NoModifier));
}

TEST(FrameStripScrolling, ScrollToCurrentKeepsTheNextFrameInView) {
    const struct {
        int frames, position, current, newPosition;
    } cases[] = {
        {10, 0, 3, 0},                 // fourth slot: no scroll
        {10, 0, 4, 1},                 // last slot: one step, the next frame comes into view
        {10, 0, 7, 4},  {10, 0, 9, 5}, // the last frame stops in the last slot
        {10, 5, 2, 5},                 // left of the slots: no scroll
        {4, 0, 3, 0},                  // nowhere to scroll
        {10, 3, -1, 3},                // no current frame
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.frames << " frames, position " << c.position
                                          << ", current " << c.current);
        Strip s(c.frames, c.current, c.position);
        s.strip.ScrollToCurrent();
        EXPECT_EQ(s.strip.Position(), c.newPosition);
    }
}

TEST(FrameStripScrolling, MovingTheScrollBarRefreshesAndReleasesTheKeyboard) {
    Strip s(9, 0, 0);
    s.ScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(s.strip.Position(), 4);
    EXPECT_EQ(s.Number(0)->text(), QStringLiteral("005/009"));
    EXPECT_EQ(s.host.focusReleases, 1);
}

TEST(FrameStripScrolling, TheWheelOverTheSlotsScrollsAsOverTheScrollBar) {
    const auto wheel = [](QWidget* target) {
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    };
    Strip overBar(20, 0, 0);
    wheel(overBar.ScrollBar());
    const int expected = overBar.strip.Position();
    ASSERT_GT(expected, 0);
    for (const char* part : {"pntbxFrame%1", "pnlFrame%1View", "pnlFrame%1", "lblFrame%1Num"}) {
        Strip s(20, 0, 0);
        wheel(s.Slot(part, 2));
        EXPECT_EQ(s.strip.Position(), expected) << part;
        EXPECT_EQ(s.Number(0)->text(),
                  QStringLiteral("%1/020").arg(expected + 1, 3, 10, QChar('0')))
            << part;
    }
}

// The ink of a duration as its box shows it, against the same text in a box with
// room to spare: a box too narrow scrolls its first digit out of sight.
TEST(FrameStripDurations, EveryDurationShowsWhole) {
    Strip s(1, 0, 0);
    TDurationEdit roomy;
    roomy.setFont(s.Edit(0)->font());
    roomy.resize(200, s.Edit(0)->height());
    roomy.show();
    const auto ink = [](QWidget* box) {
        const QImage image = Grab(box);
        int first = image.width(), last = -1;
        for (int x = 3; x < image.width() - 3; ++x)
            for (int y = 3; y < image.height() - 3; ++y)
                if (qGray(image.pixel(x, y)) < 128) {
                    first = std::min(first, x);
                    last = x;
                }
        return last - first;
    };
    for (const char* duration : {"0", "8", "99", "188", "255"}) {
        s.Edit(0)->setText(duration);
        roomy.setText(duration);
        EXPECT_EQ(ink(s.Edit(0)), ink(&roomy)) << duration;
    }
}

TEST(FrameStripThumbnails, CurrentSlotPaintsTheEditorPictureOthersTheFrame) {
    Strip s(6, 1, 0);
    // Unsaved edits: a picture that differs from what frame 1 holds.
    s.host.workBitmap.fill(Qt::white);
    s.host.workBitmap.setPixelColor(10, 20, Qt::black);
    s.host.workBitmap.setPixelColor(47, 31, Qt::black);

    const auto frameImage = [&s](int index) {
        QImage image(FrameWidth, FrameHeight, QImage::Format_RGB32);
        image.fill(Qt::white);
        s.host.animation.DrawFrame(index, image);
        return image;
    };
    ASSERT_NE(frameImage(1), Rgb32(s.host.workBitmap));

    EXPECT_EQ(Grab(s.Slot("pntbxFrame%1", 1)), Rgb32(s.host.workBitmap));
    EXPECT_EQ(Grab(s.Slot("pntbxFrame%1", 2)), frameImage(2));
    EXPECT_EQ(Grab(s.Slot("pntbxFrame%1", 0)), frameImage(0));

    // Scrolled by one, the current frame's picture moves to slot 0.
    s.strip.SetPosition(1);
    EXPECT_EQ(Grab(s.Slot("pntbxFrame%1", 0)), Rgb32(s.host.workBitmap));
    EXPECT_EQ(Grab(s.Slot("pntbxFrame%1", 1)), frameImage(2));
}

} // namespace
} // namespace vistrel::testing
