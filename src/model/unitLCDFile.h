#pragma once

#include "unitFrame.h"

#include <QByteArray>
#include <array>
#include <cstdint>
#include <vector>

class QIODevice;

namespace vistrel {

// Byte layout of the LCD animation file: a 16-byte header, a 4-byte record per
// frame, a 1536-byte pixel block per frame, then a 40-byte creator text.
namespace LCDLayout {
inline constexpr int HeaderSize = 16;
inline constexpr int RecordSize = 4;
inline constexpr int CreatorTextSize = 40;
inline constexpr int RepeatCountOffset = 13;
inline constexpr int FrameCountOffset = 14;
// Most frames an LCD file holds: its frame count is one byte.
inline constexpr int MaxLCDFrames = 255;
inline constexpr std::uint8_t LitByte = 8;
inline constexpr int FileSize(int frames) {
    return HeaderSize + CreatorTextSize + frames * (RecordSize + FramePixelCount);
}
} // namespace LCDLayout

// Creator text this program writes; exactly 40 characters.
inline constexpr char OwnCreatorText[] = "Vistrel v1.0 (c) 2026 Vistrel developers";
static_assert(sizeof(OwnCreatorText) - 1 == LCDLayout::CreatorTextSize);

class TLCDFrame {
public:
    std::array<std::uint8_t, LCDLayout::RecordSize> Info{0, 1, 0, 0};
    FramePixels Pixels{};

    std::uint8_t Duration() const { return Info[1]; }
    void SetDuration(std::uint8_t value) { Info[1] = value; }
};

class TLCDFile {
public:
    enum FileKind : int { KindUnread = 0, KindDreamAnimator = 1, KindOther = 2 };

    TLCDFile();

    std::array<std::uint8_t, LCDLayout::HeaderSize> Header{};
    QByteArray CreatorText;
    int Kind = KindUnread;
    std::vector<TLCDFrame> Frames;

    std::uint8_t RepeatCount() const { return Header[LCDLayout::RepeatCountOffset]; }
    void SetRepeatCount(std::uint8_t value) { Header[LCDLayout::RepeatCountOffset] = value; }
    int FrameCount() const { return static_cast<int>(Frames.size()); }
    // Also stored in the header's one-byte count, so at most 255.
    void SetFrameCount(int count);

    bool LoadFromStream(QIODevice& stream);
    bool SaveToStream(QIODevice& stream);
};

} // namespace vistrel
