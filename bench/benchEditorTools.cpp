// One mouse move of each drawing tool as the editor makes it: the shape tools
// first put back the picture from the start of the drag, then draw the shape
// afresh. "Restore" is that copy alone. Every move has to fit many times over
// into a 60 Hz frame (16.7 ms) for the drawing to follow the mouse.

#include "pixelPrimitives.h"
#include "unitFrame.h"

#include <QImage>
#include <benchmark/benchmark.h>
#include <optional>

using namespace vistrel;

namespace {

constexpr QRgb Black = 0xFF000000;
constexpr QRgb White = 0xFFFFFFFF;

// A drag that starts on a frame with some drawing on it: a scatter of lit pixels.
QImage Backup() {
    QImage image(FrameWidth, FrameHeight, QImage::Format_RGB32);
    image.fill(White);
    for (int y = 0; y < FrameHeight; ++y)
        for (int x = 0; x < FrameWidth; ++x)
            if ((x * 7 + y * 3) % 11 == 0)
                image.setPixel(x, y, Black);
    return image;
}

QImage BlankFrame() {
    QImage image(FrameWidth, FrameHeight, QImage::Format_RGB32);
    image.fill(White);
    return image;
}

template <typename Draw> void ToolMove(benchmark::State& state, const QImage& backup, Draw draw) {
    QImage work;
    for (auto _ : state) {
        work = backup.copy();
        draw(work);
        const uchar* bits = work.constBits();
        benchmark::DoNotOptimize(bits);
    }
}

void Restore(benchmark::State& state) {
    ToolMove(state, Backup(), [](QImage&) {});
}
BENCHMARK(Restore);

void Line(benchmark::State& state) {
    ToolMove(state, Backup(), [](QImage& work) {
        SetPixel(work, {47, 0}, Black);
        DrawLine(work, {0, 31}, {47, 0}, Black);
    });
}
BENCHMARK(Line);

void Rectangle(benchmark::State& state) {
    ToolMove(state, Backup(), [](QImage& work) { DrawRectOutline(work, {2, 2}, {45, 29}, Black); });
}
BENCHMARK(Rectangle);

void FilledRectangle(benchmark::State& state) {
    ToolMove(state, Backup(), [](QImage& work) {
        FillRect(work, QPoint(2, 2), QPoint(45, 29), Black);
        DrawRectOutline(work, {2, 2}, {45, 29}, Black);
    });
}
BENCHMARK(FilledRectangle);

void Ellipse(benchmark::State& state) {
    ToolMove(state, Backup(), [](QImage& work) {
        DrawEllipse(work, {0, 0}, {48, 32}, Black, std::nullopt);
    });
}
BENCHMARK(Ellipse);

void FilledEllipse(benchmark::State& state) {
    ToolMove(state, Backup(), [](QImage& work) {
        DrawEllipse(work, {0, 0}, {48, 32}, Black, Black);
    });
}
BENCHMARK(FilledEllipse);

// The fill acts at the press on the live picture; each round starts it again on
// an empty frame, which it covers whole.
void FloodFillEmptyFrame(benchmark::State& state) {
    ToolMove(state, BlankFrame(), [](QImage& work) { FloodFill(work, {0, 0}, Black); });
}
BENCHMARK(FloodFillEmptyFrame);

// The Shift tool rotates the live picture in place, through the backup bitmap.
void Shift(benchmark::State& state) {
    QImage work = Backup();
    QImage scratch = BlankFrame();
    for (auto _ : state) {
        ShiftImage(work, scratch, 1, 1);
        const uchar* bits = work.constBits();
        benchmark::DoNotOptimize(bits);
    }
}
BENCHMARK(Shift);

} // namespace

BENCHMARK_MAIN();
