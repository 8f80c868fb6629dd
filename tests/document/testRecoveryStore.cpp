#include "fileNames.h"
#include "modelFixtures.h"
#include "testRecoveryFixtures.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

TRecoveryInfo Named(const QString& name, qint64 msecs) {
    TRecoveryInfo info;
    info.FileName = name;
    info.CurrentFrame = 0;
    info.LastChange = QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
    return info;
}

QStringList Ids(const std::vector<TRecoveryEntry>& entries) {
    QStringList ids;
    for (const TRecoveryEntry& entry : entries)
        ids << entry.Id;
    return ids;
}

class RecoveryStore : public ::testing::Test {
protected:
    TempFolder folder;
    QString recovery = folder.Path("state/vistrel/recovery");
};

} // namespace

TEST(RecoveryFolder, IsUnderTheStateFolderOfTheDesktop) {
    struct Case {
        std::optional<QString> stateHome;
        QString expected;
    };
    const Case cases[] = {
        {QStringLiteral("/data/state/"), QStringLiteral("/data/state/vistrel/recovery")},
        {std::nullopt, QStringLiteral("/home/ann/.local/state/vistrel/recovery")},
        {QString(), QStringLiteral("/home/ann/.local/state/vistrel/recovery")},
        // Desktops ignore a relative folder.
        {QStringLiteral("state"), QStringLiteral("/home/ann/.local/state/vistrel/recovery")},
    };
    const ScopedVariable home("HOME", QStringLiteral("/home/ann"));
    for (const Case& c : cases) {
        const ScopedVariable state("XDG_STATE_HOME", c.stateHome);
        EXPECT_EQ(TRecoveryStore::DefaultFolder(), c.expected);
    }
    // A home folder whose name is not UTF-8 is still that folder.
    qputenv("HOME", "/home/caf\xe9");
    const ScopedVariable state("XDG_STATE_HOME", std::nullopt);
    EXPECT_EQ(FileNameToBytes(TRecoveryStore::DefaultFolder()),
              QByteArray("/home/caf\xe9/.local/state/vistrel/recovery"));
}

TEST_F(RecoveryStore, ADocumentOfARunningInstanceIsNeverListedAndAStoppedOneIs) {
    TRecoveryStore running(recovery);
    std::unique_ptr<TRecoverySlot> slot = running.Create();
    ASSERT_TRUE(slot);
    TAnimation animation;
    FillAnimation(animation, {2, 3, 4});
    ASSERT_TRUE(slot->Write(RecoveryFileBytes(animation, Named("/a/walk.lcd", 5000))));
    struct stat folderInfo {};
    ASSERT_EQ(::stat(FileNameToBytes(recovery).constData(), &folderInfo), 0);
    EXPECT_EQ(folderInfo.st_mode & 0777, 0700u);

    // Another instance looks while the owner runs, also long after the lock was taken.
    TRecoveryStore other(recovery);
    EXPECT_TRUE(other.List().empty());
    const QByteArray lock = FileNameToBytes(recovery + "/" + slot->Id() + ".lock");
    const utimbuf hourAgo{std::time(nullptr) - 3600, std::time(nullptr) - 3600};
    ASSERT_EQ(::utime(lock.constData(), &hourAgo), 0);
    EXPECT_TRUE(other.List().empty());
    // A home folder shared by two machines: whether the other machine's Vistrel
    // still runs cannot be told, however old its lock is.
    const QString elsewhere = LeaveDocument(running, animation, Named("/a/elsewhere.lcd", 6000));
    const QString elsewhereLock = recovery + "/" + elsewhere + ".lock";
    folder.Write("state/vistrel/recovery/" + elsewhere + ".lock", "1\nvistrel\nanother-machine\n");
    ASSERT_EQ(::utime(FileNameToBytes(elsewhereLock).constData(), &hourAgo), 0);
    EXPECT_TRUE(other.List().empty());
    ASSERT_TRUE(QFile::remove(elsewhereLock));
    EXPECT_EQ(Ids(other.List()), QStringList{elsewhere});
    ASSERT_TRUE(other.Claim(elsewhere)->Remove());
    QString reason;
    EXPECT_FALSE(other.Claim(slot->Id(), &reason));
    EXPECT_EQ(reason, QStringLiteral("it belongs to a Vistrel that is still running"));

    // The owner stops without saving: its document is there to recover.
    const QString id = slot->Id();
    slot.reset();
    const std::vector<TRecoveryEntry> entries = other.List();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Id, id);
    EXPECT_TRUE(entries[0].Readable);
    EXPECT_EQ(entries[0].FrameCount, 3);
    EXPECT_EQ(entries[0].Info.FileName, QStringLiteral("/a/walk.lcd"));
    EXPECT_EQ(entries[0].Info.LastChange.toMSecsSinceEpoch(), 5000);

    // Taken over, it is hidden from everyone else; once removed it is gone.
    std::unique_ptr<TRecoverySlot> claimed = other.Claim(id, &reason);
    ASSERT_TRUE(claimed) << reason.toStdString();
    EXPECT_TRUE(TRecoveryStore(recovery).List().empty());
    EXPECT_TRUE(claimed->Remove());
    claimed.reset();
    EXPECT_TRUE(other.List().empty());
    EXPECT_FALSE(other.Claim(id, &reason));
    EXPECT_EQ(reason, QStringLiteral("there is no recovery file of that ID"));
}

TEST_F(RecoveryStore, ListsNewestFirstAndReportsDamagedAndForeignFilesWithoutRemovingThem) {
    TRecoveryStore store(recovery);
    TAnimation animation;
    FillAnimation(animation, 2);
    const QString older = LeaveDocument(store, animation, Named("/old.lcd", 1000));
    const QString newer = LeaveDocument(store, animation, Named("/new.lcd", 9000));
    ASSERT_FALSE(older.isEmpty());
    ASSERT_FALSE(newer.isEmpty());
    const QString damaged = recovery + "/damaged.recovery";
    const QByteArray cut = RecoveryFileBytes(animation, Named("/cut.lcd", 3)).chopped(10);
    ASSERT_TRUE(SaveRecoveryFile(damaged, cut));
    const QString foreign = recovery + "/notes.recovery";
    ASSERT_TRUE(SaveRecoveryFile(foreign, "shopping list\n"));
    // Not recovery files at all: a save's temporary, other names.
    ASSERT_TRUE(SaveRecoveryFile(recovery + "/" + older + ".recovery.vistrel-abc123", "x"));
    ASSERT_TRUE(SaveRecoveryFile(recovery + "/readme.txt", "x"));
    ASSERT_TRUE(SaveRecoveryFile(recovery + "/two words.recovery", "x"));

    const std::vector<TRecoveryEntry> entries = store.List();
    EXPECT_EQ(Ids(entries), (QStringList{newer, older, "damaged", "notes"}));
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_FALSE(entries[2].Readable);
    EXPECT_TRUE(entries[2].Reason.startsWith("the recovery file is damaged (it ends early"))
        << entries[2].Reason.toStdString();
    EXPECT_FALSE(entries[3].Readable);
    EXPECT_EQ(entries[3].Reason, QStringLiteral("not a Vistrel recovery file"));
    EXPECT_EQ(ReadFile(damaged), cut);
    EXPECT_EQ(ReadFile(foreign), QByteArray("shopping list\n"));
}

TEST_F(RecoveryStore, AFolderThatCannotBeWrittenIsReportedOnceAndNothingElseFails) {
    // A file stands where the folder should be made.
    folder.Write("state", "a file");
    TRecoveryStore store(recovery);
    QStringList reports;
    QObject::connect(&store, &TRecoveryStore::problemFound,
                     [&](const QString& message) { reports << message; });
    EXPECT_FALSE(store.Create());
    EXPECT_FALSE(store.Create());
    EXPECT_TRUE(store.List().empty());
    EXPECT_EQ(reports, QStringList{"Unable to keep recovery files in " + recovery + ": " +
                                   folder.Path("state") + " is not a folder"});
    EXPECT_EQ(store.Problem(), reports.value(0));

    // The folder goes away under a running document: its writes fail, reported once.
    const QString later = folder.Path("later");
    TRecoveryStore laterStore(later);
    QStringList laterReports;
    QObject::connect(&laterStore, &TRecoveryStore::problemFound,
                     [&](const QString& message) { laterReports << message; });
    const std::unique_ptr<TRecoverySlot> slot = laterStore.Create();
    ASSERT_TRUE(slot);
    ASSERT_TRUE(QDir(later).removeRecursively());
    ASSERT_TRUE(folder.Write("later", "a file").size() > 0);
    QString reason;
    EXPECT_FALSE(slot->Write("bytes", &reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_FALSE(slot->Write("bytes"));
    ASSERT_EQ(laterReports.size(), 1);
    EXPECT_EQ(laterReports[0], "Unable to keep recovery files in " + later + ": " + reason);
    // Once writes work again the problem is over.
    ASSERT_TRUE(QFile::remove(later));
    ASSERT_TRUE(QDir().mkpath(later));
    EXPECT_TRUE(slot->Write("bytes"));
    EXPECT_EQ(laterStore.Problem(), QString());
    // A problem that comes back after that is a new one, told again.
    ASSERT_TRUE(QDir(later).removeRecursively());
    ASSERT_TRUE(folder.Write("later", "a file").size() > 0);
    EXPECT_FALSE(slot->Write("bytes"));
    EXPECT_EQ(laterReports.size(), 2);
}

TEST_F(RecoveryStore, AnIdNeverReachesOutsideTheFolder) {
    TRecoveryStore store(recovery);
    ASSERT_TRUE(QDir().mkpath(recovery));
    folder.Write("state/vistrel/outside.recovery", "x");
    for (const char* id : {"../outside", "", "a/b", "..", "x\ny"}) {
        QString reason;
        EXPECT_FALSE(store.Claim(QString::fromLatin1(id), &reason)) << id;
        EXPECT_EQ(reason, QStringLiteral("there is no recovery file of that ID"));
    }
}

// A real Vistrel process that keeps writing its recovery file, killed with
// SIGKILL at moments that most often fall inside a write: kills go on until one
// has cut a write short (it leaves its temporary file).
TEST_F(RecoveryStore, AKilledWriterLeavesItsLastWholeFileForTheNextStart) {
    TRecoveryStore store(recovery);
    int cutShort = 0;
    for (int round = 0; round < 80 && (round < 4 || cutShort == 0); ++round) {
        SCOPED_TRACE(round);
        QProcess writer;
        writer.start(QStringLiteral(RECOVERY_WRITER), {recovery});
        ASSERT_TRUE(writer.waitForReadyRead(20000)) << writer.readAllStandardError().toStdString();
        const QString id = QString::fromLatin1(writer.readLine()).trimmed();
        ASSERT_FALSE(id.isEmpty());
        // Alive: its lock hides the document from this instance.
        EXPECT_FALSE(Ids(store.List()).contains(id));
        QThread::msleep(static_cast<unsigned long>(7 * (round % 10) + 3));
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        ASSERT_TRUE(writer.waitForFinished(10000));
        const QStringList temporaries =
            QDir(recovery).entryList({id + ".recovery.vistrel-*"}, QDir::Files);
        cutShort += static_cast<int>(temporaries.size());

        // Dead: its lock names a process that no longer runs.
        const std::vector<TRecoveryEntry> entries = store.List();
        const auto found = std::find_if(entries.begin(), entries.end(),
                                        [&](const TRecoveryEntry& e) { return e.Id == id; });
        ASSERT_NE(found, entries.end());
        EXPECT_TRUE(found->Readable) << found->Reason.toStdString();
        EXPECT_EQ(found->FrameCount, MaxDocumentFrames);
        TAnimation animation;
        TRecoveryInfo info;
        std::unique_ptr<TRecoverySlot> slot = store.Claim(id);
        ASSERT_TRUE(slot);
        ASSERT_TRUE(LoadRecoveryFile(slot->FilePath(), animation, info));
        // Every frame is of the same write.
        const int mark = animation.RepeatCount;
        for (int p = 0; p < FramePixelCount; ++p)
            ASSERT_EQ(animation.Frame(MaxDocumentFrames - 1).Pixels[static_cast<std::size_t>(p)],
                      p % mark == 0 ? 1 : 0);
        EXPECT_TRUE(slot->Remove());
        slot.reset();
        EXPECT_EQ(QDir(recovery).entryList(QDir::Files), QStringList());
    }
    EXPECT_GT(cutShort, 0);
}

TEST_F(RecoveryStore, WhatAnOwnerKilledBeforeItsFirstWholeWriteLeftIsCleanedUp) {
    TRecoveryStore store(recovery);
    QString id;
    {
        const std::unique_ptr<TRecoverySlot> slot = store.Create();
        ASSERT_TRUE(slot);
        id = slot->Id();
        folder.Write("state/vistrel/recovery/" + id + ".recovery.vistrel-a1b2c3", "half");
        // Only this owner's own leftovers go.
        folder.Write("state/vistrel/recovery/" + id + ".recovery.vistrel-mine", "other");
        EXPECT_TRUE(store.List().empty());
        EXPECT_EQ(QDir(recovery).entryList(QDir::Files).size(), 3);
    }
    EXPECT_TRUE(store.List().empty());
    EXPECT_EQ(QDir(recovery).entryList(QDir::Files), QStringList{id + ".recovery.vistrel-mine"});
}
