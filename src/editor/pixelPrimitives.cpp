#include "pixelPrimitives.h"

#include <QtGlobal>
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vistrel {

namespace {

// Coordinates are widened before any arithmetic: the difference of two ints
// needs 33 bits, and points may lie anywhere in the int range.
using i64 = std::int64_t;
using u64 = std::uint64_t;

constexpr QRgb Opaque(QRgb colour) {
    return colour | 0xFF000000u;
}

constexpr i64 Abs(i64 value) {
    return value < 0 ? -value : value;
}

int ClampToInt(i64 value) {
    return static_cast<int>(std::clamp<i64>(value, INT_MIN, INT_MAX));
}

QRgb* Row(QImage& image, i64 y) {
    Q_ASSERT(image.depth() == 32);
    return reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
}

const QRgb* ConstRow(const QImage& image, i64 y) {
    Q_ASSERT(image.depth() == 32);
    return reinterpret_cast<const QRgb*>(image.constScanLine(static_cast<int>(y)));
}

bool Inside(const QImage& image, i64 x, i64 y) {
    return x >= 0 && y >= 0 && x < image.width() && y < image.height();
}

// `colour` must already be opaque.
void Put(QImage& image, i64 x, i64 y, QRgb colour) {
    if (Inside(image, x, y))
        Row(image, y)[x] = colour;
}

// A run of columns [First, Last]; empty when First > Last.
struct TRun {
    i64 First = 0;
    i64 Last = -1;

    bool Contains(i64 x) const { return First <= x && x <= Last; }
};

// The pixels of an ellipse's box that belong to the ellipse, row by row: every
// row of the shape is one run centred on the box. Distances are measured in
// half pixels from the box centre, so that boxes of even and odd size are alike
// and both mirror images come out identical.
//
// A pixel belongs to the shape when its centre lies inside the ellipse whose
// semi-axes reach 3/8 pixel beyond the centres of the outermost pixels. The
// truly inscribed ellipse (1/2 pixel beyond) rounds small circles into squares:
// a 3 x 3 box would become a full ring of eight. The semi-axes are an odd
// number of eighths of a pixel and the pixel centres a multiple of four eighths
// from the centre, so no centre lies exactly on the curve: there are no ties.
//
// The middle row (or two) always spans the whole width and the middle column
// (or two) the whole height, so even a long thin ellipse touches all four sides
// of its box instead of dropping its tips between pixel centres.
class TEllipseRows {
public:
    explicit TEllipseRows(const TEdgeRect& box)
        : m_top(box.Top), m_bottom(box.Bottom), m_centreX2(i64{box.Left} + box.Right - 1),
          m_centreY2(i64{box.Top} + box.Bottom - 1), m_widest(i64{box.Right} - box.Left - 1),
          m_axisX8(4 * m_widest + 3), m_axisY8(4 * (i64{box.Bottom} - box.Top - 1) + 3),
          // Up to 4096 pixels each way the test below fits 64 bits exactly;
          // beyond, only a sliver of the curve can cross the frame and the
          // floating-point estimate is left as it is.
          m_exact(m_axisX8 < (1 << 14) && m_axisY8 < (1 << 14)) {}

    TRun Run(i64 y) const {
        if (y < m_top || y >= m_bottom)
            return {};
        const i64 half = HalfWidth(2 * y - m_centreY2);
        return {(m_centreX2 - half) / 2, (m_centreX2 + half) / 2};
    }

private:
    // Largest distance u from the centre, in half pixels and of the parity of
    // the box's columns, that row v (in half pixels) reaches.
    i64 HalfWidth(i64 v) const {
        if (Abs(v) <= 1)
            return m_widest;
        const i64 parity = m_widest & 1;
        const double t = 4.0 * static_cast<double>(v) / static_cast<double>(m_axisY8);
        const double reach =
            static_cast<double>(m_axisX8) / 4.0 * std::sqrt(std::max(0.0, 1 - t * t));
        i64 u = std::min(static_cast<i64>(std::floor(reach)), m_widest);
        if ((u ^ parity) & 1)
            --u;
        if (m_exact) {
            while (u + 2 <= m_widest && Fits(u + 2, v))
                u += 2;
            while (u > parity && !Fits(u, v))
                u -= 2;
        }
        return std::max(u, parity);
    }

    // (4u / A)^2 + (4v / B)^2 <= 1 with the semi-axes A and B in eighths.
    bool Fits(i64 u, i64 v) const {
        const i64 a2 = m_axisX8 * m_axisX8;
        const i64 b2 = m_axisY8 * m_axisY8;
        return 16 * u * u * b2 + 16 * v * v * a2 <= a2 * b2;
    }

    i64 m_top;
    i64 m_bottom;
    i64 m_centreX2;
    i64 m_centreY2;
    i64 m_widest; // half-pixel distance from the centre to the outermost column
    i64 m_axisX8; // semi-axes in eighths of a pixel
    i64 m_axisY8;
    bool m_exact;
};

void CopyBack(QImage& work, const QImage& scratch) {
    const std::size_t bytes = static_cast<std::size_t>(work.width()) * sizeof(QRgb);
    for (int y = 0; y < work.height(); ++y)
        std::memcpy(Row(work, y), ConstRow(scratch, y), bytes);
}

// dy lies strictly between -height and height.
void RotateRows(QImage& work, QImage& scratch, int dy) {
    const int height = work.height();
    const int down = dy < 0 ? dy + height : dy;
    const std::size_t bytes = static_cast<std::size_t>(work.width()) * sizeof(QRgb);
    for (int y = 0; y < height; ++y)
        std::memcpy(Row(scratch, (y + down) % height), ConstRow(work, y), bytes);
    CopyBack(work, scratch);
}

// dx lies strictly between -width and width.
void RotateColumns(QImage& work, QImage& scratch, int dx) {
    const int width = work.width();
    const int right = dx < 0 ? dx + width : dx;
    for (int y = 0; y < work.height(); ++y) {
        const QRgb* from = ConstRow(work, y);
        QRgb* to = Row(scratch, y);
        std::copy(from, from + width - right, to + right);
        std::copy(from + width - right, from + width, to);
    }
    CopyBack(work, scratch);
}

} // namespace

TEdgeRect NormalizeRect(QPoint a, QPoint b) {
    return {std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()),
            std::max(a.y(), b.y())};
}

void SetPixel(QImage& image, QPoint p, QRgb colour) {
    Put(image, p.x(), p.y(), Opaque(colour));
}

void DrawLine(QImage& image, QPoint from, QPoint to, QRgb colour) {
    const i64 dx = i64{to.x()} - from.x();
    const i64 dy = i64{to.y()} - from.y();
    if (dx == 0 && dy == 0)
        return;
    const QRgb paint = Opaque(colour);

    // One pixel per step along the longer extent (the major axis); on the other
    // axis the pixel nearest to the exact line. Only the steps whose major
    // coordinate lies inside the picture are visited.
    const bool xMajor = Abs(dx) >= Abs(dy);
    const i64 majorStart = xMajor ? from.x() : from.y();
    const i64 minorStart = xMajor ? from.y() : from.x();
    const i64 majorDelta = xMajor ? dx : dy;
    const i64 minorDelta = xMajor ? dy : dx;
    const i64 majorSize = xMajor ? image.width() : image.height();
    const i64 minorSize = xMajor ? image.height() : image.width();
    const i64 majorSign = majorDelta < 0 ? -1 : 1;
    const i64 minorSign = minorDelta < 0 ? -1 : 1;
    const u64 steps = static_cast<u64>(Abs(majorDelta));
    const u64 rise = static_cast<u64>(Abs(minorDelta));

    i64 first = majorSign > 0 ? -majorStart : majorStart - (majorSize - 1);
    i64 last = majorSign > 0 ? majorSize - 1 - majorStart : majorStart;
    first = std::max<i64>(first, 0);
    last = std::min(last, static_cast<i64>(steps) - 1);

    // Step i lies i * rise / steps along the minor axis; rounding to nearest,
    // exact halves towards the smaller coordinate. Both factors are below 2^32,
    // so the sum stays below 2^64.
    const u64 half = minorSign > 0 ? (steps - 1) / 2 : steps / 2;
    for (i64 i = first; i <= last; ++i) {
        const i64 offset = static_cast<i64>((static_cast<u64>(i) * rise + half) / steps);
        const i64 minor = minorStart + minorSign * offset;
        if (minor < 0 || minor >= minorSize)
            continue;
        const i64 major = majorStart + majorSign * i;
        if (xMajor)
            Row(image, minor)[major] = paint;
        else
            Row(image, major)[minor] = paint;
    }
}

void DrawPolyline(QImage& image, std::span<const QPoint> points, QRgb colour) {
    for (std::size_t i = 1; i < points.size(); ++i)
        DrawLine(image, points[i - 1], points[i], colour);
}

void DrawRectOutline(QImage& image, QPoint start, QPoint end, QRgb colour) {
    const std::array<QPoint, 5> corners{start, QPoint(start.x(), end.y()), end,
                                        QPoint(end.x(), start.y()), start};
    DrawPolyline(image, corners, colour);
}

void FillRect(QImage& image, const TEdgeRect& rect, QRgb colour) {
    const int left = std::max(rect.Left, 0);
    const int right = std::min(rect.Right, image.width());
    const int top = std::max(rect.Top, 0);
    const int bottom = std::min(rect.Bottom, image.height());
    if (left >= right)
        return;
    const QRgb paint = Opaque(colour);
    for (int y = top; y < bottom; ++y) {
        QRgb* row = Row(image, y);
        std::fill(row + left, row + right, paint);
    }
}

void DrawEllipse(QImage& image, QPoint corner1, QPoint corner2, QRgb pen,
                 std::optional<QRgb> fill) {
    const TEdgeRect box = NormalizeRect(corner1, corner2);
    if (box.Left == box.Right || box.Top == box.Bottom)
        return;
    const TEllipseRows rows(box);
    const QRgb penPaint = Opaque(pen);
    const int top = std::max(box.Top, 0);
    const int bottom = std::min(box.Bottom, image.height());
    for (int y = top; y < bottom; ++y) {
        // A pixel of the shape is on the outline when a horizontal or vertical
        // neighbour is not in the shape; that makes the outline a closed
        // 8-connected ring around everything else.
        const TRun run = rows.Run(y);
        const TRun above = rows.Run(i64{y} - 1);
        const TRun below = rows.Run(i64{y} + 1);
        const i64 left = std::max<i64>(run.First, 0);
        const i64 right = std::min<i64>(run.Last, image.width() - 1);
        QRgb* row = left <= right ? Row(image, y) : nullptr;
        for (i64 x = left; x <= right; ++x) {
            const bool outline =
                x == run.First || x == run.Last || !above.Contains(x) || !below.Contains(x);
            if (outline)
                row[x] = penPaint;
            else if (fill)
                row[x] = Opaque(*fill);
        }
    }
}

void FloodFill(QImage& image, QPoint seed, QRgb colour) {
    if (!Inside(image, seed.x(), seed.y()))
        return;
    const QRgb paint = Opaque(colour);
    Q_ASSERT(image.depth() == 32);
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const auto pixel = [bits, stride](int x, int y) -> QRgb& {
        return reinterpret_cast<QRgb*>(bits + y * stride)[x];
    };
    const QRgb target = pixel(seed.x(), seed.y());
    if (target == paint)
        return;
    // Pixels are painted as they are found, so none is queued twice and the
    // stack never holds more than the picture's pixel count.
    std::vector<QPoint> pending{seed};
    pixel(seed.x(), seed.y()) = paint;
    const int width = image.width();
    const int height = image.height();
    const auto visit = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < width && y < height && pixel(x, y) == target) {
            pixel(x, y) = paint;
            pending.emplace_back(x, y);
        }
    };
    while (!pending.empty()) {
        const QPoint p = pending.back();
        pending.pop_back();
        visit(p.x() - 1, p.y());
        visit(p.x() + 1, p.y());
        visit(p.x(), p.y() - 1);
        visit(p.x(), p.y() + 1);
    }
}

void ShiftImage(QImage& work, QImage& scratch, int dx, int dy) {
    if (work.width() <= 0 || work.height() <= 0)
        return;
    if (scratch.size() != work.size() || scratch.format() != work.format())
        scratch = QImage(work.size(), work.format());
    // % keeps the sign of the dividend, and a negative remainder rotates the
    // other way.
    RotateRows(work, scratch, dy % work.height());
    RotateColumns(work, scratch, dx % work.width());
}

void FlipImage(QImage& image, TFlip flip) {
    const bool across = flip != TFlip::Vertical;
    const bool down = flip != TFlip::Horizontal;
    const QImage source = image.copy();
    const int width = image.width();
    const int height = image.height();
    for (int y = 0; y < height; ++y) {
        const auto* from =
            reinterpret_cast<const QRgb*>(source.constScanLine(down ? height - 1 - y : y));
        auto* to = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            to[x] = from[across ? width - 1 - x : x];
    }
}

QPoint ConstrainLine(QPoint start, QPoint p) {
    i64 dx = i64{p.x()} - start.x();
    i64 dy = i64{p.y()} - start.y();
    const i64 width = Abs(dx);
    const i64 height = Abs(dy);
    if (width > 2 * height)
        dy = 0;
    else if (height > 2 * width)
        dx = 0;
    else if (height >= width)
        dx = dx < 0 ? -height : height;
    else
        dy = dy < 0 ? -width : width;
    return {ClampToInt(start.x() + dx), ClampToInt(start.y() + dy)};
}

QPoint ConstrainSquare(QPoint start, QPoint p) {
    i64 dx = i64{p.x()} - start.x();
    i64 dy = i64{p.y()} - start.y();
    const i64 width = Abs(dx);
    const i64 height = Abs(dy);
    if (height <= width)
        dx = dx < 0 ? -height : height;
    else
        dy = dy < 0 ? -width : width;
    return {ClampToInt(start.x() + dx), ClampToInt(start.y() + dy)};
}

} // namespace vistrel
