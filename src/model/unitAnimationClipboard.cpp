#include "unitAnimation.h"

#include <algorithm>

namespace vistrel {

namespace {

// One clipboard entry per frame: the duration byte, then the 1536 pixel bytes.
constexpr qsizetype FrameEntrySize = 1 + FramePixelCount;

void AppendEntry(QByteArray& payload, const TFrame& frame) {
    payload.append(static_cast<char>(frame.Duration()));
    payload.append(reinterpret_cast<const char*>(frame.Pixels.data()), FramePixelCount);
}

} // namespace

void TAnimation::CopyFrame(int index) {
    if (!IsValidIndex(index))
        return;
    QByteArray payload;
    AppendEntry(payload, Frame(index));
    m_clipboard.PutStream(payload);
}

void TAnimation::CutFrame(int index) {
    if (!IsValidIndex(index))
        return;
    CopyFrame(index);
    DeleteFrame(index);
}

void TAnimation::CopySelectedFrames() {
    QByteArray payload;
    for (const auto& frame : m_frames)
        if (frame->Selected())
            AppendEntry(payload, *frame);
    if (!payload.isEmpty())
        m_clipboard.PutStream(payload);
}

void TAnimation::CutSelectedFrames() {
    CopySelectedFrames();
    DeleteSelectedFrames();
}

bool TAnimation::CanPasteFrames() {
    return m_clipboard.HasData();
}

bool TAnimation::PasteFrames(int index) {
    if (index < -1 || !CanPasteFrames())
        return false;
    QByteArray payload;
    if (!m_clipboard.GetStream(payload))
        return false;
    return InsertFramePayload(index, payload);
}

bool TAnimation::InsertFramePayload(int index, const QByteArray& payload) {
    // A paste happens whole or not at all: a failed paste leaves the document as it
    // was, so the user never has to find and remove half of it. A cut-short entry
    // is broken data, told as such; frames that do not all fit are refused.
    if (index < -1 || index > FrameCount())
        return false;
    if (payload.size() % FrameEntrySize != 0)
        throw EBinClipboardError("Invalid data in Clipboard!");
    const qsizetype entries = payload.size() / FrameEntrySize;
    if (entries > MaxDocumentFrames - FrameCount())
        return false;
    for (qsizetype i = 0; i < entries; ++i) {
        const int target = index == -1 ? FrameCount() : index + static_cast<int>(i);
        InsertFrame(target);
        TFrame& frame = Frame(target);
        const char* entry = payload.constData() + i * FrameEntrySize;
        frame.SetDuration(static_cast<std::uint8_t>(entry[0]));
        std::copy_n(entry + 1, FramePixelCount, frame.Pixels.begin());
        PaintCell(target);
    }
    return true;
}

} // namespace vistrel
