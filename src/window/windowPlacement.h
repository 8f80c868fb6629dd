#pragma once

#include <QList>
#include <QRect>

namespace vistrel {

// Where the main window opens: its stored bounds while enough of them lies on a
// screen to see and grab the window and they are no larger than that screen,
// else fitted onto that screen, or onto the nearest one when none shows enough (a
// monitor since unplugged, or bounds from a broken settings file): shrunk to
// the screen's size and moved onto it.
// screens are the screens' available areas; with none the bounds stay as stored.
// The stored numbers come from the settings file and may be anything: sizes are
// held to 1..MaxExtent and positions to +-MaxExtent before any arithmetic.
QRect PlaceOnScreens(int left, int top, int width, int height, const QList<QRect>& screens);

inline constexpr int MaxExtent = 1 << 20;

} // namespace vistrel
