#pragma once

class QImage;
class QString;

namespace vistrel {

class TPrompts;
class TVMUPreferences;

// What New, Open, Save and Close need of the window around the document: the
// views that show it, the player that reads its frames, the questions to the
// user and the recent-file lists. The document itself is TDocument.
class IDocumentLifecycleHost {
public:
    virtual ~IDocumentLifecycleHost() = default;

    // Asked afresh for each question: the window's prompts can be replaced.
    virtual TPrompts& Prompts() = 0;
    // The recent-file lists (saved and opened names) live in the preferences.
    virtual TVMUPreferences& Preferences() = 0;
    // The lists changed: the Reopen menu shows them again.
    virtual void RecentFilesChanged() = 0;

    // The editor's live picture of the current frame; a save stores it first.
    virtual const QImage& EditorPicture() = 0;
    // The player's worker reads the frames that are about to be replaced or
    // freed: it has ended when this returns.
    virtual void HaltPlayer() = 0;
    // Shows the script listing of the animation just opened; empty clears it.
    virtual void ShowScript(const QString& text) = 0;
    // The number of frames changed: the strip's range follows, before a frame
    // of the new set becomes current.
    virtual void FrameCountChanged() = 0;
    // Makes index current as the user moving there would: the editor's picture
    // goes back into the frame it leaves; -1 ends any typing or floating
    // selection and hides the editor.
    virtual void SetCurFrame(int index) = 0;
    // Every frame may differ: the strip and the editor are drawn again.
    virtual void FramesReplaced() = 0;
};

} // namespace vistrel
