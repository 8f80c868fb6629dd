#pragma once

#include <QImage>

namespace vistrel {

class TAnimation;
class TVMUPreferences;

// What the Player page needs from the window that owns the document: the
// animation, the strip's range selection for Play Selection, the editor's
// picture of the current frame for the idle box, and the player preferences
// (rate, loop, blur, zoom).
class IPlayerHost {
public:
    virtual ~IPlayerHost() = default;

    virtual TAnimation& Animation() = 0;

    virtual bool MultipleSel() const = 0;
    virtual int SelFirst() const = 0;
    virtual int SelLast() const = 0;

    // The editor's picture of the current frame, with edits not yet stored.
    virtual const QImage& WorkBitmap() const = 0;

    virtual TVMUPreferences& Preferences() = 0;
};

} // namespace vistrel
