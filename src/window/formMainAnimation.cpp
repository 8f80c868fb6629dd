// The window's side of the Animation menu: forwarders under the menu's handler
// names, and the window steps the frame commands call.
#include "formMain.h"
#include "frameCommands.h"
#include "frameStrip.h"
#include "paintBox.h"
#include "playerPage.h"

#include <QTabWidget>

namespace vistrel {

void TfrmMain::Animation1Click() {
    m_commands->Animation1Click();
}
void TfrmMain::AfterCurrent2Click() {
    m_commands->AfterCurrent2Click();
}
bool TfrmMain::InsertFrameAfterCurrent() {
    return m_commands->InsertFrameAfterCurrent();
}

void TfrmMain::BeforeFramesChange() {
    // The run reads the frames it shows; it ends before any of them moves.
    m_player->HaltPlayer();
    // Text being typed or a floating selection would write its stale picture over
    // the frame that takes the current place.
    m_frameEditor.EndEditing();
}

void TfrmMain::StoreCurrentFrame() {
    m_document.CommitPicture(Editor().WorkBitmap);
}

void TfrmMain::ShowCurrentFrame() {
    m_frameEditor.LoadFrame(m_document.Animation(), m_document.CurFrame());
}

void TfrmMain::ClearLayerPictures(bool red, bool blue) {
    if (red)
        Editor().RedLayerBitmap.fill(Qt::black);
    if (blue)
        Editor().BlueLayerBitmap.fill(Qt::black);
}

void TfrmMain::RefreshFrames(bool scrollToCurrent) {
    m_frameStrip->UpdateStripScrollBar();
    if (scrollToCurrent)
        m_frameStrip->ScrollToCurrent();
    m_frameStrip->RefreshFrameStrip();
    RepaintEditor();
    m_player->CurrentFrameChanged();
}

} // namespace vistrel
