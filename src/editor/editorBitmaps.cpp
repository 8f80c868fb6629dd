#include "editorBitmaps.h"

#include "unitAnimation.h"

#include <QPainter>
#include <cstring>

namespace vistrel {

namespace {

constexpr QRgb Black = 0xFF000000;
constexpr QRgb Silver = 0xFFC0C0C0;

QImage BuildGrid() {
    QImage grid(TEditorBitmaps::EditorWidth, TEditorBitmaps::EditorHeight, QImage::Format_RGB32);
    grid.fill(Qt::white);
    // The outlines of all cells meet in one silver line on every multiple of 8.
    for (int y = 0; y < grid.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(grid.scanLine(y));
        if (y % TEditorBitmaps::CellSize == 0)
            std::fill_n(row, grid.width(), Silver);
        else
            for (int x = 0; x < grid.width(); x += TEditorBitmaps::CellSize)
                row[x] = Silver;
    }
    return grid;
}

} // namespace

QImage NewFrameBitmap(Qt::GlobalColor fill) {
    QImage bitmap(FrameWidth, FrameHeight, QImage::Format_RGB32);
    bitmap.fill(fill);
    return bitmap;
}

TEditorBitmaps::TEditorBitmaps()
    : GridBitmap(BuildGrid()), DisplayBitmap(EditorWidth, EditorHeight, QImage::Format_RGB32),
      WorkBitmap(NewFrameBitmap(Qt::white)), BackupBitmap(NewFrameBitmap(Qt::white)),
      RedLayerBitmap(NewFrameBitmap(Qt::black)), BlueLayerBitmap(NewFrameBitmap(Qt::black)),
      LayerBitmap(NewFrameBitmap(Qt::white)), OnionSkinBitmap(NewFrameBitmap(Qt::white)) {
    DisplayBitmap.fill(Qt::white);
}

void TEditorBitmaps::BuildLayer(QImage& layer, const QImage& frame, QRgb litColour) {
    const QImage source = frame.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < FrameHeight; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(layer.scanLine(y));
        for (int x = 0; x < FrameWidth; ++x)
            out[x] = (in[x] & 0xFFFFFF) == 0 ? litColour : Black;
    }
}

void TEditorBitmaps::ClearForNoFrame() {
    RedLayerBitmap.fill(Qt::black);
    BlueLayerBitmap.fill(Qt::black);
    OnionSkinBitmap.fill(Qt::white);
    WorkBitmap.fill(Qt::white);
}

void TEditorBitmaps::ComposeEditorPicture() {
    // Both layers OR-ed together: a spot lit in both shows magenta.
    for (int y = 0; y < FrameHeight; ++y) {
        const auto* red = reinterpret_cast<const QRgb*>(RedLayerBitmap.constScanLine(y));
        const auto* blue = reinterpret_cast<const QRgb*>(BlueLayerBitmap.constScanLine(y));
        auto* layer = reinterpret_cast<QRgb*>(LayerBitmap.scanLine(y));
        for (int x = 0; x < FrameWidth; ++x)
            layer[x] = red[x] | blue[x] | Black;
    }
    // Each frame pixel fills its 8 x 8 block; the spare last column and row of the
    // 385 x 257 picture repeat the last pixel, as a stretch would. Black frame
    // pixels cover the layers; white ones let layer colours through, and the
    // onion skin where no layer is lit. One display
    // row is built per frame row and copied to the other rows of its block, the
    // grid's silver lines falling on every eighth row and column.
    QRgb row[EditorWidth];
    const auto rowBytes = sizeof(row);
    for (int y = 0; y < FrameHeight; ++y) {
        const auto* work = reinterpret_cast<const QRgb*>(WorkBitmap.constScanLine(y));
        const auto* layer = reinterpret_cast<const QRgb*>(LayerBitmap.constScanLine(y));
        const auto* onion = reinterpret_cast<const QRgb*>(OnionSkinBitmap.constScanLine(y));
        for (int x = 0; x < FrameWidth; ++x) {
            QRgb colour = onion[x] | Black;
            if ((layer[x] & 0xFFFFFF) != 0)
                colour = layer[x];
            if ((work[x] & 0xFFFFFF) != 0xFFFFFF)
                colour = work[x] | Black;
            std::fill_n(row + x * CellSize, CellSize, colour);
        }
        row[EditorWidth - 1] = row[EditorWidth - 2];
        if (DisplayGrid)
            for (int px = 0; px < EditorWidth; px += CellSize)
                row[px] = Silver;
        const int lastRow = y == FrameHeight - 1 ? EditorHeight - 1 : (y + 1) * CellSize - 1;
        for (int py = y * CellSize; py <= lastRow; ++py) {
            auto* display = reinterpret_cast<QRgb*>(DisplayBitmap.scanLine(py));
            if (DisplayGrid && py % CellSize == 0)
                std::memcpy(display, GridBitmap.constScanLine(py), rowBytes);
            else
                std::memcpy(display, row, rowBytes);
        }
    }
}

} // namespace vistrel
