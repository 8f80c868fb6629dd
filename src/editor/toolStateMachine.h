#pragma once

#include "editorBitmaps.h"
#include "selection.h"

#include <QPoint>
#include <QRgb>
#include <optional>

namespace vistrel {

// The tools in the order of their buttons' tags.
enum class TTool : int {
    Pen = 0,
    Line = 1,
    Rectangle = 2,
    FillRect = 3,
    Ellipse = 4,
    FillEllipse = 5,
    Select = 6,
    FloodFill = 7,
    Text = 8,
    Shift = 9,
};
inline constexpr int ToolCount = 10;

enum class TMouseState : int { msIdle = 0, msDrawing = 1, msMoving = 2 };

// What a press, drag and release on the editor do to WorkBitmap, for every tool.
// Positions are frame pixels; anything outside the frame is clipped by the
// primitives. Kept apart from the widgets so it can be driven by tests.
class TToolStateMachine {
public:
    explicit TToolStateMachine(TEditorBitmaps& bitmaps)
        : m_bitmaps(bitmaps), m_selection(bitmaps) {}

    TTool CurrentTool() const { return m_tool; }
    void SelectTool(TTool tool) { m_tool = tool; }
    // The cursor number the current tool shows on the editor.
    int ToolCursor() const;

    TMouseState MouseState() const { return m_state; }
    QRgb DrawColor() const { return m_drawColor; }
    QPoint StartPoint() const { return m_startPoint; }
    QPoint LastPoint() const { return m_lastPoint; }
    TSelection& Selection() { return m_selection; }
    const TSelection& Selection() const { return m_selection; }
    // The rubber band being dragged with the Selection tool, in editor screen
    // pixels: the cells from the pressed pixel to the one under the mouse, or
    // an empty rectangle at the pressed pixel before the mouse moves.
    std::optional<QRect> RubberBand() const;

    // Which button draws black: the left one, or with the buttons swapped the
    // right one, so that a one-button mouse or a pen draws either colour.
    bool ButtonsSwapped() const { return m_buttonsSwapped; }
    void SwapButtons() { m_buttonsSwapped = !m_buttonsSwapped; }

    // A left press draws black, a right press white (the other way round when
    // the buttons are swapped); false (nothing done) for any other button. A taken press marks the
    // document modified. A press on the floating selection starts moving it instead.
    bool MouseDown(Qt::MouseButton button, QPoint pixel);
    // True when the picture may have changed and wants a refresh.
    bool MouseMove(QPoint pixel, bool shiftHeld);
    // Ends the operation; false when idle. A moved selection comes to rest at
    // the release pixel, when one is given, else where it was last drawn.
    bool MouseUp(std::optional<QPoint> releasePixel = std::nullopt);
    // Forgets the operation in progress: the next move or release does nothing.
    void Cancel() { m_state = TMouseState::msIdle; }

    // Frame pixel under a point of the 8x editor, rounding toward minus infinity.
    static QPoint PixelAt(QPoint editorPosition);

private:
    QImage& Work() { return m_bitmaps.WorkBitmap; }
    void RestoreBackup() { Work() = m_bitmaps.BackupBitmap.copy(); }
    void DrawShape(QPoint end);

    TEditorBitmaps& m_bitmaps;
    TSelection m_selection;
    TTool m_tool = TTool::Pen;
    TMouseState m_state = TMouseState::msIdle;
    QRgb m_drawColor = 0xFF000000;
    QPoint m_startPoint;
    QPoint m_lastPoint;
    QPoint m_penPosition;
    bool m_bandDragged = false; // the Selection tool's band has been moved
    bool m_buttonsSwapped = false;
};

} // namespace vistrel
