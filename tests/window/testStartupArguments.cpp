#include "startupArguments.h"

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
    };
    for (const Case& c : cases) {
        const TStartupArguments parsed = TStartupArguments::Parse(c.arguments);
        const QString context = c.arguments.join(u' ');
        EXPECT_EQ(parsed.FileName, QString::fromLatin1(c.file)) << context.toStdString();
        EXPECT_EQ(parsed.Play, c.play) << context.toStdString();
        EXPECT_EQ(parsed.BrowserWindowID, QString::fromLatin1(c.window)) << context.toStdString();
    }
}
