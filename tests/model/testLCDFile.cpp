#include "modelFixtures.h"
#include "unitLCDFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

QByteArray Saved(TAnimation& animation) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    return animation.SaveLCD(buffer) ? buffer.data() : QByteArray();
}

bool Load(TAnimation& animation, const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return animation.LoadLCD(buffer);
}

} // namespace

TEST(LCDFile, SavedBytesFollowTheLayoutExactly) {
    TAnimation animation;
    FillAnimation(animation, {1, 7});
    animation.RepeatCount = 3;
    animation.Frame(1).Pixels[PixelIndex(47, 31)] = 1;
    const QByteArray bytes = Saved(animation);
    ASSERT_EQ(bytes.size(), 3136);
    EXPECT_EQ(bytes.left(16),
              QByteArray("LCDi\x01\x00\x30\x00\x20\x00\x01\x00\x00\x03\x02\x00", 16));
    EXPECT_EQ(bytes.mid(16, 8), QByteArray("\x00\x01\x00\x00\x00\x07\x00\x00", 8));
    const qsizetype pixels = 16 + 8;
    EXPECT_EQ(bytes[pixels + 0], 8); // frame 0 marker
    EXPECT_EQ(bytes[pixels + 1], 0);
    EXPECT_EQ(bytes[pixels + FramePixelCount + 1], 8);     // frame 1 marker
    EXPECT_EQ(bytes[pixels + 2 * FramePixelCount - 1], 8); // frame 1, pixel (47, 31)
    EXPECT_EQ(bytes.right(40), QByteArray(OwnCreatorText));
    EXPECT_EQ(animation.SourceKind, SourceLCD);

    TAnimation one;
    FillAnimation(one, 1);
    EXPECT_EQ(Saved(one).size(), 1596);
}

TEST(LCDFile, RoundTripKeepsFramesDurationsAndRepeat) {
    TAnimation animation;
    FillAnimation(animation, {0, 1, 255, 12});
    animation.RepeatCount = 255;
    TAnimation loaded;
    ASSERT_TRUE(Load(loaded, Saved(animation)));
    EXPECT_EQ(loaded.SourceKind, SourceLCD);
    EXPECT_EQ(loaded.RepeatCount, 255);
    EXPECT_EQ(Durations(loaded), (std::vector<int>{0, 1, 255, 12}));
    for (int i = 0; i < loaded.FrameCount(); ++i) {
        EXPECT_EQ(loaded.Frame(i).Pixels, animation.Frame(i).Pixels) << "frame " << i;
        EXPECT_TRUE(CellMatchesPixels(loaded, i));
    }
    loaded.BuildScript();
    EXPECT_EQ(loaded.ScriptText, QStringList({"draw_frame(1);", "draw_frame(2);", "draw_frame(3);",
                                              "draw_frame(4);"}));
}

TEST(LCDFile, ReadingTakesOnlyByteEightAsLitAndTellsTheCreator) {
    struct Case {
        QByteArray creator;
        int kind;
    };
    for (const Case& c : {Case{"Made with dream animator 1.2", SourceDreamLCD},
                          Case{"xx DREAM ANIMATOR", SourceDreamLCD},
                          Case{"Vistrel v1.0", SourceLCD}, Case{"Dream  Animator", SourceLCD}}) {
        QByteArray bytes = LCDBytes({2}, 4, c.creator);
        bytes[16 + 4 + 5] = 1; // not 8: white
        TAnimation animation;
        ASSERT_TRUE(Load(animation, bytes)) << c.creator.constData();
        EXPECT_EQ(animation.SourceKind, c.kind) << c.creator.constData();
        EXPECT_EQ(animation.RepeatCount, 4);
        EXPECT_EQ(animation.Frame(0).Pixels[0], 1);
        EXPECT_EQ(animation.Frame(0).Pixels[5], 0);
        EXPECT_TRUE(animation.Frame(0).Changed()); // duration 2 came through SetDuration
    }
}

TEST(LCDFile, ShortFilesFailAndLeaveTheAnimationAsItWas) {
    const QByteArray whole = LCDBytes({1, 2});
    for (const qsizetype size :
         {qsizetype{0}, qsizetype{15}, qsizetype{16}, qsizetype{500}, whole.size() - 1}) {
        TAnimation animation;
        FillAnimation(animation, {3, 4, 5});
        animation.RepeatCount = 9;
        EXPECT_FALSE(Load(animation, whole.left(size))) << size << " bytes";
        EXPECT_EQ(Durations(animation), (std::vector<int>{3, 4, 5}));
        EXPECT_EQ(animation.RepeatCount, 9);
        EXPECT_EQ(animation.SourceKind, SourceNone);
    }
    TAnimation empty;
    ASSERT_TRUE(Load(empty, LCDBytes({})));
    EXPECT_EQ(empty.FrameCount(), 0);
    EXPECT_EQ(empty.CommandCount(), 0);
}

TEST(LCDFile, SaveRefusesEmptyAndOverlongAnimations) {
    TAnimation animation;
    EXPECT_TRUE(Saved(animation).isEmpty());
    FillAnimation(animation, 255);
    EXPECT_EQ(Saved(animation).size(), 56 + 1540 * 255);
    FillAnimation(animation, 1);
    animation.SourceKind = SourceVMSPlain;
    EXPECT_TRUE(Saved(animation).isEmpty());
    EXPECT_EQ(animation.SourceKind, SourceVMSPlain);
}

TEST(LCDFileNames, TheSavedNameCarriesTheLCDExtension) {
    const std::pair<const char*, const char*> cases[] = {{"clip.vms", "clip.LCD"},
                                                         {"clip", "clip.LCD"},
                                                         {"/tmp/a.b/clip", "/tmp/a.b/clip.LCD"},
                                                         {"/x/clip.lcd", "/x/clip.lcd"},
                                                         {"two.dots.vms", "two.dots.LCD"},
                                                         {"keep.Lcd", "keep.Lcd"},
                                                         {".hidden", ".hidden.LCD"}};
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(TAnimation::LCDFileName(QString::fromLatin1(name)),
                  QString::fromLatin1(expected));
}

TEST(LCDFileNames, LoadFromFilePicksTheReaderByExtensionInAnyCase) {
    TempFolder folder;
    const QByteArray bytes = LCDBytes({1, 2, 3});
    TAnimation animation;
    EXPECT_TRUE(animation.LoadFromFile(folder.Write("walk.Lcd", bytes)));
    EXPECT_EQ(animation.FrameCount(), 3);
    EXPECT_EQ(animation.ScriptText.size(), 3);
    EXPECT_FALSE(animation.LoadFromFile(folder.Write("walk.bmp", bytes)));
    EXPECT_FALSE(animation.LoadFromFile(folder.Path("missing.lcd")));
    EXPECT_EQ(animation.FrameCount(), 3);
}

TEST(LCDSaveToFile, WritesTheLCDNameAndKeepsTheOldFileOnRefusal) {
    TempFolder folder;
    const QString target = folder.Write("clip.LCD", "old document");
    TAnimation empty;
    EXPECT_FALSE(empty.SaveToFile(folder.Path("clip.vms")));
    EXPECT_EQ(ReadFile(target), QByteArray("old document"));

    TAnimation overlong;
    FillAnimation(overlong, 256);
    EXPECT_FALSE(overlong.SaveToFile(target));
    EXPECT_EQ(ReadFile(target), QByteArray("old document"));

    TAnimation animation;
    FillAnimation(animation, {4});
    ASSERT_TRUE(animation.SaveToFile(folder.Path("clip.vms")));
    EXPECT_EQ(ReadFile(target).size(), 1596);
    EXPECT_FALSE(QFile::exists(folder.Path("clip.vms")));
}

TEST(LCDSaveToFile, AWriteThatCannotFinishLeavesTheOldFile) {
    TempFolder folder;
    const QString target = folder.Write("walk.LCD", "old document");
    TAnimation animation;
    FillAnimation(animation, 2);
    // A file size limit makes the write fail part-way, as a full disk would.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit oldLimit{};
    getrlimit(RLIMIT_FSIZE, &oldLimit);
    rlimit limit = oldLimit;
    limit.rlim_cur = 2000;
    setrlimit(RLIMIT_FSIZE, &limit);
    QString reason;
    const bool saved = animation.SaveToFile(target, &reason);
    setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(reason, QString::fromLocal8Bit(std::strerror(EFBIG)));
    EXPECT_EQ(ReadFile(target), QByteArray("old document"));
    EXPECT_EQ(QDir(folder.Path("")).entryList(QDir::Files), QStringList{"walk.LCD"});
}

// The window and vistrel-cli tell the user why a save failed in the system's words.
TEST(LCDSaveToFile, AFailureOfTheFileSystemGivesTheSystemsReason) {
    TempFolder folder;
    ASSERT_TRUE(QDir(folder.Path("")).mkpath("taken.lcd"));
    const struct {
        QString target;
        const char* reasonHas;
    } cases[] = {
        {folder.Path("taken.lcd"), "directory"},
        {folder.Path("no such folder/walk.lcd"), "No such file or directory"},
    };
    for (const auto& c : cases) {
        TAnimation animation;
        FillAnimation(animation, 1);
        QString reason;
        EXPECT_FALSE(animation.SaveToFile(c.target, &reason));
        EXPECT_TRUE(reason.contains(QLatin1String(c.reasonHas), Qt::CaseInsensitive))
            << c.target.toStdString() << ": " << reason.toStdString();
    }
    // A document no LCD file can hold is no failure of the system.
    TAnimation empty;
    QString reason;
    EXPECT_FALSE(empty.SaveToFile(folder.Path("empty.lcd"), &reason));
    EXPECT_TRUE(reason.isEmpty());
}

TEST(LCDInsertAnimation, FramesOfAnotherFileGoInOrderOrNotAtAll) {
    TempFolder folder;
    const QString other = folder.Write("other.lcd", LCDBytes({7, 8, 9}));
    TAnimation animation;
    FillAnimation(animation, {1, 2});
    animation.AddCommand().Value = TCommand::DrawFrame(1);
    animation.RepeatCount = 5;
    ASSERT_TRUE(animation.InsertAnimation(1, other));
    EXPECT_EQ(Durations(animation), (std::vector<int>{1, 7, 8, 9, 2}));
    EXPECT_EQ(animation.Frame(4).StartTime(), 25);
    EXPECT_EQ(animation.Frame(2).Pixels[1], 1); // second frame of the file
    for (int i = 0; i < animation.FrameCount(); ++i)
        EXPECT_TRUE(CellMatchesPixels(animation, i));
    EXPECT_EQ(animation.CommandCount(), 1);
    EXPECT_EQ(animation.RepeatCount, 5);

    ASSERT_TRUE(animation.AppendAnimation(other));
    EXPECT_EQ(Durations(animation), (std::vector<int>{1, 7, 8, 9, 2, 7, 8, 9}));
    EXPECT_FALSE(animation.InsertAnimation(-2, other));
    EXPECT_FALSE(animation.InsertAnimation(0, folder.Path("missing.lcd")));

    // An animation that does not fit whole is refused, the document unchanged.
    TAnimation full;
    FillAnimation(full, 320);
    const QString ten = folder.Write("ten.lcd", LCDBytes({1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_FALSE(full.AppendAnimation(ten));
    EXPECT_EQ(full.FrameCount(), 320);
    const QString four = folder.Write("four.lcd", LCDBytes({1, 1, 1, 1}));
    EXPECT_TRUE(full.InsertAnimation(0, four));
    EXPECT_EQ(full.FrameCount(), MaxDocumentFrames);
}
