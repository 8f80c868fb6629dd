#include "pictureFixtures.h"
#include "unitImportFrame.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

QRgb Pixel(const QImage& picture, int x, int y) {
    return picture.pixel(x, y) & 0xFFFFFF;
}

// A picture whose left half is black and right half white, so the frame shows
// where the window sits.
QImage Halves(int width, int height) {
    QImage picture = Filled(width, height, qRgb(255, 255, 255));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width / 2; ++x)
            picture.setPixel(x, y, qRgb(0, 0, 0));
    return picture;
}

int LitCount(const TImportFrame& importer) {
    int lit = 0;
    for (const std::uint8_t pixel : importer.OutputPixels())
        lit += pixel;
    return lit;
}

} // namespace

TEST(ScaledSize, FitsThePictureToTheFrameOrScalesItWithoutEverReachingZero) {
    struct Case {
        QSize picture;
        int scale;
        QSize expected;
    };
    const Case cases[] = {
        {{640, 480}, TImportFrame::ScaleToFit, {48, 36}},
        {{480, 640}, TImportFrame::ScaleToFit, {24, 32}},
        {{100, 100}, TImportFrame::ScaleToFit, {48, 48}},
        {{64, 48}, 75, {48, 36}},
        {{48, 32}, 100, {48, 32}},
        {{1000, 10}, TImportFrame::ScaleToFit, {48, 1}}, // 48 * 10 / 1000 is 0
        {{10, 1000}, TImportFrame::ScaleToFit, {1, 32}},
        {{1, 1}, 50, {1, 1}},
        {{20, 10}, TImportFrame::ScaleToFit, {48, 24}}, // smaller than the frame: enlarged
        {{30'000'000, 3}, 75, {22'500'000, 2}},         // 30e6 * 75 needs 64 bits
    };
    for (const Case& c : cases)
        EXPECT_EQ(TImportFrame::ScaledSize(c.picture, c.scale), c.expected)
            << c.picture.width() << " x " << c.picture.height() << " at " << c.scale;
}

TEST(Resample, AveragesExactIntegerBoxesPerChannel) {
    // 5 x 1 to 2 x 1: columns 0..1 and 2..4.
    QImage row(5, 1, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(10, 0, 255), qRgb(21, 100, 0), qRgb(30, 7, 1), qRgb(40, 8, 2),
                            qRgb(51, 9, 4)};
    for (int x = 0; x < 5; ++x)
        row.setPixel(x, 0, colours[x]);
    const QImage two = TImportFrame::Resample(row, {2, 1});
    EXPECT_EQ(Pixel(two, 0, 0), qRgb(15, 50, 127) & 0xFFFFFF); // (10+21)/2, 100/2, 255/2
    EXPECT_EQ(Pixel(two, 1, 0), qRgb(40, 8, 2) & 0xFFFFFF);    // 121/3, 24/3, 7/3

    // 3 x 3 to 1 x 1: all nine.
    QImage square(3, 3, QImage::Format_RGB32);
    int level = 0;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x, level += 10)
            square.setPixel(x, y, qRgb(level, 255 - level, 1));
    EXPECT_EQ(Pixel(TImportFrame::Resample(square, {1, 1}), 0, 0), qRgb(40, 215, 1) & 0xFFFFFF);

    // 7 x 5 to 3 x 2 (odd sizes): columns 0..1, 2..3, 4..6; rows 0..1, 2..4.
    QImage odd(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            odd.setPixel(x, y, qRgb(x * 10, y * 10, 0));
    const QImage small = TImportFrame::Resample(odd, {3, 2});
    EXPECT_EQ(Pixel(small, 0, 0), qRgb(5, 5, 0) & 0xFFFFFF);
    EXPECT_EQ(Pixel(small, 2, 1), qRgb(50, 30, 0) & 0xFFFFFF);
}

TEST(Resample, ReadsTheLastSourceRowAndColumn) {
    // 640 x 480 to 48 x 36: the last box row is source rows 466..479 (14 rows),
    // the last box column 626..639 (14 columns). Only row 479 and column 639 are
    // white, so the last row and column of the result must not be black.
    QImage picture = Filled(640, 480, qRgb(0, 0, 0));
    for (int x = 0; x < 640; ++x)
        picture.setPixel(x, 479, qRgb(255, 255, 255));
    for (int y = 0; y < 480; ++y)
        picture.setPixel(639, y, qRgb(255, 255, 255));
    const QImage result = TImportFrame::Resample(picture, {48, 36});
    EXPECT_EQ(qRed(result.pixel(0, 35)), 255 / 14);
    EXPECT_EQ(qRed(result.pixel(47, 0)), 255 / 14);
    EXPECT_EQ(qRed(result.pixel(20, 20)), 0);
}

// A box hundreds of rows tall: its sums outgrow what a row's sums need and are
// carried on in wider ones; no row is lost or counted in the wrong box.
TEST(Resample, TallBoxesKeepEveryRowsSum) {
    // 3 x 1200 to 1 x 2: rows 0..599 and 600..1199. Red is 255 throughout;
    // green 200 in rows 0..299 only; blue 255 in odd rows.
    QImage tall(3, 1200, QImage::Format_RGB32);
    for (int y = 0; y < tall.height(); ++y)
        for (int x = 0; x < tall.width(); ++x)
            tall.setPixel(x, y, qRgb(255, y < 300 ? 200 : 0, y % 2 ? 255 : 0));
    const QImage two = TImportFrame::Resample(tall, {1, 2});
    EXPECT_EQ(Pixel(two, 0, 0), qRgb(255, 100, 127) & 0xFFFFFF);
    EXPECT_EQ(Pixel(two, 0, 1), qRgb(255, 0, 127) & 0xFFFFFF);
}

TEST(Resample, EnlargesByRepeatingPixels) {
    QImage pair(2, 1, QImage::Format_RGB32);
    pair.setPixel(0, 0, qRgb(255, 0, 0));
    pair.setPixel(1, 0, qRgb(0, 0, 255));
    const QImage wide = TImportFrame::Resample(pair, {5, 3});
    ASSERT_EQ(wide.size(), QSize(5, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(Pixel(wide, x, y), x < 3 ? 0xFF0000u : 0x0000FFu) << x << "," << y;
}

TEST(ImportGeometry, PreviewAndWindowFollowTheScaledPicture) {
    struct Case {
        QSize picture;
        int scale;
        bool oversize;
        QRect preview;
        QRect window;
    };
    const Case cases[] = {
        // 64 x 48 at 75% is 48 x 36: a window of 256 x 170 on a 256 x 192 preview.
        {{64, 48}, 75, true, {0, 0, 256, 192}, {0, 0, 256, 170}},
        {{48, 32}, 100, false, {0, 0, 256, 170}, {0, 0, 256, 170}},
        // The preview height in integers: 256 * 93 / 128 is 186 (a ratio in
        // floating point gives 185).
        {{128, 93}, 100, true, {0, 0, 256, 186}, {0, 0, 96, 64}},
        {{480, 640}, 100, true, {0, 0, 192, 256}, {0, 0, 19, 12}},
        // Wider than the frame but lower: the window is as low as the picture.
        {{100, 10}, 100, true, {0, 0, 256, 25}, {0, 0, 122, 25}},
        {{1000, 1}, 100, true, {0, 0, 256, 1}, {0, 0, 12, 0}},
    };
    for (const Case& c : cases) {
        TImportFrame importer;
        std::vector<QSize> sizes;
        importer.OnPreviewSize = [&](int w, int h) { sizes.push_back({w, h}); };
        importer.SetScale(c.scale);
        ASSERT_TRUE(importer.SetPicture(Grey(c.picture.width(), c.picture.height(), 90)));
        const auto label = ::testing::Message() << c.picture.width() << " x " << c.picture.height();
        EXPECT_EQ(importer.Oversize(), c.oversize) << label;
        EXPECT_EQ(importer.PreviewRect(), c.preview) << label;
        EXPECT_EQ(importer.WindowRect(), c.window) << label;
        EXPECT_EQ(importer.GrabRect().size(), QSize(std::min(48, importer.Scaled().width()),
                                                    std::min(32, importer.Scaled().height())))
            << label;
        ASSERT_EQ(sizes.size(), 1u) << label;
        EXPECT_EQ(sizes.front(), c.preview.size()) << label;
    }
}

TEST(ImportDrag, HoldsTheWindowInsideThePreviewAndGrabsExactlyTheFrame) {
    struct Case {
        const char* what;
        QSize picture;
        QPoint by;
        QPoint grabAt;
    };
    // 96 x 64 at 100%: preview factor 256 / 96, window 128 x 85 on 256 x 170.
    const Case cases[] = {
        {"no move at all", {96, 64}, {0, 0}, {0, 0}},
        {"a small move", {96, 64}, {40, 30}, {15, 11}},
        {"beyond the left and top edges", {96, 64}, {-500, -500}, {0, 0}},
        {"beyond the right and bottom edges", {96, 64}, {500, 500}, {48, 32}},
        // 100 x 10: the window is as low as the preview and may only move sideways.
        {"down in a picture lower than the frame", {100, 10}, {0, 40}, {0, 0}},
        {"right in a picture lower than the frame", {100, 10}, {500, 40}, {52, 0}},
    };
    for (const Case& c : cases) {
        TImportFrame importer;
        ASSERT_TRUE(importer.SetPicture(Grey(c.picture.width(), c.picture.height(), 200)));
        const QRect grabSize(QPoint(0, 0), importer.GrabRect().size());
        const QPoint start = importer.WindowRect().center();
        importer.BeginDrag(start);
        importer.DragTo(start + c.by);
        EXPECT_TRUE(importer.Dragging()) << c.what;
        importer.EndDrag();
        EXPECT_FALSE(importer.Dragging()) << c.what;
        const QRect window = importer.WindowRect();
        EXPECT_GE(window.left(), 0) << c.what;
        EXPECT_GE(window.top(), 0) << c.what;
        EXPECT_LE(window.x() + window.width(), importer.PreviewRect().width()) << c.what;
        EXPECT_LE(window.y() + window.height(), importer.PreviewRect().height()) << c.what;
        EXPECT_EQ(importer.GrabRect(), grabSize.translated(c.grabAt)) << c.what;
    }
}

TEST(ImportDrag, TheFrameIsTheWindowsPixelsOnlyAfterTheDragEnds) {
    // Black left half, white right half: the frame turns white as the window
    // moves right, once the mouse is released.
    TImportFrame importer;
    importer.SetMethod(TImportFrame::Quantization);
    ASSERT_TRUE(importer.SetPicture(Halves(192, 32)));
    EXPECT_EQ(LitCount(importer), 48 * 32);
    importer.BeginDrag({10, 10});
    importer.DragTo({10 + 256, 10}); // to the right edge
    EXPECT_EQ(LitCount(importer), 48 * 32) << "rebuilt while dragging";
    importer.EndDrag();
    EXPECT_EQ(importer.GrabRect(), QRect(144, 0, 48, 32));
    EXPECT_EQ(LitCount(importer), 0);
    // Moving it by a quarter of the window puts 12 columns on the black half.
    importer.BeginDrag({100, 10});
    importer.DragTo({100 - 85, 10}); // factor 256 / 192: 85 preview pixels are 64 columns
    importer.EndDrag();
    EXPECT_EQ(importer.GrabRect().size(), QSize(48, 32));
    EXPECT_EQ(LitCount(importer), (96 - importer.GrabRect().x()) * 32);
}

TEST(ImportFrame, ScaleMethodAndThresholdRebuildOnlyOnChange) {
    TImportFrame importer;
    int rebuilds = 0;
    importer.OnProgress = [&](int stage, int value) {
        if (stage == 0 && value == 31)
            ++rebuilds;
    };
    ASSERT_TRUE(importer.SetPicture(Halves(96, 64)));
    EXPECT_EQ(rebuilds, 1);
    importer.SetMethod(TImportFrame::FloydSteinberg);
    importer.SetThreshold(128);
    importer.SetScale(100);
    EXPECT_EQ(rebuilds, 1);

    // Method and threshold keep the dragged window; a new scale puts it back.
    importer.BeginDrag({5, 5});
    importer.DragTo({105, 5});
    importer.EndDrag();
    const QRect dragged = importer.GrabRect();
    ASSERT_NE(dragged.topLeft(), QPoint(0, 0));
    importer.SetMethod(TImportFrame::Bayer);
    importer.SetThreshold(60);
    EXPECT_EQ(rebuilds, 4);
    EXPECT_EQ(importer.GrabRect(), dragged);
    importer.SetScale(75);
    EXPECT_EQ(importer.GrabRect(), QRect(0, 0, 48, 32));
    EXPECT_EQ(importer.Scaled().size(), QSize(72, 48));
}

TEST(ImportFrame, ProgressOfAResampleCountsItsRows) {
    TImportFrame importer;
    ASSERT_TRUE(importer.SetPicture(Grey(300, 200, 100)));
    std::vector<std::pair<int, int>> reports;
    importer.OnProgress = [&](int stage, int value) { reports.push_back({stage, value}); };
    importer.SetScale(50);
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports.front(), std::pair(0, 100)); // 100 rows to come
    EXPECT_EQ(reports[100], std::pair(1, 99));
    EXPECT_EQ(reports[101], std::pair(2, 0));
    EXPECT_EQ(reports.back(), std::pair(2, 0)); // the frame rebuilt after it
}

// The faults the importer is built against, one row each.
TEST(ImportFrame, OddPicturesGiveSoundFrames) {
    struct Case {
        const char* what;
        QImage picture;
        int scale;
        QSize scaled;
        int lit; // with Quantization at 128
    };
    const Case cases[] = {
        {"To Fit on 1000 x 10 keeps one row",
         Grey(1000, 10, 0),
         TImportFrame::ScaleToFit,
         {48, 1},
         48},
        {"1 x 1 at 50% stays one pixel", Grey(1, 1, 0), 50, {1, 1}, 1},
        {"To Fit enlarges a small picture",
         Grey(12, 8, 0),
         TImportFrame::ScaleToFit,
         {48, 32},
         48 * 32},
        {"outside a small picture the dots are off", Grey(10, 5, 0), 100, {10, 5}, 50},
    };
    for (const Case& c : cases) {
        TImportFrame importer;
        importer.SetMethod(TImportFrame::Quantization);
        importer.SetScale(c.scale);
        ASSERT_TRUE(importer.SetPicture(c.picture)) << c.what;
        EXPECT_EQ(importer.Scaled().size(), c.scaled) << c.what;
        EXPECT_EQ(LitCount(importer), c.lit) << c.what;
    }
}

TEST(ImportFrame, ANewPictureGetsTheScaleInForce) {
    TImportFrame importer;
    ASSERT_TRUE(importer.SetPicture(Grey(200, 100, 0)));
    importer.SetScale(TImportFrame::ScaleToFit);
    EXPECT_EQ(importer.Scaled().size(), QSize(48, 24));
    ASSERT_TRUE(importer.SetPicture(Grey(640, 480, 0)));
    EXPECT_EQ(importer.Scale(), TImportFrame::ScaleToFit);
    EXPECT_EQ(importer.Scaled().size(), QSize(48, 36));
}

TEST(ImportFrame, AnUnreadablePictureKeepsThePreviousOneAndItsSettings) {
    QTemporaryDir folder;
    const QString good = folder.filePath("good.png");
    ASSERT_TRUE(Halves(96, 64).save(good));
    TImportFrame importer;
    ASSERT_TRUE(importer.LoadFromFile(good));
    importer.SetScale(50);
    importer.SetMethod(TImportFrame::Bayer);
    importer.BeginDrag({0, 0});
    importer.DragTo({0, 0});
    importer.EndDrag();
    const QImage output = importer.Output();
    const QRect grab = importer.GrabRect();

    const std::pair<const char*, QByteArray> broken[] = {
        {"empty.jpg", QByteArray()},
        {"random.bmp", QByteArray("\x12\x99\xFE junk that is no picture at all", 34)},
        {"cut.jpg", JpegBytes(Grey(64, 64, 100)).left(300)},
        {"cut.png", PictureBytes(Grey(64, 64, 100), "png").left(60)},
    };
    for (const auto& [name, bytes] : broken) {
        const QString path = folder.filePath(name);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QString reason;
        EXPECT_FALSE(importer.LoadFromFile(path, &reason)) << name;
        EXPECT_FALSE(reason.isEmpty()) << name;
        EXPECT_EQ(importer.SourceImage().size(), QSize(96, 64)) << name;
        EXPECT_EQ(importer.Scaled().size(), QSize(48, 32)) << name;
        EXPECT_EQ(importer.GrabRect(), grab) << name;
        EXPECT_EQ(importer.Method(), TImportFrame::Bayer) << name;
        EXPECT_EQ(importer.Output(), output) << name;
    }
}

TEST(ImportFrame, CommandsDuringALongLoopAreIgnoredUntilItEnds) {
    // The Import page lets the UI run events from the progress reports; whatever
    // reaches the importer then must not change the picture under the loop.
    QTemporaryDir folder;
    const QString other = folder.filePath("other.png");
    ASSERT_TRUE(Grey(30, 30, 0).save(other));
    TImportFrame importer;
    ASSERT_TRUE(importer.SetPicture(Grey(400, 300, 100)));
    int calls = 0;
    importer.OnProgress = [&](int stage, int) {
        if (stage != 1)
            return;
        ++calls;
        EXPECT_TRUE(importer.Busy());
        importer.SetScale(10);
        importer.SetMethod(TImportFrame::Quantization);
        importer.SetThreshold(3);
        EXPECT_FALSE(importer.LoadFromFile(other));
        EXPECT_FALSE(importer.SetPicture(Grey(5, 5, 0)));
        importer.BeginDrag({1, 1});
        importer.MoveWindowTo({20, 20});
    };
    importer.SetScale(50);
    EXPECT_GT(calls, 150);
    EXPECT_FALSE(importer.Busy());
    EXPECT_EQ(importer.Scale(), 50);
    EXPECT_EQ(importer.Scaled().size(), QSize(200, 150));
    EXPECT_EQ(importer.Method(), TImportFrame::FloydSteinberg);
    EXPECT_EQ(importer.Threshold(), 128);
    EXPECT_FALSE(importer.Dragging());
    EXPECT_EQ(importer.GrabRect(), QRect(0, 0, 48, 32));
}

TEST(ImportFrame, MoveWindowToHoldsTheWindowInsideThePicture) {
    TImportFrame importer;
    importer.SetMethod(TImportFrame::Quantization);
    ASSERT_TRUE(importer.SetPicture(Halves(192, 64)));
    importer.MoveWindowTo({60, 10});
    EXPECT_EQ(importer.GrabRect(), QRect(60, 10, 48, 32));
    EXPECT_EQ(LitCount(importer), 36 * 32);
    importer.MoveWindowTo({1000, -5});
    EXPECT_EQ(importer.GrabRect(), QRect(144, 0, 48, 32));
    // The red window is drawn where the frame is taken from.
    EXPECT_EQ(importer.WindowRect().x() + importer.WindowRect().width(),
              importer.PreviewRect().width());
}
