// The main window's costs a user feels: refreshing the editor after a mouse move
// (also with the onion skin showing three frames each way),
// refreshing the frame strip, switching the current frame on a full 324-frame
// document, and opening the window, the last
// measured beside a bare Qt window opened the same way in the same run.
// Run it on a real X server (bench/window-report starts one).

#include "formMain.h"
#include "frameStrip.h"

#include <QApplication>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <benchmark/benchmark.h>

using namespace vistrel;

namespace {

QString IniPath() {
    static QTemporaryDir folder;
    return folder.filePath(QStringLiteral("VISTREL.INI"));
}

// A started window holding 324 frames, each with a different pixel lit.
std::unique_ptr<TfrmMain> FullWindow() {
    auto window = std::make_unique<TfrmMain>(QStringList{}, IniPath());
    window->show();
    window->FormActivate();
    TAnimation& animation = window->Animation();
    while (animation.AddFrame()) {
    }
    for (int i = 0; i < animation.FrameCount(); ++i) {
        animation.Frame(i).Pixels[static_cast<std::size_t>(i)] = 1;
        animation.PaintCell(i);
    }
    window->FrameStrip().UpdateStripScrollBar();
    window->FrameStrip().SetPosition(150);
    QApplication::processEvents();
    return window;
}

void StripRefresh(benchmark::State& state) {
    auto window = FullWindow();
    for (auto _ : state) {
        window->FrameStrip().RefreshFrameStrip();
        QApplication::processEvents(); // the thumbnails paint
    }
}
BENCHMARK(StripRefresh)->Unit(benchmark::kMicrosecond);

void CurFrameSwitch(benchmark::State& state) {
    auto window = FullWindow();
    int frame = 150;
    for (auto _ : state) {
        frame = frame == 150 ? 151 : 150;
        window->SetCurFrame(frame);
        QApplication::processEvents(); // the editor, preview and thumbnail paint
    }
}
BENCHMARK(CurFrameSwitch)->Unit(benchmark::kMicrosecond);

// What every mouse move on the editor costs: compose the editor picture, the
// preview and the current thumbnail, and paint them.
void EditorRefresh(benchmark::State& state) {
    auto window = FullWindow();
    window->Editor().DisplayGrid = true;
    for (auto _ : state) {
        window->RepaintEditor();
        QApplication::processEvents();
    }
}
BENCHMARK(EditorRefresh)->Unit(benchmark::kMicrosecond);

// The same with the onion skin showing three frames before and after: its
// picture is built when the frames change, so a move only composes it.
void EditorRefreshOnionSkin(benchmark::State& state) {
    auto window = FullWindow();
    window->Editor().DisplayGrid = true;
    window->Preferences().OnionSkinBefore = 3;
    window->Preferences().OnionSkinAfter = 3;
    window->ApplyOnionSkinSettings();
    window->FrameEditor().SetOnionSkinShown(true);
    for (auto _ : state) {
        window->RepaintEditor();
        QApplication::processEvents();
    }
}
BENCHMARK(EditorRefreshOnionSkin)->Unit(benchmark::kMicrosecond);

// Building the onion skin's picture, three frames each way: what a change of
// the current frame or of a neighbour adds.
void OnionSkinPicture(benchmark::State& state) {
    TAnimation animation;
    while (animation.AddFrame()) {
    }
    for (int i = 0; i < animation.FrameCount(); ++i)
        animation.Frame(i).Pixels.fill(static_cast<std::uint8_t>(i % 2));
    QImage picture = NewFrameBitmap(Qt::white);
    for (auto _ : state) {
        TOnionSkin::Paint(animation, 150, {3, 3, true}, picture);
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(OnionSkinPicture)->Unit(benchmark::kMicrosecond);

void ComposeEditorPicture(benchmark::State& state) {
    TEditorBitmaps bitmaps;
    bitmaps.DisplayGrid = true;
    for (auto _ : state) {
        bitmaps.ComposeEditorPicture();
        benchmark::DoNotOptimize(bitmaps.DisplayBitmap.constBits());
    }
}
BENCHMARK(ComposeEditorPicture)->Unit(benchmark::kMicrosecond);

// Notes the first expose event of a window.
class ExposeWatch : public QObject {
public:
    bool Exposed = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose)
            Exposed = true;
        return QObject::eventFilter(watched, event);
    }
};

// Waits for the window's first expose event, handling events as they come; no
// polling in fixed steps, so the time is not rounded to a step.
bool WaitForFirstExpose(QWidget& window) {
    QWindow* handle = window.windowHandle();
    if (handle == nullptr)
        return false;
    ExposeWatch watch;
    handle->installEventFilter(&watch);
    QTimer limit;
    limit.setSingleShot(true);
    limit.start(5000);
    while (!watch.Exposed && limit.isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    handle->removeEventFilter(&watch);
    return watch.Exposed;
}

template <typename MakeWindow> void OpenWindow(benchmark::State& state, MakeWindow make) {
    for (auto _ : state) {
        auto window = make();
        window->show();
        if (!WaitForFirstExpose(*window))
            state.SkipWithError("the window was never shown");
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void OpenMainWindow(benchmark::State& state) {
    OpenWindow(state, [] {
        auto window = std::make_unique<TfrmMain>(QStringList{}, IniPath());
        return window;
    });
}
BENCHMARK(OpenMainWindow)->Unit(benchmark::kMillisecond);

void OpenBareWindow(benchmark::State& state) {
    OpenWindow(state, [] {
        auto window = std::make_unique<QMainWindow>();
        window->resize(640, 480);
        return window;
    });
}
BENCHMARK(OpenBareWindow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char* argv[]) {
    // The windows register their file types into a folder of this run, not the user's.
    QTemporaryDir desktop;
    qputenv("XDG_DATA_HOME", QFile::encodeName(desktop.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(desktop.filePath(QStringLiteral("config"))));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
