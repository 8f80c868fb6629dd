#include "ddeClient.h"
#include "ddeTestServer.h"
#include "desktopWindow.h"
#include "unitPreferences.h"
#include "windowFixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

TEST(Startup, TheCommandLineChoosesTheDocumentAndThePage) {
    struct Case {
        QStringList arguments; // "{a}" and "{b}" stand for two files of the folder
        QString caption;
        int frames;
        const char* page;
    };
    const Case cases[] = {
        {{}, "Vistrel - Untitled1.lcd", 1, "tbshtFrameEdit"},
        {{"{a}"}, "Vistrel - a.lcd", 2, "tbshtFrameEdit"},
        {{"{a}", "{b}"}, "Vistrel - b.lcd", 3, "tbshtFrameEdit"},
        {{"/p", "{b}"}, "Vistrel - b.lcd", 3, "tbshtPlayer"},
        {{"/P", "missing.lcd"}, "Vistrel", 0, "tbshtFrameEdit"},
    };
    for (const Case& c : cases) {
        TempFolder files;
        const QString a = files.Write("a.lcd", LCDBytes({1, 2}));
        const QString b = files.Write("b.lcd", LCDBytes({1, 2, 3}));
        QStringList arguments;
        for (const QString& argument : c.arguments)
            arguments << (argument == "{a}" ? a : argument == "{b}" ? b : argument);
        WindowFixture f(arguments, false);
        if (c.frames == 0)
            f.Prompts().ExpectError("Unable to open missing.lcd");
        f.Start();
        const std::string context = c.arguments.join(u' ').toStdString();
        EXPECT_EQ(f.Caption(), c.caption) << context;
        EXPECT_EQ(f.Window().Animation().FrameCount(), c.frames) << context;
        EXPECT_EQ(f.Window().CurFrame(), c.frames > 0 ? 0 : -1) << context;
        EXPECT_EQ(f.Page()->objectName(), QLatin1String(c.page)) << context;
        EXPECT_TRUE(f.Window().StartupDone());
    }
}

TEST(Startup, LaterActivationsChangeNothing) {
    WindowFixture f;
    f.Window().New1Click();
    f.Window().FormActivate();
    EXPECT_EQ(f.Window().Animation().FrameCount(), 1);
    EXPECT_EQ(f.Caption(), "Vistrel - Untitled2.lcd");
}

TEST(Startup, AnInformationFileAsksTheBrowserAndShowsItsAnswer) {
    QByteArray request;
    {
        // Stands in for the browser on its service name.
        TDdeTestServer browser(
            TDdeClientConv::SocketName("iexplore", "WWW_GetWindowInfo"),
            TDdeTestServer::Reply("\"http://example.invalid/anim.vmi\",\"Animations\""));
        WindowFixture f({"/I", "255", "anim.VMI"});
        ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Prompts().messages.empty(); }, 20000));
        ASSERT_EQ(f.Prompts().messages.size(), 1u);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(f.Prompts().messages[0].text,
                  "\"http://example.invalid/anim.vmi\",\"Animations\"");
        EXPECT_EQ(f.Prompts().messages[0].caption, "Vistrel v1.0 beta");
        EXPECT_EQ(f.Caption(), "Vistrel - Untitled1.lcd");
        EXPECT_EQ(f.Window().Animation().FrameCount(), 1);
        f.Destroy();
        request = browser.Request();
    }
    EXPECT_EQ(request, "0x000000ff\n");
}

// A browser that takes its time never blocks the window: start-up ends, events
// keep running, and a busy cursor shows until the conversation is over.
TEST(Startup, TheBrowserConversationNeverBlocksTheWindow) {
    TDdeTestServer silentBrowser(TDdeClientConv::SocketName("iexplore", "WWW_GetWindowInfo"),
                                 QByteArray());
    WindowFixture f({"anim.vmi"});
    EXPECT_TRUE(f.Window().StartupDone());
    EXPECT_EQ(f.Window().Animation().FrameCount(), 1);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
    bool eventsRun = false;
    QTimer::singleShot(0, [&] { eventsRun = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return eventsRun; }, 5000));
    EXPECT_TRUE(f.Prompts().messages.empty());
    // A window that goes away ends the conversation and gives the cursor back.
    f.Destroy();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// A size no screen can show, from a broken or edited VISTREL.INI, opens the
// window at the screen's size and is not written back for the next start.
TEST(Startup, AHugeStoredSizeOpensTheWindowWithinTheScreen) {
    TempFolder folder;
    const QString ini = folder.Write("VISTREL.INI", "[Main]\nWindowLeft=10\nWindowTop=20\n"
                                                    "WindowWidth=2147483647\nWindowHeight=600\n");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    {
        TfrmMain window({}, ini);
        window.SetPrompts(std::make_unique<TScriptedPrompts>());
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_LE(window.width(), screen.width());
        EXPECT_LE(window.height(), screen.height());
        EXPECT_TRUE(screen.contains(window.geometry().topLeft()));
        ASSERT_TRUE(window.close());
    }
    const TVMUPreferences stored(ini, QSize(1920, 1080));
    EXPECT_LE(stored.WindowWidth, screen.width());
    EXPECT_LE(stored.WindowHeight, screen.height());
}

TEST(Pages, LeavingAndEnteringTheFramePageSwitchesItsKeysAndPanels) {
    WindowFixture f;
    auto* pages = f.Window().findChild<QTabWidget*>("pgcntlMain");
    auto* panel0 = f.Window().findChild<QLabel*>("stsbrMainPanel0");
    // The Edit menu's picture commands (Undo and Redo work on every page).
    auto* edit = f.Window().findChild<QAction*>("SelectAll1");
    EXPECT_FALSE(
        pages->isTabVisible(pages->indexOf(f.Window().findChild<QWidget*>("tbshtImport"))));
    EXPECT_FALSE(
        pages->isTabVisible(pages->indexOf(f.Window().findChild<QWidget*>("tbshtScript"))));

    // Drawn but not yet stored: leaving the page stores the picture.
    f.Window().Editor().WorkBitmap.setPixel(5, 6, qRgb(0, 0, 0));
    pages->setCurrentWidget(f.Window().findChild<QWidget*>("tbshtPlayer"));
    EXPECT_EQ(f.Window().Animation().Frame(0).Pixels[PixelIndex(5, 6)], 1);
    EXPECT_EQ(panel0->text(), "");
    EXPECT_FALSE(edit->isEnabled());
    pages->setCurrentWidget(f.Window().findChild<QWidget*>("tbshtFrameEdit"));
    EXPECT_EQ(panel0->text(), "1, 1");
    EXPECT_TRUE(edit->isEnabled());
}

// Pages the program shows itself (/P at start, a document opened from another page)
// get the same menus, panels and strip buttons as pages the user picks.
// The script listing's fixed-width font is a font file of its own, loaded
// when its page first shows.
TEST(Pages, TheScriptListingIsInTheFixedWidthFontWhenItsPageShows) {
    WindowFixture f;
    auto* memo = f.Window().findChild<QPlainTextEdit*>("memoScript");
    ASSERT_NE(memo, nullptr);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    EXPECT_NE(memo->font(), fixed);
    f.Window().ShowPage(f.Window().findChild<QWidget*>("tbshtScript"));
    EXPECT_EQ(memo->font(), fixed);
    f.Window().ShowPage(f.Window().findChild<QWidget*>("tbshtFrameEdit"));
    EXPECT_EQ(memo->font(), fixed);
}

TEST(Pages, MenusPanelsAndStripButtonsMatchThePageTheProgramShows) {
    struct Case {
        bool play;
        const char* page;
        // The Edit menu's picture commands, the position panel and the strip's
        // popup buttons.
        bool frameKeys;
    };
    const Case cases[] = {{true, "tbshtPlayer", false}, {false, "tbshtFrameEdit", true}};
    for (const Case& c : cases) {
        TempFolder files;
        const QString clip = files.Write("clip.lcd", LCDBytes({1, 2}));
        WindowFixture f(c.play ? QStringList{"/P", clip} : QStringList{clip});
        ASSERT_EQ(f.Page()->objectName(), QLatin1String(c.page));
        EXPECT_EQ(f.Window().findChild<QAction*>("SelectAll1")->isEnabled(), c.frameKeys) << c.page;
        EXPECT_EQ(f.Window().findChild<QLabel*>("stsbrMainPanel0")->text(),
                  c.frameKeys ? "1, 1" : "")
            << c.page;
        EXPECT_EQ(f.Window().findChild<QWidget*>("spdbtnFrame0")->isEnabled(), c.frameKeys)
            << c.page;
    }
}

TEST(Pages, ThePreviewStaysCentredRightOfTheEditor) {
    WindowFixture f;
    auto* main = f.Window().findChild<QWidget*>("pnlMain");
    auto* preview = f.Window().findChild<QWidget*>("pnlPreview");
    auto* editor = f.Window().findChild<QWidget*>("pnlEditor");
    for (const int width : {900, 1001}) {
        f.Window().resize(width, 600);
        QApplication::processEvents();
        EXPECT_EQ(editor->geometry(), QRect(3, 3, 385, 257));
        EXPECT_EQ(preview->geometry().top(), 99);
        EXPECT_EQ(preview->size(), QSize(96, 64));
        // As much room on its left, up to the editor, as on its right.
        const int left = preview->x() - (editor->geometry().right() + 1);
        const int right = main->width() - (preview->geometry().right() + 1);
        EXPECT_GT(left, 0) << width;
        EXPECT_LE(std::abs(left - right), 1) << width << ": " << left << " and " << right;
    }
}

namespace {

// Starts windows over one pair of desktop folders, with desktop database tools
// that only note each run in a log.
class RegisteringStarts {
public:
    RegisteringStarts() {
        QDir().mkpath(m_folder.Path("bin"));
        // Each builds the file the real tool builds, so that its time shows.
        for (const auto& [tool, database] :
             {std::pair{"update-mime-database", "mime.cache"},
              std::pair{"update-desktop-database", "mimeinfo.cache"}}) {
            const QString path = m_folder.Write(
                QStringLiteral("bin/") + tool,
                QByteArray("#!/bin/sh\necho run >> \"$0.log\"\necho \"$$\" > \"$1/") + database +
                    "\"\n");
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }
    void Start() {
        const ScopedVariable data("XDG_DATA_HOME", m_folder.Path("data"));
        const ScopedVariable config("XDG_CONFIG_HOME", m_folder.Path("config"));
        const ScopedVariable path("PATH",
                                  m_folder.Path("bin") + ":" + qEnvironmentVariable("PATH"));
        TfrmMain window(QStringList{}, m_folder.Path("VISTREL.INI"));
        TScriptedPrompts prompts;
        window.SetPrompts(std::make_unique<TForwardingPrompts>(prompts));
        window.show();
        window.FormActivate();
        EXPECT_TRUE(QTest::qWaitFor([&window] { return window.AfterFirstPaintDone(); }));
        EXPECT_TRUE(prompts.messages.empty());
    }
    // How often each tool ran, "mime desktop".
    std::string Runs() const {
        return std::to_string(ReadFile(m_folder.Path("bin/update-mime-database.log")).count('\n')) +
               " " +
               std::to_string(
                   ReadFile(m_folder.Path("bin/update-desktop-database.log")).count('\n'));
    }
    QString Data(const QString& name) const { return m_folder.Path("data/" + name); }

private:
    TempFolder m_folder;
};

} // namespace

// The first start registers all three types and rebuilds each database once;
// a start with nothing changed runs neither tool; a removed entry is written
// again and the databases rebuilt once more.
TEST(StartupRegistration, EachStartRebuildsTheDatabasesOnceAtMostAndOnlyForAChange) {
#if defined(__SANITIZE_THREAD__)
    // The tools run as child processes, and the thread checker cannot follow a
    // fork of a program whose threads (the autosave writer) are running.
    GTEST_SKIP() << "starts desktop tools as child processes";
#endif
    RegisteringStarts starts;
    starts.Start();
    EXPECT_EQ(starts.Runs(), "1 1");
    EXPECT_TRUE(QFileInfo::exists(starts.Data("applications/vistrel-vmi.desktop")));

    starts.Start();
    EXPECT_EQ(starts.Runs(), "1 1");

    const QString play = starts.Data("applications/vistrel-lcd_play.desktop");
    ASSERT_TRUE(QFile::remove(play));
    starts.Start();
    EXPECT_TRUE(QFileInfo::exists(play));
    EXPECT_EQ(starts.Runs(), "2 2");
}
