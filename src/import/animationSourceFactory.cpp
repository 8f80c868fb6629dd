#include "animationSourceFactory.h"

#include "localFiles.h"
#include "pictureAnimationSource.h"
#include "pictureLoader.h"
#include "pictureSequenceSource.h"
#include "videoSource.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

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

bool LooksLikeVideo(const QString& fileName) {
    static const QStringList extensions = {
        QStringLiteral("mp4"), QStringLiteral("m4v"),  QStringLiteral("mov"),
        QStringLiteral("mkv"), QStringLiteral("webm"), QStringLiteral("avi"),
        QStringLiteral("mpg"), QStringLiteral("mpeg"), QStringLiteral("ts"),
        QStringLiteral("ogv"), QStringLiteral("flv"),  QStringLiteral("wmv"),
        QStringLiteral("3gp")};
    return extensions.contains(QFileInfo(fileName).suffix().toLower());
}

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

    // A video clip next: the video reader refuses still pictures itself, so a
    // picture falls through to the single-picture import.
    QString videoReason;
    if (std::unique_ptr<IAnimationSource> video = OpenVideoSource(fileName, &videoReason))
        return video;

    const TPictureLoad still = LoadPicture(fileName);
    if (!still.Loaded()) {
        // Whichever reader the name promises says why.
        SetReason(reason, LooksLikeVideo(fileName) ? videoReason : still.Reason);
        return nullptr;
    }
    return std::make_unique<TStillPictureSource>(still.Picture);
}

} // namespace vistrel
