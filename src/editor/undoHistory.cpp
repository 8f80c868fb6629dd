#include "undoHistory.h"

namespace vistrel {

void TUndoHistory::Reset(const QImage& picture) {
    m_snapshots.clear();
    m_snapshots.reserve(UndoDepth + 1);
    // copy(): a snapshot must not share pixels with the picture drawn on next.
    m_snapshots.push_back(picture.copy());
    m_index = 0;
}

void TUndoHistory::Push(const QImage& picture) {
    m_snapshots.resize(static_cast<std::size_t>(m_index + 1));
    m_snapshots.push_back(picture.copy());
    if (Count() > UndoDepth)
        m_snapshots.erase(m_snapshots.begin());
    m_index = Count() - 1;
}

void TUndoHistory::OverwriteLast(const QImage& picture) {
    if (!m_snapshots.empty())
        m_snapshots.back() = picture.copy();
}

void TUndoHistory::KeepShown(const QImage& picture) {
    if (m_snapshots.empty())
        return;
    QImage& shown = m_snapshots[static_cast<std::size_t>(m_index)];
    if (shown != picture)
        shown = picture.copy();
}

const QImage& TUndoHistory::Undo() {
    if (m_index > 0)
        --m_index;
    return Snapshot(m_index);
}

const QImage& TUndoHistory::Redo() {
    if (m_index < Count() - 1)
        ++m_index;
    return Snapshot(m_index);
}

} // namespace vistrel
