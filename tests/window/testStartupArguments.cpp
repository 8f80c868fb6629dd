#include "fileNames.h"
#include "startupArguments.h"

#include <QApplication>
#include <gtest/gtest.h>

using namespace vistrel;

TEST(StartupArguments, FilesSwitchesAndBrowserWindowFollowTheCommandLine) {
    struct Case {
        QStringList arguments;
        const char* file;
        bool play;
        const char* window;
    };
    const Case cases[] = {
        {{}, "", false, "0xFFFFFFFF"},
        {{"clip.lcd"}, "clip.lcd", false, "0xFFFFFFFF"},
        {{"a.lcd", "b.lcd"}, "b.lcd", false, "0xFFFFFFFF"},
        {{"/p", "clip.lcd"}, "clip.lcd", true, "0xFFFFFFFF"},
        {{"/P", "/odd.lcd"}, "/odd.lcd", true, "0xFFFFFFFF"},
        {{"/I", "255", "info.vmi"}, "info.vmi", false, "0x000000ff"},
        {{"/i", "x", "info.vmi"}, "info.vmi", false, "0xffffffff"},
        {{"/i", "$10", "info.vmi"}, "info.vmi", false, "0x00000010"},
        {{"/X", "a.lcd", "/Q"}, "a.lcd", false, "0xFFFFFFFF"},
        {{"a.lcd", "/P"}, "a.lcd", false, "0xFFFFFFFF"},
        {{"/P", "a.lcd", "b.lcd"}, "b.lcd", true, "0xFFFFFFFF"},
        {{"/home/ann/walk.lcd"}, "/home/ann/walk.lcd", false, "0xFFFFFFFF"},
        {{"/p", "/home/ann/walk.lcd", "/Q", "/"}, "/home/ann/walk.lcd", true, "0xFFFFFFFF"},
        {{"/"}, "", false, "0xFFFFFFFF"},
        {{"/", "a.lcd"}, "a.lcd", false, "0xFFFFFFFF"},
        // After "--" every argument is a file, whatever it looks like.
        {{"--", "-style=x.lcd"}, "-style=x.lcd", false, "0xFFFFFFFF"},
        {{"--", "/P", "/I"}, "/I", false, "0xFFFFFFFF"},
        {{"/p", "--", "-x.lcd"}, "-x.lcd", true, "0xFFFFFFFF"},
        {{"/I", "--", "7", "a.lcd"}, "a.lcd", false, "0x00000007"},
        {{"a.lcd", "--", "--"}, "--", false, "0xFFFFFFFF"},
        {{"--", "--help"}, "--help", false, "0xFFFFFFFF"},
    };
    for (const Case& c : cases) {
        const TStartupArguments parsed = TStartupArguments::Parse(c.arguments);
        const QString context = c.arguments.join(u' ');
        EXPECT_EQ(parsed.FileName, QString::fromLatin1(c.file)) << context.toStdString();
        EXPECT_EQ(parsed.Play, c.play) << context.toStdString();
        EXPECT_EQ(parsed.BrowserWindowID, QString::fromLatin1(c.window)) << context.toStdString();
    }
}

TEST(StartupArguments, HelpIsAskedBeforeTheEndOfOptionsOnly) {
    EXPECT_TRUE(TStartupArguments::Parse({"--help"}).Help);
    EXPECT_TRUE(TStartupArguments::Parse({"a.lcd", "-h"}).Help);
    EXPECT_FALSE(TStartupArguments::Parse({"--", "--help"}).Help);
    EXPECT_FALSE(TStartupArguments::Parse({"a.lcd"}).Help);
    const QString usage = QString::fromLatin1(TStartupArguments::Usage);
    EXPECT_TRUE(usage.contains("vistrel [Qt options] [/P] -- FILE")) << usage.toStdString();
}

// Qt takes its options out of the arguments it is given: it is given only those
// before "--", so a file named like one of its options reaches the window.
TEST(StartupArguments, QtReadsItsOptionsOnlyBeforeTheEndOfOptions) {
    char program[] = "vistrel";
    char style[] = "-style=fusion";
    char end[] = "--";
    char file[] = "-style=x.lcd";
    char latin1[] = "caf\xe9.lcd";
    char* argv[] = {program, style, end, file, latin1, nullptr};
    TCommandLine commandLine(5, argv);
    ASSERT_EQ(commandLine.QtArgc, 2);
    ASSERT_EQ(commandLine.QtArgv.size(), 3u);
    EXPECT_EQ(commandLine.QtArgv[2], nullptr);
    {
        QApplication app(commandLine.QtArgc, commandLine.QtArgv.data());
        EXPECT_EQ(commandLine.QtArgc, 1); // -style=fusion was Qt's
        const QStringList arguments = commandLine.Arguments();
        ASSERT_EQ(arguments.size(), 3);
        EXPECT_EQ(arguments[0], "--");
        EXPECT_EQ(arguments[1], "-style=x.lcd");
        EXPECT_EQ(FileNameToBytes(arguments[2]), QByteArray("caf\xe9.lcd"));
        EXPECT_EQ(FileNameToBytes(TStartupArguments::Parse(arguments).FileName),
                  QByteArray("caf\xe9.lcd"));
    }
    // Without "--" Qt sees everything, as before.
    char* plain[] = {program, file, nullptr};
    const TCommandLine noEnd(2, plain);
    EXPECT_EQ(noEnd.QtArgc, 2);
    EXPECT_EQ(noEnd.Arguments(), QStringList{"-style=x.lcd"});
}
