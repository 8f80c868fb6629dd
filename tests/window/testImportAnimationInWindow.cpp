#include "animationImport.h"
#include "animationSourceFactory.h"
#include "importPage.h"
#include "pictureFixtures.h"
#include "undoCommands.h"
#include "windowFixture.h"

#include <QProgressDialog>
#include <QTimer>
#include <QUndoStack>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

using Shown = std::vector<std::pair<FramePixels, int>>; // dots and duration of each frame

QString Data(const char* name) {
    return QStringLiteral(VISTREL_TEST_DATA "/") + QLatin1String(name);
}

Shown Frames(const std::vector<TFrame>& frames) {
    Shown shown;
    for (const TFrame& frame : frames)
        shown.emplace_back(frame.Pixels, frame.Duration());
    return shown;
}

// A document of three frames, each with one dot of its own, the first current,
// the Import page set to Bayer at threshold 90 scaled to fit, the player at 30
// ticks a second: what the command must take over.
class ImportAnimationInWindow : public ::testing::Test {
protected:
    ImportAnimationInWindow() {
        Window().OpenDocument(f.LcdFile("anim.lcd", {1, 2, 3}));
        for (int i = 0; i < 3; ++i)
            Window().Animation().Frame(i).Pixels[PixelIndex(i, 0)] = 1;
        Window().ImportPage().Importer().SetMethod(TImportFrame::Bayer);
        Window().ImportPage().Importer().SetThreshold(90);
        Window().ImportPage().Importer().SetScale(TImportFrame::ScaleToFit);
        Window().Preferences().PlayerFPS = 30;
        Window().SetCurFrame(0);
        Window().ShowCurrentFrame();
        before = Document();
    }

    TfrmMain& Window() { return f.Window(); }
    QUndoStack& History() { return Window().Document().UndoStack(); }
    Shown Document() {
        Shown shown;
        for (int i = 0; i < Window().Animation().FrameCount(); ++i)
            shown.emplace_back(Window().Animation().Frame(i).Pixels,
                               Window().Animation().Frame(i).Duration());
        return shown;
    }
    void Import(const QString& fileName) {
        f.Prompts().fileAnswers.push_back(fileName);
        f.Action("ImportAnimation1")->trigger();
    }
    // What the import library makes of the file with the window's choices.
    static TAnimationImportResult Expected(const QString& fileName, bool sequence = false,
                                           int maxFrames = MaxDocumentFrames - 3) {
        QString reason;
        const auto source = OpenAnimationSource(fileName, sequence, &reason);
        EXPECT_TRUE(source) << reason.toStdString();
        TAnimationImportOptions options;
        options.Method = TImportFrame::Bayer;
        options.Threshold = 90;
        options.Scale = TImportFrame::ScaleToFit;
        options.Fps = 30;
        options.MaxFrames = maxFrames;
        return source ? TAnimationImport(options).Run(*source) : TAnimationImportResult{};
    }
    // The document with frames inserted after the first one.
    Shown With(const Shown& inserted) const {
        Shown shown = before;
        shown.insert(shown.begin() + 1, inserted.begin(), inserted.end());
        return shown;
    }

    WindowFixture f;
    Shown before;
};

} // namespace

TEST_F(ImportAnimationInWindow, AnAnimatedGifGoesInAfterTheCurrentFrameAsOneStep) {
    const Shown gif = Frames(Expected(Data("four-frames.gif")).Frames);
    ASSERT_GE(gif.size(), 2u);
    const int steps = History().count();
    Import(Data("four-frames.gif"));

    EXPECT_EQ(Document(), With(gif));
    EXPECT_EQ(Window().Document().CurFrame(), 1);
    EXPECT_EQ(History().count(), steps + 1);
    EXPECT_EQ(History().undoText(), "Import Animation");
    EXPECT_TRUE(Window().Document().Modified());

    History().undo();
    EXPECT_EQ(Document(), before);
    EXPECT_EQ(Window().Document().CurFrame(), 0);
    History().redo();
    EXPECT_EQ(Document(), With(gif));
}

// A GIF that breaks off in its third frame: the frames read before go in only
// when the user says so.
TEST_F(ImportAnimationInWindow, ASourceCutShortOffersTheFramesReadBefore) {
    const TAnimationImportResult cut = Expected(Data("cut-in-third-frame.gif"));
    ASSERT_TRUE(cut.Partial);
    ASSERT_FALSE(cut.Frames.empty());
    for (const PromptButton answer : {PromptButton::Yes, PromptButton::No}) {
        SCOPED_TRACE(answer == PromptButton::Yes ? "Yes" : "No");
        const int steps = History().count();
        f.Prompts().buttonAnswers.push_back(answer);
        Import(Data("cut-in-third-frame.gif"));
        ASSERT_FALSE(f.Prompts().messages.empty());
        EXPECT_TRUE(f.Prompts().messages.back().text.startsWith(
            QStringLiteral("cut-in-third-frame.gif could be read only as far as frame %1 (")
                .arg(cut.FramesRead)))
            << f.Prompts().messages.back().text.toStdString();
        if (answer == PromptButton::Yes) {
            EXPECT_EQ(Document(), With(Frames(cut.Frames)));
            EXPECT_EQ(History().count(), steps + 1);
            History().undo();
        } else {
            EXPECT_EQ(History().count(), steps);
        }
        EXPECT_EQ(Document(), before);
    }
}

TEST_F(ImportAnimationInWindow, WhatCannotGoInLeavesTheDocumentAsItWas) {
    const int gifFrames = static_cast<int>(Expected(Data("four-frames.gif")).Frames.size());
    const struct {
        const char* name;
        QString file;
        int room; // frames left free in the document
        QString error;
    } cases[] = {
        {"text file", f.Folder().Write("notes.txt", "not a picture\n"), MaxDocumentFrames - 3,
         "Unable to open notes.txt: "},
        {"no frames", Data("no-frames.gif"), MaxDocumentFrames - 3,
         "Unable to open no-frames.gif: "},
        {"one frame short", Data("four-frames.gif"), gifFrames - 1,
         QStringLiteral("Unable to import four-frames.gif: The animation needs more than the %1 "
                        "frames left")
             .arg(gifFrames - 1)},
        {"document full", Data("four-frames.gif"), 0,
         "Unable to import four-frames.gif: The animation needs more than the 0 frames left"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int fill = MaxDocumentFrames - c.room - Window().Animation().FrameCount();
        if (fill > 0) {
            Window().Document().Push(new TInsertFramesCommand(
                Window().Document(), -1, std::vector<TFrame>(static_cast<std::size_t>(fill)),
                "fill"));
            before = Document();
        }
        const int steps = History().count();
        f.Prompts().ExpectError(c.error);
        Import(c.file);
        EXPECT_EQ(Document(), before);
        EXPECT_EQ(History().count(), steps);
    }
}

TEST_F(ImportAnimationInWindow, CancelWhileReadingLeavesTheDocumentAsItWas) {
    QTimer::singleShot(0, &Window(), [this] {
        auto* progress = Window().findChild<QProgressDialog*>("dlgImportAnimationProgress");
        ASSERT_TRUE(progress);
        progress->cancel();
    });
    const int steps = History().count();
    Import(Data("four-frames.gif"));
    EXPECT_EQ(Document(), before);
    EXPECT_EQ(History().count(), steps);
}

// A picture whose name ends in a number is asked about: Yes takes every
// numbered sibling in order, No the picture alone.
TEST_F(ImportAnimationInWindow, ANumberedPictureIsOfferedAsASequence) {
    Shown pictures;
    for (int i = 0; i < 3; ++i) {
        QImage picture = Filled(48, 32, qRgb(255, 255, 255));
        picture.setPixel(10 * i, 5, qRgb(0, 0, 0));
        f.Folder().Write(QStringLiteral("walk_%1.png").arg(i, 3, 10, QLatin1Char('0')),
                         PictureBytes(picture, "png"));
    }
    const QString middle = f.Folder().Path("walk_001.png");
    const Shown sequence = Frames(Expected(middle, true).Frames);
    const Shown still = Frames(Expected(middle, false).Frames);
    ASSERT_EQ(sequence.size(), 3u);
    ASSERT_EQ(still.size(), 1u);
    for (const auto& [answer, frames] :
         {std::pair{PromptButton::Yes, sequence}, std::pair{PromptButton::No, still}}) {
        f.Prompts().buttonAnswers.push_back(answer);
        Import(middle);
        ASSERT_FALSE(f.Prompts().messages.empty());
        EXPECT_EQ(f.Prompts().messages.back().text,
                  "Import all 3 numbered pictures walk_000.png ... walk_002.png as a sequence?");
        EXPECT_EQ(Document(), With(frames));
        History().undo();
        Window().SetCurFrame(0);
    }
}

TEST_F(ImportAnimationInWindow, AClosedDocumentTakesNoAnimation) {
    f.Action("Close1")->trigger();
    ASSERT_TRUE(Window().Document().Closed());
    emit Window().findChild<QMenu*>("File1")->aboutToShow();
    EXPECT_FALSE(f.Action("ImportAnimation1")->isEnabled());
    const int asked = f.Prompts().openRequests;
    Window().ImportAnimation1Click(); // the item can still be triggered by code
    EXPECT_EQ(f.Prompts().openRequests, asked);
}
