// Any bytes as an LCD file: loading either refuses them and leaves the document
// empty, or gives exactly the frames the layout puts at fixed offsets; a loaded
// document lists its script and saves and loads back unchanged.

#include "fuzzChecks.h"

using namespace vistrel;
using namespace vistrel::fuzz;

namespace {

// The frames the layout describes, read straight from the bytes: the file is
// complete when the header's frame count of records and blocks and the creator
// text are all there; trailing bytes do not matter.
void CheckAgainstLayout(const TAnimation& animation, const std::uint8_t* data, std::size_t size,
                        bool loaded) {
    const bool complete =
        size >= std::size_t{LCDLayout::HeaderSize} &&
        size >= static_cast<std::size_t>(LCDLayout::FileSize(data[LCDLayout::FrameCountOffset]));
    Require(loaded == complete, loaded ? "an incomplete file loaded" : "a complete file failed");
    if (!loaded) {
        Require(animation.FrameCount() == 0, "a refused file left frames");
        Require(animation.SourceKind == SourceNone, "a refused file left a source kind");
        return;
    }
    const int count = data[LCDLayout::FrameCountOffset];
    Require(animation.FrameCount() == count, "frame count differs from the header");
    Require(animation.RepeatCount == data[LCDLayout::RepeatCountOffset],
            "repeat count differs from the header");
    Require(animation.SourceKind == SourceDreamLCD || animation.SourceKind == SourceLCD,
            "a loaded LCD file has no LCD source kind");
    Require(animation.CommandCount() == count, "not one draw command per frame");
    const std::uint8_t* blocks = data + LCDLayout::HeaderSize + count * LCDLayout::RecordSize;
    for (int i = 0; i < count; ++i) {
        const TFrame& frame = animation.Frame(i);
        Require(frame.Duration() == data[LCDLayout::HeaderSize + i * LCDLayout::RecordSize + 1],
                "duration differs from the frame record", i);
        Require(animation.Commands()[static_cast<std::size_t>(i)].Value ==
                    TCommand::DrawFrame(i + 1),
                "draw command out of frame order", i);
        const std::uint8_t* block = blocks + i * FramePixelCount;
        for (int p = 0; p < FramePixelCount; ++p)
            Require((frame.Pixels[static_cast<std::size_t>(p)] == 1) ==
                        (block[p] == LCDLayout::LitByte),
                    "pixel differs from the pixel block", i);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QuietQtWarnings();
    QBuffer stream;
    stream.setData(Bytes(data, size));
    stream.open(QIODevice::ReadOnly);
    TAnimation animation;
    const bool loaded = animation.LoadLCD(stream);
    CheckAgainstLayout(animation, data, size, loaded);
    CheckDocument(animation);
    if (loaded) {
        animation.BuildScript();
        Require(animation.ScriptText.size() == animation.FrameCount(),
                "script is not one draw_frame line per frame");
        CheckLCDRoundTrip(animation);
    }
    return 0;
}
