#pragma once

#include <QString>

class QWidget;

namespace vistrel {

class TAnimation;
class TPrompts;
class TVMUPreferences;

// What exporting the whole animation needs from the window: the document with
// the frame being edited stored into it, the preferences (speed and the INI
// store of the last choices), the prompts, and names for proposals.
class IAnimationExportHost {
public:
    virtual ~IAnimationExportHost() = default;

    // The document as it stands, the editor's latest strokes included.
    virtual const TAnimation& AnimationToExport() = 0;
    virtual TVMUPreferences& Preferences() = 0;
    virtual TPrompts& Prompts() = 0;
    // The document's file name without its folder, or its untitled name.
    virtual QString DocumentTitle() const = 0;
    // The full path of the document's file; empty while untitled.
    virtual QString FileName() const = 0;
    virtual int CurFrame() const = 0;
};

} // namespace vistrel
