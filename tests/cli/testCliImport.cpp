#include "cliRun.h"
#include "frameBitmapFile.h"
#include "modelFixtures.h"
#include "pictureFixtures.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <gtest/gtest.h>
#include <sstream>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

using Result = CliResult;

// 32 lines whose first `lit` characters are '#'.
std::string LitColumns(int lit) {
    std::string frame;
    for (int y = 0; y < FrameHeight; ++y)
        frame += std::string(static_cast<std::size_t>(lit), '#') +
                 std::string(static_cast<std::size_t>(FrameWidth - lit), '.') + "\n";
    return frame;
}

class CliImport : public ::testing::Test {
protected:
    CliImport() {
        // 96 x 64: black left half, white right half.
        QImage halves = Filled(96, 64, qRgb(255, 255, 255));
        QPainter(&halves).fillRect(0, 0, 48, 64, Qt::black);
        picture = folder.Write("halves.png", PictureBytes(halves, "png"));
    }

    TempFolder folder;
    QString picture;
    QString walk = folder.Write("walk.lcd", LCDBytes({2, 0, 5}, 4));
};

} // namespace

TEST_F(CliImport, PrintsTheFrameForEachSetting) {
    struct Case {
        QStringList options;
        int litColumns;
    };
    const Case cases[] = {
        {{}, 48},                       // 100%, window at 0,0: all black
        {{"--window", "30,0"}, 18},     // 18 columns left of the middle
        {{"--window", "1000,1000"}, 0}, // held inside: the white right edge
        {{"--scale", "50"}, 24},        // 48 x 32, half black
        {{"--scale", "50%", "--method", "bayer"}, 24},
        {{"--scale", "fit", "--method", "quant"}, 24},
        {{"--method", "quant", "--threshold", "0"}, 0}, // threshold 0: all white
    };
    for (const Case& c : cases) {
        const Result result = RunCli(QStringList{"import", picture} + c.options);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, LitColumns(c.litColumns)) << c.options.join(' ').toStdString();
    }
}

TEST_F(CliImport, AppendAddsTheLastFrameAndSavesAsConvertDoes) {
    const Result created = RunCli({"import", picture, "--append", folder.Path("new")});
    ASSERT_EQ(created.status, 0) << created.err;
    EXPECT_EQ(created.out, (folder.Path("new.LCD") + "\n").toStdString());
    const Result again =
        RunCli({"import", picture, "--scale", "50", "--append", folder.Path("new")});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(RunCli({"info", folder.Path("new.LCD")}).out.substr(10, 20),
              "repeat: 1\nframes: 2\n");
    EXPECT_EQ(RunCli({"frame", folder.Path("new.LCD"), "1"}).out, LitColumns(24));

    ASSERT_EQ(RunCli({"import", picture, "--append", walk}).status, 0);
    EXPECT_EQ(RunCli({"frame", walk, "3"}).out, LitColumns(48));
    EXPECT_EQ(RunCli({"info", walk}).out.substr(10, 20), "repeat: 4\nframes: 4\n");
}

TEST_F(CliImport, ExportWritesTheFrameAsTheBmp) {
    const Result result = RunCli({"export", walk, "2", folder.Path("frame")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, (folder.Path("frame.bmp") + "\n").toStdString());
    FramePixels expected{};
    expected[static_cast<std::size_t>(PixelIndex(2, 0))] = 1; // frame 2 of walk
    EXPECT_EQ(ReadFile(folder.Path("frame.bmp")), FrameBitmapBytes(expected));

    // The extension names the format; a name that names none gets ".bmp".
    struct Case {
        const char* name;
        const char* written;
        const char* format;
    };
    for (const Case& c :
         {Case{"frame.png", "frame.png", "png"}, Case{"shot.PNG", "shot.PNG", "png"},
          Case{"frame.Bmp", "frame.Bmp", "bmp"}, Case{"frame.txt", "frame.txt.bmp", "bmp"}}) {
        const Result typed = RunCli({"export", walk, "2", folder.Path(c.name)});
        ASSERT_EQ(typed.status, 0) << c.name << ": " << typed.err;
        EXPECT_EQ(typed.out, (folder.Path(c.written) + "\n").toStdString()) << c.name;
        QImageReader reader(folder.Path(c.written));
        EXPECT_EQ(reader.format(), c.format) << c.name;
        const QImage picture = reader.read();
        ASSERT_EQ(picture.size(), QSize(48, 32)) << c.name;
        EXPECT_EQ(picture.pixel(2, 0), qRgb(0, 0, 0)) << c.name;
        EXPECT_EQ(picture.pixel(3, 0), qRgb(255, 255, 255)) << c.name;
    }
    EXPECT_FALSE(QFileInfo::exists(folder.Path("frame.txt")));
}

TEST_F(CliImport, BadInputGivesItsMessageAndStatusOne) {
    struct Case {
        QStringList arguments;
        std::string err; // the start of the message
    };
    const QString broken = folder.Write("broken.jpg", JpegBytes(Grey(64, 64, 9)).left(200));
    const Case cases[] = {
        {{"import", folder.Path("missing.png")}, "Unable to open missing.png"},
        {{"import", broken}, "Unable to open broken.jpg: "},
        {{"import", picture, "--scale", "0"},
         "Invalid scale factor - must be between 1% and 100%."},
        {{"import", picture, "--scale", "150"}, "Invalid scale factor - must be between 1% and"},
        {{"import", picture, "--threshold", "256"},
         "Invalid threshold value - must be between 0 and 255."},
        {{"import", picture, "--threshold", "x"}, "Invalid threshold value"},
        {{"import", picture, "--method", "median"}, "Unknown dither method: median"},
        {{"import", picture, "--window", "3"}, "Invalid window position: 3"},
        {{"import", picture, "--scale"}, "Missing value for --scale"},
        {{"import", picture, "--zoom", "2"}, "Unknown option for import: --zoom"},
        {{"import"}, "Wrong number of arguments for import"},
        {{"import", picture, "--append", broken}, "Unable to open broken.jpg"},
        {{"export", walk, "3", folder.Path("x.bmp")}, "No frame 3: frames are numbered 0 to 2"},
        {{"export", folder.Path("missing.lcd"), "0", folder.Path("x.bmp")},
         "Unable to open missing.lcd"},
        {{"export", walk, "0", folder.Path("no/such/folder/x.bmp")}, "Unable to write x.bmp: "},
        {{"export", walk, "0"}, "Wrong number of arguments for export"},
    };
    for (const Case& c : cases) {
        const Result result = RunCli(c.arguments);
        const std::string label = c.arguments.join(' ').toStdString();
        EXPECT_EQ(result.status, 1) << label;
        EXPECT_EQ(result.out, "") << label;
        EXPECT_EQ(result.err.substr(0, c.err.size()), c.err) << label << ": " << result.err;
    }
    EXPECT_FALSE(QFileInfo::exists(folder.Path("x.bmp")));
}
