#include "toolStateMachine.h"

#include "pixelPrimitives.h"
#include "toolCursors.h"

#include <algorithm>
#include <cstdlib>

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

// The rectangle between two corners, in either order; right and bottom exclusive.
QRect Between(QPoint a, QPoint b) {
    return {QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
            QSize(std::abs(a.x() - b.x()), std::abs(a.y() - b.y()))};
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
    return Between(m_startPoint, m_lastPoint);
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
    m_drawColor = button == Qt::LeftButton ? Black : White;
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
        // The band's corners are in screen pixels: this one is the pressed
        // pixel's top-left corner.
        m_startPoint = m_lastPoint = pixel * TEditorBitmaps::CellSize;
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
        // The moving corner is the bottom-right corner of the pixel under the
        // mouse: a drag down and right takes both end pixels, a drag up and
        // left neither.
        m_lastPoint = (pixel + QPoint(1, 1)) * TEditorBitmaps::CellSize;
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
        if (m_startPoint.x() != m_lastPoint.x() && m_startPoint.y() != m_lastPoint.y()) {
            const QRect band = Between(m_startPoint, m_lastPoint);
            m_selection.Lift(QRect(band.topLeft() / TEditorBitmaps::CellSize,
                                   band.size() / TEditorBitmaps::CellSize));
        }
        break;
    default:
        break;
    }
    m_bitmaps.UndoList.Push(Work());
    return true;
}

} // namespace vistrel
