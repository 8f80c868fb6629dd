#include "windowFixture.h"

#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

// Frame i of LCDBytes has only pixel (i, 0) lit.
void Choose(WindowFixture& f, int frame, const char* item) {
    f.Window().PopupFrameMenu(frame, QPoint(0, 0));
    f.Action(item)->trigger();
    f.Window().findChild<QMenu*>("mnuFrame")->hide();
}

QRgb EditorPixel(WindowFixture& f, int x, int y) {
    f.Window().Editor().ComposeEditorPicture();
    return f.Window().Editor().DisplayBitmap.pixel(x * 8 + 4, y * 8 + 4) & 0xFFFFFF;
}

} // namespace

TEST(Layers, EachLayerShowsOneFrameInItsColour) {
    WindowFixture f;
    f.Window().OpenDocument(f.LcdFile("six.lcd", {1, 1, 1, 1, 1, 1}));
    TAnimation& animation = f.Window().Animation();

    Choose(f, 5, "RedLayer1");
    Choose(f, 3, "RedLayer1");
    EXPECT_FALSE(animation.Frame(5).RedLayer());
    EXPECT_TRUE(animation.Frame(3).RedLayer());
    EXPECT_EQ(EditorPixel(f, 3, 0), 0xFF0000u);
    EXPECT_EQ(EditorPixel(f, 5, 0), 0xFFFFFFu);

    Choose(f, 4, "BlueLayer1");
    EXPECT_EQ(EditorPixel(f, 4, 0), 0x0000FFu);
    Choose(f, 3, "BlueLayer1"); // the red frame becomes the blue one
    EXPECT_FALSE(animation.Frame(3).RedLayer());
    EXPECT_TRUE(animation.Frame(3).BlueLayer());
    EXPECT_EQ(EditorPixel(f, 3, 0), 0x0000FFu);

    Choose(f, 3, "BlueLayer1"); // unchecked: the layer goes away
    EXPECT_FALSE(animation.Frame(3).BlueLayer());
    EXPECT_EQ(EditorPixel(f, 3, 0), 0xFFFFFFu);
}

TEST(Layers, LitPixelsOfBothLayersShowMagentaAndTheFrameCoversThem) {
    WindowFixture f;
    TempFolder& folder = f.Folder();
    QByteArray bytes = LCDBytes({1, 1, 1});
    bytes[16 + 12 + 1536 + 5] = 8; // frame 1 also lights pixel (5, 0)
    bytes[16 + 12 + 2 * 1536 + 5] = 8;
    bytes[16 + 12 + 7] = 8; // the edited frame 0 lights (7, 0)
    bytes[16 + 12 + 1536 + 7] = 8;
    f.Window().OpenDocument(folder.Write("three.lcd", bytes));
    Choose(f, 1, "RedLayer1");
    Choose(f, 2, "BlueLayer1");
    EXPECT_EQ(EditorPixel(f, 5, 0), 0xFF00FFu);
    EXPECT_EQ(EditorPixel(f, 7, 0), 0x000000u);
}

// A stroke is stored into its frame as it ends, and the layer showing that
// frame takes it on at once; undoing it takes it off again.
TEST(Layers, AMarkedFrameShowsEachStrokeOnceItIsStored) {
    WindowFixture f;
    f.Window().OpenDocument(f.LcdFile("two.lcd", {1, 1}));
    Choose(f, 0, "RedLayer1");
    EXPECT_EQ(f.Window().Editor().RedLayerBitmap.pixel(20, 10) & 0xFFFFFF, 0u);
    QTest::mouseClick(f.Window().findChild<QWidget*>("pntbxEditor"), Qt::LeftButton, {},
                      QPoint(20 * 8 + 3, 10 * 8 + 5));
    EXPECT_EQ(f.Window().Editor().RedLayerBitmap.pixel(20, 10) & 0xFFFFFF, 0xFF0000u);
    f.Window().SetCurFrame(1);
    EXPECT_EQ(f.Window().Editor().RedLayerBitmap.pixel(20, 10) & 0xFFFFFF, 0xFF0000u);
    f.Window().Undo1Click();
    EXPECT_EQ(f.Window().Editor().RedLayerBitmap.pixel(20, 10) & 0xFFFFFF, 0u);
    f.Window().Redo1Click();
    f.Window().SetCurFrame(-1);
    EXPECT_EQ(f.Window().Editor().RedLayerBitmap.pixel(0, 0) & 0xFFFFFF, 0u);
}
