#pragma once

#include <QImage>
#include <vector>

namespace vistrel {

// Whole-frame snapshots of the current frame: the present picture and up to
// nine earlier ones. A change recorded after some undo steps drops what could
// have been redone.
class TUndoHistory {
public:
    static constexpr int UndoDepth = 10;

    // Starts a new history holding only this picture.
    void Reset(const QImage& picture);
    // Records the picture after a change.
    void Push(const QImage& picture);
    // Replaces the newest snapshot (typing text extends one change).
    void OverwriteLast(const QImage& picture);
    // The picture shown, which may hold a change no step recorded (a floating
    // selection moved): it joins the step shown, so that stepping away and
    // back again returns to exactly this picture.
    void KeepShown(const QImage& picture);

    bool CanUndo() const { return m_index >= 1; }
    bool CanRedo() const { return m_index < Count() - 1; }
    // Steps back or forward (not past the ends) and returns the snapshot to show.
    const QImage& Undo();
    const QImage& Redo();

    int Count() const { return static_cast<int>(m_snapshots.size()); }
    int Index() const { return m_index; }
    const QImage& Snapshot(int index) const {
        return m_snapshots.at(static_cast<std::size_t>(index));
    }

private:
    std::vector<QImage> m_snapshots;
    int m_index = 0;
};

} // namespace vistrel
