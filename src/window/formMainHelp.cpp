#include "formAbout.h"
#include "formMain.h"
#include "memoryStatus.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace vistrel {

QString TfrmMain::UserGuidePath() {
    // Installed: share/vistrel beside bin/ (not share/doc, which minimal systems
    // leave out); in the build tree: beside the program.
    const QString folder = QCoreApplication::applicationDirPath();
    const QString installed =
        QDir::cleanPath(folder + QLatin1String("/../share/vistrel/user-guide.html"));
    const QString beside = folder + QLatin1String("/user-guide.html");
    return !QFileInfo::exists(installed) && QFileInfo::exists(beside) ? beside : installed;
}

void TfrmMain::BuildHelpMenu(QMenu* help) {
    // The home page is the user guide that comes with the program; the Help menu
    // names no outside sites.
    m_urlHomepage.URLType = TURLType::utFile;
    m_urlHomepage.URL = UserGuidePath();
    QAction* home = help->addAction(QStringLiteral("&Vistrel Home Page"));
    home->setObjectName(QStringLiteral("VistrelHomePage1"));
    connect(home, &QAction::triggered, this, &TfrmMain::VistrelHomePage1Click);
    help->addSeparator()->setObjectName(QStringLiteral("N7"));
    QAction* about = help->addAction(QStringLiteral("&About..."));
    about->setObjectName(QStringLiteral("About1"));
    connect(about, &QAction::triggered, this, &TfrmMain::About1Click);
}

void TfrmMain::SetUrlOpener(TURL::TOpener opener) {
    m_urlHomepage.Opener = std::move(opener);
}

void TfrmMain::VistrelHomePage1Click() {
    m_urlHomepage.Execute();
}

void TfrmMain::About1Click() {
    TfrmAbout about(TotalPhysicalMemory(), this);
    m_prompts->ShowDialog(about);
}

} // namespace vistrel
