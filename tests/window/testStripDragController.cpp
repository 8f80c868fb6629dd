#include "fakeStripHost.h"
#include "frameStrip.h"
#include "modelFixtures.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace vistrel::testing {
namespace {

// A strip that goes away in the middle of a drag (its window closing) must not
// leave the program with the drag's closed hand as its cursor.
TEST(StripDragController, AStripDestroyedMidDragGivesBackTheCursor) {
    FakeStripHost host;
    FillAnimation(host.animation, 8);
    auto strip = std::make_unique<TFrameStrip>(host);
    strip->show();
    host.document.SetCurFrame(0);
    strip->UpdateStripScrollBar();
    strip->RefreshFrameStrip();

    QWidget* pressed = strip->findChild<QWidget*>(QStringLiteral("pntbxFrame1"));
    ASSERT_NE(pressed, nullptr);
    const auto at = [&](int x) { return pressed->mapFrom(strip.get(), QPoint(x, 30)); };
    QTest::mousePress(pressed, Qt::LeftButton);
    QTest::mouseMove(pressed, at(250));
    QTest::mouseMove(pressed, at(470));
    ASSERT_TRUE(strip->Dragging());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);

    strip.reset();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
} // namespace vistrel::testing
