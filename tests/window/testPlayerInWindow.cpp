#include "playerPage.h"
#include "threadPlayer.h"
#include "windowFixture.h"

#include <QCloseEvent>
#include <QPointer>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

using namespace vistrel;
using namespace vistrel::testing;

// /P plays at once; leaving the Player page stops the run, and the box goes back
// to the editor's picture with the idle buttons.
TEST(PlayerInWindow, SlashPPlaysAndLeavingThePageStops) {
    TempFolder files;
    const QString clip = files.Write("clip.lcd", LCDBytes({1, 2, 3}, 255));
    WindowFixture f({"/P", clip});
    TPlayerThread* player = f.Window().PlayerPage().PlayerThread();
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->State(), TPlayerThread::Playing);
    auto* pages = f.Window().findChild<QTabWidget*>("pgcntlMain");
    pages->setCurrentWidget(f.Window().findChild<QWidget*>("tbshtFrameEdit"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Window().PlayerPage().PlayerThread(); }, 10000));
    EXPECT_TRUE(f.Window().findChild<QToolButton*>("tlbtnPlay")->isEnabled());
}

TEST(PlayerInWindow, ClosingTheWindowDuringPlaybackEndsTheWorker) {
    TempFolder files;
    const QString clip = files.Write("clip.lcd", LCDBytes({1}, 255));
    WindowFixture f({"/P", clip});
    const QPointer<TPlayerThread> player = f.Window().PlayerPage().PlayerThread();
    ASSERT_NE(player, nullptr);
    // Closed in the middle of the run, some ticks in.
    const auto draws = std::make_shared<int>(0);
    QObject::connect(player, &TPlayerThread::Drawn, [draws] { ++*draws; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return *draws >= 3; }, 10000));
    EXPECT_TRUE(f.Window().close());
    // The close itself ends the run: the worker stops and the page lets it go,
    // while the window still stands.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return f.Window().PlayerPage().PlayerThread() == nullptr; }, 10000));
    EXPECT_TRUE(player.isNull());
}

TEST(PlayerInWindow, ShiftSelectionEnablesPlaySelectionOnlyWhenIdle) {
    WindowFixture f;
    auto* button = f.Window().findChild<QToolButton*>("tlbtnPlaySelection");
    EXPECT_FALSE(button->isEnabled());
    f.Window().Document().SetMultipleSel(true);
    EXPECT_TRUE(button->isEnabled());
    f.Window().Document().SetMultipleSel(false);
    EXPECT_FALSE(button->isEnabled());
}
