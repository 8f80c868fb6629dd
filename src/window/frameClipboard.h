#pragma once

#include <QByteArray>
#include <optional>

namespace vistrel {

// The private format frames travel under on the system clipboard; other running
// copies of the program, and any program that knows the name, see the same format.
inline constexpr char FrameClipboardFormat[] = "VISTREL_FRAME_DATA";

// The frames on the system clipboard: a frame payload (TAnimation's) wrapped in a
// clipboard block under FrameClipboardFormat.
class TFrameClipboard {
public:
    // True when the clipboard holds data of our format, whoever put it there.
    bool HasFrames() const;
    // Replaces what the clipboard holds with the payload.
    void PutFrames(const QByteArray& payload);
    // The payload on the clipboard; nothing when no frames are there. A block
    // whose length field does not fit it throws EBinClipboardError.
    std::optional<QByteArray> Frames() const;
};

} // namespace vistrel
