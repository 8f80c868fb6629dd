#include "fileNames.h"
#include "localFiles.h"
#include "modelFixtures.h"
#include "unitAnimation.h"

#include <QDir>
#include <QFile>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
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

// Every save is written by code of our own, names Qt cannot address included: it
// keeps the promises of a whole-or-nothing save.
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

// Opening a FIFO waits for a writer that may never come, and a device such as
// /dev/zero never ends: documents, pictures and settings are read only from
// regular files, and only regular files are replaced by a save.
TEST(LocalFiles, OnlyRegularFilesAreReadOrReplaced) {
    TempFolder folder;
    const QString fifo = folder.Path("x.lcd");
    ASSERT_TRUE(MakeFifo(fifo));
    const QString fifoLink = folder.Path("fifo-link.lcd");
    const QString zeroLink = folder.Path("zero.lcd");
    ASSERT_EQ(
        ::symlink(QFile::encodeName(fifo).constData(), QFile::encodeName(fifoLink).constData()), 0);
    ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(zeroLink).constData()), 0);
    const QString regular = folder.Write("walk.lcd", "bytes");
    const QString regularLink = folder.Path("walk-link.lcd");
    ASSERT_EQ(::symlink(QFile::encodeName(regular).constData(),
                        QFile::encodeName(regularLink).constData()),
              0);

    for (const QString& name : {fifo, fifoLink, zeroLink, QStringLiteral("/dev/null"),
                                Foreign(folder.Path(""), "\xe9/../x.lcd")}) {
        QFile file;
        QString reason;
        bool opened = true;
        EXPECT_TRUE(FinishesWithoutWaitingOnFifo(fifo, [&] {
            opened = OpenLocalFile(file, name, &reason);
        })) << name.toStdString();
        EXPECT_FALSE(opened) << name.toStdString();
        if (name.contains(QChar(0xDCE9)))
            continue; // no such folder: the system's reason
        EXPECT_EQ(reason.toStdString(), "not a regular file") << name.toStdString();
    }
    for (const QString& name : {regular, regularLink}) {
        QFile file;
        ASSERT_TRUE(OpenLocalFile(file, name)) << name.toStdString();
        EXPECT_EQ(file.readAll(), "bytes");
    }

    for (const QString& name : {fifo, fifoLink}) {
        QString reason;
        EXPECT_FALSE(SaveLocalFile(name, "document", &reason)) << name.toStdString();
        EXPECT_EQ(reason.toStdString(), "not a regular file");
    }
    struct stat info {};
    ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    ASSERT_EQ(::lstat(QFile::encodeName(fifoLink).constData(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    // A link to a regular file is still followed.
    ASSERT_TRUE(SaveLocalFile(regularLink, "new bytes"));
    EXPECT_EQ(ReadFile(regular), "new bytes");
    EXPECT_EQ(Entries(folder.Path("")), (QList<QByteArray>{"fifo-link.lcd", "walk-link.lcd",
                                                           "walk.lcd", "x.lcd", "zero.lcd"}));
}

// A save killed between writing its temporary file and the rename leaves that
// file beside the document; the next save of that name clears it away, and
// nothing else.
TEST(LocalFiles, ASaveRemovesTheTemporariesAKilledSaveOfThatNameLeft) {
    TempFolder folder;
    const QString dir = QDir::cleanPath(folder.Path("."));
    for (const QByteArray& leaf : {QByteArray("walk.lcd"), QByteArray("caf\xe9.lcd")}) {
        const QString target = Foreign(dir, leaf);
        const auto path = [&](const QByteArray& suffix) {
            return FileNameToBytes(Foreign(dir, leaf + suffix));
        };
        const QByteArray stale = path(".vistrel-k3x9q0");
        const QByteArray kept[] = {
            path(".vistrel-k3x9q"),   // one letter short
            path(".vistrel-K3X9Q0"),  // not letters a save makes
            path(".vistrel-k3x9q0a"), // one letter too many
            path(".backup"),          // a user's copy
            path("x.vistrel-k3x9q0"), // another file's
        };
        const auto touch = [](const QByteArray& name) {
            const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
            return fd >= 0 && ::close(fd) == 0;
        };
        for (const QByteArray& name : kept)
            ASSERT_TRUE(touch(name)) << name.constData();
        ASSERT_TRUE(touch(stale));
        // A link or a folder of that name is no file a save made.
        const QByteArray link = path(".vistrel-link00");
        ASSERT_EQ(::symlink(kept[3].constData(), link.constData()), 0);
        const QByteArray folderName = path(".vistrel-dir000");
        ASSERT_EQ(::mkdir(folderName.constData(), 0700), 0);
        const QByteArray fifo = path(".vistrel-fifo00");
        ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
        // One that a save at work holds locked is that save's.
        const QByteArray live = path(".vistrel-live00");
        const int liveFd = ::open(live.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        ASSERT_GE(liveFd, 0);
        ASSERT_EQ(::flock(liveFd, LOCK_EX), 0);

        ASSERT_TRUE(SaveLocalFile(target, "document"));
        struct stat info {};
        EXPECT_NE(::lstat(stale.constData(), &info), 0) << stale.constData();
        for (const QByteArray& name : kept)
            EXPECT_EQ(::lstat(name.constData(), &info), 0) << name.constData();
        EXPECT_EQ(::lstat(link.constData(), &info), 0);
        EXPECT_EQ(::lstat(folderName.constData(), &info), 0);
        EXPECT_EQ(::lstat(fifo.constData(), &info), 0);
        EXPECT_EQ(::lstat(live.constData(), &info), 0);
        ::close(liveFd);
        // Qt cannot remove names that are not UTF-8.
        for (const QByteArray& name : kept)
            ::unlink(name.constData());
        for (const QByteArray& name : {link, live, fifo, FileNameToBytes(target)})
            ::unlink(name.constData());
        ::rmdir(folderName.constData());
    }
}
