#pragma once

#include <QPoint>

class QPlainTextEdit;

namespace vistrel {

class TPrompts;

// Which page the Edit menu's commands act on.
enum class TEditTarget { Frame, Script, None };

// What the frame editor needs from the window around it: marking the document
// modified, the status readout, the keyboard, the page the Edit menu serves and
// the prompts. The editor never reaches into the window's other widgets.
class IFrameEditorHost {
public:
    virtual ~IFrameEditorHost() = default;

    virtual void SetModified(bool value) = 0;
    // Gives the keyboard back to the window so typed keys reach the editor.
    virtual void ReleaseKeyboardFocus() = 0;
    // The frame pixel under the mouse, for the status bar.
    virtual void ShowCursorCell(QPoint pixel) = 0;
    // The editor's picture changed: the current frame's thumbnail follows it.
    virtual void RepaintCurrentThumbnail() = 0;
    virtual TEditTarget EditTarget() const = 0;
    // The Script page's text, which the Edit menu serves on that page.
    virtual QPlainTextEdit* ScriptMemo() = 0;
    virtual TPrompts& Prompts() = 0;
};

} // namespace vistrel
