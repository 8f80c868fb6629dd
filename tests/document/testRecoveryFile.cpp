#include "fileNames.h"
#include "modelFixtures.h"
#include "recoveryFile.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

// A document of frames with random pictures, so every bit of every frame counts.
void RandomFrames(TAnimation& animation, int count, quint32 seed) {
    QRandomGenerator random(seed);
    for (int i = 0; i < count; ++i) {
        ASSERT_TRUE(animation.AddFrame());
        TFrame& frame = animation.Frame(animation.FrameCount() - 1);
        for (auto& pixel : frame.Pixels)
            pixel = random.bounded(2);
        animation.PaintCell(animation.FrameCount() - 1);
        frame.SetDuration(static_cast<std::uint8_t>(random.bounded(256)));
    }
}

void ExpectSameDocument(const TAnimation& read, const TAnimation& written) {
    ASSERT_EQ(read.FrameCount(), written.FrameCount());
    EXPECT_EQ(read.RepeatCount, written.RepeatCount);
    EXPECT_EQ(read.SourceKind, written.SourceKind);
    EXPECT_EQ(Times(read), Times(written));
    for (int i = 0; i < read.FrameCount(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(read.Frame(i).Pixels, written.Frame(i).Pixels);
        EXPECT_EQ(read.Frame(i).RedLayer(), written.Frame(i).RedLayer());
        EXPECT_EQ(read.Frame(i).BlueLayer(), written.Frame(i).BlueLayer());
        EXPECT_TRUE(CellMatchesPixels(read, i));
    }
}

// CRC-32 bit by bit, as zlib computes it: an oracle apart from the table the
// program uses.
std::uint32_t Crc32(const QByteArray& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= static_cast<std::uint8_t>(byte);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// Bytes edited and sealed with a fresh checksum, to reach the checks behind it.
QByteArray Resealed(QByteArray bytes) {
    bytes.chop(4);
    const std::uint32_t crc = Crc32(bytes);
    for (int i = 0; i < 4; ++i)
        bytes.append(static_cast<char>((crc >> (8 * i)) & 0xFF));
    return bytes;
}

// Where the fields of the layout lie (see the comment in recoveryFile.cpp).
constexpr int VersionAt = 16;
constexpr int CurrentFrameAt = 30;
constexpr int FrameCountAt = 36;
constexpr int NameSizeAt = 38;
constexpr int NameAt = 42;

QByteArray WithNumber(QByteArray bytes, int at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

} // namespace

TEST(RecoveryFile, KeepsEveryFrameBeyondAnLCDFileWithItsDurationsMarksAndName) {
    TAnimation written;
    RandomFrames(written, 300, 7);
    written.Frame(0).SetDuration(0);
    written.Frame(299).SetDuration(255);
    written.Frame(270).SetRedLayer(true);
    written.Frame(3).SetBlueLayer(true);
    written.RepeatCount = 255;
    written.SourceKind = SourceVMSScripted;
    TRecoveryInfo info;
    info.FileName = FileNameFromBytes("/home/ann/caf\xe9 \t.lcd");
    info.CurrentFrame = 280;
    info.LastChange = QDateTime::fromMSecsSinceEpoch(1'800'000'000'123, Qt::UTC);

    TAnimation read;
    TRecoveryInfo readInfo;
    QString reason;
    ASSERT_TRUE(ReadRecoveryBytes(RecoveryFileBytes(written, info), read, readInfo, &reason))
        << reason.toStdString();
    ExpectSameDocument(read, written);
    EXPECT_EQ(FileNameToBytes(readInfo.FileName), QByteArray("/home/ann/caf\xe9 \t.lcd"));
    EXPECT_EQ(readInfo.UntitledNumber, 0);
    EXPECT_EQ(readInfo.CurrentFrame, 280);
    EXPECT_EQ(readInfo.LastChange, info.LastChange);
}

TEST(RecoveryFile, KeepsAnUntitledDocumentAlsoWithoutFrames) {
    struct Case {
        int frames;
        int current;         // what the window held
        int currentReadBack; // always one of the frames, or -1 for none
    };
    for (const Case c : {Case{0, -1, -1}, Case{0, 5, -1}, Case{4, 2, 2}, Case{4, -1, 0},
                         Case{MaxDocumentFrames, MaxDocumentFrames - 1, MaxDocumentFrames - 1}}) {
        SCOPED_TRACE(c.frames);
        TAnimation written;
        RandomFrames(written, c.frames, 11);
        TRecoveryInfo info;
        info.UntitledNumber = 7;
        info.CurrentFrame = c.current;
        info.LastChange = QDateTime::currentDateTimeUtc();
        TAnimation read;
        FillAnimation(read, {3, 4}); // replaced, not added to
        TRecoveryInfo readInfo;
        readInfo.FileName = QStringLiteral("old.lcd");
        ASSERT_TRUE(ReadRecoveryBytes(RecoveryFileBytes(written, info), read, readInfo));
        ExpectSameDocument(read, written);
        EXPECT_EQ(readInfo.FileName, QString());
        EXPECT_EQ(readInfo.UntitledNumber, 7);
        EXPECT_EQ(readInfo.DisplayName(), QStringLiteral("Untitled7.lcd"));
        EXPECT_EQ(readInfo.CurrentFrame, c.currentReadBack);
    }
}

TEST(RecoveryFile, ADamagedOrForeignFileIsRefusedWithItsReasonAndChangesNothing) {
    TAnimation document;
    RandomFrames(document, 3, 5);
    document.Frame(1).SetRedLayer(true);
    TRecoveryInfo info;
    info.FileName = QStringLiteral("/a.lcd");
    info.CurrentFrame = 1;
    const QByteArray good = RecoveryFileBytes(document, info);
    const int framesAt = NameAt + 6;
    const int marksOf1 = framesAt + 194 + 1;

    QByteArray flipped = good;
    flipped[framesAt + 100] = static_cast<char>(flipped[framesAt + 100] ^ 0x10);
    QByteArray nulInName = good;
    nulInName[NameAt + 2] = '\0';
    struct Case {
        const char* what;
        QByteArray bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"empty", QByteArray(), "not a Vistrel recovery file"},
        {"a picture", QByteArray("BM\x36\0\0\0", 6) + QByteArray(100, 'x'),
         "not a Vistrel recovery file"},
        {"only the magic", good.left(16),
         "the recovery file is damaged (it ends inside its header)"},
        {"cut in its header", good.left(30),
         "the recovery file is damaged (it ends inside its header)"},
        {"a newer format", WithNumber(good, VersionAt, 2, 2),
         "a recovery file of format 2, which this version of Vistrel cannot read (it reads format "
         "1)"},
        {"cut short by a byte", good.chopped(1),
         "the recovery file is damaged (it ends early, 633 of 634 bytes are there)"},
        {"cut inside its frames", good.left(300),
         "the recovery file is damaged (it ends early, 300 of 634 bytes are there)"},
        {"a byte more", good + 'x', "the recovery file is damaged (it has 1 bytes after its end)"},
        {"a flipped pixel", flipped, "the recovery file is damaged (its checksum does not match)"},
        {"more frames than a document holds", WithNumber(good, FrameCountAt, 325, 2),
         "the recovery file is damaged (it counts 325 frames, a document holds at most 324)"},
        {"a name of 4 GiB", WithNumber(good, NameSizeAt, 0xFFFFFFFF, 4),
         "the recovery file is damaged (its file name is 4294967295 bytes long)"},
        {"a zero byte in the name", Resealed(nulInName),
         "the recovery file is damaged (its file name holds a zero byte)"},
        {"a current frame past the end", Resealed(WithNumber(good, CurrentFrameAt, 3, 4)),
         "the recovery file is damaged (its current frame 3 is not one of its 3 frames)"},
        {"no current frame", Resealed(WithNumber(good, CurrentFrameAt, 0xFFFFFFFF, 4)),
         "the recovery file is damaged (its current frame -1 is not one of its 3 frames)"},
        {"red and blue on one frame", Resealed(WithNumber(good, marksOf1, 3, 1)),
         "the recovery file is damaged (the layer marks of frame 1)"},
        {"an unknown mark", Resealed(WithNumber(good, marksOf1, 5, 1)),
         "the recovery file is damaged (the layer marks of frame 1)"},
        {"a second red frame", Resealed(WithNumber(good, marksOf1 + 194, 1, 1)),
         "the recovery file is damaged (the layer marks of frame 2)"},
    };
    ASSERT_EQ(good.size(), 634);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TAnimation animation;
        FillAnimation(animation, {4, 5});
        TRecoveryInfo kept;
        kept.FileName = QStringLiteral("kept.lcd");
        kept.CurrentFrame = 1;
        QString reason;
        EXPECT_FALSE(ReadRecoveryBytes(c.bytes, animation, kept, &reason));
        EXPECT_EQ(reason.toStdString(), c.reason);
        EXPECT_EQ(Durations(animation), (std::vector<int>{4, 5}));
        EXPECT_EQ(kept.FileName, QStringLiteral("kept.lcd"));
        EXPECT_EQ(kept.CurrentFrame, 1);
    }
}

TEST(RecoveryFile, OnlyARegularFileOfABoundedSizeIsRead) {
    TempFolder folder;
    TAnimation animation;
    TRecoveryInfo info;
    QString reason;

    const QString fifo = folder.Path("pipe.recovery");
    ASSERT_TRUE(MakeFifo(fifo));
    EXPECT_TRUE(FinishesWithoutWaitingOnFifo(
        fifo, [&] { EXPECT_FALSE(LoadRecoveryFile(fifo, animation, info, &reason)); }));
    EXPECT_EQ(reason, QStringLiteral("not a regular file"));

    const QString huge = folder.Write("huge.recovery", QByteArray(MaxRecoveryFileSize() + 1, 'V'));
    EXPECT_FALSE(LoadRecoveryFile(huge, animation, info, &reason));
    EXPECT_TRUE(reason.startsWith(QStringLiteral("the file is larger than")))
        << reason.toStdString();

    TAnimation full;
    RandomFrames(full, MaxDocumentFrames, 3);
    TRecoveryInfo longName;
    longName.FileName = QString(MaxRecoveryNameBytes, u'n');
    const QByteArray largest = RecoveryFileBytes(full, longName);
    EXPECT_EQ(largest.size(), MaxRecoveryFileSize());
    const QString saved = folder.Path("largest.recovery");
    ASSERT_TRUE(SaveRecoveryFile(saved, largest, &reason)) << reason.toStdString();
    ASSERT_TRUE(LoadRecoveryFile(saved, animation, info, &reason)) << reason.toStdString();
    ExpectSameDocument(animation, full);
    EXPECT_EQ(info.FileName, longName.FileName);
}
