#include "playerPicture.h"

#include "unitAnimation.h"

namespace vistrel {

namespace {

QImage WhiteBitmap() {
    QImage bitmap(FrameWidth, FrameHeight, QImage::Format_RGB32);
    bitmap.fill(TPlayerPicture::Unlit);
    return bitmap;
}

} // namespace

TPlayerPicture::TPlayerPicture()
    : m_composite(WhiteBitmap()), m_history0(WhiteBitmap()), m_history1(WhiteBitmap()) {}

void TPlayerPicture::Compose(const TAnimation& animation, int frame, bool blur) {
    if (!blur) {
        animation.DrawFrame(frame, m_composite);
        return;
    }
    // The ghost is last time's frame with its lit dots fading; the frame drawn
    // now becomes the history for the next picture. ANDing white, ghost and
    // frame gives black where the frame is lit, silver where only the ghost
    // is, white elsewhere.
    for (int y = 0; y < FrameHeight; ++y) {
        const auto* previous = reinterpret_cast<const QRgb*>(m_history0.constScanLine(y));
        auto* ghost = reinterpret_cast<QRgb*>(m_history1.scanLine(y));
        for (int x = 0; x < FrameWidth; ++x)
            ghost[x] = (previous[x] & 0xFFFFFF) == LitColour ? Fading : previous[x];
    }
    animation.DrawFrame(frame, m_composite);
    for (int y = 0; y < FrameHeight; ++y) {
        const auto* ghost = reinterpret_cast<const QRgb*>(m_history1.constScanLine(y));
        auto* drawn = reinterpret_cast<QRgb*>(m_history0.scanLine(y));
        auto* out = reinterpret_cast<QRgb*>(m_composite.scanLine(y));
        for (int x = 0; x < FrameWidth; ++x) {
            drawn[x] = out[x];
            out[x] = Unlit & ghost[x] & drawn[x];
        }
    }
}

} // namespace vistrel
