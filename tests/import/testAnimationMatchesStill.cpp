#include "animationImport.h"
#include "animationSourceFactory.h"
#include "pictureFixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vistrel;
namespace fixtures = vistrel::testing;

namespace {

QString DataFile(const QString& name) {
    return QStringLiteral(VISTREL_TEST_DATA "/") + name;
}

QString WriteFile(const QTemporaryDir& folder, const QString& name, const QByteArray& bytes) {
    const QString path = folder.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
    return path;
}

// What the Import page makes of one picture file, loaded alone and imported
// with the options set as a user sets them.
FramePixels StillImport(const QString& fileName, const TAnimationImportOptions& options) {
    TImportFrame importer;
    QString reason;
    EXPECT_TRUE(importer.LoadFromFile(fileName, &reason)) << reason.toStdString();
    importer.SetScale(options.Scale);
    importer.SetMethod(options.Method);
    importer.SetThreshold(options.Threshold);
    importer.MoveWindowTo(options.Window);
    return importer.OutputPixels();
}

int DotsApart(const FramePixels& a, const FramePixels& b) {
    int apart = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        apart += a[i] != b[i];
    return apart;
}

} // namespace

// walkingBlock_0.png to _2.png are three 80 x 52 pictures; the other files hold
// the same three frames as each format stores them (the GIF and the APNG keep
// only the changed part of each later frame, see-through elsewhere; the clip is
// lossless at 10 frames a second), so each frame, decoded and imported, must
// give exactly the dots its picture gives alone.
TEST(AnImportedAnimation, GivesForEachFrameTheDotsOfThatFrameImportedAlone) {
    struct TSource {
        const char* File;
        bool Sequence;
    };
    const TSource sources[] = {{"walkingBlock.gif", false},
                               {"walkingBlock.webp", false},
                               {"walkingBlock.apng", false},
                               {"walkingBlock_0.png", true},
                               {"walkingBlock.mkv", false}};
    struct TSettings {
        int Scale;
        int Method;
        int Threshold;
        QPoint Window;
    };
    const TSettings settings[] = {
        {TImportFrame::ScaleToFit, TImportFrame::FloydSteinberg, 128, {0, 0}},
        {100, TImportFrame::FloydSteinberg, 128, {20, 12}},
        {100, TImportFrame::Bayer, 110, {9, 5}},
        {75, TImportFrame::Quantization, 140, {6, 4}},
    };
    constexpr int Frames = 3;
    for (const TSettings& s : settings) {
        TAnimationImportOptions options;
        options.Scale = s.Scale;
        options.Method = s.Method;
        options.Threshold = s.Threshold;
        options.Window = s.Window;
        // Each source frame (100 ms, or 83 ms for the sequence) is one tick.
        options.Fps = 10;
        options.Merge = false;
        std::vector<FramePixels> alone;
        for (int k = 0; k < Frames; ++k)
            alone.push_back(
                StillImport(DataFile(QStringLiteral("walkingBlock_%1.png").arg(k)), options));
        // The frames differ, so a source that repeats or skips one is caught.
        ASSERT_FALSE(alone[0] == alone[1]);
        ASSERT_FALSE(alone[1] == alone[2]);

        for (const TSource& source : sources) {
            SCOPED_TRACE(::testing::Message()
                         << source.File << " at scale " << s.Scale << ", method " << s.Method);
            QString reason;
            const auto opened = OpenAnimationSource(DataFile(QString::fromLatin1(source.File)),
                                                    source.Sequence, &reason);
            ASSERT_TRUE(opened) << reason.toStdString();
            const TAnimationImportResult result = TAnimationImport(options).Run(*opened);
            EXPECT_TRUE(result.Error.isEmpty()) << result.Error.toStdString();
            ASSERT_EQ(result.Frames.size(), std::size_t{Frames});
            for (int k = 0; k < Frames; ++k) {
                const FramePixels& imported = result.Frames[static_cast<std::size_t>(k)].Pixels;
                EXPECT_TRUE(imported == alone[static_cast<std::size_t>(k)])
                    << "frame " << k << ": "
                    << DotsApart(imported, alone[static_cast<std::size_t>(k)]) << " dots differ";
            }
        }
    }
}

// The bad files the reader tests feed each reader directly, here through the
// one entry point the Import page and vistrel-cli use: refused with a reason,
// whichever reader the file ends up with.
TEST(AnImportedAnimation, ABadFileIsRefusedWithTheReason) {
    QTemporaryDir folder;
    struct TCase {
        QString File;
        const char* Reason; // what the reason says
    };
    const TCase cases[] = {
        {DataFile(QStringLiteral("no-frames.gif")), "the picture has no frames"},
        {DataFile(QStringLiteral("huge-screen.gif")),
         "the picture is 65535 x 65535 pixels, more than the 100 megapixels Vistrel imports"},
        {WriteFile(folder, QStringLiteral("empty.gif"), {}), "empty"},
        {WriteFile(folder, QStringLiteral("story.mp4"), "Frame 1: a dog\nFrame 2: it sits\n"),
         "not a video clip Vistrel can read"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File.toStdString());
        QString reason;
        EXPECT_EQ(OpenAnimationSource(c.File, false, &reason), nullptr);
        EXPECT_TRUE(reason.contains(QString::fromLatin1(c.Reason))) << reason.toStdString();
    }
}

namespace {

// A GIF of count frames of 2 x 2 pixels, 100 ms each, black and white by turns.
QByteArray ManyFramesGif(int count) {
    const std::array<QRgb, 4> palette = {qRgb(0, 0, 0), qRgb(255, 255, 255), 0, 0};
    // With a see-through entry that no pixel uses, each frame has its own
    // control block, where its delay goes.
    const QByteArray black = fixtures::GifBytes(2, 2, {0, 0, 0, 0}, palette, 3);
    const QByteArray white = fixtures::GifBytes(2, 2, {1, 1, 1, 1}, palette, 3);
    const qsizetype control = black.indexOf("\x21\xF9");
    QByteArray frames[2] = {black.mid(control, black.size() - control - 1),
                            white.mid(control, white.size() - control - 1)};
    for (QByteArray& frame : frames)
        frame[4] = 10; // hundredths of a second
    QByteArray gif = black.left(control);
    for (int k = 0; k < count; ++k)
        gif += frames[k % 2];
    return gif + ';';
}

} // namespace

// Files that break part-way, or hold more than a document takes, through the
// whole import: the frames before the break, and why it stopped.
TEST(AnImportedAnimation, AFileThatStopsPartWayGivesTheFramesBeforeAndSaysWhy) {
    QTemporaryDir folder;
    // The clip of 10 frames cut right before its eighth frame's data.
    QFile clip(DataFile(QStringLiteral("movingSquare.mp4")));
    ASSERT_TRUE(clip.open(QIODevice::ReadOnly));
    const QString cutClip = WriteFile(folder, QStringLiteral("cut.mp4"), clip.read(1794));
    // A sequence whose second picture claims 20000 x 20000 pixels.
    const QByteArray png = fixtures::PictureBytes(fixtures::Grey(4, 4, 90), "PNG");
    WriteFile(folder, QStringLiteral("walk_1.png"), png);
    WriteFile(folder, QStringLiteral("walk_2.png"), fixtures::WithPngSize(png, 20000, 20000));
    WriteFile(folder, QStringLiteral("walk_3.png"), png);
    const QString many = WriteFile(folder, QStringLiteral("many.gif"), ManyFramesGif(10'000));

    struct TCase {
        QString File;
        bool Sequence;
        int FramesRead;
        std::size_t Frames;
        bool TooMany;
        const char* Reason;
    };
    const TCase cases[] = {
        {cutClip, false, 7, 7, false, "the clip is damaged or cut short"},
        {folder.filePath(QStringLiteral("walk_1.png")), true, 1, 1, false, "20000 x 20000"},
        // Reading stops at the first frame that does not fit.
        {many, false, MaxDocumentFrames + 1, MaxDocumentFrames, true, "324 frames"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File.toStdString());
        QString reason;
        const auto source = OpenAnimationSource(c.File, c.Sequence, &reason);
        ASSERT_TRUE(source) << reason.toStdString();
        TAnimationImportOptions options;
        options.Fps = 10;
        options.Merge = false;
        const TAnimationImportResult result = TAnimationImport(options).Run(*source);
        EXPECT_TRUE(result.Partial);
        EXPECT_EQ(result.TooManyFrames, c.TooMany);
        EXPECT_EQ(result.FramesRead, c.FramesRead);
        EXPECT_EQ(result.Frames.size(), c.Frames);
        EXPECT_TRUE(result.Error.contains(QString::fromLatin1(c.Reason)))
            << result.Error.toStdString();
    }
}
