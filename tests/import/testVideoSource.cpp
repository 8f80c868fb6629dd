#include "videoSource.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTransform>
#include <gtest/gtest.h>
#include <vector>

using namespace vistrel;

namespace {

// 64 x 48, 1 s at 10 frames a second: a black field with a 16 x 16 white
// square whose left edge is at 4 * (k + 1) in frame k, rows 16 to 31. The MP4
// (H.264) has its index at the front; the MPEG transport stream (MPEG-2 with
// B-frames) starts at 4.4 s and has no frame count.
const QString Clip = QStringLiteral(VISTREL_TEST_DATA "/movingSquare.mp4");
const QString StreamClip = QStringLiteral(VISTREL_TEST_DATA "/movingSquare.ts");
// The MP4 again, marked to be shown turned a quarter counter-clockwise (as a
// phone marks a portrait clip): 48 x 64 upright.
const QString TurnedClip = QStringLiteral(VISTREL_TEST_DATA "/movingSquareTurned.mp4");
constexpr int ClipFrames = 10;

int Grey(const QImage& picture, int x, int y) {
    return qGray(picture.pixel(x, y));
}

// Where frame k's square should be, as a few points well inside and well
// outside its edges (codec blur stays within two pixels of an edge).
void ExpectSquareOfFrame(const QImage& picture, int k) {
    SCOPED_TRACE(testing::Message() << "frame " << k);
    const int left = 4 * (k + 1);
    for (int x : {left + 2, left + 8, left + 13})
        for (int y : {18, 24, 29})
            EXPECT_GT(Grey(picture, x, y), 200) << x << "," << y;
    for (int y : {4, 12, 35, 44})
        EXPECT_LT(Grey(picture, left + 8, y), 50) << left + 8 << "," << y;
    for (int x : {left - 4, left + 20})
        if (x >= 0 && x < picture.width()) {
            EXPECT_LT(Grey(picture, x, 24), 50) << x << ",24";
        }
}

std::vector<TSourceFrame> ReadAll(IAnimationSource& source) {
    std::vector<TSourceFrame> frames;
    TSourceFrame frame;
    while (source.Next(frame))
        frames.push_back(frame);
    return frames;
}

QByteArray ClipBytes() {
    QFile file(Clip);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << Clip.toStdString();
    return file.readAll();
}

QString WriteFile(const QTemporaryDir& folder, const QString& name, const QByteArray& bytes) {
    const QString path = folder.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

QByteArray PngBytes() {
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return buffer.data();
}

// A second of silence, 8 kHz mono, as a WAV file: a container with no video.
QByteArray WavBytes() {
    const quint32 samples = 8000;
    QByteArray bytes;
    const auto put32 = [&](quint32 value) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.append(char((value >> shift) & 0xff));
    };
    const auto put16 = [&](quint16 value) {
        bytes.append(char(value & 0xff));
        bytes.append(char(value >> 8));
    };
    bytes.append("RIFF");
    put32(36 + samples * 2);
    bytes.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(1);
    put32(8000);
    put32(16000);
    put16(2);
    put16(16);
    bytes.append("data");
    put32(samples * 2);
    bytes.append(QByteArray(samples * 2, '\0'));
    return bytes;
}

// Raw 8 x 8 frames (YUV 4:4:4) as a YUV4MPEG2 stream, one frame a grey of
// luma level, with the range named in header (empty: not said).
QByteArray RawClip(const QByteArray& header, int level, int frames = 2) {
    QByteArray bytes = "YUV4MPEG2 W8 H8 F10:1 Ip A1:1 C444 " + header + "\n";
    for (int k = 0; k < frames; ++k) {
        bytes += "FRAME\n";
        bytes += QByteArray(64, char(level));
        bytes += QByteArray(2 * 64, char(128));
    }
    return bytes;
}

} // namespace

TEST(VideoSource, ReadsEveryFrameInOrderWithItsTimeAndPicture) {
    struct TCase {
        QString Name;
        int FrameCount;
        bool Turned;
    };
    for (const TCase& clip : {TCase{Clip, ClipFrames, false}, TCase{StreamClip, -1, false},
                              TCase{TurnedClip, ClipFrames, true}}) {
        SCOPED_TRACE(clip.Name.toStdString());
        QString reason;
        const auto source = OpenVideoSource(clip.Name, &reason);
        ASSERT_TRUE(source) << reason.toStdString();
        EXPECT_EQ(source->FrameCount(), clip.FrameCount);
        EXPECT_EQ(source->LengthMs(), 1000);
        EXPECT_EQ(source->LoopCount(), -1);
        const QSize size = clip.Turned ? QSize(48, 64) : QSize(64, 48);
        EXPECT_EQ(source->Size(), size);
        EXPECT_TRUE(source->Sampled());

        const std::vector<TSourceFrame> frames = ReadAll(*source);
        EXPECT_TRUE(source->Error().isEmpty()) << source->Error().toStdString();
        EXPECT_EQ(source->FramesRead(), ClipFrames);
        ASSERT_EQ(frames.size(), size_t(ClipFrames));
        for (int k = 0; k < ClipFrames; ++k) {
            const TSourceFrame& frame = frames[k];
            EXPECT_EQ(frame.StartMs, 100 * k);
            EXPECT_EQ(frame.DurationMs, 100) << "frame " << k;
            ASSERT_EQ(frame.Picture.format(), QImage::Format_RGB32);
            ASSERT_EQ(frame.Picture.size(), size);
            ExpectSquareOfFrame(clip.Turned ? frame.Picture.transformed(QTransform().rotate(90))
                                            : frame.Picture,
                                k);
        }
        // The end stays the end.
        TSourceFrame after;
        EXPECT_FALSE(source->Next(after));
        EXPECT_EQ(source->FramesRead(), ClipFrames);
    }
}

TEST(VideoSource, RewindStartsOverFromTheFirstFrame) {
    for (const QString& name : {Clip, StreamClip}) {
        SCOPED_TRACE(name.toStdString());
        const auto source = OpenVideoSource(name, nullptr);
        ASSERT_TRUE(source);
        const std::vector<TSourceFrame> first = ReadAll(*source);
        ASSERT_EQ(first.size(), size_t(ClipFrames));

        // Back from part-way through, and from the end.
        for (int readBefore : {3, ClipFrames}) {
            SCOPED_TRACE(readBefore);
            ASSERT_TRUE(source->Rewind());
            TSourceFrame frame;
            for (int k = 0; k < readBefore; ++k)
                ASSERT_TRUE(source->Next(frame));
            ASSERT_TRUE(source->Rewind());
            EXPECT_EQ(source->FramesRead(), 0);
            const std::vector<TSourceFrame> again = ReadAll(*source);
            ASSERT_EQ(again.size(), first.size());
            for (size_t k = 0; k < again.size(); ++k) {
                EXPECT_EQ(again[k].StartMs, first[k].StartMs);
                EXPECT_EQ(again[k].DurationMs, first[k].DurationMs);
                EXPECT_EQ(again[k].Picture, first[k].Picture) << "frame " << k;
            }
        }
    }
}

TEST(VideoSource, ACutShortClipGivesTheFramesBeforeTheCutThenAnError) {
    const QByteArray whole = ClipBytes();
    ASSERT_EQ(whole.size(), 1862) << "the cuts below are placed in this clip's frames";
    QTemporaryDir folder;
    // The index at the front still promises every frame; the data of the later
    // ones is missing. Cut inside the first frame's data, right before the
    // eighth's, and inside the eighth's: every whole frame before the cut comes.
    struct TCut {
        int Kept;
        size_t Frames;
    };
    for (const TCut cut : {TCut{1000, 0}, TCut{1794, 7}, TCut{1822, 7}}) {
        SCOPED_TRACE(cut.Kept);
        const QString path =
            WriteFile(folder, QStringLiteral("cut%1.mp4").arg(cut.Kept), whole.left(cut.Kept));
        QString reason;
        const auto source = OpenVideoSource(path, &reason);
        ASSERT_TRUE(source) << reason.toStdString();
        const std::vector<TSourceFrame> frames = ReadAll(*source);
        EXPECT_TRUE(
            source->Error().startsWith(QStringLiteral("the clip is damaged or cut short: ")))
            << source->Error().toStdString();
        EXPECT_EQ(source->FramesRead(), int(frames.size()));
        ASSERT_EQ(frames.size(), cut.Frames);
        for (size_t k = 0; k < frames.size(); ++k)
            ExpectSquareOfFrame(frames[k].Picture, int(k));
    }
}

TEST(VideoSource, RefusesWhatIsNotAVideoClipWithTheReason) {
    QTemporaryDir folder;
    const QString notAClip = QStringLiteral("not a video clip Vistrel can read: ");
    struct TCase {
        const char* Name;
        QByteArray Bytes;
        QString Reason; // the start of it
    };
    const TCase cases[] = {
        {"notes.txt", "Frame 1: a dog\nFrame 2: the dog sits\n", notAClip},
        {"still.png", PngBytes(), notAClip},
        {"sound.wav", WavBytes(), notAClip + QStringLiteral("it holds no video")},
        {"empty.mp4", QByteArray(), notAClip + QStringLiteral("the file is empty")},
        {"noise.mp4", QByteArray(3000, '\x5a'), notAClip},
        // A raw-video header for 20000 x 10000 frames: refused from the header.
        {"huge.y4m", "YUV4MPEG2 W20000 H10000 F10:1 Ip A1:1 C420jpeg\n",
         QStringLiteral("the clip's frames are 20000 x 10000 pixels, more than the 100 "
                        "megapixels")},
    };
    for (const TCase& each : cases) {
        SCOPED_TRACE(each.Name);
        const QString path = WriteFile(folder, QString::fromLatin1(each.Name), each.Bytes);
        QString reason;
        EXPECT_EQ(OpenVideoSource(path, &reason), nullptr);
        EXPECT_TRUE(reason.startsWith(each.Reason)) << reason.toStdString();
        if (each.Reason == notAClip) {
            EXPECT_GT(reason.size(), notAClip.size()) << "says why";
        }
    }

    QString reason;
    EXPECT_EQ(OpenVideoSource(folder.filePath(QStringLiteral("missing.mp4")), &reason), nullptr);
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(OpenVideoSource(folder.path(), &reason), nullptr);
    EXPECT_FALSE(reason.isEmpty());
}

TEST(VideoSource, TakesLevelsAtTheRangeTheClipSays) {
    QTemporaryDir folder;
    struct TCase {
        QByteArray Range;
        int Level;
        int Grey;
    };
    // TV range stretches 16-235 to 0-255; full range is taken as it is.
    const TCase cases[] = {
        {"", 235, 255},
        {"", 16, 0},
        {"XCOLORRANGE=LIMITED", 126, 128},
        {"XCOLORRANGE=FULL", 235, 235},
        {"XCOLORRANGE=FULL", 16, 16},
    };
    for (const TCase& each : cases) {
        SCOPED_TRACE(each.Range.toStdString() + " " + std::to_string(each.Level));
        const QString path =
            WriteFile(folder, QStringLiteral("grey.y4m"), RawClip(each.Range, each.Level));
        QString reason;
        const auto source = OpenVideoSource(path, &reason);
        ASSERT_TRUE(source) << reason.toStdString();
        TSourceFrame frame;
        ASSERT_TRUE(source->Next(frame)) << source->Error().toStdString();
        const QRgb pixel = frame.Picture.pixel(3, 3);
        EXPECT_NEAR(qRed(pixel), each.Grey, 1);
        EXPECT_NEAR(qGreen(pixel), each.Grey, 1);
        EXPECT_NEAR(qBlue(pixel), each.Grey, 1);
    }
}
