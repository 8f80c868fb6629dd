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

// The bounds made to fit a screen: no larger than it, and moved as little as
// needed to lie wholly on it.
QRect FitInto(const QRect& stored, const QRect& screen) {
    QRect placed(QPoint(), stored.size().boundedTo(screen.size()));
    placed.moveLeft(std::clamp(stored.left(), screen.left(), screen.right() - placed.width() + 1));
    placed.moveTop(std::clamp(stored.top(), screen.top(), screen.bottom() - placed.height() + 1));
    return placed;
}

qint64 Area(const QRect& rect) {
    return rect.isEmpty() ? 0 : qint64{rect.width()} * rect.height();
}

} // namespace

QRect PlaceOnScreens(int left, int top, int width, int height, const QList<QRect>& screens) {
    const QRect stored(std::clamp(left, -MaxExtent, MaxExtent),
                       std::clamp(top, -MaxExtent, MaxExtent), std::clamp(width, 1, MaxExtent),
                       std::clamp(height, 1, MaxExtent));
    if (screens.isEmpty())
        return stored;
    // Bounds that can be seen stay where they are, unless they are larger than
    // the screen showing most of them: a window wider than any screen shows
    // nothing usable (and one of a million pixels is never painted), so it is
    // brought down to that screen's size.
    const QRect* showing = nullptr;
    qint64 mostShown = 0;
    for (const QRect& screen : screens) {
        const qint64 shown = Area(stored.intersected(screen));
        if (EnoughOn(stored, screen) && shown > mostShown) {
            mostShown = shown;
            showing = &screen;
        }
    }
    if (showing) {
        if (stored.width() <= showing->width() && stored.height() <= showing->height())
            return stored;
        return FitInto(stored, *showing);
    }
    const QRect* nearest = &screens.front();
    qint64 best = std::numeric_limits<qint64>::max();
    for (const QRect& screen : screens) {
        const qint64 distance = DistanceSquared(stored.center(), screen);
        if (distance < best) {
            best = distance;
            nearest = &screen;
        }
    }
    return FitInto(stored, *nearest);
}

} // namespace vistrel
