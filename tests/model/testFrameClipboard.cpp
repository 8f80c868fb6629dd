#include "modelFixtures.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

QByteArray ClipboardBlock() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data ? data->data(FrameClipboardFormat) : QByteArray();
}

void PutBlock(const QByteArray& block) {
    auto* data = new QMimeData;
    data->setData(FrameClipboardFormat, block);
    QGuiApplication::clipboard()->setMimeData(data);
}

QByteArray Entry(int duration, int litPixel) {
    QByteArray entry(1 + FramePixelCount, '\0');
    entry[0] = static_cast<char>(duration);
    entry[1 + litPixel] = 1;
    return entry;
}

class FrameClipboard : public ::testing::Test {
protected:
    void SetUp() override { QGuiApplication::clipboard()->clear(); }
};

} // namespace

TEST_F(FrameClipboard, CopiesPutTheLengthThenEntriesInFrameOrder) {
    TAnimation animation;
    FillAnimation(animation, {3, 4, 5, 6});
    animation.CopyFrame(1);
    QByteArray block = ClipboardBlock();
    ASSERT_EQ(block.size(), 4 + 1537);
    EXPECT_EQ(qFromLittleEndian<quint32>(block.constData()), 1537u);
    EXPECT_EQ(block[4], 4);
    EXPECT_EQ(block[4 + 1 + 1], 1); // frame 1's marker pixel

    animation.Frame(3).SetSelected(true);
    animation.Frame(0).SetSelected(true);
    animation.Frame(2).SetSelected(true);
    animation.CopySelectedFrames();
    block = ClipboardBlock();
    ASSERT_EQ(block.size(), 4 + 4611);
    EXPECT_EQ(qFromLittleEndian<quint32>(block.constData()), 4611u);
    EXPECT_EQ(block[4], 3);
    EXPECT_EQ(block[4 + 1537], 5);
    EXPECT_EQ(block[4 + 2 * 1537], 6);
}

TEST_F(FrameClipboard, CopyingNothingSelectedKeepsTheClipboard) {
    TAnimation animation;
    FillAnimation(animation, 2);
    animation.CopyFrame(0);
    const QByteArray before = ClipboardBlock();
    animation.CopySelectedFrames();
    animation.CopyFrame(7);
    EXPECT_EQ(ClipboardBlock(), before);
    QGuiApplication::clipboard()->setText(QStringLiteral("plain text"));
    EXPECT_FALSE(animation.CanPasteFrames());
    EXPECT_FALSE(animation.PasteFrames(0));
}

TEST_F(FrameClipboard, PasteInsertsEntriesBeforeTheIndex) {
    PutBlock(TBinClipboard::EncodeBlock(Entry(7, 100) + Entry(8, 101) + Entry(9, 102)));
    TAnimation animation;
    FillAnimation(animation, {1, 2, 3, 4});
    ASSERT_TRUE(animation.CanPasteFrames());
    ASSERT_TRUE(animation.PasteFrames(2));
    EXPECT_EQ(Durations(animation), (std::vector<int>{1, 2, 7, 8, 9, 3, 4}));
    EXPECT_EQ(Marker(animation.Frame(3)), 101);
    EXPECT_EQ(animation.Frame(5).StartTime(), 27);
    for (int i = 0; i < animation.FrameCount(); ++i)
        EXPECT_TRUE(CellMatchesPixels(animation, i)) << "frame " << i;

    TAnimation empty;
    ASSERT_TRUE(empty.PasteFrames(-1));
    EXPECT_EQ(Durations(empty), (std::vector<int>{7, 8, 9}));
    EXPECT_FALSE(empty.PasteFrames(-2));
    EXPECT_FALSE(empty.PasteFrames(9));
    EXPECT_EQ(empty.FrameCount(), 3);
}

// A paste that does not fit whole is refused whole: a failed paste leaves the
// document as it was.
TEST_F(FrameClipboard, APasteThatDoesNotFitIsRefusedWhole) {
    PutBlock(TBinClipboard::EncodeBlock(Entry(7, 0) + Entry(8, 1)));
    TAnimation animation;
    FillAnimation(animation, MaxDocumentFrames - 1);
    const auto times = Times(animation);
    EXPECT_FALSE(animation.PasteFrames(-1));
    EXPECT_EQ(Times(animation), times);

    TAnimation roomForTwo;
    FillAnimation(roomForTwo, MaxDocumentFrames - 2);
    ASSERT_TRUE(roomForTwo.PasteFrames(0));
    EXPECT_EQ(roomForTwo.FrameCount(), MaxDocumentFrames);
    EXPECT_EQ(roomForTwo.Frame(1).Duration(), 8);
}

TEST_F(FrameClipboard, CutAndPasteAtTheSameIndexRestoresTheAnimation) {
    TAnimation animation;
    FillAnimation(animation, {2, 3, 4});
    const auto times = Times(animation);
    animation.CutFrame(1);
    EXPECT_EQ(Durations(animation), (std::vector<int>{2, 4}));
    ASSERT_TRUE(animation.PasteFrames(1));
    EXPECT_EQ(Times(animation), times);
    EXPECT_EQ(Marker(animation.Frame(1)), 1);

    animation.Frame(0).SetSelected(true);
    animation.Frame(2).SetSelected(true);
    animation.CutSelectedFrames();
    EXPECT_EQ(Durations(animation), (std::vector<int>{3}));
    ASSERT_TRUE(animation.PasteFrames(1));
    EXPECT_EQ(Durations(animation), (std::vector<int>{3, 2, 4}));
}

TEST_F(FrameClipboard, BrokenBlocksAreRefusedBeforeTheirLengthIsTrusted) {
    struct Case {
        QByteArray block;
        const char* message;
    };
    QByteArray hugeLength(4 + 10, '\0');
    qToLittleEndian<quint32>(0xFFFFFFF0u, hugeLength.data());
    QByteArray oneShort = TBinClipboard::EncodeBlock(Entry(1, 0));
    oneShort.chop(1);
    // Whole blocks whose last entry is cut short: broken data, not a short paste.
    QByteArray shortEntry = Entry(5, 0) + Entry(6, 10);
    shortEntry.chop(1000);
    const Case cases[] = {
        {QByteArray(), "Invalid data in Clipboard!"},
        {QByteArray("\x01\x00", 2), "Invalid data in Clipboard!"},
        {hugeLength, "Invalid data in Clipboard!"},
        {oneShort, "Invalid data in Clipboard!"},
        {TBinClipboard::EncodeBlock(shortEntry), "Invalid data in Clipboard!"},
        {TBinClipboard::EncodeBlock(Entry(5, 0).left(1)), "Invalid data in Clipboard!"},
    };
    for (const Case& c : cases) {
        PutBlock(c.block);
        TAnimation animation;
        FillAnimation(animation, 2);
        try {
            animation.PasteFrames(0);
            ADD_FAILURE() << "no error for " << c.block.size() << " bytes";
        } catch (const EBinClipboardError& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
        EXPECT_EQ(animation.FrameCount(), 2);
    }
}

TEST_F(FrameClipboard, ALargerBlockIsReadUpToItsLengthField) {
    PutBlock(TBinClipboard::EncodeBlock(Entry(6, 3)) + QByteArray(4000, '\x55'));
    TAnimation animation;
    ASSERT_TRUE(animation.PasteFrames(-1));
    EXPECT_EQ(Durations(animation), (std::vector<int>{6}));
}

TEST_F(FrameClipboard, PixelBytesAreKeptAsTheyArriveAndOnlyOnePaintsBlack) {
    QByteArray entry = Entry(1, 0);
    entry[1 + 1] = 8;
    entry[1 + 2] = '\xFF';
    PutBlock(TBinClipboard::EncodeBlock(entry));
    TAnimation animation;
    ASSERT_TRUE(animation.PasteFrames(-1));
    EXPECT_EQ(animation.Frame(0).Pixels[1], 8);
    EXPECT_EQ(animation.Frame(0).Pixels[2], 0xFF);
    EXPECT_TRUE(CellMatchesPixels(animation, 0));
}
