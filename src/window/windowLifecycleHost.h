#pragma once

#include "documentLifecycleHost.h"

namespace vistrel {

class TfrmMain;

// The window's side of New, Open, Save and Close: the player page, the script
// listing, the frame strip, the editor and the Reopen menu of the main window.
class TWindowLifecycleHost : public IDocumentLifecycleHost {
public:
    explicit TWindowLifecycleHost(TfrmMain& window) : m_window(window) {}

    TPrompts& Prompts() override;
    TVMUPreferences& Preferences() override;
    void RecentFilesChanged() override;
    const QImage& EditorPicture() override;
    void HaltPlayer() override;
    void ShowScript(const QString& text) override;
    void FrameCountChanged() override;
    void SetCurFrame(int index) override;
    void FramesReplaced() override;

private:
    TfrmMain& m_window;
};

} // namespace vistrel
