#include "exportFixtures.h"
#include "modelFixtures.h"
#include "unitAnimationExport.h"

#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

TExportOptions Options(TExportFormat format, bool rotate = false) {
    TExportOptions options;
    options.Format = format;
    options.Rotate180 = rotate;
    return options;
}

void Light(TFrame& frame, int x, int y) {
    frame.Pixels[static_cast<std::size_t>(PixelIndex(x, y))] = 1;
}

// The frame bytes of a C header: its only hexadecimal numbers.
QByteArray HeaderFrameBytes(const QByteArray& header) {
    QByteArray bytes;
    static const QRegularExpression hex(QStringLiteral("0x([0-9a-f]{2})"));
    for (const auto& match : hex.globalMatch(QString::fromUtf8(header)))
        bytes.append(static_cast<char>(match.captured(1).toInt(nullptr, 16)));
    return bytes;
}

} // namespace

TEST(BinaryExport, HoldsEachFrameIn192BytesAndNothingElse) {
    TempFolder folder;
    TAnimation animation;
    FillScattered(animation, {2, 5});
    for (TFrame* frame : {&animation.Frame(0), &animation.Frame(1)})
        frame->Pixels.fill(0);
    // The first and last dots of the top row, the first dot of the second row's
    // second byte, and the bottom right corner.
    Light(animation.Frame(0), 0, 0);
    Light(animation.Frame(0), 47, 0);
    Light(animation.Frame(0), 8, 1);
    Light(animation.Frame(0), 47, 31);
    // The bottom row's first byte, both ends.
    Light(animation.Frame(1), 0, 31);
    Light(animation.Frame(1), 7, 31);
    QByteArray expected(2 * 192, '\0');
    expected[0] = '\x80';
    expected[5] = '\x01';
    expected[7] = '\x80';
    expected[191] = '\x01';
    expected[192 + 186] = '\x81';

    TAnimationExport exporter(animation, Options(TExportFormat::Binary));
    ASSERT_TRUE(exporter.Export(folder.Path("walk.bin"))) << exporter.ErrorText().toStdString();
    EXPECT_EQ(ReadFile(folder.Path("walk.bin")).toHex(), expected.toHex());
    EXPECT_EQ(exporter.Written(), QStringList{folder.Path("walk.bin")});
}

// Every format shows each frame turned by 180 degrees, checked against a turn
// worked out dot by dot; the sheet keeps its frames in order, each turned in its cell.
TEST(RotatedExport, TurnsEveryFrameInEveryFormat) {
    TempFolder folder;
    TAnimation animation;
    FillScattered(animation, {1, 2, 3});
    std::vector<TFrame> turned;
    for (int i = 0; i < animation.FrameCount(); ++i)
        turned.push_back(TurnedFrame(animation.Frame(i)));
    constexpr QRgb Lit = 0xFF000000;
    constexpr QRgb Unlit = 0xFFFFFFFF;

    ASSERT_TRUE(TAnimationExport(animation, Options(TExportFormat::Binary, true))
                    .Export(folder.Path("walk.bin")));
    const QByteArray binary = ReadFile(folder.Path("walk.bin"));
    ASSERT_EQ(binary.size(), 3 * 192);
    ASSERT_TRUE(TAnimationExport(animation, Options(TExportFormat::CHeader, true))
                    .Export(folder.Path("walk.h")));
    const QByteArray header = ReadFile(folder.Path("walk.h"));
    const QByteArray headerBytes = HeaderFrameBytes(header);
    ASSERT_EQ(headerBytes.size(), 3 * 192);
    EXPECT_TRUE(header.contains("turned upside down")); // a reader of the header is told
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(PackedDotsWrong(binary, i * 192, turned[static_cast<std::size_t>(i)]), 0)
            << "binary frame " << i;
        EXPECT_EQ(PackedDotsWrong(headerBytes, i * 192, turned[static_cast<std::size_t>(i)]), 0)
            << "header frame " << i;
        EXPECT_GT(PackedDotsWrong(binary, i * 192, animation.Frame(i)), 0);
    }

    TExportOptions sheet = Options(TExportFormat::PngSheet, true);
    sheet.Scale = 2;
    ASSERT_TRUE(TAnimationExport(animation, sheet).Export(folder.Path("sheet.png")));
    const QImage picture(folder.Path("sheet.png"));
    TExportOptions frames = Options(TExportFormat::PngFrames, true);
    ASSERT_TRUE(TAnimationExport(animation, frames).Export(folder.Path("walk.png")));
    ASSERT_TRUE(TAnimationExport(animation, Options(TExportFormat::Gif, true))
                    .Export(folder.Path("walk.gif")));
    QImageReader gif(folder.Path("walk.gif"));
    for (int i = 0; i < 3; ++i) {
        const TFrame& expected = turned[static_cast<std::size_t>(i)];
        EXPECT_TRUE(ShowsFrame(picture, {i * 96, 0}, expected, 2, Lit, Unlit)) << "sheet " << i;
        EXPECT_TRUE(ShowsFrame(QImage(TAnimationExport::FrameFileName(folder.Path("walk.png"), i)),
                               {}, expected, 1, Lit, Unlit))
            << "PNG frame " << i;
        EXPECT_TRUE(ShowsFrame(gif.read(), {}, expected, 1, Lit, Unlit)) << "GIF frame " << i;
    }
}

TEST(DurationTable, ListsTheTicksOfEveryFrameBesideTheOutput) {
    TempFolder folder;
    TAnimation animation;
    FillScattered(animation, {3, 0, 255, 1});
    // Any format can have one; the binary is the one that needs it.
    const TExportFormat formats[] = {TExportFormat::Binary, TExportFormat::PngFrames};
    for (const TExportFormat format : formats) {
        TExportOptions options = Options(format);
        options.DurationsFile = folder.Path("ticks.txt");
        TAnimationExport exporter(animation, options);
        const QString target = folder.Path("walk" + TAnimationExport::Extension(format));
        ASSERT_TRUE(exporter.Export(target)) << exporter.ErrorText().toStdString();
        // A frame of 0 ticks keeps its 0, as in the document and the C header.
        EXPECT_EQ(ReadFile(folder.Path("ticks.txt")), "3\n0\n255\n1\n");
        EXPECT_EQ(exporter.Written().last(), folder.Path("ticks.txt"));
        EXPECT_EQ(exporter.Written().size(), format == TExportFormat::Binary ? 2 : 5);
    }
    EXPECT_EQ(TAnimationExport::DurationsFileName("/cards/walk.bin"), "/cards/walk.txt");
}

TEST(DurationTable, NeverTakesThePlaceOfTheFramesAndFailsLikeAnyOtherFile) {
    TempFolder folder;
    TAnimation animation;
    FillScattered(animation, 2);
    struct Case {
        TExportFormat format;
        const char* durations;
        const char* error;
    };
    const Case cases[] = {
        {TExportFormat::Binary, "walk.bin",
         "Unable to write walk.bin: the frames are written to that file"},
        {TExportFormat::PngFrames, "walk_001.png",
         "Unable to write walk_001.png: the frames are written to that file"},
    };
    for (const Case& c : cases) {
        TExportOptions options = Options(c.format);
        options.DurationsFile = folder.Path(c.durations);
        TAnimationExport exporter(animation, options);
        EXPECT_FALSE(exporter.Export(folder.Path("walk" + TAnimationExport::Extension(c.format))));
        EXPECT_EQ(exporter.ErrorText(), c.error);
        EXPECT_TRUE(FolderEntries(folder.Path("")).isEmpty());
    }

    // A table that cannot be written says so with the system's reason; the
    // binary before it is complete.
    folder.Write("notAFolder", "text");
    TExportOptions options = Options(TExportFormat::Binary);
    options.DurationsFile = folder.Path("notAFolder/walk.txt");
    TAnimationExport exporter(animation, options);
    EXPECT_FALSE(exporter.Export(folder.Path("walk.bin")));
    EXPECT_TRUE(exporter.ErrorText().startsWith("Unable to write walk.txt: "));
    EXPECT_GT(exporter.ErrorText().size(), QString("Unable to write walk.txt: ").size());
    EXPECT_EQ(exporter.Written(), QStringList{folder.Path("walk.bin")});
    EXPECT_EQ(ReadFile(folder.Path("walk.bin")).size(), 2 * 192);
}
