#include "animationSourceFactory.h"

#include "localFiles.h"
#include "pictureAnimationSource.h"
#include "pictureLoader.h"
#include "pictureSequenceSource.h"

#include <QFile>

namespace vistrel {

namespace {

// A still picture, read as the single-picture import reads it, as one frame.
class TStillPictureSource final : public IAnimationSource {
public:
    explicit TStillPictureSource(QImage picture) : m_picture(std::move(picture)) {}

    int FrameCount() const override { return 1; }
    qint64 LengthMs() const override { return ShownDelayMs(0); }
    int LoopCount() const override { return -1; }
    QSize Size() const override { return m_picture.size(); }
    bool Sampled() const override { return false; }
    bool Next(TSourceFrame& frame) override {
        if (m_read)
            return false;
        m_read = true;
        frame = {m_picture, 0, ShownDelayMs(0)};
        return true;
    }
    QString Error() const override { return {}; }
    int FramesRead() const override { return m_read ? 1 : 0; }
    bool Rewind() override {
        m_read = false;
        return true;
    }

private:
    QImage m_picture;
    bool m_read = false;
};

void SetReason(QString* reason, const QString& why) {
    if (reason)
        *reason = why;
}

} // namespace

std::unique_ptr<IAnimationSource> OpenAnimationSource(const QString& fileName, bool sequence,
                                                      QString* reason) {
    if (sequence) {
        if (const QStringList files = SequenceFiles(fileName); !files.isEmpty()) {
            auto source = std::make_unique<TPictureSequenceSource>(files);
            if (source->Failed()) {
                SetReason(reason, source->Error());
                return nullptr;
            }
            return source;
        }
    }

    auto file = std::make_unique<QFile>();
    QString why;
    if (!OpenLocalFile(*file, fileName, &why)) {
        SetReason(reason, why);
        return nullptr;
    }
    if (const QByteArray format = AnimatedPictureFormat(*file); !format.isEmpty()) {
        auto animation = std::make_unique<TPictureAnimationSource>(std::move(file));
        if (animation->Failed()) {
            SetReason(reason, animation->Error());
            return nullptr;
        }
        // A GIF or PNG of one frame is a still picture, read exactly as the
        // single-picture import reads it; Vistrel reads a WebP only here.
        if (animation->FrameCount() > 1 || !animation->Complete() || format == "webp")
            return animation;
    }

    // Video clips are opened here, ahead of still pictures, once Vistrel reads them.

    const TPictureLoad still = LoadPicture(fileName);
    if (!still.Loaded()) {
        SetReason(reason, still.Reason);
        return nullptr;
    }
    return std::make_unique<TStillPictureSource>(still.Picture);
}

} // namespace vistrel
