#include "pixelPattern.h"
#include "pixelPrimitives.h"
#include "unitFrame.h"

#include <QRect>
#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <utility>

using namespace vistrel;
using namespace vistrel::test;

namespace {

int Mod(long long value, int divisor) {
    return static_cast<int>((value % divisor + divisor) % divisor);
}

std::set<std::pair<int, int>> AsSet(const std::vector<QPoint>& points) {
    std::set<std::pair<int, int>> set;
    for (const QPoint p : points)
        set.emplace(p.x(), p.y());
    return set;
}

// Number of 8-connected groups among `points`.
int EightConnectedGroups(const std::vector<QPoint>& points) {
    std::set<std::pair<int, int>> left = AsSet(points);
    int groups = 0;
    while (!left.empty()) {
        ++groups;
        std::vector<std::pair<int, int>> pending{*left.begin()};
        left.erase(left.begin());
        while (!pending.empty()) {
            const auto [x, y] = pending.back();
            pending.pop_back();
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (left.erase({x + dx, y + dy}) > 0)
                        pending.emplace_back(x + dx, y + dy);
        }
    }
    return groups;
}

} // namespace

// ---------------------------------------------------------------- points

TEST(NormalizeRect, TakesTheCornersInEitherOrder) {
    const TEdgeRect expected{2, 1, 5, 3};
    for (const auto& [a, b] : std::array<std::pair<QPoint, QPoint>, 4>{
             {{{2, 3}, {5, 1}}, {{5, 1}, {2, 3}}, {{2, 1}, {5, 3}}, {{5, 3}, {2, 1}}}})
        EXPECT_EQ(NormalizeRect(a, b), expected) << a.x() << "," << a.y();
}

TEST(SetPixel, WritesOpaqueColourAndIgnoresPointsOutside) {
    QImage image = FrameWith();
    SetPixel(image, {0, 0}, 0x000000); // the colour without its alpha
    for (const QPoint p :
         {QPoint(-1, 0), QPoint(48, 0), QPoint(0, 32), QPoint(0, -1), QPoint(INT_MIN, INT_MAX)})
        SetPixel(image, p, Black);
    EXPECT_EQ(PixelsOf(image, Black), std::vector<QPoint>{QPoint(0, 0)});
    EXPECT_EQ(PixelsOf(image, White).size(), std::size_t{FramePixelCount - 1});
}

// ---------------------------------------------------------------- lines

TEST(DrawLine, LightsThePixelsFromTheStartUpToTheEnd) {
    struct Case {
        const char* name;
        QPoint from, to;
        TPicture picture;
    };
    const Case cases[] = {
        {"right",
         {1, 1},
         {5, 1},
         {
             "......",
             ".####.",
         }},
        {"left: the start lit, the end not",
         {5, 1},
         {1, 1},
         {
             "......",
             "..####",
         }},
        {"down",
         {1, 0},
         {1, 3},
         {
             ".#",
             ".#",
             ".#",
             "..",
         }},
        {"diagonal",
         {0, 0},
         {4, 4},
         {
             "#....",
             ".#...",
             "..#..",
             "...#.",
             ".....",
         }},
        {"shallow",
         {0, 0},
         {6, 2},
         {
             "##.....",
             "..###..",
             ".....#.",
         }},
        // The pixel at x = 2 lies exactly halfway between rows 0 and 1; both
        // directions give it to row 0.
        {"halfway, down the slope",
         {0, 0},
         {4, 1},
         {
             "###..",
             "...#.",
         }},
        {"halfway, up the slope",
         {4, 1},
         {0, 0},
         {
             ".##..",
             "...##",
         }},
        {"steep, halfway to the smaller column",
         {2, 4},
         {1, 0},
         {
             "...",
             ".#.",
             ".#.",
             "..#",
             "..#",
         }},
        {"zero length",
         {3, 2},
         {3, 2},
         {
             "......",
             "......",
             "......",
             "......",
         }},
    };
    for (const Case& c : cases) {
        QImage image = FrameWith();
        DrawLine(image, c.from, c.to, Black);
        EXPECT_EQ(Corner(image, c.picture), Text(c.picture)) << c.name;
    }
}

// Every pair of points in and around the corner of the frame.
TEST(DrawLine, IsTheNearestPixelChainAndTheSameInBothDirections) {
    for (int ax = -3; ax <= 9; ++ax)
        for (int ay = -3; ay <= 9; ++ay)
            for (int bx = -3; bx <= 9; ++bx)
                for (int by = -3; by <= 9; ++by) {
                    const QPoint a(ax, ay), b(bx, by);
                    QImage forward = FrameWith();
                    DrawLine(forward, a, b, Black);
                    QImage backward = FrameWith();
                    DrawLine(backward, b, a, Black);
                    const std::vector<QPoint> lit = PixelsOf(forward, Black);
                    SetPixel(forward, b, Black);
                    SetPixel(backward, a, Black);
                    ASSERT_EQ(forward, backward) << ax << "," << ay << " - " << bx << "," << by;

                    // One pixel per step along the longer extent, each within half a
                    // pixel of the exact line.
                    const int dx = bx - ax, dy = by - ay;
                    const bool xMajor = std::abs(dx) >= std::abs(dy);
                    const int steps = std::max(std::abs(dx), std::abs(dy));
                    std::set<int> majors;
                    for (const QPoint p : lit) {
                        const int i = xMajor ? (p.x() - ax) * (dx < 0 ? -1 : 1)
                                             : (p.y() - ay) * (dy < 0 ? -1 : 1);
                        const int minor = xMajor ? p.y() - ay : p.x() - ax;
                        const int exactTimesSteps = i * (xMajor ? dy : dx);
                        ASSERT_TRUE(i >= 0 && i < steps)
                            << ax << "," << ay << " - " << bx << "," << by;
                        ASSERT_LE(2 * std::abs(minor * steps - exactTimesSteps), steps)
                            << ax << "," << ay << " - " << bx << "," << by;
                        majors.insert(i);
                    }
                    ASSERT_EQ(majors.size(), lit.size());
                    if (QRect(0, 0, 48, 32).contains(a) && QRect(0, 0, 48, 32).contains(b)) {
                        ASSERT_EQ(static_cast<int>(lit.size()), steps);
                    }
                }
}

TEST(DrawLine, EndsFarOutsideDrawOnlyTheCrossingPart) {
    struct Case {
        const char* name;
        QPoint from, to;
        std::function<bool(int x, int y)> lit;
    };
    const Case cases[] = {
        {"across a row", {INT_MIN, 5}, {INT_MAX, 5}, [](int, int y) { return y == 5; }},
        {"down a column", {10, INT_MAX}, {10, INT_MIN}, [](int x, int) { return x == 10; }},
        {"corner to corner of the int range",
         {INT_MIN, INT_MIN},
         {INT_MAX, INT_MAX},
         [](int x, int y) { return x == y; }},
        // Odd columns lie halfway between two rows and take the upper one.
        {"half slope",
         {-1000000, -500000},
         {1000000, 500000},
         [](int x, int y) { return y == x / 2; }},
        {"past the frame", {-10, -10}, {100, -1}, [](int, int) { return false; }},
        {"along the edge of the int range",
         {INT_MAX, INT_MAX},
         {INT_MIN, INT_MAX},
         [](int, int) { return false; }},
    };
    for (const Case& c : cases) {
        QImage image = FrameWith();
        DrawLine(image, c.from, c.to, Black);
        QImage expected = FrameWith();
        for (int y = 0; y < FrameHeight; ++y)
            for (int x = 0; x < FrameWidth; ++x)
                if (c.lit(x, y))
                    expected.setPixel(x, y, Black);
        EXPECT_EQ(image, expected) << c.name;
    }
}

// ---------------------------------------------------------------- rectangles

TEST(DrawRectOutline, LightsTheClosedOutlineCornersIncluded) {
    struct Case {
        const char* name;
        QPoint start, end;
        TPicture picture;
    };
    // clang-format off
    const TPicture box4x3{
        "......",
        ".####.",
        ".#..#.",
        ".####.",
        "......",
    };
    // clang-format on
    const Case cases[] = {
        {"click",
         {2, 1},
         {2, 1},
         {
             "....",
             "....",
             "....",
         }},
        {"one pixel to the right",
         {1, 1},
         {2, 1},
         {
             "....",
             ".##.",
             "....",
         }},
        {"one pixel wide",
         {2, 1},
         {2, 4},
         {
             "....",
             "..#.",
             "..#.",
             "..#.",
             "..#.",
             "....",
         }},
        {"one pixel high",
         {3, 1},
         {0, 1},
         {
             ".....",
             "####.",
             ".....",
         }},
        {"from top left", {1, 1}, {4, 3}, box4x3},
        {"from bottom right", {4, 3}, {1, 1}, box4x3},
        {"from bottom left", {1, 3}, {4, 1}, box4x3},
        {"from top right", {4, 1}, {1, 3}, box4x3},
        {"two corners outside",
         {-5, -5},
         {10, 3},
         {
             "..........#.",
             "..........#.",
             "..........#.",
             "###########.",
             "............",
         }},
    };
    for (const Case& c : cases) {
        QImage image = FrameWith();
        DrawRectOutline(image, c.start, c.end, Black);
        EXPECT_EQ(Corner(image, c.picture), Text(c.picture)) << c.name;
    }
}

TEST(FillRect, CoversLeftToRightMinusOneAndTopToBottomMinusOne) {
    QImage image = FrameWith();
    FillRect(image, {2, 1, 5, 3}, Black);
    const TPicture picture{
        "......",
        "..###.",
        "..###.",
        "......",
    };
    EXPECT_EQ(Corner(image, picture), Text(picture));

    QImage empty = FrameWith();
    FillRect(empty, {2, 1, 2, 3}, Black);
    FillRect(empty, {2, 1, 5, 1}, Black);
    FillRect(empty, {5, 3, 2, 1}, Black); // not normalized: nothing inside
    EXPECT_EQ(empty, FrameWith());
}

TEST(FillRect, ClipsToTheFrame) {
    QImage all = FrameWith();
    FillRect(all, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, Black);
    EXPECT_TRUE(PixelsOf(all, White).empty());

    QImage corner = FrameWith();
    FillRect(corner, {-3, 30, 2, 40}, Black);
    FillRect(corner, {47, -8, 100, 1}, Black);
    EXPECT_EQ(PixelsOf(corner, Black),
              (std::vector<QPoint>{{47, 0}, {0, 30}, {1, 30}, {0, 31}, {1, 31}}));
}

// ---------------------------------------------------------------- ellipses

TEST(DrawEllipse, StaysInsideTheBoxLeavingItsRightColumnAndBottomRow) {
    struct Case {
        const char* name;
        QPoint corner1, corner2;
        bool filled;
        TPicture picture;
    };
    const Case cases[] = {
        {"click",
         {2, 2},
         {2, 2},
         true,
         {
             "....",
             "....",
             "....",
         }},
        {"no height",
         {1, 2},
         {5, 2},
         true,
         {
             "......",
             "......",
             "......",
         }},
        {"one pixel",
         {2, 2},
         {3, 3},
         true,
         {
             "....",
             "....",
             "..#.",
             "....",
         }},
        {"one pixel wide",
         {1, 0},
         {2, 5},
         true,
         {
             ".#.",
             ".#.",
             ".#.",
             ".#.",
             ".#.",
             "...",
         }},
        {"one pixel high",
         {0, 1},
         {5, 2},
         false,
         {
             "......",
             "#####.",
             "......",
         }},
        {"two by two",
         {3, 3},
         {1, 1},
         true,
         {
             "....",
             ".##.",
             ".##.",
             "....",
         }},
        {"three by three",
         {0, 0},
         {3, 3},
         true,
         {
             ".#..",
             "#o#.",
             ".#..",
             "....",
         }},
        {"five by five, corners reversed",
         {5, 5},
         {0, 0},
         false,
         {
             ".###..",
             "#...#.",
             "#...#.",
             "#...#.",
             ".###..",
             "......",
         }},
        {"eight by six",
         {0, 6},
         {8, 0},
         true,
         {
             "..####...",
             ".#oooo#..",
             "#oooooo#.",
             "#oooooo#.",
             ".#oooo#..",
             "..####...",
             ".........",
         }},
        {"seven by five",
         {0, 0},
         {7, 5},
         true,
         {
             "..###...",
             "##ooo##.",
             "#ooooo#.",
             "##ooo##.",
             "..###...",
             "........",
         }},
        {"four by seven",
         {4, 0},
         {0, 7},
         true,
         {
             ".##..",
             "#oo#.",
             "#oo#.",
             "#oo#.",
             "#oo#.",
             "#oo#.",
             ".##..",
             ".....",
         }},
        {"eleven by four",
         {0, 4},
         {11, 0},
         true,
         {
             "..#######...",
             "##ooooooo##.",
             "##ooooooo##.",
             "..#######...",
             "............",
         }},
    };
    for (const Case& c : cases) {
        QImage image = FrameWith();
        DrawEllipse(image, c.corner1, c.corner2, Black,
                    c.filled ? std::optional<QRgb>(Grey) : std::nullopt);
        EXPECT_EQ(Corner(image, c.picture), Text(c.picture)) << c.name;
    }
}

TEST(DrawEllipse, WithoutFillLeavesTheInsideAsItWas) {
    // clang-format off
    const TPicture grey{
        "oooooo",
        "oooooo",
        "oooooo",
        "oooooo",
        "oooooo",
        "oooooo",
    };
    // clang-format on
    QImage image = FrameWith(grey);
    DrawEllipse(image, {0, 0}, {5, 5}, Black, std::nullopt);
    // clang-format off
    const TPicture expected{
        "o###oo",
        "#ooo#o",
        "#ooo#o",
        "#ooo#o",
        "o###oo",
        "oooooo",
    };
    // clang-format on
    EXPECT_EQ(Corner(image, expected), Text(expected));
}

// Every box that fits the frame, with its corner at the origin.
TEST(DrawEllipse, EveryBoxGivesASymmetricClosedRingTouchingAllFourSides) {
    for (int w = 1; w <= FrameWidth; ++w)
        for (int h = 1; h <= FrameHeight; ++h) {
            const std::string box = std::to_string(w) + " x " + std::to_string(h);
            QImage filled = FrameWith();
            DrawEllipse(filled, {0, 0}, {w, h}, Black, Grey);
            QImage outline = FrameWith();
            DrawEllipse(outline, {w, h}, {0, 0}, Black, std::nullopt);
            const std::vector<QPoint> ring = PixelsOf(outline, Black);

            // The fill adds to the inside and changes nothing of the outline.
            ASSERT_EQ(PixelsOf(filled, Black), ring) << box;

            int left = INT_MAX, right = INT_MIN, top = INT_MAX, bottom = INT_MIN;
            for (const QPoint p : ring) {
                left = std::min(left, p.x());
                right = std::max(right, p.x());
                top = std::min(top, p.y());
                bottom = std::max(bottom, p.y());
                ASSERT_EQ(outline.pixel(w - 1 - p.x(), p.y()), Black) << box;
                ASSERT_EQ(outline.pixel(p.x(), h - 1 - p.y()), Black) << box;
            }
            ASSERT_EQ(QRect(QPoint(left, top), QPoint(right, bottom)), QRect(0, 0, w, h)) << box;
            ASSERT_EQ(EightConnectedGroups(ring), 1) << box;

            // No filled pixel touches the outside: the ring is closed.
            for (const QPoint p : PixelsOf(filled, Grey))
                for (const QPoint n : {QPoint(p.x() - 1, p.y()), QPoint(p.x() + 1, p.y()),
                                       QPoint(p.x(), p.y() - 1), QPoint(p.x(), p.y() + 1)})
                    ASSERT_TRUE(filled.valid(n) && filled.pixel(n) != White) << box;

            // A box on its side gives the same ellipse on its side.
            if (w <= FrameHeight && h <= FrameHeight) {
                QImage turned = FrameWith();
                DrawEllipse(turned, {0, 0}, {h, w}, Black, std::nullopt);
                for (const QPoint p : ring)
                    ASSERT_EQ(turned.pixel(p.y(), p.x()), Black) << box;
                ASSERT_EQ(PixelsOf(turned, Black).size(), ring.size()) << box;
            }
        }
}

TEST(DrawEllipse, HugeBoxesFinishAndShowTheirVisiblePart) {
    QImage ring = FrameWith();
    DrawEllipse(ring, {-1000000000, -1000000000}, {1000000000, 1000000000}, Black, std::nullopt);
    EXPECT_EQ(ring, FrameWith()) << "the frame lies deep inside the ring";

    QImage disc = FrameWith();
    DrawEllipse(disc, {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, Black, Grey);
    EXPECT_EQ(PixelsOf(disc, Grey).size(), std::size_t{FramePixelCount});

    QImage flat = FrameWith();
    DrawEllipse(flat, {INT_MIN, 0}, {INT_MAX, 2}, Black, Grey);
    const std::vector<QPoint> lit = PixelsOf(flat, Black);
    EXPECT_EQ(lit.size(), std::size_t{2 * FrameWidth}) << "two full rows, all outline";
    EXPECT_TRUE(std::all_of(lit.begin(), lit.end(), [](QPoint p) { return p.y() < 2; }));
}

// ---------------------------------------------------------------- clipping

// A shape cut by the frame's edges shows exactly the part that the same shape
// shows on a larger picture.
TEST(Clipping, ShowsThePartOfTheShapeInsideTheFrame) {
    struct Case {
        const char* name;
        std::function<void(QImage&, QPoint offset)> draw;
    };
    const Case cases[] = {
        {"shallow line",
         [](QImage& i, QPoint o) { DrawLine(i, QPoint(-20, -7) + o, QPoint(60, 40) + o, Black); }},
        {"line up and left",
         [](QImage& i, QPoint o) { DrawLine(i, QPoint(47, -30) + o, QPoint(-5, 33) + o, Black); }},
        {"steep line",
         [](QImage& i, QPoint o) { DrawLine(i, QPoint(3, 50) + o, QPoint(9, -40) + o, Black); }},
        {"polyline",
         [](QImage& i, QPoint o) {
             const std::array<QPoint, 4> points{QPoint(-9, 3) + o, QPoint(20, -8) + o,
                                                QPoint(55, 20) + o, QPoint(10, 45) + o};
             DrawPolyline(i, points, Black);
         }},
        {"rectangle",
         [](QImage& i, QPoint o) {
             DrawRectOutline(i, QPoint(-5, 40) + o, QPoint(50, 5) + o, Black);
         }},
        {"filled rectangle",
         [](QImage& i, QPoint o) {
             FillRect(i, QPoint(60, -3) + o, QPoint(-3, 5) + o, Black);
             DrawRectOutline(i, QPoint(60, -3) + o, QPoint(-3, 5) + o, Black);
         }},
        {"ellipse over the top left",
         [](QImage& i, QPoint o) {
             DrawEllipse(i, QPoint(-10, -6) + o, QPoint(30, 20) + o, Black, Grey);
         }},
        {"ellipse over the right",
         [](QImage& i, QPoint o) {
             DrawEllipse(i, QPoint(20, -20) + o, QPoint(70, 50) + o, Black, std::nullopt);
         }},
        {"ellipse around the frame",
         [](QImage& i, QPoint o) {
             DrawEllipse(i, QPoint(-40, -30) + o, QPoint(90, 64) + o, Black, Grey);
         }},
    };
    const QPoint offset(100, 100);
    for (const Case& c : cases) {
        QImage frame = FrameWith();
        c.draw(frame, QPoint());
        QImage large(FrameWidth + 200, FrameHeight + 200, QImage::Format_RGB32);
        large.fill(White);
        c.draw(large, offset);
        const QImage cut = large.copy(QRect(offset, frame.size()));
        EXPECT_EQ(frame, cut) << c.name;
        EXPECT_NE(frame, FrameWith()) << c.name << " misses the frame";
    }
}

// ---------------------------------------------------------------- flood fill

TEST(FloodFill, PaintsTheFourConnectedRegionOfTheSeedColour) {
    struct Case {
        const char* name;
        TPicture before;
        QPoint seed;
        QRgb colour;
        TPicture after;
    };
    const Case cases[] = {
        {"does not cross a diagonal gap",
         {
             "...#....",
             "..#.....",
             ".#......",
             "#.......",
         },
         {0, 0},
         Black,
         {
             "####....",
             "###.....",
             "##......",
             "#.......",
         }},
        {"white on black turns exactly the connected black",
         {
             "##.##",
             "#.##.",
             "###..",
             "....#",
         },
         {0, 0},
         White,
         {
             ".....",
             ".....",
             ".....",
             "....#",
         }},
        {"only the exact colour",
         {
             "oo#..",
             "o.#..",
             "ooo..",
             ".....",
         },
         {1, 2},
         Black,
         {
             "###..",
             "#.#..",
             "###..",
             ".....",
         }},
        {"a closed ring keeps the fill in",
         {
             ".....",
             ".###.",
             ".#.#.",
             ".###.",
             ".....",
         },
         {2, 2},
         Grey,
         {
             ".....",
             ".###.",
             ".#o#.",
             ".###.",
             ".....",
         }},
        {"the seed already has the colour",
         {
             "##...",
             "#....",
             ".....",
         },
         {0, 0},
         Black,
         {
             "##...",
             "#....",
             ".....",
         }},
    };
    for (const Case& c : cases) {
        QImage image = FrameWith(c.before);
        FloodFill(image, c.seed, c.colour);
        EXPECT_EQ(Corner(image, c.after), Text(c.after)) << c.name;
    }
}

TEST(FloodFill, ReachesTheWholeFrameAndNothingFromOutside) {
    QImage image = FrameWith();
    FloodFill(image, {47, 31}, 0x000000);
    EXPECT_EQ(PixelsOf(image, Black).size(), std::size_t{FramePixelCount});

    const QImage before = FrameWith({
        "#..",
        ".#.",
        "..#",
    });
    for (const QPoint seed :
         {QPoint(48, 0), QPoint(0, 32), QPoint(-1, 5), QPoint(INT_MIN, INT_MAX)}) {
        QImage outside = before;
        FloodFill(outside, seed, Black);
        EXPECT_EQ(outside, before) << seed.x() << "," << seed.y();
    }
}

// ---------------------------------------------------------------- shift

TEST(ShiftImage, RotatesRowsAndColumnsWithWrapAround) {
    // Every pixel its own colour, so that each one can be traced.
    QImage original(FrameWidth, FrameHeight, QImage::Format_RGB32);
    for (int y = 0; y < FrameHeight; ++y)
        for (int x = 0; x < FrameWidth; ++x)
            original.setPixel(x, y, qRgb(x, y, 7));
    const std::pair<int, int> moves[] = {{0, 0},     {3, -1},    {1, 1},
                                         {-1, 0},    {47, 31},   {48, 32},
                                         {-50, -33}, {100, -70}, {INT_MIN, INT_MAX}};
    for (const auto& [dx, dy] : moves) {
        QImage work = original;
        QImage scratch; // made to measure by the first shift
        ShiftImage(work, scratch, dx, dy);
        bool moved = true;
        for (int y = 0; y < FrameHeight; ++y)
            for (int x = 0; x < FrameWidth; ++x)
                moved = moved && work.pixel(Mod(x + 0LL + dx, FrameWidth),
                                            Mod(y + 0LL + dy, FrameHeight)) == original.pixel(x, y);
        EXPECT_TRUE(moved) << dx << "," << dy;
        EXPECT_EQ(scratch, work) << dx << "," << dy;
    }
}

TEST(ShiftImage, ThreeRightAndOneUpBringsTheRightColumnsLeftAndTheTopRowDown) {
    QImage work = FrameWith();
    for (const QPoint p : {QPoint(0, 0), QPoint(47, 0), QPoint(46, 1), QPoint(45, 2)})
        SetPixel(work, p, Black);
    QImage scratch = FrameWith();
    ShiftImage(work, scratch, 3, -1);
    EXPECT_EQ(PixelsOf(work, Black), (std::vector<QPoint>{{1, 0}, {0, 1}, {2, 31}, {3, 31}}));
}

// ---------------------------------------------------------------- Shift key

TEST(ConstrainLine, SnapsToTheAxesOrTheDiagonalOfTheLongerExtent) {
    const QPoint start(10, 20);
    const std::pair<QPoint, QPoint> moves[] = {
        {{5, 2}, {5, 0}},     {{5, 3}, {5, 5}},   {{1, 3}, {0, 3}},    {{-5, 2}, {-5, 0}},
        {{-5, -3}, {-5, -5}}, {{3, -5}, {5, -5}}, {{-1, -3}, {0, -3}}, {{4, 2}, {4, 4}},
        {{2, 4}, {4, 4}},     {{-3, 3}, {-3, 3}}, {{0, -7}, {0, -7}},  {{0, 0}, {0, 0}},
    };
    for (const auto& [drag, constrained] : moves)
        EXPECT_EQ(ConstrainLine(start, start + drag), start + constrained)
            << drag.x() << "," << drag.y();
}

TEST(ConstrainSquare, KeepsTheShorterExtent) {
    const QPoint start(10, 20);
    const std::pair<QPoint, QPoint> moves[] = {
        {{5, -3}, {3, -3}}, {{-2, 7}, {-2, 2}}, {{-6, -6}, {-6, -6}}, {{-4, 2}, {-2, 2}},
        {{2, -9}, {2, -2}}, {{0, 5}, {0, 0}},   {{-5, 0}, {0, 0}},    {{0, 0}, {0, 0}},
    };
    for (const auto& [drag, constrained] : moves)
        EXPECT_EQ(ConstrainSquare(start, start + drag), start + constrained)
            << drag.x() << "," << drag.y();
}

TEST(ShiftKeyConstraints, StayWithinTheIntRange) {
    EXPECT_EQ(ConstrainLine({0, 0}, {INT_MAX, INT_MIN}), QPoint(INT_MAX, INT_MIN));
    EXPECT_EQ(ConstrainLine({INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}), QPoint(INT_MAX, INT_MAX));
    EXPECT_EQ(ConstrainSquare({INT_MAX, 0}, {INT_MIN, INT_MAX}), QPoint(0, INT_MAX));
    EXPECT_EQ(ConstrainSquare({INT_MIN, 0}, {INT_MAX, -1}), QPoint(INT_MIN + 1, -1));
}

// ---------------------------------------------------------------- flip

TEST(FlipImage, MirrorsEveryPixelAcrossTheAxisAndTwiceGivesTheImageBack) {
    struct Case {
        TFlip flip;
        bool across;
        bool down;
    };
    const Case cases[] = {
        {TFlip::Horizontal, true, false},
        {TFlip::Vertical, false, true},
        {TFlip::Turn, true, true},
    };
    // Odd and even sizes, a single row and column: the middle line stays put.
    const QSize sizes[] = {{FrameWidth, FrameHeight}, {5, 3}, {1, 4}, {6, 1}, {1, 1}};
    for (const Case& c : cases) {
        for (const QSize size : sizes) {
            QImage original(size, QImage::Format_RGB32);
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x)
                    original.setPixel(x, y, qRgb(x, y, 7));
            QImage image = original;
            FlipImage(image, c.flip);
            bool mirrored = true;
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x)
                    mirrored = mirrored && image.pixel(c.across ? size.width() - 1 - x : x,
                                                       c.down ? size.height() - 1 - y : y) ==
                                               original.pixel(x, y);
            EXPECT_TRUE(mirrored) << static_cast<int>(c.flip) << " " << size.width() << "x"
                                  << size.height();
            FlipImage(image, c.flip);
            EXPECT_EQ(image, original);
        }
    }
}
