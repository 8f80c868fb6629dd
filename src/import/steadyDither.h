#pragma once

#include "unitFrame.h"

#include <array>
#include <cstdint>

namespace vistrel {

// Dithers the frames of a moving picture one after another so that what stands
// still keeps its dots. Error diffusion lets a change anywhere ripple through
// every dot after it, and the slight noise a video codec leaves in a still
// background flips dots at random, so a still background shimmers. Here a dot
// whose grey stays within Tolerance of the grey it was last decided on keeps
// its previous value; Floyd-Steinberg still passes on the error that value
// leaves, so the brightness around it stays right. Every other dot is
// dithered as usual. The first frame is exactly the plain method's.
class TSteadyDither {
public:
    using GreyFrame = std::array<std::uint8_t, FramePixelCount>;

    // Fine codec noise in a still part, well below a real change of tone.
    static constexpr int DefaultTolerance = 6;

    // method: a TImportFrame::DitherMethod; threshold as for a single picture.
    TSteadyDither(int method, int threshold, int tolerance = DefaultTolerance);

    // The dots of the next frame from its window's grey (row by row, 0 black
    // to 255 white): 1 for a lit dot, 0 for an unlit one.
    FramePixels Next(const GreyFrame& grey);

private:
    int m_method;
    int m_threshold;
    int m_tolerance;
    bool m_started = false;
    // The grey each dot was last decided on: a slow fade moves away from it
    // and is followed once it has moved further than the tolerance.
    GreyFrame m_decidedOn{};
    // The last frame's dots, 0 (lit) or 255 (unlit) as the dithering leaves them.
    GreyFrame m_previous{};
};

} // namespace vistrel
