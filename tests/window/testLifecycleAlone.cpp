#include "document.h"
#include "documentLifecycle.h"
#include "documentLifecycleHost.h"
#include "modelFixtures.h"
#include "scriptedPrompts.h"
#include "unitPreferences.h"

#include <QImage>
#include <QUndoCommand>
#include <functional>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

// The window as New, Open, Save and Close see it. It records when the player
// was halted and what the Reopen menu would show.
class FakeHost : public IDocumentLifecycleHost {
public:
    FakeHost(TDocument& document, const QString& iniPath)
        : preferences(iniPath, QSize(1920, 1080)), m_document(document) {
        picture.fill(Qt::white);
    }

    TScriptedPrompts prompts;
    TVMUPreferences preferences;
    QImage picture{48, 32, QImage::Format_RGB32};
    QString script = QStringLiteral("draw_frame(1);");
    // The recent lists as the Reopen menu was last built from them.
    QStringList menuSaved, menuOpened;
    // The frames the document held each time the player was halted.
    std::vector<int> framesAtHalt;

    TPrompts& Prompts() override { return prompts; }
    TVMUPreferences& Preferences() override { return preferences; }
    void RecentFilesChanged() override {
        menuSaved = preferences.Saved;
        menuOpened = preferences.Opened;
    }
    const QImage& EditorPicture() override { return picture; }
    void HaltPlayer() override { framesAtHalt.push_back(m_document.Animation().FrameCount()); }
    void ShowScript(const QString& text) override { script = text; }
    void FrameCountChanged() override {}
    void SetCurFrame(int index) override { m_document.SetCurFrame(index); }
    void FramesReplaced() override {}

private:
    TDocument& m_document;
};

// Frame 0's duration, as the strip's box changes it: one step of the history.
class TSetDuration : public QUndoCommand {
public:
    TSetDuration(TDocument& document, int value)
        : QUndoCommand(QStringLiteral("Change Duration")), m_document(document), m_value(value) {}
    void redo() override { Swap(); }
    void undo() override { Swap(); }

private:
    void Swap() {
        TFrame& frame = m_document.Animation().Frame(0);
        const int before = frame.Duration();
        frame.SetDuration(static_cast<std::uint8_t>(m_value));
        m_value = before;
    }
    TDocument& m_document;
    int m_value;
};

// A document as the window starts it: Untitled1.lcd with one blank frame.
struct Lifecycle {
    Lifecycle() { document.Animation().AddFrame(); }

    // An edit the history holds: frame 0 lasts 9 ticks.
    void Edit() { document.Push(new TSetDuration(document, 9)); }
    TScriptedPrompts& Prompts() { return host.prompts; }

    TempFolder folder;
    TDocument document;
    FakeHost host{document, folder.Path("VISTREL.INI")};
    TDocumentLifecycle lifecycle{document, host};
};

std::vector<int> FileDurations(const QString& fileName) {
    TAnimation written;
    if (!written.LoadFromFile(fileName))
        return {};
    return Durations(written);
}

} // namespace

TEST(Lifecycle, TheSaveQuestionDecidesWhetherAModifiedDocumentGoes) {
    struct Operation {
        const char* name;
        std::function<void(Lifecycle&, const QString& other)> run;
        // What the document is once it went; a null title is not checked.
        const char* title;
        int frames;
        bool closed;
    };
    const Operation operations[] = {
        {"New", [](Lifecycle& l, const QString&) { l.lifecycle.New(); }, "Untitled2.lcd", 1, false},
        {"Open", [](Lifecycle& l, const QString& other) { l.lifecycle.Open(other); }, "other.lcd",
         3, false},
        {"Close", [](Lifecycle& l, const QString&) { l.lifecycle.Close(); }, nullptr, 0, true},
    };
    struct Answer {
        const char* name;
        PromptButton button;
        // For Yes, the save dialog's answer: empty cancels it.
        QString saveAs;
        bool goes;
    };
    const Answer answers[] = {
        {"Cancel", PromptButton::Cancel, {}, false},
        {"No", PromptButton::No, {}, true},
        {"Yes, the save dialog cancelled", PromptButton::Yes, {}, false},
        {"Yes, the write fails", PromptButton::Yes, "no folder/kept.lcd", false},
        {"Yes, saved", PromptButton::Yes, "kept.lcd", true},
    };
    for (const Operation& operation : operations) {
        for (const Answer& answer : answers) {
            SCOPED_TRACE(std::string(operation.name) + ", " + answer.name);
            Lifecycle l;
            const QString other = l.folder.Write("other.lcd", LCDBytes({4, 5, 6}));
            l.Edit();
            l.Prompts().buttonAnswers = {answer.button};
            if (answer.button == PromptButton::Yes)
                l.Prompts().fileAnswers = {answer.saveAs.isEmpty() ? QString()
                                                                   : l.folder.Path(answer.saveAs)};
            if (answer.saveAs.startsWith("no folder"))
                l.Prompts().ExpectError("Unable to save kept.lcd: ");

            operation.run(l, other);

            ASSERT_FALSE(l.Prompts().messages.empty());
            EXPECT_EQ(l.Prompts().messages[0].text, "Save changes to Untitled1.lcd?");
            EXPECT_EQ(l.Prompts().messages[0].buttons, PromptButtons::YesNoCancel);
            if (!answer.goes) {
                // Kept as it was: its frames, its name, its history, its player.
                EXPECT_TRUE(l.document.Modified());
                EXPECT_EQ(l.document.UndoStack().count(), 1);
                EXPECT_EQ(l.document.Title(), "Untitled1.lcd");
                EXPECT_EQ(Durations(l.document.Animation()), std::vector<int>{9});
                EXPECT_FALSE(l.document.Closed());
                EXPECT_TRUE(l.host.framesAtHalt.empty());
                continue;
            }
            // The player stopped before the old frames went; the new document
            // starts with no history and as its file is.
            EXPECT_EQ(l.host.framesAtHalt, std::vector<int>{1});
            EXPECT_FALSE(l.document.Modified());
            EXPECT_EQ(l.document.UndoStack().count(), 0);
            EXPECT_EQ(l.document.Animation().FrameCount(), operation.frames);
            EXPECT_EQ(l.document.Closed(), operation.closed);
            if (operation.title) {
                EXPECT_EQ(l.document.Title(), operation.title);
            }
            if (operation.closed) {
                EXPECT_EQ(l.document.CurFrame(), -1);
            }
            EXPECT_EQ(l.host.script, operation.frames == 3
                                         ? "draw_frame(1);\ndraw_frame(2);\ndraw_frame(3);"
                                         : "");
            if (!answer.saveAs.isEmpty()) {
                EXPECT_EQ(FileDurations(l.folder.Path("kept.lcd")), std::vector<int>{9});
            }
        }
    }
}

TEST(Lifecycle, SaveProposesTheNameItWritesStoresTheEditorsPictureAndMarksTheStepClean) {
    // A plain VMS animation: data start 0x20, one frame of duration 3.
    QByteArray vms("\x22\x60\x00\x22\x61\x20", 6);
    vms += QByteArray(0x20 - vms.size(), '\0');
    vms += QByteArray("\x01\x01\x03\x00\x05", 5) + QByteArray(192, '\0');
    const struct {
        const char* what;
        QString file; // opened first; empty: the untitled document
        QByteArray bytes;
        QString proposed; // in the folder of the file opened
        QString title;
    } cases[] = {
        {"untitled", {}, {}, "Untitled1", "Save Untitled1 As"},
        {"from a VMS file", "clip.vms", vms, "clip.LCD", "Save clip.LCD As"},
        {"from an LCD file", "walk.lcd", LCDBytes({2}), "walk.lcd", "Save walk.lcd As"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Lifecycle l;
        if (!c.file.isEmpty())
            l.lifecycle.Open(l.folder.Write(c.file, c.bytes));
        l.Edit();
        // Drawn in the editor, not yet stored in the frame.
        l.host.picture.setPixel(5, 7, qRgb(0, 0, 0));
        const QString saved = l.folder.Path("saved.lcd");
        l.Prompts().fileAnswers = {saved};

        ASSERT_TRUE(l.lifecycle.Save(true));

        ASSERT_EQ(l.Prompts().saveRequests.size(), 1u);
        EXPECT_EQ(l.Prompts().saveRequests[0].title, c.title);
        EXPECT_EQ(l.Prompts().saveRequests[0].fileName,
                  c.file.isEmpty() ? c.proposed : l.folder.Path(c.proposed));
        EXPECT_EQ(l.document.FileName(), saved);
        EXPECT_EQ(l.host.menuSaved, QStringList{saved});
        TAnimation written;
        ASSERT_TRUE(written.LoadFromFile(saved));
        EXPECT_EQ(Durations(written), std::vector<int>{9});
        EXPECT_EQ(written.Frame(0).Pixels[PixelIndex(5, 7)], 1);

        // The step saved is the file: away from it the document is modified,
        // back on it, not.
        EXPECT_FALSE(l.document.Modified());
        l.document.UndoStack().undo();
        EXPECT_TRUE(l.document.Modified());
        l.document.UndoStack().redo();
        EXPECT_FALSE(l.document.Modified());
    }
}

TEST(Lifecycle, TheRecentListsAndTheReopenMenuFollowOpensSavesAndCloses) {
    Lifecycle l;
    const QString a = l.folder.Write("a.lcd", LCDBytes({1}));
    const QString b = l.folder.Write("b.lcd", LCDBytes({1}));
    const QString gone = l.folder.Path("gone.lcd");
    const auto lists = [&l](const QStringList& saved, const QStringList& opened) {
        EXPECT_EQ(l.host.preferences.Saved, saved);
        EXPECT_EQ(l.host.preferences.Opened, opened);
        EXPECT_EQ(l.host.menuSaved, saved) << "the Reopen menu was not rebuilt";
        EXPECT_EQ(l.host.menuOpened, opened) << "the Reopen menu was not rebuilt";
    };
    l.lifecycle.Open(a);
    l.lifecycle.Open(b); // closing a offers it for reopening
    lists({}, {a});
    l.Edit();
    ASSERT_TRUE(l.lifecycle.Save(false));
    l.lifecycle.Close(); // b is among the saved already
    lists({b}, {a});
    l.lifecycle.Open(a); // open, it is not offered
    lists({b}, {});
    // A file that failed to open keeps its entry.
    l.host.preferences.Opened = QStringList{gone};
    l.Prompts().ExpectError("Unable to open gone.lcd");
    l.lifecycle.Open(gone);
    lists({b}, {a, gone});
    EXPECT_TRUE(l.document.Closed());
    EXPECT_FALSE(l.document.Modified());
}

TEST(Lifecycle, ARecoveredDocumentOpensModifiedUnderItsOldName) {
    const struct {
        const char* what;
        QString fileName; // in the test's folder; empty: untitled
        int currentFrame;
        QString title;
        int current;
    } cases[] = {
        {"named", "walk.lcd", 7, "walk.lcd", 7},
        {"untitled, the frame gone", {}, 40, "Untitled4.lcd", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Lifecycle l;
        const QString fileName = c.fileName.isEmpty() ? QString() : l.folder.Path(c.fileName);
        l.host.preferences.Opened = QStringList{l.folder.Path("other.lcd")};
        TAnimation recovered;
        FillAnimation(recovered, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
        recovered.Frame(5).SetRedLayer(true);
        recovered.RepeatCount = 3;
        l.Edit();

        // The present document is asked about first, and Cancel keeps it.
        l.Prompts().buttonAnswers = {PromptButton::Cancel};
        EXPECT_FALSE(l.lifecycle.OpenRecovered(recovered, fileName, 4, c.currentFrame));
        EXPECT_EQ(l.document.Animation().FrameCount(), 1);
        EXPECT_EQ(recovered.FrameCount(), 12);

        l.Prompts().buttonAnswers = {PromptButton::No};
        ASSERT_TRUE(l.lifecycle.OpenRecovered(recovered, fileName, 4, c.currentFrame));
        const TAnimation& animation = l.document.Animation();
        EXPECT_EQ(Durations(animation), std::vector<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
        EXPECT_EQ(Marker(animation.Frame(11)), 11);
        EXPECT_TRUE(animation.Frame(5).RedLayer());
        EXPECT_EQ(animation.RepeatCount, 3);
        EXPECT_EQ(recovered.FrameCount(), 0);
        EXPECT_EQ(l.host.framesAtHalt, std::vector<int>{1});
        EXPECT_EQ(l.document.Title(), c.title);
        EXPECT_EQ(l.document.FileName(), fileName);
        EXPECT_EQ(l.document.CurFrame(), c.current);
        EXPECT_FALSE(l.document.Closed());
        // Modified with no step to undo back to the file.
        EXPECT_TRUE(l.document.Modified());
        EXPECT_EQ(l.document.UndoStack().count(), 0);
        EXPECT_EQ(l.host.preferences.Opened, QStringList{l.folder.Path("other.lcd")});
        EXPECT_TRUE(l.host.preferences.Saved.isEmpty());

        // Save goes to its old file without a dialog; an untitled one proposes its
        // old name.
        if (c.fileName.isEmpty())
            l.Prompts().fileAnswers = {l.folder.Path("kept.lcd")};
        ASSERT_TRUE(l.lifecycle.Save(false));
        EXPECT_FALSE(l.document.Modified());
        if (c.fileName.isEmpty()) {
            ASSERT_EQ(l.Prompts().saveRequests.size(), 1u);
            EXPECT_EQ(l.Prompts().saveRequests[0].fileName, "Untitled4");
        } else {
            EXPECT_TRUE(l.Prompts().saveRequests.empty());
            EXPECT_EQ(FileDurations(fileName).size(), 12u);
        }
    }
}
