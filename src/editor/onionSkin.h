#pragma once

#include <QImage>
#include <vector>

namespace vistrel {

class TAnimation;

// How many frames the onion skin shows on each side of the current one, and
// whether the last frame is followed by the first (a looping animation).
struct TOnionSkinSettings {
    static constexpr int MaxFrames = 3;
    int Before = 1;
    int After = 1;
    bool Wrap = false;

    bool operator==(const TOnionSkinSettings&) const = default;
};

// A frame shown faintly under the current one: which, on which side, how far.
struct TOnionNeighbour {
    int Frame = 0;
    bool Before = false;
    int Distance = 1; // 1: the frame right next to the current one

    bool operator==(const TOnionNeighbour&) const = default;
};

// The neighbours of the current frame as a picture of light tints, painted
// under the frame being edited: one tint for the frames before it, another
// for those after it, each fainter the farther its frame is. It is paint only:
// nothing of it ever reaches a frame.
class TOnionSkin {
public:
    // Full strength, for the frames next to the current one.
    static constexpr QRgb BeforeTint = 0xFF80D080; // light green
    static constexpr QRgb AfterTint = 0xFFFFB070;  // light orange

    // The frames to show around current in an animation of frameCount frames,
    // those before it first, each side nearest first. Never the current frame
    // itself; a frame that both sides reach (a short animation that wraps)
    // shows once, on the side where it is nearer, and on a tie on the side it
    // is reached without wrapping.
    static std::vector<TOnionNeighbour> Neighbours(int frameCount, int current,
                                                   const TOnionSkinSettings& settings);
    // How strongly a neighbour's tint shows, in percent: 100 next to the
    // current frame, fading with distance.
    static int Strength(int distance);
    // A cell's colour when the nearest frame before that has it lit is
    // beforeDistance away and the nearest after afterDistance (0: none).
    // Lit on both sides, the two tints mix as two coloured films would.
    static QRgb CellColour(int beforeDistance, int afterDistance);
    // The 48 x 32 tinted picture around the current frame of animation (white
    // where no neighbour is lit) into picture, which must be 48 x 32 RGB32.
    static void Paint(const TAnimation& animation, int current, const TOnionSkinSettings& settings,
                      QImage& picture);
};

} // namespace vistrel
