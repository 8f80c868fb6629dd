#pragma once

#include <QPoint>

class QPlainTextEdit;

namespace vistrel {

class TDocument;
class TPrompts;

// What the Edit menu's commands act on: the current frame's picture (Undo and
// Redo on the document's history), the Script page's text, the document's
// history alone (the other pages, or no current frame), or nothing (closed).
enum class TEditTarget { Frame, Script, Document, None };

// What the frame editor needs from the window around it: the document whose
// current frame it edits, the status readout, the keyboard, the page the Edit menu serves and
// the prompts. The editor never reaches into the window's other widgets.
class IFrameEditorHost {
public:
    virtual ~IFrameEditorHost() = default;

    // Every change of the picture goes into the document as an undo step.
    virtual TDocument& Document() = 0;
    // Gives the keyboard back to the window so typed keys reach the editor.
    virtual void ReleaseKeyboardFocus() = 0;
    // The frame pixel under the mouse, or (-1, -1) while it is off the frame, for the status bar.
    virtual void ShowCursorCell(QPoint pixel) = 0;
    // The editor's picture changed: the current frame's thumbnail follows it.
    virtual void RepaintCurrentThumbnail() = 0;
    virtual TEditTarget EditTarget() const = 0;
    // The Script page's text, which the Edit menu serves on that page.
    virtual QPlainTextEdit* ScriptMemo() = 0;
    virtual TPrompts& Prompts() = 0;
};

} // namespace vistrel
