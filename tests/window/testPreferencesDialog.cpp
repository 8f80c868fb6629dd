#include "desktopWindow.h"
#include "formPreferences.h"
#include "programFileTypes.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

const QString RemovalQuestion =
    QStringLiteral("Would you like to permanently remove the file type associations?");
const QStringList OurEntries = {
    "applications/vistrel-lcd.desktop", "applications/vistrel-lcd_play.desktop",
    "applications/vistrel-vms.desktop", "applications/vistrel-vms_play.desktop",
    "applications/vistrel-vmi.desktop"};

// Plays the user in the Preferences dialog: makes the changes, then presses OK
// (or Cancel).
std::function<void(QDialog&)> Answer(std::function<void(TfrmPreferences&)> change, bool ok = true) {
    return [change, ok](QDialog& dialog) {
        auto& preferences = dynamic_cast<TfrmPreferences&>(dialog);
        change(preferences);
        QTest::mouseClick(ok ? preferences.btnOk : preferences.btnCancel, Qt::LeftButton);
    };
}

void TypeFPS(TfrmPreferences& dialog, const QString& text) {
    dialog.edtFPS->clear();
    QTest::keyClicks(dialog.edtFPS, text);
}

QString TotalPanel(TfrmMain& window) {
    return window.findChild<QLabel*>(QStringLiteral("stsbrMainPanel3"))->text();
}

QStringList Existing(const DesktopWindow& w, const QStringList& names) {
    QStringList present;
    for (const QString& name : names)
        if (w.HasData(name))
            present << name;
    return present;
}

} // namespace

TEST(PreferencesDialog, ShowsTheSettingsAndOkStoresThemAtOnce) {
    DesktopWindow w("[Main]\nRegisterLCD=1\nRegisterVMS=0\nDisplayGrid=0\nPlayerFPS=12\n"
                    "LoopSelect=0\nShowLCDBlur=1\n");
    QAction* item = w.Window().findChild<QAction*>("Preferences1");
    w.Window().File1Click();
    ASSERT_TRUE(item->isEnabled());
    EXPECT_EQ(TotalPanel(w.Window()), "Total: 0:00:00.08"); // one tick at 12 FPS

    w.Prompts().dialogAnswers.push_back(Answer([](TfrmPreferences& d) {
        EXPECT_EQ(d.windowTitle(), "Vistrel Preferences");
        EXPECT_TRUE(d.chkbxRegisterLCD->isChecked());
        EXPECT_FALSE(d.chkbxRegisterVMS->isChecked());
        EXPECT_FALSE(d.chkbxGrid->isChecked());
        EXPECT_FALSE(d.chkbxLoopSel->isChecked());
        EXPECT_TRUE(d.chkbxShowLCDBlur->isChecked());
        EXPECT_EQ(d.edtFPS->text(), "12");
        EXPECT_TRUE(d.btnOk->isDefault());
        d.chkbxGrid->setChecked(true);
        d.chkbxLoopSel->setChecked(true);
        d.chkbxShowLCDBlur->setChecked(false);
        TypeFPS(d, "25");
    }));
    item->trigger();
    EXPECT_EQ(w.Prompts().dialogs, QStringList{"frmPreferences"});

    const TVMUPreferences& stored = w.Window().Preferences();
    EXPECT_TRUE(stored.DisplayGrid);
    EXPECT_TRUE(stored.LoopSelect);
    EXPECT_FALSE(stored.ShowLCDBlur);
    EXPECT_EQ(stored.PlayerFPS, 25);
    EXPECT_TRUE(w.Window().Editor().DisplayGrid);
    EXPECT_EQ(TotalPanel(w.Window()), "Total: 0:00:00.04"); // one tick at 25 FPS
    EXPECT_TRUE(w.Prompts().messages.empty());
}

TEST(PreferencesDialog, CancelLeavesEverySettingAndEveryFileAsTheyWere) {
    DesktopWindow w;
    const QByteArray mimeApps = ReadFile(w.MimeApps());
    w.Prompts().dialogAnswers.push_back(Answer(
        [](TfrmPreferences& d) {
            d.chkbxRegisterLCD->setChecked(false);
            d.chkbxRegisterVMS->setChecked(false);
            d.chkbxGrid->setChecked(true);
            TypeFPS(d, "50");
            d.spnOnionBefore->setValue(3);
            d.chkbxOnionWrap->setChecked(true);
        },
        false));
    w.Window().Preferences1Click();
    const TVMUPreferences& stored = w.Window().Preferences();
    EXPECT_EQ(stored.OnionSkinBefore, 1);
    EXPECT_FALSE(stored.OnionSkinWrap);
    EXPECT_EQ(w.Window().FrameEditor().OnionSkinSettings(), TOnionSkinSettings{});
    EXPECT_TRUE(stored.RegisterLCD);
    EXPECT_TRUE(stored.RegisterVMS);
    EXPECT_FALSE(stored.DisplayGrid);
    EXPECT_EQ(stored.PlayerFPS, 12);
    EXPECT_TRUE(w.Prompts().messages.empty());
    EXPECT_EQ(Existing(w, OurEntries), OurEntries);
    EXPECT_EQ(ReadFile(w.MimeApps()), mimeApps);
}

TEST(PreferencesDialog, OnionSkinCountsAndWrapAreShownAndOkHandsThemToTheEditor) {
    DesktopWindow w("[OnionSkin]\nShown=1\nBefore=2\nAfter=0\nWrap=1\n");
    EXPECT_EQ(w.Window().FrameEditor().OnionSkinSettings(), (TOnionSkinSettings{2, 0, true}));
    EXPECT_TRUE(w.Window().FrameEditor().OnionSkinShown());
    w.Prompts().dialogAnswers.push_back(Answer([](TfrmPreferences& d) {
        EXPECT_EQ(d.spnOnionBefore->value(), 2);
        EXPECT_EQ(d.spnOnionAfter->value(), 0);
        EXPECT_TRUE(d.chkbxOnionWrap->isChecked());
        EXPECT_EQ(d.spnOnionAfter->maximum(), 3);
        EXPECT_EQ(d.spnOnionBefore->minimum(), 0);
        d.spnOnionBefore->setValue(0);
        d.spnOnionAfter->setValue(3);
        d.chkbxOnionWrap->setChecked(false);
    }));
    w.Window().Preferences1Click();
    const TVMUPreferences& stored = w.Window().Preferences();
    EXPECT_EQ(stored.OnionSkinBefore, 0);
    EXPECT_EQ(stored.OnionSkinAfter, 3);
    EXPECT_FALSE(stored.OnionSkinWrap);
    EXPECT_EQ(w.Window().FrameEditor().OnionSkinSettings(), (TOnionSkinSettings{0, 3, false}));
    EXPECT_TRUE(w.Prompts().messages.empty());
}

// A speed out of range is not dropped in silence: OK says what is accepted and
// the dialog stays open with the speed selected; the next valid speed is kept.
TEST(PreferencesDialog, AnFPSOutsideOneToAThousandIsRefusedWithTheRange) {
    const QString message = "Invalid playback speed - must be between 1 and 1000 FPS.";
    const std::pair<const char*, int> cases[] = {{"1", 1}, {"1000", 1000}, {"60", 60},
                                                 {"0", 0}, {"1001", 0},    {"9999", 0},
                                                 {"", 0},  {"abc", 0},     {"-5", 5}};
    DesktopWindow w;
    for (const auto& [typed, stored] : cases) {
        const bool refused = stored == 0;
        w.Prompts().messages.clear();
        if (refused)
            w.Prompts().ExpectError(message);
        w.Prompts().dialogAnswers.push_back([&, text = QString::fromLatin1(typed)](QDialog& d) {
            auto& preferences = dynamic_cast<TfrmPreferences&>(d);
            TypeFPS(preferences, text);
            QTest::mouseClick(preferences.btnOk, Qt::LeftButton);
            EXPECT_EQ(d.isVisible(), refused) << typed;
            if (!refused)
                return;
            EXPECT_EQ(w.Prompts().MessageTexts(), QStringList{message}) << typed;
            EXPECT_EQ(preferences.edtFPS->selectedText(), preferences.edtFPS->text());
            TypeFPS(preferences, "30");
            QTest::mouseClick(preferences.btnOk, Qt::LeftButton);
        });
        w.Window().Preferences1Click();
        // Only digits reach the box: "-5" arrives as "5".
        EXPECT_EQ(w.Window().Preferences().PlayerFPS, refused ? 30 : stored) << typed;
        if (!refused) {
            EXPECT_TRUE(w.Prompts().messages.empty()) << typed;
        }
    }
}

TEST(PreferencesDialog, SwitchingTheTypesOffRemovesThemOnlyWhenTheUserSaysYes) {
    for (const PromptButton answer : {PromptButton::No, PromptButton::Yes}) {
        DesktopWindow w;
        ASSERT_EQ(Existing(w, OurEntries), OurEntries);
        w.Prompts().dialogAnswers.push_back(Answer([](TfrmPreferences& d) {
            d.chkbxRegisterLCD->setChecked(false);
            d.chkbxRegisterVMS->setChecked(false);
        }));
        w.Prompts().buttonAnswers.push_back(answer);
        w.Window().Preferences1Click();

        ASSERT_EQ(w.Prompts().messages.size(), 1u);
        EXPECT_EQ(w.Prompts().messages[0].text, RemovalQuestion);
        EXPECT_EQ(w.Prompts().messages[0].caption, "Confirm");
        EXPECT_EQ(w.Prompts().messages[0].icon, PromptIcon::Question);
        EXPECT_EQ(w.Prompts().messages[0].buttons, PromptButtons::YesNo);
        // Either way the types are no longer registered at start.
        EXPECT_FALSE(w.Window().Preferences().RegisterLCD);
        EXPECT_FALSE(w.Window().Preferences().RegisterVMS);
        if (answer == PromptButton::Yes) {
            EXPECT_EQ(Existing(w, OurEntries), QStringList());
            EXPECT_FALSE(w.HasData("mime/packages/vistrel-lcd.xml"));
            EXPECT_FALSE(ReadFile(w.MimeApps()).contains("vistrel"));
        } else {
            EXPECT_EQ(Existing(w, OurEntries), OurEntries);
        }
    }
}

TEST(PreferencesDialog, SwitchingOneKindOffRemovesOnlyThatKind) {
    DesktopWindow w;
    w.Prompts().dialogAnswers.push_back(
        Answer([](TfrmPreferences& d) { d.chkbxRegisterVMS->setChecked(false); }));
    w.Prompts().buttonAnswers.push_back(PromptButton::Yes);
    w.Window().Preferences1Click();
    EXPECT_EQ(Existing(w, OurEntries), QStringList(OurEntries.mid(0, 2)));
    EXPECT_TRUE(w.HasData("icons/hicolor/48x48/apps/vistrel.png")); // LCD still shows it
}

TEST(PreferencesDialog, EveryOkRegistersAgainWithOneEntryPerVerb) {
    DesktopWindow w;
    QFile::remove(w.Data("applications/vistrel-lcd_play.desktop"));
    for (int round = 0; round < 3; ++round) {
        w.Prompts().dialogAnswers.push_back(Answer([](TfrmPreferences&) {}));
        w.Window().Preferences1Click();
    }
    EXPECT_EQ(Existing(w, OurEntries), OurEntries);
    EXPECT_EQ(w.Window().FileTypes().FileTypeLCD.Commands().size(), 2u);
    EXPECT_EQ(w.Window().FileTypes().FileTypeVMS.Commands().size(), 2u);
    EXPECT_EQ(w.Window().FileTypes().FileTypeVMI.Commands().size(), 1u);
    EXPECT_TRUE(w.Prompts().messages.empty());
}

TEST(PreferencesDialog, AFailedRegistrationIsReportedAndLosesNoSetting) {
    DesktopWindow w;
    TempFolder blocked;
    blocked.Write("file", "x"); // a file where the data folder's parent would be
    TProgramFileTypes& types = w.Window().FileTypes();
    for (TFileType* type : {&types.FileTypeLCD, &types.FileTypeVMS, &types.FileTypeVMI})
        type->Folders.DataHome = blocked.Path("file/share");
    w.Prompts().dialogAnswers.push_back(Answer([](TfrmPreferences& d) {
        d.chkbxGrid->setChecked(true);
        TypeFPS(d, "30");
    }));
    w.Prompts().ExpectError("Unable to create the folder " + blocked.Path("file/share"));
    w.Window().Preferences1Click();

    ASSERT_EQ(w.Prompts().messages.size(), 1u);
    EXPECT_EQ(w.Prompts().messages[0].caption, "Error");
    EXPECT_TRUE(w.Prompts().messages[0].text.contains(blocked.Path("file/share")));
    EXPECT_TRUE(w.Window().Preferences().DisplayGrid);
    EXPECT_EQ(w.Window().Preferences().PlayerFPS, 30);
}

TEST(StartupRegistration, EachKindFollowsItsOwnSetting) {
    DesktopWindow w("[Main]\nRegisterLCD=0\nRegisterVMS=1\n");
    EXPECT_EQ(Existing(w, OurEntries), QStringList(OurEntries.mid(2)));
    const QByteArray defaults = ReadFile(w.MimeApps());
    EXPECT_TRUE(defaults.contains("application/x-dreamcast-vms=vistrel-vms.desktop;"));
    EXPECT_FALSE(defaults.contains("vistrel-lcd"));
}

TEST(StartupRegistration, AnUnwritableDataFolderIsReportedOnceAndStartUpCompletes) {
    TempFolder blocked;
    blocked.Write("file", "x");
    DesktopWindow w({}, blocked.Path("file/share"), false);
    w.Prompts().ExpectError("Unable to create the folder " + blocked.Path("file/share"));
    w.Start();
    ASSERT_EQ(w.Prompts().messages.size(), 1u);
    EXPECT_EQ(w.Prompts().messages[0].caption, "Error");
    EXPECT_EQ(w.Prompts().messages[0].icon, PromptIcon::Error);
    EXPECT_TRUE(w.Prompts().messages[0].text.startsWith("Unable to create the folder " +
                                                        blocked.Path("file/share")));
    // The window was built to the end: a blank first frame, current, in the editor.
    EXPECT_TRUE(w.Window().StartupDone());
    EXPECT_EQ(w.Window().Animation().FrameCount(), 1);
    EXPECT_EQ(w.Window().CurFrame(), 0);
    EXPECT_EQ(w.Window().windowTitle(), "Vistrel - Untitled1.lcd");
    EXPECT_FALSE(QFileInfo::exists(w.MimeApps()));
}

// The file types are no work on the way to the first view: nothing is written
// while the window is built, all of it once the window has painted itself.
TEST(StartupRegistration, TheFileTypesAreWrittenOnceTheWindowHasPaintedItself) {
    DesktopWindow w({}, {}, false);
    EXPECT_EQ(Existing(w, OurEntries), QStringList());
    w.Window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.Window()));
    QApplication::processEvents();
    EXPECT_TRUE(w.Window().AfterFirstPaintDone());
    EXPECT_EQ(Existing(w, OurEntries), OurEntries);
}
