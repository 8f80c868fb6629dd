#pragma once

// The window empties the clipboard of the frames it put there when it closes.
#include "frameClipboard.h"

#include <QString>
#include <optional>

class QWidget;

namespace vistrel {

class TAnimation;
class TDocument;
class TPrompts;

// What the Animation menu needs from the window that owns the document: the
// animation and its current frame and range, the editor's picture of the
// current frame, the window's refreshes, and the user's questions.
class IFrameCommandsHost {
public:
    virtual ~IFrameCommandsHost() = default;

    // The document: its frames, current frame, range and history, which takes
    // every change of the frames as one step.
    virtual TDocument& Document() = 0;
    // The window's CurFrame setter: stores the editor picture into the frame being
    // left, loads the new one, repaints; it does not touch the strip.
    virtual void SetCurFrame(int index) = 0;
    // True while the Frame page is the active page.
    virtual bool FramePageActive() const = 0;
    // Del on the Frame page goes to the editor first: a floating selection is
    // cleared as Clear Selection does, and text being typed keeps the key from
    // the frames. True when the editor took the key.
    virtual bool EditorTakesDeleteKey() = 0;

    // Runs before any command changes the frame list or the durations: nothing
    // may still be working on the frames then (the player is stopped and its
    // worker has ended).
    virtual void BeforeFramesChange() = 0;
    // Writes the editor's picture into the current frame, when there is one.
    virtual void StoreCurrentFrame() = 0;
    // Loads the frame now at the current index into the editor and resets undo;
    // for commands that leave CurFrame's number as it was but not its frame.
    virtual void ShowCurrentFrame() = 0;
    // The reference layer pictures of frames that were deleted go with them.
    virtual void ClearLayerPictures(bool red, bool blue) = 0;

    virtual void RefreshTimePanels() = 0;
    // The refresh after a change of the frame list: the strip's scroll bar is fitted
    // to the frame count, the strip scrolls to the current frame when asked, then
    // the strip, the editor and the preview are repainted.
    virtual void RefreshFrames(bool scrollToCurrent) = 0;

    virtual TPrompts& Prompts() = 0;
    // The Open dialog for animation files; nothing when it was cancelled.
    virtual std::optional<QString> AskAnimationFileName() = 0;
    // Owner of the dialogs the commands open.
    virtual QWidget* DialogParent() = 0;
};

} // namespace vistrel
