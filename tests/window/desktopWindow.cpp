#include "desktopWindow.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>

namespace vistrel::testing {

DesktopWindow::DesktopWindow(const QByteArray& ini, const QString& dataHome, bool start) {
    if (!ini.isEmpty())
        m_folder.Write("VISTREL.INI", ini);
    {
        const ScopedVariable data("XDG_DATA_HOME",
                                  dataHome.isEmpty() ? m_folder.Path("data") : dataHome);
        const ScopedVariable config("XDG_CONFIG_HOME", m_folder.Path("config"));
        m_window = std::make_unique<TfrmMain>(QStringList{}, m_folder.Path("VISTREL.INI"));
    }
    m_window->SetPrompts(std::make_unique<TForwardingPrompts>(m_prompts));
    m_window->SetUrlOpener([this](const QUrl& url) {
        m_opened << url;
        return true;
    });
    if (start)
        Start();
}

void DesktopWindow::Start() {
    m_window->show();
    m_window->FormActivate();
    QApplication::processEvents();
    // The rest of the start-up, once the window has painted itself.
    EXPECT_TRUE(QTest::qWaitFor([this] { return m_window->AfterFirstPaintDone(); }));
}

bool DesktopWindow::HasData(const QString& name) const {
    return QFileInfo::exists(Data(name));
}

} // namespace vistrel::testing
