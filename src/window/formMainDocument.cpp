#include "formMain.h"
#include "frameStrip.h"
#include "importPage.h"
#include "localFiles.h"
#include "pixelClipboard.h"
#include "playerPage.h"
#include "unitLCDFile.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTabWidget>

namespace vistrel {

namespace {

const QString OpenFilter = QStringLiteral("LCD Animation (*.lcd);;VMS Animation (*.vms);;All VMU "
                                          "Animations (*.lcd *.vms);;All Files (*)");
const QString SaveFilter = QStringLiteral("VMU Animation (*.lcd)");

QString ShortName(const QString& path) {
    return QFileInfo(path).fileName();
}

} // namespace

void TfrmMain::File1Click() {
    const bool recent = !m_preferences->Saved.isEmpty() || !m_preferences->Opened.isEmpty();
    m_reopenMenu->menuAction()->setEnabled(recent);
    m_save->setEnabled(!m_document.Closed() && m_document.Modified());
    m_saveAs->setEnabled(!m_document.Closed());
    m_close->setEnabled(!m_document.Closed());
    // File1Click runs while the window is built, before the Import page exists.
    if (m_importSide) {
        m_import->setEnabled(!m_importSide->Importer().Busy());
        m_importSide->UpdateButtons();
    }
    m_export->setEnabled(!m_document.Closed() &&
                         m_document.Animation().IsValidIndex(m_document.CurFrame()));
    m_exportAnimation->setEnabled(!m_document.Closed() && m_document.Animation().FrameCount() > 0);
}

void TfrmMain::RememberClosedDocument() {
    if (m_document.FileName().isEmpty())
        return;
    m_preferences->RememberClosedFile(m_document.FileName());
    BuildReopenMenu();
}

bool TfrmMain::PromptSaveChanges() {
    const PromptButton answer = m_prompts->MessageBox(
        QStringLiteral("Save changes to %1?").arg(m_document.Title()), QStringLiteral("Confirm"),
        PromptIcon::Question, PromptButtons::YesNoCancel);
    switch (answer) {
    case PromptButton::Yes:
        // A save that did not happen (dialog cancelled, write failed) must not let
        // the caller discard the document.
        return SaveDocument(false);
    case PromptButton::No:
        RememberClosedDocument();
        return true;
    default:
        return false;
    }
}

void TfrmMain::New1Click() {
    if (!m_document.Closed() && m_document.Modified()) {
        if (!PromptSaveChanges())
            return;
    } else {
        RememberClosedDocument();
    }
    // The run reads the frames that Clear is about to free: its worker ends first.
    m_player->HaltPlayer();
    m_document.SetUntitledNumber(m_document.UntitledNumber() + 1);
    m_document.SetFileName(QString());
    SetModified(false);
    SetClosed(false);
    m_memoScript->clear();
    m_document.Animation().Clear();
    m_document.Animation().AddFrame();
    m_frameStrip->UpdateStripScrollBar();
    SetCurFrame(-1);
    SetCurFrame(0);
    SetMultipleSel(false);
    RepaintEditor();
    m_frameStrip->RefreshFrameStrip();
}

QString TfrmMain::AskSaveName() {
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
    return m_prompts->SaveFileName(request).value_or(QString());
}

bool TfrmMain::ConfirmReplace(const QString& fileName) {
    return m_prompts->MessageBox(QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                     .arg(ShortName(fileName)),
                                 QStringLiteral("Confirm"), PromptIcon::Question,
                                 PromptButtons::YesNo) == PromptButton::Yes;
}

bool TfrmMain::SaveDocument(bool askName) {
    QString target = m_document.FileName();
    const bool named = askName || m_document.FileName().isEmpty();
    if (named) {
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
    m_document.CommitPicture(Editor().WorkBitmap);
    if (m_document.Animation().FrameCount() == 0) {
        ShowError(QStringLiteral("Unable to save %1: the animation has no frames")
                      .arg(ShortName(written)));
        return false;
    }
    if (m_document.Animation().FrameCount() > LCDLayout::MaxLCDFrames) {
        // Nothing is written: the user has to delete frames first.
        ShowError(QStringLiteral("Unable to save %1: the animation has %2 frames, but an LCD "
                                 "file holds at most %3. Delete frames to save it.")
                      .arg(ShortName(written))
                      .arg(m_document.Animation().FrameCount())
                      .arg(LCDLayout::MaxLCDFrames));
        return false;
    }
    QString reason;
    if (!m_document.Animation().SaveToFile(target, &reason)) {
        // The system's words tell the user what to change: a folder of that name,
        // no permission, a full disk.
        ShowError(reason.isEmpty()
                      ? QStringLiteral("Unable to save %1").arg(ShortName(written))
                      : QStringLiteral("Unable to save %1: %2").arg(ShortName(written), reason));
        return false;
    }
    m_document.SetFileName(written);
    m_preferences->RememberSavedFile(m_document.FileName());
    BuildReopenMenu();
    SetModified(false);
    return true;
}

bool TfrmMain::CloseDocument() {
    if (m_document.Modified()) {
        if (!PromptSaveChanges())
            return false;
    } else {
        RememberClosedDocument();
    }
    m_player->HaltPlayer();
    SetModified(false);
    SetClosed(true);
    SetCurFrame(-1);
    m_frameStrip->SetPosition(0);
    m_memoScript->clear();
    m_document.Animation().Clear();
    RepaintEditor();
    m_frameStrip->UpdateStripScrollBar();
    m_frameStrip->RefreshFrameStrip();
    return true;
}

std::optional<QString> TfrmMain::AskAnimationFileName() {
    TOpenFileRequest request;
    request.title = QStringLiteral("Open VMU Animation");
    request.filter = OpenFilter;
    request.fileName = m_document.FileName().isEmpty()
                           ? QString()
                           : QFileInfo(m_document.FileName()).absolutePath();
    return m_prompts->OpenFileName(request);
}

void TfrmMain::OpenDocument(const QString& name) {
    if (!CloseDocument())
        return;
    if (name.isEmpty()) {
        // A cancelled dialog leaves the window closed; nothing is read again.
        m_document.SetFileName(AskAnimationFileName().value_or(QString()));
    } else {
        // The recent lists and Reopen must find the file from any folder.
        m_document.SetFileName(AbsoluteFileName(name));
    }
    if (!m_document.FileName().isEmpty()) {
        QString reason;
        if (!m_document.Animation().LoadFromFile(m_document.FileName(), &reason)) {
            ShowError(UnableToOpenMessage(ShortName(m_document.FileName()), reason));
            m_document.SetFileName(QString());
        } else {
            if (m_document.Animation().SourceKind == SourceVMSScripted)
                m_prompts->MessageBox(
                    QStringLiteral("The loaded animation is interactive.  "
                                   "Unfortunately, the script cannot be converted at this time."),
                    QStringLiteral("Information"), PromptIcon::Information, PromptButtons::Ok);
            m_memoScript->setPlainText(m_document.Animation().ScriptText.join(QLatin1Char('\n')));
            m_frameStrip->UpdateStripScrollBar();
            // An animation file may hold no frames at all; then there is no current frame.
            SetCurFrame(m_document.Animation().FrameCount() > 0 ? 0 : -1);
            SetClosed(false);
        }
        SetMultipleSel(false);
        m_frameStrip->RefreshFrameStrip();
        m_preferences->ForgetFile(m_document.FileName());
        BuildReopenMenu();
    }
    SetModified(false);
}

void TfrmMain::BuildReopenMenu() {
    // This runs inside an item's own triggered signal when a Reopen item opens its
    // file: the old items leave the menu now and are deleted once that signal has
    // returned.
    for (QAction* old : m_reopenMenu->actions()) {
        m_reopenMenu->removeAction(old);
        old->deleteLater();
    }
    const auto addItem = [this](const QString& name) {
        const int number = static_cast<int>(m_reopenMenu->actions().size());
        QAction* item =
            // A "&" of the file name is shown as it is, not as a mnemonic.
            m_reopenMenu->addAction(QStringLiteral("&%1 %2")
                                        .arg(number, 0, 16)
                                        .arg(QString(name).replace(u'&', QLatin1String("&&"))));
        connect(item, &QAction::triggered, this, [this, name] { ReopenItemClick(name); });
    };
    for (const QString& name : m_preferences->Saved)
        addItem(name);
    if (!m_preferences->Saved.isEmpty() && !m_preferences->Opened.isEmpty())
        m_reopenMenu->addSeparator();
    for (const QString& name : m_preferences->Opened)
        addItem(name);
    File1Click();
}

void TfrmMain::ReopenItemClick(QString name) {
    // By value: opening rebuilds the lists the name came from.
    OpenDocument(name.left(255));
}

void TfrmMain::Open1Click() {
    OpenDocument(QString());
}
void TfrmMain::Save1Click() {
    SaveDocument(false);
}
void TfrmMain::SaveAs1Click() {
    SaveDocument(true);
}
void TfrmMain::Close1Click() {
    CloseDocument();
}
void TfrmMain::Exit1Click() {
    close();
}

bool TfrmMain::EmptyOwnClipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard->mimeData();
    if (data == nullptr)
        return false;
    // Only frames or pictures this program put there are taken away; what other
    // programs left on the clipboard stays.
    if (!data->hasFormat(QLatin1String(FrameClipboardFormat)) &&
        !data->hasFormat(QLatin1String(PixelClipboardFormat)))
        return false;
    clipboard->clear();
    return true;
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    // The importer's long loops let events run; the window stays until they end.
    if (m_importSide->Importer().Busy()) {
        event->ignore();
        return;
    }
    if (!m_document.Closed() && m_document.Modified()) {
        if (!PromptSaveChanges()) {
            event->ignore();
            return;
        }
    } else {
        RememberClosedDocument();
    }
    EmptyOwnClipboard();
    if (windowState() == Qt::WindowNoState) {
        const QRect bounds = geometry();
        m_preferences->WindowLeft = bounds.left();
        m_preferences->WindowTop = bounds.top();
        m_preferences->WindowWidth = bounds.width();
        m_preferences->WindowHeight = bounds.height();
    }
    StopPlayer();
    // Written here, while the window still stands, so that a failure can be told.
    if (!m_preferences->Save())
        ShowError(QStringLiteral("Unable to write to %1").arg(m_preferences->IniFileName()));
    event->accept();
}

} // namespace vistrel
