#include "paintBox.h"

#include <QPainter>

namespace vistrel {

void TPaintBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (OnPaint)
        OnPaint(painter);
}

} // namespace vistrel
