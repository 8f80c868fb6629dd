#include "steadyDither.h"

#include "unitImportFrame.h"

#include <algorithm>
#include <cstdlib>

namespace vistrel {

namespace {

using GreyFrame = TSteadyDither::GreyFrame;

void DitherPlain(GreyFrame& grey, int method, int threshold) {
    switch (method) {
    case TImportFrame::Bayer:
        DitherBayer(grey, threshold);
        break;
    case TImportFrame::Quantization:
        DitherQuantize(grey, threshold);
        break;
    default:
        DitherFloydSteinberg(grey, threshold);
        break;
    }
}

// Floyd-Steinberg with the same error arithmetic as the plain method, where a
// kept dot takes its previous value instead of the threshold's verdict.
void DitherFloydSteinbergKeeping(GreyFrame& grey, int threshold,
                                 const std::array<bool, FramePixelCount>& kept,
                                 const GreyFrame& previous) {
    const auto spread = [&grey](int x, int y, int share) {
        if (x < 0 || x >= FrameWidth || y >= FrameHeight)
            return;
        std::uint8_t& pixel = grey[static_cast<std::size_t>(PixelIndex(x, y))];
        pixel = static_cast<std::uint8_t>(std::clamp(pixel + share, 0, 255));
    };
    for (int y = 0; y < FrameHeight; ++y) {
        for (int x = 0; x < FrameWidth; ++x) {
            const auto index = static_cast<std::size_t>(PixelIndex(x, y));
            const int g = grey[index];
            const int out = kept[index] ? previous[index] : (g < threshold ? 0 : 255);
            const int error = g - out;
            grey[index] = static_cast<std::uint8_t>(out);
            spread(x + 1, y, error * 7 / 16);
            spread(x - 1, y + 1, error * 3 / 16);
            spread(x, y + 1, error * 5 / 16);
            spread(x + 1, y + 1, error * 1 / 16);
        }
    }
}

} // namespace

TSteadyDither::TSteadyDither(int method, int threshold, int tolerance)
    : m_method(method), m_threshold(threshold), m_tolerance(std::max(tolerance, 0)) {}

FramePixels TSteadyDither::Next(const GreyFrame& grey) {
    GreyFrame dots = grey;
    if (!m_started) {
        m_started = true;
        m_decidedOn = grey;
        DitherPlain(dots, m_method, m_threshold);
    } else {
        std::array<bool, FramePixelCount> kept{};
        for (std::size_t i = 0; i < grey.size(); ++i) {
            kept[i] = std::abs(grey[i] - m_decidedOn[i]) <= m_tolerance;
            if (!kept[i])
                m_decidedOn[i] = grey[i];
        }
        if (m_method == TImportFrame::Bayer || m_method == TImportFrame::Quantization) {
            // Each dot depends on its own grey alone: no error to pass on.
            DitherPlain(dots, m_method, m_threshold);
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
