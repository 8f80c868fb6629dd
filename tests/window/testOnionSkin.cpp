#include "onionSkin.h"
#include "unitLCDFile.h"
#include "windowFixture.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <array>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

constexpr QRgb Black = 0x000000;
constexpr QRgb White = 0xFFFFFF;

QRgb Before(int distance) {
    return TOnionSkin::CellColour(distance, 0) & 0xFFFFFF;
}
QRgb After(int distance) {
    return TOnionSkin::CellColour(0, distance) & 0xFFFFFF;
}

// A three-frame document, each frame lighting exactly the dots given for it.
QString ThreeFrames(WindowFixture& f, const std::array<std::vector<QPoint>, 3>& dots) {
    QByteArray bytes = LCDBytes({1, 1, 1});
    constexpr int FirstFrame = 16 + 3 * 4;
    for (int frame = 0; frame < 3; ++frame) {
        const int start = FirstFrame + frame * FramePixelCount;
        bytes.replace(start, FramePixelCount, QByteArray(FramePixelCount, '\0'));
        for (const QPoint dot : dots[static_cast<std::size_t>(frame)])
            bytes[start + PixelIndex(dot.x(), dot.y())] = static_cast<char>(LCDLayout::LitByte);
    }
    return f.Folder().Write("three.lcd", bytes);
}

// What the editor widget shows in the middle of a frame cell, painted as on screen.
QRgb Shown(WindowFixture& f, QPoint cell) {
    const QImage shown = f.Window().findChild<QWidget*>("pntbxEditor")->grab().toImage();
    return shown.pixel(cell * 8 + QPoint(4, 4)) & 0xFFFFFF;
}

void Set(WindowFixture& f, int before, int after, bool wrap) {
    TVMUPreferences& preferences = f.Window().Preferences();
    preferences.OnionSkinBefore = before;
    preferences.OnionSkinAfter = after;
    preferences.OnionSkinWrap = wrap;
    f.Window().ApplyOnionSkinSettings();
}

void Choose(WindowFixture& f, int frame, const char* item) {
    f.Window().PopupFrameMenu(frame, QPoint(0, 0));
    f.Action(item)->trigger();
    f.Window().findChild<QMenu*>("mnuFrame")->hide();
}

} // namespace

TEST(OnionSkin, F3ShowsTheFramesBeforeAndAfterUnderTheCurrentOne) {
    WindowFixture f;
    // (0, 5) lit before, (2, 5) after, (4, 5) on both sides; (6, 5) lit in
    // the current frame and its neighbours.
    f.Window().OpenDocument(
        ThreeFrames(f, {{{{0, 5}, {4, 5}, {6, 5}}, {{6, 5}, {8, 5}}, {{2, 5}, {4, 5}, {6, 5}}}}));
    f.Window().SetCurFrame(1);
    auto* button = f.Window().findChild<QToolButton*>("spdbtnOnionSkin");
    QAction* item = f.Action("OnionSkin1");
    ASSERT_NE(button, nullptr);
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->isChecked());
    EXPECT_EQ(Shown(f, {0, 5}), White);

    f.Key(Qt::Key_F3);
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(button->isChecked());
    EXPECT_TRUE(f.Window().Preferences().OnionSkin);
    EXPECT_EQ(Shown(f, {0, 5}), Before(1));
    EXPECT_EQ(Shown(f, {2, 5}), After(1));
    EXPECT_EQ(Shown(f, {4, 5}), TOnionSkin::CellColour(1, 1) & 0xFFFFFF);
    EXPECT_EQ(Shown(f, {6, 5}), Black); // the current frame's dots on top
    EXPECT_EQ(Shown(f, {8, 5}), Black);
    EXPECT_EQ(Shown(f, {10, 5}), White);
    // The button under Invert switches it off again, the menu item with it.
    EXPECT_EQ(button->geometry().top(),
              f.Window().findChild<QToolButton*>("spdbtnInvert")->geometry().bottom() + 1);
    button->click();
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(f.Window().Preferences().OnionSkin);
    EXPECT_EQ(Shown(f, {0, 5}), White);
    EXPECT_EQ(Shown(f, {4, 5}), White);
}

// The three cells show frames 0, 1 and 2 (frame i lights (i, 0)); the red and
// blue layers keep their own colours over the tints.
TEST(OnionSkin, CountsWrapAndLayersDecideWhatEachCellShows) {
    const struct {
        int current, before, after;
        bool wrap;
        const char* layer; // a layer item put on frame layerFrame, or nullptr
        int layerFrame;
        std::array<QRgb, 3> expected;
    } cases[] = {
        {1, 1, 1, false, nullptr, 0, {Before(1), Black, After(1)}},
        {1, 0, 0, false, nullptr, 0, {White, Black, White}},
        {1, 0, 2, true, nullptr, 0, {After(2), Black, After(1)}},
        {0, 1, 1, false, nullptr, 0, {Black, After(1), White}},
        {0, 1, 1, true, nullptr, 0, {Black, After(1), Before(1)}},
        {0, 0, 3, false, nullptr, 0, {Black, After(1), After(2)}},
        {0, 3, 3, true, nullptr, 0, {Black, After(1), Before(1)}},
        {2, 1, 1, false, nullptr, 0, {White, Before(1), Black}},
        {2, 1, 1, true, nullptr, 0, {After(1), Before(1), Black}},
        {2, 3, 0, false, nullptr, 0, {Before(2), Before(1), Black}},
        {1, 1, 1, false, "RedLayer1", 0, {0xFF0000, Black, After(1)}},
        {1, 1, 1, false, "BlueLayer1", 2, {Before(1), Black, 0x0000FF}},
    };
    for (const auto& c : cases) {
        WindowFixture f;
        f.Window().OpenDocument(f.LcdFile("three.lcd", {1, 1, 1}));
        Set(f, c.before, c.after, c.wrap);
        f.Action("OnionSkin1")->trigger();
        f.Window().SetCurFrame(c.current);
        if (c.layer != nullptr)
            Choose(f, c.layerFrame, c.layer);
        for (int cell = 0; cell < 3; ++cell)
            EXPECT_EQ(Shown(f, {cell, 0}), c.expected[static_cast<std::size_t>(cell)])
                << "cell " << cell << " on frame " << c.current << ", " << c.before << " before, "
                << c.after << " after" << (c.wrap ? ", wrapping" : "") << (c.layer ? c.layer : "");
    }
}

// It moves with the current frame and follows the frames as commands and
// undo change them, also around a current frame that stays as it was, but it
// never becomes part of a frame.
TEST(OnionSkin, FollowsTheCurrentFrameAndItsNeighboursAndIsNeverStored) {
    WindowFixture f;
    f.Window().OpenDocument(ThreeFrames(f, {{{{0, 0}}, {}, {{2, 0}}}}));
    f.Action("OnionSkin1")->trigger();
    f.Window().SetCurFrame(1);
    EXPECT_EQ(Shown(f, {0, 0}), Before(1));
    EXPECT_EQ(Shown(f, {2, 0}), After(1));
    // A blank frame put in before the blank current one: the frame after it
    // is now the blank one pushed along.
    f.Run("BeforeCurrent1");
    ASSERT_EQ(f.Window().CurFrame(), 1);
    EXPECT_EQ(Shown(f, {0, 0}), Before(1));
    EXPECT_EQ(Shown(f, {2, 0}), White);
    f.Window().Undo1Click();
    ASSERT_EQ(f.Window().CurFrame(), 1);
    EXPECT_EQ(Shown(f, {2, 0}), After(1));

    f.Drag({{20, 20}}); // a dot on frame 1
    f.Window().SetCurFrame(2);
    EXPECT_EQ(Shown(f, {20, 20}), Before(1));
    EXPECT_EQ(Shown(f, {0, 0}), White);
    EXPECT_EQ(Shown(f, {2, 0}), Black);
    f.Window().Undo1Click(); // the dot
    f.Window().SetCurFrame(2);
    EXPECT_EQ(Shown(f, {20, 20}), White);

    // The frames hold only their own dots, whatever the editor showed.
    f.Window().SetCurFrame(0);
    const TAnimation& animation = f.Window().Animation();
    for (int frame = 0; frame < 3; ++frame) {
        FramePixels expected{};
        if (frame != 1)
            expected[static_cast<std::size_t>(frame)] = 1;
        EXPECT_EQ(animation.Frame(frame).Pixels, expected) << frame;
    }
    EXPECT_EQ(TAnimation::PixelsOf(f.Window().WorkBitmap()), animation.Frame(0).Pixels);
}
