#include "modelFixtures.h"
#include "programFileTypes.h"

#include <QDirIterator>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

// The program's types over desktop folders of a temporary folder.
struct FileTypesFixture {
    TempFolder folder;
    TProgramFileTypes types{QStandardPaths::findExecutable(QStringLiteral("true"))};

    FileTypesFixture() {
        for (TFileType* type : All())
            type->Folders = {folder.Path("data"), folder.Path("config")};
    }
    std::vector<TFileType*> All() {
        return {&types.FileTypeLCD, &types.FileTypeVMS, &types.FileTypeVMI};
    }
    // Every file under the data folder and mimeapps.list, as one text to search.
    QString Written() const {
        QString all;
        QDirIterator files(folder.Path("data"), QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext())
            all += files.next() + QLatin1Char('\n') + QString::fromUtf8(ReadFile(files.filePath()));
        return all + QString::fromUtf8(ReadFile(folder.Path("config/mimeapps.list")));
    }
    // Runs a desktop tool over the fixture's folders only, never the user's.
    QString Run(const QString& program, const QStringList& arguments) const {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), folder.Path("data"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.Path("config"));
        environment.insert(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral("/usr/share"));
        environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        process.waitForFinished(60000);
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    }
};

} // namespace

TEST(ProgramFileTypes, MemoryCardFilesAreDeclaredAsTheConsolesTypes) {
    FileTypesFixture f;
    const struct {
        TFileType& type;
        const char* mime;
        const char* description;
    } cases[] = {
        {f.types.FileTypeVMS, "application/x-dreamcast-vms", "Dreamcast VMU Application"},
        {f.types.FileTypeVMI, "application/x-dreamcast-vms-info", "Dreamcast VMU Application Info"},
        {f.types.FileTypeLCD, "application/x-vistrel-lcd", "Vistrel Animation"},
    };
    EXPECT_TRUE(f.types.Register(true, true).isEmpty());
    for (const auto& c : cases) {
        EXPECT_EQ(c.type.MimeType(), c.mime);
        const QByteArray package = ReadFile(c.type.MimePackagePath());
        EXPECT_TRUE(package.contains(QByteArray("type=\"") + c.mime + '"')) << package.data();
        EXPECT_TRUE(package.contains(QByteArray("<comment>") + c.description + "</comment>"))
            << package.data();
    }
}

// A desktop registered by an earlier Vistrel knows the memory card files under
// other names: registering again, or removing the types, leaves none of them.
TEST(ProgramFileTypes, TheEarlierNamesOfTheMemoryCardTypesAreTakenBack) {
    for (const bool registerAgain : {true, false}) {
        FileTypesFixture f;
        for (const auto& [type, earlier] :
             {std::pair{&f.types.FileTypeVMS, "application/x-memory-card-vms"},
              std::pair{&f.types.FileTypeVMI, "application/x-memory-card-vms-info"}}) {
            TFileType before = *type;
            before.ContentType = QLatin1String(earlier);
            before.Description = QStringLiteral("Memory Card Application");
            before.AddCommand(QStringLiteral("open"), {}, {});
            ASSERT_TRUE(before.Register()) << before.ErrorString().toStdString();
        }
        ASSERT_TRUE(f.Written().contains("memory-card"));

        if (registerAgain) {
            EXPECT_TRUE(f.types.Register(true, false).isEmpty());
            EXPECT_TRUE(ReadFile(f.folder.Path("config/mimeapps.list"))
                            .contains("application/x-dreamcast-vms=vistrel-vms.desktop;"));
        } else {
            EXPECT_TRUE(f.types.Unregister(false, true).isEmpty());
            EXPECT_FALSE(f.Written().contains("vistrel-vms"));
        }
        EXPECT_FALSE(f.Written().contains("memory-card")) << registerAgain;
        EXPECT_FALSE(f.Written().contains("Memory Card")) << registerAgain;
    }
}

TEST(ProgramFileTypes, TheDesktopNamesAVmsFileAfterRegistration) {
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("gio")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty())
        GTEST_SKIP() << "xdg-mime, gio or update-mime-database is not installed";
    FileTypesFixture f;
    ASSERT_TRUE(f.types.Register(true, true).isEmpty());
    EXPECT_EQ(f.Run(xdgMime, {"query", "filetype", f.folder.Write("x.vms", "data")}),
              "application/x-dreamcast-vms");
    EXPECT_EQ(f.Run(xdgMime, {"query", "filetype", f.folder.Write("X.VMI", "data")}),
              "application/x-dreamcast-vms-info");
}
