#include "windowPlacement.h"

#include <array>
#include <climits>
#include <gtest/gtest.h>

using namespace vistrel;

namespace {

std::string Text(const QRect& r) {
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) +
           "x" + std::to_string(r.height());
}

} // namespace

TEST(WindowPlacement, BoundsOffEveryScreenComeOntoTheNearestOneAndVisibleBoundsStay) {
    const QRect left(0, 0, 1920, 1080);
    const QRect right(1920, 0, 1280, 1024);
    struct Case {
        const char* what;
        std::array<int, 4> stored; // left, top, width, height as the settings file holds them
        QList<QRect> screens;
        QRect expected;
    };
    const Case cases[] = {
        {"on the screen", {100, 80, 640, 480}, {left}, {100, 80, 640, 480}},
        {"half off the right edge, still grabbable",
         {1600, 80, 640, 480},
         {left},
         {1600, 80, 640, 480}},
        {"on the second monitor", {2000, 100, 640, 480}, {left, right}, {2000, 100, 640, 480}},
        {"second monitor unplugged", {2000, 100, 640, 480}, {left}, {1280, 100, 640, 480}},
        {"a sliver left on screen", {1900, 100, 640, 480}, {left}, {1280, 100, 640, 480}},
        {"far above and left", {-5000, -3000, 640, 480}, {left, right}, {0, 0, 640, 480}},
        {"below the nearer second screen",
         {2500, 3000, 640, 480},
         {left, right},
         {2500, 544, 640, 480}},
        {"larger than the screen", {-4000, 0, 4000, 3000}, {left}, {0, 0, 1920, 1080}},
        {"broken numbers from the settings file",
         {INT_MAX, INT_MIN, INT_MAX, 0},
         {left},
         {0, 0, 1920, 1}},
        // A size the screen cannot show is brought down to it, even where the
        // window starts on screen.
        {"a huge width from the settings file", {10, 20, INT_MAX, 600}, {left}, {0, 20, 1920, 600}},
        {"taller than its screen", {100, 50, 800, 5000}, {left}, {100, 0, 800, 1080}},
        {"too wide for the monitor showing most of it",
         {2000, 100, 3000, 600},
         {left, right},
         {1920, 100, 1280, 600}},
        {"no screens known", {-9000, 50, 640, 480}, {}, {-9000, 50, 640, 480}},
    };
    for (const Case& c : cases) {
        const auto [x, y, width, height] = c.stored;
        const QRect placed = PlaceOnScreens(x, y, width, height, c.screens);
        EXPECT_EQ(placed, c.expected) << c.what << ": got " << Text(placed);
    }
}
