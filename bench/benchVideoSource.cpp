// Decoding a whole video clip frame by frame into RGB32 pictures, as the
// import reads a clip, with the process's peak resident memory: a clip is
// read as a stream, so the peak should stay flat whatever the clip's length.
//
// The clip is $VISTREL_BENCH_CLIP when set, else the small test clip. A clip
// the size of a typical import (10 s of 640 x 360 H.264 at 30 FPS) can be made
// with FFmpeg's command-line tool:
//   ffmpeg -f lavfi -i testsrc2=s=640x360:r=30:d=10 -c:v libx264 -pix_fmt yuv420p clip.mp4

#include "videoSource.h"

#include <QString>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <sys/resource.h>

using namespace vistrel;

namespace {

QString ClipName() {
    const char* chosen = std::getenv("VISTREL_BENCH_CLIP");
    return chosen && *chosen ? QString::fromLocal8Bit(chosen)
                             : QStringLiteral(VISTREL_TEST_DATA "/movingSquare.mp4");
}

double PeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0; // kilobytes on Linux
}

void DecodeClip(benchmark::State& state) {
    const QString name = ClipName();
    QString reason;
    const auto source = OpenVideoSource(name, &reason);
    if (!source) {
        state.SkipWithError((name + QStringLiteral(": ") + reason).toLocal8Bit().constData());
        return;
    }
    int frames = 0;
    for (auto _ : state) {
        if (!source->Rewind()) {
            state.SkipWithError(source->Error().toLocal8Bit().constData());
            return;
        }
        TSourceFrame frame;
        frames = 0;
        while (source->Next(frame))
            ++frames;
        if (!source->Error().isEmpty()) {
            state.SkipWithError(source->Error().toLocal8Bit().constData());
            return;
        }
        benchmark::DoNotOptimize(frame.Picture.constBits());
    }
    state.counters["frames"] = frames;
    state.counters["frames/s"] = benchmark::Counter(double(frames) * double(state.iterations()),
                                                    benchmark::Counter::kIsRate);
    state.counters["peak_MiB"] = PeakMiB();
}

} // namespace

BENCHMARK(DecodeClip)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
