#include "toolStateMachine.h"

#include "pixelPrimitives.h"
#include "toolCursors.h"

#include <algorithm>

namespace vistrel {

namespace {

constexpr QRgb Black = 0xFF000000;
constexpr QRgb White = 0xFFFFFFFF;

bool TakesBackup(TTool tool) {
    switch (tool) {
    case TTool::Line:
    case TTool::Rectangle:
    case TTool::FillRect:
    case TTool::Ellipse:
    case TTool::FillEllipse:
    case TTool::Text:
        return true;
    default:
        return false;
    }
}

// The cells from one pixel to another, both included, whichever way they lie.
QRect CellsBetween(QPoint a, QPoint b) {
    return {QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
            QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y()))};
}

int FloorDiv(int value, int divisor) {
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

} // namespace

QPoint TToolStateMachine::PixelAt(QPoint editorPosition) {
    return {FloorDiv(editorPosition.x(), TEditorBitmaps::CellSize),
            FloorDiv(editorPosition.y(), TEditorBitmaps::CellSize)};
}

int TToolStateMachine::ToolCursor() const {
    switch (m_tool) {
    case TTool::Pen:
        return PenCursor;
    case TTool::FloodFill:
        return FillCursor;
    case TTool::Shift:
        return MoveCursor;
    default:
        return CrossCursor;
    }
}

std::optional<QRect> TToolStateMachine::RubberBand() const {
    if (m_state != TMouseState::msDrawing || m_tool != TTool::Select)
        return std::nullopt;
    constexpr int Cell = TEditorBitmaps::CellSize;
    if (!m_bandDragged)
        return QRect(m_startPoint * Cell, QSize(0, 0));
    const QRect cells = CellsBetween(m_startPoint, m_lastPoint);
    return QRect(cells.topLeft() * Cell, cells.size() * Cell);
}

bool TToolStateMachine::MouseDown(Qt::MouseButton button, QPoint pixel) {
    if (button != Qt::LeftButton && button != Qt::RightButton)
        return false;
    if (m_selection.Contains(pixel)) {
        // The offset from the pointer's pixel to the selection's corner is kept
        // for the whole drag.
        m_state = TMouseState::msMoving;
        m_startPoint = m_selection.Cells().topLeft() - pixel;
        m_lastPoint = pixel * TEditorBitmaps::CellSize;
        return true;
    }
    m_state = TMouseState::msDrawing;
    m_drawColor = (button == Qt::LeftButton) != m_buttonsSwapped ? Black : White;
    m_startPoint = m_lastPoint = pixel;
    if (TakesBackup(m_tool))
        m_bitmaps.BackupBitmap = Work().copy();
    switch (m_tool) {
    case TTool::Pen:
    case TTool::Line:
        m_penPosition = pixel;
        SetPixel(Work(), pixel, m_drawColor);
        break;
    case TTool::FloodFill:
        FloodFill(Work(), pixel, m_drawColor);
        break;
    case TTool::Select:
        m_bandDragged = false;
        m_selection.Drop();
        break;
    default:
        break;
    }
    return true;
}

void TToolStateMachine::DrawShape(QPoint end) {
    switch (m_tool) {
    case TTool::Line:
        SetPixel(Work(), end, m_drawColor);
        DrawLine(Work(), m_startPoint, end, m_drawColor);
        break;
    case TTool::FillRect:
        FillRect(Work(), m_startPoint, end, m_drawColor);
        DrawRectOutline(Work(), m_startPoint, end, m_drawColor);
        break;
    case TTool::Rectangle:
        DrawRectOutline(Work(), m_startPoint, end, m_drawColor);
        break;
    case TTool::Ellipse:
        DrawEllipse(Work(), m_startPoint, end, m_drawColor, std::nullopt);
        break;
    case TTool::FillEllipse:
        DrawEllipse(Work(), m_startPoint, end, m_drawColor, m_drawColor);
        break;
    default:
        break;
    }
}

bool TToolStateMachine::MouseMove(QPoint pixel, bool shiftHeld) {
    if (m_state == TMouseState::msMoving) {
        m_selection.MoveTo(m_startPoint + pixel);
        m_lastPoint = pixel * TEditorBitmaps::CellSize;
        return true;
    }
    if (m_state != TMouseState::msDrawing)
        return false;
    switch (m_tool) {
    case TTool::Pen:
        SetPixel(Work(), pixel, m_drawColor);
        DrawLine(Work(), m_penPosition, pixel, m_drawColor);
        m_penPosition = pixel;
        break;
    case TTool::Line:
        RestoreBackup();
        if (shiftHeld)
            pixel = ConstrainLine(m_startPoint, pixel);
        DrawShape(pixel);
        break;
    case TTool::Rectangle:
    case TTool::FillRect:
    case TTool::Ellipse:
    case TTool::FillEllipse:
        RestoreBackup();
        if (shiftHeld)
            pixel = ConstrainSquare(m_startPoint, pixel);
        DrawShape(pixel);
        break;
    case TTool::Shift:
        // Each move rotates by the movement since the previous one.
        ShiftImage(Work(), m_bitmaps.BackupBitmap, pixel.x() - m_lastPoint.x(),
                   pixel.y() - m_lastPoint.y());
        break;
    case TTool::Text:
        return false;
    case TTool::Select:
        // The band covers the pressed pixel and the one under the mouse,
        // whichever way it is dragged; a click without a move selects nothing.
        m_lastPoint = pixel;
        m_bandDragged = true;
        return true;
    default:
        break;
    }
    m_lastPoint = pixel;
    return true;
}

bool TToolStateMachine::MouseUp(std::optional<QPoint> releasePixel) {
    if (m_state == TMouseState::msMoving) {
        m_state = TMouseState::msIdle;
        const QPoint pixel = releasePixel.value_or(m_lastPoint / TEditorBitmaps::CellSize);
        m_selection.MoveTo(m_startPoint + pixel);
        return true;
    }
    if (m_state != TMouseState::msDrawing)
        return false;
    m_state = TMouseState::msIdle;
    switch (m_tool) {
    case TTool::Line:
    case TTool::Rectangle:
    case TTool::FillRect:
    case TTool::Ellipse:
    case TTool::FillEllipse:
        RestoreBackup();
        DrawShape(m_lastPoint);
        break;
    case TTool::Select:
        if (m_bandDragged)
            m_selection.Lift(CellsBetween(m_startPoint, m_lastPoint));
        break;
    default:
        break;
    }
    return true;
}

} // namespace vistrel
