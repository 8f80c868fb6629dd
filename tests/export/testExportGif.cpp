#include "exportFixtures.h"
#include "modelFixtures.h"
#include "unitAnimationExport.h"

#include <QFile>
#include <QImageReader>
#include <cstring>
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <memory>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

struct GifCloser {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using GifPointer = std::unique_ptr<GifFileType, GifCloser>;

GifPointer ReadGif(const QString& fileName) {
    int error = 0;
    GifPointer gif(DGifOpenFileName(QFile::encodeName(fileName).constData(), &error));
    if (!gif || DGifSlurp(gif.get()) != GIF_OK)
        return nullptr;
    return gif;
}

// The loop count of the looping extension, -1 when there is none.
int LoopCount(const GifFileType& gif) {
    const SavedImage& first = gif.SavedImages[0];
    for (int i = 0; i + 1 < first.ExtensionBlockCount; ++i) {
        const ExtensionBlock& block = first.ExtensionBlocks[i];
        const ExtensionBlock& data = first.ExtensionBlocks[i + 1];
        if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
            std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0 && data.ByteCount == 3 &&
            data.Bytes[0] == 1)
            return data.Bytes[1] | data.Bytes[2] << 8;
    }
    return -1;
}

QRgb MapColour(const ColorMapObject& map, int index) {
    const GifColorType& c = map.Colors[index];
    return qRgb(c.Red, c.Green, c.Blue);
}

} // namespace

TEST(GifExport, ReadsBackWithEveryFrameDelayAndTheLoopCount) {
    TempFolder folder;
    TAnimation animation;
    FillScattered(animation, {2, 0, 5, 1});
    animation.RepeatCount = 3;
    TExportOptions options;
    options.Scale = 3;
    options.Colours = LCDColours;
    options.PlayerFPS = 10;
    std::vector<std::pair<int, int>> progress;
    TAnimationExport exporter(animation, options);
    exporter.SetProgress([&](int done, int total) { progress.emplace_back(done, total); });
    const QString target = folder.Path("walk.gif");
    ASSERT_TRUE(exporter.Export(target)) << exporter.ErrorText().toStdString();
    EXPECT_EQ(exporter.Written(), QStringList{target});
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 4}, {2, 4}, {3, 4}, {4, 4}}));

    const GifPointer gif = ReadGif(target);
    ASSERT_TRUE(gif);
    ASSERT_EQ(gif->ImageCount, 4);
    EXPECT_EQ(gif->SWidth, 144);
    EXPECT_EQ(gif->SHeight, 96);
    ASSERT_TRUE(gif->SColorMap);
    ASSERT_EQ(gif->SColorMap->ColorCount, 2);
    EXPECT_EQ(LoopCount(*gif), 2); // two more times after the first: three in all
    const int expectedDelays[] = {20, 10, 50, 10};
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        EXPECT_EQ(image.ImageDesc.Width, 144);
        EXPECT_EQ(image.ImageDesc.Height, 96);
        GraphicsControlBlock control{};
        ASSERT_EQ(DGifSavedExtensionToGCB(gif.get(), i, &control), GIF_OK);
        EXPECT_EQ(control.DelayTime, expectedDelays[i]) << "frame " << i;
        const ColorMapObject& map =
            image.ImageDesc.ColorMap ? *image.ImageDesc.ColorMap : *gif->SColorMap;
        int wrong = 0;
        for (int y = 0; y < 96; ++y)
            for (int x = 0; x < 144; ++x) {
                const bool lit =
                    animation.Frame(i).Pixels[static_cast<std::size_t>(PixelIndex(x / 3, y / 3))] ==
                    1;
                const QRgb shown = MapColour(map, image.RasterBits[y * 144 + x]);
                wrong += shown != (lit ? LCDColours.Lit : LCDColours.Unlit);
            }
        EXPECT_EQ(wrong, 0) << "frame " << i;
    }
}

TEST(GifExport, LoopsForeverOrPlaysOnceAsTheRepeatCountSays) {
    TempFolder folder;
    // {repeat count, loop count read back, -1: no looping extension}
    const std::pair<int, int> cases[] = {{1, -1}, {2, 1}, {255, 0}};
    for (const auto& [repeat, loop] : cases) {
        TAnimation animation;
        FillScattered(animation, 2);
        animation.RepeatCount = static_cast<std::uint8_t>(repeat);
        const QString target = folder.Path(QStringLiteral("loop%1.gif").arg(repeat));
        TAnimationExport exporter(animation, TExportOptions{});
        ASSERT_TRUE(exporter.Export(target));
        const GifPointer gif = ReadGif(target);
        ASSERT_TRUE(gif);
        EXPECT_EQ(gif->ImageCount, 2);
        EXPECT_EQ(LoopCount(*gif), loop) << "repeat " << repeat;
    }
}

TEST(GifExport, QtReadsTheSameFramesBack) {
    TempFolder folder;
    TAnimation animation;
    FillScattered(animation, 3);
    TExportOptions options;
    options.Scale = 2;
    const QString target = folder.Path("qt.gif");
    ASSERT_TRUE(TAnimationExport(animation, options).Export(target));
    QImageReader reader(target);
    ASSERT_TRUE(reader.canRead()) << reader.errorString().toStdString();
    EXPECT_EQ(reader.imageCount(), 3);
    for (int i = 0; i < 3; ++i) {
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull());
        EXPECT_TRUE(ShowsFrame(image, {}, animation.Frame(i), 2, 0xFF000000, 0xFFFFFFFF));
    }
}
