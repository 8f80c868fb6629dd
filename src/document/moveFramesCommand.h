#pragma once

#include "undoCommands.h"

namespace vistrel {

// Frames first..last dragged to another place in the strip, so that the first
// of them stands at index to: one frame, or the marked range it belongs to.
// The moved frames stay what the user was working on: the frame shown (at
// offset shown inside the moved frames) is current at their new place after
// the move and at their old place after an undo, and a moved range stays
// marked wherever its frames are. A move of a single frame ends any range.
// A move to where the frames already are, or one the animation refuses,
// leaves no step.
class TMoveFramesCommand : public TFrameStep {
public:
    TMoveFramesCommand(TDocument& document, int first, int last, int to, bool range, int shown);

private:
    void Apply() override;
    void Revert() override;
    // Moves the frames from one place to the other and shows them there.
    bool Move(int from, int to);

    int m_first;
    int m_last;
    int m_to;
    bool m_range;
    int m_shown;
};

} // namespace vistrel
