#include "cliRun.h"
#include "modelFixtures.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

using Result = CliResult;

class CliExportAnimation : public ::testing::Test {
protected:
    TempFolder folder;
    // Three frames, frame i with dot (i, 0) lit; durations 2, 0 and 5 ticks.
    QString walk = folder.Write("walk.lcd", LCDBytes({2, 0, 5}, 4));
};

} // namespace

TEST_F(CliExportAnimation, TheOutputNameChoosesTheFormatAndEveryNameWrittenIsPrinted) {
    struct Case {
        QString out;
        QStringList written;
    };
    const Case cases[] = {
        {"walk.gif", {"walk.gif"}},
        {"sheet.PNG", {"sheet.PNG"}},
        {"walk.h", {"walk.h"}},
        {"frames/", {"frames/walk_000.png", "frames/walk_001.png", "frames/walk_002.png"}},
    };
    for (const Case& c : cases) {
        const Result result = RunCli({"export-animation", walk, folder.Path(c.out)});
        EXPECT_EQ(result.status, 0) << result.err;
        std::string expected;
        for (const QString& name : c.written)
            expected += QDir::cleanPath(folder.Path(name)).toStdString() + "\n";
        EXPECT_EQ(result.out, expected);
    }
    EXPECT_TRUE(ReadFile(folder.Path("walk.gif")).startsWith("GIF89a"));
    EXPECT_EQ(QImage(folder.Path("sheet.PNG")).size(), QSize(144, 32));
    EXPECT_TRUE(ReadFile(folder.Path("walk.h")).contains("#define WALK_FRAME_COUNT 3\n"));
    const QImage last(folder.Path("frames/walk_002.png"));
    ASSERT_EQ(last.size(), QSize(48, 32));
    EXPECT_EQ(last.pixel(2, 0), 0xFF000000);
    EXPECT_EQ(last.pixel(1, 0), 0xFFFFFFFF);

    // An existing folder takes frames too, named after the animation.
    const Result again = RunCli({"export-animation", walk, folder.Path("frames")});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(QString::fromStdString(again.out).count('\n'), 3);
}

TEST_F(CliExportAnimation, ScaleColumnsColoursAndSpeedReachTheFiles) {
    const Result sheet = RunCli({"export-animation", walk, folder.Path("grid.png"), "--scale", "2",
                                 "--columns", "2", "--colors", "#ff0000,#00ff00"});
    ASSERT_EQ(sheet.status, 0) << sheet.err;
    const QImage grid(folder.Path("grid.png"));
    ASSERT_EQ(grid.size(), QSize(192, 128));
    EXPECT_EQ(grid.pixel(96 + 2, 1), qRgb(255, 0, 0)); // frame 1's dot (1, 0) at scale 2
    EXPECT_EQ(grid.pixel(96 + 4, 1), qRgb(0, 255, 0));
    EXPECT_EQ(grid.pixel(4, 64 + 1), qRgb(255, 0, 0));        // frame 2 starts the second row
    EXPECT_EQ(grid.pixel(96 + 10, 64 + 10), qRgb(0, 255, 0)); // the empty cell

    ASSERT_EQ(
        RunCli({"export-animation", walk, folder.Path("slow.gif"), "--fps", "4", "--colors", "lcd"})
            .status,
        0);
    QImageReader reader(folder.Path("slow.gif"));
    std::vector<int> delays;
    while (reader.canRead() && !reader.read().isNull())
        delays.push_back(reader.nextImageDelay());
    // 250 ms ticks; the frame of 0 ticks shows for one.
    EXPECT_EQ(delays, (std::vector<int>{500, 250, 1250}));
}

TEST_F(CliExportAnimation, BadArgumentsSayWhatIsWrongAndWriteNothing) {
    const std::pair<QStringList, std::string> cases[] = {
        {{"--scale", "17"}, "Bad value for --scale: 17 (use 1 to 16)\n"},
        {{"--scale", "x"}, "Bad value for --scale: x (use 1 to 16)\n"},
        {{"--columns", "-1"}, "Bad value for --columns: -1 (use 0 to 324, 0 for one row)\n"},
        {{"--fps", "0"}, "Bad value for --fps: 0 (use 1 to 1000)\n"},
        {{"--colors", "red"},
         "Bad value for --colors: red (use LIT,UNLIT such as #000000,#ffffff, or lcd)\n"},
        {{"--colors", "red,nocolour"},
         "Bad value for --colors: red,nocolour (use LIT,UNLIT such as #000000,#ffffff, or lcd)\n"},
        {{"--speed", "2"}, "Unknown option for export-animation: --speed\n"},
        {{"--scale"}, "Missing value for --scale\n"},
        {{"--rotate", "90"},
         "Bad value for --rotate: 90 (only 180 is offered: it turns every frame upside down)\n"},
        {{"--rotate", "0"},
         "Bad value for --rotate: 0 (only 180 is offered: it turns every frame upside down)\n"},
        {{"--durations", ""}, "Bad value for --durations: it needs a file name\n"},
        {{"--durations"}, "Missing value for --durations\n"},
        {{"extra"}, "export-animation needs an animation and an output name\n"},
    };
    for (const auto& [options, message] : cases) {
        const Result result =
            RunCli(QStringList{"export-animation", walk, folder.Path("out.gif")} + options);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, message);
        EXPECT_EQ(result.out, "");
    }
    const Result unknown = RunCli({"export-animation", walk, folder.Path("out.bmp")});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err, "Unable to tell what to write as out.bmp: name a .gif, a .png sheet, "
                           "a .h header, a .bin of raw frames or a folder for PNG frames\n");
    const Result missing =
        RunCli({"export-animation", folder.Path("none.lcd"), folder.Path("o.gif")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "Unable to open none.lcd: No such file or directory\n");
    EXPECT_EQ(QDir(folder.Path("")).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{"walk.lcd"});

    // The table may not replace the animation it comes from.
    const Result same =
        RunCli({"export-animation", walk, folder.Path("out.bin"), "--durations", walk});
    EXPECT_EQ(same.status, 1);
    EXPECT_EQ(same.err, "Unable to write walk.lcd: it is the animation being exported\n");
    EXPECT_EQ(ReadFile(walk), LCDBytes({2, 0, 5}, 4));
    EXPECT_FALSE(QFile::exists(folder.Path("out.bin")));
}

TEST_F(CliExportAnimation, AFailedWriteExitsWithTheReason) {
    folder.Write("taken", "a file, not a folder");
    const std::pair<QStringList, const char*> cases[] = {
        {{folder.Path("taken/walk.gif")}, "walk.gif"},
        {{folder.Path("taken/walk.bin")}, "walk.bin"},
        {{folder.Path("taken/walk.bin"), "--durations", folder.Path("walk.txt")}, "walk.bin"},
    };
    for (const auto& [arguments, name] : cases) {
        const Result result = RunCli(QStringList{"export-animation", walk} + arguments);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind(std::string("Unable to write ") + name + ": ", 0), 0u)
            << result.err;
    }
    // The frames were written, the table could not be: the names written are
    // printed, then why it stopped.
    const Result table = RunCli({"export-animation", walk, folder.Path("walk.bin"), "--durations",
                                 folder.Path("taken/walk.txt")});
    EXPECT_EQ(table.status, 1);
    EXPECT_EQ(table.out, folder.Path("walk.bin").toStdString() + "\n");
    EXPECT_EQ(table.err.rfind("Unable to write walk.txt: ", 0), 0u) << table.err;
    EXPECT_EQ(QDir(folder.Path("")).entryList(QDir::Files),
              (QStringList{"taken", "walk.bin", "walk.lcd"}));
}

// Frame i of walk.lcd has dot (i, 0) lit: bit 7 - i of the frame's first byte,
// or, turned upside down, dot (47 - i, 31): bit i of its last byte.
TEST_F(CliExportAnimation, RawFramesTurnedOrNotWithTheirDurations) {
    const Result plain = RunCli({"export-animation", walk, folder.Path("walk.bin")});
    ASSERT_EQ(plain.status, 0) << plain.err;
    QByteArray expected(3 * 192, '\0');
    for (int i = 0; i < 3; ++i)
        expected[i * 192] = static_cast<char>(0x80 >> i);
    EXPECT_EQ(ReadFile(folder.Path("walk.bin")).toHex(), expected.toHex());

    const Result turned = RunCli({"export-animation", walk, folder.Path("card.bin"), "--rotate",
                                  "180", "--durations", folder.Path("card.txt")});
    ASSERT_EQ(turned.status, 0) << turned.err;
    EXPECT_EQ(turned.out,
              (folder.Path("card.bin") + "\n" + folder.Path("card.txt") + "\n").toStdString());
    expected.fill('\0');
    for (int i = 0; i < 3; ++i)
        expected[i * 192 + 191] = static_cast<char>(1 << i);
    EXPECT_EQ(ReadFile(folder.Path("card.bin")).toHex(), expected.toHex());
    EXPECT_EQ(ReadFile(folder.Path("card.txt")), "2\n0\n5\n");

    // The pictures and the header turn too: frame 2's dot (2, 0) moves to (45, 31).
    ASSERT_EQ(RunCli({"export-animation", walk, folder.Path("frames/"), "--rotate", "180"}).status,
              0);
    const QImage last(folder.Path("frames/walk_002.png"));
    EXPECT_EQ(last.pixel(45, 31), 0xFF000000);
    EXPECT_EQ(last.pixel(2, 0), 0xFFFFFFFF);
    ASSERT_EQ(RunCli({"export-animation", walk, folder.Path("card.h"), "--rotate", "180"}).status,
              0);
    const QByteArray header = ReadFile(folder.Path("card.h"));
    EXPECT_TRUE(header.contains("0x00, 0x00, 0x00, 0x01,\n    },\n    { /* frame 1 */"))
        << header.toStdString();
}
