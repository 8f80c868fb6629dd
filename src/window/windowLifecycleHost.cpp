#include "windowLifecycleHost.h"

#include "formMain.h"
#include "frameStrip.h"
#include "playerPage.h"

#include <QPlainTextEdit>

namespace vistrel {

TPrompts& TWindowLifecycleHost::Prompts() {
    return m_window.Prompts();
}

TVMUPreferences& TWindowLifecycleHost::Preferences() {
    return m_window.Preferences();
}

void TWindowLifecycleHost::RecentFilesChanged() {
    m_window.BuildReopenMenu();
}

const QImage& TWindowLifecycleHost::EditorPicture() {
    return m_window.WorkBitmap();
}

void TWindowLifecycleHost::HaltPlayer() {
    m_window.PlayerPage().HaltPlayer();
}

void TWindowLifecycleHost::ShowScript(const QString& text) {
    m_window.ScriptMemo()->setPlainText(text);
}

void TWindowLifecycleHost::FrameCountChanged() {
    m_window.FrameStrip().UpdateStripScrollBar();
}

void TWindowLifecycleHost::SetCurFrame(int index) {
    m_window.SetCurFrame(index);
}

void TWindowLifecycleHost::FramesReplaced() {
    m_window.RepaintEditor();
    m_window.FrameStrip().RefreshFrameStrip();
}

} // namespace vistrel
