#include "fakePlayerHost.h"
#include "playerPage.h"
#include "threadPlayer.h"

#include <QAction>
#include <QDeadlineTimer>
#include <QMenu>
#include <QTest>
#include <QThread>
#include <QToolButton>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

using Position = std::pair<int, int>; // frame, tick

// Enabled states of Play, Play Selection, Pause, Stop, First, Prev, Next, Last.
constexpr const char* IdleRow = "10000000";
constexpr const char* IdleRowWithSelection = "11000000";
constexpr const char* PlayingRow = "00110000";
constexpr const char* PausedRow = "00111111";

std::string Row(const TPlayerPage& page) {
    std::string row;
    for (const char* name : {"tlbtnPlay", "tlbtnPlaySelection", "tlbtnPause", "tlbtnStop",
                             "tlbtnFirst", "tlbtnPrev", "tlbtnNext", "tlbtnLast"})
        row += page.findChild<QToolButton*>(name)->isEnabled() ? '1' : '0';
    return row;
}

void Click(TPlayerPage& page, const char* button) {
    QTest::mouseClick(page.findChild<QToolButton*>(button), Qt::LeftButton);
}

// Every picture the player draws, in order.
std::shared_ptr<std::vector<Position>> RecordDraws(TPlayerThread& player) {
    auto draws = std::make_shared<std::vector<Position>>();
    QObject::connect(&player, &TPlayerThread::Drawn,
                     [draws](int frame, int tick) { draws->emplace_back(frame, tick); });
    return draws;
}

bool WaitUntilIdle(const TPlayerPage& page) {
    return QTest::qWaitFor([&] { return page.PlayerThread() == nullptr; }, 10000);
}

QImage BoxPicture(const TPlayerPage& page) {
    return page.findChild<QWidget*>("pntbxPlayer")->grab().toImage();
}

bool IsBlack(const QImage& image, int x, int y) {
    return (image.pixel(x, y) & 0xFFFFFF) == 0;
}

} // namespace

TEST(PlayerPage, PlaysToItsEndThenShowsTheWorkPictureWithTheIdleButtons) {
    FakePlayerHost host;
    FillAnimation(host.animation, {1, 2, 3});
    host.animation.RepeatCount = 2;
    host.Preferences().PlayerFPS = 1000;
    host.multipleSel = true;
    host.workBitmap.setPixel(5, 3, 0xFF000000);
    TPlayerPage page(host);
    page.resize(500, 400);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    EXPECT_EQ(Row(page), IdleRowWithSelection);

    Click(page, "tlbtnPlay");
    TPlayerThread* player = page.PlayerThread();
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->TickMs(), 1);
    const auto draws = RecordDraws(*player);
    EXPECT_EQ(Row(page), PlayingRow);
    // While a player exists, Play Selection stays off and does nothing.
    page.MultipleSelChanged(true);
    page.tlbtnPlaySelectionClick();
    EXPECT_EQ(page.PlayerThread(), player);
    EXPECT_EQ(Row(page), PlayingRow);

    ASSERT_TRUE(WaitUntilIdle(page));
    EXPECT_EQ(*draws, (std::vector<Position>{{0, 0},
                                             {1, 0},
                                             {1, 1},
                                             {2, 0},
                                             {2, 1},
                                             {2, 2},
                                             {0, 0},
                                             {1, 0},
                                             {1, 1},
                                             {2, 0},
                                             {2, 1},
                                             {2, 2}}));
    EXPECT_EQ(Row(page), IdleRowWithSelection);
    // Back to the editor's picture: its dot (5, 3), not frame 2's dot (2, 0).
    const QImage shown = BoxPicture(page);
    EXPECT_TRUE(IsBlack(shown, 10, 6));
    EXPECT_FALSE(IsBlack(shown, 4, 0));
}

TEST(PlayerPage, PausesStepsByTicksResumesAndStopsWhilePaused) {
    FakePlayerHost host;
    FillAnimation(host.animation, {3, 1, 2});
    host.animation.RepeatCount = 255;
    host.Preferences().PlayerFPS = 1000;
    TPlayerPage page(host);
    page.show();
    Click(page, "tlbtnPlay");
    TPlayerThread* player = page.PlayerThread();
    ASSERT_NE(player, nullptr);
    const auto draws = RecordDraws(*player);
    ASSERT_TRUE(QTest::qWaitFor([&] { return draws->size() >= 5; }, 10000));
    // Paused with a tick already handed to the GUI thread, still queued.
    QDeadlineTimer patience(10000);
    while (!player->WaitingForGui() && !patience.hasExpired())
        QThread::yieldCurrentThread();
    ASSERT_TRUE(player->WaitingForGui());

    Click(page, "tlbtnPause");
    EXPECT_EQ(player->State(), TPlayerThread::Paused);
    EXPECT_EQ(Row(page), PausedRow);
    const std::size_t drawnBeforePause = draws->size();
    // The worker comes to rest at its pause; a step it had already posted runs
    // before that, and must draw nothing. At rest it can post no other.
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->PausedRest().has_value(); }, 10000))
        << "the paused worker went on ticking";
    EXPECT_FALSE(player->WaitingForGui());
    EXPECT_EQ(draws->size(), drawnBeforePause) << "a paused player went on drawing";

    for (const char* button : {"tlbtnFirst", "tlbtnNext", "tlbtnNext", "tlbtnNext", "tlbtnPrev",
                               "tlbtnLast", "tlbtnNext"})
        Click(page, button);
    EXPECT_EQ(
        std::vector<Position>(draws->begin() + static_cast<long>(drawnBeforePause), draws->end()),
        (std::vector<Position>{{0, 0}, {0, 1}, {0, 2}, {1, 0}, {0, 2}, {2, 1}, {2, 1}}));
    EXPECT_EQ(draws->size(), drawnBeforePause + 7);

    // Playing on continues from the last tick of the last frame: a new pass.
    Click(page, "tlbtnPause");
    EXPECT_EQ(Row(page), PlayingRow);
    ASSERT_TRUE(QTest::qWaitFor([&] { return draws->size() >= drawnBeforePause + 10; }, 10000));
    EXPECT_EQ((*draws)[drawnBeforePause + 7], (Position{0, 0}));
    EXPECT_EQ((*draws)[drawnBeforePause + 8], (Position{0, 1}));

    Click(page, "tlbtnPause");
    ASSERT_EQ(player->State(), TPlayerThread::Paused);
    Click(page, "tlbtnStop");
    ASSERT_TRUE(WaitUntilIdle(page));
    EXPECT_EQ(Row(page), IdleRow);
}

// A pause in the middle of a tick keeps the rest of it: after the resume the next
// step waits out that rest, counted from the resume, neither the tick's old end
// nor nothing. Paused while the first picture is drawn, the worker meets the
// pause at the start of the tick after it. Every bound below is one a busy
// machine can only help to meet: it makes steps later, never earlier.
TEST(PlayerThread, APauseKeepsTheRestOfTheTick) {
    using Clock = TPlayerThread::Clock;
    constexpr auto Tick = std::chrono::milliseconds(1000);
    TAnimation animation;
    FillAnimation(animation, {1, 1, 1});
    QWidget box;
    TPlayerThread player(animation, box, static_cast<int>(Tick.count()));
    std::vector<Clock::time_point> drawn;
    QObject::connect(&player, &TPlayerThread::Drawn, [&] {
        drawn.push_back(Clock::now());
        if (drawn.size() == 1)
            player.Pause();
    });
    player.Play(0, 2, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.PausedRest().has_value(); }, 10000));
    const Clock::time_point seenAtRest = Clock::now();
    const Clock::duration rest = player.PausedRest().value();
    // The tick ends a whole tick after the first picture at the earliest, and
    // the worker measured its rest before it was seen at rest.
    EXPECT_GE(rest, drawn[0] + Tick - seenAtRest);
    EXPECT_LE(rest, Tick);

    // Long enough that the tick's old end, kept by mistake, would come too soon.
    QTest::qWait(100);
    EXPECT_TRUE(player.PausedRest().has_value());
    EXPECT_EQ(drawn.size(), 1u) << "a paused player went on";

    const Clock::time_point resumed = Clock::now();
    player.Pause();
    ASSERT_TRUE(QTest::qWaitFor([&] { return drawn.size() >= 2; }, 10000));
    EXPECT_GE(drawn[1] - resumed, rest);
}

TEST(PlayerPage, StoppingOrClosingWhileTheWorkerWaitsForADrawNeverDeadlocks) {
    FakePlayerHost host;
    FillAnimation(host.animation, {1, 2, 1});
    host.animation.RepeatCount = 255;
    host.Preferences().PlayerFPS = 1000;
    for (int round = 0; round < 250; ++round) {
        auto page = std::make_unique<TPlayerPage>(host);
        if (round % 10 < 5)
            page->show();
        page->tlbtnPlayClick();
        TPlayerThread* player = page->PlayerThread();
        ASSERT_NE(player, nullptr);
        if (round % 2 == 1) {
            // Some ticks in, so that the step waited for is a tick, not the first draw.
            const auto draws = RecordDraws(*player);
            ASSERT_TRUE(QTest::qWaitFor([&] { return draws->size() >= 3; }, 10000));
        }
        // Without running the GUI's events, until the worker has posted a step and
        // waits for it.
        QDeadlineTimer patience(10000);
        while (!player->WaitingForGui() && !patience.hasExpired())
            QThread::yieldCurrentThread();
        ASSERT_TRUE(player->WaitingForGui()) << round;

        switch (round % 5) {
        case 0: // Stop, and the run ends on its own.
            page->tlbtnStopClick();
            ASSERT_TRUE(WaitUntilIdle(*page)) << round;
            break;
        case 1: // Stop, then the window goes away at once.
            page->StopPlayer();
            page.reset();
            break;
        case 2: // The window goes away while playing.
            page.reset();
            break;
        case 3: // The window ends the player before the document goes away.
            page->EndPlayer();
            EXPECT_EQ(page->PlayerThread(), nullptr);
            break;
        default: // Paused with the step still queued; the step is dropped, then Stop.
            page->tlbtnPauseClick();
            QCoreApplication::processEvents();
            EXPECT_EQ(player->State(), TPlayerThread::Paused);
            page->tlbtnStopClick();
            ASSERT_TRUE(WaitUntilIdle(*page)) << round;
            break;
        }
    }
}

// The end of a run that was ended by EndPlayer still arrives afterwards. The next
// player is often made at the freed player's address; the late report must not
// be taken for that player's end (the page would then wait for a live worker on
// the GUI thread, which never returns).
TEST(PlayerPage, TheLateEndOfAnEndedRunLeavesTheNextRunPlaying) {
    FakePlayerHost host;
    FillAnimation(host.animation, {1, 1});
    host.animation.RepeatCount = 255;
    host.Preferences().PlayerFPS = 1000;
    TPlayerPage page(host);
    for (int round = 0; round < 20; ++round) {
        page.tlbtnPlayClick();
        ASSERT_NE(page.PlayerThread(), nullptr);
        page.EndPlayer(); // its finished() is now queued for the page
        page.tlbtnPlayClick();
        TPlayerThread* next = page.PlayerThread();
        ASSERT_NE(next, nullptr);
        const auto draws = RecordDraws(*next);
        ASSERT_TRUE(QTest::qWaitFor([&] { return draws->size() >= 3; }, 10000)) << round;
        EXPECT_EQ(page.PlayerThread(), next);
        EXPECT_EQ(next->State(), TPlayerThread::Playing);
        page.EndPlayer();
    }
}

TEST(PlayerPage, NoPlayerForAnAnimationWithoutFrames) {
    FakePlayerHost host;
    host.multipleSel = true;
    TPlayerPage page(host);
    Click(page, "tlbtnPlay");
    EXPECT_EQ(page.PlayerThread(), nullptr);
    Click(page, "tlbtnPlaySelection");
    EXPECT_EQ(page.PlayerThread(), nullptr);
    EXPECT_EQ(Row(page), IdleRowWithSelection);
}

TEST(PlayerPage, RangePassesAndTickLengthOfARun) {
    struct Case {
        const char* button;
        bool loopSelect;
        int fps;
        int first, last, repeats, tickMs;
    };
    const Case cases[] = {
        {"tlbtnPlay", false, 12, 0, 5, 3, 83},
        {"tlbtnPlay", true, 7, 0, 5, 3, 142},
        {"tlbtnPlaySelection", false, 1000, 2, 4, 1, 1},
        {"tlbtnPlaySelection", true, 1, 2, 4, 255, 1000},
        // Rates the preferences store may hold but that make no tick length.
        {"tlbtnPlay", false, 0, 0, 5, 3, 83},
        {"tlbtnPlay", false, -5, 0, 5, 3, 83},
        {"tlbtnPlay", false, 1001, 0, 5, 3, 83},
    };
    for (const Case& c : cases) {
        FakePlayerHost host;
        FillAnimation(host.animation, 6);
        host.animation.RepeatCount = 3;
        host.multipleSel = true;
        host.selFirst = 2;
        host.selLast = 4;
        host.Preferences().LoopSelect = c.loopSelect;
        host.Preferences().PlayerFPS = c.fps;
        TPlayerPage page(host);
        Click(page, c.button);
        const TPlayerThread* player = page.PlayerThread();
        ASSERT_NE(player, nullptr) << c.button;
        EXPECT_EQ(player->Ticks().FirstFrame(), c.first) << c.button << c.loopSelect;
        EXPECT_EQ(player->Ticks().LastFrame(), c.last) << c.button << c.loopSelect;
        EXPECT_EQ(player->Ticks().Repeats(), c.repeats) << c.button << c.loopSelect;
        EXPECT_EQ(player->TickMs(), c.tickMs) << c.fps;
        page.StopPlayer();
        EXPECT_TRUE(WaitUntilIdle(page));
    }
}

TEST(PlayerPage, ZoomItemsSizeTheBoxAndCentreIt) {
    FakePlayerHost host;
    TPlayerPage page(host);
    page.resize(500, 400);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    auto* window = page.findChild<QWidget*>("pnlPlayerWindow");
    auto* box = page.findChild<QWidget*>("pntbxPlayer");
    auto* control = page.findChild<QWidget*>("pnlPlayerControl");
    EXPECT_EQ(control->geometry(), QRect(133, 368, 233, 32));
    EXPECT_TRUE(page.findChild<QAction*>("mnuitmZoom200")->isChecked());

    const std::pair<const char*, int> items[] = {
        {"mnuitmZoom100", 1}, {"mnuitmZoom200", 2}, {"mnuitmZoom400", 4}, {"mnuitmZoom800", 8}};
    for (const auto& [name, zoom] : items) {
        page.findChild<QAction*>(name)->trigger();
        EXPECT_EQ(host.Preferences().PlayerZoom, zoom);
        for (const auto& [other, otherZoom] : items)
            EXPECT_EQ(page.findChild<QAction*>(other)->isChecked(), other == name) << other;
        EXPECT_EQ(window->geometry(),
                  QRect((500 - 48 * zoom) / 2, (368 - 32 * zoom) / 2, 48 * zoom, 32 * zoom))
            << name;
        EXPECT_EQ(box->geometry(), QRect(0, 0, 48 * zoom, 32 * zoom)) << name;
    }

    // Narrower and lower than the box: the offsets go negative, truncated
    // towards zero: (301 - 384) / 2 = -41, (219 - 256) / 2 = -18.
    page.resize(301, 251);
    EXPECT_EQ(control->geometry(), QRect(34, 219, 233, 32));
    EXPECT_EQ(window->geometry(), QRect(-41, -18, 384, 256));
}

TEST(PlayerPage, StoredZoomAppliedAtCreation) {
    struct Case {
        int stored;
        const char* checked;
        QSize box;
    };
    // A value the menu does not offer keeps the built layout and is kept.
    const Case cases[] = {{1, "mnuitmZoom100", {48, 32}},
                          {4, "mnuitmZoom400", {192, 128}},
                          {8, "mnuitmZoom800", {384, 256}},
                          {3, "mnuitmZoom200", {96, 64}},
                          {0, "mnuitmZoom200", {96, 64}}};
    for (const Case& c : cases) {
        FakePlayerHost host;
        host.Preferences().PlayerZoom = c.stored;
        TPlayerPage page(host);
        EXPECT_TRUE(page.findChild<QAction*>(c.checked)->isChecked()) << c.stored;
        EXPECT_EQ(page.findChild<QWidget*>("pntbxPlayer")->size(), c.box) << c.stored;
        EXPECT_EQ(host.Preferences().PlayerZoom, c.stored);
    }
}

TEST(PlayerPage, AtZoom8EveryDotIsAnEightByEightBlock) {
    FakePlayerHost host;
    host.Preferences().PlayerZoom = 8;
    host.workBitmap.setPixel(5, 3, 0xFF000000);
    TPlayerPage page(host);
    const QImage shown = BoxPicture(page);
    ASSERT_EQ(shown.size(), QSize(384, 256));
    for (int y = 23; y <= 32; ++y)
        for (int x = 39; x <= 48; ++x) {
            const bool inside = x >= 40 && x < 48 && y >= 24 && y < 32;
            EXPECT_EQ(IsBlack(shown, x, y), inside) << x << "," << y;
        }
}

TEST(PlayerPage, EveryToolbarButtonShowsInsideTheControlBar) {
    FakePlayerHost host;
    TPlayerPage page(host);
    page.resize(500, 400);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    const auto* control = page.findChild<QWidget*>("pnlPlayerControl");
    ASSERT_EQ(control->size(), QSize(233, 32));
    const std::pair<const char*, const char*> buttons[] = {
        {"tlbtnPlay", "Play"},         {"tlbtnPlaySelection", "Play Selection"},
        {"tlbtnPause", "Pause"},       {"tlbtnStop", "Stop"},
        {"tlbtnFirst", "First Frame"}, {"tlbtnPrev", "Previous Frame"},
        {"tlbtnNext", "Next Frame"},   {"tlbtnLast", "Last Frame"},
        {"tlbtnZoom", "Zoom"}};
    int right = 0;
    for (const auto& [name, hint] : buttons) {
        const auto* button = page.findChild<QToolButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->toolTip(), QLatin1String(hint));
        // A toolbar too narrow for its buttons hides the last ones behind an
        // extension arrow.
        EXPECT_TRUE(button->isVisible()) << name;
        const QRect placed(button->mapTo(control, QPoint(0, 0)), button->size());
        EXPECT_TRUE(control->rect().contains(placed)) << name;
        EXPECT_GT(placed.left(), right - 1) << name << " is out of order";
        right = placed.right();
    }
    EXPECT_EQ(page.findChild<QToolButton*>("tlbtnZoom")->menu(), page.findChild<QMenu*>("mnuZoom"));
}
