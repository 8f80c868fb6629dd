#pragma once

#include <QImage>
#include <QString>
#include <QtGlobal>
#include <memory>

namespace vistrel {

// One picture of a moving source, in the layout the importer works in
// (Format_RGB32, opaque, transparent parts laid on white), with the time it
// appears and how long it stays, in milliseconds from the source's start.
struct TSourceFrame {
    QImage Picture;
    qint64 StartMs = 0;
    qint64 DurationMs = 0;
};

// A source of many pictures, read one at a time in order and never held whole:
// an animated GIF, WebP or PNG, a numbered picture sequence, a video clip.
class IAnimationSource {
public:
    virtual ~IAnimationSource() = default;

    // How many frames the source says it has, or -1 when only reading all of
    // it can tell (a video stream).
    virtual int FrameCount() const = 0;
    // The source's length in milliseconds, or -1 when unknown.
    virtual qint64 LengthMs() const = 0;
    // How often the source asks to be played: 0 forever, -1 when it says nothing.
    virtual int LoopCount() const = 0;
    // Every frame's size (a source's frames all have the one size).
    virtual QSize Size() const = 0;
    // A video shows whatever frame is current at a moment and is sampled once a
    // tick; an animation's frames are each taken with their own durations.
    virtual bool Sampled() const = 0;

    // The next frame; false at the end, or when the source fails part-way:
    // Error() then says why (empty at a clean end), and FramesRead() how many
    // frames came before.
    virtual bool Next(TSourceFrame& frame) = 0;
    virtual QString Error() const = 0;
    virtual int FramesRead() const = 0;
    // Back to the first frame, for another pass (the preview slider).
    virtual bool Rewind() = 0;
};

} // namespace vistrel
