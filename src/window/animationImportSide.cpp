#include "animationImportSide.h"

#include "animationSourceFactory.h"
#include "document.h"
#include "frameCommandsHost.h"
#include "localFiles.h"
#include "pictureSequenceSource.h"
#include "prompts.h"
#include "undoCommands.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProgressDialog>
#include <atomic>

namespace vistrel {

namespace {

QString ShortName(const QString& fileName) {
    return QFileInfo(fileName).fileName();
}

} // namespace

TAnimationImportSide::TAnimationImportSide(IFrameCommandsHost& host,
                                           std::function<TAnimationImportOptions()> choices,
                                           QObject* parent)
    : QObject(parent), m_host(host), m_choices(std::move(choices)) {}

bool TAnimationImportSide::ImportAnimation1Click() {
    TDocument& document = m_host.Document();
    if (document.Closed())
        return false;
    const std::optional<QString> fileName = m_host.Prompts().OpenFileName(
        {tr("Import Animation"),
         QStringLiteral("Animations and videos (*.gif *.webp *.png *.apng *.mp4 *.webm *.mkv "
                        "*.mov *.avi);;GIF (*.gif);;WebP (*.webp);;PNG (*.png *.apng);;"
                        "Videos (*.mp4 *.webm *.mkv *.mov *.avi);;All Files (*)"),
         {}});
    if (!fileName || fileName->isEmpty())
        return false;
    const QString shortName = ShortName(*fileName);
    const bool sequence = AskSequence(*fileName);
    QString reason;
    const std::unique_ptr<IAnimationSource> source =
        OpenAnimationSource(*fileName, sequence, &reason);
    if (!source) {
        ShowError(UnableToOpenMessage(shortName, reason));
        return false;
    }

    // Nothing may work on the frames while the source is read: the player
    // stops and the editor's picture goes into its frame first.
    m_host.BeforeFramesChange();
    m_host.StoreCurrentFrame();
    TAnimationImportOptions options = m_choices();
    options.Window = {0, 0};
    options.Merge = true;
    options.MaxFrames = MaxDocumentFrames - document.Animation().FrameCount();
    TAnimationImportResult result = Run(*source, options, shortName);
    if (result.Cancelled)
        return false;
    if (result.TooManyFrames || result.Frames.empty()) {
        ShowError(
            tr("Unable to import %1: %2")
                .arg(shortName, result.Error.isEmpty() ? tr("it holds no frames.") : result.Error));
        return false;
    }
    if (result.Partial && !AcceptPartial(result, shortName))
        return false;
    return Insert(std::move(result.Frames));
}

bool TAnimationImportSide::AskSequence(const QString& fileName) {
    const QStringList files = SequenceFiles(fileName);
    if (files.size() < 2)
        return false;
    return m_host.Prompts().MessageBox(tr("Import all %1 numbered pictures %2 ... %3 as a "
                                          "sequence?")
                                           .arg(files.size())
                                           .arg(ShortName(files.first()), ShortName(files.last())),
                                       tr("Confirm"), PromptIcon::Question,
                                       PromptButtons::YesNo) == PromptButton::Yes;
}

TAnimationImportResult TAnimationImportSide::Run(IAnimationSource& source,
                                                 const TAnimationImportOptions& options,
                                                 const QString& shortName) {
    // Window-modal: while events are processed for its Cancel button, the
    // window takes no command that could change the frames.
    QProgressDialog progress(tr("Importing %1...").arg(shortName), tr("Cancel"), 0,
                             std::max(source.FrameCount(), 0), m_host.DialogParent());
    progress.setObjectName(QStringLiteral("dlgImportAnimationProgress"));
    progress.setWindowTitle(tr("Import Animation"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoReset(false);
    progress.setValue(0);
    std::atomic<bool> cancel = false;
    const auto report = [&](int done, int total) {
        if (total > 0 && progress.maximum() != total)
            progress.setMaximum(total);
        progress.setValue(total > 0 ? std::min(done, total) : 0);
        QCoreApplication::processEvents();
        if (progress.wasCanceled())
            cancel = true;
    };
    return TAnimationImport(options).Run(source, report, &cancel);
}

bool TAnimationImportSide::AcceptPartial(const TAnimationImportResult& result,
                                         const QString& shortName) {
    return m_host.Prompts().MessageBox(
               tr("%1 could be read only as far as frame %2 (%3). Insert the %4 frames that "
                  "could be read?")
                   .arg(shortName)
                   .arg(result.FramesRead)
                   .arg(result.Error)
                   .arg(result.Frames.size()),
               tr("Confirm"), PromptIcon::Question, PromptButtons::YesNo) == PromptButton::Yes;
}

bool TAnimationImportSide::Insert(std::vector<TFrame> frames) {
    TDocument& document = m_host.Document();
    TAnimation& animation = document.Animation();
    // Frames marked for a range would move under the inserted ones.
    animation.ClearSelectedMarks();
    document.SetMultipleSel(false);
    const int index = document.CurFrame() + 1;
    const int countBefore = animation.FrameCount();
    document.Push(
        new TInsertFramesCommand(document, index, std::move(frames), tr("Import Animation")));
    const bool inserted = animation.FrameCount() > countBefore;
    if (inserted)
        m_host.SetCurFrame(index);
    m_host.RefreshFrames(true);
    return inserted;
}

void TAnimationImportSide::ShowError(const QString& text) {
    m_host.Prompts().MessageBox(text, tr("Error"), PromptIcon::Error, PromptButtons::Ok);
}

} // namespace vistrel
