#include "autosave.h"
#include "formRecover.h"
#include "frameStrip.h"
#include "windowFixture.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTreeWidget>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

// Each test has a state folder of its own, so what one test leaves behind
// never reaches the start-up of another.
struct StateFolder {
    StateFolder() { qputenv("XDG_STATE_HOME", QFile::encodeName(state.Path("state"))); }
    ~StateFolder() { qputenv("XDG_STATE_HOME", saved); }
    QString Recovery() const { return state.Path("state") + "/vistrel/recovery"; }
    QStringList RecoveryFiles() const {
        return QDir(Recovery()).entryList({"*.recovery"}, QDir::Files);
    }
    // What a Vistrel that stopped without saving leaves: a recovery file without
    // a live owner. Returns its path.
    QString LeaveDocument(const TAnimation& animation, const TRecoveryInfo& info) const {
        TRecoveryStore store(Recovery());
        const std::unique_ptr<TRecoverySlot> slot = store.Create();
        if (!slot || !slot->Write(RecoveryFileBytes(animation, info)))
            return {};
        return slot->FilePath();
    }

    TempFolder state;
    QByteArray saved = qgetenv("XDG_STATE_HOME");
};

struct RecoveryWindow : StateFolder, WindowFixture {
    explicit RecoveryWindow(bool start = true) : WindowFixture({}, start) {
        Window().Recovery().Autosave().SetDelay(10);
    }
    // A click on the editor's cell: a stroke that stays in the editor's picture.
    void Dot(QPoint cell) {
        QTest::mouseClick(Window().findChild<QWidget*>("pntbxEditor"), Qt::LeftButton, {},
                          cell * 8 + QPoint(3, 5));
    }
    // The document as its recovery file holds it, once the file satisfies done.
    bool WaitForFile(const std::function<bool(const TAnimation&, const TRecoveryInfo&)>& done) {
        return QTest::qWaitFor(
            [&] {
                TAnimation animation;
                TRecoveryInfo info;
                return LoadRecoveryFile(Window().Recovery().FilePath(), animation, info) &&
                       done(animation, info);
            },
            10000);
    }
    void Settle() {
        Window().Recovery().Autosave().Flush();
        QApplication::processEvents();
    }
};

bool Lit(const TAnimation& animation, int frame, QPoint cell) {
    return animation.IsValidIndex(frame) &&
           animation.Frame(frame)
                   .Pixels[static_cast<std::size_t>(PixelIndex(cell.x(), cell.y()))] == 1;
}

// Eight frames, more than the strip shows at once, and a dot on the last.
constexpr int LeftFrames = 8;
void FillLeftDocument(TAnimation& animation) {
    for (int i = 0; i < LeftFrames; ++i)
        animation.AddFrame();
    animation.Frame(0).SetDuration(4);
    animation.Frame(LeftFrames - 1).Pixels[static_cast<std::size_t>(PixelIndex(7, 9))] = 1;
    animation.PaintCell(LeftFrames - 1);
}

} // namespace

TEST(WindowRecovery, ADrawingAndAnInsertedFrameReachTheRecoveryFile) {
    RecoveryWindow f;
    // A window that was never edited keeps no file.
    EXPECT_EQ(f.Window().Recovery().FilePath(), QString());
    f.Dot({10, 12});
    ASSERT_TRUE(f.WaitForFile([](const TAnimation& animation, const TRecoveryInfo& info) {
        return Lit(animation, 0, {10, 12}) && info.UntitledNumber == 1 && info.FileName.isEmpty();
    }));

    ASSERT_TRUE(f.Window().InsertFrameAfterCurrent());
    ASSERT_TRUE(f.WaitForFile([](const TAnimation& animation, const TRecoveryInfo& info) {
        return animation.FrameCount() == 2 && info.CurrentFrame == 1;
    }));
    TAnimation animation;
    TRecoveryInfo info;
    ASSERT_TRUE(LoadRecoveryFile(f.Window().Recovery().FilePath(), animation, info));
    EXPECT_TRUE(Lit(animation, 0, {10, 12}));
    EXPECT_FALSE(Lit(animation, 1, {10, 12}));
    EXPECT_EQ(f.RecoveryFiles().size(), 1);
}

// What the editor shows is what is kept, also a picture not yet stored into its
// frame; the autosave never stores it there itself.
TEST(WindowRecovery, TheEditorsPictureIsKeptWithoutStoringItIntoTheFrame) {
    RecoveryWindow f;
    f.Window().Editor().WorkBitmap.setPixel(30, 3, LitColour);
    f.Edit();
    ASSERT_TRUE(f.WaitForFile([](const TAnimation& animation, const TRecoveryInfo&) {
        return Lit(animation, 0, {30, 3});
    }));
    EXPECT_FALSE(Lit(f.Window().Animation(), 0, {30, 3}));
}

// Whatever leaves the document with nothing unsaved removes its recovery file;
// the next edit makes it again.
TEST(WindowRecovery, SaveAndNoToSaveChangesRemoveTheRecoveryFile) {
    const std::pair<const char*, std::function<void(RecoveryWindow&)>> cases[] = {
        {"Save", [](RecoveryWindow& f) { f.Window().Save1Click(); }},
        {"Close, No",
         [](RecoveryWindow& f) {
             f.Prompts().buttonAnswers = {PromptButton::No};
             f.Window().Close1Click();
         }},
        {"New, No",
         [](RecoveryWindow& f) {
             f.Prompts().buttonAnswers = {PromptButton::No};
             f.Window().New1Click();
         }},
        {"Undo back to the save",
         [](RecoveryWindow& f) {
             f.Window().Undo1Click();
             EXPECT_FALSE(f.Window().Modified());
         }},
        {"Open, No",
         [](RecoveryWindow& f) {
             f.Prompts().buttonAnswers = {PromptButton::No};
             f.Window().OpenDocument(f.LcdFile("other.lcd", {1}));
         }},
    };
    for (const auto& [name, action] : cases) {
        SCOPED_TRACE(name);
        RecoveryWindow f;
        f.Window().OpenDocument(f.LcdFile("walk.lcd", {2, 3}));
        f.Dot({4, 4});
        ASSERT_TRUE(f.WaitForFile([](const TAnimation&, const TRecoveryInfo&) { return true; }));
        action(f);
        f.Settle();
        EXPECT_EQ(f.RecoveryFiles(), QStringList());
        if (f.Window().Closed())
            continue;
        f.Dot({5, 5});
        EXPECT_TRUE(f.WaitForFile([](const TAnimation&, const TRecoveryInfo&) { return true; }));
    }
}

TEST(WindowRecovery, ClosingTheWindowWithoutSavingLeavesNoRecoveryFile) {
    RecoveryWindow f;
    f.Dot({4, 4});
    ASSERT_TRUE(f.WaitForFile([](const TAnimation&, const TRecoveryInfo&) { return true; }));
    f.Prompts().buttonAnswers = {PromptButton::No};
    ASSERT_TRUE(f.Window().close());
    f.Destroy();
    EXPECT_EQ(f.RecoveryFiles(), QStringList());
}

// The documents of a running window are its own: a second window, sharing the
// folder, offers only what a stopped one left.
TEST(WindowRecovery, ASecondWindowOffersOnlyWhatAStoppedOwnerLeft) {
    RecoveryWindow first;
    first.Dot({1, 1});
    ASSERT_TRUE(first.WaitForFile([](const TAnimation&, const TRecoveryInfo&) { return true; }));
    TAnimation left;
    FillLeftDocument(left);
    TRecoveryInfo info;
    info.FileName = first.state.Path("left.lcd");
    ASSERT_FALSE(first.LeaveDocument(left, info).isEmpty());

    WindowFixture second({}, false);
    QStringList offered;
    second.Prompts().dialogAnswers = {[&](QDialog& dialog) {
        auto& recover = dynamic_cast<TfrmRecover&>(dialog);
        for (int i = 0; i < recover.lstDocuments->topLevelItemCount(); ++i)
            offered << recover.lstDocuments->topLevelItem(i)->text(0);
        recover.btnLater->click();
    }};
    second.Start();
    EXPECT_EQ(offered, QStringList{info.FileName});
    // Later keeps the file for the next start.
    EXPECT_EQ(first.RecoveryFiles().size(), 2);
}

TEST(WindowRecovery, RecoverOpensTheDocumentModifiedUnderItsOldNameOnItsFrame) {
    struct Case {
        const char* name;
        bool named;
        QString title;
    };
    const Case cases[] = {{"named", true, "left.lcd"}, {"untitled", false, "Untitled3.lcd"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecoveryWindow f(false);
        TAnimation left;
        FillLeftDocument(left);
        TRecoveryInfo info;
        if (c.named)
            info.FileName = f.Folder().Path("left.lcd");
        else
            info.UntitledNumber = 3;
        info.CurrentFrame = LeftFrames - 1;
        info.LastChange = QDateTime(QDate(2026, 3, 4), QTime(5, 6), Qt::UTC);
        const QString path = f.LeaveDocument(left, info);
        ASSERT_FALSE(path.isEmpty());

        QStringList row;
        f.Prompts().dialogAnswers = {[&](QDialog& dialog) {
            auto& recover = dynamic_cast<TfrmRecover&>(dialog);
            EXPECT_EQ(dialog.windowTitle(), "Recover Unsaved Work");
            const QTreeWidgetItem* item = recover.lstDocuments->topLevelItem(0);
            ASSERT_NE(item, nullptr);
            row = QStringList{item->text(0), item->text(1), item->text(2)};
            EXPECT_TRUE(recover.btnRecover->isDefault());
            recover.btnRecover->click();
        }};
        f.Start();
        EXPECT_EQ(row, (QStringList{info.DisplayName(), QString::number(LeftFrames),
                                    info.LastChange.toLocalTime().toString("yyyy-MM-dd HH:mm")}));
        TfrmMain& window = f.Window();
        EXPECT_TRUE(window.Modified());
        EXPECT_EQ(window.Document().Title(), c.title);
        EXPECT_EQ(window.CurFrame(), LeftFrames - 1);
        EXPECT_EQ(window.FrameStrip().SlotIndex(TFrameStrip::SlotCount - 1), LeftFrames - 1);
        ASSERT_EQ(window.Animation().FrameCount(), LeftFrames);
        EXPECT_EQ(window.Animation().Frame(0).Duration(), 4);
        EXPECT_TRUE(Lit(window.Animation(), LeftFrames - 1, {7, 9}));

        // Its edits go on into the same file.
        f.Dot({20, 20});
        EXPECT_EQ(window.Recovery().FilePath(), path);
        ASSERT_TRUE(f.WaitForFile([](const TAnimation& animation, const TRecoveryInfo& kept) {
            return Lit(animation, LeftFrames - 1, {20, 20}) &&
                   Lit(animation, LeftFrames - 1, {7, 9}) && kept.CurrentFrame == LeftFrames - 1;
        }));
        EXPECT_EQ(f.RecoveryFiles().size(), 1);

        // Save writes where the document came from, asking only what a new
        // document's save asks.
        const QString target = f.Folder().Path(c.named ? "left.lcd" : "saved.lcd");
        if (!c.named)
            f.Prompts().fileAnswers = {target};
        window.Save1Click();
        EXPECT_FALSE(window.Modified());
        if (!c.named) {
            EXPECT_EQ(f.Prompts().saveRequests.at(0).title, "Save Untitled3 As");
        }
        TAnimation saved;
        ASSERT_TRUE(saved.LoadFromFile(target));
        EXPECT_TRUE(Lit(saved, LeftFrames - 1, {20, 20}));
        f.Settle();
        EXPECT_EQ(f.RecoveryFiles(), QStringList());
    }
}

// The offer comes before the file named on the command line: opening that file
// then asks about the recovered work like about any unsaved document.
TEST(WindowRecovery, TheOfferComesBeforeTheFileOfTheCommandLine) {
    StateFolder state;
    TAnimation left;
    FillLeftDocument(left);
    TRecoveryInfo info;
    info.FileName = state.state.Path("left.lcd");
    ASSERT_FALSE(state.LeaveDocument(left, info).isEmpty());
    const QString named = state.state.Write("named.lcd", LCDBytes({5, 6}));

    WindowFixture f({named}, false);
    f.Prompts().dialogAnswers = {
        [](QDialog& dialog) { dynamic_cast<TfrmRecover&>(dialog).btnRecover->click(); }};
    f.Prompts().buttonAnswers = {PromptButton::No};
    f.Start();
    EXPECT_EQ(f.Prompts().MessageTexts(), QStringList{"Save changes to left.lcd?"});
    EXPECT_EQ(f.Window().FileName(), named);
    EXPECT_EQ(f.Window().Animation().FrameCount(), 2);
    EXPECT_FALSE(f.Window().Modified());
    f.Window().Recovery().Autosave().Flush();
    EXPECT_EQ(state.RecoveryFiles(), QStringList());
}

// A file damaged after it was listed is reported and kept; the window starts
// as if nothing had been chosen.
TEST(WindowRecovery, AFileDamagedBeforeItIsReadIsReportedAndKept) {
    RecoveryWindow f(false);
    TAnimation left;
    FillLeftDocument(left);
    TRecoveryInfo info;
    info.UntitledNumber = 4;
    const QString path = f.LeaveDocument(left, info);
    ASSERT_FALSE(path.isEmpty());
    f.Prompts().dialogAnswers = {[&](QDialog& dialog) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("cut short");
        file.close();
        dynamic_cast<TfrmRecover&>(dialog).btnRecover->click();
    }};
    f.Prompts().ExpectError("Unable to recover Untitled4.lcd: not a Vistrel recovery file");
    f.Start();
    EXPECT_EQ(f.RecoveryFiles().size(), 1);
    EXPECT_FALSE(f.Window().Modified());
    EXPECT_EQ(f.Window().Animation().FrameCount(), 1);
    EXPECT_EQ(f.Window().Document().Title(), "Untitled1.lcd");
}

// Discard asks first; a damaged file is listed with its reason, cannot be
// recovered and goes only when the user says so.
TEST(WindowRecovery, DiscardAsksAndADamagedFileIsKeptUntilTheUserDiscardsIt) {
    RecoveryWindow f(false);
    TAnimation left;
    FillLeftDocument(left);
    TRecoveryInfo info;
    info.UntitledNumber = 2;
    ASSERT_FALSE(f.LeaveDocument(left, info).isEmpty());
    QDir().mkpath(f.Recovery());
    f.state.Write("state/vistrel/recovery/0badf11e.recovery", "not a document");

    QStringList afterNo;
    f.Prompts().buttonAnswers = {PromptButton::No, PromptButton::Yes, PromptButton::Yes};
    f.Prompts().dialogAnswers = {[&](QDialog& dialog) {
        auto& recover = dynamic_cast<TfrmRecover&>(dialog);
        QTreeWidget* list = recover.lstDocuments;
        ASSERT_EQ(list->topLevelItemCount(), 2);
        EXPECT_EQ(list->topLevelItem(0)->text(0), "Untitled2.lcd");
        EXPECT_EQ(list->topLevelItem(1)->text(2),
                  "Cannot be recovered: not a Vistrel recovery file");
        list->setCurrentItem(list->topLevelItem(1));
        EXPECT_FALSE(recover.btnRecover->isEnabled());
        recover.btnDiscard->click(); // No
        afterNo = f.RecoveryFiles();
        recover.btnDiscard->click(); // Yes
        ASSERT_EQ(list->topLevelItemCount(), 1);
        EXPECT_TRUE(recover.btnRecover->isEnabled());
        recover.btnDiscard->click(); // Yes: nothing is left, the dialog goes
    }};
    f.Start();
    EXPECT_EQ(afterNo.size(), 2);
    EXPECT_TRUE(f.Prompts().messages.at(0).text.startsWith("Discard the unsaved work of /"));
    EXPECT_EQ(f.RecoveryFiles(), QStringList());
    // Nothing was recovered: the window starts as always.
    EXPECT_FALSE(f.Window().Modified());
    EXPECT_EQ(f.Window().Animation().FrameCount(), 1);
}

TEST(WindowRecovery, AFolderThatCannotBeWrittenIsToldOnceAndEditingGoesOn) {
    RecoveryWindow f;
    f.state.Write("state", "a file where the folder should be");
    for (int dot = 0; dot < 3; ++dot) {
        f.Dot({dot, dot});
        QTest::qWait(30);
        f.Settle();
    }
    QStringList told;
    for (const auto& message : f.Prompts().messages)
        told << message.text;
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].startsWith("Unable to keep recovery files in " + f.Recovery()))
        << told[0].toStdString();
    EXPECT_EQ(f.Prompts().messages[0].icon, PromptIcon::Warning);
    EXPECT_TRUE(f.Window().Modified());
    EXPECT_EQ(f.Window().Editor().WorkBitmap.pixel(2, 2) & 0xFFFFFF, LitColour);
}

// A real Vistrel killed with SIGKILL two seconds and a half after a draw and a
// frame insert: started again, it offers the document and recovers both.
TEST(WindowRecovery, AKilledWindowsDrawingAndInsertedFrameAreRecoveredAtTheNextStart) {
    StateFolder state;
    const QString ini = state.state.Path("VISTREL.INI");
    QProcess editing;
    editing.start(QStringLiteral(RECOVERY_WINDOW_PROCESS), {"edit", ini});
    ASSERT_TRUE(editing.waitForReadyRead(30000)) << editing.readAllStandardError().toStdString();
    ASSERT_EQ(editing.readLine().trimmed(), "edited");
    QThread::msleep(2500);
    ::kill(static_cast<pid_t>(editing.processId()), SIGKILL);
    ASSERT_TRUE(editing.waitForFinished(10000));
    // Qt's own notes may go to the error output; a question the child did not
    // expect is written there as "unexpected".
    EXPECT_FALSE(editing.readAllStandardError().contains("unexpected"));

    const std::vector<TRecoveryEntry> left = TRecoveryStore(state.Recovery()).List();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(left[0].Readable) << left[0].Reason.toStdString();

    QProcess restarted;
    restarted.start(QStringLiteral(RECOVERY_WINDOW_PROCESS), {"recover", ini});
    ASSERT_TRUE(restarted.waitForFinished(30000));
    EXPECT_FALSE(restarted.readAllStandardError().contains("unexpected"));
    EXPECT_EQ(QString::fromLocal8Bit(restarted.readAllStandardOutput()).trimmed(),
              "frames=2 current=1 modified=1 title=Untitled1.lcd dot=1 blank=1 file=" +
                  left[0].FilePath);
    EXPECT_EQ(restarted.exitCode(), 0);
    // It ended without a crash, its document unsaved: nothing is left behind.
    EXPECT_EQ(state.RecoveryFiles(), QStringList());
}
