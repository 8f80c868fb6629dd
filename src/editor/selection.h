#pragma once

#include "editorBitmaps.h"
#include "pixelPrimitives.h"

#include <QRect>

namespace vistrel {

// The floating selection: a block of pixels held in SelectionBitmap and drawn
// onto WorkBitmap at its place, over BackupBitmap, the picture without it. It
// may lie partly or wholly outside the frame; what is outside is kept until the
// selection is dropped.
class TSelection {
public:
    explicit TSelection(TEditorBitmaps& bitmaps) : m_bitmaps(bitmaps) {}

    bool Active() const { return m_active; }
    // The selection in frame pixels and in editor screen pixels (eight per pixel);
    // right and bottom exclusive.
    QRect Cells() const { return m_cells; }
    QRect ScreenRect() const {
        return {m_cells.topLeft() * TEditorBitmaps::CellSize,
                m_cells.size() * TEditorBitmaps::CellSize};
    }
    bool Contains(QPoint pixel) const { return m_active && m_cells.contains(pixel); }
    // Counts the blocks floated so far: a new number for each Lift, Float and
    // SelectAll, so that moves of one block can be told from moves of the next.
    int Generation() const { return m_generation; }

    // Lifts the pixels of cells out of the picture, leaving white behind them;
    // parts of cells outside the frame float as white.
    void Lift(QRect cells);
    // Floats a picture at the frame's top-left corner over the unchanged picture.
    void Float(const QImage& pixels);
    // Floats the whole picture; what lies under it is white.
    void SelectAll();
    // Moves the floating pixels so that their top-left corner is at corner.
    void MoveTo(QPoint corner);
    // Mirrors the floating pixels in their place, also those outside the frame.
    void Flip(TFlip flip);
    // Leaves the pixels where they were last drawn.
    void Drop() { m_active = false; }
    // Takes the floating pixels away: the picture under them shows again.
    void Remove();
    // Inverts the whole picture, the floating pixels and what lies under them.
    void Invert();

private:
    void DrawFloating();

    TEditorBitmaps& m_bitmaps;
    bool m_active = false;
    int m_generation = 0;
    QRect m_cells;
};

// Black and white inverted over a whole picture.
void InvertPicture(QImage& picture);

} // namespace vistrel
