// Any bytes as a video clip: the reader either refuses them with a reason or
// gives frames of the clip's one size in the import layout, later frames never
// earlier than those before, and a reason whenever it stops on a fault. Read
// again after Rewind, the first frame is the same.

#include "fuzzChecks.h"
#include "videoSource.h"

#include <QTemporaryFile>

using namespace vistrel;
using namespace vistrel::fuzz;

namespace {

// Enough frames to walk past a container's first packets and the decoder's
// delay; a clip that decodes for longer spends the run on nothing new.
constexpr int FramesChecked = 64;

void CheckFrame(const IAnimationSource& source, const TSourceFrame& frame, qint64 previousStart) {
    const int index = source.FramesRead() - 1;
    Require(frame.Picture.format() == QImage::Format_RGB32, "a frame not in the import layout",
            index);
    Require(frame.Picture.size() == source.Size(), "a frame of another size than the clip's",
            index);
    Require(frame.StartMs >= previousStart, "a frame that starts before the one before", index);
    Require(frame.DurationMs >= 0, "a frame with a negative duration", index);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QuietQtWarnings();
    // The demuxers read files by name; every input gets a file of its own.
    QTemporaryFile file;
    if (!file.open())
        Finding("no temporary file for the input");
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.flush();

    QString reason;
    const std::unique_ptr<IAnimationSource> source = OpenVideoSource(file.fileName(), &reason);
    if (!source) {
        Require(!reason.isEmpty(), "a refused clip without a reason");
        return 0;
    }
    Require(source->Sampled(), "a clip that is not sampled by time");
    Require(!source->Size().isEmpty(), "an opened clip without a size");
    Require(std::int64_t{source->Size().width()} * source->Size().height() <= 100'000'000,
            "a clip above the pixel limit");

    TSourceFrame first;
    qint64 previousStart = 0;
    bool ended = false;
    for (TSourceFrame frame; source->FramesRead() < FramesChecked;) {
        if (!source->Next(frame)) {
            ended = true;
            break;
        }
        CheckFrame(*source, frame, previousStart);
        previousStart = frame.StartMs;
        if (source->FramesRead() == 1)
            first = frame;
    }
    Require(!ended || source->FramesRead() > 0 || !source->Error().isEmpty(),
            "a clip with no frames and no reason");

    if (source->FramesRead() > 0 && source->Rewind()) {
        TSourceFrame again;
        Require(source->Next(again) && again.Picture == first.Picture,
                "the first frame differs after Rewind");
    }
    return 0;
}
