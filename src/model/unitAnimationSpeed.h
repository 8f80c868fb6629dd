#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace vistrel {

class TAnimation;

// Playing speeds in percent of the animation's own: 200 halves every duration,
// 50 doubles it.
inline constexpr int MinSpeedFactor = 1;
inline constexpr int MaxSpeedFactor = 25500;
// The animation's own speed: asking for it changes nothing, not even a 0-tick
// frame, which every other speed raises to 1 tick.
inline constexpr int UnchangedSpeedFactor = 100;

// A speed as the user types it: every "%" is dropped, then a whole decimal
// number with an optional sign and leading blanks must remain ("150%", " 150",
// "+150"). Nothing when the text is no such number. A number too large for an
// int comes back as a value beyond MaxSpeedFactor, never wrapped into range.
std::optional<std::int64_t> ReadSpeedFactor(const QString& text);

inline bool IsValidSpeedFactor(std::int64_t speedFactor) {
    return speedFactor >= MinSpeedFactor && speedFactor <= MaxSpeedFactor;
}

// A duration played at speedFactor percent: duration x 100 / speedFactor,
// rounded to the nearest whole tick with halves going to the even neighbour,
// then kept within 1..255.
std::uint8_t ScaledDuration(std::uint8_t duration, int speedFactor);

// Every frame's duration once the frames that take part are played at
// speedFactor percent: the frames with the range mark when markedOnly, else
// all of them. The others keep their durations, so the result can replace the
// animation's durations as they stand.
std::vector<std::uint8_t> ScaledDurations(const TAnimation& animation, int speedFactor,
                                          bool markedOnly);

// Rescales the duration of every frame for speedFactor percent (which must be
// valid); the times of the frames follow. False, with nothing touched, when the
// speed is UnchangedSpeedFactor or there are no frames.
bool AdjustAnimationSpeed(TAnimation& animation, int speedFactor);

} // namespace vistrel
