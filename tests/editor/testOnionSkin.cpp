#include "onionSkin.h"
#include "unitAnimation.h"

#include <gtest/gtest.h>

using namespace vistrel;

namespace {

using N = TOnionNeighbour;

std::string Describe(const std::vector<N>& neighbours) {
    std::string text;
    for (const N& n : neighbours)
        text += (n.Before ? "-" : "+") + std::to_string(n.Distance) + ":" +
                std::to_string(n.Frame) + " ";
    return text;
}

// Frames added to animation, frame i lighting the dots given for it.
void AddFrames(TAnimation& animation, std::initializer_list<std::initializer_list<QPoint>> lit) {
    for (const auto& dots : lit) {
        EXPECT_TRUE(animation.AddFrame());
        for (const QPoint dot : dots)
            animation.Frame(animation.FrameCount() - 1)
                .Pixels[static_cast<std::size_t>(PixelIndex(dot.x(), dot.y()))] = 1;
    }
}

} // namespace

// Which frames show, on which side and how far, for every count and both
// ends of the strip with and without wrapping.
TEST(OnionSkin, NeighboursFollowTheCountsAndWrapOnlyWhenAsked) {
    const struct {
        int frames, current, before, after;
        bool wrap;
        std::vector<N> expected;
    } cases[] = {
        {10, 5, 0, 0, false, {}},
        {10, 5, 1, 1, false, {{4, true, 1}, {6, false, 1}}},
        {10, 5, 2, 0, false, {{4, true, 1}, {3, true, 2}}},
        {10, 5, 0, 3, false, {{6, false, 1}, {7, false, 2}, {8, false, 3}}},
        {10,
         5,
         3,
         3,
         false,
         {{4, true, 1}, {3, true, 2}, {2, true, 3}, {6, false, 1}, {7, false, 2}, {8, false, 3}}},
        // The first frame: nothing before it unless the animation wraps.
        {10, 0, 2, 1, false, {{1, false, 1}}},
        {10, 0, 2, 1, true, {{9, true, 1}, {8, true, 2}, {1, false, 1}}},
        // The last frame: nothing after it unless it wraps.
        {10, 9, 1, 3, false, {{8, true, 1}}},
        {10, 9, 1, 3, true, {{8, true, 1}, {0, false, 1}, {1, false, 2}, {2, false, 3}}},
        // A frame reached from both sides shows once, where it is nearer...
        {3, 0, 3, 3, true, {{2, true, 1}, {1, false, 1}}},
        {4, 1, 3, 3, true, {{0, true, 1}, {2, false, 1}, {3, false, 2}}},
        // ...and on a tie on the side reached without wrapping.
        {2, 0, 1, 1, true, {{1, false, 1}}},
        {2, 1, 1, 1, true, {{0, true, 1}}},
        // Never the current frame itself.
        {1, 0, 3, 3, true, {}},
        // No current frame, or counts out of range.
        {3, -1, 1, 1, true, {}},
        {10, 5, 7, -2, false, {{4, true, 1}, {3, true, 2}, {2, true, 3}}},
    };
    for (const auto& c : cases) {
        const std::vector<N> got =
            TOnionSkin::Neighbours(c.frames, c.current, {c.before, c.after, c.wrap});
        EXPECT_EQ(Describe(got), Describe(c.expected))
            << c.frames << " frames, current " << c.current << ", " << c.before << " before, "
            << c.after << " after" << (c.wrap ? ", wrapping" : "");
    }
}

TEST(OnionSkin, TintsDifferBySideFadeWithDistanceAndMixWhereBothAreLit) {
    EXPECT_EQ(TOnionSkin::CellColour(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(TOnionSkin::CellColour(1, 0), TOnionSkin::BeforeTint);
    EXPECT_EQ(TOnionSkin::CellColour(0, 1), TOnionSkin::AfterTint);
    // Each step away is lighter: nearer white on every channel, never white.
    for (const bool before : {true, false}) {
        int previous = -1;
        for (int distance = 1; distance <= 3; ++distance) {
            const QRgb colour =
                before ? TOnionSkin::CellColour(distance, 0) : TOnionSkin::CellColour(0, distance);
            const int light = qRed(colour) + qGreen(colour) + qBlue(colour);
            EXPECT_GT(light, previous) << distance;
            EXPECT_LT(light, 3 * 255) << distance;
            previous = light;
        }
    }
    // Both sides lit: darker than either alone, and neither tint.
    const QRgb both = TOnionSkin::CellColour(1, 1);
    EXPECT_NE(both, TOnionSkin::BeforeTint);
    EXPECT_NE(both, TOnionSkin::AfterTint);
    const auto lightness = [](QRgb c) { return qRed(c) + qGreen(c) + qBlue(c); };
    EXPECT_LT(lightness(both), lightness(TOnionSkin::BeforeTint));
    EXPECT_LT(lightness(both), lightness(TOnionSkin::AfterTint));
}

// Each cell takes the nearest frame of each side that lights it.
TEST(OnionSkin, ThePictureTintsEachCellByItsNearestLitFrameOnEachSide) {
    TAnimation animation;
    AddFrames(animation, {
                             {{0, 0}, {5, 5}},         // 2 before
                             {{1, 0}, {5, 5}, {6, 6}}, // 1 before
                             {{9, 9}},                 // current
                             {{2, 0}, {6, 6}},         // 1 after
                             {{3, 0}, {7, 7}},         // 2 after
                         });
    QImage picture(FrameWidth, FrameHeight, QImage::Format_RGB32);
    picture.fill(Qt::black);
    TOnionSkin::Paint(animation, 2, {2, 2, false}, picture);
    EXPECT_EQ(picture.pixel(0, 0), TOnionSkin::CellColour(2, 0));
    EXPECT_EQ(picture.pixel(1, 0), TOnionSkin::CellColour(1, 0));
    EXPECT_EQ(picture.pixel(5, 5), TOnionSkin::CellColour(1, 0)); // the nearer one wins
    EXPECT_EQ(picture.pixel(2, 0), TOnionSkin::CellColour(0, 1));
    EXPECT_EQ(picture.pixel(3, 0), TOnionSkin::CellColour(0, 2));
    EXPECT_EQ(picture.pixel(6, 6), TOnionSkin::CellColour(1, 1));
    EXPECT_EQ(picture.pixel(9, 9), 0xFFFFFFFFu); // the current frame's own dots are not in it
    int white = 0;
    for (int y = 0; y < FrameHeight; ++y)
        for (int x = 0; x < FrameWidth; ++x)
            white += picture.pixel(x, y) == 0xFFFFFFFF;
    EXPECT_EQ(white, FramePixelCount - 7);

    // Fewer frames: the farther ones drop out.
    TOnionSkin::Paint(animation, 2, {1, 0, false}, picture);
    EXPECT_EQ(picture.pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(picture.pixel(6, 6), TOnionSkin::CellColour(1, 0));
    EXPECT_EQ(picture.pixel(2, 0), 0xFFFFFFFFu);
}
