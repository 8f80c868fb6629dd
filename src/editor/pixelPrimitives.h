#pragma once

#include <QImage>
#include <QPoint>
#include <QRgb>
#include <optional>
#include <span>

namespace vistrel {

// The drawing primitives of the frame editor, on the 48 x 32 frame pictures
// (32 bits per pixel). Points are frame pixels and may lie anywhere, however far
// outside the picture: whatever falls outside is clipped, and the work done is
// bounded by the picture's size, not by the distance between the points.
// Colours are written opaque (alpha 0xFF), as Format_RGB32 wants them.

// A rectangle by its edges, as the mouse spans it: Right and Bottom are the
// coordinates of the right and bottom edges themselves, not of the last column
// and row inside (QRect's right() and bottom() would be one less).
struct TEdgeRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    bool operator==(const TEdgeRect&) const = default;
};

// The rectangle between two corners given in either order.
TEdgeRect NormalizeRect(QPoint a, QPoint b);

void SetPixel(QImage& image, QPoint p, QRgb colour);

// The pixels of the straight line from `from` up to, but not including, `to`;
// a line of length zero draws nothing. Callers that want the end pixel set it.
// A pixel halfway between two candidates goes to the smaller coordinate, so the
// line from A to B and the line from B to A differ only in their ends.
void DrawLine(QImage& image, QPoint from, QPoint to, QRgb colour);

// Lines between consecutive points, each without its end point.
void DrawPolyline(QImage& image, std::span<const QPoint> points, QRgb colour);

// The closed outline start -> (start.x, end.y) -> end -> (end.x, start.y) -> start,
// corners inclusive: one pixel wide and high more than the edge rectangle. A
// rectangle of no width and no height (start == end) lights nothing.
void DrawRectOutline(QImage& image, QPoint start, QPoint end, QRgb colour);

// Columns Left .. Right - 1 of rows Top .. Bottom - 1.
void FillRect(QImage& image, const TEdgeRect& rect, QRgb colour);
inline void FillRect(QImage& image, QPoint a, QPoint b, QRgb colour) {
    FillRect(image, NormalizeRect(a, b), colour);
}

// The ellipse inscribed in NormalizeRect(corner1, corner2): it touches the
// columns Left and Right - 1 and the rows Top and Bottom - 1 and stays inside
// them. The outline is a closed 8-connected ring in `pen`; the pixels it encloses
// get `fill` when given and are left alone otherwise. A box with no width or no
// height draws nothing; one pixel wide or high it is a straight line.
void DrawEllipse(QImage& image, QPoint corner1, QPoint corner2, QRgb pen, std::optional<QRgb> fill);

// Paints `colour` over the region of the seed's exact colour that is connected
// to the seed through horizontal and vertical neighbours (never diagonally).
// Nothing happens when the seed lies outside or already has `colour`.
void FloodFill(QImage& image, QPoint seed, QRgb colour);

// Rotates the picture by dy rows (down when positive) and then dx columns (right
// when positive), both taken modulo the picture's size; what leaves one edge comes
// back at the other. `scratch` carries each step and holds the result afterwards
// too; it is made the size and format of `work` when it is not.
void ShiftImage(QImage& work, QImage& scratch, int dx, int dy);

// Mirror pictures of the whole image: left and right exchanged, top and bottom
// exchanged, or both (a half turn).
enum class TFlip { Horizontal, Vertical, Turn };
void FlipImage(QImage& image, TFlip flip);

// Where a drag from start to p ends while Shift is held. Lines snap to the
// horizontal, the vertical or a 45-degree diagonal as long as the longer
// extent; squares keep the shorter extent. A zero extent counts as positive.
// Results beyond the int range are clamped to it.
QPoint ConstrainLine(QPoint start, QPoint p);
QPoint ConstrainSquare(QPoint start, QPoint p);

} // namespace vistrel
