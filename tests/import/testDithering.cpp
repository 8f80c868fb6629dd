#include "unitImportFrame.h"

#include <gtest/gtest.h>
#include <set>
#include <utility>
#include <vector>

using namespace vistrel;

namespace {

using GreyFrame = std::array<std::uint8_t, FramePixelCount>;
using Point = std::pair<int, int>;

GreyFrame Uniform(int level) {
    GreyFrame grey;
    grey.fill(static_cast<std::uint8_t>(level));
    return grey;
}

std::uint8_t At(const GreyFrame& grey, int x, int y) {
    return grey[static_cast<std::size_t>(PixelIndex(x, y))];
}

std::set<Point> WhitePixels(const GreyFrame& grey) {
    std::set<Point> white;
    for (int y = 0; y < FrameHeight; ++y)
        for (int x = 0; x < FrameWidth; ++x)
            if (At(grey, x, y) == 255)
                white.insert({x, y});
    return white;
}

} // namespace

TEST(Quantization, MakesWhiteExactlyTheLevelsAtOrAboveTheThreshold) {
    struct Case {
        int level;
        int threshold;
        bool white;
    };
    const Case cases[] = {{127, 128, false}, {128, 128, true},  {0, 0, true},
                          {255, 0, true},    {254, 255, false}, {255, 255, true}};
    for (const Case& c : cases) {
        GreyFrame grey = Uniform(c.level);
        DitherQuantize(grey, c.threshold);
        EXPECT_EQ(WhitePixels(grey).size(), c.white ? FramePixelCount : 0u)
            << "grey " << c.level << ", threshold " << c.threshold;
    }
}

TEST(Bayer, WhiteWhereTheLevelPlusTheMatrixEntryReachesTheThreshold) {
    // The matrix as the frame has always used it: x picks the row, y the column.
    constexpr int M[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    for (const auto& [level, threshold] :
         {std::pair{128, 128}, {64, 128}, {40, 128}, {200, 255}, {0, 0}, {100, 50}}) {
        GreyFrame grey = Uniform(level);
        DitherBayer(grey, threshold);
        for (int y = 0; y < FrameHeight; ++y)
            for (int x = 0; x < FrameWidth; ++x)
                ASSERT_EQ(At(grey, x, y) == 255, (level / 8 + M[x % 4][y % 4]) * 8 >= threshold)
                    << "grey " << level << " threshold " << threshold << " at " << x << "," << y;
    }
    // The cases that show it: grey 128 is all white, grey 64 is half white, and
    // grey 40 tells the rows from the columns ((1, 0) is entry 12, (0, 1) entry 8).
    GreyFrame grey128 = Uniform(128);
    DitherBayer(grey128, 128);
    EXPECT_EQ(WhitePixels(grey128).size(), FramePixelCount);
    GreyFrame grey64 = Uniform(64);
    DitherBayer(grey64, 128);
    EXPECT_EQ(WhitePixels(grey64).size(), FramePixelCount / 2);
    GreyFrame grey40 = Uniform(40);
    DitherBayer(grey40, 128);
    EXPECT_EQ(At(grey40, 1, 0), 255);
    EXPECT_EQ(At(grey40, 0, 1), 0);
}

// Floyd-Steinberg spreads each error in four truncated shares, stored in the
// 8-bit picture itself. Each case lights the top-left pixel (grey 128 at
// threshold 128: white, error -127) on black and puts one more grey pixel
// where a share lands, one level either side of where the share makes it white.
TEST(FloydSteinberg, SpreadsTruncatedSharesOfTheErrorThroughTheClampedPicture) {
    struct Case {
        const char* what;
        std::vector<std::pair<Point, int>> pixels;
        std::set<Point> white;
    };
    const Case cases[] = {
        {"right neighbour gets -55 (7/16 of -127, cut towards zero)",
         {{{0, 0}, 128}, {{1, 0}, 183}},
         {{0, 0}, {1, 0}}},
        {"right neighbour one level lower stays black", {{{0, 0}, 128}, {{1, 0}, 182}}, {{0, 0}}},
        {"lower neighbour gets -39", {{{0, 0}, 128}, {{0, 1}, 167}}, {{0, 0}, {0, 1}}},
        {"lower neighbour one level lower", {{{0, 0}, 128}, {{0, 1}, 166}}, {{0, 0}}},
        {"lower-right neighbour gets -7", {{{0, 0}, 128}, {{1, 1}, 135}}, {{0, 0}, {1, 1}}},
        {"lower-right one level lower", {{{0, 0}, 128}, {{1, 1}, 134}}, {{0, 0}}},
        {"lower-left neighbour gets -23", {{{1, 0}, 128}, {{0, 1}, 151}}, {{1, 0}, {0, 1}}},
        {"lower-left one level lower", {{{1, 0}, 128}, {{0, 1}, 150}}, {{1, 0}}},
        // A black pixel of 127 passes +55 on; 250 + 55 is cut to 255, so that pixel
        // ends white with no error, and 110 after it stays black. Kept unclamped,
        // its error of 50 would lift 110 to 131, white.
        {"a share that overflows is cut at 255",
         {{{0, 0}, 127}, {{1, 0}, 250}, {{2, 0}, 110}},
         {{1, 0}}},
        {"the error from the right edge drops its right shares",
         {{{47, 0}, 128}, {{46, 1}, 151}},
         {{47, 0}, {46, 1}}},
    };
    for (const Case& c : cases) {
        GreyFrame grey = Uniform(0);
        for (const auto& [point, level] : c.pixels)
            grey[static_cast<std::size_t>(PixelIndex(point.first, point.second))] =
                static_cast<std::uint8_t>(level);
        DitherFloydSteinberg(grey, 128);
        EXPECT_EQ(WhitePixels(grey), c.white) << c.what;
    }
}

TEST(FloydSteinberg, KeepsTheAverageLevelOfAUniformGrey) {
    for (const int level : {32, 64, 128, 192, 230}) {
        GreyFrame grey = Uniform(level);
        DitherFloydSteinberg(grey, 128);
        const auto white = static_cast<int>(WhitePixels(grey).size());
        // Truncated shares lose a little error; the share of white stays close.
        EXPECT_NEAR(white * 255.0 / FramePixelCount, level, 12) << "grey " << level;
    }
    GreyFrame grey = Uniform(128);
    DitherFloydSteinberg(grey, 128);
    EXPECT_EQ(At(grey, 0, 0), 255); // the top-left pixel of grey 128 is white
}
