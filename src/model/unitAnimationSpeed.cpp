#include "unitAnimationSpeed.h"

#include "unitAnimation.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>

namespace vistrel {

std::optional<std::int64_t> ReadSpeedFactor(const QString& text) {
    static const QRegularExpression wholeNumber(QStringLiteral("^[ \\t]*([+-]?)([0-9]+)$"));
    QString digits = text;
    digits.remove(QLatin1Char('%'));
    const QRegularExpressionMatch match = wholeNumber.match(digits);
    if (!match.hasMatch())
        return std::nullopt;
    // Accumulated with a ceiling, so that any run of digits stays a number far out
    // of range instead of overflowing.
    constexpr std::int64_t Ceiling = std::numeric_limits<std::int32_t>::max() + std::int64_t{1};
    std::int64_t value = 0;
    for (const QChar digit : match.capturedView(2))
        value = std::min(value * 10 + digit.digitValue(), Ceiling);
    return match.capturedView(1) == QLatin1String("-") ? -value : value;
}

std::uint8_t ScaledDuration(std::uint8_t duration, int speedFactor) {
    const double multiplier = 100.0 / speedFactor;
    const double exact = duration * multiplier;
    // Halves go to the even neighbour: 0.5 gives 0, 1.5 gives 2, 2.5 gives 2.
    double rounded = std::floor(exact);
    const double fraction = exact - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0))
        rounded += 1.0;
    return static_cast<std::uint8_t>(std::clamp(rounded, 1.0, 255.0));
}

std::vector<std::uint8_t> ScaledDurations(const TAnimation& animation, int speedFactor,
                                          bool markedOnly) {
    std::vector<std::uint8_t> durations;
    durations.reserve(static_cast<std::size_t>(animation.FrameCount()));
    for (int index = 0; index < animation.FrameCount(); ++index) {
        const TFrame& frame = animation.Frame(index);
        const bool takesPart = !markedOnly || frame.Selected();
        durations.push_back(takesPart ? ScaledDuration(frame.Duration(), speedFactor)
                                      : frame.Duration());
    }
    return durations;
}

bool AdjustAnimationSpeed(TAnimation& animation, int speedFactor) {
    if (speedFactor == UnchangedSpeedFactor || animation.FrameCount() == 0)
        return false;
    const std::vector<std::uint8_t> durations = ScaledDurations(animation, speedFactor, false);
    for (int index = 0; index < animation.FrameCount(); ++index)
        animation.Frame(index).SetDuration(durations[static_cast<std::size_t>(index)]);
    return true;
}

} // namespace vistrel
