#pragma once

#include "animationImport.h"

#include <QImage>
#include <QString>

namespace vistrel {

class TPrompts;

// What the Import page needs from the window that owns the document: the
// prompts, whether the document can take a frame, the Animation menu's insert
// after the current frame, putting a picture into the current frame, the
// editor's picture for Export Frame, page switching, and putting a part of a
// moving source in after the current frame.
class IImportHost {
public:
    virtual ~IImportHost() = default;

    virtual TPrompts& Prompts() = 0;
    // The caption of the questions asked for numbers: the application's title.
    virtual QString ApplicationCaption() const = 0;

    // Replace needs an open document with a current frame; Insert an open one.
    virtual bool CanReplaceFrame() const = 0;
    virtual bool CanInsertFrame() const = 0;
    // Inserts a blank frame after the current one and makes it current, as the
    // Animation menu's After Current does (with its message at the frame limit);
    // true when a frame was inserted.
    virtual bool InsertBlankFrameAfterCurrent() = 0;
    // The picture becomes the current frame: an undo step of the editor, stored
    // in the animation, the document modified, editor and strip repainted.
    virtual void ReplaceCurrentFrame(const QImage& frame) = 0;

    // The editor's live picture of the current frame.
    virtual const QImage& WorkBitmap() const = 0;

    // Shows the Import page's tab and switches to it, or switches back to the
    // Frame page and hides the tab; both as a switch by the user would, with the
    // steps for leaving one page and entering the other.
    virtual void ShowImportPage() = 0;
    virtual void ImportDone() = 0;

    // The player's ticks a second: a clip is previewed and taken once a tick.
    virtual int TickRate() const = 0;
    // Insert All: the source in the file (with sequence, the numbered pictures
    // beside it) read again with the page's scale, window, dithering and range,
    // put in after the current frame; the rest of options is the window's.
    virtual void InsertAnimation(const QString& fileName, bool sequence,
                                 const TAnimationImportOptions& options) = 0;
    // True while an Insert All runs: another waits until it has ended.
    virtual bool AnimationImportRunning() const = 0;

    // Export Frame: the file it proposes (the document's name, in the folder of
    // the last export), and the frame written to fileName.
    virtual QString ExportFrameName() const = 0;
    virtual void FrameExported(const QString& fileName) = 0;
};

} // namespace vistrel
