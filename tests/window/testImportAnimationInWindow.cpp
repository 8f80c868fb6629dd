#include "animationBrowser.h"
#include "animationImport.h"
#include "animationImportSide.h"
#include "animationSourceFactory.h"
#include "importPage.h"
#include "paintBox.h"
#include "pictureFixtures.h"
#include "undoCommands.h"
#include "windowFixture.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
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
    template <typename T> T* Child(const char* name) {
        T* child = Window().findChild<T*>(name);
        EXPECT_TRUE(child) << name;
        return child;
    }
    // File > Import Animation...: the source shows on the Import page.
    void Open(const QString& fileName) {
        f.Prompts().fileAnswers.push_back(fileName);
        f.Action("ImportAnimation1")->trigger();
    }
    // Insert All, and the wait until the reading has ended.
    void InsertAll() {
        Child<QPushButton>("btnImportInsertAll")->click();
        Wait();
    }
    void Wait() {
        for (int i = 0; i < 500 && Window().AnimationImport().Running(); ++i)
            QTest::qWait(10);
        ASSERT_FALSE(Window().AnimationImport().Running());
    }
    void Import(const QString& fileName) {
        Open(fileName);
        InsertAll();
    }
    // What the import library makes of the file with the window's choices.
    static TAnimationImportResult Expected(const QString& fileName, bool sequence = false,
                                           int maxFrames = MaxDocumentFrames - 3,
                                           TAnimationImportOptions options = Choices()) {
        QString reason;
        const auto source = OpenAnimationSource(fileName, sequence, &reason);
        EXPECT_TRUE(source) << reason.toStdString();
        options.MaxFrames = maxFrames;
        return source ? TAnimationImport(options).Run(*source) : TAnimationImportResult{};
    }
    static TAnimationImportOptions Choices() {
        TAnimationImportOptions options;
        options.Method = TImportFrame::Bayer;
        options.Threshold = 90;
        options.Scale = TImportFrame::ScaleToFit;
        options.Fps = 30;
        return options;
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

TEST_F(ImportAnimationInWindow, AnAnimatedGifShowsOnTheImportPageAndItsRangeGoesInAsOneStep) {
    const int steps = History().count();
    Open(Data("four-frames.gif"));
    EXPECT_EQ(f.Page()->objectName(), "tbshtImport");
    EXPECT_TRUE(Child<QLabel>("lblImportLength")->text().startsWith("4 frames"));
    EXPECT_EQ(Document(), before); // only shown so far
    EXPECT_EQ(History().count(), steps);

    // The slider shows each frame as it would go in alone.
    const Shown each = Frames(Expected(Data("four-frames.gif"), false, MaxDocumentFrames - 3,
                                       [] {
                                           TAnimationImportOptions options = Choices();
                                           options.Merge = false;
                                           return options;
                                       }())
                                  .Frames);
    ASSERT_EQ(each.size(), 4u);
    auto* slider = Child<QSlider>("sldImportFrame");
    for (const int position : {2, 0, 3, 1}) {
        slider->setValue(position);
        EXPECT_EQ(Window().ImportPage().Importer().OutputPixels(), each[position].first)
            << "frame " << position;
    }
    // Frames 1 and 2 of 0..3 are taken.
    slider->setValue(1);
    Child<QPushButton>("btnImportSetStart")->click();
    slider->setValue(2);
    Child<QPushButton>("btnImportSetEnd")->click();
    TAnimationImportOptions range = Choices();
    range.Start = TRangeEnd::AtFrame(1);
    range.End = TRangeEnd::AtFrame(2);
    const Shown part =
        Frames(Expected(Data("four-frames.gif"), false, MaxDocumentFrames - 3, range).Frames);
    ASSERT_FALSE(part.empty());
    ASSERT_NE(part, Frames(Expected(Data("four-frames.gif")).Frames));
    const std::uint8_t repeatCount = Window().Animation().RepeatCount;
    InsertAll();

    EXPECT_EQ(Document(), With(part));
    EXPECT_EQ(Window().Document().CurFrame(), 1);
    EXPECT_EQ(History().count(), steps + 1);
    EXPECT_EQ(History().undoText(), "Import Animation");
    EXPECT_TRUE(Window().Document().Modified());
    // A document that holds frames keeps its own repeat count.
    EXPECT_EQ(Window().Animation().RepeatCount, repeatCount);

    History().undo();
    EXPECT_EQ(Document(), before);
    EXPECT_EQ(Window().Document().CurFrame(), 0);
    History().redo();
    EXPECT_EQ(Document(), With(part));
}

// 64 x 48 at 100%: the window dragged 10 right and 16 down stays there while
// the slider moves, and is where every frame is taken from.
TEST_F(ImportAnimationInWindow, TheRedWindowStaysWhereItWasDraggedAndIsWhatGoesIn) {
    Window().ImportPage().Importer().SetScale(100);
    Open(Data("movingSquare.mp4"));
    ASSERT_EQ(Window().ImportPage().Importer().PreviewFactor(), 4.0);
    auto* box = Child<TPaintBox>("pntbxImportScaled");
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseMove(box, QPoint(60, 84));
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(60, 84));
    ASSERT_EQ(Window().ImportPage().Importer().GrabRect().topLeft(), QPoint(10, 16));
    auto* slider = Child<QSlider>("sldImportFrame");
    EXPECT_EQ(slider->maximum(), 29); // a tick at 30 a second for 1 s
    slider->setValue(20);
    EXPECT_EQ(Window().ImportPage().Importer().GrabRect().topLeft(), QPoint(10, 16));

    TAnimationImportOptions options = Choices();
    options.Scale = 100;
    options.Window = {10, 16};
    const Shown clip =
        Frames(Expected(Data("movingSquare.mp4"), false, MaxDocumentFrames - 3, options).Frames);
    options.Window = {0, 0};
    ASSERT_NE(
        clip,
        Frames(Expected(Data("movingSquare.mp4"), false, MaxDocumentFrames - 3, options).Frames));
    InsertAll();
    EXPECT_EQ(Document(), With(clip));
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
        bool opens; // on the Import page
        int room;   // frames left free in the document
        QString error;
    } cases[] = {
        {"text file", f.Folder().Write("notes.txt", "not a picture\n"), false,
         MaxDocumentFrames - 3, "Unable to open notes.txt: "},
        {"no frames", Data("no-frames.gif"), false, MaxDocumentFrames - 3,
         "Unable to open no-frames.gif: "},
        {"one frame short", Data("four-frames.gif"), true, gifFrames - 1,
         QStringLiteral("Unable to import four-frames.gif: The animation needs more than the %1 "
                        "frames left")
             .arg(gifFrames - 1)},
        {"document full", Data("four-frames.gif"), true, 0,
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
        Open(c.file);
        if (c.opens)
            InsertAll();
        EXPECT_EQ(Document(), before);
        EXPECT_EQ(History().count(), steps);
    }
}

// Cancel, a new document or closing the window while the source is read:
// nothing goes in, and the document is not even marked modified.
TEST_F(ImportAnimationInWindow, CancelWhileReadingLeavesTheDocumentAsItWas) {
    const int steps = History().count();
    Open(Data("movingSquare.mp4"));
    Child<QPushButton>("btnImportInsertAll")->click();
    ASSERT_TRUE(Window().AnimationImport().Running());
    auto* cancel = Child<QPushButton>("btnImportAnimationCancel");
    EXPECT_TRUE(cancel->isVisibleTo(&Window()));
    EXPECT_FALSE(Child<QPushButton>("btnImportInsertAll")->isEnabled());
    cancel->click();
    Wait();
    EXPECT_FALSE(cancel->isVisibleTo(&Window()));
    EXPECT_TRUE(Child<QPushButton>("btnImportInsertAll")->isEnabled());
    EXPECT_EQ(Document(), before);
    EXPECT_EQ(History().count(), steps);
    EXPECT_FALSE(Window().Document().Modified());

    // Saving meanwhile under another name keeps the import coming.
    Child<QPushButton>("btnImportInsertAll")->click();
    ASSERT_TRUE(Window().AnimationImport().Running());
    f.Prompts().fileAnswers.push_back(f.Folder().Path("renamed.lcd"));
    ASSERT_TRUE(Window().SaveDocument(true));
    Wait();
    EXPECT_EQ(Document(), With(Frames(Expected(Data("movingSquare.mp4")).Frames)));
    History().undo();
    ASSERT_EQ(Document(), before);

    // A new document started meanwhile takes nothing of the old one's import.
    Child<QPushButton>("btnImportInsertAll")->click();
    ASSERT_TRUE(Window().AnimationImport().Running());
    f.Action("New1")->trigger();
    const Shown blank = Document();
    Wait();
    EXPECT_EQ(Document(), blank);
    EXPECT_EQ(History().count(), 0);

    Child<QPushButton>("btnImportInsertAll")->click();
    ASSERT_TRUE(Window().AnimationImport().Running());
    EXPECT_TRUE(Window().close());
    EXPECT_EQ(Document(), blank);
    QTest::qWait(20); // the worker's end arrives after the close: it takes nothing
    EXPECT_FALSE(Window().AnimationImport().Running());
    EXPECT_EQ(Document(), blank);
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

// Into a new document nobody has touched, the source's frames take the blank
// frame's place and it plays as often as the source asks; one Undo brings the
// blank document back.
TEST_F(ImportAnimationInWindow, AnEmptyDocumentTakesTheSourcesPlaysAsItsRepeatCount) {
    // four-frames.gif repeats twice after its first pass; with the count of
    // repeats at 0 it plays forever.
    QByteArray endless = [] {
        QFile file(Data("four-frames.gif"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }();
    const qsizetype loop = endless.indexOf("NETSCAPE2.0");
    ASSERT_GT(loop, 0);
    endless[loop + 13] = 0;
    endless[loop + 14] = 0;
    const struct {
        QString file;
        int repeatCount;
    } cases[] = {
        {Data("four-frames.gif"), 3},
        {Data("four-frames.webp"), 2},
        {f.Folder().Write("endless.gif", endless), 255},
        {Data("movingSquare.mp4"), 1}, // a clip says nothing: once
    };
    const auto newDocument = [this] {
        if (Window().Document().Modified())
            f.Prompts().buttonAnswers.push_back(PromptButton::No); // not saved
        f.Action("New1")->trigger();
        ASSERT_FALSE(Window().Document().Modified());
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        newDocument();
        const Shown blank = Document();
        ASSERT_EQ(blank.size(), 1u);
        const int repeatCount = Window().Animation().RepeatCount;
        const Shown source = Frames(Expected(c.file, false, MaxDocumentFrames).Frames);
        Import(c.file);
        EXPECT_EQ(Document(), source);
        EXPECT_EQ(Window().Animation().RepeatCount, c.repeatCount);
        EXPECT_EQ(Window().Document().CurFrame(), 0);
        EXPECT_EQ(History().count(), 1);
        History().undo();
        EXPECT_EQ(Document(), blank);
        EXPECT_EQ(Window().Animation().RepeatCount, repeatCount);
        EXPECT_FALSE(Window().Document().Modified());
        History().redo();
        EXPECT_EQ(Document(), source);
        EXPECT_EQ(Window().Animation().RepeatCount, c.repeatCount);
    }
    // A document that is no longer new keeps its frame and its repeat count.
    newDocument();
    f.Edit();
    const int repeatCount = Window().Animation().RepeatCount;
    Import(Data("four-frames.gif"));
    EXPECT_EQ(Window().Animation().FrameCount(),
              static_cast<int>(1 + Expected(Data("four-frames.gif")).Frames.size()));
    EXPECT_EQ(Window().Animation().RepeatCount, repeatCount);
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
