#pragma once

#include <QImage>
#include <QPoint>

namespace vistrel {

class TDocument;

// What the frame strip needs from the window: the shared document, going to a
// frame, the editor's live picture of the current frame, and the few window
// reactions a strip action (a click, a typed duration, frames dragged to
// another place) triggers.
class IFrameStripHost {
public:
    virtual ~IFrameStripHost() = default;
    // The animation, the current frame, the range selection and Modified.
    virtual TDocument& Document() = 0;
    // Going to a frame: the editor's picture goes into the frame being left, the
    // new one is loaded, undo is reset, the views repainted; it does not touch
    // the strip.
    virtual void SetCurFrame(int index) = 0;
    // The editor's picture of the current frame, with edits not yet stored.
    virtual const QImage& WorkBitmap() const = 0;
    virtual void RefreshTimePanels() = 0;
    // A plain slot click while the text tool is active ends its caret first.
    virtual void EndTextCaret() = 0;
    // Opens the frame popup menu for a frame at a screen position.
    virtual void PopupFrameMenu(int frame, QPoint globalPosition) = 0;
    // Gives the keyboard back to the window so its key handlers get the keys.
    virtual void ReleaseKeyboardFocus() = 0;
    // Before frames dropped in the strip move: nothing may still be working on
    // the frames (the player stops, typing and a floating selection end).
    virtual void BeforeFramesChange() = 0;
    // Writes the editor's picture into the current frame, when there is one.
    virtual void StoreCurrentFrame() = 0;
};

} // namespace vistrel
