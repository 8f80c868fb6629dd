#include "formMain.h"
#include "frameClipboard.h"
#include "importPage.h"
#include "pixelClipboard.h"
#include "playerPage.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>

namespace vistrel {

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

void TfrmMain::New1Click() {
    m_lifecycle.New();
}

bool TfrmMain::PromptSaveChanges() {
    return m_lifecycle.PromptSaveChanges();
}

bool TfrmMain::SaveDocument(bool askName) {
    return m_lifecycle.Save(askName);
}

bool TfrmMain::CloseDocument() {
    return m_lifecycle.Close();
}

void TfrmMain::OpenDocument(const QString& name) {
    m_lifecycle.Open(name);
}

std::optional<QString> TfrmMain::AskAnimationFileName() {
    return m_lifecycle.AskOpenName();
}

void TfrmMain::BuildReopenMenu() {
    // This runs inside an item's own triggered signal when a Reopen item opens its
    // file: the old items leave the menu now and are deleted once that signal has
    // returned.
    for (QAction* old : m_reopenMenu->actions()) {
        m_reopenMenu->removeAction(old);
        old->deleteLater();
    }
    // The separator between the saved and the opened names takes no number.
    int number = 0;
    const auto addItem = [this, &number](const QString& name) {
        QAction* item =
            // A "&" of the file name is shown as it is, not as a mnemonic.
            m_reopenMenu->addAction(QStringLiteral("&%1 %2")
                                        .arg(number++, 0, 16)
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
    if (!m_lifecycle.CloseQuery()) {
        event->ignore();
        return;
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
