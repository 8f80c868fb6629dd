#pragma once

#include <QString>

class QWidget;

namespace vistrel {

class TAnimation;
class TDocument;
class TPrompts;
class TVMUPreferences;

// What exporting the whole animation needs from the window: the animation with
// the frame being edited stored into it, the shared document, the preferences
// (speed and the INI store of the last choices) and the prompts.
class IAnimationExportHost {
public:
    virtual ~IAnimationExportHost() = default;

    // The document as it stands, the editor's latest strokes included.
    virtual const TAnimation& AnimationToExport() = 0;
    virtual TVMUPreferences& Preferences() = 0;
    virtual TPrompts& Prompts() = 0;
    // The document's title and file name name the proposals; its current frame
    // is the one a single-frame export writes.
    virtual TDocument& Document() = 0;
};

} // namespace vistrel
