#include "frameSheetCells.h"

#include <algorithm>
#include <cstring>

namespace vistrel {

namespace {

QRgb* CellRow(QImage& image, const QRect& cell, int y) {
    return reinterpret_cast<QRgb*>(image.scanLine(cell.top() + y)) + cell.left();
}

} // namespace

void CopySheetCell(const QImage& source, const QRect& from, QImage& target, const QRect& to) {
    const auto rowBytes = static_cast<std::size_t>(from.width()) * sizeof(QRgb);
    for (int y = 0; y < from.height(); ++y) {
        const auto* sourceRow =
            reinterpret_cast<const QRgb*>(source.constScanLine(from.top() + y)) + from.left();
        // memmove: source and target may be the same sheet.
        std::memmove(CellRow(target, to, y), sourceRow, rowBytes);
    }
}

bool EnlargeSheetCell(const QImage& sheet, const QRect& cell, QImage& target) {
    const int factor = target.width() / cell.width();
    const bool wholeFactor = factor >= 1 && target.width() == cell.width() * factor &&
                             target.height() == cell.height() * factor;
    const bool rgb32 =
        target.format() == QImage::Format_RGB32 || target.format() == QImage::Format_ARGB32;
    if (!wholeFactor || !rgb32)
        return false;
    const auto targetRowBytes = static_cast<std::size_t>(target.width()) * sizeof(QRgb);
    for (int y = 0; y < cell.height(); ++y) {
        const auto* source =
            reinterpret_cast<const QRgb*>(sheet.constScanLine(cell.top() + y)) + cell.left();
        auto* first = reinterpret_cast<QRgb*>(target.scanLine(y * factor));
        for (int x = 0; x < cell.width(); ++x)
            std::fill_n(first + x * factor, factor, source[x]);
        for (int copy = 1; copy < factor; ++copy)
            std::memcpy(target.scanLine(y * factor + copy), first, targetRowBytes);
    }
    return true;
}

void FillSheetCell(QImage& sheet, const QRect& cell, unsigned colour) {
    const QRgb value = 0xFF000000u | colour;
    for (int y = 0; y < cell.height(); ++y) {
        QRgb* row = CellRow(sheet, cell, y);
        std::fill(row, row + cell.width(), value);
    }
}

void PaintSheetCell(QImage& sheet, const QRect& cell, const FramePixels& pixels) {
    for (int y = 0; y < FrameHeight; ++y) {
        QRgb* row = CellRow(sheet, cell, y);
        for (int x = 0; x < FrameWidth; ++x)
            row[x] =
                0xFF000000u |
                (pixels[static_cast<std::size_t>(PixelIndex(x, y))] == 1 ? LitColour : UnlitColour);
    }
}

} // namespace vistrel
