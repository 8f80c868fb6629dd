#pragma once

#include "animationImport.h"
#include "animationSource.h"
#include "importTiming.h"

#include <QImage>
#include <QString>
#include <deque>
#include <memory>
#include <vector>

namespace vistrel {

// A moving source held open for the Import page: how long it is, the picture
// at any position of the slider, and the part of it the user marks for Insert
// All. An animation's positions are its frames; a clip's are the player's
// ticks, since a clip is taken once a tick. Reading goes forward from the last
// position and starts again from the top only when the user goes back further
// than the frames it keeps, so sliding along a clip decodes it once. No widgets.
class TAnimationBrowser {
public:
    // fps: the player's ticks a second.
    TAnimationBrowser(std::unique_ptr<IAnimationSource> source, int fps);

    // nullptr, with the reason, when the file holds no moving source.
    static std::unique_ptr<TAnimationBrowser> Open(const QString& fileName, bool sequence, int fps,
                                                   QString* reason);

    const IAnimationSource& Source() const { return *m_source; }
    // Positions are ticks of a clip, frames of anything else.
    bool ByTime() const { return m_byTime; }
    int Positions() const { return m_positions; }

    // "24 frames, 2.0 s"; a clip that does not tell its frames: "2.0 s".
    QString Summary() const;
    // "frame 3, 0.25 s" (the time once the frame was read), or for a clip "1.25 s".
    QString PositionText(int position) const;
    // The moment a position starts, from the source's start; -1 while unknown
    // (a frame not read yet).
    qint64 PositionMs(int position) const;

    // The picture shown at a position, or null when the source cannot give it
    // (Error() then says why; a position past a source's end gives its last picture).
    QImage PictureAt(int position);
    QString Error() const { return m_error; }

    // The part to take: both ends are taken. Setting one end past the other
    // moves the other along.
    int Start() const { return m_start; }
    int End() const { return m_end; }
    void SetStart(int position);
    void SetEnd(int position);
    // "Take frame 2, 0.10 s to frame 4, 0.30 s"; a clip's part ends where its
    // last tick does: "Take 0.25 s to 1.00 s".
    QString RangeText() const;
    // The part as the importer takes it.
    TRangeEnd RangeStart() const;
    TRangeEnd RangeEnd() const;

private:
    bool ReadNext();
    void Restart();
    int Clamp(int position) const;

    std::unique_ptr<IAnimationSource> m_source;
    TImportTiming m_timing;
    bool m_byTime = false;
    int m_positions = 1;
    int m_start = 0;
    int m_end = 0;
    QString m_error;

    // The frames read last, oldest first, so that stepping back a little needs
    // no second pass; bounded in memory. The last one is frame m_read - 1.
    static constexpr qint64 RecentBytes = qint64{64} * 1024 * 1024;
    static constexpr std::size_t RecentFrames = 100;
    int FirstRecent() const { return m_read - static_cast<int>(m_recent.size()); }
    std::deque<TSourceFrame> m_recent;
    qint64 m_recentBytes = 0;
    int m_read = 0;
    bool m_ended = false;
    QString m_endError;
    // Where a clip's tick 0 lies: its first frame's start.
    qint64 m_origin = 0;
    // Each frame's start, as far as the frames were read.
    std::vector<qint64> m_starts;
};

} // namespace vistrel
