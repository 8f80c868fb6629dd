#include "documentLifecycle.h"

#include "document.h"
#include "documentLifecycleHost.h"
#include "localFiles.h"
#include "prompts.h"
#include "unitAnimation.h"
#include "unitLCDFile.h"
#include "unitPreferences.h"

#include <QFileInfo>

namespace vistrel {

namespace {

const QString OpenFilter = QStringLiteral("LCD Animation (*.lcd);;VMS Animation (*.vms);;All VMU "
                                          "Animations (*.lcd *.vms);;All Files (*)");
const QString SaveFilter = QStringLiteral("VMU Animation (*.lcd)");

QString ShortName(const QString& path) {
    return QFileInfo(path).fileName();
}

} // namespace

TDocumentLifecycle::TDocumentLifecycle(TDocument& document, IDocumentLifecycleHost& host)
    : m_document(document), m_host(host) {}

void TDocumentLifecycle::ShowError(const QString& text) {
    m_host.Prompts().MessageBox(text, QStringLiteral("Error"), PromptIcon::Error,
                                PromptButtons::Ok);
}

void TDocumentLifecycle::RememberClosedDocument() {
    if (m_document.FileName().isEmpty())
        return;
    m_host.Preferences().RememberClosedFile(m_document.FileName());
    m_host.RecentFilesChanged();
}

bool TDocumentLifecycle::PromptSaveChanges() {
    const PromptButton answer = m_host.Prompts().MessageBox(
        QStringLiteral("Save changes to %1?").arg(m_document.Title()), QStringLiteral("Confirm"),
        PromptIcon::Question, PromptButtons::YesNoCancel);
    switch (answer) {
    case PromptButton::Yes:
        // A save that did not happen (dialog cancelled, write failed) must not let
        // the caller discard the document.
        return Save(false);
    case PromptButton::No:
        RememberClosedDocument();
        return true;
    default:
        return false;
    }
}

bool TDocumentLifecycle::CloseQuery() {
    if (!m_document.Closed() && m_document.Modified())
        return PromptSaveChanges();
    RememberClosedDocument();
    return true;
}

void TDocumentLifecycle::New() {
    if (!CloseQuery())
        return;
    // The run reads the frames that Clear is about to free: its worker ends first.
    m_host.HaltPlayer();
    m_document.SetUntitledNumber(m_document.UntitledNumber() + 1);
    m_document.SetFileName(QString());
    // The steps of the old document refer to its frames: they go before the frames do.
    m_document.ClearHistory();
    m_document.SetClosed(false);
    m_host.ShowScript(QString());
    TAnimation& animation = m_document.Animation();
    animation.Clear();
    // Clear keeps what a load sets anew; a new document starts as a new
    // animation does (playing once), not as often as the one before it.
    animation.RepeatCount = 1;
    animation.SourceKind = SourceNone;
    animation.AddFrame();
    m_host.FrameCountChanged();
    m_host.SetCurFrame(-1);
    m_host.SetCurFrame(0);
    m_document.SetMultipleSel(false);
    m_host.FramesReplaced();
}

QString TDocumentLifecycle::AskSaveName() {
    // A document read from a VMS file is saved as an LCD file: the dialog proposes
    // that name, so any question about replacing a file is about the right one.
    const QString proposed = m_document.FileName().isEmpty()
                                 ? QStringLiteral("Untitled%1").arg(m_document.UntitledNumber())
                                 : ShortName(TAnimation::LCDFileName(m_document.FileName()));
    const QString folder = m_document.FileName().isEmpty()
                               ? QString()
                               : QFileInfo(m_document.FileName()).absolutePath();
    TSaveFileRequest request;
    request.title = QStringLiteral("Save %1 As").arg(proposed);
    request.filter = SaveFilter;
    request.fileName = folder.isEmpty() ? proposed : folder + QLatin1Char('/') + proposed;
    request.defaultSuffix = QStringLiteral("lcd");
    return m_host.Prompts().SaveFileName(request).value_or(QString());
}

bool TDocumentLifecycle::ConfirmReplace(const QString& fileName) {
    return m_host.Prompts().MessageBox(
               QStringLiteral("%1 already exists.\nDo you want to replace it?")
                   .arg(ShortName(fileName)),
               QStringLiteral("Confirm"), PromptIcon::Question,
               PromptButtons::YesNo) == PromptButton::Yes;
}

bool TDocumentLifecycle::Save(bool askName) {
    QString target = m_document.FileName();
    if (askName || m_document.FileName().isEmpty()) {
        target = AskSaveName();
        if (target.isEmpty())
            return false;
    }
    // The file written is always an LCD file. A document read from another kind of
    // file becomes that LCD file, and an unrelated file of that name is not
    // replaced without asking.
    const QString written = TAnimation::LCDFileName(target);
    const bool replacesOwnFile = IsSameLocalFile(written, m_document.FileName());
    if (written != target && !replacesOwnFile && LocalFileExists(written) &&
        !ConfirmReplace(written))
        return false;
    m_document.CommitPicture(m_host.EditorPicture());
    TAnimation& animation = m_document.Animation();
    if (animation.FrameCount() == 0) {
        ShowError(QStringLiteral("Unable to save %1: the animation has no frames")
                      .arg(ShortName(written)));
        return false;
    }
    if (animation.FrameCount() > LCDLayout::MaxLCDFrames) {
        // Nothing is written: the user has to delete frames first.
        ShowError(QStringLiteral("Unable to save %1: the animation has %2 frames, but an LCD "
                                 "file holds at most %3. Delete frames to save it.")
                      .arg(ShortName(written))
                      .arg(animation.FrameCount())
                      .arg(LCDLayout::MaxLCDFrames));
        return false;
    }
    QString reason;
    if (!animation.SaveToFile(target, &reason)) {
        // The system's words tell the user what to change: a folder of that name,
        // no permission, a full disk.
        ShowError(reason.isEmpty()
                      ? QStringLiteral("Unable to save %1").arg(ShortName(written))
                      : QStringLiteral("Unable to save %1: %2").arg(ShortName(written), reason));
        return false;
    }
    m_document.SetFileName(written);
    m_host.Preferences().RememberSavedFile(written);
    m_host.RecentFilesChanged();
    // The step shown now is the file's content: undoing away from it modifies.
    m_document.MarkClean();
    return true;
}

bool TDocumentLifecycle::Close() {
    if (!CloseQuery())
        return false;
    m_host.HaltPlayer();
    m_document.ClearHistory();
    m_document.SetClosed(true);
    m_host.SetCurFrame(-1);
    m_host.ShowScript(QString());
    m_document.Animation().Clear();
    m_host.FrameCountChanged();
    m_host.FramesReplaced();
    return true;
}

std::optional<QString> TDocumentLifecycle::AskOpenName() {
    TOpenFileRequest request;
    request.title = QStringLiteral("Open VMU Animation");
    request.filter = OpenFilter;
    request.fileName = m_document.FileName().isEmpty()
                           ? QString()
                           : QFileInfo(m_document.FileName()).absolutePath();
    return m_host.Prompts().OpenFileName(request);
}

void TDocumentLifecycle::Open(const QString& name) {
    if (!Close())
        return;
    if (name.isEmpty()) {
        // A cancelled dialog leaves the window closed; nothing is read again.
        m_document.SetFileName(AskOpenName().value_or(QString()));
    } else {
        // The recent lists and Reopen must find the file from any folder.
        m_document.SetFileName(AbsoluteFileName(name));
    }
    if (m_document.FileName().isEmpty())
        return;
    TAnimation& animation = m_document.Animation();
    QString reason;
    if (!animation.LoadFromFile(m_document.FileName(), &reason)) {
        ShowError(UnableToOpenMessage(ShortName(m_document.FileName()), reason));
        // A file that failed to open keeps its place in the recent lists.
        m_document.SetFileName(QString());
    } else {
        if (animation.SourceKind == SourceVMSScripted)
            m_host.Prompts().MessageBox(
                QStringLiteral("The loaded animation is interactive.  "
                               "Unfortunately, the script cannot be converted at this time."),
                QStringLiteral("Information"), PromptIcon::Information, PromptButtons::Ok);
        m_host.ShowScript(animation.ScriptText.join(QLatin1Char('\n')));
        m_host.FrameCountChanged();
        // An animation file may hold no frames at all; then there is no current frame.
        m_host.SetCurFrame(animation.FrameCount() > 0 ? 0 : -1);
        m_document.SetClosed(false);
        // An open file is not offered for reopening until it closes.
        m_host.Preferences().ForgetFile(m_document.FileName());
    }
    m_document.SetMultipleSel(false);
    m_host.FramesReplaced();
    m_host.RecentFilesChanged();
    // Loading left no step behind, but the frame switch may have stored the
    // editor's picture: the document as read is the clean one.
    m_document.ClearHistory();
}

bool TDocumentLifecycle::OpenRecovered(TAnimation& recovered, const QString& fileName,
                                       int untitledNumber, int currentFrame) {
    if (!Close())
        return false;
    TAnimation& animation = m_document.Animation();
    const int count = recovered.FrameCount();
    if (count > 0 && !animation.InsertFrames(-1, recovered.TakeFrames(0, count - 1)))
        return false;
    animation.RepeatCount = recovered.RepeatCount;
    animation.SourceKind = recovered.SourceKind;
    animation.ScriptText = recovered.ScriptText;
    // No range is marked in a document that just opened.
    animation.ClearSelectedMarks();
    recovered.Clear();
    m_document.SetFileName(fileName);
    if (fileName.isEmpty())
        m_document.SetUntitledNumber(untitledNumber);
    m_host.ShowScript(animation.ScriptText.join(QLatin1Char('\n')));
    m_host.FrameCountChanged();
    m_host.SetCurFrame(animation.IsValidIndex(currentFrame) ? currentFrame : count > 0 ? 0 : -1);
    m_document.SetClosed(false);
    m_document.SetMultipleSel(false);
    m_host.FramesReplaced();
    // Its changes were never saved: the file, if any, does not hold them, and no
    // step of the new history leads back to it.
    m_document.ClearHistory();
    m_document.SetModified(true);
    return true;
}

} // namespace vistrel
