#include "frameStrip.h"
#include "windowFixture.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

QString Panel(WindowFixture& f, int n) {
    return f.Window().findChild<QLabel*>(QStringLiteral("stsbrMainPanel%1").arg(n))->text();
}

} // namespace

TEST(TimePanels, ShowTheCurrentFrameTheRangeAndTheTotal) {
    WindowFixture f;
    f.Window().OpenDocument(f.LcdFile("walk.lcd", {1, 1, 10, 12, 6, 3}));
    EXPECT_EQ(Panel(f, 2), "0:00:00.00 to 0:00:00.08");
    EXPECT_EQ(Panel(f, 3), "Total: 0:00:02.75");

    // From index 1, Shift+click on slot 4 selects 1 to 4.
    f.Window().SetCurFrame(1);
    f.Window().FrameStrip().pnlFrame0ViewMouseUp(4, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_TRUE(f.Window().MultipleSel());
    EXPECT_EQ(f.Window().CurFrame(), 4);
    EXPECT_EQ(Panel(f, 2), "0:00:00.08 to 0:00:02.50");

    QTest::keyClick(&f.Window(), Qt::Key_Right); // moving ends the range
    EXPECT_FALSE(f.Window().MultipleSel());
    EXPECT_EQ(Panel(f, 2), "0:00:02.50 to 0:00:02.75");

    f.Window().Close1Click();
    EXPECT_EQ(Panel(f, 2), "0:00:00.00 to 0:00:00.00");
    EXPECT_EQ(Panel(f, 3), "Total: 0:00:00.00");
}

TEST(TimePanels, AnUnusableTickRateCountsTwelveTicksASecond) {
    struct Case {
        int fps;
        int duration;
        const char* total;
    };
    for (const Case& c : {Case{0, 13, "Total: 0:00:01.08"}, Case{-5, 13, "Total: 0:00:01.08"},
                          Case{1001, 13, "Total: 0:00:01.08"}, Case{12, 13, "Total: 0:00:01.08"},
                          Case{100, 29, "Total: 0:00:00.29"}}) {
        WindowFixture f({}, false);
        f.Window().Preferences().PlayerFPS = c.fps;
        f.Window().show();
        f.Window().FormActivate();
        f.Window().Animation().Frame(0).SetDuration(static_cast<std::uint8_t>(c.duration));
        f.Window().RefreshTimePanels();
        EXPECT_EQ(Panel(f, 3), c.total) << c.fps << " ticks per second";
    }
}
