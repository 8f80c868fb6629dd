#pragma once

#include "unitFrame.h"

#include <QRect>
#include <span>

namespace vistrel {

// How much a run of frames shimmers inside region (frame coordinates, cut to
// the frame): the dots that change between each frame and the next, as a
// share of every dot of the region in every such pair. 0 for fewer than two
// frames or a region outside the frame; 1 when every dot flips every time.
double FlickerShare(std::span<const FramePixels> frames, QRect region);

} // namespace vistrel
