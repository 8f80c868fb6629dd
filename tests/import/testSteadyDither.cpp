// Keeping still parts still across the frames of a moving picture, and the
// flicker measure that shows it.

#include "animationImport.h"
#include "animationSourceFactory.h"
#include "flicker.h"
#include "steadyDither.h"
#include "stillAndMovingClip.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <numeric>
#include <vector>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

std::vector<FramePixels> Import(int method, bool keepStill) {
    TAnimationImportOptions options;
    options.Method = method;
    options.Merge = false;
    options.KeepStill = keepStill;
    const QTemporaryDir folder;
    QString reason;
    const std::unique_ptr<IAnimationSource> source =
        OpenAnimationSource(WriteStillAndMovingSequence(folder.path()), true, &reason);
    if (!source) {
        ADD_FAILURE() << reason.toStdString();
        return {};
    }
    const TAnimationImportResult result = TAnimationImport(options).Run(*source);
    EXPECT_TRUE(result.Error.isEmpty()) << result.Error.toStdString();
    std::vector<FramePixels> frames;
    for (const TFrame& frame : result.Frames)
        frames.push_back(frame.Pixels);
    return frames;
}

bool Lit(const FramePixels& pixels, int x, int y) {
    return pixels[static_cast<std::size_t>(PixelIndex(x, y))] == 1;
}

const int Methods[] = {TImportFrame::FloydSteinberg, TImportFrame::Bayer,
                       TImportFrame::Quantization};

TEST(KeepStill, TheStillPartKeepsItsDotsWherePlainDitheringFlipsThemAndTheSquareIsFollowed) {
    for (const int method : Methods) {
        SCOPED_TRACE(method);
        const std::vector<FramePixels> plain = Import(method, false);
        const std::vector<FramePixels> steady = Import(method, true);
        ASSERT_EQ(plain.size(), std::size_t{StillAndMovingFrames});
        ASSERT_EQ(steady.size(), plain.size());
        // The codec-like noise alone flips dots of the plain import.
        EXPECT_GT(FlickerShare(plain, StillPart), 0.0);
        EXPECT_EQ(FlickerShare(steady, StillPart), 0.0);

        // The first frame is the picture imported alone.
        TImportFrame alone;
        alone.SetMethod(method);
        alone.SetPicture(StillAndMovingFrame(0));
        EXPECT_EQ(steady[0], alone.OutputPixels());

        // The square is lit wherever it is, the band unlit wherever it has left.
        for (int k = 0; k < StillAndMovingFrames; ++k) {
            const QImage source = StillAndMovingFrame(k);
            int wrong = 0;
            for (int y = MovingPart.top(); y <= MovingPart.bottom(); ++y)
                for (int x = MovingPart.left(); x <= MovingPart.right(); ++x)
                    wrong += Lit(steady[k], x, y) != (qRed(source.pixel(x, y)) == 0) ? 1 : 0;
            EXPECT_EQ(wrong, 0) << "frame " << k;
        }
    }
}

TEST(KeepStill, ASlowFadeIsFollowedOnceItHasMovedFurtherThanTheTolerance) {
    // Two grey levels a frame, below the tolerance each time: comparing with the
    // frame before instead of the grey a dot was decided on would never follow.
    for (const int method : Methods) {
        SCOPED_TRACE(method);
        TSteadyDither steady(method, 128);
        FramePixels last{};
        for (int level = 100; level <= 160; level += 2) {
            TSteadyDither::GreyFrame grey;
            grey.fill(static_cast<std::uint8_t>(level));
            last = steady.Next(grey);
        }
        TSteadyDither::GreyFrame end;
        end.fill(160);
        const FramePixels plain = TSteadyDither(method, 128).Next(end);
        const int litSteady = std::accumulate(last.begin(), last.end(), 0);
        const int litPlain = std::accumulate(plain.begin(), plain.end(), 0);
        EXPECT_NEAR(litSteady, litPlain, FramePixelCount / 20);
    }
}

TEST(FlickerShare, CountsTheDotsThatChangeInsideTheRegionOverEveryPairOfFrames) {
    FramePixels blank{};
    FramePixels oneDot{};
    oneDot[static_cast<std::size_t>(PixelIndex(2, 3))] = 1;
    FramePixels full{};
    full.fill(1);
    struct Case {
        std::vector<FramePixels> frames;
        QRect region;
        double share;
    };
    const Case cases[] = {
        {{blank, blank, blank}, QRect(0, 0, 48, 32), 0.0},
        {{blank, oneDot}, QRect(0, 0, 4, 4), 1.0 / 16},
        {{blank, oneDot, blank}, QRect(0, 0, 4, 4), 2.0 / 32},
        {{blank, oneDot}, QRect(3, 0, 4, 4), 0.0},
        {{blank, full, blank}, QRect(40, 30, 20, 20), 1.0},
        {{blank, full}, QRect(48, 0, 4, 4), 0.0},
        {{full}, QRect(0, 0, 48, 32), 0.0},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_DOUBLE_EQ(FlickerShare(cases[i].frames, cases[i].region), cases[i].share)
            << "case " << i;
}

} // namespace
