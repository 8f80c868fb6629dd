// Any bytes as a VMS file: loading gives exactly what the bytes describe, worked
// out here straight from them (where the data start, which frames the plain table
// or the script's bitmaps give, with which durations, pixels and draw commands),
// and the document is consistent, lists its script and saves as LCD when the
// frame count allows.

#include "fuzzChecks.h"
#include "unitVMSFile.h"

#include <algorithm>
#include <optional>
#include <vector>

using namespace vistrel;
using namespace vistrel::fuzz;

namespace {

constexpr std::size_t BitmapSize = 192;
constexpr std::size_t MaxScriptedBitmaps = 255;
// A memory card holds 128 KiB in all; no larger file is read.
constexpr std::size_t MaxFileSize = 128 * 1024;

struct ExpectedFrame {
    int duration = 0;
    std::optional<std::size_t> bitmap; // offset of its 192 bytes; none for a blank frame
};

struct Expected {
    bool loaded = false;
    int sourceKind = SourceNone;
    int repeatCount = 0;
    std::vector<ExpectedFrame> frames;
    std::vector<std::uint32_t> commands; // empty: one draw_frame per frame
};

// The two marker triples, 22 60 HI and 22 61 LO, scanned for from the first byte:
// the byte after a 22 is always taken as its tag, and LO ends the scan.
std::size_t DataStart(const std::uint8_t* data, std::size_t size) {
    std::size_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] != 0x22 || i + 1 >= size)
            continue;
        const std::uint8_t tag = data[++i];
        if ((tag == 0x60 || tag == 0x61) && i + 1 < size) {
            const std::uint8_t byte = data[++i];
            if (tag == 0x61)
                return (value & 0xFF00) | byte;
            value = (value & 0x00FF) | std::size_t{byte} << 8;
        }
    }
    return value;
}

Expected Plain(const std::uint8_t* data, std::size_t size, std::size_t start) {
    Expected expected;
    if (start + 1 >= size)
        return expected;
    const std::size_t count = data[start + 1];
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = start + 2 + 3 * i;
        if (entry + 3 > size)
            return expected;
        const std::size_t bitmap = start + (std::size_t{data[entry + 1]} << 8 | data[entry + 2]);
        if (bitmap + BitmapSize > size)
            return expected;
        expected.frames.push_back({data[entry], bitmap});
    }
    expected.loaded = true;
    expected.sourceKind = SourceVMSPlain;
    expected.repeatCount = data[start];
    return expected;
}

Expected Scripted(const std::uint8_t* data, std::size_t size, std::size_t start) {
    Expected expected;
    if (start + 5 > size)
        return expected;
    const std::size_t commandCount = std::size_t{data[start + 3]} << 8 | data[start + 4];
    const std::size_t firstBitmap = start + 5 + 4 * commandCount;
    if (firstBitmap > size)
        return expected;
    expected.loaded = true;
    expected.sourceKind = SourceVMSScripted;
    expected.repeatCount = data[start + 2];
    const std::size_t bitmaps = std::min((size - firstBitmap) / BitmapSize, MaxScriptedBitmaps);
    // Bitmap positions in draw commands count from the data start, in 16 bits.
    const long frameBase = static_cast<long>((firstBitmap - start) & 0xFFFF);
    std::vector<int> durations(bitmaps, 0);
    long highest = 0;
    for (std::size_t c = 0; c < commandCount; ++c) {
        const std::uint8_t* bytes = data + start + 5 + 4 * c;
        std::uint32_t value =
            bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
        if (bytes[0] == 0) {
            const long position = long{bytes[2]} << 8 | bytes[3];
            const long offset = position - frameBase;
            // Positions before the first bitmap by less than a bitmap still pick it.
            const long index = offset / static_cast<long>(BitmapSize);
            if (index < 0 || index >= static_cast<long>(bitmaps)) {
                value = 0; // a draw of a bitmap the file lacks draws nothing
            } else {
                durations[static_cast<std::size_t>(index)] = bytes[1];
                value = static_cast<std::uint32_t>(index + 1) << 8;
                highest = std::max(highest, index);
            }
        }
        expected.commands.push_back(value);
    }
    for (long i = 0; i <= highest; ++i) {
        ExpectedFrame frame;
        if (i < static_cast<long>(bitmaps)) {
            frame.duration = durations[static_cast<std::size_t>(i)];
            frame.bitmap = firstBitmap + static_cast<std::size_t>(i) * BitmapSize;
        }
        expected.frames.push_back(frame);
    }
    return expected;
}

Expected Expect(const std::uint8_t* data, std::size_t size) {
    if (size > MaxFileSize)
        return {};
    const std::size_t start = DataStart(data, size);
    if (start == 0 || start >= size)
        return {};
    if (data[start] != 0)
        return Plain(data, size, start);
    if (start + 1 >= size)
        return {};
    if (data[start + 1] != 1) {
        Expected other; // data of a kind the reader does not know: an empty document
        other.loaded = true;
        return other;
    }
    return Scripted(data, size, start);
}

void CheckAgainstBytes(const TAnimation& animation, const std::uint8_t* data, std::size_t size,
                       bool loaded) {
    const Expected expected = Expect(data, size);
    Require(loaded == expected.loaded,
            loaded ? "a file the bytes do not describe loaded" : "a readable file failed");
    if (!loaded)
        return;
    Require(animation.SourceKind == expected.sourceKind, "source kind differs from the layout");
    Require(animation.RepeatCount == expected.repeatCount, "repeat count differs from the bytes");
    const int count = static_cast<int>(expected.frames.size());
    Require(animation.FrameCount() == count, "frame count differs from the bytes");
    for (int i = 0; i < count; ++i) {
        const ExpectedFrame& want = expected.frames[static_cast<std::size_t>(i)];
        const TFrame& frame = animation.Frame(i);
        Require(frame.Duration() == want.duration, "duration differs from the bytes", i);
        for (int y = 0; y < FrameHeight; ++y)
            for (int x = 0; x < FrameWidth; ++x) {
                const bool lit =
                    want.bitmap &&
                    (data[*want.bitmap + static_cast<std::size_t>(y * 6 + x / 8)] >> (7 - x % 8)) &
                        1;
                Require(frame.Pixels[static_cast<std::size_t>(PixelIndex(x, y))] == (lit ? 1 : 0),
                        "pixel differs from the frame's bitmap", i);
            }
    }
    std::vector<std::uint32_t> commands = expected.commands;
    if (commands.empty())
        for (int i = 0; i < count; ++i)
            commands.push_back(TCommand::DrawFrame(i + 1));
    Require(animation.CommandCount() == static_cast<int>(commands.size()),
            "command count differs from the bytes");
    for (std::size_t c = 0; c < commands.size(); ++c)
        Require(animation.Commands()[c].Value == commands[c], "command differs from the bytes",
                static_cast<int>(c));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QuietQtWarnings();
    QBuffer stream;
    stream.setData(Bytes(data, size));
    stream.open(QIODevice::ReadOnly);
    TAnimation animation;
    const bool loaded = animation.LoadVMS(stream);
    CheckAgainstBytes(animation, data, size, loaded);
    CheckDocument(animation);
    if (!loaded) {
        Require(animation.FrameCount() == 0 && animation.CommandCount() == 0,
                "a refused file left frames or commands");
        Require(animation.SourceKind == SourceNone, "a refused file left a source kind");
        return 0;
    }
    Require(animation.FrameCount() <= TVMSFile::MaxBitmaps, "more frames than a VMS file holds");
    Require(animation.SourceKind == SourceVMSPlain || animation.SourceKind == SourceVMSScripted ||
                animation.SourceKind == SourceNone,
            "a loaded VMS file has a foreign source kind");
    CheckDrawCommands(animation);
    animation.BuildScript();
    CheckLCDRoundTrip(animation);
    return 0;
}
