#include "modelFixtures.h"

#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

using TimeList = std::vector<std::pair<int, int>>;

TEST(FrameSheet, CellsFollowTwentyColumnsAndTheSheetGrowsByRows) {
    struct Case {
        int index;
        QRect cell;
    };
    for (const Case& c : {Case{0, {0, 0, 48, 32}}, Case{19, {912, 0, 48, 32}},
                          Case{20, {0, 32, 48, 32}}, Case{323, {144, 512, 48, 32}}})
        EXPECT_EQ(TAnimation::CellRect(c.index), c.cell) << "frame " << c.index;

    TAnimation animation;
    EXPECT_EQ(animation.FrameSheet().size(), QSize(960, 32));
    const std::pair<int, int> heights[] = {{1, 32},  {20, 32}, {21, 64},
                                           {40, 64}, {41, 96}, {324, 544}};
    for (const auto& [frames, height] : heights) {
        FillAnimation(animation, frames - animation.FrameCount());
        EXPECT_EQ(animation.FrameSheet().size(), QSize(960, height)) << frames << " frames";
    }
    while (animation.FrameCount() > 20)
        animation.DeleteFrame(animation.FrameCount() - 1);
    EXPECT_EQ(animation.FrameSheet().height(), 32);
    while (animation.FrameCount() > 0)
        animation.DeleteFrame(0);
    EXPECT_EQ(animation.FrameSheet().height(), 32);
}

TEST(FrameList, TheFrameLimitRefusesWithoutChangingAnything) {
    TAnimation animation;
    FillAnimation(animation, MaxDocumentFrames - 1);
    EXPECT_TRUE(animation.InsertFrame(5));
    EXPECT_EQ(animation.FrameCount(), MaxDocumentFrames);
    const TimeList times = Times(animation);
    EXPECT_FALSE(animation.AddFrame());
    EXPECT_FALSE(animation.InsertFrame(0));
    EXPECT_FALSE(animation.InsertFrame(-1));
    EXPECT_EQ(animation.FrameCount(), MaxDocumentFrames);
    EXPECT_EQ(Times(animation), times);
}

TEST(FrameList, InsertAcceptsMinusOneAndTheCountAndRefusesOtherIndices) {
    TAnimation animation;
    FillAnimation(animation, {3, 5});
    EXPECT_FALSE(animation.InsertFrame(-2));
    EXPECT_FALSE(animation.InsertFrame(3));
    EXPECT_EQ(animation.FrameCount(), 2);
    EXPECT_TRUE(animation.InsertFrame(-1));
    EXPECT_TRUE(animation.InsertFrame(animation.FrameCount()));
    EXPECT_EQ(Durations(animation), (std::vector<int>{3, 5, 1, 1}));
    EXPECT_EQ(Times(animation), (TimeList{{0, 3}, {3, 8}, {8, 9}, {9, 10}}));
}

TEST(FrameList, InsertAndDeleteMoveCellsAndTimesOfLaterFrames) {
    TAnimation animation;
    FillAnimation(animation, {3, 5});
    ASSERT_TRUE(animation.InsertFrame(0));
    EXPECT_EQ(Times(animation), (TimeList{{0, 1}, {1, 4}, {4, 9}}));
    EXPECT_EQ(Marker(animation.Frame(0)), -1);
    EXPECT_EQ(Marker(animation.Frame(1)), 0);
    EXPECT_EQ(Marker(animation.Frame(2)), 1);
    for (int i = 0; i < animation.FrameCount(); ++i)
        EXPECT_TRUE(CellMatchesPixels(animation, i)) << "frame " << i;

    animation.DeleteFrame(1);
    EXPECT_EQ(Times(animation), (TimeList{{0, 1}, {1, 6}}));
    EXPECT_EQ(Marker(animation.Frame(1)), 1);
    EXPECT_TRUE(CellMatchesPixels(animation, 1));
    animation.DeleteFrame(2); // out of range: ignored
    animation.DeleteFrame(-1);
    EXPECT_EQ(animation.FrameCount(), 2);
}

TEST(FrameList, CellsSurviveMovesAcrossSheetRows) {
    TAnimation animation;
    FillAnimation(animation, 45);
    ASSERT_TRUE(animation.InsertFrame(3));
    animation.DeleteFrame(30);
    for (int i = 0; i < animation.FrameCount(); ++i) {
        const int expected = i < 3 ? i : i == 3 ? -1 : i < 30 ? i - 1 : i;
        EXPECT_EQ(Marker(animation.Frame(i)), expected) << "frame " << i;
        EXPECT_TRUE(CellMatchesPixels(animation, i)) << "frame " << i;
    }
}

TEST(FrameList, DeleteSelectedFramesKeepsTheOthersInOrder) {
    struct Case {
        std::vector<int> selected;
        std::vector<int> keptMarkers;
        TimeList times;
    };
    const Case cases[] = {
        {{}, {0, 1, 2, 3}, {{0, 2}, {2, 5}, {5, 9}, {9, 14}}},
        {{0, 2}, {1, 3}, {{0, 3}, {3, 8}}},
        {{3}, {0, 1, 2}, {{0, 2}, {2, 5}, {5, 9}}},
        {{0, 1, 2, 3}, {}, {}},
    };
    for (const Case& c : cases) {
        TAnimation animation;
        FillAnimation(animation, {2, 3, 4, 5});
        for (const int i : c.selected)
            animation.Frame(i).SetSelected(true);
        animation.DeleteSelectedFrames();
        std::vector<int> markers;
        for (int i = 0; i < animation.FrameCount(); ++i) {
            markers.push_back(Marker(animation.Frame(i)));
            EXPECT_TRUE(CellMatchesPixels(animation, i));
        }
        EXPECT_EQ(markers, c.keptMarkers);
        EXPECT_EQ(Times(animation), c.times);
    }
}

TEST(FrameTimes, DurationChangesMoveEveryLaterFrame) {
    TAnimation animation;
    FillAnimation(animation, {1, 1, 1});
    animation.Frame(0).SetDuration(4);
    EXPECT_EQ(Times(animation), (TimeList{{0, 4}, {4, 5}, {5, 6}}));
    animation.Frame(1).SetDuration(0);
    EXPECT_EQ(Times(animation), (TimeList{{0, 4}, {4, 4}, {4, 5}}));
    animation.Frame(2).SetDuration(255);
    EXPECT_EQ(animation.Frame(2).EndTime(), 259);
}

TEST(FrameTimes, SetDurationRaisesItsEventOnlyOnChangeAndMarksChangedFromNonzero) {
    struct Case {
        int from;
        int to;
        int events;
        bool changed;
    };
    for (const Case& c :
         {Case{1, 1, 0, false}, Case{0, 4, 1, false}, Case{1, 4, 1, true}, Case{4, 0, 1, true}}) {
        TFrame frame;
        frame.SetDuration(static_cast<std::uint8_t>(c.from));
        const bool changedBefore = frame.Changed();
        int events = 0;
        frame.OnDurationChange = [&](TFrame&) { ++events; };
        frame.SetDuration(static_cast<std::uint8_t>(c.to));
        EXPECT_EQ(events, c.events) << c.from << " -> " << c.to;
        EXPECT_EQ(frame.Changed(), changedBefore || c.changed) << c.from << " -> " << c.to;
        EXPECT_EQ(frame.EndTime(), frame.StartTime() + c.to);
    }
}

TEST(FrameLayers, EachLayerBelongsToOneFrameAndAFrameHoldsOneLayer) {
    TAnimation animation;
    FillAnimation(animation, 6);
    animation.Frame(5).SetRedLayer(true);
    animation.Frame(3).SetRedLayer(true);
    EXPECT_FALSE(animation.Frame(5).RedLayer());
    EXPECT_TRUE(animation.Frame(3).RedLayer());

    animation.Frame(1).SetBlueLayer(true);
    animation.Frame(3).SetBlueLayer(true); // the red frame becomes the blue one
    EXPECT_FALSE(animation.Frame(3).RedLayer());
    EXPECT_TRUE(animation.Frame(3).BlueLayer());
    EXPECT_FALSE(animation.Frame(1).BlueLayer());

    int events = 0;
    animation.Frame(3).OnBlueLayerChange = [&](TFrame&) { ++events; };
    animation.Frame(3).SetBlueLayer(false); // clearing raises nothing
    animation.Frame(3).SetBlueLayer(false);
    EXPECT_EQ(events, 0);
    EXPECT_FALSE(animation.Frame(3).BlueLayer());
}

TEST(FrameBitmaps, DrawFrameScalesTheCellAndStoreFrameTakesOnlyExactBlack) {
    TAnimation animation;
    FillAnimation(animation, 2);
    QImage big(96, 64, QImage::Format_RGB32);
    big.fill(Qt::red);
    animation.DrawFrame(1, big); // frame 1 has pixel (1, 0) lit
    for (const QPoint p : {QPoint(2, 0), QPoint(3, 0), QPoint(2, 1), QPoint(3, 1)})
        EXPECT_EQ(big.pixel(p) & 0xFFFFFF, 0u) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(1, 0), QPoint(4, 0), QPoint(2, 2), QPoint(95, 63)})
        EXPECT_EQ(big.pixel(p) & 0xFFFFFF, 0xFFFFFFu) << p.x() << "," << p.y();

    QImage work(FrameWidth, FrameHeight, QImage::Format_RGB32);
    work.fill(Qt::white);
    work.setPixel(10, 20, qRgb(0, 0, 0));
    work.setPixel(11, 20, qRgb(1, 1, 1)); // very dark grey is not a lit dot
    animation.StoreFrame(0, work);
    const TFrame& frame = animation.Frame(0);
    EXPECT_EQ(frame.Pixels[PixelIndex(10, 20)], 1);
    EXPECT_EQ(frame.Pixels[PixelIndex(11, 20)], 0);
    EXPECT_EQ(std::count(frame.Pixels.begin(), frame.Pixels.end(), 1), 1);
    EXPECT_TRUE(frame.Changed());
    EXPECT_TRUE(CellMatchesPixels(animation, 0));

    QImage copy(FrameWidth, FrameHeight, QImage::Format_RGB32);
    animation.DrawFrame(0, copy);
    EXPECT_EQ(copy.pixel(10, 20) & 0xFFFFFF, 0u);
    EXPECT_EQ(copy.pixel(11, 20) & 0xFFFFFF, 0xFFFFFFu);

    QImage untouched = copy;
    animation.DrawFrame(2, copy);
    animation.StoreFrame(-1, work);
    EXPECT_EQ(copy, untouched);
}

TEST(FrameBitmaps, StoringALargerPictureKeepsPixelsAndCellInAgreement) {
    TAnimation animation;
    FillAnimation(animation, 1);
    QImage picture(96, 64, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int y = 40; y < 42; ++y)
        for (int x = 60; x < 62; ++x)
            picture.setPixel(x, y, qRgb(0, 0, 0));
    animation.StoreFrame(0, picture);
    EXPECT_EQ(animation.Frame(0).Pixels[PixelIndex(30, 20)], 1);
    EXPECT_TRUE(CellMatchesPixels(animation, 0));
}

TEST(FrameList, ClearEmptiesFramesCommandsAndScriptButKeepsRepeatAndSource) {
    TAnimation animation;
    FillAnimation(animation, 3);
    animation.AddCommand().Value = TCommand::DrawFrame(1);
    animation.BuildScript();
    animation.RepeatCount = 7;
    animation.SourceKind = SourceVMSPlain;
    animation.Clear();
    EXPECT_EQ(animation.FrameCount(), 0);
    EXPECT_EQ(animation.CommandCount(), 0);
    EXPECT_TRUE(animation.ScriptText.isEmpty());
    EXPECT_EQ(animation.RepeatCount, 7);
    EXPECT_EQ(animation.SourceKind, SourceVMSPlain);
    ASSERT_TRUE(animation.AddFrame());
    EXPECT_EQ(Times(animation), (TimeList{{0, 1}}));
    EXPECT_TRUE(CellMatchesPixels(animation, 0));
}

TEST(FrameBitmaps, DrawFrameGivesWholePixelBlocksForEveryTargetKind) {
    TAnimation animation;
    FillAnimation(animation, 1);
    animation.Frame(0).Pixels.fill(0);
    for (int i = 0; i < FramePixelCount; i += 7) // an irregular pattern
        animation.Frame(0).Pixels[static_cast<std::size_t>(i)] = 1;
    animation.PaintCell(0);
    struct Case {
        QSize size;
        QImage::Format format;
    };
    for (const Case& c :
         {Case{{384, 256}, QImage::Format_RGB32}, Case{{96, 64}, QImage::Format_ARGB32},
          Case{{96, 64}, QImage::Format_RGB888},
          Case{{96, 64}, QImage::Format_ARGB32_Premultiplied},
          Case{{144, 32}, QImage::Format_RGB32}}) {
        QImage target(c.size, c.format);
        target.fill(Qt::red);
        animation.DrawFrame(0, target);
        int wrong = 0;
        for (int y = 0; y < target.height(); ++y)
            for (int x = 0; x < target.width(); ++x) {
                const int sx = x * FrameWidth / target.width();
                const int sy = y * FrameHeight / target.height();
                const bool lit =
                    animation.Frame(0).Pixels[static_cast<std::size_t>(PixelIndex(sx, sy))] == 1;
                wrong += (target.pixel(x, y) & 0xFFFFFF) != (lit ? 0u : 0xFFFFFFu);
            }
        EXPECT_EQ(wrong, 0) << c.size.width() << "x" << c.size.height() << " format " << c.format;
    }
}
