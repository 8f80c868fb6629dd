#include "modelFixtures.h"
#include "unitPreferences.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

const QSize Screen(1920, 1080);

QStringList Names(const char* prefix, int count) {
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("/anims/%1%2.lcd").arg(QLatin1String(prefix)).arg(i);
    return names;
}

} // namespace

TEST(Preferences, WithoutAFileEverySettingHasItsDefault) {
    TempFolder folder;
    const TVMUPreferences prefs(folder.Path("VISTREL.INI"), Screen);
    EXPECT_TRUE(prefs.RegisterLCD);
    EXPECT_TRUE(prefs.RegisterVMS);
    EXPECT_FALSE(prefs.DisplayGrid);
    EXPECT_EQ(prefs.PlayerFPS, 12);
    EXPECT_FALSE(prefs.LoopSelect);
    EXPECT_EQ(prefs.PlayerZoom, 2);
    EXPECT_TRUE(prefs.ShowLCDBlur);
    EXPECT_EQ(QRect(prefs.WindowLeft, prefs.WindowTop, prefs.WindowWidth, prefs.WindowHeight),
              QRect(640, 300, 640, 480));
    EXPECT_TRUE(prefs.Saved.isEmpty());
    EXPECT_TRUE(prefs.Opened.isEmpty());
    EXPECT_TRUE(prefs.LoadNote().isEmpty()); // no file yet is no problem
}

// VISTREL.INI as a FIFO would hang the start, and as a link to /dev/zero be read
// until memory ran out. Such a file, or one far larger than settings ever are,
// gives the defaults, a note to show once, and stays as it was.
TEST(Preferences, ASettingsFileThatIsNoRegularFileOrTooLargeGivesTheDefaultsAndANote) {
    TempFolder folder;
    const QString fifo = folder.Path("fifo/VISTREL.INI");
    ASSERT_TRUE(QDir().mkpath(folder.Path("fifo")));
    ASSERT_TRUE(MakeFifo(fifo));
    const QString zero = folder.Path("zero.ini");
    ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(zero).constData()), 0);
    const QByteArray settings = "[Main]\nPlayerFPS=30\n";
    const QString large = folder.Write("large.ini", settings);
    ASSERT_TRUE(QFile::resize(large, TIniFile::MaxFileSize + 1));
    const QString largest = folder.Write("largest.ini", settings);
    ASSERT_TRUE(QFile::resize(largest, TIniFile::MaxFileSize));

    const struct {
        QString path;
        const char* reason; // nullptr: read
    } cases[] = {
        {fifo, "not a regular file"},
        {zero, "not a regular file"},
        {large, "the file is larger than 16 MiB"},
        {largest, nullptr},
    };
    for (const auto& c : cases) {
        std::unique_ptr<TVMUPreferences> prefs;
        EXPECT_TRUE(FinishesWithoutWaitingOnFifo(
            fifo, [&] { prefs = std::make_unique<TVMUPreferences>(c.path, Screen); }));
        if (c.reason == nullptr) {
            EXPECT_EQ(prefs->PlayerFPS, 30);
            EXPECT_TRUE(prefs->LoadNote().isEmpty()) << prefs->LoadNote().toStdString();
            continue;
        }
        EXPECT_EQ(prefs->PlayerFPS, TVMUPreferences::DefaultPlayerFPS);
        EXPECT_EQ(prefs->LoadNote().toStdString(),
                  QStringLiteral("Unable to read the settings in %1: %2. Vistrel starts with its "
                                 "default settings and leaves that file as it is.")
                      .arg(c.path, QLatin1String(c.reason))
                      .toStdString());
    }
    // Nothing is written over them at exit.
    for (const QString& path : {fifo, large}) {
        TVMUPreferences prefs(path, Screen);
        prefs.PlayerFPS = 40;
        EXPECT_TRUE(prefs.Save());
    }
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(QFileInfo(large).size(), TIniFile::MaxFileSize + 1);
    EXPECT_TRUE(ReadFile(large).startsWith(settings));
}

TEST(Preferences, LoadsEveryNameAndWritesBackWithinTheLimits) {
    TempFolder folder;
    QString text = QStringLiteral("[Main]\nPlayerFPS = 0x18\nDisplayGrid=1\nShowLCDBlur=0\n"
                                  "WindowWidth=800\n[Saved]\n");
    for (int i = 0; i < 8; ++i)
        text += QStringLiteral("File_%1=  /anims/s%1.lcd\t\n").arg(i);
    text += QStringLiteral("[Opened]\nodd key=") + QString(300, u'x') + u'\n';
    const QString path = folder.Write("VISTREL.INI", text.toUtf8());
    {
        TVMUPreferences prefs(path, Screen);
        EXPECT_EQ(prefs.PlayerFPS, 24);
        EXPECT_TRUE(prefs.DisplayGrid);
        EXPECT_FALSE(prefs.ShowLCDBlur);
        EXPECT_EQ(prefs.WindowWidth, 800);
        EXPECT_EQ(prefs.Saved, Names("s", 8));
        EXPECT_EQ(prefs.Opened, QStringList{QString(255, u'x')});
        ASSERT_TRUE(prefs.Save());
    }
    const QString written = QString::fromUtf8(ReadFile(path));
    // Keys already in the file keep their places; the others follow in their own order.
    EXPECT_TRUE(
        written.contains("[Main]\nPlayerFPS=24\nDisplayGrid=1\nShowLCDBlur=0\nWindowWidth=800\n"
                         "RegisterLCD=1\nRegisterVMS=1\nLoopSelect=0\nPlayerZoom=2\n"));
    const TVMUPreferences reloaded(path, Screen);
    EXPECT_EQ(reloaded.Saved, Names("s", 5));
    EXPECT_EQ(reloaded.PlayerFPS, 24);
}

TEST(Preferences, AFreshFileListsTheMainKeysInTheirOrder) {
    TempFolder folder;
    TVMUPreferences prefs(folder.Path("VISTREL.INI"), Screen);
    prefs.Opened = Names("o", 12);
    ASSERT_TRUE(prefs.Save());
    QString expected =
        QStringLiteral("[Main]\nRegisterLCD=1\nRegisterVMS=1\nDisplayGrid=0\nPlayerFPS=12\n"
                       "LoopSelect=0\nPlayerZoom=2\nShowLCDBlur=1\nWindowLeft=640\n"
                       "WindowTop=300\nWindowWidth=640\nWindowHeight=480\n\n"
                       "[OnionSkin]\nShown=0\nBefore=1\nAfter=1\nWrap=0\n\n[Opened]\n");
    for (int i = 0; i < 10; ++i)
        expected += QStringLiteral("File_%1=/anims/o%1.lcd\n").arg(i);
    EXPECT_EQ(QString::fromUtf8(ReadFile(folder.Path("VISTREL.INI"))), expected);
}

// The onion skin's keys have a section of their own; counts outside 0 to 3
// are not taken.
TEST(Preferences, OnionSkinSettingsAreKeptAndCountsOutOfRangeGiveTheDefault) {
    const struct {
        const char* text;
        bool shown;
        int before, after;
        bool wrap;
    } cases[] = {
        {"", false, 1, 1, false},
        {"[OnionSkin]\nShown=1\nBefore=0\nAfter=3\nWrap=1\n", true, 0, 3, true},
        {"[OnionSkin]\nBefore=4\nAfter=-1\n", false, 1, 1, false},
        {"[OnionSkin]\nBefore=two\nAfter=0x2\n", false, 1, 2, false},
        // Only the section's own keys count.
        {"[Main]\nBefore=3\nShown=1\n", false, 1, 1, false},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        const QString path = folder.Write("VISTREL.INI", c.text);
        TVMUPreferences prefs(path, Screen);
        EXPECT_EQ(prefs.OnionSkin, c.shown) << c.text;
        EXPECT_EQ(prefs.OnionSkinBefore, c.before) << c.text;
        EXPECT_EQ(prefs.OnionSkinAfter, c.after) << c.text;
        EXPECT_EQ(prefs.OnionSkinWrap, c.wrap) << c.text;
    }
    TempFolder folder;
    {
        TVMUPreferences prefs(folder.Path("VISTREL.INI"), Screen);
        prefs.OnionSkin = true;
        prefs.OnionSkinBefore = 3;
        prefs.OnionSkinAfter = 0;
        prefs.OnionSkinWrap = true;
        ASSERT_TRUE(prefs.Save());
    }
    const TVMUPreferences reloaded(folder.Path("VISTREL.INI"), Screen);
    EXPECT_TRUE(reloaded.OnionSkin);
    EXPECT_EQ(reloaded.OnionSkinBefore, 3);
    EXPECT_EQ(reloaded.OnionSkinAfter, 0);
    EXPECT_TRUE(reloaded.OnionSkinWrap);
}

TEST(Preferences, RecentListsFollowSavesClosesAndOpens) {
    TempFolder folder;
    TVMUPreferences prefs(folder.Path("VISTREL.INI"), Screen);
    prefs.RememberClosedFile("/a/walk.lcd");
    prefs.RememberClosedFile("/a/run.lcd");
    EXPECT_EQ(prefs.Opened, QStringList({"/a/run.lcd", "/a/walk.lcd"}));

    prefs.RememberSavedFile("/A/WALK.LCD"); // same file in another letter case
    EXPECT_EQ(prefs.Opened, QStringList({"/a/run.lcd"}));
    EXPECT_EQ(prefs.Saved, QStringList({"/A/WALK.LCD"}));
    prefs.RememberClosedFile("/a/walk.lcd"); // saved names stay where they are
    EXPECT_EQ(prefs.Opened, QStringList({"/a/run.lcd"}));
    prefs.RememberSavedFile("/A/WALK.LCD");
    EXPECT_EQ(prefs.Saved, QStringList({"/A/WALK.LCD"}));

    for (const QString& name : Names("s", 6))
        prefs.RememberSavedFile(name);
    EXPECT_EQ(prefs.Saved, QStringList({"/anims/s5.lcd", "/anims/s4.lcd", "/anims/s3.lcd",
                                        "/anims/s2.lcd", "/anims/s1.lcd"}));
}

// The settings go beside a program the user unpacked or built, but never into
// a system folder a package owns, even when it can be written (as root).
TEST(Preferences, TheSettingsFileGoesBesideTheProgramOnlyOutsideSystemFolders) {
    TempFolder program;
    TempFolder user;
    const QString userIni = user.Path(QStringLiteral("VISTREL.INI"));
    const QString programFolder = QFileInfo(program.Path(QStringLiteral("x"))).absolutePath();
    EXPECT_EQ(TVMUPreferences::IniPathFor(programFolder, user.Path(QString())),
              program.Path(QStringLiteral("VISTREL.INI")));
    EXPECT_EQ(TVMUPreferences::IniPathFor(QStringLiteral("/usr/bin"), user.Path(QString())),
              userIni);
    EXPECT_EQ(TVMUPreferences::IniPathFor(QStringLiteral("/usr/local/bin"), user.Path(QString())),
              userIni);
    // A folder that cannot be written sends the settings to the user's folder
    // unless a settings file is already there.
    ASSERT_EQ(chmod(QFile::encodeName(programFolder).constData(), 0555), 0);
    if (geteuid() != 0) {
        EXPECT_EQ(TVMUPreferences::IniPathFor(programFolder, user.Path(QString())), userIni);
    }
    ASSERT_EQ(chmod(QFile::encodeName(programFolder).constData(), 0755), 0);
    program.Write(QStringLiteral("VISTREL.INI"), "[Main]\n");
    ASSERT_EQ(chmod(QFile::encodeName(programFolder).constData(), 0555), 0);
    EXPECT_EQ(TVMUPreferences::IniPathFor(programFolder, user.Path(QString())),
              program.Path(QStringLiteral("VISTREL.INI")));
    ASSERT_EQ(chmod(QFile::encodeName(programFolder).constData(), 0755), 0);
}
