#include "animationImport.h"

#include "importTiming.h"
#include "steadyDither.h"

#include <algorithm>
#include <optional>

namespace vistrel {

qint64 TAnimationImportResult::TotalTicks() const {
    qint64 total = 0;
    for (const TFrame& frame : Frames)
        total += frame.Duration();
    return total;
}

namespace {

// One pass over a source: reads frame after frame, decides which are taken and
// for how long, and collects the finished frames. Holds at most the current
// source picture and the dots of the frame still growing by merges.
class TImportRun {
public:
    TImportRun(const TAnimationImportOptions& options, IAnimationSource& source,
               TAnimationImportResult& result)
        : m_options(options), m_source(source), m_result(result), m_timing(options.Fps),
          m_step(std::clamp(options.Step, 1, MaxFrameTicks)),
          m_maxFrames(std::clamp(options.MaxFrames, 0, MaxDocumentFrames)) {
        m_importer.SetScale(options.Scale);
        m_importer.SetMethod(options.Method);
        m_importer.SetThreshold(options.Threshold);
        if (options.KeepStill)
            m_steady.emplace(m_importer.Method(), m_importer.Threshold());
    }

    void Read(const TAnimationImport::Progress& progress, const std::atomic<bool>* cancel);

private:
    bool RangeIsValid();
    int Total() const;
    // Feeds one source frame that lies in the range.
    void Take(const TSourceFrame& frame, qint64 endMs);
    void Finish();
    bool Dither(const QImage& picture, FramePixels& pixels);
    void Sample(qint64 tick);
    void Add(const FramePixels& pixels, qint64 ticks);
    void Flush();
    // Stops reading; the frames made so far stay.
    void Fail(const QString& error) {
        m_result.Error = error;
        m_result.Partial = true;
        m_failed = true;
    }
    bool Stopped() const { return m_failed || m_full; }

    const TAnimationImportOptions& m_options;
    IAnimationSource& m_source;
    TAnimationImportResult& m_result;
    TImportFrame m_importer;
    // With KeepStill: the frames dithered so far, in source order.
    std::optional<TSteadyDither> m_steady;
    TImportTiming m_timing;
    const int m_step;
    const int m_maxFrames;
    bool m_failed = false;
    // No more frames fit: nothing more is added.
    bool m_full = false;

    // Where tick 0 lies in the source, once the first frame is taken.
    std::optional<qint64> m_origin;
    qint64 m_lastEndMs = 0;

    // A video: the picture on show, its dots once needed, the next tick to sample
    // and the sample whose length the next one decides.
    QImage m_shown;
    std::optional<FramePixels> m_shownPixels;
    qint64 m_nextTick = 0;
    std::optional<std::pair<FramePixels, qint64>> m_pendingSample;

    // The frame still growing: its dots and ticks.
    std::optional<FramePixels> m_run;
    qint64 m_runTicks = 0;
};

bool TImportRun::RangeIsValid() {
    const TRangeEnd& start = m_options.Start;
    const TRangeEnd& end = m_options.End;
    if ((start.Is != TRangeEnd::Open && start.Value < 0) ||
        (end.Is != TRangeEnd::Open && end.Value < 0)) {
        m_result.Error = QStringLiteral("The range starts or ends before the source's start.");
        return false;
    }
    if (start.Is == end.Is && start.Is != TRangeEnd::Open &&
        (end.Value < start.Value || (start.Is == TRangeEnd::Time && end.Value == start.Value))) {
        m_result.Error = QStringLiteral("The range ends before it starts.");
        return false;
    }
    return true;
}

int TImportRun::Total() const {
    int total = m_source.FrameCount();
    if (total >= 0 && m_options.End.Is == TRangeEnd::Frame)
        total = static_cast<int>(std::min<qint64>(total, m_options.End.Value + 1));
    return total;
}

void TImportRun::Read(const TAnimationImport::Progress& progress, const std::atomic<bool>* cancel) {
    m_result.LoopCount = m_source.LoopCount();
    if (!RangeIsValid())
        return;
    const TRangeEnd& start = m_options.Start;
    const TRangeEnd& end = m_options.End;
    const int total = Total();
    TSourceFrame frame;
    for (qint64 index = 0; !Stopped(); ++index) {
        if (cancel && cancel->load()) {
            m_result.Cancelled = true;
            m_result.Frames.clear();
            return;
        }
        if (!m_source.Next(frame)) {
            if (!m_source.Error().isEmpty())
                Fail(m_source.Error());
            break;
        }
        if (frame.Picture.isNull()) {
            Fail(QStringLiteral("Frame %1 of the source holds no picture.").arg(index + 1));
            break;
        }
        frame.StartMs = std::clamp(frame.StartMs, qint64{0}, LatestSourceMs);
        frame.DurationMs = std::clamp(frame.DurationMs, qint64{0}, LatestSourceMs);
        ++m_result.FramesRead;
        if (progress)
            progress(m_result.FramesRead, total);

        const qint64 frameEnd = frame.StartMs + frame.DurationMs;
        if (start.Is == TRangeEnd::Frame && index < start.Value)
            continue;
        if (start.Is == TRangeEnd::Time && frameEnd <= start.Value && frame.StartMs < start.Value)
            continue;
        if (end.Is == TRangeEnd::Time && frame.StartMs >= end.Value)
            break;
        Take(frame, end.Is == TRangeEnd::Time ? std::min(frameEnd, end.Value) : frameEnd);
        // The end frame is the last one read: a long source is not read to its end.
        if (end.Is == TRangeEnd::Frame && index >= end.Value)
            break;
    }
    if (!m_origin) {
        if (m_result.Error.isEmpty())
            m_result.Error = m_result.FramesRead == 0
                                 ? QStringLiteral("The source holds no frames.")
                                 : QStringLiteral("No frame of the source lies in the range.");
        return;
    }
    Finish();
}

void TImportRun::Take(const TSourceFrame& frame, qint64 endMs) {
    if (!m_origin) {
        const qint64 start =
            m_options.Start.Is == TRangeEnd::Time ? m_options.Start.Value : frame.StartMs;
        m_origin = std::max(start, frame.StartMs);
    }
    const qint64 startMs = frame.StartMs - *m_origin;
    m_lastEndMs = std::max(m_lastEndMs, endMs - *m_origin);
    if (!m_source.Sampled()) {
        FramePixels pixels;
        if (Dither(frame.Picture, pixels))
            Add(pixels, m_timing.NextDuration(endMs - *m_origin));
        return;
    }
    // Every tick before this frame starts shows the frame before it.
    while (!Stopped() && !m_shown.isNull() && !m_timing.ShownAt(startMs, m_nextTick)) {
        Sample(m_nextTick);
        m_nextTick += m_step;
    }
    m_shown = frame.Picture;
    m_shownPixels.reset();
}

void TImportRun::Finish() {
    if (m_source.Sampled()) {
        const qint64 endTick = m_timing.TickAt(m_lastEndMs);
        // The ticks after the last frame read show it, also when the source failed
        // after it; a clip shorter than half a tick still gives its one frame.
        while (!m_full && !m_shown.isNull() && (m_nextTick < endTick || !m_pendingSample)) {
            Sample(m_nextTick);
            m_nextTick += m_step;
        }
        if (m_pendingSample)
            Add(m_pendingSample->first, std::max<qint64>(endTick - m_pendingSample->second, 1));
    }
    Flush();
}

bool TImportRun::Dither(const QImage& picture, FramePixels& pixels) {
    // The same importer, options and window as a single picture gets.
    if (!m_importer.SetPicture(picture)) {
        Fail(QStringLiteral("A frame of the source cannot be converted."));
        return false;
    }
    m_importer.MoveWindowTo(m_options.Window);
    pixels = m_steady ? m_steady->Next(m_importer.WindowGrey()) : m_importer.OutputPixels();
    return true;
}

void TImportRun::Sample(qint64 tick) {
    if (!m_shownPixels) {
        FramePixels pixels;
        if (!Dither(m_shown, pixels)) {
            m_shown = QImage();
            return;
        }
        m_shownPixels = pixels;
    }
    if (m_pendingSample)
        Add(m_pendingSample->first, tick - m_pendingSample->second);
    m_pendingSample.emplace(*m_shownPixels, tick);
}

void TImportRun::Add(const FramePixels& pixels, qint64 ticks) {
    if (m_full)
        return;
    if (m_options.Merge && m_run && *m_run == pixels) {
        m_runTicks += ticks;
    } else {
        Flush();
        m_run = pixels;
        m_runTicks = ticks;
    }
    // Checked as the frame grows, so a long held picture stops the import
    // without reading the rest of the source.
    if (static_cast<qint64>(m_result.Frames.size()) + SplitCount(m_runTicks) > m_maxFrames) {
        Flush();
        m_result.Frames.erase(m_result.Frames.begin() + m_maxFrames, m_result.Frames.end());
        m_full = true;
        Fail(QStringLiteral("The animation needs more than the %1 frames left free in the "
                            "document (a document holds at most %2 frames).")
                 .arg(m_maxFrames)
                 .arg(MaxDocumentFrames));
        m_result.TooManyFrames = true;
    }
}

void TImportRun::Flush() {
    if (!m_run)
        return;
    for (const int ticks :
         SplitTicks(std::min<qint64>(m_runTicks, qint64{MaxFrameTicks} * (m_maxFrames + 1)))) {
        TFrame& frame = m_result.Frames.emplace_back();
        frame.Pixels = *m_run;
        frame.SetDuration(static_cast<std::uint8_t>(ticks));
    }
    m_run.reset();
    m_runTicks = 0;
}

} // namespace

TAnimationImportResult TAnimationImport::Run(IAnimationSource& source, const Progress& progress,
                                             const std::atomic<bool>* cancel) const {
    TAnimationImportResult result;
    TImportRun run(m_options, source, result);
    run.Read(progress, cancel);
    return result;
}

} // namespace vistrel
