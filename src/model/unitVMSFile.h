#pragma once

#include <QtGlobal>
#include <array>
#include <cstdint>
#include <vector>

class QIODevice;

namespace vistrel {

// A 192-byte VMS frame bitmap: 32 rows of 6 bytes, most significant bit leftmost.
inline constexpr int VMSBitmapSize = 192;
inline constexpr int VMSBitmapRowBytes = 6;
using VMSBitmap = std::array<std::uint8_t, VMSBitmapSize>;

inline bool VMSBitmapPixel(const VMSBitmap& bits, int x, int y) {
    return (bits[static_cast<std::size_t>(y * VMSBitmapRowBytes + x / 8)] >> (7 - x % 8)) & 1;
}

struct TVMSFrame {
    std::uint8_t Duration = 0;
    VMSBitmap Bits{};
};

struct TVMSCommand {
    std::uint32_t Value = 0;
};

// Reads the animation that a VMS file carries somewhere inside it: either a plain
// frame table or a scripted command list followed by its frame bitmaps.
class TVMSFile {
public:
    enum FileKind : int { KindNone = 0, KindPlain = 3, KindScripted = 4 };
    // Most frame bitmaps read from one file; bitmaps past it are ignored.
    static constexpr int MaxBitmaps = 255;
    // A VMS file lives on a memory card whose flash holds 128 KiB in all, so no
    // real one is larger; a larger stream is refused before it is scanned. (The
    // layouts' 16-bit offsets reach a little past it only in theory: a plain frame
    // table at 0xFFFF pointing 0xFFFF further.)
    static constexpr qint64 MaxFileSize = 128 * 1024;

    int Kind = KindNone;
    std::uint8_t RepeatCount = 0;
    std::vector<TVMSCommand> Commands;
    std::vector<TVMSFrame> Frames;

    int CommandCount() const { return static_cast<int>(Commands.size()); }
    int FrameCount() const { return static_cast<int>(Frames.size()); }

    // Scans from the stream's start for the 0x22 0x60 HI / 0x22 0x61 LO markers;
    // 0 means the file carries no animation data.
    static std::uint16_t FindDataStart(QIODevice& stream);

    // False for a stream larger than MaxFileSize, or a broken layout.
    bool LoadFromStream(QIODevice& stream);

private:
    bool LoadPlain(QIODevice& stream, qint64 dataStart, std::uint8_t repeatCount);
    bool LoadScripted(QIODevice& stream, qint64 dataStart);
    void ResolveDrawFrames(std::uint16_t frameBase);
};

} // namespace vistrel
