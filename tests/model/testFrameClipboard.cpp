#include "modelFixtures.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

QByteArray Entry(int duration, int litPixel) {
    QByteArray entry(1 + FramePixelCount, '\0');
    entry[0] = static_cast<char>(duration);
    entry[1 + litPixel] = 1;
    return entry;
}

// The payload of a block as the window reads it off the clipboard, pasted.
bool PasteBlock(TAnimation& animation, int index, const QByteArray& block) {
    return animation.InsertFramePayload(index, DecodeClipboardBlock(block));
}

} // namespace

// The frame payload is the document's own business: copying, cutting and pasting
// frames works in a program that has no GUI application and no clipboard.
TEST(FramePayload, CopyCutAndPasteNeedNoGuiApplication) {
    ASSERT_NE(QCoreApplication::instance(), nullptr);
    ASSERT_EQ(qobject_cast<QGuiApplication*>(QCoreApplication::instance()), nullptr);
    TAnimation animation;
    FillAnimation(animation, {2, 3, 4});
    const QByteArray block = EncodeClipboardBlock(animation.FramePayload(1));
    animation.DeleteFrame(1);
    ASSERT_TRUE(PasteBlock(animation, 0, block));
    EXPECT_EQ(Durations(animation), (std::vector<int>{3, 2, 4}));
    std::vector<TFrame> taken = animation.TakeFrames(0, 1);
    ASSERT_TRUE(animation.InsertFrames(1, std::move(taken)));
    EXPECT_EQ(Durations(animation), (std::vector<int>{4, 3, 2}));
}

TEST(FramePayload, CopiesPutTheLengthThenEntriesInFrameOrder) {
    TAnimation animation;
    FillAnimation(animation, {3, 4, 5, 6});
    QByteArray block = EncodeClipboardBlock(animation.FramePayload(1));
    ASSERT_EQ(block.size(), 4 + 1537);
    EXPECT_EQ(qFromLittleEndian<quint32>(block.constData()), 1537u);
    EXPECT_EQ(block[4], 4);
    EXPECT_EQ(block[4 + 1 + 1], 1); // frame 1's marker pixel

    animation.Frame(3).SetSelected(true);
    animation.Frame(0).SetSelected(true);
    animation.Frame(2).SetSelected(true);
    block = EncodeClipboardBlock(animation.SelectedFramesPayload());
    ASSERT_EQ(block.size(), 4 + 4611);
    EXPECT_EQ(qFromLittleEndian<quint32>(block.constData()), 4611u);
    EXPECT_EQ(block[4], 3);
    EXPECT_EQ(block[4 + 1537], 5);
    EXPECT_EQ(block[4 + 2 * 1537], 6);
}

TEST(FramePayload, NoFrameOrNoMarkedFrameGivesNoPayload) {
    TAnimation animation;
    FillAnimation(animation, 2);
    EXPECT_TRUE(animation.SelectedFramesPayload().isEmpty());
    EXPECT_TRUE(animation.FramePayload(7).isEmpty());
    EXPECT_TRUE(animation.FramePayload(-1).isEmpty());
}

TEST(FramePayload, PasteInsertsEntriesBeforeTheIndex) {
    const QByteArray block = EncodeClipboardBlock(Entry(7, 100) + Entry(8, 101) + Entry(9, 102));
    TAnimation animation;
    FillAnimation(animation, {1, 2, 3, 4});
    ASSERT_TRUE(PasteBlock(animation, 2, block));
    EXPECT_EQ(Durations(animation), (std::vector<int>{1, 2, 7, 8, 9, 3, 4}));
    EXPECT_EQ(Marker(animation.Frame(3)), 101);
    EXPECT_EQ(animation.Frame(5).StartTime(), 27);
    for (int i = 0; i < animation.FrameCount(); ++i)
        EXPECT_TRUE(CellMatchesPixels(animation, i)) << "frame " << i;

    TAnimation empty;
    ASSERT_TRUE(PasteBlock(empty, -1, block));
    EXPECT_EQ(Durations(empty), (std::vector<int>{7, 8, 9}));
    EXPECT_FALSE(PasteBlock(empty, -2, block));
    EXPECT_FALSE(PasteBlock(empty, 9, block));
    EXPECT_EQ(empty.FrameCount(), 3);
}

// A paste that does not fit whole is refused whole: a failed paste leaves the
// document as it was.
TEST(FramePayload, APasteThatDoesNotFitIsRefusedWhole) {
    const QByteArray block = EncodeClipboardBlock(Entry(7, 0) + Entry(8, 1));
    TAnimation animation;
    FillAnimation(animation, MaxDocumentFrames - 1);
    const auto times = Times(animation);
    EXPECT_FALSE(PasteBlock(animation, -1, block));
    EXPECT_EQ(Times(animation), times);

    TAnimation roomForTwo;
    FillAnimation(roomForTwo, MaxDocumentFrames - 2);
    ASSERT_TRUE(PasteBlock(roomForTwo, 0, block));
    EXPECT_EQ(roomForTwo.FrameCount(), MaxDocumentFrames);
    EXPECT_EQ(roomForTwo.Frame(1).Duration(), 8);
}

TEST(FramePayload, BrokenBlocksAreRefusedBeforeTheirLengthIsTrusted) {
    struct Case {
        QByteArray block;
        const char* message;
    };
    QByteArray hugeLength(4 + 10, '\0');
    qToLittleEndian<quint32>(0xFFFFFFF0u, hugeLength.data());
    QByteArray oneShort = EncodeClipboardBlock(Entry(1, 0));
    oneShort.chop(1);
    // Whole blocks whose last entry is cut short: broken data, not a short paste.
    QByteArray shortEntry = Entry(5, 0) + Entry(6, 10);
    shortEntry.chop(1000);
    const Case cases[] = {
        {QByteArray(), "Invalid data in Clipboard!"},
        {QByteArray("\x01\x00", 2), "Invalid data in Clipboard!"},
        {hugeLength, "Invalid data in Clipboard!"},
        {oneShort, "Invalid data in Clipboard!"},
        {EncodeClipboardBlock(shortEntry), "Invalid data in Clipboard!"},
        {EncodeClipboardBlock(Entry(5, 0).left(1)), "Invalid data in Clipboard!"},
    };
    for (const Case& c : cases) {
        TAnimation animation;
        FillAnimation(animation, 2);
        try {
            PasteBlock(animation, 0, c.block);
            ADD_FAILURE() << "no error for " << c.block.size() << " bytes";
        } catch (const EBinClipboardError& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
        EXPECT_EQ(animation.FrameCount(), 2);
    }
}

TEST(FramePayload, ALargerBlockIsReadUpToItsLengthField) {
    TAnimation animation;
    ASSERT_TRUE(
        PasteBlock(animation, -1, EncodeClipboardBlock(Entry(6, 3)) + QByteArray(4000, '\x55')));
    EXPECT_EQ(Durations(animation), (std::vector<int>{6}));
}

TEST(FramePayload, PixelBytesAreKeptAsTheyArriveAndOnlyOnePaintsBlack) {
    QByteArray entry = Entry(1, 0);
    entry[1 + 1] = 8;
    entry[1 + 2] = '\xFF';
    TAnimation animation;
    ASSERT_TRUE(animation.InsertFramePayload(-1, entry));
    EXPECT_EQ(animation.Frame(0).Pixels[1], 8);
    EXPECT_EQ(animation.Frame(0).Pixels[2], 0xFF);
    EXPECT_TRUE(CellMatchesPixels(animation, 0));
}
