#include "editorBitmaps.h"

#include <gtest/gtest.h>

using namespace vistrel;

namespace {

// The editor picture pixel by pixel, as the layers, the frame and the grid
// stack up: the reference the fast composition must match.
QRgb Expected(const TEditorBitmaps& b, int px, int py) {
    const int x = std::min(px / 8, 47);
    const int y = std::min(py / 8, 31);
    if (b.DisplayGrid && (px % 8 == 0 || py % 8 == 0))
        return 0xC0C0C0;
    if ((b.WorkBitmap.pixel(x, y) & 0xFFFFFF) == 0)
        return 0x000000;
    const QRgb layer = (b.RedLayerBitmap.pixel(x, y) | b.BlueLayerBitmap.pixel(x, y)) & 0xFFFFFF;
    return layer != 0 ? layer : b.OnionSkinBitmap.pixel(x, y) & 0xFFFFFF;
}

} // namespace

TEST(EditorPicture, LayersFrameAndGridStackInTheirOrder) {
    TEditorBitmaps b;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 48; ++x) {
            if ((x * 7 + y * 3) % 5 == 0)
                b.WorkBitmap.setPixel(x, y, qRgb(0, 0, 0));
            if ((x + y) % 3 == 0)
                b.RedLayerBitmap.setPixel(x, y, qRgb(255, 0, 0));
            if ((x * y) % 4 == 1)
                b.BlueLayerBitmap.setPixel(x, y, qRgb(0, 0, 255));
            if ((x + 2 * y) % 3 != 1)
                b.OnionSkinBitmap.setPixel(x, y, qRgb(0x80, 0xD0, 0x80 + x));
        }
    for (const bool grid : {false, true}) {
        b.DisplayGrid = grid;
        b.ComposeEditorPicture();
        int wrong = 0;
        for (int py = 0; py < TEditorBitmaps::EditorHeight; ++py)
            for (int px = 0; px < TEditorBitmaps::EditorWidth; ++px)
                wrong += (b.DisplayBitmap.pixel(px, py) & 0xFFFFFF) != Expected(b, px, py);
        EXPECT_EQ(wrong, 0) << (grid ? "with" : "without") << " the grid";
    }
    // A spot lit in both layers shows magenta where the frame is unlit.
    b.WorkBitmap.fill(Qt::white);
    b.RedLayerBitmap.setPixel(1, 1, qRgb(255, 0, 0));
    b.BlueLayerBitmap.setPixel(1, 1, qRgb(0, 0, 255));
    b.ComposeEditorPicture();
    EXPECT_EQ(b.DisplayBitmap.pixel(12, 12) & 0xFFFFFF, 0xFF00FFu);
}
