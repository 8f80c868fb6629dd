#pragma once

#include "animationSource.h"
#include "unitFrame.h"
#include "unitImportFrame.h"

#include <QPoint>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

namespace vistrel {

// One end of the part of a source to take: a time in milliseconds from the
// source's start, or a frame number counted from 0.
struct TRangeEnd {
    enum Kind : std::uint8_t { Open, Time, Frame };
    Kind Is = Open;
    qint64 Value = 0;

    static TRangeEnd AtMs(qint64 ms) { return {Time, ms}; }
    static TRangeEnd AtFrame(qint64 frame) { return {Frame, frame}; }
};

struct TAnimationImportOptions {
    // As for a single picture: percent or TImportFrame::ScaleToFit, the
    // dithering method and threshold, and the window's top-left on the scaled picture.
    int Scale = 100;
    int Method = TImportFrame::FloydSteinberg;
    int Threshold = 128;
    QPoint Window{0, 0};
    // Ticks a second of the player, and for a video how many ticks each sample covers.
    int Fps = 12;
    int Step = 1;
    // Consecutive frames with the same dots become one longer frame.
    bool Merge = true;
    // Dots of the parts that stand still keep their value from frame to frame
    // instead of shimmering with the codec's noise and the error diffusion;
    // the first frame is still exactly the single picture's.
    bool KeepStill = false;
    // The start frame or time is taken; a start time inside a frame takes that
    // frame from that moment. The end frame is taken, the end time is not.
    TRangeEnd Start;
    TRangeEnd End;
    // The room left in the document.
    int MaxFrames = MaxDocumentFrames;
};

struct TAnimationImportResult {
    std::vector<TFrame> Frames;
    // Source frames read, including those before the range.
    int FramesRead = 0;
    // Why the import stopped early or took nothing; empty when all went well.
    QString Error;
    // Stopped before the end of the range: the source failed part-way, or the
    // frames did not fit (TooManyFrames). Frames holds what was made until then.
    bool Partial = false;
    bool TooManyFrames = false;
    // Stopped on request; Frames is then empty.
    bool Cancelled = false;
    // The source's loop count: 0 forever, -1 when it says nothing.
    int LoopCount = -1;

    qint64 TotalTicks() const;
};

// Turns a moving source into timed frames: every picture dithered exactly as
// the Import page dithers it alone, its time turned into ticks, a video
// sampled once a step, identical neighbours merged. Reads the source once, in
// order, and keeps only the frames it makes. No widgets.
class TAnimationImport {
public:
    // done: source frames read; total: how many there are to read, or -1 when unknown.
    using Progress = std::function<void(int done, int total)>;

    explicit TAnimationImport(const TAnimationImportOptions& options) : m_options(options) {}

    const TAnimationImportOptions& Options() const { return m_options; }

    // cancel is looked at before every source frame; progress may set it.
    TAnimationImportResult Run(IAnimationSource& source, const Progress& progress = {},
                               const std::atomic<bool>* cancel = nullptr) const;

private:
    TAnimationImportOptions m_options;
};

} // namespace vistrel
