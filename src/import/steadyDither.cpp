#include "steadyDither.h"

#include "unitImportFrame.h"

#include <algorithm>
#include <cstdlib>

namespace vistrel {

TSteadyDither::TSteadyDither(int method, int threshold, int tolerance)
    : m_method(method), m_threshold(threshold), m_tolerance(std::max(tolerance, 0)) {}

FramePixels TSteadyDither::Next(const GreyFrame& grey) {
    GreyFrame dots = grey;
    if (!m_started) {
        m_started = true;
        m_decidedOn = grey;
        Dither(dots, m_method, m_threshold);
    } else {
        std::array<bool, FramePixelCount> kept{};
        for (std::size_t i = 0; i < grey.size(); ++i) {
            kept[i] = std::abs(grey[i] - m_decidedOn[i]) <= m_tolerance;
            if (!kept[i])
                m_decidedOn[i] = grey[i];
        }
        if (m_method == TImportFrame::Bayer || m_method == TImportFrame::Quantization) {
            // Each dot depends on its own grey alone: no error to pass on.
            Dither(dots, m_method, m_threshold);
            for (std::size_t i = 0; i < dots.size(); ++i)
                if (kept[i])
                    dots[i] = m_previous[i];
        } else {
            DitherFloydSteinbergKeeping(dots, m_threshold, kept, m_previous);
        }
    }
    m_previous = dots;
    FramePixels pixels{};
    for (std::size_t i = 0; i < dots.size(); ++i)
        pixels[i] = dots[i] == 0 ? 1 : 0;
    return pixels;
}

} // namespace vistrel
