#include "unitAnimationExport.h"

#include "localFiles.h"
#include "unitAnimation.h"
#include "unitPreferences.h"

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
    case TExportFormat::PngSheet:
    case TExportFormat::PngFrames:
        break;
    }
    return QStringLiteral(".png");
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
    if (!Check(target))
        return false;
    switch (m_options.Format) {
    case TExportFormat::Gif:
        return ExportGif(target);
    case TExportFormat::PngSheet:
        return ExportSheet(target);
    case TExportFormat::PngFrames:
        return ExportFrames(target);
    case TExportFormat::CHeader:
        return ExportCHeader(target);
    }
    return Fail(target, QStringLiteral("unknown export format"));
}

} // namespace vistrel
