#include "playerButtonPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace vistrel {

namespace {

QPainterPath Triangle(QPointF a, QPointF b, QPointF c) {
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    return path;
}

QPainterPath RightTriangle(qreal left, qreal right) {
    return Triangle({left, 3}, {right, 8}, {left, 13});
}

QPainterPath LeftTriangle(qreal left, qreal right) {
    return Triangle({right, 3}, {left, 8}, {right, 13});
}

QPainterPath Bar(qreal left, qreal width = 2) {
    QPainterPath path;
    path.addRect(left, 3, width, 10);
    return path;
}

// The outline of each picture; the two lists differ only in how it is filled.
QPainterPath Glyph(int index) {
    QPainterPath path;
    switch (index) {
    case PicturePlay:
        path = Triangle({4, 2}, {13, 8}, {4, 14});
        break;
    case PicturePause:
        path = Bar(4, 3);
        path.addPath(Bar(9, 3));
        break;
    case PictureStop:
        path.addRect(4, 4, 8, 8);
        break;
    case PictureFirst:
        path = Bar(2);
        path.addPath(LeftTriangle(4, 9));
        path.addPath(LeftTriangle(9, 14));
        break;
    case PicturePrev:
        path = Bar(4);
        path.addPath(LeftTriangle(6, 12));
        break;
    case PictureNext:
        path = RightTriangle(4, 10);
        path.addPath(Bar(10));
        break;
    case PictureLast:
        path = RightTriangle(2, 7);
        path.addPath(RightTriangle(7, 12));
        path.addPath(Bar(12));
        break;
    case PictureZoom: {
        QPainterPath ring;
        ring.addEllipse(QPointF(6.5, 6.5), 5, 5);
        QPainterPath lens;
        lens.addEllipse(QPointF(6.5, 6.5), 3, 3);
        path = ring.subtracted(lens);
        QPainterPath handle;
        handle.moveTo(9.5, 11);
        handle.lineTo(11, 9.5);
        handle.lineTo(15, 13.5);
        handle.lineTo(13.5, 15);
        handle.closeSubpath();
        path.addPath(handle);
        break;
    }
    case PicturePlaySelection:
        // The play triangle between the brackets of a range.
        path.addRect(1, 2, 3, 1.5);
        path.addRect(1, 2, 1.5, 12);
        path.addRect(1, 12.5, 3, 1.5);
        path.addRect(12, 2, 3, 1.5);
        path.addRect(13.5, 2, 1.5, 12);
        path.addRect(12, 12.5, 3, 1.5);
        path.addPath(Triangle({5.5, 4}, {11, 8}, {5.5, 12}));
        break;
    default:
        break;
    }
    path.setFillRule(Qt::WindingFill);
    return path;
}

QColor EnabledColour(int index) {
    switch (index) {
    case PicturePlay:
    case PicturePlaySelection:
        return QColor(0x00, 0x80, 0x00);
    case PictureStop:
        return QColor(0x80, 0x00, 0x00);
    default:
        return QColor(0x00, 0x00, 0x00);
    }
}

QPixmap Picture(int index, bool enabled) {
    QPixmap pixmap(PlayerPictureSize, PlayerPictureSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QPainterPath glyph = Glyph(index);
    if (enabled) {
        painter.fillPath(glyph, EnabledColour(index));
        if (index == PictureZoom) {
            // A pale lens, so the magnifier reads as glass.
            QPainterPath lens;
            lens.addEllipse(QPointF(6.5, 6.5), 3, 3);
            painter.fillPath(lens, QColor(0xC0, 0xE0, 0xFF));
        }
    } else {
        // The usual disabled look: grey, with a white highlight below right.
        painter.fillPath(glyph.translated(1, 1), Qt::white);
        painter.fillPath(glyph, QColor(0x80, 0x80, 0x80));
    }
    return pixmap;
}

} // namespace

QList<QPixmap> PlayerImageList(bool enabled) {
    QList<QPixmap> list;
    for (int index = 0; index < PlayerPictureCount; ++index)
        list.append(Picture(index, enabled));
    return list;
}

} // namespace vistrel
