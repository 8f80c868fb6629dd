#include "onionSkin.h"

#include "unitAnimation.h"

#include <algorithm>
#include <array>

namespace vistrel {

namespace {

constexpr int Sides = 2;                                  // before, after
constexpr int Levels = TOnionSkinSettings::MaxFrames + 1; // 0: not lit on that side

struct TReach {
    int distance = 0; // 0: not reached
    bool wrapped = false;
    bool before = false;
};

// One channel of a tint faded towards white.
int Faded(int channel, int strength) {
    return 255 - (255 - channel) * strength / 100;
}

QRgb FadedTint(QRgb tint, int distance) {
    if (distance == 0)
        return 0xFFFFFFFF;
    const int strength = TOnionSkin::Strength(distance);
    return qRgb(Faded(qRed(tint), strength), Faded(qGreen(tint), strength),
                Faded(qBlue(tint), strength));
}

// Every combination of distances, so that painting a cell is one look-up.
using TColourTable = std::array<std::array<QRgb, Levels>, Levels>;

TColourTable BuildColourTable() {
    TColourTable table{};
    for (int before = 0; before < Levels; ++before)
        for (int after = 0; after < Levels; ++after) {
            const QRgb b = FadedTint(TOnionSkin::BeforeTint, before);
            const QRgb a = FadedTint(TOnionSkin::AfterTint, after);
            table[static_cast<std::size_t>(before)][static_cast<std::size_t>(after)] = qRgb(
                qRed(b) * qRed(a) / 255, qGreen(b) * qGreen(a) / 255, qBlue(b) * qBlue(a) / 255);
        }
    return table;
}

const TColourTable& ColourTable() {
    static const TColourTable table = BuildColourTable();
    return table;
}

} // namespace

int TOnionSkin::Strength(int distance) {
    return distance < 1 || distance > TOnionSkinSettings::MaxFrames
               ? 0
               : 100 * (TOnionSkinSettings::MaxFrames + 1 - distance) /
                     TOnionSkinSettings::MaxFrames;
}

QRgb TOnionSkin::CellColour(int beforeDistance, int afterDistance) {
    const auto level = [](int distance) {
        return static_cast<std::size_t>(std::clamp(distance, 0, TOnionSkinSettings::MaxFrames));
    };
    return ColourTable()[level(beforeDistance)][level(afterDistance)];
}

std::vector<TOnionNeighbour> TOnionSkin::Neighbours(int frameCount, int current,
                                                    const TOnionSkinSettings& settings) {
    if (frameCount <= 0 || current < 0 || current >= frameCount)
        return {};
    std::vector<TReach> reached(static_cast<std::size_t>(frameCount));
    const auto reach = [&](bool before, int count) {
        count = std::clamp(count, 0, TOnionSkinSettings::MaxFrames);
        for (int distance = 1; distance <= count; ++distance) {
            const int index = before ? current - distance : current + distance;
            const bool wrapped = index < 0 || index >= frameCount;
            if (wrapped && !settings.Wrap)
                break;
            const int frame = (index % frameCount + frameCount) % frameCount;
            if (frame == current)
                continue;
            TReach& r = reached[static_cast<std::size_t>(frame)];
            const bool better = r.distance == 0 || distance < r.distance ||
                                (distance == r.distance && r.wrapped && !wrapped);
            if (better)
                r = {distance, wrapped, before};
        }
    };
    reach(true, settings.Before);
    reach(false, settings.After);

    std::vector<TOnionNeighbour> neighbours;
    for (const bool before : {true, false})
        for (int distance = 1; distance <= TOnionSkinSettings::MaxFrames; ++distance)
            for (int frame = 0; frame < frameCount; ++frame) {
                const TReach& r = reached[static_cast<std::size_t>(frame)];
                if (r.distance == distance && r.before == before)
                    neighbours.push_back({frame, before, distance});
            }
    return neighbours;
}

void TOnionSkin::Paint(const TAnimation& animation, int current, const TOnionSkinSettings& settings,
                       QImage& picture) {
    // The nearest lit distance on each side of every cell: the farthest
    // frames are laid down first and the nearer ones over them.
    std::array<std::array<std::uint8_t, FramePixelCount>, Sides> nearest{};
    const std::vector<TOnionNeighbour> neighbours =
        Neighbours(animation.FrameCount(), current, settings);
    for (auto n = neighbours.rbegin(); n != neighbours.rend(); ++n) {
        auto& side = nearest[n->Before ? 0 : 1];
        const FramePixels& pixels = animation.Frame(n->Frame).Pixels;
        for (int i = 0; i < FramePixelCount; ++i)
            if (pixels[static_cast<std::size_t>(i)] == 1)
                side[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(n->Distance);
    }
    const TColourTable& table = ColourTable();
    for (int y = 0; y < FrameHeight; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < FrameWidth; ++x) {
            const auto i = static_cast<std::size_t>(PixelIndex(x, y));
            row[x] = table[nearest[0][i]][nearest[1][i]];
        }
    }
}

} // namespace vistrel
