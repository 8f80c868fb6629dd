#include "autosave.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMutex>
#include <QSemaphore>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

using namespace vistrel;

namespace {

bool WaitUntil(const std::function<bool()>& done, int milliseconds = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

// A document whose state is a number, and a disk that records what reached it.
// A write can be held until the test lets it go.
class AutosaveTest : public ::testing::Test {
protected:
    // A test that failed while a write was held must not hang in teardown.
    ~AutosaveTest() override {
        holdWrites = false;
        release.release(100);
    }

    int document = 0;
    QMutex mutex;
    std::vector<QByteArray> log; // writes and tasks, in the order they ran
    std::atomic<int> writing = 0;
    std::atomic<int> mostAtOnce = 0;
    std::atomic<bool> onGuiThread = false;
    std::atomic<bool> holdWrites = false;
    QSemaphore started;
    QSemaphore release;

    TAutosave autosave{[this] { return QByteArray::number(document); },
                       [this](const QByteArray& bytes, QString*) {
                           mostAtOnce = std::max(mostAtOnce.load(), ++writing);
                           if (QThread::currentThread() == QCoreApplication::instance()->thread())
                               onGuiThread = true;
                           started.release();
                           if (holdWrites)
                               release.acquire();
                           Record(bytes);
                           --writing;
                           return true;
                       }};

    void Record(const QByteArray& entry) {
        const QMutexLocker locker(&mutex);
        log.push_back(entry);
    }
    std::vector<QByteArray> Log() {
        const QMutexLocker locker(&mutex);
        return log;
    }
    void Change() {
        ++document;
        autosave.DocumentChanged();
    }
};

} // namespace

TEST_F(AutosaveTest, ABurstOfChangesIsOneWriteOfTheLastOffTheGuiThread) {
    autosave.SetDelay(50);
    int finished = 0;
    QObject::connect(&autosave, &TAutosave::writeFinished, [&](bool written, const QString&) {
        EXPECT_TRUE(written);
        ++finished;
    });
    for (int i = 0; i < 10; ++i)
        Change();
    EXPECT_TRUE(Log().empty()); // nothing before the delay
    ASSERT_TRUE(WaitUntil([&] { return !autosave.Busy() && finished == 1; }));
    EXPECT_EQ(Log(), std::vector<QByteArray>{"10"});
    EXPECT_FALSE(onGuiThread);
    // Nothing changed since: nothing more is written.
    QThread::msleep(100);
    QCoreApplication::processEvents();
    EXPECT_EQ(Log().size(), 1u);
}

TEST_F(AutosaveTest, ChangesThatNeverPauseAreStillWrittenEveryDelay) {
    autosave.SetDelay(40);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 400) {
        Change();
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    // A delay restarted by every change would not have written at all yet.
    EXPECT_GE(Log().size(), 2u);
    ASSERT_TRUE(WaitUntil([&] { return !autosave.Busy(); }));
    EXPECT_EQ(Log().back(), QByteArray::number(document));
}

TEST_F(AutosaveTest, ChangesDuringASlowWriteAreWrittenAfterItOneWriteAtATime) {
    autosave.SetDelay(10);
    holdWrites = true;
    Change();
    ASSERT_TRUE(WaitUntil([&] { return started.tryAcquire(); }));
    // The write of "1" is held; the editing goes on meanwhile.
    for (int i = 0; i < 5; ++i) {
        Change();
        QThread::msleep(15);
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(Log().empty());
    holdWrites = false;
    release.release();
    ASSERT_TRUE(WaitUntil([&] { return !autosave.Busy(); }));
    EXPECT_EQ(Log(), (std::vector<QByteArray>{"1", "6"}));
    EXPECT_EQ(mostAtOnce, 1);
}

TEST_F(AutosaveTest, DiscardDropsTheWaitingChangeAndRunsItsTaskAfterTheRunningWrite) {
    autosave.SetDelay(10);
    holdWrites = true;
    Change();
    ASSERT_TRUE(WaitUntil([&] { return started.tryAcquire(); }));
    Change(); // waits behind the held write
    autosave.Discard([this] { Record("removed"); });
    holdWrites = false;
    release.release();
    ASSERT_TRUE(WaitUntil([&] { return !autosave.Busy(); }));
    QThread::msleep(50);
    QCoreApplication::processEvents();
    EXPECT_EQ(Log(), (std::vector<QByteArray>{"1", "removed"}));

    // A change after it is written again.
    Change();
    ASSERT_TRUE(WaitUntil([&] { return Log().size() == 3; }));
    EXPECT_EQ(Log().back(), "3");
}

TEST_F(AutosaveTest, FlushWritesTheWaitingChangeAtOnce) {
    autosave.SetDelay(60'000);
    Change();
    Change();
    autosave.Flush();
    EXPECT_EQ(Log(), std::vector<QByteArray>{"2"});
}

// A document saved or closed meanwhile has nothing to recover: its empty
// snapshot never reaches the disk, and a later change is written as usual.
TEST_F(AutosaveTest, AnEmptySnapshotIsNotWritten) {
    autosave.SetDelay(60'000);
    TAutosave empty([] { return QByteArray(); },
                    [this](const QByteArray& bytes, QString*) {
                        Record(bytes);
                        return true;
                    });
    empty.DocumentChanged();
    empty.Flush();
    EXPECT_FALSE(empty.Busy());
    EXPECT_TRUE(Log().empty());
    Change();
    autosave.Flush();
    EXPECT_EQ(Log(), std::vector<QByteArray>{"1"});
}

TEST(Autosave, AFailedWriteIsReportedWithItsReason) {
    TAutosave autosave([] { return QByteArray("x"); },
                       [](const QByteArray&, QString* reason) {
                           *reason = QStringLiteral("No space left on device");
                           return false;
                       });
    autosave.SetDelay(1);
    std::vector<std::pair<bool, QString>> reports;
    QObject::connect(
        &autosave, &TAutosave::writeFinished,
        [&](bool written, const QString& reason) { reports.emplace_back(written, reason); });
    autosave.DocumentChanged();
    ASSERT_TRUE(WaitUntil([&] { return !reports.empty(); }));
    EXPECT_EQ(reports, (std::vector<std::pair<bool, QString>>{{false, "No space left on device"}}));
}
