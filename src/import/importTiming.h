#pragma once

#include <QtGlobal>
#include <vector>

namespace vistrel {

// The LCD keeps a frame on show for 1 to 255 ticks.
inline constexpr int MaxFrameTicks = 255;
// Times from a source are outside input: held far below where adding them or
// multiplying by the speed could overflow (10^15 ms is some 30,000 years).
inline constexpr qint64 LatestSourceMs = 1'000'000'000'000'000;

// Source times in milliseconds become ticks at the player's speed (ticks a
// second). Durations come from rounded end times, never from rounded lengths,
// so that no frame drifts however many frames come before it.
class TImportTiming {
public:
    explicit TImportTiming(int fps);

    int Fps() const { return m_fps; }

    // The tick nearest to a time (halves upwards); times before the start are tick 0.
    qint64 TickAt(qint64 ms) const;
    // Whether a frame starting at startMs is already on show at tick.
    bool ShownAt(qint64 startMs, qint64 tick) const;

    // The duration of the next frame, which ends at endMs: from the previous
    // frame's end to this one's rounded end, but at least one tick. A frame
    // pushed later that way is paid back by the next frames that have room, so
    // the total stays within one tick of the source's whenever the source has
    // fewer frames than ticks.
    qint64 NextDuration(qint64 endMs);
    // The tick at which the frames handed out so far end.
    qint64 End() const { return m_end; }

private:
    int m_fps;
    qint64 m_end = 0;
};

// A held picture longer than the LCD keeps a frame becomes several frames of
// the same picture: 255 ticks each and the rest last, so no time is lost.
std::vector<int> SplitTicks(qint64 ticks);
// How many frames SplitTicks makes of ticks.
qint64 SplitCount(qint64 ticks);

} // namespace vistrel
