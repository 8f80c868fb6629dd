#include "stripDrag.h"

#include <algorithm>

namespace vistrel {

TStripDrag::TStripDrag(const TSlotRow& row, int frameCount, int pressed, bool multipleSel,
                       int selFirst, int selLast)
    : m_row(row), m_frameCount(frameCount), m_first(pressed), m_last(pressed), m_range(false) {
    if (multipleSel && selFirst <= pressed && pressed <= selLast && selFirst >= 0 &&
        selLast < frameCount) {
        m_first = selFirst;
        m_last = selLast;
        m_range = true;
    }
}

int TStripDrag::VisibleSlots(int position) const {
    return std::clamp(m_frameCount - position, 0, m_row.SlotCount);
}

int TStripDrag::GapAt(int x, int position) const {
    int gap = 0;
    const int visible = VisibleSlots(position);
    while (gap < visible && x >= m_row.Left(gap) + m_row.SlotWidth / 2)
        ++gap;
    return position + gap;
}

int TStripDrag::Destination(int gap) const {
    const int count = m_last - m_first + 1;
    if (gap < m_first)
        return gap;
    // The carried frames leave their own place first: the frames after it
    // close up by their count.
    if (gap > m_last + 1)
        return gap - count;
    return m_first;
}

int TStripDrag::MarkerX(int gap, int position) const {
    const int slot = gap - position;
    const int visible = VisibleSlots(position);
    if (slot < 0 || slot > visible)
        return -1;
    const int margin = (m_row.FirstLeft - 1) / 2;
    if (slot == 0)
        return margin;
    const int space = m_row.Pitch - m_row.SlotWidth;
    // After a full row there is only the strip's margin; elsewhere the marker
    // stands in the middle of the space between two slots.
    if (slot == m_row.SlotCount)
        return m_row.RowRight() + margin;
    return m_row.Left(slot) - (space + 1) / 2;
}

int TStripDrag::ScrollStep(int x, int position, int maxPosition) const {
    if (x < m_row.FirstLeft + EdgeBand && position > 0)
        return -1;
    if (x >= m_row.RowRight() - EdgeBand && position < maxPosition)
        return +1;
    return 0;
}

} // namespace vistrel
