#pragma once

#include "unitFrame.h"

#include <QImage>
#include <QRect>

namespace vistrel {

// Row-wise block operations on 48 x 32 cells of 32-bit images. Moving a frame in
// the sheet is a handful of memmoves, never a repaint pixel by pixel.

void CopySheetCell(const QImage& source, const QRect& from, QImage& target, const QRect& to);
inline void CopySheetCell(QImage& sheet, const QRect& from, const QRect& to) {
    CopySheetCell(sheet, from, sheet, to);
}
// Enlarges a cell into a 32-bit target whose size is the cell's times a whole
// factor, each pixel becoming a factor x factor block; false (target untouched)
// for any other target.
bool EnlargeSheetCell(const QImage& sheet, const QRect& cell, QImage& target);
void FillSheetCell(QImage& sheet, const QRect& cell, unsigned colour);
// Paints a cell from frame pixels: 1 is black, every other value white.
void PaintSheetCell(QImage& sheet, const QRect& cell, const FramePixels& pixels);

} // namespace vistrel
