#include "frameBitmapFile.h"
#include "frameStrip.h"
#include "importPage.h"
#include "pictureFixtures.h"
#include "windowFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <gtest/gtest.h>
#include <vector>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

// The window with a 96 x 64 picture whose left half is black imported through
// File > Import Frame: the frame at 100% is all black.
class ImportInWindow : public ::testing::Test {
protected:
    ImportInWindow() {
        QImage halves = Filled(96, 64, qRgb(255, 255, 255));
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 48; ++x)
                halves.setPixel(x, y, qRgb(0, 0, 0));
        picture = f.Folder().Write("halves.png", PictureBytes(halves, "png"));
    }

    void Import(const QString& fileName) {
        f.Prompts().fileAnswers.push_back(fileName);
        f.Action("Import1")->trigger();
    }
    QTabWidget* Pages() { return f.Window().findChild<QTabWidget*>("pgcntlMain"); }
    QWidget* Named(const char* name) { return f.Window().findChild<QWidget*>(name); }
    bool ImportTabShown() { return Pages()->isTabVisible(Pages()->indexOf(Named("tbshtImport"))); }
    void Click(const char* button) { f.Window().findChild<QPushButton*>(button)->click(); }
    int Lit(int frame) {
        int lit = 0;
        for (const std::uint8_t dot : f.Window().Animation().Frame(frame).Pixels)
            lit += dot;
        return lit;
    }

    WindowFixture f;
    QString picture;
};

} // namespace

// Import Frame and Done switch pages as the user's own switch does: the Edit
// menu, the status cell and the strip's buttons follow the page shown.
TEST_F(ImportInWindow, ImportFrameAndDoneSwitchPagesWithTheirSteps) {
    auto* edit = f.Window().findChild<QAction*>("SelectAll1"); // Undo and Redo stay
    auto* cell = f.Window().findChild<QLabel*>("stsbrMainPanel0");
    auto* stripButton = f.Window().findChild<QToolButton*>("spdbtnFrame0");
    f.Window().Editor().WorkBitmap.setPixel(5, 6, qRgb(0, 0, 0)); // drawn, not stored
    Import(picture);
    EXPECT_TRUE(ImportTabShown());
    EXPECT_EQ(f.Page(), Named("tbshtImport"));
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_EQ(cell->text(), "");
    EXPECT_FALSE(stripButton->isEnabled());
    EXPECT_EQ(f.Window().Animation().Frame(0).Pixels[PixelIndex(5, 6)], 1); // stored on leaving

    Click("btnImportDone");
    EXPECT_EQ(f.Page(), Named("tbshtFrameEdit"));
    EXPECT_FALSE(ImportTabShown());
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_EQ(cell->text(), "1, 1");
    EXPECT_TRUE(stripButton->isEnabled());
}

TEST_F(ImportInWindow, AnUnreadablePictureIsReportedAndThePageIsNotShown) {
    f.Prompts().ExpectError("Unable to open broken.jpg: ");
    Import(f.Folder().Write("broken.jpg", JpegBytes(Grey(64, 64, 0)).left(150)));
    ASSERT_EQ(f.Prompts().messages.size(), 1u);
    EXPECT_TRUE(f.Prompts().messages[0].text.startsWith("Unable to open broken.jpg: "));
    EXPECT_FALSE(ImportTabShown());
    EXPECT_EQ(f.Page(), Named("tbshtFrameEdit"));
}

// Replace is an edit like any other: it can be undone, it is stored, and the
// document is modified, so closing asks to save.
TEST_F(ImportInWindow, ReplacePutsTheFrameIntoTheDocumentAsAnUndoableChange) {
    Import(picture);
    ASSERT_FALSE(f.Window().Modified());
    Click("btnImportReplace");
    EXPECT_TRUE(f.Window().Modified());
    EXPECT_EQ(Lit(0), 48 * 32);
    EXPECT_EQ(f.Window().Editor().WorkBitmap, f.Window().ImportPage().Importer().Output());
    Click("btnImportDone");
    f.Window().Undo1Click();
    EXPECT_EQ(f.Window().Editor().WorkBitmap.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    f.Window().Redo1Click();
    EXPECT_EQ(f.Window().Editor().WorkBitmap.pixel(0, 0) & 0xFFFFFF, 0u);

    f.Prompts().buttonAnswers.push_back(PromptButton::Cancel);
    EXPECT_FALSE(f.Window().close());
    EXPECT_EQ(f.Prompts().MessageTexts(), QStringList{"Save changes to Untitled1.lcd?"});
}

TEST_F(ImportInWindow, InsertAddsTheFrameAfterTheCurrentOneEachTime) {
    f.Window().Animation().AddFrame();
    f.Window().FrameStrip().RefreshFrameStrip();
    Import(picture);
    Click("btnImportInsert");
    Click("btnImportInsert");
    ASSERT_EQ(f.Window().Animation().FrameCount(), 4);
    EXPECT_EQ(f.Window().CurFrame(), 2);
    EXPECT_EQ(Lit(0), 0);
    EXPECT_EQ(Lit(1), 48 * 32);
    EXPECT_EQ(Lit(2), 48 * 32);
    EXPECT_EQ(Lit(3), 0);
    EXPECT_TRUE(f.Window().Modified());
}

TEST_F(ImportInWindow, InsertIntoAFullAnimationSaysSoAndChangesNothing) {
    TAnimation& animation = f.Window().Animation();
    while (animation.FrameCount() < MaxDocumentFrames)
        animation.AddFrame();
    Import(picture);
    f.Prompts().ExpectError("Unable to insert new frame (maximum = 324).");
    Click("btnImportInsert");
    EXPECT_EQ(f.Prompts().MessageTexts(),
              QStringList{"Unable to insert new frame (maximum = 324)."});
    EXPECT_EQ(animation.FrameCount(), MaxDocumentFrames);
    EXPECT_EQ(f.Window().CurFrame(), 0);
    EXPECT_EQ(Lit(0), 0);
}

TEST_F(ImportInWindow, InsertAndReplaceAreOffWhileNoDocumentIsOpen) {
    Import(picture);
    f.Window().Close1Click();
    ASSERT_TRUE(f.Window().Closed());
    auto* insert = f.Window().findChild<QPushButton*>("btnImportInsert");
    auto* replace = f.Window().findChild<QPushButton*>("btnImportReplace");
    EXPECT_FALSE(insert->isEnabled());
    EXPECT_FALSE(replace->isEnabled());
    f.Window().ImportPage().btnImportInsertClick();
    f.Window().ImportPage().btnImportReplaceClick();
    EXPECT_EQ(f.Window().Animation().FrameCount(), 0);
    EXPECT_FALSE(f.Window().Modified());
    f.Action("New1")->trigger();
    EXPECT_TRUE(insert->isEnabled());
    EXPECT_TRUE(replace->isEnabled());
}

// The typed extension chooses the format; a name that names none gets ".bmp", and
// only after asking when that name is taken.
TEST_F(ImportInWindow, ExportFrameWritesTheEditorsPictureInTheFormatItsNameSays) {
    f.Window().Editor().WorkBitmap.setPixel(3, 1, qRgb(0, 0, 0)); // not yet stored
    FramePixels expected{};
    expected[PixelIndex(3, 1)] = 1;
    const auto exportAs = [&](const char* typed) {
        f.Prompts().fileAnswers.push_back(f.Folder().Path(typed));
        f.Window().File1Click();
        ASSERT_TRUE(f.Action("Export1")->isEnabled());
        f.Action("Export1")->trigger();
    };
    exportAs("frame");
    EXPECT_EQ(ReadFile(f.Folder().Path("frame.bmp")), FrameBitmapBytes(expected));

    exportAs("frame.png");
    QImageReader png(f.Folder().Path("frame.png"));
    EXPECT_EQ(png.format(), "png");
    EXPECT_EQ(FramePixelsOf(png.read()), expected);

    exportAs("check.h");
    EXPECT_FALSE(QFileInfo::exists(f.Folder().Path("check.h")));
    EXPECT_EQ(ReadFile(f.Folder().Path("check.h.bmp")), FrameBitmapBytes(expected));
    EXPECT_TRUE(f.Prompts().messages.empty());

    // check.h.bmp is taken now: No keeps it, Yes replaces it.
    f.Window().Editor().WorkBitmap.setPixel(3, 1, qRgb(255, 255, 255));
    f.Prompts().buttonAnswers.push_back(PromptButton::No);
    exportAs("check.h");
    ASSERT_EQ(f.Prompts().messages.size(), 1u);
    EXPECT_EQ(f.Prompts().messages[0].text,
              "check.h.bmp already exists.\nDo you want to replace it?");
    EXPECT_EQ(ReadFile(f.Folder().Path("check.h.bmp")), FrameBitmapBytes(expected));
    f.Prompts().buttonAnswers.push_back(PromptButton::Yes);
    exportAs("check.h");
    EXPECT_EQ(ReadFile(f.Folder().Path("check.h.bmp")), FrameBitmapBytes(FramePixels{}));
}

// The importer's long loops let the window's events run meanwhile. A close that
// comes in then is refused without a question, and the window stays until the
// loop has ended; a close after that is taken as usual.
TEST_F(ImportInWindow, TheWindowRefusesToCloseWhileTheImporterWorks) {
    Import(f.Folder().Write("large.png", PictureBytes(Filled(1200, 900, qRgb(90, 90, 90)), "png")));
    ASSERT_TRUE(ImportTabShown());
    f.Edit(); // a close that went ahead would ask to save
    TImportFrame& importer = f.Window().ImportPage().Importer();
    const auto pageProgress = importer.OnProgress;
    std::vector<bool> closed; // what each close tried during the rescale gave
    importer.OnProgress = [&](int stage, int value) {
        pageProgress(stage, value);
        if (stage == 1 && closed.size() < 3) {
            EXPECT_TRUE(importer.Busy());
            closed.push_back(f.Window().close());
        }
    };
    f.Action("mnuitmScale50")->trigger();
    importer.OnProgress = pageProgress;
    EXPECT_EQ(closed, std::vector<bool>(3, false));
    EXPECT_TRUE(f.Window().isVisible());
    EXPECT_TRUE(f.Prompts().messages.empty());
    EXPECT_EQ(importer.Scaled().size(), QSize(600, 450)); // the rescale ran to its end

    f.Prompts().buttonAnswers.push_back(PromptButton::No);
    EXPECT_TRUE(f.Window().close());
    EXPECT_EQ(f.Prompts().MessageTexts(), QStringList{"Save changes to Untitled1.lcd?"});
}

// Export Frame proposes the document's name in the folder of the last export
// (beside the document before any), and says in the status bar what it wrote.
TEST_F(ImportInWindow, ExportFrameProposesTheDocumentsNameAndTellsWhatItWrote) {
    f.Window().OpenDocument(f.LcdFile("walk.lcd", {1, 1}));
    ASSERT_TRUE(QDir().mkpath(f.Folder().Path("out")));
    auto* panel = f.Window().findChild<QLabel*>("stsbrMainPanel4");
    const auto exportAs = [&](const QString& answer) {
        f.Prompts().fileAnswers.push_back(answer);
        f.Window().File1Click();
        f.Action("Export1")->trigger();
        return f.Prompts().saveRequests.back().fileName;
    };
    EXPECT_EQ(exportAs(f.Folder().Path("out/first.bmp")), f.Folder().Path("walk.bmp"));
    EXPECT_TRUE(QFileInfo::exists(f.Folder().Path("out/first.bmp")));
    EXPECT_EQ(panel->text(), "Exported first.bmp");
    EXPECT_EQ(exportAs(QString()), f.Folder().Path("out/walk.bmp"));
    EXPECT_EQ(panel->text(), "Exported first.bmp"); // a cancelled export tells nothing new
    // A write that fails says so, and the status bar does not claim it.
    f.Prompts().ExpectError("Unable to write second.bmp");
    exportAs(f.Folder().Path("missing/second.bmp"));
    EXPECT_EQ(panel->text(), "Exported first.bmp");
}
