#include "cliRun.h"
#include "fileNames.h"
#include "localFiles.h"
#include "modelFixtures.h"
#include "testRecoveryFixtures.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

// vistrel-cli finds the recovery folder as the program does, under
// $XDG_STATE_HOME, here a folder of the test's own.
class CliRecover : public ::testing::Test {
protected:
    TempFolder folder;
    ScopedVariable stateHome{"XDG_STATE_HOME", folder.Path("state")};
    QString recovery = folder.Path("state/vistrel/recovery");
    TRecoveryStore store{recovery};

    QString Leave(std::initializer_list<int> durations, const QString& name, int untitled,
                  qint64 secondsSince1970) {
        TAnimation animation;
        FillAnimation(animation, durations);
        animation.RepeatCount = 4;
        TRecoveryInfo info;
        info.FileName = name;
        info.UntitledNumber = untitled;
        info.LastChange = QDateTime::fromSecsSinceEpoch(secondsSince1970, Qt::UTC);
        return LeaveDocument(store, animation, info);
    }
};

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    for (const char c : text) {
        if (c == separator) {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}

} // namespace

TEST_F(CliRecover, ListsEveryStoppedDocumentOnALineAndSkipsDamagedFiles) {
    EXPECT_EQ(RunCli({"recover"}).out, "");

    const QString named =
        Leave({2, 0, 5}, FileNameFromBytes("/w/caf\xe9\tx.lcd"), 0, 1'800'000'000);
    const QString untitled = Leave({1}, QString(), 4, 1'800'000'600);
    ASSERT_TRUE(SaveRecoveryFile(recovery + "/broken.recovery", "not ours"));
    // A document still open in a running Vistrel is not left behind.
    const std::unique_ptr<TRecoverySlot> running = store.Create();
    ASSERT_TRUE(running && running->Write(RecoveryFileBytes(TAnimation(), TRecoveryInfo())));

    const CliResult result = RunCli({"recover"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "Skipped recovery file broken: not a Vistrel recovery file\n");
    const std::vector<std::string> lines = Split(result.out, '\n');
    ASSERT_EQ(lines.size(), 3u) << result.out; // two lines and the end
    EXPECT_EQ(lines[2], "");
    struct Expected {
        QString id;
        std::string name;
        std::string frames;
        qint64 seconds;
    };
    const Expected expected[] = {{untitled, "Untitled4.lcd", "1", 1'800'000'600},
                                 // A tab in a name would end its field.
                                 {named, "/w/caf\xe9\\tx.lcd", "3", 1'800'000'000}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const std::vector<std::string> fields = Split(lines[static_cast<std::size_t>(i)], '\t');
        ASSERT_EQ(fields.size(), 4u);
        EXPECT_EQ(fields[0], expected[i].id.toStdString());
        EXPECT_EQ(fields[1], expected[i].name);
        EXPECT_EQ(fields[2], expected[i].frames);
        const QDateTime time =
            QDateTime::fromString(QString::fromStdString(fields[3]), Qt::ISODate);
        EXPECT_EQ(time.toSecsSinceEpoch(), expected[i].seconds) << fields[3];
    }
    EXPECT_EQ(ReadFile(recovery + "/broken.recovery"), QByteArray("not ours"));
}

TEST_F(CliRecover, WritesTheDocumentAsConvertDoesAndThenRemovesItsRecoveryFile) {
    const QString id = Leave({2, 0, 5}, QStringLiteral("/w/walk.lcd"), 0, 1'800'000'000);
    const CliResult result = RunCli({"recover", id, folder.Path("saved.vms")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, (folder.Path("saved.LCD") + "\n").toStdString());
    TAnimation saved;
    ASSERT_TRUE(saved.LoadFromFile(folder.Path("saved.LCD")));
    EXPECT_EQ(Durations(saved), (std::vector<int>{2, 0, 5}));
    EXPECT_EQ(saved.RepeatCount, 4);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Marker(saved.Frame(i)), i);
    EXPECT_FALSE(LocalFileExists(recovery + "/" + id + ".recovery"));
    EXPECT_EQ(RunCli({"recover"}).out, "");
}

TEST_F(CliRecover, ADocumentThatCannotBeWrittenKeepsItsRecoveryFile) {
    TAnimation big;
    FillAnimation(big, 300);
    const QString bigId = LeaveDocument(store, big, TRecoveryInfo());
    const QString broken = recovery + "/broken.recovery";
    ASSERT_TRUE(SaveRecoveryFile(broken, "not ours"));
    const std::unique_ptr<TRecoverySlot> running = store.Create();
    ASSERT_TRUE(running && running->Write(RecoveryFileBytes(big, TRecoveryInfo())));
    const QString out = folder.Path("out.vms");
    struct Case {
        QStringList arguments;
        std::string err;
    };
    const Case cases[] = {
        {{"recover", bigId, out},
         "Unable to save out.LCD: an LCD file holds at most 255 frames, the animation has 300\n"},
        {{"recover", "nothing", out},
         "Unable to recover nothing: there is no recovery file of that ID\n"},
        {{"recover", running->Id(), out},
         "Unable to recover " + running->Id().toStdString() +
             ": it belongs to a Vistrel that is still running\n"},
        {{"recover", "broken", out}, "Unable to recover broken: not a Vistrel recovery file\n"},
        {{"recover", bigId, ""}, "Unable to save: the output file name is empty\n"},
        {{"recover", bigId}, "Wrong number of arguments for recover\n"},
    };
    const QByteArray bigBytes = ReadFile(recovery + "/" + bigId + ".recovery");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CliResult result = RunCli(c.arguments);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.substr(0, c.err.size()), c.err);
    }
    EXPECT_FALSE(LocalFileExists(folder.Path("out.LCD")));
    EXPECT_EQ(ReadFile(recovery + "/" + bigId + ".recovery"), bigBytes);
    EXPECT_EQ(ReadFile(broken), QByteArray("not ours"));
    EXPECT_TRUE(LocalFileExists(running->FilePath()));
}
