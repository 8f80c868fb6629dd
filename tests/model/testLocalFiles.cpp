#include "fileNames.h"
#include "localFiles.h"
#include "modelFixtures.h"
#include "unitAnimation.h"

#include <QDir>
#include <QFile>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

// The entries of a folder as the file system holds them, sorted.
QList<QByteArray> Entries(const QString& folder) {
    QList<QByteArray> names;
    if (DIR* dir = ::opendir(FileNameToBytes(folder).constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..")
                names << name;
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

QString Foreign(const QString& folder, const QByteArray& leaf) {
    return FileNameFromBytes(FileNameToBytes(folder) + '/' + leaf);
}

} // namespace

TEST(FileNames, EveryByteStringComesBackAsItWas) {
    struct Case {
        QByteArray bytes;
        bool utf8;
    };
    const Case cases[] = {
        {"walk.lcd", true},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80.lcd", true}, // two-, three- and four-byte
        {"caf\xe9.lcd", false},                                  // Latin-1
        {"\xff\xfe", false},
        {"cut \xe2\x82", false},     // a sequence cut short at the end
        {"\xe2\x82 cut", false},     // ... and in the middle
        {"over\xc0\xaflong", false}, // a two-byte "/"
        {"\xed\xa0\x80", false},     // an encoded surrogate
        {"\xf4\x90\x80\x80", false}, // past U+10FFFF
        {"\x80lone continuation", false},
    };
    for (const Case& c : cases) {
        const QString name = FileNameFromBytes(c.bytes);
        EXPECT_EQ(FileNameToBytes(name), c.bytes) << c.bytes.toHex().constData();
        EXPECT_EQ(HasForeignBytes(name), !c.utf8) << c.bytes.toHex().constData();
        if (c.utf8) {
            EXPECT_EQ(name, QString::fromUtf8(c.bytes)) << c.bytes.toHex().constData();
        }
    }
    // A byte order mark is part of a name (Qt's decoding drops it).
    EXPECT_EQ(FileNameFromBytes("\xef\xbb\xbf"
                                "bom"),
              QStringView(u"\uFEFFbom").toString());
    // Valid characters around the stand-ins keep their places.
    EXPECT_EQ(FileNameFromBytes("a\xe9z"), QStringView(u"a\xDCE9z").toString());
}

TEST(LocalFiles, ANameThatIsNotUtf8ReachesTheFileSystemUnchanged) {
    TempFolder folder;
    const QString dir = QDir::cleanPath(folder.Path("."));
    const QString name = Foreign(dir, "caf\xe9.lcd");
    QString reason;
    ASSERT_TRUE(SaveLocalFile(name, "first", &reason)) << reason.toStdString();
    ASSERT_TRUE(SaveLocalFile(name, "second", &reason)) << reason.toStdString();
    // One file, by those bytes; no replacement-character twin and no leftovers.
    EXPECT_EQ(Entries(dir), QList<QByteArray>({"caf\xe9.lcd"}));
    EXPECT_TRUE(LocalFileExists(name));
    EXPECT_FALSE(IsLocalFolder(name));
    QFile file;
    ASSERT_TRUE(OpenLocalFile(file, name, &reason)) << reason.toStdString();
    EXPECT_EQ(file.readAll(), "second");

    // A whole document goes the same way, in and out.
    TAnimation animation;
    ASSERT_TRUE(animation.LoadFromFile(folder.Write("walk.lcd", LCDBytes({2, 0, 5}))));
    const QString copy = Foreign(dir, "\xff copy.vms");
    ASSERT_TRUE(animation.SaveToFile(copy, &reason)) << reason.toStdString();
    TAnimation reread;
    ASSERT_TRUE(reread.LoadFromFile(Foreign(dir, "\xff copy.LCD")));
    EXPECT_EQ(reread.FrameCount(), 3);
    file.close();
    ASSERT_TRUE(OpenLocalFile(file, Foreign(dir, "\xff copy.LCD")));
    EXPECT_EQ(file.readAll().left(16 + 3 * 1540),
              ReadFile(folder.Path("walk.lcd")).left(16 + 3 * 1540));
}

// The names Qt cannot address are written by code of our own; it has to keep the
// promises QSaveFile keeps for the others.
TEST(LocalFiles, ReplacingAFileByForeignNameKeepsItsModeItsLinksAndItOnFailure) {
    TempFolder folder;
    const QString dir = QDir::cleanPath(folder.Path("."));
    const QString name = Foreign(dir, "old\xe9");
    ASSERT_TRUE(SaveLocalFile(name, "old"));
    ASSERT_EQ(::chmod(FileNameToBytes(name).constData(), 0640), 0);
    ASSERT_TRUE(SaveLocalFile(name, "new"));
    struct stat info {};
    ASSERT_EQ(::stat(FileNameToBytes(name).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    // A link is followed: the file it names gets the bytes and the link stays.
    const QString link = Foreign(dir, "link\xe9");
    ASSERT_EQ(::symlink(FileNameToBytes(name).constData(), FileNameToBytes(link).constData()), 0);
    ASSERT_TRUE(SaveLocalFile(link, "through the link"));
    struct stat linkInfo {};
    ASSERT_EQ(::lstat(FileNameToBytes(link).constData(), &linkInfo), 0);
    EXPECT_TRUE(S_ISLNK(linkInfo.st_mode));
    QFile file;
    ASSERT_TRUE(OpenLocalFile(file, name));
    EXPECT_EQ(file.readAll(), "through the link");
    file.close();
    EXPECT_TRUE(IsSameLocalFile(link, name));
    EXPECT_FALSE(IsSameLocalFile(link, Foreign(dir, "other\xe9")));

    // A write cut short leaves the old file whole and says why.
    QString reason;
    {
        FileSizeLimit limit(64);
        EXPECT_FALSE(SaveLocalFile(name, QByteArray(4096, 'x'), &reason));
    }
    EXPECT_EQ(reason, QStringLiteral("File too large"));
    ASSERT_TRUE(OpenLocalFile(file, name));
    EXPECT_EQ(file.readAll(), "through the link");
    EXPECT_EQ(Entries(dir).size(), 2); // the file and the link: no temporary left

    // Errors name the system's reason, as Qt's do.
    EXPECT_FALSE(SaveLocalFile(Foreign(dir, "no folder\xe9/x.lcd"), "x", &reason));
    EXPECT_EQ(reason, QStringLiteral("No such file or directory"));
    EXPECT_FALSE(OpenLocalFile(file, Foreign(dir, "missing\xe9"), &reason));
    EXPECT_EQ(reason, QStringLiteral("No such file or directory"));
    ASSERT_TRUE(MakeLocalFolder(Foreign(dir, "a\xe9/b\xe9")));
    EXPECT_TRUE(IsLocalFolder(Foreign(dir, "a\xe9/b\xe9")));
    EXPECT_FALSE(OpenLocalFile(file, Foreign(dir, "a\xe9"), &reason));
    EXPECT_EQ(reason, QStringLiteral("Is a directory"));
    EXPECT_FALSE(SaveLocalFile(Foreign(dir, "a\xe9"), "x", &reason));
    EXPECT_EQ(reason, QStringLiteral("Is a directory"));
}
