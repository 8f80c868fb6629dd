#include "importTiming.h"

#include <algorithm>

namespace vistrel {

namespace {

constexpr int HighestFps = 1000;

} // namespace

TImportTiming::TImportTiming(int fps) : m_fps(std::clamp(fps, 1, HighestFps)) {}

qint64 TImportTiming::TickAt(qint64 ms) const {
    if (ms <= 0)
        return 0;
    ms = std::min(ms, LatestSourceMs);
    // ms * fps / 1000 rounded, halves upwards, in whole numbers.
    return (ms * m_fps * 2 + 1000) / 2000;
}

bool TImportTiming::ShownAt(qint64 startMs, qint64 tick) const {
    // startMs <= tick * 1000 / fps, without the division's rounding.
    return std::clamp(startMs, -LatestSourceMs, LatestSourceMs) * m_fps <=
           std::min(tick, LatestSourceMs) * 1000;
}

qint64 TImportTiming::NextDuration(qint64 endMs) {
    const qint64 duration = std::max<qint64>(TickAt(endMs) - m_end, 1);
    m_end += duration;
    return duration;
}

std::vector<int> SplitTicks(qint64 ticks) {
    std::vector<int> pieces;
    for (; ticks > MaxFrameTicks; ticks -= MaxFrameTicks)
        pieces.push_back(MaxFrameTicks);
    pieces.push_back(static_cast<int>(std::max<qint64>(ticks, 1)));
    return pieces;
}

qint64 SplitCount(qint64 ticks) {
    return ticks <= MaxFrameTicks ? 1 : (ticks + MaxFrameTicks - 1) / MaxFrameTicks;
}

} // namespace vistrel
