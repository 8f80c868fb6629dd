#include "FileType.h"
#include "modelFixtures.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace vistrel;
using vistrel::testing::ReadFile;
using vistrel::testing::TempFolder;

namespace {

bool IsFifo(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
}

QByteArray Picture(int size) {
    return QByteArray("picture ") + QByteArray::number(size);
}

// The LCD type as the program registers it, over temporary XDG folders.
class FileTypeTest : public ::testing::Test {
protected:
    FileTypeTest() {
        type.SetFileType(QStringLiteral(".LCD"));
        type.RegKeyName = QStringLiteral("Vistrel.LCD");
        type.ContentType = QStringLiteral("application/x-vistrel-lcd");
        type.Description = QStringLiteral("Vistrel Animation");
        type.IconPng = Picture;
        type.Application = {QStringLiteral("Vistrel"), QStringLiteral("/usr/bin/vistrel"),
                            QStringLiteral("vistrel"), Picture};
        type.Folders = {folder.Path("data"), folder.Path("config")};
    }
    void AddCommands() {
        type.AddCommand(QStringLiteral("open"), {}, {});
        type.AddCommand(QStringLiteral("Play"), QStringLiteral("&Play with Vistrel"),
                        QStringLiteral("/P \"%1\""));
    }
    QString Data(const QString& name) const { return folder.Path("data/" + name); }
    QString MimeApps() const { return folder.Path("config/mimeapps.list"); }
    void WriteMimeApps(const QByteArray& bytes) const {
        QDir().mkpath(folder.Path("config"));
        folder.Write("config/mimeapps.list", bytes);
    }
    // Every file under the data folder, except the databases the tools build.
    QStringList DataFiles() const {
        QStringList files;
        QDirIterator it(folder.Path("data"), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next().mid(folder.Path("data/").size());
            const bool database = (path.startsWith(QLatin1String("mime/")) &&
                                   !path.startsWith(QLatin1String("mime/packages/"))) ||
                                  path.endsWith(QLatin1String("mimeinfo.cache"));
            if (!database)
                files << path;
        }
        files.sort();
        return files;
    }

    TempFolder folder;
    TFileType type;
};

} // namespace

TEST(FileType, SettingTheExtensionNormalisesItAndNamesTheKey) {
    const std::pair<const char*, const char*> cases[] = {
        {"lcd", ".lcd"}, {"x.lcd", ".lcd"}, {".LCD", ".LCD"}, {"a.b.c", ".b.c"}};
    for (const auto& [value, expected] : cases) {
        TFileType type;
        type.SetFileType(QLatin1String(value));
        EXPECT_EQ(type.FileType(), QLatin1String(expected)) << value;
        EXPECT_EQ(type.RegKeyName, QLatin1String(expected).mid(1) + "_auto_file") << value;
    }
    TFileType named;
    named.RegKeyName = QStringLiteral("Vistrel.LCD");
    named.SetFileType(QStringLiteral("lcd"));
    EXPECT_EQ(named.RegKeyName, QStringLiteral("Vistrel.LCD"));
    EXPECT_EQ(named.Stem(), QStringLiteral("vistrel-lcd"));
    EXPECT_EQ(named.MimeType(), QStringLiteral("application/x-vistrel-lcd"));
}

TEST(FileType, CommandsKeepOneEntryPerVerb) {
    TFileType type;
    EXPECT_FALSE(type.AddCommand({}, QStringLiteral("x"), QStringLiteral("y")));
    EXPECT_TRUE(type.Commands().empty());
    // Every OK of the Preferences dialog adds the same two verbs again.
    for (int round = 0; round < 3; ++round) {
        EXPECT_TRUE(type.AddCommand(QStringLiteral("open"), {}, {}));
        EXPECT_TRUE(type.AddCommand(QStringLiteral("Play"), QStringLiteral("&Play"),
                                    QStringLiteral("/P \"%1\"")));
    }
    ASSERT_EQ(type.Commands().size(), 2u);
    EXPECT_EQ(type.Commands()[0].Params, QStringLiteral("\"%1\""));
    EXPECT_EQ(type.Commands()[1].Params, QStringLiteral("/P \"%1\""));
}

TEST(FileType, ExecQuotesTheProgramOnlyWhereItMust) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"/usr/bin/vistrel", "\"%1\"", "/usr/bin/vistrel %f"},
        {"/usr/bin/vistrel", "/P \"%1\"", "/usr/bin/vistrel /P %f"},
        {"/opt/My Tools/vistrel", "/P \"%1\"", "\"/opt/My Tools/vistrel\" /P %f"},
        {"/opt/a\"b$c`d\\e/vistrel", "%1", "\"/opt/a\\\"b\\$c\\`d\\\\e/vistrel\" %f"},
        {"/opt/100%/vistrel", "\"%1\"", "/opt/100%%/vistrel %f"},
    };
    for (const auto& [path, params, exec] : cases)
        EXPECT_EQ(TFileType::DesktopExec(QString::fromUtf8(path), QString::fromUtf8(params)),
                  QString::fromUtf8(exec))
            << path;
}

TEST_F(FileTypeTest, RegisterWithoutExtensionOrCommandsWritesNothing) {
    EXPECT_FALSE(type.Register());
    TFileType noExtension;
    noExtension.Folders = type.Folders;
    noExtension.AddCommand(QStringLiteral("open"), {}, {});
    EXPECT_FALSE(noExtension.Register());
    EXPECT_TRUE(type.ErrorString().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(folder.Path("data")));
    EXPECT_FALSE(QFileInfo::exists(MimeApps()));
}

TEST_F(FileTypeTest, RegisterDeclaresTheTypeAndMakesOurEntryItsDefault) {
    AddCommands();
    ASSERT_TRUE(type.Register()) << type.ErrorString().toStdString();

    const QByteArray package = ReadFile(Data("mime/packages/vistrel-lcd.xml"));
    EXPECT_TRUE(package.contains("<mime-type type=\"application/x-vistrel-lcd\">"));
    EXPECT_TRUE(package.contains("<comment>Vistrel Animation</comment>"));
    EXPECT_TRUE(package.contains("<glob pattern=\"*.lcd\"/>"));
    EXPECT_TRUE(package.contains("<icon name=\"application-x-vistrel-lcd\"/>"));

    const QList<QByteArray> open = ReadFile(Data("applications/vistrel-lcd.desktop")).split('\n');
    EXPECT_TRUE(open.contains("Name=Vistrel"));
    EXPECT_TRUE(open.contains("Exec=/usr/bin/vistrel %f"));
    EXPECT_TRUE(open.contains("MimeType=application/x-vistrel-lcd;"));
    EXPECT_TRUE(open.contains("Icon=vistrel"));
    const QList<QByteArray> play =
        ReadFile(Data("applications/vistrel-lcd_play.desktop")).split('\n');
    EXPECT_TRUE(play.contains("Name=Play with Vistrel"));
    EXPECT_TRUE(play.contains("Exec=/usr/bin/vistrel /P %f"));

    EXPECT_EQ(ReadFile(Data("icons/hicolor/48x48/mimetypes/application-x-vistrel-lcd.png")),
              Picture(48));
    EXPECT_EQ(ReadFile(Data("icons/hicolor/256x256/apps/vistrel.png")), Picture(256));
    EXPECT_EQ(ReadFile(MimeApps()),
              "[Default Applications]\napplication/x-vistrel-lcd=vistrel-lcd.desktop;\n");

    // Registering again, as every start does, leaves exactly the same files.
    const QStringList files = DataFiles();
    AddCommands();
    ASSERT_TRUE(type.Register());
    EXPECT_EQ(DataFiles(), files);
    EXPECT_EQ(type.Commands().size(), 2u);
}

TEST_F(FileTypeTest, UnregisterTakesBackExactlyWhatRegisterAdded) {
    const QByteArray before = "# my settings\r\n[Added Associations]\r\ntext/plain=ed.desktop;\r\n"
                              "[Default Applications]\r\ntext/plain=ed.desktop;\r\n";
    WriteMimeApps(before);
    QDir().mkpath(Data("applications"));
    const QByteArray foreign = "[Desktop Entry]\nType=Application\nName=Other\nExec=other %f\n"
                               "MimeType=application/x-vistrel-lcd;\n";
    folder.Write("data/applications/vistrel-lcd-other.desktop", foreign);
    AddCommands();
    ASSERT_TRUE(type.Register()) << type.ErrorString().toStdString();
    ASSERT_NE(ReadFile(MimeApps()), before);

    TFileType later; // a later run that removes the type without registering it first
    later.SetFileType(QStringLiteral(".LCD"));
    later.RegKeyName = type.RegKeyName;
    later.ContentType = type.ContentType;
    later.Application = type.Application;
    later.Folders = type.Folders;
    ASSERT_TRUE(later.Unregister()) << later.ErrorString().toStdString();
    EXPECT_EQ(ReadFile(MimeApps()), before);
    EXPECT_EQ(DataFiles(), QStringList({"applications/vistrel-lcd-other.desktop"}));
    EXPECT_EQ(ReadFile(Data("applications/vistrel-lcd-other.desktop")), foreign);
}

TEST_F(FileTypeTest, AUsersOwnDefaultIsNeverOverriddenNorRemoved) {
    const QByteArray chosen = "[Default Applications]\napplication/x-vistrel-lcd=other.desktop;"
                              "vistrel-lcd.desktop;\n";
    WriteMimeApps(chosen);
    AddCommands();
    ASSERT_TRUE(type.Register());
    EXPECT_EQ(ReadFile(MimeApps()), chosen);
    EXPECT_TRUE(QFileInfo::exists(Data("applications/vistrel-lcd.desktop")));

    ASSERT_TRUE(type.Unregister());
    EXPECT_EQ(ReadFile(MimeApps()), chosen);
    // Our entries go; the type the other program's default hangs on stays.
    EXPECT_FALSE(QFileInfo::exists(Data("applications/vistrel-lcd.desktop")));
    EXPECT_FALSE(QFileInfo::exists(Data("applications/vistrel-lcd_play.desktop")));
    EXPECT_TRUE(QFileInfo::exists(Data("mime/packages/vistrel-lcd.xml")));
    EXPECT_TRUE(
        QFileInfo::exists(Data("icons/hicolor/32x32/mimetypes/application-x-vistrel-lcd.png")));
}

TEST_F(FileTypeTest, AFailurePartWayLeavesNoDefaultPointingAtIt) {
    // The entries cannot be written: a file stands where their folder would be.
    QDir().mkpath(folder.Path("data"));
    folder.Write("data/applications", "not a folder");
    AddCommands();
    EXPECT_FALSE(type.Register());
    EXPECT_TRUE(type.ErrorString().contains(Data("applications")))
        << type.ErrorString().toStdString();
    EXPECT_FALSE(QFileInfo::exists(MimeApps()));

    // With the data folder itself unwritable, nothing is pointed either.
    TempFolder blocked;
    blocked.Write("file", "x");
    type.Folders.DataHome = blocked.Path("file/share");
    EXPECT_FALSE(type.Register());
    EXPECT_TRUE(type.ErrorString().startsWith(QLatin1String("Unable to create the folder")));
    EXPECT_FALSE(QFileInfo::exists(MimeApps()));
}

namespace {

std::string Text(const QString& text) {
    return text.toStdString();
}

QString Tool(const char* name) {
    return QStandardPaths::findExecutable(QLatin1String(name));
}

// Runs a desktop tool over the test's folders only, never the user's.
QString RunTool(const QString& program, const QStringList& arguments,
                const TDesktopFolders& folders) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), folders.DataHome);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folders.ConfigHome);
    environment.insert(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral("/usr/share"));
    environment.insert(QStringLiteral("XDG_CONFIG_DIRS"), folders.ConfigHome + "/none");
    // A desktop whose xdg-mime asks the shared MIME database (through gio).
    environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromLocal8Bit(process.readAll()).trimmed() +
           (process.exitCode() == 0 ? QString()
                                    : QStringLiteral(" (exit %1)").arg(process.exitCode()));
}

} // namespace

TEST_F(FileTypeTest, TheEntriesPassTheDesktopEntryValidator) {
    const QString validator = Tool("desktop-file-validate");
    if (validator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed";
    for (const char* program :
         {"/usr/bin/vistrel", "/opt/My Tools/vistrel", "/opt/a\"b$c`d\\e;f/100%/vistrel"}) {
        type.Application.ExecutablePath = QString::fromUtf8(program);
        AddCommands();
        ASSERT_TRUE(type.Register()) << type.ErrorString().toStdString();
        for (const char* entry : {"vistrel-lcd.desktop", "vistrel-lcd_play.desktop"})
            EXPECT_EQ(Text(RunTool(validator, {Data(QStringLiteral("applications/") + entry)},
                                   type.Folders)),
                      "")
                << program << " " << entry;
    }
}

TEST_F(FileTypeTest, TheDesktopFindsOurTypesAndOurEntryAfterRegistration) {
    const QString xdgMime = Tool("xdg-mime");
    if (xdgMime.isEmpty() || Tool("gio").isEmpty() || Tool("update-mime-database").isEmpty())
        GTEST_SKIP() << "xdg-mime, gio or update-mime-database is not installed";
    // xdg-mime only names a default whose program exists.
    type.Application.ExecutablePath = Tool("true");
    AddCommands();
    ASSERT_TRUE(type.Register()) << type.ErrorString().toStdString();
    TFileType vms;
    vms.SetFileType(QStringLiteral(".VMS"));
    vms.RegKeyName = QStringLiteral("Vistrel.VMS");
    vms.Application = type.Application;
    vms.Folders = type.Folders;
    vms.AddCommand(QStringLiteral("open"), {}, {});
    ASSERT_TRUE(vms.Register()) << vms.ErrorString().toStdString();

    const QString upper = folder.Write("SAMPLE.LCD", "LCDi");
    const QString lower = folder.Write("sample.lcd", "LCDi");
    const QString card = folder.Write("game.vms", "data");
    for (const QString& file : {upper, lower})
        EXPECT_EQ(Text(RunTool(xdgMime, {"query", "filetype", file}, type.Folders)),
                  Text(type.MimeType()));
    EXPECT_EQ(Text(RunTool(xdgMime, {"query", "filetype", card}, type.Folders)),
              Text(vms.MimeType()));
    EXPECT_EQ(Text(RunTool(xdgMime, {"query", "default", type.MimeType()}, type.Folders)),
              "vistrel-lcd.desktop");
    EXPECT_EQ(Text(RunTool(xdgMime, {"query", "default", vms.MimeType()}, type.Folders)),
              "vistrel-vms.desktop");

    ASSERT_TRUE(type.Unregister());
    EXPECT_NE(Text(RunTool(xdgMime, {"query", "filetype", lower}, type.Folders)),
              Text(type.MimeType()));
    EXPECT_EQ(Text(RunTool(xdgMime, {"query", "default", type.MimeType()}, type.Folders)), "");
    EXPECT_EQ(Text(RunTool(xdgMime, {"query", "filetype", card}, type.Folders)),
              Text(vms.MimeType()));
}

// A write the system cuts short (a full disk, a size limit) fails and leaves the
// old file whole, rather than replacing it with the part that was written.
TEST_F(FileTypeTest, AWriteCutShortKeepsTheOldFileAndSaysWhy) {
    AddCommands();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(type.MimePackagePath()).path()));
    QFile old(type.MimePackagePath());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old package") == 11);
    old.close();
    bool registered = true;
    {
        const vistrel::testing::FileSizeLimit limit(32);
        registered = type.Register();
    }
    EXPECT_FALSE(registered);
    EXPECT_TRUE(type.ErrorString().endsWith(QLatin1String(": File too large")))
        << type.ErrorString().toStdString();
    EXPECT_EQ(ReadFile(type.MimePackagePath()), "old package");
}

// A FIFO in place of mimeapps.list or of one of our entries would hang every
// start of the window, which registers its types; it is neither read nor replaced.
TEST_F(FileTypeTest, AFifoInPlaceOfADesktopFileIsNeitherReadNorReplaced) {
    AddCommands();
    ASSERT_TRUE(QDir().mkpath(folder.Path("config")));
    ASSERT_TRUE(vistrel::testing::MakeFifo(MimeApps()));
    bool registered = true;
    EXPECT_TRUE(vistrel::testing::FinishesWithoutWaitingOnFifo(
        MimeApps(), [&] { registered = type.Register(); }));
    EXPECT_FALSE(registered);
    EXPECT_EQ(type.ErrorString().toStdString(),
              ("Unable to read " + MimeApps() + ": not a regular file").toStdString());
    EXPECT_TRUE(IsFifo(MimeApps()));

    ASSERT_TRUE(QFile::remove(MimeApps()));
    QFile::remove(type.MimePackagePath()); // written before mimeapps.list was read
    ASSERT_TRUE(QDir().mkpath(QFileInfo(type.MimePackagePath()).path()));
    ASSERT_TRUE(vistrel::testing::MakeFifo(type.MimePackagePath()));
    EXPECT_TRUE(vistrel::testing::FinishesWithoutWaitingOnFifo(
        type.MimePackagePath(), [&] { registered = type.Register(); }));
    EXPECT_FALSE(registered);
    EXPECT_TRUE(type.ErrorString().endsWith(QLatin1String(": not a regular file")))
        << type.ErrorString().toStdString();
    EXPECT_TRUE(IsFifo(type.MimePackagePath()));
}

// A start with nothing changed since the last registration reads, draws and
// writes nothing; a file removed or changed, or a new build's icons, make the
// next registration do the whole work again.
TEST_F(FileTypeTest, ARecordedRegistrationIsRepeatedOnlyWhenSomethingChanged) {
    int drawn = 0;
    type.IconPng = [&drawn](int size) {
        ++drawn;
        return Picture(size);
    };
    type.RecordFolder = QStringLiteral("vistrel");
    type.IconSource = "build 1";
    AddCommands();
    EXPECT_FALSE(type.UpToDate());
    ASSERT_TRUE(type.Register()) << type.ErrorString().toStdString();
    EXPECT_GT(drawn, 0);
    EXPECT_TRUE(QFileInfo::exists(Data("vistrel/registered-vistrel-lcd")));

    drawn = 0;
    EXPECT_TRUE(type.UpToDate());
    ASSERT_TRUE(type.Register());
    EXPECT_EQ(drawn, 0);

    const QString icon = Data("icons/hicolor/64x64/mimetypes/application-x-vistrel-lcd.png");
    const QString entry = Data("applications/vistrel-lcd.desktop");
    const QString package = Data("mime/packages/vistrel-lcd.xml");
    const QByteArray entryBytes = ReadFile(entry);
    const QByteArray packageBytes = ReadFile(package);
    const struct {
        const char* change;
        std::function<void()> make;
    } changes[] = {
        {"an icon removed", [&] { QFile::remove(icon); }},
        {"an entry edited", [&] { folder.Write("data/applications/vistrel-lcd.desktop", "x"); }},
        {"the type removed", [&] { QFile::remove(package); }},
        {"a new build", [&] { type.IconSource = "build 2"; }},
        {"mimeapps.list emptied", [&] { WriteMimeApps(""); }},
    };
    for (const auto& change : changes) {
        change.make();
        drawn = 0;
        EXPECT_FALSE(type.UpToDate()) << change.change;
        ASSERT_TRUE(type.Register()) << change.change;
        EXPECT_GT(drawn, 0) << change.change;
        EXPECT_EQ(ReadFile(icon), Picture(64)) << change.change;
        EXPECT_EQ(ReadFile(entry), entryBytes) << change.change;
        EXPECT_EQ(ReadFile(package), packageBytes) << change.change;
        EXPECT_TRUE(ReadFile(MimeApps()).contains("application/x-vistrel-lcd=vistrel-lcd.desktop;"))
            << change.change;
        EXPECT_TRUE(type.UpToDate()) << change.change;
    }

    // Unregistering forgets the record with the files.
    ASSERT_TRUE(type.Unregister());
    EXPECT_FALSE(QFileInfo::exists(Data("vistrel/registered-vistrel-lcd")));
    EXPECT_FALSE(type.UpToDate());
}

// Without a default in mimeapps.list (a system-wide installation, before any
// per-user registration) desktops take the type's first entry by name: that is
// the open entry, and the entries an earlier version named "-play" go.
TEST_F(FileTypeTest, WithoutADefaultTheOpenEntryWinsAndOldVerbEntriesGo) {
    QDir().mkpath(Data("applications"));
    const QString oldPlay =
        folder.Write("data/applications/vistrel-lcd-play.desktop",
                     "[Desktop Entry]\nType=Application\nName=Play\nExec=vistrel /P %f\n"
                     "MimeType=application/x-vistrel-lcd;\nX-Vistrel-FileType=Vistrel.LCD\n");
    const QString notOurs = folder.Write("data/applications/vistrel-lcd-viewer.desktop",
                                         "[Desktop Entry]\nType=Application\nName=Viewer\n"
                                         "Exec=viewer %f\nMimeType=application/x-vistrel-lcd;\n");
    type.Application.ExecutablePath = Tool("true");
    AddCommands();
    ASSERT_TRUE(type.Register()) << type.ErrorString().toStdString();
    EXPECT_FALSE(QFileInfo::exists(oldPlay));
    EXPECT_TRUE(QFileInfo::exists(notOurs));
    EXPECT_TRUE(QFileInfo::exists(Data("applications/vistrel-lcd_play.desktop")));
    QFile::remove(notOurs);

    const QString xdgMime = Tool("xdg-mime");
    if (xdgMime.isEmpty() || Tool("update-desktop-database").isEmpty())
        GTEST_SKIP() << "xdg-mime or update-desktop-database is not installed";
    ASSERT_TRUE(type.RefreshDatabases(true)) << type.ErrorString().toStdString();
    QFile::remove(MimeApps());
    EXPECT_EQ(Text(RunTool(xdgMime, {"query", "default", type.MimeType()}, type.Folders)),
              "vistrel-lcd.desktop");
}
