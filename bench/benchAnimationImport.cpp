// Importing 200 frames of 480 x 270 from a source already in memory: the cost
// the importer adds to decoding (scaling to the frame, dithering, timing and
// merging), for each method, fitted to the frame.

#include "animationImport.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <vector>

using namespace vistrel;

namespace {

constexpr int Frames = 200;
constexpr int Width = 480;
constexpr int Height = 270;
// Distinct pictures shown in turn: no two neighbours merge, and the source
// holds a few pictures rather than 200 of them.
constexpr int Pictures = 8;

QImage Noise(unsigned seed) {
    QImage picture(Width, Height, QImage::Format_RGB32);
    for (int y = 0; y < Height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < Width; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int grey = static_cast<int>((seed >> 16) % 256);
            line[x] = qRgb(grey, grey, grey);
        }
    }
    return picture;
}

class TMemorySource : public IAnimationSource {
public:
    explicit TMemorySource(const std::vector<QImage>& pictures) : m_pictures(pictures) {}

    int FrameCount() const override { return Frames; }
    qint64 LengthMs() const override { return Frames * 100; }
    int LoopCount() const override { return 0; }
    QSize Size() const override { return {Width, Height}; }
    bool Sampled() const override { return false; }
    bool Next(TSourceFrame& frame) override {
        if (m_read >= Frames)
            return false;
        frame.Picture = m_pictures[static_cast<std::size_t>(m_read % Pictures)];
        frame.StartMs = m_read * 100;
        frame.DurationMs = 100;
        ++m_read;
        return true;
    }
    QString Error() const override { return {}; }
    int FramesRead() const override { return m_read; }
    bool Rewind() override {
        m_read = 0;
        return true;
    }

private:
    const std::vector<QImage>& m_pictures;
    int m_read = 0;
};

void ImportAnimation(benchmark::State& state) {
    std::vector<QImage> pictures;
    for (int i = 0; i < Pictures; ++i)
        pictures.push_back(Noise(static_cast<unsigned>(i) + 1u));
    TAnimationImportOptions options;
    options.Scale = TImportFrame::ScaleToFit;
    options.Method = static_cast<int>(state.range(0));
    for (auto _ : state) {
        TMemorySource source(pictures);
        const TAnimationImportResult result = TAnimationImport(options).Run(source);
        if (result.Frames.size() != Frames)
            state.SkipWithError(result.Error.toStdString().c_str());
        benchmark::DoNotOptimize(result.Frames.data());
    }
}

} // namespace

BENCHMARK(ImportAnimation)
    ->ArgName("method")
    ->Arg(TImportFrame::FloydSteinberg)
    ->Arg(TImportFrame::Bayer)
    ->Arg(TImportFrame::Quantization)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
