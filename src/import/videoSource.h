#pragma once

#include "animationSource.h"

#include <QString>
#include <memory>

namespace vistrel {

// A video clip in any container and codec the installed FFmpeg libraries take,
// decoded one frame at a time: at most one decoded frame is held ahead (to
// learn the current frame's duration from the next one's start).
class TVideoSource : public IAnimationSource {
public:
    ~TVideoSource() override;

    int FrameCount() const override;
    qint64 LengthMs() const override;
    int LoopCount() const override;
    QSize Size() const override;
    bool Sampled() const override;

    bool Next(TSourceFrame& frame) override;
    QString Error() const override;
    int FramesRead() const override;
    bool Rewind() override;

private:
    friend std::unique_ptr<IAnimationSource> OpenVideoSource(const QString& fileName,
                                                             QString* reason);
    struct TState;

    explicit TVideoSource(std::unique_ptr<TState> state);

    std::unique_ptr<TState> State;
};

// Opens fileName as a video clip. Returns nullptr, with *reason (when given)
// saying why, for anything that is not a readable clip: a missing or special
// file, a file no demuxer takes, a still picture, a container without video,
// or a frame over the importer's 100-megapixel bound.
std::unique_ptr<IAnimationSource> OpenVideoSource(const QString& fileName, QString* reason);

} // namespace vistrel
