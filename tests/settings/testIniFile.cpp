#include "fileNames.h"
#include "iniFile.h"
#include "integerText.h"

#include <gtest/gtest.h>

using namespace vistrel;

TEST(IniFile, ReadsHandWrittenFilesWithOddSpacingAndCase) {
    TIniFile ini(QString{});
    ini.FromText(QStringLiteral("; a comment\r\n"
                                "  [ main ]  \r\n"
                                "PlayerFPS   =   25  \r\n"
                                "\tplayerzoom=$8\r\n"
                                "WindowLeft=0x1F\r\n"
                                "WindowTop=-12\r\n"
                                "Broken=twelve\r\n"
                                "no equals sign\r\n"
                                "[Saved]\r\n"
                                "File_0= C:\\anim\\walk.lcd \r\n"
                                "anything=/home/a=b.lcd\r\n"));
    struct Case {
        const char* key;
        int value;
    };
    for (const Case& c : {Case{"PlayerFPS", 25}, Case{"PlayerZoom", 8}, Case{"WINDOWLEFT", 31},
                          Case{"WindowTop", -12}, Case{"Broken", 7}, Case{"Missing", 7}})
        EXPECT_EQ(ini.ReadInteger("Main", c.key, 7), c.value) << c.key;
    EXPECT_EQ(ini.ReadSectionValues("SAVED"),
              QStringList({"File_0=C:\\anim\\walk.lcd", "anything=/home/a=b.lcd"}));
    EXPECT_TRUE(ini.ReadSectionValues("Opened").isEmpty());
}

TEST(IntegerText, AcceptsDecimalAndBothHexadecimalForms) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"12", 12},          {"-3", -3},
        {"0x10", 16},        {"0X1f", 31},
        {"$ff", 255},        {"$", {}},
        {"0x", {}},          {"", {}},
        {"1.5", {}},         {"12abc", {}},
        {"99999999999", {}}, {"--1", {}},
        {"-0x10", -16},      {"2147483647", 2147483647},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ParseInteger(QString::fromLatin1(text)), value) << text;
}

TEST(IniFile, WritesKeepFileOrderAndErasedSectionsGoAway) {
    TIniFile ini(QString{});
    ini.FromText(QStringLiteral("[Main]\nB=1\nA=2\n[Saved]\nFile_0=x\n[Other]\nKeep=yes\n"));
    ini.WriteInteger("main", "a", 5);
    ini.WriteBool("Main", "C", true);
    ini.EraseSection("Saved");
    ini.WriteString("Saved", "File_0", "y");
    EXPECT_EQ(ini.ToText(), "[Main]\nB=1\nA=5\nC=1\n\n[Other]\nKeep=yes\n\n[Saved]\nFile_0=y\n");
}

// A recent file named in Latin-1 is written back by its own bytes, as is a stray
// byte that is not UTF-8 anywhere else in the file; a byte order mark is not part
// of the first section's name.
TEST(IniFile, BytesThatAreNotUtf8SurviveASave) {
    TIniFile marked(QString{});
    marked.FromBytes("\xef\xbb\xbf[Main]\nA=1\n");
    EXPECT_EQ(marked.ReadInteger("Main", "A", 0), 1);

    const QByteArray bytes = "[Saved]\nFile_0=/home/ana/caf\xe9.lcd\n\n[Main\xff]\nKey=\xc3\n";
    TIniFile ini(QString{});
    ini.FromBytes(bytes);
    EXPECT_EQ(FileNameToBytes(ini.ReadString("Saved", "File_0", {})), "/home/ana/caf\xe9.lcd");
    ini.WriteString("Saved", "File_1", FileNameFromBytes("/x\xff"));
    EXPECT_EQ(ini.ToBytes(),
              "[Saved]\nFile_0=/home/ana/caf\xe9.lcd\nFile_1=/x\xff\n\n[Main\xff]\nKey=\xc3\n");
}
