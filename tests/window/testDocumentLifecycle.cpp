#include "fileNames.h"
#include "frameClipboard.h"
#include "frameStrip.h"
#include "localFiles.h"
#include "playerPage.h"
#include "threadPlayer.h"
#include "unitPreferences.h"
#include "windowFixture.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMap>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <optional>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace vistrel;
using namespace vistrel::testing;

TEST(DocumentLifecycle, NewDocumentsAreNumberedAndNamedInTheCaption) {
    WindowFixture f;
    EXPECT_EQ(f.Caption(), "Vistrel - Untitled1.lcd");
    EXPECT_EQ(f.Window().Animation().FrameCount(), 1);
    EXPECT_EQ(f.Window().CurFrame(), 0);
    f.Window().New1Click();
    f.Window().New1Click();
    EXPECT_EQ(f.Caption(), "Vistrel - Untitled3.lcd");
    EXPECT_TRUE(f.Prompts().messages.empty()); // nothing was modified
    EXPECT_EQ(f.Window().Animation().FrameCount(), 1);
}

TEST(DocumentLifecycle, ANewDocumentTakesNothingOfTheOneBefore) {
    WindowFixture f;
    // What opening a looping animation from an interactive VMS file leaves.
    f.Window().Animation().RepeatCount = 255;
    f.Window().Animation().SourceKind = SourceVMSScripted;
    f.Window().New1Click();
    EXPECT_EQ(f.Window().Animation().RepeatCount, 1);
    EXPECT_EQ(f.Window().Animation().SourceKind, SourceNone);
}

TEST(DocumentLifecycle, TheSavePromptsThreeAnswers) {
    struct Case {
        PromptButton answer;
        QString saveDialogAnswer; // empty: cancelled
        QString caption;
        bool modified;
    };
    const Case cases[] = {
        {PromptButton::Cancel, {}, "Vistrel - Untitled2.lcd", true},
        {PromptButton::No, {}, "Vistrel - Untitled3.lcd", false},
        // Yes, then a cancelled Save dialog: nothing was saved, so nothing is discarded.
        {PromptButton::Yes, {}, "Vistrel - Untitled2.lcd", true},
        {PromptButton::Yes, "saved.lcd", "Vistrel - Untitled3.lcd", false},
    };
    for (const Case& c : cases) {
        WindowFixture f;
        f.Window().New1Click();
        f.Edit();
        f.Prompts().buttonAnswers = {c.answer};
        if (c.answer == PromptButton::Yes)
            f.Prompts().fileAnswers = {
                c.saveDialogAnswer.isEmpty() ? QString() : f.Folder().Path(c.saveDialogAnswer)};
        f.Window().New1Click();
        ASSERT_EQ(f.Prompts().messages.size(), 1u);
        const auto& prompt = f.Prompts().messages[0];
        EXPECT_EQ(prompt.text, "Save changes to Untitled2.lcd?");
        EXPECT_EQ(prompt.caption, "Confirm");
        EXPECT_EQ(prompt.icon, PromptIcon::Question);
        EXPECT_EQ(prompt.buttons, PromptButtons::YesNoCancel);
        if (c.answer == PromptButton::Yes) {
            ASSERT_EQ(f.Prompts().saveRequests.size(), 1u);
            EXPECT_EQ(f.Prompts().saveRequests[0].title, "Save Untitled2 As");
            EXPECT_EQ(f.Prompts().saveRequests[0].fileName, "Untitled2");
        }
        EXPECT_EQ(f.Caption(), c.caption);
        EXPECT_EQ(f.Window().Modified(), c.modified);
    }
}

TEST(DocumentLifecycle, OpeningAFileTheWindowCannotReadLeavesItClosed) {
    WindowFixture f;
    const QString picture = f.Folder().Write("photo.bmp", "BM");
    const QString broken = f.Folder().Write("cut.lcd", LCDBytes({1}).left(30));
    for (const QString& name : {picture, broken}) {
        f.Prompts().ExpectError("Unable to open " + QFileInfo(name).fileName());
        f.Window().OpenDocument(name);
        EXPECT_EQ(f.Prompts().messages.back().text, "Unable to open " + QFileInfo(name).fileName());
        EXPECT_EQ(f.Prompts().messages.back().caption, "Error");
        EXPECT_EQ(f.Prompts().messages.back().icon, PromptIcon::Error);
        EXPECT_EQ(f.Caption(), "Vistrel");
        EXPECT_TRUE(f.Window().Closed());
        EXPECT_EQ(f.Window().CurFrame(), -1);
        EXPECT_TRUE(f.Window().FileName().isEmpty());
        EXPECT_FALSE(f.Action("Save1")->isEnabled());
        EXPECT_FALSE(f.Action("Close1")->isEnabled());
        EXPECT_FALSE(f.Window().findChild<QMenu*>("Edit1")->isEnabled());
    }
}

TEST(DocumentLifecycle, OpeningFillsTheStripTheScriptAndTheCaption) {
    WindowFixture f;
    const QString walk = f.LcdFile("walk.lcd", {2, 3, 4});
    f.Window().OpenDocument(walk);
    EXPECT_EQ(f.Caption(), "Vistrel - walk.lcd");
    EXPECT_EQ(f.Window().FileName(), walk);
    EXPECT_EQ(f.Window().Animation().FrameCount(), 3);
    EXPECT_EQ(f.Window().CurFrame(), 0);
    EXPECT_FALSE(f.Window().Modified());
    EXPECT_EQ(f.Window().findChild<QPlainTextEdit*>("memoScript")->toPlainText(),
              "draw_frame(1);\ndraw_frame(2);\ndraw_frame(3);");
    EXPECT_EQ(f.Window().findChild<QLabel*>("stsbrMainPanel3")->text(), "Total: 0:00:00.75");
}

TEST(DocumentLifecycle, SavingAVMSDocumentWritesAndThenNamesTheLCDFile) {
    WindowFixture f;
    // A plain VMS animation: data start 0x20, one frame of duration 3.
    QByteArray vms("\x22\x60\x00\x22\x61\x20", 6);
    vms += QByteArray(0x20 - vms.size(), '\0');
    vms += QByteArray("\x01\x01\x03\x00\x05", 5) + QByteArray(192, '\0');
    const QString clip = f.Folder().Write("clip.vms", vms);
    f.Window().OpenDocument(clip);
    ASSERT_EQ(f.Caption(), "Vistrel - clip.vms");
    f.Edit();

    // Save As proposes the name it will write, so the dialog never asks to
    // replace the VMS file, which is never written.
    f.Prompts().fileAnswers = {QString()};
    EXPECT_FALSE(f.Window().SaveDocument(true));
    ASSERT_FALSE(f.Prompts().saveRequests.empty());
    EXPECT_EQ(f.Prompts().saveRequests.back().fileName, f.Folder().Path("clip.LCD"));
    EXPECT_EQ(f.Prompts().saveRequests.back().title, "Save clip.LCD As");

    // An unrelated clip.LCD is not replaced without asking.
    const QString other = f.Folder().Write("clip.LCD", "someone else's file");
    f.Prompts().buttonAnswers = {PromptButton::No};
    EXPECT_FALSE(f.Window().SaveDocument(false));
    EXPECT_EQ(ReadFile(other), "someone else's file");
    EXPECT_TRUE(f.Window().Modified());
    EXPECT_EQ(f.Window().FileName(), clip);

    f.Window().Animation().Frame(0).SetDuration(7);
    f.Window().Editor().WorkBitmap.setPixel(5, 7, qRgb(0, 0, 0));
    f.Prompts().buttonAnswers = {PromptButton::Yes};
    ASSERT_TRUE(f.Window().SaveDocument(false));
    EXPECT_EQ(f.Prompts().messages.back().text,
              "clip.LCD already exists.\nDo you want to replace it?");
    // The file holds the document: read back, the same frames and durations.
    TAnimation written;
    ASSERT_TRUE(written.LoadFromFile(other));
    ASSERT_EQ(Durations(written), std::vector<int>{7});
    EXPECT_EQ(written.Frame(0).Pixels, f.Window().Animation().Frame(0).Pixels);
    EXPECT_EQ(written.Frame(0).Pixels[PixelIndex(5, 7)], 1);
    EXPECT_EQ(written.Frame(0).Pixels[PixelIndex(6, 7)], 0);
    EXPECT_EQ(f.Window().FileName(), f.Folder().Path("clip.LCD"));
    EXPECT_EQ(f.Caption(), "Vistrel - clip.LCD");
    EXPECT_EQ(f.Window().Preferences().Saved, QStringList{f.Folder().Path("clip.LCD")});
    EXPECT_FALSE(f.Window().Modified());

    // From now on the document's own file is replaced without a question.
    const auto asked = f.Prompts().messages.size();
    f.Edit();
    ASSERT_TRUE(f.Window().SaveDocument(false));
    EXPECT_EQ(f.Prompts().messages.size(), asked);
}

TEST(DocumentLifecycle, AFailedSaveKeepsTheDocumentModifiedAndUnfiled) {
    WindowFixture f;
    const QString walk = f.LcdFile("walk.lcd", {1});
    f.Window().OpenDocument(walk);
    for (int i = 0; i < 255; ++i)
        f.Window().Animation().AddFrame(); // 256 frames: more than the file holds
    f.Edit();
    f.Prompts().ExpectError("Unable to save walk.lcd: the animation has 256 frames");
    EXPECT_FALSE(f.Window().SaveDocument(false));
    // The message says why, so the user knows to delete frames.
    EXPECT_EQ(f.Prompts().messages.back().text,
              "Unable to save walk.lcd: the animation has 256 frames, but an LCD file holds at "
              "most 255. Delete frames to save it.");
    EXPECT_EQ(f.Prompts().messages.back().caption, "Error");
    EXPECT_TRUE(f.Window().Modified());
    EXPECT_TRUE(f.Window().Preferences().Saved.isEmpty());
    EXPECT_EQ(ReadFile(walk), LCDBytes({1}));
}

TEST(DocumentLifecycle, AFailedSaveSaysWhyInTheSystemsWords) {
    WindowFixture f;
    ASSERT_TRUE(QDir(f.Folder().Path("")).mkpath("taken.lcd"));
    const struct {
        QString answer;
        QString message;
    } cases[] = {
        {f.Folder().Path("no folder/walk.lcd"),
         "Unable to save walk.lcd: No such file or directory"},
        {f.Folder().Path("taken.lcd"), "Unable to save taken.lcd: "}, // and the reason
    };
    for (const auto& c : cases) {
        f.Edit();
        f.Prompts().fileAnswers.push_back(c.answer);
        f.Prompts().ExpectError(c.message);
        EXPECT_FALSE(f.Window().SaveDocument(true));
        ASSERT_FALSE(f.Prompts().messages.empty());
        EXPECT_TRUE(f.Prompts().messages.back().text.startsWith(c.message))
            << f.Prompts().messages.back().text.toStdString();
        EXPECT_TRUE(f.Window().Modified());
    }
}

TEST(DocumentLifecycle, RecentListsAndTheReopenMenuFollowOpensSavesAndCloses) {
    WindowFixture f;
    const QString a = f.LcdFile("a.lcd", {1});
    const QString b = f.LcdFile("b.lcd", {1});
    f.Window().OpenDocument(a);
    f.Window().OpenDocument(b); // closing a puts it among the opened names
    EXPECT_EQ(f.Window().Preferences().Opened, QStringList{a});
    f.Edit();
    ASSERT_TRUE(f.Window().SaveDocument(false));
    f.Window().Close1Click();
    EXPECT_EQ(f.Window().Preferences().Saved, QStringList{b});
    EXPECT_EQ(f.Window().Preferences().Opened, QStringList{a});
    EXPECT_EQ(f.ReopenItems(), QStringList({"&0 " + b, "-", "&1 " + a}));

    // Reopening a takes it out of the lists while it is open.
    QAction* item = f.Window().findChild<QMenu*>("Reopen1")->actions().last();
    item->trigger();
    EXPECT_EQ(f.Window().FileName(), a);
    EXPECT_TRUE(f.Window().Preferences().Opened.isEmpty());

    // A file that fails to open keeps its entry.
    f.Window().Preferences().Opened = QStringList{f.Folder().Path("gone.lcd")};
    f.Prompts().ExpectError("Unable to open gone.lcd");
    f.Window().OpenDocument(f.Folder().Path("gone.lcd"));
    EXPECT_TRUE(f.Window().Preferences().Opened.contains(f.Folder().Path("gone.lcd")));
}

// "vistrel walk.lcd" typed in the file's folder: the lists must name the file so
// that Reopen finds it from any folder.
TEST(DocumentLifecycle, AFileOpenedByARelativeNameIsRememberedByItsFullPath) {
    WindowFixture f;
    const QString walk = f.LcdFile("walk.lcd", {1});
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(f.Folder().Path(QString())));
    f.Window().OpenDocument(QStringLiteral("walk.lcd"));
    QDir::setCurrent(before);
    EXPECT_EQ(f.Window().FileName(), walk);
    f.Window().Close1Click();
    EXPECT_EQ(f.Window().Preferences().Opened, QStringList{walk});
}

// The Reopen item's own handler changes the lists the menu shows; the item that
// sent the signal must outlive the handler, and the rebuilt menu must show the
// new lists at once.
TEST(DocumentLifecycle, AReopenItemOutlivesItsOwnHandler) {
    WindowFixture f;
    const QString a = f.LcdFile("a.lcd", {1});
    const QString b = f.LcdFile("b.lcd", {1});
    f.Window().OpenDocument(a);
    f.Window().OpenDocument(b);
    ASSERT_EQ(f.ReopenItems(), QStringList{"&0 " + a});
    const QPointer<QAction> item = f.Window().findChild<QMenu*>("Reopen1")->actions().first();
    item->trigger();
    EXPECT_FALSE(item.isNull()) << "the item was deleted inside its own triggered signal";
    EXPECT_EQ(f.Window().FileName(), a);
    EXPECT_EQ(f.ReopenItems(), QStringList{"&0 " + b});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(item.isNull());
}

TEST(DocumentLifecycle, ReopenShowsNamesAsTheyAreAndCtrlROpensItBesideItsItem) {
    WindowFixture f;
    const QString odd = f.LcdFile("salt & pepper.lcd", {1});
    f.Window().OpenDocument(odd);
    f.Window().Close1Click();
    auto* reopen = f.Window().findChild<QMenu*>("Reopen1");
    // iconText is the caption as shown: mnemonic marks gone, "&&" shown as "&".
    EXPECT_EQ(reopen->actions().first()->iconText(), "0 " + odd);

    EXPECT_EQ(reopen->menuAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    f.Window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.Window()));
    QTest::keyClick(&f.Window(), Qt::Key_R, Qt::ControlModifier);
    ASSERT_TRUE(reopen->isVisible());
    auto* file = f.Window().findChild<QMenu*>("File1");
    auto* bar = f.Window().menuBar();
    const QPoint fileMenuAt =
        bar->mapToGlobal(bar->actionGeometry(file->menuAction()).bottomLeft() + QPoint(0, 1));
    const QRect item = file->actionGeometry(reopen->menuAction());
    // Beside the Reopen item of the File menu, not over the menu bar.
    EXPECT_GT(reopen->pos().y(), bar->mapToGlobal(QPoint(0, bar->height())).y() - 1);
    EXPECT_NEAR(reopen->pos().y(), fileMenuAt.y() + item.top(), 8);
    EXPECT_NEAR(reopen->pos().x(), fileMenuAt.x() + item.right(), 8);
    reopen->close();
}

// The separator between the saved and the opened names takes no number.
TEST(DocumentLifecycle, ReopenItemsAreNumberedInHexadecimalWithoutGaps) {
    WindowFixture f;
    for (int i = 0; i < 10; ++i)
        f.Window().Preferences().Opened << QStringLiteral("/o%1.lcd").arg(i);
    for (int i = 0; i < 5; ++i)
        f.Window().Preferences().Saved << QStringLiteral("/s%1.lcd").arg(i);
    f.Window().BuildReopenMenu();
    const QStringList items = f.ReopenItems();
    ASSERT_EQ(items.size(), 16);
    EXPECT_EQ(items[0], "&0 /s0.lcd");
    EXPECT_EQ(items[4], "&4 /s4.lcd");
    EXPECT_EQ(items[5], "-");
    EXPECT_EQ(items[6], "&5 /o0.lcd");
    EXPECT_EQ(items[15], "&e /o9.lcd");
}

// Alt and a letter must reach one item: in every menu of the window (the menu
// bar, its menus, their submenus and the pop-up menus) no two items share one.
TEST(DocumentLifecycle, NoTwoItemsOfAMenuShareAnAccessKey) {
    WindowFixture f;
    f.Window().Preferences().Saved << QStringLiteral("/s.lcd");
    f.Window().Preferences().Opened << QStringLiteral("/o.lcd");
    f.Window().BuildReopenMenu();
    std::vector<QWidget*> menus{f.Window().menuBar()};
    for (QMenu* menu : f.Window().findChildren<QMenu*>())
        menus.push_back(menu);
    int checked = 0;
    for (QWidget* menu : menus) {
        if (auto* popup = qobject_cast<QMenu*>(menu))
            emit popup->aboutToShow(); // menus that fill or enable themselves on opening
        QMap<QChar, QString> seen;
        for (QAction* action : menu->actions()) {
            const QString text = action->text();
            for (qsizetype i = 0; i + 1 < text.size(); ++i) {
                if (text[i] != u'&')
                    continue;
                if (text[i + 1] == u'&') {
                    ++i;
                    continue;
                }
                const QChar key = text[i + 1].toLower();
                EXPECT_FALSE(seen.contains(key))
                    << qPrintable(menu->objectName()) << ": " << qPrintable(seen.value(key))
                    << " and " << qPrintable(text);
                seen.insert(key, text);
                ++checked;
                break;
            }
        }
    }
    EXPECT_GT(checked, 20);
}

// A button's Alt and letter must not open a menu of the menu bar instead, nor
// reach another button of the same page.
TEST(DocumentLifecycle, NoButtonSharesAnAccessKeyWithTheMenuBarOrItsPage) {
    WindowFixture f;
    const auto accessKey = [](const QString& text) -> std::optional<QChar> {
        for (qsizetype i = 0; i + 1 < text.size(); ++i) {
            if (text[i] == u'&' && text[i + 1] == u'&')
                ++i;
            else if (text[i] == u'&')
                return text[i + 1].toLower();
        }
        return std::nullopt;
    };
    QMap<QChar, QString> menuKeys;
    for (QAction* menu : f.Window().menuBar()->actions())
        if (const std::optional<QChar> key = accessKey(menu->text()))
            menuKeys.insert(*key, menu->text());
    auto* pages = f.Window().findChild<QTabWidget*>();
    ASSERT_NE(pages, nullptr);
    int checked = 0;
    for (int page = 0; page < pages->count(); ++page) {
        QMap<QChar, QString> seen;
        for (QAbstractButton* button : pages->widget(page)->findChildren<QAbstractButton*>()) {
            const std::optional<QChar> key = accessKey(button->text());
            if (!key)
                continue;
            EXPECT_FALSE(menuKeys.contains(*key))
                << qPrintable(button->text()) << " and the menu " << qPrintable(menuKeys[*key]);
            EXPECT_FALSE(seen.contains(*key))
                << qPrintable(button->text()) << " and " << qPrintable(seen[*key]);
            seen.insert(*key, button->text());
            ++checked;
        }
    }
    EXPECT_GT(checked, 5);
}

TEST(DocumentLifecycle, SaveAndItsShortcutWaitForAChange) {
    WindowFixture f;
    EXPECT_FALSE(f.Action("Save1")->isEnabled());
    QTest::keyClick(&f.Window(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(f.Prompts().saveRequests.empty());
    f.Edit();
    EXPECT_TRUE(f.Action("Save1")->isEnabled());
    f.Prompts().fileAnswers = {QString()};
    f.Action("Save1")->trigger();
    EXPECT_EQ(f.Prompts().saveRequests.size(), 1u);
    f.Prompts().buttonAnswers = {PromptButton::No};
    f.Window().Close1Click();
    EXPECT_FALSE(f.Action("SaveAs1")->isEnabled());
    EXPECT_FALSE(f.Action("Close1")->isEnabled());
    EXPECT_TRUE(f.Action("New1")->isEnabled());
}

TEST(DocumentLifecycle, ClosingTheWindowAsksOnceAndKeepsOtherProgramsClipboard) {
    WindowFixture f;
    QGuiApplication::clipboard()->setText(QStringLiteral("from another program"));
    f.Edit();
    f.Prompts().buttonAnswers = {PromptButton::Cancel};
    EXPECT_FALSE(f.Window().close());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "from another program");

    f.Prompts().buttonAnswers = {PromptButton::No};
    EXPECT_TRUE(f.Window().close());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "from another program");
}

TEST(DocumentLifecycle, ClosingTheWindowTakesItsOwnFramesOffTheClipboard) {
    WindowFixture f;
    TFrameClipboard clipboard;
    clipboard.PutFrames(f.Window().Animation().FramePayload(0));
    ASSERT_TRUE(clipboard.HasFrames());
    EXPECT_TRUE(f.Window().close());
    EXPECT_FALSE(clipboard.HasFrames());
}

TEST(DocumentLifecycle, AWindowClosedMaximizedKeepsTheStoredBounds) {
    TempFolder folder;
    const QString ini = folder.Write("VISTREL.INI", "[Main]\nWindowLeft=10\nWindowTop=20\n"
                                                    "WindowWidth=800\nWindowHeight=600\n");
    {
        TfrmMain window({}, ini);
        window.SetPrompts(std::make_unique<TScriptedPrompts>());
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        const QRect normal = window.geometry();
        window.setWindowState(Qt::WindowMaximized);
        // Closed only once the window really has the maximized geometry, which
        // must not become the stored bounds.
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.geometry() != normal; }, 10000));
        ASSERT_TRUE(window.close());
    }
    const TVMUPreferences stored(ini, QSize(1920, 1080));
    EXPECT_EQ(QRect(stored.WindowLeft, stored.WindowTop, stored.WindowWidth, stored.WindowHeight),
              QRect(10, 20, 800, 600));
}

TEST(DocumentLifecycle, TheSettingsAreWrittenWhenTheWindowClosesAndAFailedWriteIsShown) {
    {
        WindowFixture f;
        f.Window().setGeometry(50, 60, 700, 500);
        ASSERT_TRUE(f.Window().close());
        // Written by the accepted close, while the window still stands.
        const TVMUPreferences stored(f.IniPath(), QSize(1920, 1080));
        EXPECT_EQ(
            QRect(stored.WindowLeft, stored.WindowTop, stored.WindowWidth, stored.WindowHeight),
            QRect(50, 60, 700, 500));
    }
    WindowFixture f;
    QDir().mkpath(f.IniPath()); // a folder where the file should be: the write fails
    TScriptedPrompts& prompts = f.Prompts();
    prompts.ExpectError("Unable to write to " + f.IniPath());
    EXPECT_TRUE(f.Window().close());
    ASSERT_EQ(prompts.MessageTexts(), QStringList{"Unable to write to " + f.IniPath()});
    // Destroying the window asks nothing more.
    f.Destroy();
    EXPECT_EQ(prompts.messages.size(), 1u);
}

TEST(DocumentLifecycle, BrowsingASavedDocumentLeavesItUnmodified) {
    WindowFixture f;
    f.Window().OpenDocument(f.LcdFile("long.lcd", {1, 2, 3, 4, 5, 6, 7, 8}));
    for (const Qt::Key key : {Qt::Key_End, Qt::Key_Home, Qt::Key_PageDown, Qt::Key_Left})
        QTest::keyClick(&f.Window(), key);
    EXPECT_EQ(f.Window().CurFrame(), 4); // End 7, Home 0, Page Down 5, Left 4
    EXPECT_FALSE(f.Window().Modified());
    f.Window().FrameStrip().SetPosition(3);
    f.Window().FrameStrip().SetPosition(0);
    EXPECT_FALSE(f.Window().Modified());
}

// "vistrel caf\xe9.lcd" typed in its folder, the name in Latin-1: the window saves
// to that file, not to a "caf\uFFFD.lcd" beside it, and the lists of the next
// start still lead to it.
TEST(DocumentLifecycle, ANameThatIsNotUtf8IsSavedAndReopenedAsItIs) {
    TempFolder files;
    const QByteArray folder = FileNameToBytes(QDir::cleanPath(files.Path(".")));
    const QString name = FileNameFromBytes(folder + "/caf\xe9.lcd");
    // Qt cannot remove a name that is not UTF-8, so the folder would stay behind.
    const auto removeFile =
        qScopeGuard([&] { ::unlink(QByteArray(folder + "/caf\xe9.lcd").constData()); });
    ASSERT_TRUE(SaveLocalFile(name, LCDBytes({1, 2})));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(files.Path(".")));
    WindowFixture f({FileNameFromBytes("caf\xe9.lcd")});
    QDir::setCurrent(before);
    ASSERT_EQ(f.Window().FileName(), name);
    ASSERT_EQ(f.Window().Animation().FrameCount(), 2);
    f.Window().Animation().Frame(1).SetDuration(9);
    f.Edit();
    f.Window().Save1Click();
    EXPECT_FALSE(f.Window().Modified());
    EXPECT_FALSE(QFile::exists(files.Path(QStringLiteral("caf\uFFFD.lcd"))));
    f.Window().Close1Click();
    ASSERT_TRUE(f.Window().close());

    const TVMUPreferences stored(f.IniPath(), QSize(1920, 1080));
    EXPECT_EQ(stored.Saved, QStringList{name});
    EXPECT_TRUE(ReadFile(f.IniPath()).contains(folder + "/caf\xe9.lcd"));
    f.Window().findChild<QMenu*>("Reopen1")->actions().first()->trigger();
    EXPECT_EQ(f.Window().FileName(), name);
    ASSERT_EQ(f.Window().Animation().FrameCount(), 2);
    EXPECT_EQ(f.Window().Animation().Frame(1).Duration(), 9);
}

TEST(DocumentLifecycle, SavingADocumentWithoutFramesSaysWhy) {
    WindowFixture f;
    const QString empty = f.Folder().Write("empty.lcd", LCDBytes({}));
    f.Window().OpenDocument(empty);
    ASSERT_FALSE(f.Window().Closed());
    ASSERT_EQ(f.Window().Animation().FrameCount(), 0);
    f.Edit();
    f.Prompts().ExpectError("Unable to save empty.lcd: the animation has no frames");
    EXPECT_FALSE(f.Window().SaveDocument(false));
    EXPECT_EQ(f.Prompts().MessageTexts(),
              QStringList{"Unable to save empty.lcd: the animation has no frames"});
    EXPECT_EQ(f.Prompts().messages.back().caption, "Error");
    EXPECT_TRUE(f.Window().Modified());
}

// The run shows frames that New, Open and Close free: its worker is gone before
// they go, not only asked to stop.
TEST(DocumentLifecycle, NewOpenAndCloseEndThePlayersWorkerFirst) {
    const std::pair<const char*, std::function<void(WindowFixture&)>> cases[] = {
        {"New", [](WindowFixture& f) { f.Window().New1Click(); }},
        {"Open", [](WindowFixture& f) { f.Window().OpenDocument(f.LcdFile("b.lcd", {1})); }},
        {"Close", [](WindowFixture& f) { f.Window().Close1Click(); }},
    };
    for (const auto& [what, command] : cases) {
        TempFolder files;
        WindowFixture f({"/P", files.Write("clip.lcd", LCDBytes({1, 2, 3}, 255))});
        const QPointer<TPlayerThread> player = f.Window().PlayerPage().PlayerThread();
        ASSERT_NE(player, nullptr) << what;
        command(f);
        EXPECT_TRUE(player.isNull()) << what;
        EXPECT_EQ(f.Window().PlayerPage().PlayerThread(), nullptr) << what;
    }
}

// Strokes live in the editor's picture until the frame changes; Save must not
// leave them behind.
TEST(DocumentLifecycle, SaveWritesTheStrokesNotYetStoredInTheFrame) {
    WindowFixture f;
    const QString walk = f.LcdFile("walk.lcd", {2, 3});
    f.Window().OpenDocument(walk);
    auto* editor = f.Window().findChild<QWidget*>("pntbxEditor");
    ASSERT_NE(editor, nullptr);
    // Cell (10, 12) of the editor's 8-pixel grid.
    QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(10 * 8 + 3, 12 * 8 + 5));
    ASSERT_TRUE(f.Window().Modified());
    f.Window().Save1Click();
    EXPECT_FALSE(f.Window().Modified());
    TAnimation written;
    ASSERT_TRUE(written.LoadFromFile(walk));
    EXPECT_EQ(Durations(written), (std::vector<int>{2, 3}));
    EXPECT_EQ(written.Frame(0).Pixels[PixelIndex(10, 12)], 1);
    EXPECT_EQ(written.Frame(0).Pixels[PixelIndex(0, 0)], 1); // the frame's own dot stays
    EXPECT_EQ(written.Frame(1).Pixels[PixelIndex(10, 12)], 0);
}

// Yes to "Save changes" and then a save that fails: the command that asked must
// not go on, or the document would be lost with the reason on screen.
TEST(DocumentLifecycle, AFailedSaveAfterYesKeepsTheDocumentOpenAndModified) {
    const std::pair<const char*, std::function<bool(WindowFixture&)>> cases[] = {
        {"New",
         [](WindowFixture& f) {
             f.Window().New1Click();
             return true;
         }},
        {"Open",
         [](WindowFixture& f) {
             f.Window().OpenDocument(f.LcdFile("other.lcd", {9}));
             return true;
         }},
        {"Close",
         [](WindowFixture& f) {
             f.Window().Close1Click();
             return true;
         }},
        {"quit", [](WindowFixture& f) { return !f.Window().close(); }},
    };
    for (const auto& [what, command] : cases) {
        WindowFixture f;
        f.Window().Animation().Frame(0).SetDuration(6);
        f.Window().Editor().WorkBitmap.setPixel(4, 4, qRgb(0, 0, 0));
        f.Edit();
        // The name chosen in the Save dialog is a folder: the write really fails.
        const QString taken = f.Folder().Path("taken.lcd");
        ASSERT_TRUE(QDir().mkpath(taken));
        f.Prompts().buttonAnswers = {PromptButton::Yes};
        f.Prompts().fileAnswers = {taken};
        f.Prompts().ExpectError("Unable to save taken.lcd: ");
        EXPECT_TRUE(command(f)) << what << ": the window closed";
        ASSERT_EQ(f.Prompts().messages.size(), 2u) << what;
        EXPECT_EQ(f.Prompts().messages[0].text, "Save changes to Untitled1.lcd?") << what;
        EXPECT_TRUE(f.Prompts().messages[1].text.startsWith("Unable to save taken.lcd: "))
            << what << ": " << f.Prompts().messages[1].text.toStdString();
        EXPECT_FALSE(f.Window().Closed()) << what;
        EXPECT_TRUE(f.Window().Modified()) << what;
        EXPECT_EQ(f.Caption(), "Vistrel - Untitled1.lcd") << what;
        EXPECT_TRUE(f.Window().FileName().isEmpty()) << what;
        ASSERT_EQ(f.Window().Animation().FrameCount(), 1) << what;
        EXPECT_EQ(f.Window().Animation().Frame(0).Duration(), 6) << what;
        EXPECT_EQ(f.Window().Editor().WorkBitmap.pixel(4, 4), qRgb(0, 0, 0)) << what;
        EXPECT_TRUE(QFileInfo(taken).isDir()) << what;
        // Let the fixture close the window without asking again.
        f.Window().SetModified(false);
    }
}

TEST(DocumentLifecycle, AScriptedVMSOpensWithItsListingAndANote) {
    WindowFixture f;
    // Data at 0x20: repeat 2, two commands drawing the one bitmap for 4 ticks and
    // then waiting for a button, then the bitmap with its first dot lit.
    QByteArray vms("\x01\x22\x60\x00\x05\x22\x61\x20", 8);
    vms += QByteArray(0x20 - vms.size(), '\x07');
    const int bitmapAt = 5 + 2 * 4;
    vms += QByteArray("\x00\x01\x02\x00\x02", 5);
    vms += QByteArray("\x00\x04", 2) + char(bitmapAt >> 8) + char(bitmapAt & 0xFF);
    vms += QByteArray("\x20\x31\x00\x00", 4);
    QByteArray bitmap(192, '\0');
    bitmap[0] = '\x80';
    vms += bitmap;
    const QString clip = f.Folder().Write("game.vms", vms);
    f.Window().OpenDocument(clip);
    ASSERT_EQ(f.Prompts().messages.size(), 1u);
    EXPECT_EQ(f.Prompts().messages[0].text,
              "The loaded animation is interactive.  Unfortunately, the script cannot be "
              "converted at this time.");
    EXPECT_EQ(f.Prompts().messages[0].caption, "Information");
    EXPECT_EQ(f.Prompts().messages[0].icon, PromptIcon::Information);
    EXPECT_EQ(f.Caption(), "Vistrel - game.vms");
    EXPECT_EQ(f.Window().Animation().SourceKind, SourceVMSScripted);
    ASSERT_EQ(Durations(f.Window().Animation()), std::vector<int>{4});
    EXPECT_EQ(f.Window().Animation().Frame(0).Pixels[PixelIndex(0, 0)], 1);
    EXPECT_EQ(f.Window().CurFrame(), 0);
    EXPECT_FALSE(f.Window().Modified());
    const QString listing = f.Window().findChild<QPlainTextEdit*>("memoScript")->toPlainText();
    EXPECT_EQ(listing, "draw_frame(1);\nuntil_buttons_wait(ABU);");
}
