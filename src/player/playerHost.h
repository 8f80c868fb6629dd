#pragma once

#include <QImage>

namespace vistrel {

class TDocument;
class TVMUPreferences;

// What the Player page needs from the window: the shared document (the
// animation, and the strip's range selection for Play Selection), the editor's
// picture of the current frame for the idle box, and the player preferences
// (rate, loop, blur, zoom).
class IPlayerHost {
public:
    virtual ~IPlayerHost() = default;

    virtual TDocument& Document() = 0;

    // The editor's picture of the current frame, with edits not yet stored.
    virtual const QImage& WorkBitmap() const = 0;

    virtual TVMUPreferences& Preferences() = 0;
};

} // namespace vistrel
