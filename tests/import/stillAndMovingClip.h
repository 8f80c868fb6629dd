#pragma once

#include <QDir>
#include <QImage>
#include <QRect>
#include <QString>
#include <algorithm>

namespace vistrel::testing {

// A clip the size of a frame whose lower part stands still, a photo-like
// gradient with fine texture that every frame re-noises by up to 3 grey levels
// as a lossy video codec does, while a black square crosses the white band on
// top (five dots a frame, eight frames).
inline constexpr QRect MovingPart{0, 0, 48, 12};
inline constexpr QRect StillPart{0, 14, 48, 18};
inline constexpr int StillAndMovingFrames = 8;

inline QImage StillAndMovingFrame(int frame) {
    QImage picture(48, 32, QImage::Format_RGB32);
    picture.fill(Qt::white);
    unsigned texture = 12345u;
    unsigned noise = 2654435761u * static_cast<unsigned>(frame + 1);
    const auto next = [](unsigned& seed, int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned>(2 * range + 1)) - range;
    };
    for (int y = StillPart.top(); y <= StillPart.bottom(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const int grey = std::clamp(70 + 2 * x + 2 * (y - StillPart.top()) + next(texture, 25) +
                                            next(noise, 3),
                                        0, 255);
            picture.setPixel(x, y, qRgb(grey, grey, grey));
        }
    const int left = 4 + 5 * frame;
    for (int y = 2; y < 10; ++y)
        for (int x = left; x < std::min(left + 8, picture.width()); ++x)
            picture.setPixel(x, y, qRgb(0, 0, 0));
    return picture;
}

// The clip as the numbered pictures clip_0.png, clip_1.png, ... in folder;
// gives the first one's name, empty when one cannot be written.
inline QString WriteStillAndMovingSequence(const QString& folder) {
    for (int i = 0; i < StillAndMovingFrames; ++i)
        if (!StillAndMovingFrame(i).save(
                QDir(folder).filePath(QStringLiteral("clip_%1.png").arg(i))))
            return {};
    return QDir(folder).filePath(QStringLiteral("clip_0.png"));
}

} // namespace vistrel::testing
