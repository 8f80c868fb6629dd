#include "unitAnimationExport.h"

#include "exportFrames.h"
#include "localFiles.h"
#include "unitAnimation.h"
#include "unitPreferences.h"

#include <QDir>
#include <QFileInfo>

namespace vistrel {

TAnimationExport::TAnimationExport(const TAnimation& animation, const TExportOptions& options)
    : m_animation(animation), m_options(options) {}

QString TAnimationExport::Extension(TExportFormat format) {
    switch (format) {
    case TExportFormat::Gif:
        return QStringLiteral(".gif");
    case TExportFormat::CHeader:
        return QStringLiteral(".h");
    case TExportFormat::Binary:
        return QStringLiteral(".bin");
    case TExportFormat::PngSheet:
    case TExportFormat::PngFrames:
        break;
    }
    return QStringLiteral(".png");
}

QString TAnimationExport::DurationsFileName(const QString& target) {
    const QFileInfo info(target);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".txt"));
}

FramePixels TAnimationExport::Pixels(int index) const {
    const FramePixels& pixels = m_animation.Frame(index).Pixels;
    return m_options.Rotate180 ? TurnedUpsideDown(pixels) : pixels;
}

bool TAnimationExport::Fail(const QString& fileName, const QString& reason) {
    m_error = QStringLiteral("Unable to write %1: %2").arg(QFileInfo(fileName).fileName(), reason);
    return false;
}

bool TAnimationExport::Check(const QString& target) {
    if (m_animation.FrameCount() == 0)
        return Fail(target, QStringLiteral("the animation has no frames"));
    if (m_options.Scale < TExportOptions::MinScale || m_options.Scale > TExportOptions::MaxScale)
        return Fail(target, QStringLiteral("the scale must be %1 to %2, not %3")
                                .arg(TExportOptions::MinScale)
                                .arg(TExportOptions::MaxScale)
                                .arg(m_options.Scale));
    if (m_options.Columns < 0)
        return Fail(target, QStringLiteral("the number of columns cannot be negative"));
    if (m_options.PlayerFPS < 1 || m_options.PlayerFPS > TVMUPreferences::MaxPlayerFPS)
        return Fail(target, QStringLiteral("the speed must be 1 to %1 ticks per second, not %2")
                                .arg(TVMUPreferences::MaxPlayerFPS)
                                .arg(m_options.PlayerFPS));
    // The table must not take the place of a file the frames went to a moment before.
    const QString& durations = m_options.DurationsFile;
    if (!durations.isEmpty()) {
        const bool frames = m_options.Format == TExportFormat::PngFrames;
        for (int i = 0; i < (frames ? m_animation.FrameCount() : 1); ++i)
            if (IsSameLocalFile(durations, frames ? FrameFileName(target, i) : target))
                return Fail(durations, QStringLiteral("the frames are written to that file"));
    }
    return true;
}

bool TAnimationExport::WriteFile(const QString& fileName, const QByteArray& bytes) {
    QString reason;
    if (!SaveLocalFile(fileName, bytes, &reason))
        return Fail(fileName, reason);
    m_written << fileName;
    return true;
}

void TAnimationExport::Report(int done) {
    if (m_progress)
        m_progress(done, m_animation.FrameCount());
}

bool TAnimationExport::Export(const QString& target) {
    m_error.clear();
    m_written.clear();
    if (!Check(target) || !ExportFormat(target))
        return false;
    return m_options.DurationsFile.isEmpty() ||
           WriteFile(m_options.DurationsFile, DurationTable(m_animation));
}

bool TAnimationExport::ExportFormat(const QString& target) {
    switch (m_options.Format) {
    case TExportFormat::Gif:
        return ExportGif(target);
    case TExportFormat::PngSheet:
        return ExportSheet(target);
    case TExportFormat::PngFrames:
        return ExportFrames(target);
    case TExportFormat::CHeader:
        return ExportCHeader(target);
    case TExportFormat::Binary:
        return ExportBinary(target);
    }
    return Fail(target, QStringLiteral("unknown export format"));
}

} // namespace vistrel
