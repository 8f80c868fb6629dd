#pragma once

#include "animationSource.h"

#include <QImage>
#include <QString>
#include <QStringList>

namespace vistrel {

// The pictures of a numbered sequence that fileName belongs to: every file
// beside it whose name is the same stem (what comes before the number that ends
// the base name) and extension with a number of its own, in the order of the
// numbers (walk_2 before walk_10). Empty when the base name does not end in a
// digit, or fileName is not a kind of picture the loader reads (a clip).
QStringList SequenceFiles(const QString& fileName);

// A numbered picture sequence, one picture a frame, each shown for the same
// time; pictures are loaded as single pictures are, one at a time. Every
// picture must have the first one's size.
class TPictureSequenceSource final : public IAnimationSource {
public:
    // frameMs: how long each picture shows (12 a second unless given).
    explicit TPictureSequenceSource(QStringList files, double frameMs = 1000.0 / 12);

    // Whether the first picture could be read (Error() says why not).
    bool Failed() const { return m_failed; }

    int FrameCount() const override { return static_cast<int>(m_files.size()); }
    qint64 LengthMs() const override { return EndMs(FrameCount()); }
    int LoopCount() const override { return -1; }
    QSize Size() const override { return m_size; }
    bool Sampled() const override { return false; }

    bool Next(TSourceFrame& frame) override;
    QString Error() const override { return m_error; }
    int FramesRead() const override { return m_next; }
    bool Rewind() override;

private:
    // Frames end on the millisecond nearest their exact end, so none drifts.
    qint64 EndMs(int frames) const;

    QStringList m_files;
    double m_frameMs;
    QSize m_size;
    QImage m_first; // read to learn the size, handed out as the first frame
    bool m_failed = false;
    QString m_error;
    int m_next = 0;
};

} // namespace vistrel
