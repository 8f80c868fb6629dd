#include "animationExport.h"
#include "formMain.h"

namespace vistrel {

void TfrmMain::ExportAnimation1Click() {
    // The shortcut-less item can still be triggered while disabled by code.
    File1Click();
    if (m_exportAnimation->isEnabled())
        m_animationExport->ExportAnimation1Click();
}

const TAnimation& TfrmMain::AnimationToExport() {
    // The frame being edited goes into the document first, as before saving.
    m_document.CommitPicture(Editor().WorkBitmap);
    return m_document.Animation();
}

} // namespace vistrel
