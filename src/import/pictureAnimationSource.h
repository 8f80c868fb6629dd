#pragma once

#include "animationSource.h"
#include "pictureLoader.h"

#include <QBuffer>
#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class QImageReader;

namespace vistrel {

// The animated picture kind a device holds, judged from its first bytes: "gif",
// "webp", "png" (any PNG; AnimatedPng tells whether it is one), or empty.
QByteArray AnimatedPictureFormat(QIODevice& device);

// A delay a picture gives for a frame, in milliseconds, as it is shown: none, or
// one under 20 ms, shows for 100 ms, as web browsers show such GIFs (the delay
// that old animations left as zero meant "as fast as the machine goes").
qint64 ShownDelayMs(qint64 delayMs);

// The frames of an animated GIF, WebP or PNG, decoded one at a time, each the
// whole picture as it is shown at that moment: a frame that covers only part of
// the picture, or is partly transparent, is laid over what the frames before
// left, and transparent parts show white. The file's layout is walked once when
// it is opened (each frame's place, delay, and where the data end early), so
// the frame count and length are known before any frame is decoded.
class TPictureAnimationSource final : public IAnimationSource {
public:
    // Reads the picture device holds from its start; the source keeps the device.
    // Failed() says whether it can be read at all, Error() why not.
    explicit TPictureAnimationSource(std::unique_ptr<QIODevice> device,
                                     std::int64_t maxPixels = MaxPicturePixels);
    ~TPictureAnimationSource() override;
    TPictureAnimationSource(const TPictureAnimationSource&) = delete;
    TPictureAnimationSource& operator=(const TPictureAnimationSource&) = delete;

    // Opens a regular file; nullptr, with the reason, when it cannot be read.
    static std::unique_ptr<TPictureAnimationSource> Open(const QString& fileName, QString* reason,
                                                         std::int64_t maxPixels = MaxPicturePixels);

    bool Failed() const { return m_failed; }
    // Whether every frame's data are there (if not, Next fails after the rest).
    bool Complete() const { return m_broken.isEmpty(); }

    int FrameCount() const override { return static_cast<int>(m_frames.size()); }
    qint64 LengthMs() const override { return m_lengthMs; }
    // The passes the file asks for: a WebP's or PNG's count as it stands, a
    // GIF's count of repeats plus its first pass (0 forever in all three).
    int LoopCount() const override { return m_plays; }
    QSize Size() const override { return m_size; }
    bool Sampled() const override { return false; }

    bool Next(TSourceFrame& frame) override;
    QString Error() const override { return m_error; }
    int FramesRead() const override { return m_next; }
    bool Rewind() override;

    // A frame as the file lays it out; Area, Dispose and Blend only for a PNG.
    struct TFramePlan {
        qint64 DelayMs = 0; // as the file gives it
        QRect Area;
        int Dispose = 0; // 0 keep, 1 clear to transparent, 2 back to what was before
        int Blend = 0;   // 0 replace, 1 lay over
        qint64 Offset = 0;
    };

private:
    bool Plan();
    bool NextFromQt(QImage& picture);
    bool NextPng(QImage& picture);
    bool Fail(const QString& reason);

    std::unique_ptr<QIODevice> m_device;
    std::int64_t m_maxPixels;
    QByteArray m_format;
    QSize m_size;
    int m_plays = -1;
    qint64 m_lengthMs = 0;
    std::vector<TFramePlan> m_frames;
    QString m_broken; // why the data stop after the planned frames
    bool m_failed = false;
    QString m_error;
    int m_next = 0;
    qint64 m_startMs = 0;

    std::unique_ptr<QImageReader> m_reader; // GIF and WebP
    qint64 m_wholeEnd = 0;
    std::unique_ptr<QBuffer> m_wholeChunks; // a cut WebP's whole chunks
    // PNG: the header and the chunks every frame shares, and the picture so far.
    QByteArray m_pngHeader;
    QByteArray m_pngShared;
    QImage m_canvas;
};

} // namespace vistrel
