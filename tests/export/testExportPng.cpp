#include "exportFixtures.h"
#include "modelFixtures.h"
#include "unitAnimationExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

constexpr QRgb Lit = 0xFF102030;
constexpr QRgb Unlit = 0xFFF0E0D0;

TExportOptions Options(TExportFormat format, int scale, int columns = 0) {
    TExportOptions options;
    options.Format = format;
    options.Scale = scale;
    options.Colours = {Lit, Unlit};
    options.Columns = columns;
    return options;
}

} // namespace

TEST(PngSheetExport, PlacesEveryFrameInARowOrAGrid) {
    TempFolder folder;
    TAnimation animation;
    FillScattered(animation, 5);
    struct Case {
        int columns;
        int scale;
        int cellsAcross;
        int rows;
    };
    const Case cases[] = {{0, 2, 5, 1}, {2, 2, 2, 3}, {3, 1, 3, 2}, {9, 1, 5, 1}, {1, 3, 1, 5}};
    for (const Case& c : cases) {
        const QString target = folder.Path(QStringLiteral("sheet%1.png").arg(c.columns));
        TAnimationExport exporter(animation, Options(TExportFormat::PngSheet, c.scale, c.columns));
        ASSERT_TRUE(exporter.Export(target)) << exporter.ErrorText().toStdString();
        const QImage sheet(target);
        ASSERT_FALSE(sheet.isNull());
        const int cellWidth = FrameWidth * c.scale;
        const int cellHeight = FrameHeight * c.scale;
        EXPECT_EQ(sheet.size(), QSize(cellWidth * c.cellsAcross, cellHeight * c.rows))
            << "columns " << c.columns;
        for (int i = 0; i < animation.FrameCount(); ++i)
            EXPECT_TRUE(ShowsFrame(sheet,
                                   {i % c.cellsAcross * cellWidth, i / c.cellsAcross * cellHeight},
                                   animation.Frame(i), c.scale, Lit, Unlit))
                << "columns " << c.columns << " frame " << i;
        // The cells after the last frame are empty glass.
        TFrame blank;
        for (int cell = animation.FrameCount(); cell < c.cellsAcross * c.rows; ++cell)
            EXPECT_TRUE(ShowsFrame(
                sheet, {cell % c.cellsAcross * cellWidth, cell / c.cellsAcross * cellHeight}, blank,
                c.scale, Lit, Unlit));
    }
}

TEST(PngFramesExport, WritesOneNumberedPictureForEachFrame) {
    TempFolder folder;
    TAnimation animation;
    FillScattered(animation, 3);
    QDir().mkpath(folder.Path("out"));
    TAnimationExport exporter(animation, Options(TExportFormat::PngFrames, 4));
    ASSERT_TRUE(exporter.Export(folder.Path("out/walk.png")));
    const QStringList names{"walk_000.png", "walk_001.png", "walk_002.png"};
    EXPECT_EQ(FolderEntries(folder.Path("out")), names);
    ASSERT_EQ(exporter.Written().size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(exporter.Written()[i], folder.Path("out/" + names[i]));
        const QImage frame(exporter.Written()[i]);
        ASSERT_EQ(frame.size(), QSize(192, 128));
        EXPECT_TRUE(ShowsFrame(frame, {}, animation.Frame(i), 4, Lit, Unlit)) << "frame " << i;
    }
}

TEST(AnimationExport, AFolderThatCannotBeWrittenWritesNothingAndSaysWhy) {
    TempFolder folder;
    // A plain file where the folder should be: no name below it can be created,
    // whoever runs the test.
    folder.Write("notAFolder", "text");
    TAnimation animation;
    FillScattered(animation, 2);
    const TExportFormat formats[] = {TExportFormat::Gif, TExportFormat::PngSheet,
                                     TExportFormat::PngFrames, TExportFormat::CHeader,
                                     TExportFormat::Binary};
    for (const TExportFormat format : formats) {
        const QString target = folder.Path("notAFolder/walk" + TAnimationExport::Extension(format));
        TAnimationExport exporter(animation, Options(format, 2));
        EXPECT_FALSE(exporter.Export(target));
        const QString expected =
            format == TExportFormat::PngFrames ? "walk_000.png" : QFileInfo(target).fileName();
        EXPECT_TRUE(exporter.ErrorText().startsWith("Unable to write " + expected + ": "))
            << exporter.ErrorText().toStdString();
        EXPECT_GT(exporter.ErrorText().size(),
                  QString("Unable to write " + expected + ": ").size());
        EXPECT_TRUE(exporter.Written().isEmpty());
    }
    EXPECT_EQ(FolderEntries(folder.Path("")), QStringList{"notAFolder"});
}

TEST(PngFramesExport, AFailurePartWayKeepsEveryFileWholeAndSaysHowFarItGot) {
    TempFolder folder;
    TAnimation animation;
    FillScattered(animation, 4);
    // The third frame's name is taken by a folder, so that file cannot be written.
    const QString old = folder.Write("walk_001.png", "old second frame");
    QDir().mkpath(folder.Path("walk_002.png"));
    TAnimationExport exporter(animation, Options(TExportFormat::PngFrames, 1));
    EXPECT_FALSE(exporter.Export(folder.Path("walk.png")));
    EXPECT_TRUE(exporter.ErrorText().startsWith("Unable to write walk_002.png: "))
        << exporter.ErrorText().toStdString();
    EXPECT_TRUE(exporter.ErrorText().endsWith("(2 of 4 frames were written)"));
    EXPECT_EQ(exporter.Written(),
              (QStringList{folder.Path("walk_000.png"), folder.Path("walk_001.png")}));
    // The frames before the failure are complete, nothing after it was started,
    // and no temporary file is left behind.
    EXPECT_TRUE(
        ShowsFrame(QImage(folder.Path("walk_001.png")), {}, animation.Frame(1), 1, Lit, Unlit));
    EXPECT_EQ(FolderEntries(folder.Path("")),
              (QStringList{"walk_000.png", "walk_001.png", "walk_002.png"}));
    EXPECT_TRUE(QFileInfo(folder.Path("walk_002.png")).isDir());
}

TEST(AnimationExport, AWriteThatCannotFinishKeepsTheOldFile) {
    TempFolder folder;
    TAnimation animation;
    FillScattered(animation, 20);
    const TExportFormat formats[] = {TExportFormat::Gif, TExportFormat::PngSheet,
                                     TExportFormat::CHeader, TExportFormat::Binary};
    for (const TExportFormat format : formats) {
        const QString name = "walk" + TAnimationExport::Extension(format);
        const QString target = folder.Write(name, "old export");
        TAnimationExport exporter(animation, Options(format, 8));
        bool written = false;
        {
            const FileSizeLimit limit(2000);
            written = exporter.Export(target);
        }
        EXPECT_FALSE(written) << name.toStdString();
        EXPECT_TRUE(exporter.ErrorText().startsWith("Unable to write " + name + ": "));
        EXPECT_EQ(ReadFile(target), QByteArray("old export"));
        EXPECT_EQ(FolderEntries(folder.Path("")), QStringList{name});
        QFile::remove(target);
    }
}

TEST(AnimationExport, RefusesWhatItCannotExportBeforeTouchingAnyFile) {
    TempFolder folder;
    TAnimation empty;
    TAnimation animation;
    FillScattered(animation, 2);
    struct Case {
        const TAnimation* animation;
        int scale;
        int columns;
        int fps;
        const char* reason;
    };
    const Case cases[] = {
        {&empty, 1, 0, 12, "the animation has no frames"},
        {&animation, 0, 0, 12, "the scale must be 1 to 16, not 0"},
        {&animation, 17, 0, 12, "the scale must be 1 to 16, not 17"},
        {&animation, 1, -1, 12, "the number of columns cannot be negative"},
        {&animation, 1, 0, 0, "the speed must be 1 to 1000 ticks per second, not 0"},
    };
    for (const Case& c : cases) {
        TExportOptions options = Options(TExportFormat::PngSheet, c.scale, c.columns);
        options.PlayerFPS = c.fps;
        TAnimationExport exporter(*c.animation, options);
        EXPECT_FALSE(exporter.Export(folder.Path("sheet.png")));
        EXPECT_EQ(exporter.ErrorText(), QStringLiteral("Unable to write sheet.png: ") + c.reason);
    }
    EXPECT_TRUE(FolderEntries(folder.Path("")).isEmpty());
}
