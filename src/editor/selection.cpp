#include "selection.h"

#include <QPainter>

namespace vistrel {

void InvertPicture(QImage& picture) {
    picture.invertPixels(QImage::InvertRgb);
}

void TSelection::DrawFloating() {
    m_bitmaps.WorkBitmap = m_bitmaps.BackupBitmap.copy();
    QPainter painter(&m_bitmaps.WorkBitmap);
    // Opaque: the white floating pixels cover what lies below.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(m_cells.topLeft(), m_bitmaps.SelectionBitmap);
}

void TSelection::Lift(QRect cells) {
    QImage& work = m_bitmaps.WorkBitmap;
    // What lies outside the frame floats as white.
    QImage lifted(cells.size(), QImage::Format_RGB32);
    lifted.fill(Qt::white);
    const QRect inside = cells.intersected(work.rect());
    if (!inside.isEmpty()) {
        QPainter painter(&lifted);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(inside.topLeft() - cells.topLeft(), work, inside);
    }
    m_bitmaps.SelectionBitmap = lifted;
    m_cells = cells;
    {
        QPainter painter(&work);
        painter.fillRect(cells, Qt::white);
    }
    m_bitmaps.BackupBitmap = work.copy();
    DrawFloating();
    m_active = true;
    ++m_generation;
}

void TSelection::Float(const QImage& pixels) {
    m_bitmaps.SelectionBitmap = pixels.convertToFormat(QImage::Format_RGB32);
    m_cells = QRect(QPoint(0, 0), pixels.size());
    m_bitmaps.BackupBitmap = m_bitmaps.WorkBitmap.copy();
    DrawFloating();
    m_active = true;
    ++m_generation;
}

void TSelection::SelectAll() {
    m_bitmaps.SelectionBitmap = m_bitmaps.WorkBitmap.copy();
    m_cells = m_bitmaps.WorkBitmap.rect();
    // As a rubber band over the whole frame would leave it: moving the pixels
    // uncovers white, never an older picture.
    m_bitmaps.BackupBitmap = NewFrameBitmap(Qt::white);
    m_active = true;
    ++m_generation;
}

void TSelection::MoveTo(QPoint corner) {
    m_cells.moveTopLeft(corner);
    DrawFloating();
}

void TSelection::Flip(TFlip flip) {
    FlipImage(m_bitmaps.SelectionBitmap, flip);
    DrawFloating();
}

void TSelection::Remove() {
    m_bitmaps.WorkBitmap = m_bitmaps.BackupBitmap.copy();
    m_active = false;
}

void TSelection::Invert() {
    InvertPicture(m_bitmaps.WorkBitmap);
    if (!m_active)
        return;
    InvertPicture(m_bitmaps.BackupBitmap);
    InvertPicture(m_bitmaps.SelectionBitmap);
}

} // namespace vistrel
