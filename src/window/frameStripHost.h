#pragma once

#include <QImage>
#include <QPoint>

namespace vistrel {

class TAnimation;

// What the frame strip needs from the window that owns the document: the
// animation, the current frame and range selection, the editor's live picture
// of the current frame, and the few window reactions a strip action triggers.
class IFrameStripHost {
public:
    virtual ~IFrameStripHost() = default;

    virtual TAnimation& Animation() = 0;

    virtual int CurFrame() const = 0;
    // The window's CurFrame setter: stores the editor picture into the frame being
    // left, loads the new one, resets undo, repaints; it does not touch the strip.
    virtual void SetCurFrame(int index) = 0;

    virtual bool MultipleSel() const = 0;
    virtual void SetMultipleSel(bool value) = 0;
    virtual int SelFirst() const = 0;
    virtual int SelLast() const = 0;
    virtual void SetSelRange(int first, int last) = 0;

    // The editor's picture of the current frame, with edits not yet stored.
    virtual const QImage& WorkBitmap() const = 0;

    virtual void SetModified(bool value) = 0;
    virtual void RefreshTimePanels() = 0;

    // A plain slot click while the text tool is active ends its caret first.
    virtual void EndTextCaret() = 0;
    // Opens the frame popup menu for a frame at a screen position.
    virtual void PopupFrameMenu(int frame, QPoint globalPosition) = 0;
    // Gives the keyboard back to the window so its key handlers get the keys.
    virtual void ReleaseKeyboardFocus() = 0;
};

} // namespace vistrel
