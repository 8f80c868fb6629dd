// Any bytes as an animated GIF, WebP or PNG: the source either refuses them with
// a reason or gives frames of its one size, opaque, one after the other in time,
// and a reason whenever it stops before the frames it announced. Read again
// after Rewind, the first frame is the same.

#include "fuzzChecks.h"
#include "pictureAnimationSource.h"

using namespace vistrel;
using namespace vistrel::fuzz;

namespace {

// Small enough that a header claiming a large picture is refused at once and no
// input spends the run laying out big frames.
constexpr std::int64_t FuzzPixelLimit = 65'536;

void CheckFrame(const TPictureAnimationSource& source, const TSourceFrame& frame, qint64 start) {
    const int index = source.FramesRead() - 1;
    Require(frame.Picture.format() == QImage::Format_RGB32, "a frame not in the import layout",
            index);
    Require(frame.Picture.size() == source.Size(), "a frame of another size than the source's",
            index);
    Require(frame.StartMs == start, "a frame that does not start where the one before ended",
            index);
    Require(frame.DurationMs > 0, "a frame that never shows", index);
    for (int y = 0; y < frame.Picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(frame.Picture.constScanLine(y));
        for (int x = 0; x < frame.Picture.width(); ++x)
            Require(qAlpha(row[x]) == 255, "a pixel that is not opaque", index);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QuietQtWarnings();
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(Bytes(data, size));
    buffer->open(QIODevice::ReadOnly);
    TPictureAnimationSource source(std::move(buffer), FuzzPixelLimit);
    if (source.Failed()) {
        Require(!source.Error().isEmpty(), "a refused picture without a reason");
        return 0;
    }
    Require(source.FrameCount() > 0, "an opened picture without frames");
    Require(std::int64_t{source.Size().width()} * source.Size().height() <= FuzzPixelLimit,
            "a picture above the pixel limit");

    TSourceFrame first;
    qint64 start = 0;
    for (TSourceFrame frame; source.Next(frame);) {
        CheckFrame(source, frame, start);
        start += frame.DurationMs;
        if (source.FramesRead() == 1)
            first = frame;
    }
    Require(source.FramesRead() <= source.FrameCount(), "more frames than the source announced");
    Require(source.FramesRead() == source.FrameCount() || !source.Error().isEmpty(),
            "frames missing without a reason");
    Require(!source.Error().isEmpty() || start == source.LengthMs(),
            "frames that do not add up to the source's length");

    if (source.FramesRead() > 0 && source.Rewind()) {
        TSourceFrame again;
        Require(source.Next(again) && again.Picture == first.Picture,
                "the first frame differs after Rewind");
    }
    return 0;
}
