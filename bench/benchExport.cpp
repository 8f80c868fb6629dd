// Exporting a whole animation of 255 frames at scale 8 in each format, files
// written to a temporary folder included: the window shows a progress bar for
// it, and the export should take well under a second.

#include "unitAnimation.h"
#include "unitAnimationExport.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vistrel;

namespace {

constexpr int Frames = 255;
constexpr int Scale = 8;

// Frames of scattered dots, different in each, so the encoders cannot take
// shortcuts over blank runs that a real animation would not give them.
void Fill(TAnimation& animation) {
    unsigned seed = 12345;
    for (int i = 0; i < Frames; ++i) {
        animation.AddFrame();
        for (auto& pixel : animation.Frame(i).Pixels) {
            seed = seed * 1103515245u + 12345u;
            pixel = (seed >> 16) % 4 == 0 ? 1 : 0;
        }
        animation.Frame(i).SetDuration(static_cast<std::uint8_t>(1 + i % 5));
        animation.PaintCell(i);
    }
}

void ExportAnimation(benchmark::State& state) {
    const auto format = static_cast<TExportFormat>(state.range(0));
    const int columns = static_cast<int>(state.range(1));
    TAnimation animation;
    Fill(animation);
    QTemporaryDir folder;
    TExportOptions options;
    options.Format = format;
    options.Scale = Scale;
    options.Columns = columns;
    const QString target = folder.filePath("walk" + TAnimationExport::Extension(format));
    for (auto _ : state) {
        TAnimationExport exporter(animation, options);
        if (!exporter.Export(target))
            state.SkipWithError(exporter.ErrorText().toStdString().c_str());
    }
}

} // namespace

// {format, sheet columns}: GIF, sheet in one row, sheet of 16 columns, frames, C header.
BENCHMARK(ExportAnimation)
    ->ArgNames({"format", "columns"})
    ->Args({static_cast<int>(TExportFormat::Gif), 0})
    ->Args({static_cast<int>(TExportFormat::PngSheet), 0})
    ->Args({static_cast<int>(TExportFormat::PngSheet), 16})
    ->Args({static_cast<int>(TExportFormat::PngFrames), 0})
    ->Args({static_cast<int>(TExportFormat::CHeader), 0})
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
