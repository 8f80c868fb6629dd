// Costs of the document operations next to the plain memory or file work they
// cannot avoid, so bench/report can give each as a ratio to its baseline.
//
// Every operation "NAME" has a baseline "NAME/baseline" measured in the same run;
// the baseline's label says what it does.

#include "unitAnimation.h"
#include "unitLCDFile.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QSaveFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace vistrel;

namespace {

constexpr int LCDFrames = LCDLayout::MaxLCDFrames; // the most an LCD file holds
constexpr int EditFrames = MaxDocumentFrames;      // the most the document holds

// Byte count of the frame sheet of a full document: 17 rows of 20 cells.
constexpr std::size_t FullSheetBytes = std::size_t{SheetColumns} * FrameWidth *
                                       ((MaxDocumentFrames - 1) / SheetColumns + 1) * FrameHeight *
                                       4;

// Frames with a scattered picture, so that loading and saving meet lit and unlit
// pixels alike.
void FillAnimation(TAnimation& animation, int frameCount) {
    for (int i = 0; i < frameCount; ++i) {
        if (!animation.AddFrame())
            std::abort();
        TFrame& frame = animation.Frame(i);
        frame.SetDuration(static_cast<std::uint8_t>(1 + i % 10));
        for (int p = 0; p < FramePixelCount; ++p)
            frame.Pixels[static_cast<std::size_t>(p)] = (p * 7 + i * 3) % 5 == 0 ? 1 : 0;
        animation.PaintCell(i);
    }
}

const QByteArray& LCDBytes() {
    static const QByteArray bytes = [] {
        TAnimation animation;
        FillAnimation(animation, LCDFrames);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        if (!animation.SaveLCD(buffer))
            std::abort();
        return buffer.data();
    }();
    return bytes;
}

// The folder for the disk benchmarks; removed with everything in it at exit.
const QTemporaryDir& Folder() {
    static const QTemporaryDir folder;
    if (!folder.isValid())
        std::abort();
    return folder;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

const QString& LCDPath() {
    static const QString path = [] {
        const QString name = Folder().filePath(QStringLiteral("load.LCD"));
        if (!WriteFile(name, LCDBytes()))
            std::abort();
        return name;
    }();
    return path;
}

// A block of memory as large as the bytes an operation moves, shifted by one
// sheet cell row (48 pixels), as moving every cell by one place would.
class MoveBaseline {
public:
    explicit MoveBaseline(std::size_t bytes) : m_bytes(bytes), m_block(bytes + CellRowBytes, 1) {}
    void Move() {
        std::memmove(m_block.data() + CellRowBytes, m_block.data(), m_bytes);
        benchmark::DoNotOptimize(m_block.data());
        benchmark::ClobberMemory();
    }

private:
    static constexpr std::size_t CellRowBytes = FrameWidth * 4;
    std::size_t m_bytes;
    std::vector<std::uint8_t> m_block;
};

// --- Loading ---------------------------------------------------------------

void LoadLCDFromBuffer(benchmark::State& state) {
    const QByteArray& bytes = LCDBytes();
    for (auto _ : state) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        TAnimation animation;
        if (!animation.LoadLCD(buffer) || animation.FrameCount() != LCDFrames) {
            state.SkipWithError("LoadLCD failed");
            break;
        }
        benchmark::DoNotOptimize(animation.FrameSheet().constBits());
    }
}

void CopyLCDBytes(benchmark::State& state) {
    const QByteArray& bytes = LCDBytes();
    for (auto _ : state) {
        QByteArray copy(bytes.constData(), bytes.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
}

void LoadLCDFromFile(benchmark::State& state) {
    const QString& path = LCDPath();
    for (auto _ : state) {
        TAnimation animation;
        if (!animation.LoadFromFile(path) || animation.FrameCount() != LCDFrames) {
            state.SkipWithError("LoadFromFile failed");
            break;
        }
        benchmark::DoNotOptimize(animation.FrameSheet().constBits());
    }
}

void ReadLCDFile(benchmark::State& state) {
    const QString& path = LCDPath();
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("open failed");
            break;
        }
        const QByteArray bytes = file.readAll();
        benchmark::DoNotOptimize(bytes.constData());
    }
}

// --- Saving ----------------------------------------------------------------

void SaveLCDToBuffer(benchmark::State& state) {
    TAnimation animation;
    FillAnimation(animation, LCDFrames);
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        if (!animation.SaveLCD(buffer)) {
            state.SkipWithError("SaveLCD failed");
            break;
        }
        benchmark::DoNotOptimize(buffer.data().constData());
    }
}

void WriteLCDBytesToBuffer(benchmark::State& state) {
    const QByteArray& bytes = LCDBytes();
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        buffer.write(bytes);
        benchmark::DoNotOptimize(buffer.data().constData());
    }
}

void SaveLCDToFile(benchmark::State& state) {
    TAnimation animation;
    FillAnimation(animation, LCDFrames);
    const QString path = Folder().filePath(QStringLiteral("save.LCD"));
    for (auto _ : state) {
        if (!animation.SaveToFile(path)) {
            state.SkipWithError("SaveToFile failed");
            break;
        }
    }
}

// The same bytes through the same safe write (a file beside the old one, synced
// and renamed over it), so the ratio shows what SaveToFile adds to that write.
void SaveLCDBytesSafely(benchmark::State& state) {
    const QByteArray& bytes = LCDBytes();
    const QString path = Folder().filePath(QStringLiteral("write.LCD"));
    for (auto _ : state) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
            !file.commit()) {
            state.SkipWithError("write failed");
            break;
        }
    }
}

// --- Frame list editing on a full document -----------------------------------

void InsertFirstFrame(benchmark::State& state) {
    TAnimation animation;
    FillAnimation(animation, EditFrames - 1);
    for (auto _ : state) {
        if (!animation.InsertFrame(0)) {
            state.SkipWithError("InsertFrame refused");
            break;
        }
        state.PauseTiming();
        animation.DeleteFrame(0);
        state.ResumeTiming();
    }
}

void DeleteFirstFrame(benchmark::State& state) {
    TAnimation animation;
    FillAnimation(animation, EditFrames);
    for (auto _ : state) {
        animation.DeleteFrame(0);
        state.PauseTiming();
        if (!animation.InsertFrame(0))
            state.SkipWithError("InsertFrame refused");
        state.ResumeTiming();
    }
}

void DeleteEveryOtherFrame(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto animation = std::make_unique<TAnimation>();
        FillAnimation(*animation, EditFrames);
        for (int i = 0; i < EditFrames; i += 2)
            animation->Frame(i).SetSelected(true);
        state.ResumeTiming();

        animation->DeleteSelectedFrames();

        state.PauseTiming();
        if (animation->FrameCount() != EditFrames / 2)
            state.SkipWithError("DeleteSelectedFrames left a wrong count");
        animation.reset();
        state.ResumeTiming();
    }
}

void MoveFullSheet(benchmark::State& state) {
    MoveBaseline baseline(FullSheetBytes);
    for (auto _ : state)
        baseline.Move();
}

// --- Drawing ---------------------------------------------------------------

// The editor's view of a frame: eight times the LCD in both directions.
constexpr int ViewScale = 8;
constexpr std::size_t ViewBytes = std::size_t{FrameWidth} * ViewScale * FrameHeight * ViewScale * 4;

void DrawFrameScaled(benchmark::State& state) {
    TAnimation animation;
    FillAnimation(animation, LCDFrames);
    QImage view(FrameWidth * ViewScale, FrameHeight * ViewScale, QImage::Format_RGB32);
    for (auto _ : state) {
        animation.DrawFrame(100, view);
        benchmark::DoNotOptimize(view.constBits());
        benchmark::ClobberMemory();
    }
}

void MoveViewBytes(benchmark::State& state) {
    MoveBaseline baseline(ViewBytes);
    for (auto _ : state)
        baseline.Move();
}

using Body = void (*)(benchmark::State&);

struct Measured {
    const char* name;
    Body operation;
    const char* baselineLabel;
    Body baseline;
};

void RegisterPairs() {
    const std::string sheetMove = "memmove " + std::to_string(FullSheetBytes) + " B";
    const std::string viewMove = "memmove " + std::to_string(ViewBytes) + " B";
    const std::vector<Measured> pairs = {
        {"LoadLCD/QBuffer/255", LoadLCDFromBuffer, "copy the bytes", CopyLCDBytes},
        {"LoadFromFile/LCD/255", LoadLCDFromFile, "QFile readAll", ReadLCDFile},
        {"SaveLCD/QBuffer/255", SaveLCDToBuffer, "QBuffer write", WriteLCDBytesToBuffer},
        {"SaveToFile/LCD/255", SaveLCDToFile, "QSaveFile write and commit", SaveLCDBytesSafely},
        {"InsertFrame(0)/324", InsertFirstFrame, sheetMove.c_str(), MoveFullSheet},
        {"DeleteFrame(0)/324", DeleteFirstFrame, sheetMove.c_str(), MoveFullSheet},
        {"DeleteSelectedFrames/324-every-other", DeleteEveryOtherFrame, sheetMove.c_str(),
         MoveFullSheet},
        {"DrawFrame/384x256", DrawFrameScaled, viewMove.c_str(), MoveViewBytes},
    };
    for (const Measured& pair : pairs) {
        benchmark::RegisterBenchmark(pair.name, pair.operation)->Unit(benchmark::kMicrosecond);
        const std::string label = pair.baselineLabel;
        const Body baseline = pair.baseline;
        benchmark::RegisterBenchmark((std::string(pair.name) + "/baseline").c_str(),
                                     [label, baseline](benchmark::State& state) {
                                         state.SetLabel(label);
                                         baseline(state);
                                     })
            ->Unit(benchmark::kMicrosecond);
    }
}

} // namespace

int main(int argc, char** argv) {
    RegisterPairs();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
