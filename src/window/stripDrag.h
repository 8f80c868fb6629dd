#pragma once

namespace vistrel {

// The row of frame slots as the strip lays it out, in the strip's pixels.
struct TSlotRow {
    int FirstLeft = 0; // left edge of the first slot
    int Pitch = 0;     // from one slot's left edge to the next one's
    int SlotWidth = 0;
    int SlotCount = 0;
    int Top = 0; // top edge of every slot
    int SlotHeight = 0;

    int Left(int slot) const { return FirstLeft + slot * Pitch; }
    // The first pixel right of the last slot.
    int RowRight() const { return Left(SlotCount - 1) + SlotWidth; }
};

// A slot dragged along the strip: which frames it carries, the gap between
// frames a drop at a point lands in, where the carried frames then stand, where
// the drop marker goes and when the strip scrolls under the pointer. A gap is
// counted in the animation's frames: gap g lies before frame g, gap FrameCount
// after the last frame.
class TStripDrag {
public:
    // Near either end of the row the strip scrolls while a drag waits there.
    static constexpr int EdgeBand = 20;

    // The drag of frame pressed: it carries the marked range first..last when
    // pressed belongs to it, else that frame alone.
    TStripDrag(const TSlotRow& row, int frameCount, int pressed, bool multipleSel, int selFirst,
               int selLast);

    int First() const { return m_first; }
    int Last() const { return m_last; }
    bool CarriesRange() const { return m_range; }
    int FrameCount() const { return m_frameCount; }

    // The gap a drop at x lands in with the strip scrolled to position: the one
    // before the first slot whose middle is right of x, among the slots that
    // show a frame.
    int GapAt(int x, int position) const;
    // Where the first carried frame stands after a drop into gap (counted once
    // the frames moved); First() for a gap next to or inside the carried frames.
    int Destination(int gap) const;
    bool Moves(int gap) const { return Destination(gap) != m_first; }
    // The middle of the drop marker for gap, or -1 when the gap is out of view.
    int MarkerX(int gap, int position) const;
    // -1 or +1 when a pointer at x asks the strip to scroll one frame that way
    // (near an end, or past it, with room to scroll), else 0.
    int ScrollStep(int x, int position, int maxPosition) const;

private:
    // The slots showing a frame with the strip at position.
    int VisibleSlots(int position) const;

    TSlotRow m_row;
    int m_frameCount;
    int m_first;
    int m_last;
    bool m_range;
};

} // namespace vistrel
