#pragma once

#include "../document/testRecoveryFixtures.h"
#include "formMain.h"
#include "modelFixtures.h"
#include "scriptedPrompts.h"

#include <QList>
#include <QUrl>
#include <memory>

namespace vistrel::testing {

// The real main window started over desktop folders of its own (XDG_DATA_HOME
// and XDG_CONFIG_HOME while it is built), with its INI, its questions answered
// by a script and every address it opens recorded instead of opened.
class DesktopWindow {
public:
    // ini: the INI file's text (none when empty); dataHome: another data folder;
    // start false: Start shows the window once the test has scripted what
    // start-up will ask.
    explicit DesktopWindow(const QByteArray& ini = {}, const QString& dataHome = {},
                           bool start = true);
    void Start();

    TfrmMain& Window() { return *m_window; }
    TScriptedPrompts& Prompts() { return m_prompts; }
    const QList<QUrl>& Opened() const { return m_opened; }
    // A file under the window's data folder, "applications/vistrel-lcd.desktop".
    QString Data(const QString& name) const { return m_folder.Path("data/" + name); }
    bool HasData(const QString& name) const;
    QString MimeApps() const { return m_folder.Path("config/mimeapps.list"); }
    TempFolder& Folder() { return m_folder; }

private:
    TempFolder m_folder;
    TScriptedPrompts m_prompts;
    QList<QUrl> m_opened;
    std::unique_ptr<TfrmMain> m_window;
};

} // namespace vistrel::testing
