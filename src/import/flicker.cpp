#include "flicker.h"

namespace vistrel {

double FlickerShare(std::span<const FramePixels> frames, QRect region) {
    const QRect area = region.intersected(QRect(0, 0, FrameWidth, FrameHeight));
    if (frames.size() < 2 || area.isEmpty())
        return 0.0;
    const auto lit = [](const FramePixels& pixels, int x, int y) {
        return pixels[static_cast<std::size_t>(PixelIndex(x, y))] == 1;
    };
    long long flips = 0;
    for (std::size_t i = 1; i < frames.size(); ++i)
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                flips += lit(frames[i - 1], x, y) != lit(frames[i], x, y) ? 1 : 0;
    const long long dots = static_cast<long long>(area.width()) * area.height() *
                           static_cast<long long>(frames.size() - 1);
    return static_cast<double>(flips) / static_cast<double>(dots);
}

} // namespace vistrel
