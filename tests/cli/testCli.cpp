#include "cliRun.h"
#include "fileNames.h"
#include "frameBitmapFile.h"
#include "modelFixtures.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

using Result = CliResult;

class Cli : public ::testing::Test {
protected:
    TempFolder folder;
    QString walk = folder.Write("walk.lcd", LCDBytes({2, 0, 5}, 4));
    QString empty = folder.Write("empty.lcd", LCDBytes({}, 1));
};

} // namespace

TEST_F(Cli, InfoPrintsTheSixLines) {
    EXPECT_EQ(RunCli({"info", walk}).out, "source: 2\n"
                                          "repeat: 4\n"
                                          "frames: 3\n"
                                          "commands: 3\n"
                                          "durations: 2 0 5\n"
                                          "total: 7\n");
    const Result none = RunCli({"info", empty});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "source: 2\nrepeat: 1\nframes: 0\ncommands: 0\ndurations:\ntotal: 0\n");
}

TEST_F(Cli, ScriptAndFramePrintTheListingAndTheDots) {
    EXPECT_EQ(RunCli({"script", walk}).out, "draw_frame(1);\ndraw_frame(2);\ndraw_frame(3);\n");
    EXPECT_EQ(RunCli({"script", empty}).out, "");

    const Result frame = RunCli({"frame", walk, "2"}); // frame 2 has pixel (2, 0) lit
    ASSERT_EQ(frame.status, 0);
    std::string expected;
    for (int y = 0; y < FrameHeight; ++y)
        expected +=
            (y == 0 ? std::string("..#") + std::string(45, '.') : std::string(48, '.')) + "\n";
    EXPECT_EQ(frame.out, expected);
}

TEST_F(Cli, ConvertWritesAnLCDFileAndPrintsItsName) {
    const Result result = RunCli({"convert", walk, folder.Path("copy.vms")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, (folder.Path("copy.LCD") + "\n").toStdString());
    QByteArray original = ReadFile(walk);
    QByteArray written = ReadFile(folder.Path("copy.LCD"));
    EXPECT_EQ(written.size(), 56 + 3 * 1540);
    EXPECT_EQ(written.left(16 + 3 * 1540), original.left(16 + 3 * 1540));
}

TEST_F(Cli, FailuresGoToStandardErrorWithStatusOne) {
    struct Case {
        QStringList arguments;
        std::string err; // the start of the message
    };
    const QString broken = folder.Write("broken.lcd", LCDBytes({1}).left(100));
    // A folder where the output file should go.
    const QString taken = folder.Path("taken.lcd");
    ASSERT_TRUE(QDir().mkpath(taken));
    const Case cases[] = {
        {{"info", folder.Path("missing.lcd")},
         "Unable to open missing.lcd: No such file or directory\n"},
        {{"info", broken}, "Unable to open broken.lcd\n"},
        {{"script", folder.Write("picture.bmp", "BM")}, "Unable to open picture.bmp\n"},
        {{"frame", walk, "3"}, "No frame 3: frames are numbered 0 to 2\n"},
        {{"frame", walk, "x"}, "No frame x: frames are numbered 0 to 2\n"},
        {{"frame", empty, "0"}, "No frame 0: the animation has no frames\n"},
        {{"convert", empty, folder.Path("out.lcd")},
         "Unable to save out.lcd: the animation has no frames\n"},
        {{"convert", walk, folder.Path("no/such/folder/out")},
         "Unable to save out.LCD: No such file or directory\n"},
        {{"convert", walk, taken}, "Unable to save taken.lcd: "},
        {{"convert", walk, ""}, "Unable to save: the output file name is empty\n"},
        {{}, "Usage: vistrel-cli"},
        {{"play", walk}, "Unknown command: play"},
        {{"info"}, "Wrong number of arguments for info"},
        {{"frame", walk}, "Wrong number of arguments for frame"},
    };
    for (const Case& c : cases) {
        const Result result = RunCli(c.arguments);
        EXPECT_EQ(result.status, 1) << c.err;
        EXPECT_EQ(result.err.substr(0, c.err.size()), c.err);
        EXPECT_EQ(result.out, "") << c.err;
    }
    EXPECT_FALSE(QFile::exists(folder.Path("out.lcd")));
}

// A name with no file in it would become a hidden file: "dir/" gave dir/.LCD,
// "." gave ..LCD, an empty export name gave .bmp, and an empty --append was
// taken as no --append at all.
TEST_F(Cli, OutputNamesThatNameNoFileAreRefused) {
    const QString picture = folder.Write("dot.bmp", FrameBitmapBytes(FramePixels{}));
    ASSERT_TRUE(QDir().mkpath(folder.Path("dir")));
    const QString dir = folder.Path("dir") + "/";
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.Path("dir")));
    const std::string empty = "Unable to save: the output file name is empty\n";
    const auto folderName = [](const QString& name) {
        return "Unable to save " + name.toStdString() + ": the name is a folder's, not a file's\n";
    };
    struct Case {
        QStringList arguments;
        std::string err;
    };
    const Case cases[] = {
        {{"convert", walk, dir}, folderName(dir)},
        {{"convert", walk, "."}, folderName(".")},
        {{"convert", walk, ".."}, folderName("..")},
        {{"convert", walk, dir + ".."}, folderName(dir + "..")},
        {{"speed", walk, "50", dir}, folderName(dir)},
        {{"export", walk, "0", ""}, empty},
        {{"export", walk, "0", dir}, folderName(dir)},
        {{"export", walk, "0", "."}, folderName(".")},
        {{"import", picture, "--append", ""}, empty},
        {{"import", picture, "--append", dir}, folderName(dir)},
    };
    for (const Case& c : cases) {
        const Result result = RunCli(c.arguments);
        const std::string what = c.arguments.join(' ').toStdString();
        EXPECT_EQ(result.status, 1) << what;
        EXPECT_EQ(result.err, c.err) << what;
        EXPECT_EQ(result.out, "") << what;
    }
    QDir::setCurrent(before);
    // Nothing was written, in the folder or beside it.
    EXPECT_TRUE(QDir(folder.Path("dir"))
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
    EXPECT_EQ(
        QDir(folder.Path("")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        (QStringList{"dir", "dot.bmp", "empty.lcd", "walk.lcd"}));
}

// Bytes that are not valid UTF-8 would reach Qt's file classes as replacement
// characters, naming another file; the command line keeps them to the end.
TEST_F(Cli, NamesThatAreNotUtf8ReachTheFileSystemUnchanged) {
    const QByteArray dir = QFile::encodeName(QDir::cleanPath(folder.Path(".")));
    ASSERT_TRUE(QFile::copy(walk, folder.Path("caf\u00e9.lcd")));
    ASSERT_EQ(::rename(QFile::encodeName(folder.Path("caf\u00e9.lcd")).constData(),
                       (dir + "/caf\xe9.lcd").constData()),
              0);
    const QByteArray in = dir + "/caf\xe9.lcd";
    const QByteArray out = dir + "/out\xff.vms";
    const char* const argv[] = {"vistrel-cli", "convert", in.constData(), out.constData()};
    const QStringList arguments = CommandLineArguments(4, argv);
    ASSERT_EQ(arguments.size(), 3);
    EXPECT_EQ(arguments[0], QStringLiteral("convert"));

    const Result result = RunCli(arguments);
    ASSERT_EQ(result.status, 0) << result.err;
    // The name printed is the one written, byte for byte.
    EXPECT_EQ(result.out, (dir + "/out\xff.LCD\n").toStdString());
    struct stat status {};
    EXPECT_EQ(::stat((dir + "/out\xff.LCD").constData(), &status), 0);
    EXPECT_FALSE(QFile::exists(folder.Path("out\uFFFD.LCD")));
    const QByteArray written = dir + "/out\xff.LCD";
    const char* const info[] = {"vistrel-cli", "info", written.constData()};
    EXPECT_EQ(RunCli(CommandLineArguments(3, info)).out.substr(0, 10), "source: 2\n");
}

// After "--" a name that looks like an option is a name.
TEST_F(Cli, NamesAfterTheEndOfOptionsAreNeverOptions) {
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.Path(".")));
    ASSERT_TRUE(QFile::copy(walk, "--scale.lcd"));
    const QString picture = folder.Write("--window.bmp", FrameBitmapBytes(FramePixels{}));
    const Result info = RunCli({"info", "--", "--scale.lcd"});
    const Result convert = RunCli({"convert", "walk.lcd", "--", "--copy.lcd"});
    const Result import = RunCli({"import", "--method", "quant", "--", "--window.bmp"});
    const Result append = RunCli({"import", "--append", "--new.lcd", "--", "--window.bmp"});
    const Result sheet =
        RunCli({"export-animation", "--scale", "2", "--", "--scale.lcd", "--s.png"});
    const Result frame = RunCli({"export", "--", "--scale.lcd", "0", "--f.bmp"});
    QDir::setCurrent(before);
    EXPECT_EQ(info.out.substr(0, 20), "source: 2\nrepeat: 4\n") << info.err;
    EXPECT_EQ(convert.out, "--copy.lcd\n") << convert.err;
    EXPECT_EQ(import.status, 0) << import.err;
    std::string blank;
    for (int y = 0; y < FrameHeight; ++y)
        blank += std::string(FrameWidth, '.') + "\n";
    EXPECT_EQ(import.out, blank);
    EXPECT_EQ(append.out, "--new.lcd\n") << append.err;
    EXPECT_EQ(sheet.status, 0) << sheet.err;
    EXPECT_EQ(QImage(folder.Path("--s.png")).size(), QSize(2 * 48 * 3, 2 * 32));
    EXPECT_EQ(frame.out, "--f.bmp\n") << frame.err;
}

TEST_F(Cli, HelpAndVersionAnswerOnStandardOutput) {
    const Result help = RunCli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("convert IN OUT"), std::string::npos);
    const Result version = RunCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("vistrel-cli ", 0), 0u);
}

TEST_F(Cli, SpeedRescalesEveryDurationAsTheMenuDoes) {
    struct Case {
        const char* percent;
        std::string durations;
    };
    // A frame of 0 ticks becomes 1 at any other speed, and stays at 100%.
    const QString clip = folder.Write("clip.lcd", LCDBytes({1, 2, 3, 5, 200, 0}, 7));
    for (const Case& c : {Case{"200%", "1 1 2 2 100 1"}, Case{"200", "1 1 2 2 100 1"},
                          Case{"33%", "3 6 9 15 255 1"}, Case{"100", "1 2 3 5 200 0"},
                          Case{"100%", "1 2 3 5 200 0"}}) {
        const QString target = folder.Path("fast.lcd");
        const Result result = RunCli({"speed", clip, c.percent, target});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, (target + "\n").toStdString());
        const Result info = RunCli({"info", target});
        EXPECT_NE(info.out.find("durations: " + c.durations + "\n"), std::string::npos)
            << c.percent << "\n"
            << info.out;
        // Only the durations change: the repeat count and the pictures stay.
        EXPECT_NE(info.out.find("repeat: 7\n"), std::string::npos);
        EXPECT_EQ(RunCli({"frame", target, "4"}).out, RunCli({"frame", clip, "4"}).out);
    }
}

TEST_F(Cli, SpeedOutsideOneTo25500PercentWritesNothing) {
    for (const char* percent : {"0", "25501%", "-50", "fast", "150 %", "4294967346"}) {
        const Result result = RunCli({"speed", walk, percent, folder.Path("out.lcd")});
        EXPECT_EQ(result.status, 1) << percent;
        EXPECT_EQ(result.err, "Invalid speed factor - must be between 1% and 25500%.\n") << percent;
        EXPECT_EQ(result.out, "") << percent;
    }
    EXPECT_FALSE(QFile::exists(folder.Path("out.lcd")));
    EXPECT_EQ(RunCli({"speed", walk, "50"}).status, 1); // wrong number of arguments
}

// Output that cannot be written (a full disk, a closed pipe) is a failure, not a
// result: the command ends with status 1 and says so.
TEST_F(Cli, AnOutputThatCannotBeWrittenFailsTheCommand) {
    struct RefusingBuffer : std::streambuf {
        int_type overflow(int_type) override { return traits_type::eof(); }
    };
    for (const QStringList& arguments : {QStringList{"info", walk}, QStringList{"--version"}}) {
        RefusingBuffer refusing;
        std::ostream out(&refusing);
        std::ostringstream err;
        EXPECT_EQ(cli::Run(arguments, out, err), 1) << arguments.join(' ').toStdString();
        EXPECT_EQ(err.str(), "Unable to write the output\n");
    }
}
