#include "animationImport.h"
#include "importTiming.h"

#include <QString>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

using namespace vistrel;

namespace {

// A picture of grey noise with a dark block whose place depends on id, larger
// than the frame so that the scale and the window matter: pictures of
// different ids dither differently, equal ids alike.
QImage Pattern(int id, QSize size = {120, 90}) {
    QImage picture(size, QImage::Format_RGB32);
    unsigned seed = 7919u * static_cast<unsigned>(id) + 1u;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            seed = seed * 1103515245u + 12345u;
            const int grey = static_cast<int>((seed >> 16) % 256);
            picture.setPixel(x, y, qRgb(grey, grey, grey));
        }
    const int left = (id * 7) % (size.width() - 12);
    const int top = (id * 5) % (size.height() - 12);
    for (int y = top; y < top + 12; ++y)
        for (int x = left; x < left + 12; ++x)
            picture.setPixel(x, y, qRgb(0, 0, 0));
    return picture;
}

struct TFakeFrame {
    int Id = 0; // below 0: no picture
    qint64 StartMs = 0;
    qint64 DurationMs = 0;
};

// Frames made on demand, so that a long source costs no memory; it may fail
// after a number of frames as a truncated file does.
class TFakeSource : public IAnimationSource {
public:
    TFakeSource(int count, std::function<TFakeFrame(int)> frame, bool sampled = false)
        : m_count(count), m_frame(std::move(frame)), m_sampled(sampled) {}

    int FailAfter = -1;
    int Loops = 3;
    QSize PictureSize{120, 90};

    int FrameCount() const override { return m_sampled ? -1 : m_count; }
    qint64 LengthMs() const override { return -1; }
    int LoopCount() const override { return Loops; }
    QSize Size() const override { return PictureSize; }
    bool Sampled() const override { return m_sampled; }
    bool Next(TSourceFrame& frame) override {
        if (m_read == FailAfter) {
            m_error = QStringLiteral("the file ends in the middle of a frame");
            return false;
        }
        if (m_read >= m_count)
            return false;
        const TFakeFrame fake = m_frame(m_read++);
        frame.Picture = fake.Id < 0 ? QImage() : Pattern(fake.Id, PictureSize);
        frame.StartMs = fake.StartMs;
        frame.DurationMs = fake.DurationMs;
        return true;
    }
    QString Error() const override { return m_error; }
    int FramesRead() const override { return m_read; }
    bool Rewind() override {
        m_read = 0;
        m_error.clear();
        return true;
    }

private:
    int m_count;
    std::function<TFakeFrame(int)> m_frame;
    bool m_sampled;
    int m_read = 0;
    QString m_error;
};

// Frames one after another with the given delays, picture ids 0, 1, 2, ...
TFakeSource Delays(const std::vector<qint64>& delays) {
    std::vector<TFakeFrame> frames;
    qint64 start = 0;
    for (const qint64 delay : delays) {
        frames.push_back({static_cast<int>(frames.size()), start, delay});
        start += delay;
    }
    return TFakeSource(static_cast<int>(frames.size()),
                       [frames](int i) { return frames[static_cast<std::size_t>(i)]; });
}

// Frames of the given picture ids, each lasting delay.
TFakeSource Pictures(const std::vector<int>& ids, qint64 delay) {
    return TFakeSource(static_cast<int>(ids.size()), [ids, delay](int i) {
        return TFakeFrame{ids[static_cast<std::size_t>(i)], i * delay, delay};
    });
}

// A clip of fps frames a second, frame i showing picture i, timed as a
// decoder gives them (whole milliseconds).
TFakeSource Clip(int fps, int frames) {
    return TFakeSource(
        frames,
        [fps](int i) {
            const qint64 start = qint64{i} * 1000 / fps;
            return TFakeFrame{i, start, qint64{i + 1} * 1000 / fps - start};
        },
        true);
}

std::vector<int> Durations(const TAnimationImportResult& result) {
    std::vector<int> durations;
    for (const TFrame& frame : result.Frames)
        durations.push_back(frame.Duration());
    return durations;
}

// What the Import page makes of the picture alone, the options set after it
// as a user sets them.
FramePixels Alone(const QImage& picture, const TAnimationImportOptions& options) {
    TImportFrame importer;
    importer.SetPicture(picture);
    importer.SetScale(options.Scale);
    importer.SetMethod(options.Method);
    importer.SetThreshold(options.Threshold);
    importer.MoveWindowTo(options.Window);
    return importer.OutputPixels();
}

// The picture ids the frames show, found by comparing each frame with every
// candidate dithered alone; -1 where none matches.
std::vector<int> ShownIds(const TAnimationImportResult& result,
                          const TAnimationImportOptions& options, int candidates) {
    std::vector<FramePixels> alone;
    for (int id = 0; id < candidates; ++id)
        alone.push_back(Alone(Pattern(id), options));
    std::vector<int> ids;
    for (const TFrame& frame : result.Frames) {
        int shown = -1;
        for (int id = 0; id < candidates && shown < 0; ++id)
            if (alone[static_cast<std::size_t>(id)] == frame.Pixels)
                shown = id;
        ids.push_back(shown);
    }
    return ids;
}

TAnimationImportOptions NoMerge(int fps) {
    TAnimationImportOptions options;
    options.Fps = fps;
    options.Merge = false;
    options.Scale = TImportFrame::ScaleToFit;
    return options;
}

} // namespace

TEST(AnimationImportTiming, DurationsComeFromRoundedEndTimesAndLastAtLeastOneTick) {
    struct Case {
        const char* what;
        int fps;
        std::vector<qint64> delays;
        std::vector<int> ticks;
    };
    const Case cases[] = {
        {"100 ms at 12 FPS", 12, {100, 100, 100, 100, 100}, {1, 1, 2, 1, 1}},
        {"100 ms at 30 FPS", 30, {100, 100, 100}, {3, 3, 3}},
        // Rounded lengths would give 2 each, 20 in all: the source lasts 15.6.
        {"130 ms without drift", 12, std::vector<qint64>(10, 130), {2, 1, 2, 1, 2, 1, 2, 1, 2, 2}},
        {"a half tick rounds up", 12, {125}, {2}},
        {"sub-tick frames repaid by a long one", 12, {10, 10, 500}, {1, 1, 4}},
        {"sub-tick frames at 30 FPS", 30, {10, 10, 10, 100}, {1, 1, 1, 1}},
        {"zero delays", 12, {0, 0, 250}, {1, 1, 1}},
        {"exactly 255 ticks", 12, {21250}, {255}},
        {"just over 255 ticks is split", 12, {21300}, {255, 1}},
        {"30 s is split", 12, {30000, 100}, {255, 105, 1}},
        {"30 s at 30 FPS", 30, {30000}, {255, 255, 255, 135}},
    };
    for (const Case& c : cases) {
        TFakeSource source = Delays(c.delays);
        const TAnimationImportResult result = TAnimationImport(NoMerge(c.fps)).Run(source);
        EXPECT_EQ(Durations(result), c.ticks) << c.what;
        EXPECT_TRUE(result.Error.isEmpty()) << c.what << ": " << result.Error.toStdString();
    }
}

TEST(AnimationImportTiming, TicksAreTheNearestTickWithHalvesUpwards) {
    struct Case {
        int fps;
        qint64 ms;
        qint64 tick;
    };
    const Case cases[] = {{12, 0, 0},
                          {12, 41, 0},
                          {12, 42, 1},
                          {12, 125, 2},
                          {30, 50, 2},
                          {30, 49, 1},
                          {12, -500, 0},
                          {1, 499, 0},
                          {1, 500, 1},
                          {25, 20, 1},
                          {12, 1000, 12},
                          {12, 60'000, 720},
                          {0, 1500, 2}, // a speed below one tick a second counts as one
                          {12, qint64{1} << 62, 12'000'000'000'000}}; // held, not overflowed
    for (const Case& c : cases)
        EXPECT_EQ(TImportTiming(c.fps).TickAt(c.ms), c.tick) << c.ms << " ms at " << c.fps;
}

TEST(AnimationImportSampling, AClipShowsAtEachSampledTickTheLastFrameStartedByThen) {
    struct Case {
        const char* what;
        int clipFps;
        int clipFrames;
        int step;
        bool merge;
        std::vector<int> ids;
        std::vector<int> ticks;
    };
    const std::vector<int> ticks1(12, 1);
    const Case cases[] = {
        // Every 2.5th frame: tick k shows frame floor(k * 2.5).
        {"30 FPS at 12", 30, 30, 1, false, {0, 2, 5, 7, 10, 12, 15, 17, 20, 22, 25, 27}, ticks1},
        {"every 2 ticks", 30, 30, 2, false, {0, 5, 10, 15, 20, 25}, std::vector<int>(6, 2)},
        {"the last sample keeps the rest", 30, 30, 5, false, {0, 12, 25}, {5, 5, 2}},
        // A 5 FPS clip holds each picture for 2 or 3 ticks, as the ticks fall.
        {"5 FPS at 12, merged", 5, 5, 1, true, {0, 1, 2, 3, 4}, {3, 2, 3, 2, 2}},
        {"5 FPS at 12, not merged", 5, 2, 1, false, {0, 0, 0, 1, 1}, {1, 1, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        TFakeSource source = Clip(c.clipFps, c.clipFrames);
        TAnimationImportOptions options = NoMerge(12);
        options.Step = c.step;
        options.Merge = c.merge;
        const TAnimationImportResult result = TAnimationImport(options).Run(source);
        EXPECT_EQ(ShownIds(result, options, c.clipFrames), c.ids) << c.what;
        EXPECT_EQ(Durations(result), c.ticks) << c.what;
        EXPECT_EQ(result.FramesRead, c.clipFrames) << c.what;
    }
}

TEST(AnimationImportMerging, IdenticalNeighboursBecomeOneFrameOfAtMost255Ticks) {
    struct Case {
        const char* what;
        std::vector<int> ids;
        qint64 delay;
        bool merge;
        std::vector<int> shown;
        std::vector<int> ticks;
    };
    const Case cases[] = {
        {"held poses", {1, 1, 2, 2, 2, 1}, 250, true, {1, 2, 1}, {6, 9, 3}},
        {"merging off", {1, 1, 2}, 250, false, {1, 1, 2}, {3, 3, 3}},
        {"a long hold", {4, 4, 4, 5}, 20000, true, {4, 4, 4, 5}, {255, 255, 210, 240}},
    };
    for (const Case& c : cases) {
        TFakeSource source = Pictures(c.ids, c.delay);
        TAnimationImportOptions options = NoMerge(12);
        options.Merge = c.merge;
        const TAnimationImportResult result = TAnimationImport(options).Run(source);
        EXPECT_EQ(ShownIds(result, options, 6), c.shown) << c.what;
        EXPECT_EQ(Durations(result), c.ticks) << c.what;
    }
}

TEST(AnimationImport, EachFrameIsWhatThePictureGivesAloneWithTheSameOptions) {
    struct Case {
        int scale;
        int method;
        int threshold;
        QPoint window;
    };
    const Case cases[] = {
        {TImportFrame::ScaleToFit, TImportFrame::FloydSteinberg, 128, {0, 0}},
        {50, TImportFrame::Bayer, 100, {10, 5}},
        {100, TImportFrame::Quantization, 140, {30, 20}},
        {75, TImportFrame::FloydSteinberg, 90, {500, 500}}, // held inside the picture
    };
    for (const Case& c : cases) {
        TAnimationImportOptions options = NoMerge(12);
        options.Scale = c.scale;
        options.Method = c.method;
        options.Threshold = c.threshold;
        options.Window = c.window;
        TFakeSource source = Delays(std::vector<qint64>(5, 100));
        const TAnimationImportResult result = TAnimationImport(options).Run(source);
        ASSERT_EQ(result.Frames.size(), 5u);
        for (int k = 0; k < 5; ++k)
            EXPECT_TRUE(result.Frames[static_cast<std::size_t>(k)].Pixels ==
                        Alone(Pattern(k), options))
                << "frame " << k << " at scale " << c.scale << ", method " << c.method;
    }
}

TEST(AnimationImport, TakesThePartBetweenTheStartAndEndByTimeOrFrameNumber) {
    struct Case {
        const char* what;
        TRangeEnd start;
        TRangeEnd end;
        std::vector<int> ids; // none: the range is refused with a message
        std::vector<int> ticks;
        int framesRead;
    };
    const auto frame = TRangeEnd::AtFrame;
    const auto ms = TRangeEnd::AtMs;
    // Ten frames of 100 ms at 20 FPS: two ticks each.
    const Case cases[] = {
        {"frames 3 to 5", frame(3), frame(5), {3, 4, 5}, {2, 2, 2}, 6},
        {"from frame 8 on", frame(8), {}, {8, 9}, {2, 2}, 10},
        {"0.3 s to 0.5 s", ms(300), ms(500), {3, 4}, {2, 2}, 6},
        // A start inside frame 2 takes the rest of frame 2: one tick.
        {"0.25 s to 0.6 s", ms(250), ms(600), {2, 3, 4, 5}, {1, 2, 2, 2}, 7},
        {"frame 1 to 0.35 s", frame(1), ms(350), {1, 2, 3}, {2, 2, 1}, 5},
        {"ends before it starts", frame(5), frame(3), {}, {}, 0},
        {"starts after the source", frame(20), {}, {}, {}, 10},
    };
    for (const Case& c : cases) {
        TFakeSource source = Delays(std::vector<qint64>(10, 100));
        TAnimationImportOptions options = NoMerge(20);
        options.Start = c.start;
        options.End = c.end;
        const TAnimationImportResult result = TAnimationImport(options).Run(source);
        EXPECT_EQ(ShownIds(result, options, 10), c.ids) << c.what;
        EXPECT_EQ(Durations(result), c.ticks) << c.what;
        EXPECT_EQ(result.FramesRead, c.framesRead) << c.what;
        EXPECT_EQ(result.Error.isEmpty(), !c.ids.empty())
            << c.what << ": " << result.Error.toStdString();
    }
}

TEST(AnimationImport, ASourceFailingPartWayKeepsTheFramesReadAndSaysHowMany) {
    TFakeSource animation = Delays(std::vector<qint64>(10, 100));
    animation.FailAfter = 4;
    TFakeSource clip = Clip(30, 30);
    clip.FailAfter = 15; // half a second
    struct Case {
        const char* what;
        TFakeSource& source;
        std::vector<int> ids;
    };
    // At 10 FPS tick k of the 30 FPS clip shows its frame 3k.
    const Case cases[] = {{"animation", animation, {0, 1, 2, 3}}, {"clip", clip, {0, 3, 6, 9, 12}}};
    for (const Case& c : cases) {
        const TAnimationImportResult result = TAnimationImport(NoMerge(10)).Run(c.source);
        EXPECT_TRUE(result.Partial) << c.what;
        EXPECT_FALSE(result.TooManyFrames) << c.what;
        EXPECT_EQ(result.FramesRead, c.source.FailAfter) << c.what;
        EXPECT_EQ(result.Error, QStringLiteral("the file ends in the middle of a frame")) << c.what;
        EXPECT_EQ(ShownIds(result, NoMerge(10), 30), c.ids) << c.what;
        EXPECT_EQ(result.LoopCount, 3) << c.what;
    }
    // The clip's half second read is six ticks at 12 FPS: the frames read keep their time.
    TFakeSource again = Clip(30, 30);
    again.FailAfter = 15;
    EXPECT_EQ(TAnimationImport(NoMerge(12)).Run(again).TotalTicks(), 6);

    // A source handing out an empty picture stops there, as one that fails.
    TFakeSource holed(5, [](int i) { return TFakeFrame{i == 2 ? -1 : i, i * 100, 100}; });
    const TAnimationImportResult result = TAnimationImport(NoMerge(10)).Run(holed);
    EXPECT_TRUE(result.Partial);
    EXPECT_EQ(result.FramesRead, 2);
    EXPECT_EQ(result.Frames.size(), 2u);
    EXPECT_EQ(result.Error, QStringLiteral("Frame 3 of the source holds no picture."));
}

TEST(AnimationImport, CancelStopsReadingAndGivesNoFrames) {
    TFakeSource source = Delays(std::vector<qint64>(50, 100));
    std::atomic<bool> cancel{false};
    std::vector<std::pair<int, int>> reports;
    const TAnimationImportResult result = TAnimationImport(NoMerge(12))
                                              .Run(
                                                  source,
                                                  [&](int done, int total) {
                                                      reports.emplace_back(done, total);
                                                      if (done == 3)
                                                          cancel = true;
                                                  },
                                                  &cancel);
    EXPECT_TRUE(result.Cancelled);
    EXPECT_TRUE(result.Frames.empty());
    EXPECT_EQ(source.FramesRead(), 3);
    EXPECT_EQ(reports, (std::vector<std::pair<int, int>>{{1, 50}, {2, 50}, {3, 50}}));
}

TEST(AnimationImport, StopsAtTheFreeRoomOfTheDocumentWithoutReadingTheRest) {
    struct Case {
        const char* what;
        int maxFrames;
        bool merge;
        int sameId; // -1: every frame different
        int framesRead;
    };
    const Case cases[] = {
        {"10,000 frames into an empty document", 324, false, -1, 325},
        {"into a document with 5 frames free", 5, true, -1, 6},
        // One picture held 10,000 ticks needs 40 frames of 255: two are full
        // after 510 ticks, the 511th does not fit.
        {"a picture held too long", 2, true, 0, 511},
    };
    for (const Case& c : cases) {
        const int sameId = c.sameId;
        TFakeSource source(10'000, [sameId](int i) {
            return TFakeFrame{sameId < 0 ? i % 200 : sameId, i * 100, 100};
        });
        source.PictureSize = {60, 40};
        TAnimationImportOptions options = NoMerge(10);
        options.MaxFrames = c.maxFrames;
        options.Merge = c.merge;
        const TAnimationImportResult result = TAnimationImport(options).Run(source);
        EXPECT_TRUE(result.TooManyFrames) << c.what;
        EXPECT_TRUE(result.Partial) << c.what;
        EXPECT_EQ(static_cast<int>(result.Frames.size()), c.maxFrames) << c.what;
        EXPECT_EQ(result.FramesRead, c.framesRead) << c.what;
        EXPECT_TRUE(result.Error.contains(QString::number(c.maxFrames))) << c.what;
        EXPECT_TRUE(result.Error.contains(QStringLiteral("324 frames"))) << c.what;
    }
}

TEST(AnimationImport, AbsurdSourceTimesFillTheDocumentAndStop) {
    // Times no real source gives: added up, they overflow unless held.
    constexpr qint64 endless = std::numeric_limits<qint64>::max();
    for (const bool sampled : {false, true}) {
        TFakeSource source(
            2,
            [](int i) {
                return TFakeFrame{i, i == 0 ? 0 : endless, endless};
            },
            sampled);
        const TAnimationImportResult result = TAnimationImport(NoMerge(12)).Run(source);
        EXPECT_TRUE(result.TooManyFrames) << "sampled " << sampled;
        EXPECT_EQ(result.Frames.size(), std::size_t{MaxDocumentFrames}) << "sampled " << sampled;
        EXPECT_LE(result.FramesRead, 2) << "sampled " << sampled;
    }
}
