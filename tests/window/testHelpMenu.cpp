#include "desktopWindow.h"
#include "formAbout.h"
#include "memoryStatus.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

// The file the home page item opens, as a canonical path (empty when the item
// opened no existing local file).
QString HomePageOpened() {
    DesktopWindow w;
    w.Window().findChild<QAction*>("VistrelHomePage1")->trigger();
    EXPECT_TRUE(w.Prompts().messages.empty());
    if (w.Opened().size() != 1 || !w.Opened()[0].isLocalFile())
        return QStringLiteral("not one local file: ") +
               (w.Opened().isEmpty() ? QString() : w.Opened()[0].toString());
    return QFileInfo(w.Opened()[0].toLocalFile()).canonicalFilePath();
}

} // namespace

TEST(HelpMenu, OffersTheUserGuideAndTheAboutBox) {
    DesktopWindow w;
    QStringList captions;
    for (const QAction* action : w.Window().findChild<QMenu*>("Help1")->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(captions, QStringList({"&Vistrel Home Page", "-", "&About..."}));
}

// The home page is the user guide that comes with the program. In the build tree
// it lies beside the program (the build puts a copy beside this test as it does
// beside vistrel); installed, it is share/vistrel beside bin/, which wins.
TEST(HelpMenu, TheHomePageIsTheUserGuideBesideTheProgramOrInstalledWithIt) {
    const QString program = QCoreApplication::applicationDirPath();
    const QString beside = program + "/user-guide.html";
    ASSERT_EQ(ReadFile(beside), ReadFile(VISTREL_USER_GUIDE)) << "the build left no copy";
    const QString installedFolder = QDir::cleanPath(program + "/../share/vistrel");
    const QString installed = installedFolder + "/user-guide.html";
    QFile::remove(installed); // left by a run that did not get to its end
    EXPECT_EQ(HomePageOpened(), QFileInfo(beside).canonicalFilePath());

    ASSERT_TRUE(QDir().mkpath(installedFolder));
    {
        QFile guide(installed);
        ASSERT_TRUE(guide.open(QIODevice::WriteOnly));
        guide.write("<html><body>installed</body></html>");
    }
    const QString expected = QFileInfo(installed).canonicalFilePath();
    const QString opened = HomePageOpened();
    EXPECT_TRUE(QFile::remove(installed));
    QDir().rmpath(installedFolder);
    EXPECT_EQ(opened, expected);
}

TEST(HelpMenu, TheAboutBoxShowsVersionBuildDateAndPhysicalMemory) {
    DesktopWindow w;
    w.Prompts().dialogAnswers.push_back([](QDialog& dialog) {
        auto& about = dynamic_cast<TfrmAbout&>(dialog);
        EXPECT_EQ(about.windowTitle(), "About Vistrel");
        EXPECT_EQ(about.width(), 412);
        EXPECT_EQ(about.imgSplash->geometry(), QRect(9, 10, 377, 153));
        // OK stands whole in the box, beside the picture rather than over it.
        EXPECT_TRUE(about.rect().contains(about.btnOK->geometry()));
        EXPECT_FALSE(about.btnOK->geometry().intersects(about.imgSplash->geometry()));
        EXPECT_FALSE(about.imgSplash->pixmap().isNull());
        EXPECT_EQ(about.lblVersion->text(), "Version 1.0.0");
        EXPECT_EQ(about.lblCompiled->text(), "Compiled: " + BuildDate().toString(Qt::ISODate));
        EXPECT_TRUE(BuildDate().isValid());
        EXPECT_EQ(about.lblMemAvail->text(), MemoryLabelText(TotalPhysicalMemory()));
        EXPECT_TRUE(about.lblMemAvail->text().endsWith("KB"));
        EXPECT_TRUE(about.btnOK->isDefault());
        QTest::mouseClick(about.btnOK, Qt::LeftButton);
    });
    w.Window().findChild<QAction*>("About1")->trigger();
    EXPECT_EQ(w.Prompts().dialogs, QStringList{"frmAbout"});
}

TEST(HelpMenu, TheWindowCarriesTheProgramIconInEverySize) {
    DesktopWindow w;
    const QList<QSize> sizes = w.Window().windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(256, 256)));
}
