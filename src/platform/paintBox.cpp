#include "paintBox.h"

#include <QMouseEvent>
#include <QPainter>

namespace vistrel {

void TPaintBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (OnPaint)
        OnPaint(painter);
}

namespace {

void Forward(const TPaintBox::MouseHandler& handler, QMouseEvent* event) {
    if (handler)
        handler(*event);
    else
        event->ignore();
}

} // namespace

void TPaintBox::mousePressEvent(QMouseEvent* event) {
    Forward(OnMouseDown, event);
}
void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
    Forward(OnMouseMove, event);
}
void TPaintBox::mouseReleaseEvent(QMouseEvent* event) {
    Forward(OnMouseUp, event);
}

} // namespace vistrel
