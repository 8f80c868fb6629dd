// What keeps a 324-frame document safe, beside the 16.7 ms of one 60 Hz frame:
// the recovery snapshot the GUI thread takes after a change, the whole-or-nothing
// write the autosave worker then makes (fsync included, so the disk's speed shows),
// the frames a delete of 300 frames takes out and an undo puts back, and that
// undo and its redo as steps of the undo history.

#include "document.h"
#include "recoveryFile.h"
#include "undoCommands.h"
#include "unitAnimation.h"

#include <QTemporaryDir>
#include <QUndoStack>
#include <benchmark/benchmark.h>

using namespace vistrel;

namespace {

void FillDocument(TAnimation& animation) {
    for (int i = 0; i < MaxDocumentFrames; ++i) {
        animation.AddFrame();
        TFrame& frame = animation.Frame(i);
        frame.SetDuration(i % 256);
        for (int p = i % 7; p < FramePixelCount; p += 7)
            frame.Pixels[static_cast<std::size_t>(p)] = 1;
    }
}

TRecoveryInfo Info() {
    TRecoveryInfo info;
    info.FileName = QStringLiteral("/home/user/animations/walk.lcd");
    info.CurrentFrame = 100;
    return info;
}

void RecoverySnapshot324Frames(benchmark::State& state) {
    TAnimation animation;
    FillDocument(animation);
    const TRecoveryInfo info = Info();
    for (auto _ : state) {
        QByteArray bytes = RecoveryFileBytes(animation, info);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(RecoverySnapshot324Frames)->Unit(benchmark::kMillisecond);

void RecoveryWrite324Frames(benchmark::State& state) {
    TAnimation animation;
    FillDocument(animation);
    const QByteArray bytes = RecoveryFileBytes(animation, Info());
    QTemporaryDir folder;
    const QString name = folder.filePath(QStringLiteral("1.recovery"));
    for (auto _ : state) {
        if (!SaveRecoveryFile(name, bytes))
            state.SkipWithError("the recovery file could not be written");
    }
}
BENCHMARK(RecoveryWrite324Frames)->Unit(benchmark::kMillisecond);

// Deleting 300 of 324 frames and undoing it: the frames go out with everything
// they hold and come back in place.
void TakeAndPutBack300Frames(benchmark::State& state) {
    TAnimation animation;
    FillDocument(animation);
    for (auto _ : state) {
        std::vector<TFrame> taken = animation.TakeFrames(10, 309);
        animation.InsertFrames(10, std::move(taken));
        benchmark::DoNotOptimize(animation.FrameCount());
    }
}
BENCHMARK(TakeAndPutBack300Frames)->Unit(benchmark::kMillisecond);

// The same through the undo history: Undo and Redo of a step that deleted 300
// frames, each a whole user action.
void UndoAndRedoADeleteOf300Frames(benchmark::State& state) {
    TDocument document;
    FillDocument(document.Animation());
    // Through the document's own history, as the Edit menu takes it: the proxy
    // that halts the player and weighs the step is part of the cost.
    document.Push(new TRemoveFramesCommand(document, 10, 309, QStringLiteral("Delete Frames")));
    QUndoStack& stack = document.UndoStack();
    for (auto _ : state) {
        stack.undo();
        stack.redo();
        benchmark::DoNotOptimize(document.Animation().FrameCount());
    }
}
BENCHMARK(UndoAndRedoADeleteOf300Frames)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
