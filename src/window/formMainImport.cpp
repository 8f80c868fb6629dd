#include "animationImportSide.h"
#include "formMain.h"
#include "frameStrip.h"
#include "importPage.h"

#include <QTabWidget>

namespace vistrel {

void TfrmMain::Import1Click() {
    m_importSide->Import1Click();
}

void TfrmMain::Export1Click() {
    File1Click();
    if (m_export->isEnabled())
        m_importSide->Export1Click();
}

bool TfrmMain::CanReplaceFrame() const {
    return !m_document.Closed() && m_document.Animation().IsValidIndex(m_document.CurFrame());
}

bool TfrmMain::CanInsertFrame() const {
    return !m_document.Closed();
}

bool TfrmMain::InsertBlankFrameAfterCurrent() {
    // The Animation menu's Insert Frame > After Current, with its limit and message.
    return !m_document.Closed() && InsertFrameAfterCurrent();
}

void TfrmMain::ReplaceCurrentFrame(const QImage& frame) {
    if (!CanReplaceFrame())
        return;
    TEditorBitmaps& bitmaps = Editor();
    bitmaps.WorkBitmap = frame.convertToFormat(QImage::Format_RGB32);
    m_document.CommitPicture(bitmaps.WorkBitmap, QStringLiteral("Replace Frame"));
    RepaintEditor();
    Edit1Click();
}

void TfrmMain::InsertAnimation(const QString& fileName, bool sequence,
                               const TAnimationImportOptions& options) {
    m_animationImport->InsertAll(fileName, sequence, options);
}

bool TfrmMain::AnimationImportRunning() const {
    return m_animationImport && m_animationImport->Running();
}

void TfrmMain::SwitchPage(QWidget* page) {
    m_pages->setCurrentWidget(page);
}

void TfrmMain::ShowImportPage() {
    m_pages->setTabVisible(m_pages->indexOf(m_importPage), true);
    SwitchPage(m_importPage);
    m_importSide->UpdateButtons();
}

void TfrmMain::ImportDone() {
    SwitchPage(m_framePage);
    m_pages->setTabVisible(m_pages->indexOf(m_importPage), false);
}

} // namespace vistrel
