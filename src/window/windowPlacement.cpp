#include "windowPlacement.h"

#include <algorithm>
#include <limits>

namespace vistrel {

namespace {

// Enough of a window to find it and drag it back by its title bar.
constexpr int VisibleWidth = 100;
constexpr int VisibleHeight = 50;

bool EnoughOn(const QRect& window, const QRect& screen) {
    const QRect shown = window.intersected(screen);
    return shown.width() >= std::min(VisibleWidth, window.width()) &&
           shown.height() >= std::min(VisibleHeight, window.height());
}

qint64 DistanceSquared(const QPoint& point, const QRect& area) {
    const qint64 dx = point.x() < area.left()    ? qint64{area.left()} - point.x()
                      : point.x() > area.right() ? qint64{point.x()} - area.right()
                                                 : 0;
    const qint64 dy = point.y() < area.top()      ? qint64{area.top()} - point.y()
                      : point.y() > area.bottom() ? qint64{point.y()} - area.bottom()
                                                  : 0;
    return dx * dx + dy * dy;
}

} // namespace

QRect PlaceOnScreens(int left, int top, int width, int height, const QList<QRect>& screens) {
    const QRect stored(std::clamp(left, -MaxExtent, MaxExtent),
                       std::clamp(top, -MaxExtent, MaxExtent), std::clamp(width, 1, MaxExtent),
                       std::clamp(height, 1, MaxExtent));
    if (screens.isEmpty())
        return stored;
    if (std::any_of(screens.begin(), screens.end(),
                    [&](const QRect& screen) { return EnoughOn(stored, screen); }))
        return stored;
    const QRect* nearest = &screens.front();
    qint64 best = std::numeric_limits<qint64>::max();
    for (const QRect& screen : screens) {
        const qint64 distance = DistanceSquared(stored.center(), screen);
        if (distance < best) {
            best = distance;
            nearest = &screen;
        }
    }
    const QRect& screen = *nearest;
    QRect placed(QPoint(), stored.size().boundedTo(screen.size()));
    placed.moveLeft(std::clamp(stored.left(), screen.left(), screen.right() - placed.width() + 1));
    placed.moveTop(std::clamp(stored.top(), screen.top(), screen.bottom() - placed.height() + 1));
    return placed;
}

} // namespace vistrel
