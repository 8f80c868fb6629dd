#include "windowFixture.h"

#include <QApplication>
#include <QTabWidget>

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

QWidget* WindowFixture::Page() const {
    return m_window->findChild<QTabWidget*>("pgcntlMain")->currentWidget();
}

} // namespace vistrel::testing
