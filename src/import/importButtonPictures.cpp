#include "importButtonPictures.h"

#include <QPainter>
#include <QPixmap>

namespace vistrel {

QIcon ScaleIcon() {
    QPixmap picture(20, 20);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(1, 1, 17, 17);
    painter.fillRect(7, 7, 6, 6, Qt::black);
    painter.drawLine(3, 3, 6, 6);
    painter.drawLine(16, 16, 13, 13);
    painter.drawLine(16, 3, 13, 6);
    painter.drawLine(3, 16, 6, 13);
    return QIcon(picture);
}

QIcon DitherIcon() {
    QPixmap picture(20, 20);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 18; ++x) {
            // Denser towards the left, as dithered grey from dark to light.
            const int step = x / 5 + 1;
            if ((x + y) % step == 0)
                painter.fillRect(x + 1, y + 1, 1, 1, Qt::black);
        }
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 19, 19);
    return QIcon(picture);
}

} // namespace vistrel
