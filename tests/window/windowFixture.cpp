#include "windowFixture.h"

#include <QAction>
#include <QApplication>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace vistrel::testing {

WindowFixture::WindowFixture(const QStringList& arguments, bool start) {
    m_window = std::make_unique<TfrmMain>(arguments, IniPath());
    m_window->SetPrompts(std::make_unique<TForwardingPrompts>(m_prompts));
    if (start)
        Start();
}

void WindowFixture::Start() {
    m_window->show();
    m_window->FormActivate();
    QApplication::processEvents();
    // The rest of the start-up, once the window has painted itself.
    EXPECT_TRUE(QTest::qWaitFor([this] { return m_window->AfterFirstPaintDone(); }));
}

WindowFixture::~WindowFixture() {
    Destroy();
}

void WindowFixture::Destroy() {
    m_window.reset();
}

QString WindowFixture::LcdFile(const QString& name, std::initializer_list<int> durations) {
    return m_folder.Write(name, LCDBytes(durations));
}

QStringList WindowFixture::ReopenItems() const {
    QStringList captions;
    const auto* reopen = m_window->findChild<QMenu*>("Reopen1");
    for (const QAction* action : reopen->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return captions;
}

QAction* WindowFixture::Action(const char* name) const {
    return m_window->findChild<QAction*>(name);
}

void WindowFixture::Run(const char* item) {
    m_window->Animation1Click();
    QAction* action = Action(item);
    ASSERT_NE(action, nullptr) << item;
    ASSERT_TRUE(action->isEnabled()) << item;
    action->trigger();
}

void WindowFixture::Key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(m_window.get(), key, modifiers);
}

void WindowFixture::Tool(const char* button) {
    m_window->findChild<QToolButton*>(button)->click();
}

void WindowFixture::Drag(std::initializer_list<QPoint> pixels) {
    auto* editor = m_window->findChild<QWidget*>("pntbxEditor");
    const auto at = [](QPoint pixel) { return pixel * 8 + QPoint(3, 5); };
    QTest::mousePress(editor, Qt::LeftButton, {}, at(*pixels.begin()));
    for (auto p = pixels.begin() + 1; p != pixels.end(); ++p)
        QTest::mouseMove(editor, at(*p));
    QTest::mouseRelease(editor, Qt::LeftButton, {}, at(*std::prev(pixels.end())));
}

QWidget* WindowFixture::Page() const {
    return m_window->findChild<QTabWidget*>("pgcntlMain")->currentWidget();
}

} // namespace vistrel::testing
