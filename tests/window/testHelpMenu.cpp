#include "desktopWindow.h"
#include "formAbout.h"
#include "memoryStatus.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

TEST(HelpMenu, OffersTheUserGuideAndTheAboutBox) {
    DesktopWindow w;
    QStringList captions;
    for (const QAction* action : w.Window().findChild<QMenu*>("Help1")->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(captions, QStringList({"&Vistrel Home Page", "-", "&About..."}));

    w.Window().findChild<QAction*>("VistrelHomePage1")->trigger();
    ASSERT_EQ(w.Opened().size(), 1);
    EXPECT_TRUE(w.Opened()[0].isLocalFile());
    EXPECT_EQ(w.Opened()[0].toLocalFile(), TfrmMain::UserGuidePath());
    EXPECT_TRUE(TfrmMain::UserGuidePath().endsWith("user-guide.html"));
    EXPECT_TRUE(w.Prompts().messages.empty());
}

TEST(HelpMenu, TheAboutBoxShowsVersionBuildDateAndPhysicalMemory) {
    DesktopWindow w;
    w.Prompts().dialogAnswers.push_back([](QDialog& dialog) {
        auto& about = dynamic_cast<TfrmAbout&>(dialog);
        EXPECT_EQ(about.windowTitle(), "About Vistrel");
        EXPECT_EQ(about.size(), QSize(412, 170));
        EXPECT_EQ(about.imgSplash->geometry(), QRect(9, 10, 377, 153));
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
