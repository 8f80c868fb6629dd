// The player's timing as a user sees it: how far each tick's period strays from
// 1000 div FPS over 240 ticks at 12 FPS (median and 99th percentile), and what
// one picture costs at the largest zoom, to hold against a tick of 83 ms.
// Runs on the offscreen platform unless QT_QPA_PLATFORM names another.

#include "document.h"
#include "playerHost.h"
#include "playerPage.h"
#include "threadPlayer.h"
#include "unitPreferences.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <vector>

using namespace vistrel;

namespace {

// A document of frames with different dots lit, so the blur has work to do.
class BenchHost : public IPlayerHost {
public:
    BenchHost() : m_preferences(m_folder.filePath("VISTREL.INI"), QSize(1024, 768)) {
        TAnimation& animation = m_document.Animation();
        for (int i = 0; i < 8; ++i) {
            animation.AddFrame();
            for (int y = 0; y < FrameHeight; ++y)
                animation.Frame(i).Pixels[static_cast<std::size_t>(PixelIndex(i * 5, y))] = 1;
            animation.PaintCell(i);
        }
        animation.RepeatCount = 255;
        m_work.fill(Qt::white);
    }

    TDocument& Document() override { return m_document; }
    const QImage& WorkBitmap() const override { return m_work; }
    TVMUPreferences& Preferences() override { return m_preferences; }

private:
    QTemporaryDir m_folder;
    TVMUPreferences m_preferences;
    TDocument m_document;
    QImage m_work{FrameWidth, FrameHeight, QImage::Format_RGB32};
};

double Quantile(std::vector<double> values, double q) {
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(q * static_cast<double>(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

void TickPeriodAt12Fps(benchmark::State& state) {
    constexpr int Ticks = 240;
    for (auto _ : state) {
        BenchHost host;
        host.Preferences().PlayerFPS = 12;
        TPlayerPage page(host);
        page.resize(640, 400);
        page.show();
        page.tlbtnPlayClick();
        TPlayerThread* player = page.PlayerThread();
        std::vector<std::chrono::steady_clock::time_point> draws;
        draws.reserve(Ticks + 1);
        QEventLoop loop;
        QObject::connect(player, &TPlayerThread::Drawn, &loop, [&] {
            draws.push_back(std::chrono::steady_clock::now());
            if (static_cast<int>(draws.size()) == Ticks + 1)
                loop.quit();
        });
        loop.exec();
        page.StopPlayer();

        std::vector<double> errors;
        for (int i = 1; i <= Ticks; ++i) {
            const std::chrono::duration<double, std::milli> period = draws[i] - draws[i - 1];
            errors.push_back(std::abs(period.count() - player->TickMs()));
        }
        const std::chrono::duration<double> total = draws.back() - draws.front();
        state.SetIterationTime(total.count());
        state.counters["tick_ms"] = player->TickMs();
        state.counters["median_error_ms"] = Quantile(errors, 0.5);
        state.counters["p99_error_ms"] = Quantile(errors, 0.99);
        state.counters["max_error_ms"] = Quantile(errors, 1.0);
    }
}
BENCHMARK(TickPeriodAt12Fps)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

// One picture while paused: the blur composed at 48 x 32, then stretched onto
// the 384 x 256 box and painted.
void DrawAtZoom8(benchmark::State& state) {
    BenchHost host;
    host.Preferences().PlayerFPS = 1;
    host.Preferences().PlayerZoom = 8;
    TPlayerPage page(host);
    page.resize(640, 400);
    page.show();
    QApplication::processEvents();
    page.tlbtnPlayClick();
    page.tlbtnPauseClick();
    TPlayerThread* player = page.PlayerThread();
    bool last = false;
    for (auto _ : state) {
        // Between two frames, so that every picture has dots to fade.
        last = !last;
        if (last)
            player->ShowLast();
        else
            player->ShowFirst();
    }
}
BENCHMARK(DrawAtZoom8)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
