// How much the dots of a still part shimmer from frame to frame when a video
// clip is imported, for each dithering method with and without KeepStill,
// beside the time the import takes. The clip is $VISTREL_BENCH_CLIP, laid out
// as bench/flicker-report makes it: a black square crossing the top of a
// still, photo-like picture. Two views of it: fitted to the frame (48 x 27),
// where the error the square's dots pass on is what shakes the still part, and
// at full size with the window on a still part, where only the codec's (and a
// camera's) noise changes anything. The counters give the share of dots that
// flip between consecutive frames, in percent: still_flips below the square's
// path (the part that should not move), moving_flips along it (fitted only).
// tone_gap says whether the kept dots still give the right shades: how far the
// share of lit dots in each 4 x 4 block lies from the plain method's, in
// percent, on average over the blocks and frames (0 for the plain method).

#include "animationImport.h"
#include "animationSourceFactory.h"
#include "flicker.h"

#include <QString>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <vector>

using namespace vistrel;

namespace {

// Rows 0 to 8 of the fitted frame hold the square's path (24 to 120 of 360
// source rows, with a margin); rows 27 to 31 lie below the picture.
constexpr QRect MovingRows{0, 0, FrameWidth, 11};
constexpr QRect StillRows{0, 12, FrameWidth, 15};
// At full size the window lies wholly below the square's path.
constexpr QPoint StillWindow{300, 200};
constexpr QRect WholeFrame{0, 0, FrameWidth, FrameHeight};

constexpr int ToneBlock = 4;

// Every frame of the clip, or an empty list with why.
std::vector<FramePixels> Import(const char* clip, const TAnimationImportOptions& options,
                                QString& error) {
    std::vector<FramePixels> frames;
    const auto source = OpenAnimationSource(QString::fromLocal8Bit(clip), false, &error);
    if (!source)
        return frames;
    const TAnimationImportResult result = TAnimationImport(options).Run(*source);
    error = result.Error;
    if (error.isEmpty())
        for (const TFrame& frame : result.Frames)
            frames.push_back(frame.Pixels);
    return frames;
}

double ToneGap(const std::vector<FramePixels>& frames, const std::vector<FramePixels>& plain) {
    double gap = 0;
    int blocks = 0;
    for (std::size_t i = 0; i < std::min(frames.size(), plain.size()); ++i)
        for (int top = 0; top < FrameHeight; top += ToneBlock)
            for (int left = 0; left < FrameWidth; left += ToneBlock) {
                int difference = 0;
                for (int y = top; y < top + ToneBlock; ++y)
                    for (int x = left; x < left + ToneBlock; ++x) {
                        const auto index = static_cast<std::size_t>(PixelIndex(x, y));
                        difference += (frames[i][index] == 1) - (plain[i][index] == 1);
                    }
                gap += std::abs(difference) / double(ToneBlock * ToneBlock);
                ++blocks;
            }
    return blocks ? 100.0 * gap / blocks : 0.0;
}

void ImportClip(benchmark::State& state) {
    const char* clip = std::getenv("VISTREL_BENCH_CLIP");
    if (!clip || !*clip) {
        state.SkipWithError("VISTREL_BENCH_CLIP is not set; bench/flicker-report makes the clip");
        return;
    }
    TAnimationImportOptions options;
    const bool fitted = state.range(2) == 0;
    options.Scale = fitted ? TImportFrame::ScaleToFit : 100;
    options.Window = fitted ? QPoint() : StillWindow;
    options.Method = static_cast<int>(state.range(0));
    options.KeepStill = state.range(1) != 0;
    // Every tick its own frame, so that no flip hides in a merge.
    options.Merge = false;
    std::vector<FramePixels> frames;
    QString error;
    for (auto _ : state) {
        frames = Import(clip, options, error);
        if (!error.isEmpty()) {
            state.SkipWithError(error.toLocal8Bit().constData());
            return;
        }
        benchmark::DoNotOptimize(frames.data());
    }
    options.KeepStill = false;
    const std::vector<FramePixels> plain = Import(clip, options, error);
    state.counters["frames"] = static_cast<double>(frames.size());
    state.counters["still_flips"] = 100.0 * FlickerShare(frames, fitted ? StillRows : WholeFrame);
    state.counters["moving_flips"] = fitted ? 100.0 * FlickerShare(frames, MovingRows) : 0.0;
    state.counters["tone_gap"] = ToneGap(frames, plain);
}

} // namespace

// Arguments: the method (0 Floyd-Steinberg, 1 Bayer, 2 Quantization), KeepStill,
// the view (0 fitted, 1 full size).
BENCHMARK(ImportClip)
    ->ArgNames({"method", "keep_still", "view"})
    ->ArgsProduct({{0, 1, 2}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
