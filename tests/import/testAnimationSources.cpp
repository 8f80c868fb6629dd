#include "animationSourceFactory.h"
#include "pictureAnimationSource.h"
#include "pictureFixtures.h"
#include "pictureLoader.h"
#include "pictureSequenceSource.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vistrel;
namespace fixtures = vistrel::testing;

namespace {

QString DataFile(const char* name) {
    return QStringLiteral(VISTREL_TEST_DATA "/") + QString::fromLatin1(name);
}

QByteArray DataBytes(const char* name) {
    QFile file(DataFile(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

std::unique_ptr<TPictureAnimationSource> FromBytes(const QByteArray& bytes,
                                                   std::int64_t maxPixels = MaxPicturePixels) {
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    return std::make_unique<TPictureAnimationSource>(std::move(buffer), maxPixels);
}

// A frame as rows of letters: k black, w white, r red, d dark red (half-
// transparent red over black).
using TRows = std::vector<std::string>;

QRgb Colour(char letter) {
    switch (letter) {
    case 'k':
        return qRgb(0, 0, 0);
    case 'r':
        return qRgb(255, 0, 0);
    case 'd':
        return qRgb(128, 0, 0);
    default:
        return qRgb(255, 255, 255);
    }
}

void ExpectShows(const QImage& picture, const TRows& rows, int frame) {
    ASSERT_EQ(picture.format(), QImage::Format_RGB32) << "frame " << frame;
    ASSERT_EQ(picture.size(), QSize(8, 6)) << "frame " << frame;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(picture.pixel(x, y), Colour(rows[y][x]))
                << "frame " << frame << " at " << x << ", " << y;
}

// Every fixture shows these four frames: a black picture; a red block on it; two
// red dots where the block was (the block's place put back); the corner those
// dots were in cleared to white, and a red block at the bottom right.
const TRows Black(6, "kkkkkkkk");
const TRows Block = {"kkkkkkkk", "kkrrrkkk", "kkrrrkkk", "kkkkkkkk", "kkkkkkkk", "kkkkkkkk"};
const TRows Dots = {"rkkkkkkk", "krkkkkkk", "kkkkkkkk", "kkkkkkkk", "kkkkkkkk", "kkkkkkkk"};
const TRows Cleared = {"wwkkkkkk", "wwkkkkkk", "kkkkkkkk", "kkkkkkkk", "kkkkkkrr", "kkkkkkrr"};

struct TAnimatedCase {
    const char* File;
    std::vector<TRows> Frames;
    std::vector<qint64> Durations;
    int Plays;
};

class AnAnimatedPicture : public ::testing::TestWithParam<TAnimatedCase> {};

TEST_P(AnAnimatedPicture, GivesEveryFrameWholeAsShownWithItsTime) {
    const TAnimatedCase& wanted = GetParam();
    QString reason;
    const auto source = TPictureAnimationSource::Open(DataFile(wanted.File), &reason);
    ASSERT_TRUE(source) << reason.toStdString();
    EXPECT_EQ(source->FrameCount(), 4);
    EXPECT_EQ(source->Size(), QSize(8, 6));
    EXPECT_EQ(source->LoopCount(), wanted.Plays);
    EXPECT_FALSE(source->Sampled());
    qint64 length = 0;
    for (const qint64 duration : wanted.Durations)
        length += duration;
    EXPECT_EQ(source->LengthMs(), length);

    // A second pass after Rewind starts from a clear picture again.
    for (int pass = 0; pass < 2; ++pass) {
        qint64 start = 0;
        for (int k = 0; k < 4; ++k) {
            TSourceFrame frame;
            ASSERT_TRUE(source->Next(frame))
                << "frame " << k << ": " << source->Error().toStdString();
            ExpectShows(frame.Picture, wanted.Frames[k], k);
            EXPECT_EQ(frame.StartMs, start) << "frame " << k;
            EXPECT_EQ(frame.DurationMs, wanted.Durations[k]) << "frame " << k;
            start += frame.DurationMs;
        }
        TSourceFrame after;
        EXPECT_FALSE(source->Next(after));
        EXPECT_EQ(source->Error(), QString());
        EXPECT_EQ(source->FramesRead(), 4);
        ASSERT_TRUE(source->Rewind());
    }
}

// Delays of 0 and 10 ms show for 100 ms. A GIF counts repeats after the first
// pass; WebP and PNG count passes.
INSTANTIATE_TEST_SUITE_P(
    Formats, AnAnimatedPicture,
    ::testing::Values(
        TAnimatedCase{"four-frames.gif", {Black, Block, Dots, Cleared}, {100, 100, 100, 200}, 3},
        TAnimatedCase{"four-frames.webp", {Black, Block, Dots, Cleared}, {100, 40, 30, 200}, 2},
        // The PNG's block is half-transparent red laid over black, and its dots
        // replace what was under them, transparent parts and all.
        TAnimatedCase{"four-frames.apng",
                      {Black,
                       {"kkkkkkkk", "kkdddkkk", "kkdddkkk", "kkkkkkkk", "kkkkkkkk", "kkkkkkkk"},
                       {"rwkkkkkk", "wrkkkkkk", "kkkkkkkk", "kkkkkkkk", "kkkkkkkk", "kkkkkkkk"},
                       Cleared},
                      {100, 100, 100, 200},
                      2}),
    [](const ::testing::TestParamInfo<TAnimatedCase>& info) {
        return QString::fromLatin1(info.param.File).section('.', -1).toStdString();
    });

// Whatever point a file is cut at, the source either refuses it with a reason or
// gives the frames before the cut exactly as the whole file does, then says why
// it stops: never a frame with part of its picture missing.
TEST(AnAnimatedPictureCutShort, GivesOnlyWholeFramesThenSaysWhy) {
    for (const char* name : {"four-frames.gif", "four-frames.webp", "four-frames.apng"}) {
        const QByteArray whole = DataBytes(name);
        std::vector<QImage> frames;
        const auto complete = FromBytes(whole);
        for (TSourceFrame frame; complete->Next(frame);)
            frames.push_back(frame.Picture);
        ASSERT_EQ(frames.size(), 4u) << name;

        int partial = 0;
        for (qsizetype size = 0; size < whole.size(); ++size) {
            const auto source = FromBytes(whole.left(size));
            const std::string where = std::string(name) + " cut to " + std::to_string(size);
            if (source->Failed()) {
                EXPECT_FALSE(source->Error().isEmpty()) << where;
                continue;
            }
            TSourceFrame frame;
            while (source->Next(frame))
                ASSERT_EQ(frame.Picture, frames[static_cast<std::size_t>(source->FramesRead() - 1)])
                    << where;
            EXPECT_FALSE(source->Error().isEmpty()) << where;
            if (source->FramesRead() > 0)
                ++partial;
        }
        EXPECT_GT(partial, 0) << name << ": no cut gave the frames before it";
    }
}

// Its default picture, white, is for viewers that do not animate.
TEST(AnAnimatedPng, LeavesOutADefaultPictureThatIsNotAFrame) {
    const auto source = TPictureAnimationSource::Open(DataFile("hidden-default.apng"), nullptr);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->FrameCount(), 2);
    EXPECT_EQ(source->LoopCount(), 0);
    for (const TRows& rows : {Black, TRows(6, "rrrrrrrr")}) {
        TSourceFrame frame;
        ASSERT_TRUE(source->Next(frame));
        ExpectShows(frame.Picture, rows, source->FramesRead() - 1);
        EXPECT_EQ(frame.DurationMs, 100);
    }
}

// A second header, after the frames were placed, must not shrink the picture
// they are laid on.
TEST(AnAnimatedPng, TakesItsSizeFromTheFirstHeaderOnly) {
    QByteArray png = DataBytes("four-frames.apng");
    const QByteArray header = QByteArray::fromHex("0000000d49484452") +
                              QByteArray::fromHex("00000008000000020806000000") +
                              QByteArray(4, '\0');
    png.insert(png.lastIndexOf("IEND") - 4, header);
    const auto source = FromBytes(png);
    ASSERT_FALSE(source->Failed()) << source->Error().toStdString();
    EXPECT_EQ(source->Size(), QSize(8, 6));
    TSourceFrame frame;
    while (source->Next(frame))
        EXPECT_EQ(frame.Picture.size(), QSize(8, 6));
    EXPECT_EQ(source->FramesRead(), 4) << source->Error().toStdString();
}

// A PNG chunk's check value, over its type and data.
quint32 PngCrc(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<std::uint8_t>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return crc ^ 0xFFFFFFFFu;
}

// A frame that says to clear or lay itself in a way there is none of.
TEST(AnAnimatedPng, StopsAtAFrameOfAnUnknownWayToLayOrClearIt) {
    const struct {
        int Field; // after the chunk's type: 24 how it is cleared, 25 how it is laid
        char Value;
    } cases[] = {{24, 3}, {24, '\x80'}, {25, 2}, {25, '\x80'}};
    for (const auto& c : cases) {
        QByteArray png = DataBytes("four-frames.apng");
        const qsizetype second = png.indexOf("fcTL", png.indexOf("fcTL") + 4);
        png[second + 4 + c.Field] = c.Value;
        // The chunk stays intact, so only the values themselves can be refused.
        qToBigEndian(PngCrc(png.mid(second, 4 + 26)), png.data() + second + 4 + 26);
        const auto source = FromBytes(png);
        TSourceFrame frame;
        while (source->Next(frame))
            ;
        EXPECT_EQ(source->FramesRead(), 1) << c.Field << " = " << int(c.Value);
        EXPECT_EQ(source->Error(), QStringLiteral("the picture data of frame 2 are damaged"));
    }
}

// Qt's reader shows such a GIF at its first frame's size.
TEST(AGifWithoutAScreenSize, TakesItsFirstFramesSize) {
    QByteArray gif =
        fixtures::GifBytes(3, 2, {0, 1, 0, 1, 0, 1}, {qRgb(0, 0, 0), qRgb(255, 255, 255), 0, 0});
    gif.replace(6, 4, QByteArray(4, '\0'));
    const auto source = FromBytes(gif);
    ASSERT_FALSE(source->Failed()) << source->Error().toStdString();
    EXPECT_EQ(source->Size(), QSize(3, 2));
    TSourceFrame frame;
    ASSERT_TRUE(source->Next(frame)) << source->Error().toStdString();
    EXPECT_EQ(frame.Picture.pixel(1, 1), qRgb(0, 0, 0));
}

TEST(AnAnimatedPictureCutShort, KeepsEveryFrameBeforeTheCut) {
    const struct {
        const char* File;
        const char* LastFrameMark; // where the last frame's bytes start
        int Cut;                   // bytes kept after that mark's start
    } cases[] = {
        {"four-frames.gif", "\x21\xf9", 3},
        {"four-frames.webp", "ANMF", 2},
        {"four-frames.webp", "ANMF", 30},
        {"four-frames.apng", "fcTL", 6},
    };
    for (const auto& c : cases) {
        const QByteArray whole = DataBytes(c.File);
        const qsizetype mark = whole.lastIndexOf(c.LastFrameMark);
        ASSERT_GT(mark, 0) << c.File;
        const auto source = FromBytes(whole.left(mark + c.Cut));
        TSourceFrame frame;
        while (source->Next(frame))
            ;
        EXPECT_EQ(source->FramesRead(), 3)
            << c.File << " cut " << c.Cut << " bytes into its last frame";
        EXPECT_EQ(source->Error(), QStringLiteral("the file ends inside frame 4")) << c.File;
    }
}

TEST(AnAnimatedPictureCutShort, SaysWhichFrameTheFileEndsIn) {
    const auto source = TPictureAnimationSource::Open(DataFile("cut-in-third-frame.gif"), nullptr);
    ASSERT_TRUE(source);
    TSourceFrame frame;
    EXPECT_TRUE(source->Next(frame));
    EXPECT_TRUE(source->Next(frame));
    EXPECT_FALSE(source->Next(frame));
    EXPECT_EQ(source->FramesRead(), 2);
    EXPECT_EQ(source->Error(), QStringLiteral("the file ends inside frame 3"));
}

QByteArray WithPngCanvas(QByteArray png, quint32 width, quint32 height) {
    qToBigEndian(width, png.data() + 16);
    qToBigEndian(height, png.data() + 20);
    return png;
}

// The extended header's canvas holds each side less one, in three bytes.
QByteArray WithWebpCanvas(QByteArray webp, quint32 width, quint32 height) {
    const qsizetype header = webp.indexOf("VP8X") + 8;
    for (int i = 0; i < 3; ++i) {
        webp[header + 4 + i] = static_cast<char>((width - 1) >> (8 * i));
        webp[header + 7 + i] = static_cast<char>((height - 1) >> (8 * i));
    }
    return webp;
}

TEST(AnAnimatedPictureThatCannotBeRead, IsRefusedWithTheReason) {
    const struct {
        const char* What;
        QByteArray Bytes;
        const char* Reason;
    } cases[] = {
        {"a GIF without frames", DataBytes("no-frames.gif"), "the picture has no frames"},
        {"a GIF of 65535 x 65535", DataBytes("huge-screen.gif"),
         "the picture is 65535 x 65535 pixels, more than the 100 megapixels Vistrel imports"},
        {"a PNG of 20000 x 20000", WithPngCanvas(DataBytes("four-frames.apng"), 20000, 20000),
         "the picture is 20000 x 20000 pixels, more than the 100 megapixels Vistrel imports"},
        {"a WebP of 16384 x 16384", WithWebpCanvas(DataBytes("four-frames.webp"), 16384, 16384),
         "the picture is 16384 x 16384 pixels, more than the 100 megapixels Vistrel imports"},
        {"text", QByteArray("GIF is a picture format\n"),
         "it is not an animated GIF, WebP or PNG picture"},
    };
    for (const auto& bad : cases) {
        const auto source = FromBytes(bad.Bytes);
        EXPECT_TRUE(source->Failed()) << bad.What;
        EXPECT_EQ(source->Error(), QString::fromLatin1(bad.Reason)) << bad.What;
        TSourceFrame frame;
        EXPECT_FALSE(source->Next(frame)) << bad.What;
    }
}

// A folder of numbered pictures, each of one grey level (its number).
class APictureSequence : public ::testing::Test {
protected:
    void Write(const char* name, const QImage& picture) {
        ASSERT_TRUE(picture.save(m_folder.filePath(QString::fromLatin1(name)), "PNG")) << name;
    }
    QString Path(const char* name) const { return m_folder.filePath(QString::fromLatin1(name)); }
    QTemporaryDir m_folder;
};

TEST_F(APictureSequence, ListsTheSiblingsWithTheStemAndExtensionByNumber) {
    for (const char* name : {"walk_10.png", "walk_2.png", "walk_001.png", "walk_.png", "walk_3.jpg",
                             "run_4.png", "walk_x5.png", "walk_7.png.bak"})
        Write(name, fixtures::Grey(2, 2, 0));
    const QStringList expected = {Path("walk_001.png"), Path("walk_2.png"), Path("walk_10.png")};
    EXPECT_EQ(SequenceFiles(Path("walk_10.png")), expected);
    EXPECT_EQ(SequenceFiles(Path("walk_001.png")), expected);
    EXPECT_EQ(SequenceFiles(Path("walk_.png")), QStringList());
}

// Clips are read whole by the video source, never as one picture each: numbered
// clips (take1.mp4, take2.mp4) are not offered as a sequence, while upper-case
// picture names are.
TEST_F(APictureSequence, OnlyPictureKindsTheImporterReadsMakeASequence) {
    for (const char* name :
         {"take1.mp4", "take2.mp4", "clip_1.webm", "clip_2.webm", "SHOT1.JPG", "SHOT2.JPG"})
        Write(name, fixtures::Grey(2, 2, 0));
    EXPECT_EQ(SequenceFiles(Path("take2.mp4")), QStringList());
    EXPECT_EQ(SequenceFiles(Path("clip_1.webm")), QStringList());
    EXPECT_EQ(SequenceFiles(Path("SHOT1.JPG")),
              QStringList({Path("SHOT1.JPG"), Path("SHOT2.JPG")}));
}

TEST_F(APictureSequence, GivesEachPictureInOrderForTheFrameTime) {
    for (const auto& [name, level] :
         std::vector<std::pair<const char*, int>>{{"f9.png", 9}, {"f10.png", 10}, {"f11.png", 11}})
        Write(name, fixtures::Grey(3, 2, level));
    TPictureSequenceSource source(SequenceFiles(Path("f10.png")));
    ASSERT_FALSE(source.Failed());
    EXPECT_EQ(source.FrameCount(), 3);
    EXPECT_EQ(source.Size(), QSize(3, 2));
    EXPECT_EQ(source.LengthMs(), 250);
    // 12 frames a second: each frame ends on the millisecond nearest its end.
    const struct {
        int Level;
        qint64 Start, Duration;
    } expected[] = {{9, 0, 83}, {10, 83, 84}, {11, 167, 83}};
    for (const auto& want : expected) {
        TSourceFrame frame;
        ASSERT_TRUE(source.Next(frame)) << source.Error().toStdString();
        EXPECT_EQ(frame.Picture.pixel(2, 1), qRgb(want.Level, want.Level, want.Level));
        EXPECT_EQ(frame.Picture.format(), QImage::Format_RGB32);
        EXPECT_EQ(frame.StartMs, want.Start);
        EXPECT_EQ(frame.DurationMs, want.Duration);
    }
    TSourceFrame frame;
    EXPECT_FALSE(source.Next(frame));
    EXPECT_EQ(source.Error(), QString());
    ASSERT_TRUE(source.Rewind());
    ASSERT_TRUE(source.Next(frame));
    EXPECT_EQ(frame.Picture.pixel(0, 0), qRgb(9, 9, 9));
}

TEST_F(APictureSequence, StopsAtAPictureOfAnotherSizeNamingIt) {
    Write("a1.png", fixtures::Grey(4, 4, 0));
    Write("a2.png", fixtures::Grey(4, 4, 0));
    Write("a3.png", fixtures::Grey(5, 4, 0));
    Write("a4.png", fixtures::Grey(4, 4, 0));
    TPictureSequenceSource source(SequenceFiles(Path("a1.png")), 100);
    TSourceFrame frame;
    EXPECT_TRUE(source.Next(frame));
    EXPECT_TRUE(source.Next(frame));
    EXPECT_FALSE(source.Next(frame));
    EXPECT_EQ(source.FramesRead(), 2);
    EXPECT_EQ(source.Error(), QStringLiteral("a3.png is 5 x 4 pixels, not 4 x 4 as a1.png is"));
}

TEST_F(APictureSequence, OpensAsTheSourceOnlyWhenAskedFor) {
    Write("s1.png", fixtures::Grey(4, 4, 10));
    Write("s2.png", fixtures::Grey(4, 4, 20));
    QFile text(Path("notes.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture\n");
    text.close();
    QFile::copy(DataFile("four-frames.gif"), Path("moving.gif"));
    // Vistrel reads WebP pictures only as moving sources, stills too.
    ASSERT_TRUE(fixtures::Grey(4, 4, 30).save(Path("still.webp"), "WEBP"));

    const struct {
        const char* File;
        bool Sequence;
        int Frames; // 0: refused
    } cases[] = {{"s1.png", true, 2},      {"s1.png", false, 1},     {"moving.gif", false, 4},
                 {"moving.gif", true, 4},  {"still.webp", false, 1}, {"notes.txt", false, 0},
                 {"missing.png", false, 0}};
    for (const auto& c : cases) {
        QString reason;
        const auto source = OpenAnimationSource(Path(c.File), c.Sequence, &reason);
        const std::string what = std::string(c.File) + (c.Sequence ? " as a sequence" : "");
        if (c.Frames == 0) {
            EXPECT_FALSE(source) << what;
            EXPECT_FALSE(reason.isEmpty()) << what;
            continue;
        }
        ASSERT_TRUE(source) << what << ": " << reason.toStdString();
        EXPECT_EQ(source->FrameCount(), c.Frames) << what;
        TSourceFrame frame;
        ASSERT_TRUE(source->Next(frame)) << what;
        EXPECT_EQ(frame.Picture.size(), source->Size()) << what;
        if (c.Frames == 1 && QByteArray(c.File).endsWith(".png")) {
            EXPECT_EQ(frame.Picture, LoadPicture(Path(c.File)).Picture) << what;
        }
    }
}

} // namespace
