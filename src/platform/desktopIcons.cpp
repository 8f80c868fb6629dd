#include "desktopIcons.h"

#include <QBuffer>
#include <QIconEngine>
#include <QMutex>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <map>

namespace vistrel {

namespace {

// Everything is drawn on a 256-unit square and scaled to the size asked for.
constexpr qreal Units = 256.0;

const QColor CardBody(0x2E, 0x3B, 0x55);
const QColor CardEdge(0x1A, 0x22, 0x33);
const QColor LcdGlass(0xB7, 0xC9, 0x9A);
const QColor LcdDot(0x1F, 0x2A, 0x1A);
const QColor PageFill(0xFA, 0xFA, 0xF5);
const QColor PageEdge(0x70, 0x74, 0x7C);
const QColor InfoBlue(0x2F, 0x6F, 0xC0);

// A small figure on the LCD: a bouncing ball over a floor, 12 x 8 dots.
constexpr const char* LcdFigure[] = {
    "....##......", //
    "...####.....", //
    "...####.....", //
    "....##......", //
    "............", //
    "........#...", //
    ".......###..", //
    "############", //
};

// The LCD glass with its figure in rect; the dots stay square.
void PaintLcd(QPainter& painter, const QRectF& rect, int size) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(LcdGlass);
    painter.drawRoundedRect(rect, rect.height() * 0.08, rect.height() * 0.08);
    // At the smallest sizes a dot would fall below one pixel: the glass alone reads better.
    if (size < 24)
        return;
    const qreal dot = std::min(rect.width() / 14.0, rect.height() / 10.0);
    const QPointF origin(rect.center().x() - dot * 6.0, rect.center().y() - dot * 4.0);
    painter.setBrush(LcdDot);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x)
            if (LcdFigure[y][x] == '#')
                painter.drawRect(
                    QRectF(origin.x() + x * dot, origin.y() + y * dot, dot * 0.9, dot * 0.9));
}

void PaintProgram(QPainter& painter, int size) {
    // The memory card: a rounded body, the LCD above, a pad and two buttons below.
    const QRectF body(40, 12, 176, 232);
    painter.setPen(QPen(CardEdge, 8));
    painter.setBrush(CardBody);
    painter.drawRoundedRect(body, 28, 28);
    PaintLcd(painter, QRectF(60, 36, 136, 100), size);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xC8, 0xCE, 0xD8));
    painter.drawRect(QRectF(66, 176, 48, 16));
    painter.drawRect(QRectF(82, 160, 16, 48));
    painter.setBrush(QColor(0xE0, 0x6A, 0x4E));
    painter.drawEllipse(QPointF(160, 196), 13, 13);
    painter.drawEllipse(QPointF(184, 170), 13, 13);
}

// A sheet with its upper right corner folded; returns the area inside its margins.
QRectF PaintPage(QPainter& painter) {
    const qreal left = 36, top = 8, right = 220, bottom = 248, fold = 56;
    QPainterPath sheet;
    sheet.moveTo(left, top);
    sheet.lineTo(right - fold, top);
    sheet.lineTo(right, top + fold);
    sheet.lineTo(right, bottom);
    sheet.lineTo(left, bottom);
    sheet.closeSubpath();
    painter.setPen(QPen(PageEdge, 8, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(PageFill);
    painter.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(right - fold, top);
    corner.lineTo(right - fold, top + fold);
    corner.lineTo(right, top + fold);
    painter.setBrush(QColor(0xDC, 0xDE, 0xE2));
    painter.drawPath(corner);
    return QRectF(left + 20, top + fold + 16, right - left - 40, bottom - top - fold - 36);
}

void PaintAnimation(QPainter& painter, int size) {
    const QRectF inside = PaintPage(painter);
    const QRectF lcd(inside.left(), inside.top() + 12, inside.width(), inside.width() * 2 / 3);
    PaintLcd(painter, lcd, size);
    // Film-strip holes under the LCD: the sheet holds frames.
    painter.setBrush(PageEdge);
    for (int i = 0; i < 4; ++i)
        painter.drawRect(QRectF(inside.left() + 6 + i * inside.width() / 4, lcd.bottom() + 20,
                                inside.width() / 8, 14));
}

void PaintAnimationInfo(QPainter& painter) {
    const QRectF inside = PaintPage(painter);
    // A round "i" sign: information about a memory card file.
    const QPointF centre(inside.center().x(), inside.center().y() + 4);
    const qreal radius = inside.width() * 0.42;
    painter.setPen(Qt::NoPen);
    painter.setBrush(InfoBlue);
    painter.drawEllipse(centre, radius, radius);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(centre.x(), centre.y() - radius * 0.5), radius * 0.14,
                        radius * 0.14);
    painter.drawRoundedRect(
        QRectF(centre.x() - radius * 0.12, centre.y() - radius * 0.22, radius * 0.24, radius * 0.8),
        radius * 0.06, radius * 0.06);
}

class TPaintedIconEngine : public QIconEngine {
public:
    TPaintedIconEngine(std::function<QImage(int)> paint, QList<int> sizes)
        : m_paint(std::move(paint)), m_sizes(std::move(sizes)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const int side = std::min(size.width(), size.height());
        if (side <= 0)
            return {};
        auto painted = m_painted.find(side);
        if (painted == m_painted.end())
            painted = m_painted.emplace(side, QIcon(QPixmap::fromImage(m_paint(side)))).first;
        // Disabled and selected looks are made as for a picture given to an icon.
        return painted->second.pixmap(QSize(side, side), 1.0, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const int side : m_sizes)
            sizes << QSize(side, side);
        return sizes;
    }
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("TPaintedIconEngine"); }
    QIconEngine* clone() const override { return new TPaintedIconEngine(*this); }

private:
    TPaintedIconEngine(const TPaintedIconEngine& other) = default;

    std::function<QImage(int)> m_paint;
    QList<int> m_sizes;
    std::map<int, QIcon> m_painted; // by side
};

} // namespace

QIcon IconPaintedOnDemand(std::function<QImage(int size)> paint, QList<int> sizes) {
    return QIcon(new TPaintedIconEngine(std::move(paint), std::move(sizes)));
}

QImage PaintDesktopIcon(TDesktopIcon icon, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / Units, size / Units);
    switch (icon) {
    case TDesktopIcon::Program:
        PaintProgram(painter, size);
        break;
    case TDesktopIcon::Animation:
        PaintAnimation(painter, size);
        break;
    case TDesktopIcon::AnimationInfo:
        PaintAnimationInfo(painter);
        break;
    }
    painter.end();
    return image;
}

QByteArray DesktopIconPng(TDesktopIcon icon, int size) {
    static QMutex mutex;
    static std::map<std::pair<TDesktopIcon, int>, QByteArray> cache;
    const QMutexLocker lock(&mutex);
    QByteArray& bytes = cache[{icon, size}];
    if (bytes.isEmpty()) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        PaintDesktopIcon(icon, size).save(&buffer, "PNG");
    }
    return bytes;
}

QIcon DesktopIcon(TDesktopIcon icon) {
    return IconPaintedOnDemand(
        [icon](int size) { return PaintDesktopIcon(icon, size); },
        QList<int>(std::begin(DesktopIconSizes), std::end(DesktopIconSizes)));
}

} // namespace vistrel
