#pragma once

#include "formMain.h"
#include "modelFixtures.h"
#include "scriptedPrompts.h"

#include <QMenu>
#include <QPoint>
#include <initializer_list>
#include <memory>

namespace vistrel::testing {

// The real main window over a temporary folder for its files and INI, with its
// questions answered by a script. Started as the program starts it, at once or,
// with start false, by Start once the test has scripted what start-up will ask.
class WindowFixture {
public:
    explicit WindowFixture(const QStringList& arguments = {}, bool start = true);
    ~WindowFixture();

    // Shows and first activates the window, which reads its command line.
    void Start();

    TfrmMain& Window() { return *m_window; }
    TScriptedPrompts& Prompts() { return m_prompts; }
    TempFolder& Folder() { return m_folder; }
    QString IniPath() const { return m_folder.Path("VISTREL.INI"); }

    // A file of the folder with an LCD animation of these durations.
    QString LcdFile(const QString& name, std::initializer_list<int> durations);
    // Marks the document modified as an edit would.
    void Edit() { m_window->SetModified(true); }
    QString Caption() const { return m_window->windowTitle(); }
    // The Reopen submenu's item captions.
    QStringList ReopenItems() const;
    QAction* Action(const char* name) const;
    // Runs an Animation menu item as the user does: the menu opens (enabling
    // its items), then the item is clicked.
    void Run(const char* item);
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Clicks a tool button of the editor's tool bar.
    void Tool(const char* button);
    // The left button on the editor, from one frame pixel over the others to the last.
    void Drag(std::initializer_list<QPoint> pixels);
    QWidget* Page() const;
    void Destroy();

private:
    TempFolder m_folder;
    // Outlives the window, so the questions asked while it is destroyed are kept.
    TScriptedPrompts m_prompts;
    std::unique_ptr<TfrmMain> m_window;
};

} // namespace vistrel::testing
