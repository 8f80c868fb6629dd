// vistrel-cli import-animation: the frames and ticks the importer makes of a
// source, written as convert writes, and every refusal before anything is written.

#include "../import/stillAndMovingClip.h"
#include "animationImport.h"
#include "animationSourceFactory.h"
#include "cliRun.h"
#include "modelFixtures.h"
#include "unitAnimation.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

QString Data(const char* name) {
    return QStringLiteral(VISTREL_TEST_DATA "/") + QLatin1String(name);
}

// What the importer makes of the source with these options, for comparison.
TAnimationImportResult Expected(const QString& source, const TAnimationImportOptions& options) {
    QString reason;
    std::unique_ptr<IAnimationSource> opened = OpenAnimationSource(source, false, &reason);
    EXPECT_NE(opened, nullptr) << reason.toStdString();
    return opened ? TAnimationImport(options).Run(*opened) : TAnimationImportResult{};
}

TEST(CliImportAnimation, EverySourceIsWrittenAsTheImporterMakesItAndItsFramesAndTicksPrinted) {
    struct Case {
        const char* source;
        QStringList options;
        TAnimationImportOptions expected;
    };
    TAnimationImportOptions noMerge;
    noMerge.Merge = false;
    TAnimationImportOptions fast;
    fast.Fps = 30;
    fast.Method = TImportFrame::Bayer;
    fast.Scale = TImportFrame::ScaleToFit;
    TAnimationImportOptions part;
    part.Start = TRangeEnd::AtFrame(1);
    part.End = TRangeEnd::AtMs(900);
    part.Step = 2;
    const Case cases[] = {
        {"four-frames.gif", {}, {}},
        {"four-frames.apng", {"--no-merge"}, noMerge},
        {"four-frames.webp", {"--fps", "30", "--method", "bayer", "--scale", "fit"}, fast},
        {"movingSquare.mp4", {}, {}},
        {"movingSquare.mp4", {"--start", "#1", "--end", "0.9", "--step", "2"}, part},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.source) + " " + c.options.join(' ').toStdString());
        TempFolder folder;
        const TAnimationImportResult expected = Expected(Data(c.source), c.expected);
        ASSERT_FALSE(expected.Frames.empty());
        const CliResult result =
            RunCli(QStringList{"import-animation", Data(c.source), folder.Path("out")} + c.options);
        ASSERT_EQ(result.status, 0) << result.err;
        const QString written = folder.Path("out.LCD");
        EXPECT_EQ(result.out, written.toStdString() +
                                  "\nframes: " + std::to_string(expected.Frames.size()) +
                                  "\nticks: " + std::to_string(expected.TotalTicks()) + "\n");
        TAnimation animation;
        ASSERT_TRUE(animation.LoadFromFile(written));
        ASSERT_EQ(animation.FrameCount(), static_cast<int>(expected.Frames.size()));
        for (int i = 0; i < animation.FrameCount(); ++i) {
            EXPECT_EQ(animation.Frame(i).Pixels, expected.Frames[i].Pixels) << i;
            EXPECT_EQ(animation.Frame(i).Duration(), expected.Frames[i].Duration()) << i;
        }
    }
}

TEST(CliImportAnimation, KeepStillWritesTheStillPartsDotsUnchangedFromFrameToFrame) {
    TempFolder folder;
    const QString first = WriteStillAndMovingSequence(folder.Path(""));
    ASSERT_FALSE(first.isEmpty());
    const auto imported = [&first](bool keepStill) {
        TAnimationImportOptions options;
        options.Merge = false;
        options.KeepStill = keepStill;
        QString reason;
        const std::unique_ptr<IAnimationSource> source = OpenAnimationSource(first, true, &reason);
        EXPECT_NE(source, nullptr) << reason.toStdString();
        return source ? TAnimationImport(options).Run(*source) : TAnimationImportResult{};
    };
    const TAnimationImportResult steady = imported(true);
    ASSERT_EQ(steady.Frames.size(), std::size_t{StillAndMovingFrames});
    // Without the option the still part shimmers, so the files differ.
    ASSERT_NE(imported(false).Frames[1].Pixels, steady.Frames[1].Pixels);

    const CliResult result = RunCli({"import-animation", first, folder.Path("out"), "--sequence",
                                     "--no-merge", "--keep-still"});
    ASSERT_EQ(result.status, 0) << result.err;
    TAnimation animation;
    ASSERT_TRUE(animation.LoadFromFile(folder.Path("out.LCD")));
    ASSERT_EQ(animation.FrameCount(), StillAndMovingFrames);
    for (int i = 0; i < animation.FrameCount(); ++i)
        EXPECT_EQ(animation.Frame(i).Pixels, steady.Frames[static_cast<std::size_t>(i)].Pixels)
            << i;
}

TEST(CliImportAnimation, RefusalsSayWhyAndWriteNothing) {
    TempFolder folder;
    // 256 numbered pictures: one more than an LCD file holds.
    QImage dot(4, 4, QImage::Format_RGB32);
    for (int i = 0; i < 256; ++i) {
        dot.fill(i % 2 ? Qt::white : Qt::black);
        dot.save(folder.Path(QStringLiteral("walk_%1.png").arg(i, 3, 10, QLatin1Char('0'))));
    }
    const QString text = folder.Write("notes.txt", "not a picture");
    struct Case {
        QStringList arguments;
        const char* message;
    };
    const Case cases[] = {
        {{folder.Path("walk_000.png"), "--sequence", "--no-merge"},
         "an LCD file holds at most 255 frames"},
        {{Data("cut-in-third-frame.gif")}, "frames could be read; --partial takes them"},
        {{text}, "Unable to open notes.txt"},
        {{Data("four-frames.gif"), "--start", "soon"}, "Invalid start or end: soon"},
        {{Data("four-frames.gif"), "--fps", "0"}, "Invalid ticks a second: 0"},
        {{Data("four-frames.gif"), "--start", "#9"}, "Unable to import four-frames.gif"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CliResult result =
            RunCli(QStringList{"import-animation"} + c.arguments + QStringList{folder.Path("out")});
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_FALSE(QFileInfo::exists(folder.Path("out.LCD")));
    }
    // --partial takes the frames read before the cut.
    const CliResult partial = RunCli(
        {"import-animation", Data("cut-in-third-frame.gif"), folder.Path("out"), "--partial"});
    EXPECT_EQ(partial.status, 0) << partial.err;
    TAnimation animation;
    ASSERT_TRUE(animation.LoadFromFile(folder.Path("out.LCD")));
    EXPECT_GE(animation.FrameCount(), 1);
}

} // namespace
