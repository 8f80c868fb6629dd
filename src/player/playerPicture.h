#pragma once

#include <QImage>

namespace vistrel {

class TAnimation;

// The player's picture of the LCD at 1:1. With the blur on, a dot switched off
// since the previous picture stays silver for that one picture, like the slow
// crystal of the real display; the picture is then stretched onto the player
// box, so its cost does not depend on the zoom.
class TPlayerPicture {
public:
    static constexpr QRgb Lit = 0xFF000000;
    static constexpr QRgb Unlit = 0xFFFFFFFF;
    static constexpr QRgb Fading = 0xFFC0C0C0;

    TPlayerPicture();

    // The picture last composed.
    const QImage& Composite() const { return m_composite; }
    // History 0: the frame as drawn last time; History 1: the one before, its lit
    // dots silver.
    const QImage& History(int index) const { return index == 0 ? m_history0 : m_history1; }

    void ClearComposite() { m_composite.fill(Unlit); }

    // Composes the picture of a frame; an index outside the frames draws no
    // frame.
    void Compose(const TAnimation& animation, int frame, bool blur);

private:
    QImage m_composite;
    QImage m_history0;
    QImage m_history1;
};

} // namespace vistrel
