#include "modelFixtures.h"
#include "unitVMSFile.h"

#include <QBuffer>
#include <QFile>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray bytes;
    for (const int v : values)
        bytes.append(static_cast<char>(v));
    return bytes;
}

// A 192-byte bitmap with the given byte at offset 0 and a tag byte at the end.
QByteArray Bitmap(int firstByte, int tag = 0) {
    QByteArray bits(VMSBitmapSize, '\0');
    bits[0] = static_cast<char>(firstByte);
    bits[VMSBitmapSize - 1] = static_cast<char>(tag);
    return bits;
}

// A file whose animation data start at offset 0x20, announced by the markers.
QByteArray WithData(const QByteArray& data) {
    QByteArray file = Bytes({0x01, 0x22, 0x60, 0x00, 0x05, 0x22, 0x61, 0x20});
    file.append(QByteArray(0x20 - file.size(), '\x07'));
    return file + data;
}

QByteArray Command(int opcode, int byte1, int position) {
    return Bytes({opcode, byte1, position >> 8, position & 0xFF});
}

std::uint16_t DataStart(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return TVMSFile::FindDataStart(buffer);
}

bool Load(TAnimation& animation, const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return animation.LoadVMS(buffer);
}

QByteArray Scripted(const std::vector<QByteArray>& commands, int bitmaps, int repeat = 2) {
    QByteArray data = Bytes({0, 1, repeat, 0, static_cast<int>(commands.size())});
    for (const QByteArray& command : commands)
        data += command;
    for (int i = 0; i < bitmaps; ++i)
        data += Bitmap(0, i + 1);
    return WithData(data);
}

constexpr int FrameBase = 5; // five header bytes before the commands
int BitmapPosition(int commands, int bitmap) {
    return FrameBase + 4 * commands + 192 * bitmap;
}

int Tag(const TFrame& frame) {
    int tag = 0;
    for (int x = 40; x < 48; ++x)
        tag = tag << 1 | (frame.Pixels[PixelIndex(x, 31)] == 1);
    return tag;
}

} // namespace

TEST(VMSDataStart, MarkersGiveTheHighAndLowBytes) {
    const std::pair<QByteArray, int> cases[] = {
        {Bytes({0x22, 0x60, 0x12, 0x00, 0x22, 0x61, 0x34}), 0x1234},
        {Bytes({0x99, 0x22, 0x61, 0x34}), 0x0034},
        {Bytes({0x22, 0x60, 0x12}), 0x1200},
        {Bytes({0x22, 0x22, 0x61, 0x34}), 0},
        {Bytes({0x22, 0x61, 0x34, 0x22, 0x60, 0x12}), 0x0034},
        {Bytes({0x22, 0x60, 0x12, 0x22, 0x60, 0x13, 0x22, 0x61, 0x01}), 0x1301},
        {Bytes({0x22, 0x60}), 0},
        {QByteArray(), 0},
    };
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(DataStart(bytes), expected) << bytes.toHex(' ').constData();
    // A marker split across the reader's blocks is still found.
    QByteArray far(64 * 1024 - 1, '\0');
    far += Bytes({0x22, 0x61, 0x42});
    EXPECT_EQ(DataStart(far), 0x42);
}

TEST(VMSPlainLayout, FrameTableGivesDurationsBitmapsAndDrawCommands) {
    QByteArray data = Bytes({3, 2, 2, 0x00, 0x20, 3, 0x00, 0xE0});
    data += QByteArray(0x20 - data.size(), '\0') + Bitmap(0x80);
    data += QByteArray(0xE0 - data.size(), '\0') + Bitmap(0x01);
    TAnimation animation;
    ASSERT_TRUE(Load(animation, WithData(data)));
    EXPECT_EQ(animation.SourceKind, SourceVMSPlain);
    EXPECT_EQ(animation.RepeatCount, 3);
    EXPECT_EQ(Times(animation), (std::vector<std::pair<int, int>>{{0, 2}, {2, 5}}));
    EXPECT_EQ(animation.Frame(0).Pixels[PixelIndex(0, 0)], 1);
    EXPECT_EQ(std::count(animation.Frame(0).Pixels.begin(), animation.Frame(0).Pixels.end(), 1), 1);
    EXPECT_EQ(animation.Frame(1).Pixels[PixelIndex(7, 0)], 1);
    EXPECT_TRUE(CellMatchesPixels(animation, 1));
    animation.BuildScript();
    EXPECT_EQ(animation.ScriptText, QStringList({"draw_frame(1);", "draw_frame(2);"}));
}

TEST(VMSPlainLayout, BrokenFilesFailAndLeaveTheAnimation) {
    const QByteArray cases[] = {
        Bytes({0x00, 0x01}),                                          // no marker
        WithData(QByteArray()),                                       // nothing at the data start
        WithData(Bytes({3})),                                         // no frame count
        WithData(Bytes({3, 1, 2, 0x00})),                             // cut table
        WithData(Bytes({3, 1, 2, 0x00, 0x05}) + Bitmap(0).left(100)), // short bitmap
        WithData(Bytes({3, 1, 2, 0x7F, 0xFF})),                       // bitmap past the end
        WithData(Bytes({0})),                                         // scripted, cut after 0
        WithData(Bytes({0, 1, 2, 0})),                                // cut command count
        WithData(Bytes({0, 1, 2, 0, 2}) + Command(0, 1, 0)),          // cut command list
    };
    for (const QByteArray& bytes : cases) {
        TAnimation animation;
        FillAnimation(animation, {4, 5});
        animation.RepeatCount = 9;
        EXPECT_FALSE(Load(animation, bytes)) << bytes.toHex(' ').constData();
        EXPECT_EQ(Durations(animation), (std::vector<int>{4, 5}));
        EXPECT_EQ(animation.RepeatCount, 9);
        EXPECT_EQ(animation.SourceKind, SourceNone);
    }
}

TEST(VMSPlainLayout, UnknownDataOrNoFramesLoadAsAnEmptyAnimation) {
    for (const QByteArray& bytes : {WithData(Bytes({0, 2, 1})), WithData(Bytes({5, 0}))}) {
        TAnimation animation;
        FillAnimation(animation, 2);
        ASSERT_TRUE(Load(animation, bytes));
        EXPECT_EQ(animation.FrameCount(), 0);
        EXPECT_EQ(animation.CommandCount(), 0);
    }
}

TEST(VMSScriptedLayout, DrawFramesPickBitmapsByPositionAndRenumber) {
    const int n = 2;
    TAnimation animation;
    ASSERT_TRUE(Load(animation, Scripted({Command(0, 5, BitmapPosition(n, 2)),
                                          Command(0, 2, BitmapPosition(n, 0) + 100)},
                                         3)));
    EXPECT_EQ(animation.SourceKind, SourceVMSScripted);
    EXPECT_EQ(animation.RepeatCount, 2);
    EXPECT_EQ(Durations(animation), (std::vector<int>{2, 0, 5}));
    EXPECT_EQ(Tag(animation.Frame(0)), 1);
    EXPECT_EQ(Tag(animation.Frame(2)), 3);
    animation.BuildScript();
    EXPECT_EQ(animation.ScriptText, QStringList({"draw_frame(3);", "draw_frame(1);"}));
}

TEST(VMSScriptedLayout, UndrawnTrailingBitmapsAreDroppedAndOneFrameAlwaysStays) {
    struct Case {
        std::vector<QByteArray> commands;
        int bitmaps;
        std::vector<int> durations;
    };
    const Case cases[] = {
        {{Command(0, 4, BitmapPosition(2, 0)), Command(0, 6, BitmapPosition(2, 1))}, 5, {4, 6}},
        {{Command(208, 9, 0)}, 3, {0}},
        {{}, 0, {0}},
    };
    for (const Case& c : cases) {
        TAnimation animation;
        ASSERT_TRUE(Load(animation, Scripted(c.commands, c.bitmaps)));
        EXPECT_EQ(Durations(animation), c.durations);
    }
}

TEST(VMSScriptedLayout, DrawsOfMissingBitmapsTouchNoFrame) {
    // Enough commands that the bitmaps start past offset 192, so a position near
    // the data start gives the index -1.
    const int n = 50;
    std::vector<QByteArray> commands = {Command(0, 7, 5), Command(0, 8, BitmapPosition(n, 2)),
                                        Command(0, 3, BitmapPosition(n, 1))};
    while (static_cast<int>(commands.size()) < n)
        commands.push_back(Command(208, 1, 0));
    TAnimation animation;
    ASSERT_TRUE(Load(animation, Scripted(commands, 2)));
    EXPECT_EQ(Durations(animation), (std::vector<int>{0, 3}));
    animation.BuildScript();
    EXPECT_EQ(animation.ScriptText.mid(0, 4),
              QStringList({"draw_frame(0);", "draw_frame(0);", "draw_frame(2);", "delay(1);"}));
}

TEST(VMSScriptedLayout, ReadingStopsAtTheFrameLimit) {
    const int n = 1;
    TAnimation animation;
    const QByteArray file = Scripted({Command(0, 1, BitmapPosition(n, 299))}, 300);
    ASSERT_TRUE(Load(animation, file));
    // The draw of bitmap 299 names a bitmap past the 255 read: it draws nothing.
    EXPECT_EQ(animation.FrameCount(), 1);
    TAnimation last;
    ASSERT_TRUE(Load(last, Scripted({Command(0, 9, BitmapPosition(n, 254))}, 300)));
    EXPECT_EQ(last.FrameCount(), 255);
    EXPECT_EQ(last.Frame(254).Duration(), 9);
}

TEST(VMSScriptedLayout, ScriptCommandsAreKeptWithTheOpcodeInTheLowByte) {
    TAnimation animation;
    ASSERT_TRUE(Load(animation, Scripted({Command(32, 0x31, 0), Command(64, 0, 0)}, 1) +
                                    QByteArray(100, '\0'))); // trailing piece ignored
    ASSERT_EQ(animation.CommandCount(), 2);
    EXPECT_EQ(animation.Commands()[0].Value, 0x00003120u);
    EXPECT_EQ(animation.FrameCount(), 1);
    animation.BuildScript();
    EXPECT_EQ(animation.ScriptText,
              QStringList({"", "LABEL1:", "until_buttons_wait(ABU);", "goto(LABEL1);"}));
}

// No file on a memory card is larger than the card's 128 KiB; a larger one (a
// sparse 4 GB file, say) is refused before it is scanned, with the reason.
TEST(VMSFileSize, FilesLargerThanAMemoryCardAreRefusedUnread) {
    QByteArray data = Bytes({3, 1, 2, 0x00, 0x05});
    data += Bitmap(0x80);
    const QByteArray animation = WithData(data);
    TempFolder folder;
    const struct {
        const char* name;
        qint64 size;
        bool loads;
    } cases[] = {
        {"card.vms", TVMSFile::MaxFileSize, true},
        {"larger.vms", TVMSFile::MaxFileSize + 1, false},
        {"sparse.vms", qint64{4} << 30, false},
    };
    for (const auto& c : cases) {
        const QString path = folder.Write(c.name, animation);
        ASSERT_TRUE(QFile::resize(path, c.size)) << c.name; // zeros after the animation
        TAnimation loaded;
        QString reason;
        EXPECT_EQ(loaded.LoadFromFile(path, &reason), c.loads) << c.name;
        if (c.loads) {
            EXPECT_EQ(loaded.FrameCount(), 1);
            continue;
        }
        EXPECT_EQ(reason.toStdString(), "the file is larger than the 128 KiB a memory card holds");
        // The reader refuses such a stream too.
        QBuffer buffer;
        buffer.setData(animation + QByteArray(TVMSFile::MaxFileSize, '\0'));
        buffer.open(QIODevice::ReadOnly);
        TVMSFile file;
        EXPECT_FALSE(file.LoadFromStream(buffer));
    }
}

// What stops a document from opening is told; a file that is read but holds no
// animation leaves the reason empty.
TEST(AnimationFiles, LoadingSaysWhyAFileCouldNotBeRead) {
    TempFolder folder;
    ASSERT_TRUE(MakeFifo(folder.Path("x.lcd")));
    const struct {
        QString name;
        const char* reason;
    } cases[] = {
        {folder.Path("x.lcd"), "not a regular file"},
        {folder.Path("missing.vms"), "No such file or directory"},
        {folder.Write("broken.lcd", "LCDi"), ""},
    };
    for (const auto& c : cases) {
        TAnimation animation;
        QString reason = QStringLiteral("left over");
        EXPECT_FALSE(animation.LoadFromFile(c.name, &reason));
        EXPECT_EQ(reason.toStdString(), c.reason);
        TAnimation target;
        EXPECT_FALSE(target.InsertAnimation(-1, c.name, &reason));
        EXPECT_EQ(reason.toStdString(), c.reason);
    }
}
