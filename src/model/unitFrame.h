#pragma once

#include <QRect>
#include <array>
#include <cstdint>
#include <functional>

namespace vistrel {

// Geometry of the memory card's LCD and of the animation document.
inline constexpr int FrameWidth = 48;
inline constexpr int FrameHeight = 32;
inline constexpr int FramePixelCount = FrameWidth * FrameHeight;
// Most frames an animation document holds (more than a file of either format).
inline constexpr int MaxDocumentFrames = 324;
inline constexpr int SheetColumns = 20;

// One byte per pixel, row-major (index y * 48 + x); 1 is a lit (black) dot,
// anything else reads as white.
using FramePixels = std::array<std::uint8_t, FramePixelCount>;

inline constexpr int PixelIndex(int x, int y) {
    return y * FrameWidth + x;
}

// Colours of frame pixels on every bitmap: only exact black counts as lit.
inline constexpr unsigned LitColour = 0x000000;
inline constexpr unsigned UnlitColour = 0xFFFFFF;

class TAnimation;

// One script command; the low byte is the opcode, bytes 1 to 3 its operands.
struct TCommand {
    std::uint32_t Value = 0;

    std::uint8_t Opcode() const { return Value & 0xFF; }
    static std::uint32_t DrawFrame(int frameNumber) {
        return static_cast<std::uint32_t>(frameNumber) << 8;
    }
};

// A frame of the animation. Its times and sheet cell are kept by the owning
// TAnimation; the events let the animation react to duration and layer changes.
class TFrame {
public:
    using NotifyEvent = std::function<void(TFrame& sender)>;

    std::uint8_t Duration() const { return m_duration; }
    void SetDuration(std::uint8_t value);

    // The red and blue reference layers: a frame holds at most one of them.
    bool RedLayer() const { return m_redLayer; }
    void SetRedLayer(bool value);
    bool BlueLayer() const { return m_blueLayer; }
    void SetBlueLayer(bool value);

    int StartTime() const { return m_startTime; }
    int EndTime() const { return m_endTime; }
    QRect SheetRect() const { return m_sheetRect; }

    // Set once the frame's picture or a nonzero duration was changed; never cleared.
    bool Changed() const { return m_changed; }

    bool Selected() const { return m_selected; }
    void SetSelected(bool value) { m_selected = value; }

    FramePixels Pixels{};

    NotifyEvent OnDurationChange;
    NotifyEvent OnRedLayerChange;
    NotifyEvent OnBlueLayerChange;

private:
    friend class TAnimation;

    void SetTimes(int start) {
        m_startTime = start;
        m_endTime = start + m_duration;
    }

    std::uint8_t m_duration = 1;
    bool m_redLayer = false;
    bool m_blueLayer = false;
    QRect m_sheetRect{0, 0, FrameWidth, FrameHeight};
    int m_startTime = 0;
    int m_endTime = 1;
    bool m_changed = false;
    bool m_selected = false;
};

} // namespace vistrel
