#include "animationExport.h"

#include "animationExportHost.h"
#include "document.h"
#include "formExportAnimation.h"
#include "localFiles.h"
#include "prompts.h"
#include "unitPreferences.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressBar>
#include <QStatusBar>

namespace vistrel {

namespace {

QString Filter(TExportFormat format) {
    switch (format) {
    case TExportFormat::Gif:
        return QStringLiteral("GIF Animation (*.gif);;All Files (*)");
    case TExportFormat::CHeader:
        return QStringLiteral("C Header (*.h);;All Files (*)");
    case TExportFormat::Binary:
        return QStringLiteral("Raw Frames (*.bin);;All Files (*)");
    case TExportFormat::PngSheet:
    case TExportFormat::PngFrames:
        break;
    }
    return QStringLiteral("PNG Picture (*.png);;All Files (*)");
}

} // namespace

TExportFormat TAnimationExportSide::FormatForName(QString& target, TExportFormat chosen) {
    // A typed extension that names a format wins over the dialog's choice: a file
    // named check.h holding GIF data helps no one. Numbered frames are PNG files
    // too, so ".png" keeps them.
    const QString suffix = QFileInfo(target).suffix().toLower();
    if (suffix == QLatin1String("gif"))
        return TExportFormat::Gif;
    if (suffix == QLatin1String("h"))
        return TExportFormat::CHeader;
    if (suffix == QLatin1String("bin"))
        return TExportFormat::Binary;
    if (suffix == QLatin1String("png"))
        return chosen == TExportFormat::PngFrames ? chosen : TExportFormat::PngSheet;
    target += TAnimationExport::Extension(chosen);
    return chosen;
}

TAnimationExportSide::TAnimationExportSide(IAnimationExportHost& host, QStatusBar* statusBar)
    : QObject(statusBar), m_host(host) {
    m_progress = new QProgressBar(statusBar);
    m_progress->setObjectName(QStringLiteral("prgbrExport"));
    m_progress->setFormat(QStringLiteral("Exporting %v of %m"));
    // As wide as its longest text, which then never wraps onto a second line.
    m_progress->setFixedWidth(m_progress->fontMetrics().horizontalAdvance(
                                  QStringLiteral("Exporting %1 of %1").arg(MaxDocumentFrames)) +
                              24);
    statusBar->addPermanentWidget(m_progress);
    m_progress->hide();
    RunDialog = [](TfrmExportAnimation& dialog) { return dialog.exec() == QDialog::Accepted; };
}

QString TAnimationExportSide::AskTarget(const TExportChoices& choices) {
    const QString extension = TAnimationExport::Extension(choices.Format);
    const QString base = QFileInfo(m_host.Document().Title()).completeBaseName();
    // Proposed beside the last export, else beside the document.
    QString folder = choices.Folder;
    if (folder.isEmpty() && !m_host.Document().FileName().isEmpty())
        folder = QFileInfo(m_host.Document().FileName()).path();
    TSaveFileRequest request;
    request.title = choices.Format == TExportFormat::PngFrames
                        ? QStringLiteral("Export Animation as PNG Frames")
                        : QStringLiteral("Export Animation");
    request.filter = Filter(choices.Format);
    request.fileName =
        folder.isEmpty() ? base + extension : QDir(folder).filePath(base + extension);
    request.defaultSuffix = extension.mid(1);
    return m_host.Prompts().SaveFileName(request).value_or(QString());
}

bool TAnimationExportSide::ConfirmReplace(const QString& fileName) {
    return !LocalFileExists(fileName) ||
           m_host.Prompts().MessageBox(
               QStringLiteral("%1 already exists.\nDo you want to replace it?")
                   .arg(QFileInfo(fileName).fileName()),
               QStringLiteral("Confirm"), PromptIcon::Question,
               PromptButtons::YesNo) == PromptButton::Yes;
}

bool TAnimationExportSide::ConfirmReplaceFrames(const QString& target, int frameCount) {
    int existing = 0;
    QString first;
    for (int i = 0; i < frameCount; ++i)
        if (LocalFileExists(TAnimationExport::FrameFileName(target, i))) {
            if (existing++ == 0)
                first = QFileInfo(TAnimationExport::FrameFileName(target, i)).fileName();
        }
    if (existing == 0)
        return true;
    const QString text =
        existing == 1 ? QStringLiteral("%1 already exists. Replace it?").arg(first)
                      : QStringLiteral("%1 and %2 more frame files already exist. Replace them?")
                            .arg(first)
                            .arg(existing - 1);
    return m_host.Prompts().MessageBox(text, QStringLiteral("Confirm"), PromptIcon::Question,
                                       PromptButtons::YesNo) == PromptButton::Yes;
}

bool TAnimationExportSide::ExportAnimation1Click() {
    const TAnimation& animation = m_host.AnimationToExport();
    if (animation.FrameCount() == 0)
        return false;
    TVMUPreferences& preferences = m_host.Preferences();
    const int fps = preferences.EffectivePlayerFPS();
    TfrmExportAnimation dialog(TExportChoices::Load(preferences.IniFile()), animation,
                               m_host.Document().CurFrame(), fps, m_progress->window());
    if (!RunDialog(dialog))
        return false;
    TExportChoices choices = dialog.Choices();
    const QString asked = AskTarget(choices);
    if (asked.isEmpty())
        return false;
    QString target = asked;
    const TExportFormat format = FormatForName(target, choices.Format);
    // The choices are kept once the user has committed to them, whatever the
    // export's outcome.
    choices.Folder = QFileInfo(target).absolutePath();
    choices.Save(preferences.IniFile());
    // The file dialog asked about replacing the name typed, not the one with the
    // extension added.
    if (target != asked && format != TExportFormat::PngFrames && !ConfirmReplace(target))
        return false;
    if (format == TExportFormat::PngFrames && !ConfirmReplaceFrames(target, animation.FrameCount()))
        return false;
    // The table goes beside a binary only; the file dialog never asked about its name.
    const QString durations = format == TExportFormat::Binary && choices.DurationTable
                                  ? TAnimationExport::DurationsFileName(target)
                                  : QString();
    if (!durations.isEmpty() && !ConfirmReplace(durations))
        return false;

    TExportOptions options;
    options.Format = format;
    options.Scale = choices.Scale;
    options.Colours = choices.Colours;
    options.Columns = choices.Columns;
    options.Rotate180 = choices.Rotate180;
    options.DurationsFile = durations;
    options.PlayerFPS = fps;
    options.SourceName = m_host.Document().Title();
    TAnimationExport exporter(animation, options);
    m_progress->setRange(0, animation.FrameCount());
    m_progress->setValue(0);
    m_progress->show();
    exporter.SetProgress([this](int done, int) {
        m_progress->setValue(done);
        // Paints the bar; the user's input waits until the export is over.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    const bool exported = exporter.Export(target);
    m_progress->hide();
    if (!exported)
        m_host.Prompts().MessageBox(exporter.ErrorText(), QStringLiteral("Error"),
                                    PromptIcon::Error, PromptButtons::Ok);
    return exported;
}

} // namespace vistrel
