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
    if (index < -1)
        return false;
    for (qsizetype offset = 0, i = 0; offset < payload.size(); offset += FrameEntrySize, ++i) {
        const int target = index == -1 ? FrameCount() : index + static_cast<int>(i);
        if (!InsertFrame(target))
            return false;
        TFrame& frame = Frame(target);
        frame.SetDuration(static_cast<std::uint8_t>(payload[offset]));
        // A cut-short last entry keeps the pixel bytes that arrived, the rest white;
        // its cell is painted from the same bytes, so picture and pixels agree.
        const qsizetype available =
            std::min(payload.size() - offset - 1, qsizetype{FramePixelCount});
        std::copy_n(payload.constData() + offset + 1, available, frame.Pixels.begin());
        PaintCell(target);
        if (available < FramePixelCount)
            return false;
    }
    return true;
}

} // namespace vistrel
