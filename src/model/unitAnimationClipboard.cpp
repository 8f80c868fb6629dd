#include "unitAnimation.h"

namespace vistrel {

namespace {

// One clipboard entry per frame: the duration byte, then the 1536 pixel bytes.
constexpr qsizetype FrameEntrySize = 1 + FramePixelCount;

void AppendEntry(QByteArray& payload, const TFrame& frame) {
    payload.append(static_cast<char>(frame.Duration()));
    payload.append(reinterpret_cast<const char*>(frame.Pixels.data()), FramePixelCount);
}

} // namespace

QByteArray TAnimation::FramePayload(int index) const {
    QByteArray payload;
    if (IsValidIndex(index))
        AppendEntry(payload, Frame(index));
    return payload;
}

QByteArray TAnimation::SelectedFramesPayload() const {
    QByteArray payload;
    for (const auto& frame : m_frames)
        if (frame->Selected())
            AppendEntry(payload, *frame);
    return payload;
}

bool TAnimation::InsertFramePayload(int index, const QByteArray& payload) {
    // A paste happens whole or not at all: a failed paste leaves the document as it
    // was, so the user never has to find and remove half of it. A cut-short entry
    // is broken data, told as such; frames that do not all fit are refused before
    // any of them is made.
    if (index < -1 || index > FrameCount())
        return false;
    if (payload.size() % FrameEntrySize != 0)
        throw EBinClipboardError("Invalid data in Clipboard!");
    const qsizetype entries = payload.size() / FrameEntrySize;
    if (entries > MaxDocumentFrames - FrameCount())
        return false;
    std::vector<TFrame> frames;
    frames.reserve(static_cast<std::size_t>(entries));
    for (qsizetype i = 0; i < entries; ++i) {
        const auto* entry =
            reinterpret_cast<const std::uint8_t*>(payload.constData() + i * FrameEntrySize);
        frames.push_back(NewFrame(entry[0], entry + 1));
    }
    return InsertFrames(index, std::move(frames));
}

} // namespace vistrel
