#include "BinClipboard.h"
#include "fakeEditorHost.h"
#include "pixelClipboard.h"
#include "textLayout.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

constexpr QRgb Black = 0xFF000000;
constexpr QRgb White = 0xFFFFFFFF;

QPoint At(QPoint pixel) {
    return pixel * 8 + QPoint(3, 5);
}

struct Editor : TFakeEditorHost {
    Editor() { QGuiApplication::clipboard()->clear(); }
    TFrameEditor& E() { return *editor; }
    QImage& Work() { return E().Bitmaps().WorkBitmap; }
    void Click(TTool tool) { toolBar->Button(tool)->click(); }
    void Drag(std::initializer_list<QPoint> pixels, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(editorBox, button, {}, At(*pixels.begin()));
        for (auto p = pixels.begin() + 1; p != pixels.end(); ++p)
            QTest::mouseMove(editorBox, At(*p));
        QTest::mouseRelease(editorBox, button, {}, At(*std::prev(pixels.end())));
    }
    bool Enabled(const char* item) {
        E().Edit1Click();
        return Item(item)->isEnabled();
    }
    // Another program's data on the clipboard.
    static void Offer(const QString& format, const QByteArray& bytes) {
        auto* data = new QMimeData;
        data->setData(format, bytes);
        QGuiApplication::clipboard()->setMimeData(data);
    }
};

QImage Picture(QSize size, QRgb colour) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

} // namespace

TEST(FrameEditor, ADraggedBandFloatsWithADottedOutlineAndTheSizeCursorOverIt) {
    Editor e;
    e.Opened({{3, 3}});
    e.Click(TTool::Select);
    e.Drag({{2, 2}, {5, 4}});
    ASSERT_TRUE(e.E().Selection().Active());
    EXPECT_EQ(e.E().Selection().Cells(), QRect(2, 2, 4, 3));
    // Lifted, the picture is as it was: no step, nothing to save.
    EXPECT_FALSE(e.Modified());
    EXPECT_EQ(e.Undos(), 0);
    const QImage& shown = e.E().ComposeEditorPicture();
    // Blue dots along the top edge at y = 16, from x = 16 to 48, with gaps.
    int blue = 0;
    for (int x = 16; x <= 48; ++x)
        blue += shown.pixel(x, 16) == 0xFF0000FF;
    EXPECT_GT(blue, 8);
    EXPECT_LT(blue, 33);
    EXPECT_EQ(shown.pixel(30, 30), Black); // pixel (3, 3) is still shown
    // The size cursor over the selection, the tool's cursor beside it.
    e.E().pntbxEditorMouseMove(At({3, 3}), false);
    EXPECT_EQ(e.editorBox->cursor().hotSpot(), QPoint(9, 9));
    e.E().pntbxEditorMouseMove(At({10, 10}), false);
    EXPECT_EQ(e.editorBox->cursor().hotSpot(), QPoint(10, 10));
    EXPECT_EQ(e.cursorCell, QPoint(10, 10));
}

TEST(FrameEditor, CutAndPasteCarryThePixelsThroughTheClipboardAsBmpAndPng) {
    Editor e;
    e.Opened({{4, 4}, {5, 5}});
    e.Click(TTool::Select);
    e.Drag({{4, 4}, {6, 5}});
    e.document.MarkClean();
    const int undos = e.Undos();
    e.E().Cut1Click();
    EXPECT_FALSE(e.E().Selection().Active());
    EXPECT_EQ(e.Work().pixel(4, 4), White);
    EXPECT_EQ(e.Work().pixel(5, 5), White);
    EXPECT_TRUE(e.Modified());
    EXPECT_EQ(e.Undos(), undos + 1);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data->hasFormat(PixelClipboardFormat));
    const QByteArray bmp = TBinClipboard::DecodeBlock(data->data(PixelClipboardFormat));
    EXPECT_TRUE(bmp.startsWith("BM"));
    QImage png;
    ASSERT_TRUE(png.loadFromData(data->data(StandardImageFormat), "PNG"));
    EXPECT_EQ(png.size(), QSize(3, 2));

    // Pasted: the same pixels floating at the top-left corner, an undo step.
    e.document.MarkClean();
    EXPECT_TRUE(e.Enabled("Paste1"));
    e.E().Paste1Click();
    ASSERT_TRUE(e.E().Selection().Active());
    EXPECT_EQ(e.E().Selection().Cells(), QRect(0, 0, 3, 2));
    EXPECT_EQ(e.E().Tools().CurrentTool(), TTool::Select);
    EXPECT_EQ(e.toolBar->DownTool(), TTool::Select);
    EXPECT_EQ(e.Work().pixel(0, 0), Black);
    EXPECT_EQ(e.Work().pixel(1, 1), Black);
    EXPECT_EQ(e.Work().pixel(1, 0), White);
    EXPECT_TRUE(e.Modified());
    EXPECT_EQ(e.Undos(), undos + 2);
    // One undo takes the paste back and drops what floated.
    e.E().Undo1Click();
    EXPECT_FALSE(e.E().Selection().Active());
    EXPECT_EQ(e.Work().pixel(0, 0), White);
}

TEST(FrameEditor, TheEditMenuFollowsTheSelectionAndTheClipboard) {
    Editor e;
    const char* selectionItems[] = {"Cut1", "Copy1", "ClearSelection1"};
    for (const char* item : selectionItems)
        EXPECT_FALSE(e.Enabled(item)) << item;
    EXPECT_FALSE(e.Enabled("Paste1"));
    EXPECT_TRUE(e.Enabled("SelectAll1"));
    // Without a selection the commands do nothing.
    e.Opened({{0, 0}});
    e.E().ClearSelection1Click();
    e.E().Cut1Click();
    EXPECT_EQ(e.Work().pixel(0, 0), Black);
    EXPECT_FALSE(e.Modified());

    // Select All floats everything; Copy keeps it floating.
    e.E().SelectAll1Click();
    EXPECT_EQ(e.E().Selection().Cells(), QRect(0, 0, 48, 32));
    for (const char* item : selectionItems)
        EXPECT_TRUE(e.Enabled(item)) << item;
    e.E().Copy1Click();
    EXPECT_TRUE(e.E().Selection().Active());
    EXPECT_TRUE(e.Enabled("Paste1"));

    // Another program's picture enables Paste; its text does not.
    Editor::Offer(QStringLiteral("text/plain"), "words");
    EXPECT_FALSE(e.Enabled("Paste1"));
    Editor::Offer(StandardImageFormat, PictureAsPng(Picture({2, 2}, Black)));
    EXPECT_TRUE(e.Enabled("Paste1"));

    // The Script page: the memo's own text commands.
    e.target = TEditTarget::Script;
    e.memo->setPlainText(QStringLiteral("draw_frame 1"));
    EXPECT_FALSE(e.Enabled("Cut1"));
    EXPECT_FALSE(e.Enabled("Redo1"));
    e.E().SelectAll1Click();
    EXPECT_TRUE(e.Enabled("Cut1"));
    e.E().ClearSelection1Click();
    EXPECT_EQ(e.memo->toPlainText(), QString());
    EXPECT_TRUE(e.Enabled("Undo1"));
    e.E().Undo1Click();
    EXPECT_EQ(e.memo->toPlainText(), QStringLiteral("draw_frame 1"));
    EXPECT_EQ(e.Work().pixel(0, 0), Black);
}

TEST(FrameEditor, ClearSelectionAfterAMoveKeepsThePictureThatLayUnderIt) {
    Editor e;
    e.Opened({{0, 0}, {10, 0}});
    e.Click(TTool::Select);
    e.Drag({{0, 0}, {0, 0}});
    e.Drag({{0, 0}, {5, 0}, {10, 0}}); // moved over the other black pixel
    EXPECT_EQ(e.Work().pixel(10, 0), Black);
    e.E().ClearSelection1Click();
    // The other pixel is still there; the one that was moved is gone.
    EXPECT_EQ(e.Work().pixel(10, 0), Black);
    EXPECT_EQ(e.Work().pixel(0, 0), White);
}

TEST(FrameEditor, BadClipboardDataChangesNothingAndSaysWhy) {
    const QByteArray bmp = PictureAsBmp(Picture({2, 2}, Black));
    QByteArray longLength = TBinClipboard::EncodeBlock(bmp);
    longLength[3] = '\xFF';
    QByteArray huge = bmp.left(54);
    huge[19] = '\x40'; // 16384 pixels wide
    const std::pair<QString, QByteArray> cases[] = {
        {PixelClipboardFormat, QByteArray("\x05\x00", 2)},
        {PixelClipboardFormat, longLength},
        {PixelClipboardFormat, TBinClipboard::EncodeBlock(PictureAsPng(Picture({2, 2}, Black)))},
        {PixelClipboardFormat, TBinClipboard::EncodeBlock(huge)},
        {PixelClipboardFormat, TBinClipboard::EncodeBlock({})},
        {StandardImageFormat, QByteArray("\x89PNG broken")},
        {StandardBmpFormat, huge},
    };
    for (const auto& [format, bytes] : cases) {
        Editor e;
        e.Opened({{1, 1}});
        e.Click(TTool::Select);
        e.Drag({{0, 0}, {2, 2}});
        e.Drag({{0, 0}, {4, 4}}); // moved
        e.document.MarkClean();
        const QImage before = e.Work().copy();
        const int undos = e.Undos();
        Editor::Offer(format, bytes);
        e.E().Paste1Click();
        EXPECT_EQ(e.prompts.messages.size(), 1) << format.toStdString();
        EXPECT_TRUE(e.E().Selection().Active());
        EXPECT_EQ(e.E().Selection().Cells(), QRect(4, 4, 3, 3));
        EXPECT_EQ(e.Work(), before);
        EXPECT_EQ(e.Undos(), undos);
        EXPECT_FALSE(e.Modified());
    }
}

TEST(FrameEditor, APictureFromAnotherProgramIsPastedInBlackAndWhite) {
    Editor e;
    QImage picture(3, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(40, 40, 40));
    picture.setPixel(1, 0, qRgb(200, 200, 200));
    picture.setPixel(2, 0, qRgb(100, 90, 120));
    for (const auto& [format, bytes] :
         {std::pair{QString::fromLatin1(StandardImageFormat), PictureAsPng(picture)},
          std::pair{QString::fromLatin1(StandardBmpFormat), PictureAsBmp(picture)}}) {
        Editor::Offer(format, bytes);
        e.E().Paste1Click();
        EXPECT_EQ(e.Work().pixel(0, 0), Black) << format.toStdString();
        EXPECT_EQ(e.Work().pixel(1, 0), White);
        EXPECT_EQ(e.Work().pixel(2, 0), Black);
        EXPECT_EQ(e.E().Bitmaps().SelectionBitmap.pixel(1, 0), White);
    }
}

TEST(FrameEditor, InvertIsARecordedChangeAndWithASelectionInvertsWhatLiesUnder) {
    Editor e;
    e.Click(TTool::Line);
    e.Drag({{0, 0}, {3, 0}});
    e.document.MarkClean();
    e.E().spdbtnInvertClick();
    EXPECT_TRUE(e.Modified());
    EXPECT_EQ(e.Work().pixel(1, 0), White);
    EXPECT_EQ(e.Work().pixel(1, 1), Black);
    // Undo shows the line without the inversion, Redo brings the inversion back.
    e.E().Undo1Click();
    EXPECT_EQ(e.Work().pixel(1, 0), Black);
    EXPECT_EQ(e.Work().pixel(1, 1), White);
    e.E().Redo1Click();
    EXPECT_EQ(e.Work().pixel(1, 1), Black);

    // Select All, Invert, move: what the move uncovers is inverted too.
    Editor s;
    s.E().SelectAll1Click();
    s.E().spdbtnInvertClick();
    s.Drag({{0, 0}, {2, 0}});
    EXPECT_EQ(s.Work().pixel(0, 0), Black);
    EXPECT_EQ(s.Work().pixel(1, 0), Black);
    EXPECT_EQ(s.Work().pixel(2, 0), Black);
}

// Each move of a floating selection is a step of its own: Undo takes back the
// last move only, and Redo gives back the picture as it was, moved.
TEST(FrameEditor, RedoGivesBackExactlyThePictureBeforeTheUndo) {
    struct Case {
        const char* what;
        std::function<void(Editor&)> edit;
        std::vector<QPoint> blackAfterUndo;
    };
    const Case cases[] = {
        {"a dragged band moved twice",
         [](Editor& e) {
             e.Click(TTool::Select);
             e.Drag({{0, 0}, {1, 1}});
             e.Drag({{0, 0}, {5, 5}});
             e.Drag({{5, 5}, {7, 9}});
         },
         {{5, 5}, {6, 6}}},
        {"a paste moved",
         [](Editor& e) {
             e.E().SelectAll1Click();
             e.E().Copy1Click();
             e.E().Paste1Click();
             e.Drag({{0, 0}, {10, 3}});
         },
         {{0, 0}, {1, 1}}},
        {"Select All moved after a stroke",
         [](Editor& e) {
             e.Click(TTool::Pen);
             e.Drag({{20, 20}});
             e.E().SelectAll1Click();
             e.Drag({{0, 0}, {3, 0}});
         },
         {{0, 0}, {1, 1}, {20, 20}}},
    };
    for (const Case& c : cases) {
        Editor e;
        e.Opened({{0, 0}, {1, 1}});
        c.edit(e);
        const QImage edited = e.Work().copy();
        ASSERT_TRUE(e.Enabled("Undo1")) << c.what;
        e.E().Undo1Click();
        QImage before(48, 32, QImage::Format_RGB32);
        before.fill(White);
        for (const QPoint p : c.blackAfterUndo)
            before.setPixel(p, Black);
        EXPECT_EQ(e.Work(), before) << c.what;
        ASSERT_TRUE(e.Enabled("Redo1")) << c.what;
        e.E().Redo1Click();
        EXPECT_EQ(e.Work(), edited) << c.what;
        // And back and forth again: the same two pictures.
        e.E().Undo1Click();
        EXPECT_EQ(e.Work(), before) << c.what;
        e.E().Redo1Click();
        EXPECT_EQ(e.Work(), edited) << c.what;
    }
}

int BlackCount(const QImage& picture) {
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            count += picture.pixel(x, y) == Black;
    return count;
}

bool OnlyBlackAndWhite(const QImage& picture) {
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) != Black && picture.pixel(x, y) != White)
                return false;
    return true;
}

// The rows holding black pixels, as first and last row.
std::pair<int, int> InkRows(const QImage& picture) {
    int first = -1, last = -1;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) == Black) {
                if (first < 0)
                    first = y;
                last = y;
            }
    return {first, last};
}

TEST(FrameEditor, UndoEndsTextModeAndDropsTheSelectionSoNoStalePictureComesBack) {
    Editor e;
    e.Click(TTool::Pen);
    e.Drag({{1, 1}});
    e.prompts.fontAnswers.push_back(std::nullopt);
    e.Click(TTool::Text);
    e.Drag({{5, 20}});
    ASSERT_TRUE(e.E().TextMode());
    ASSERT_TRUE(e.E().FormKeyPress(QStringLiteral("Hi")));
    EXPECT_GT(BlackCount(e.Work()), 1);
    e.E().Undo1Click();
    EXPECT_FALSE(e.E().TextMode());
    EXPECT_EQ(BlackCount(e.Work()), 1);
    // A key after the undo types nothing over the picture.
    EXPECT_FALSE(e.E().FormKeyPress(QStringLiteral("x")));
    EXPECT_EQ(BlackCount(e.Work()), 1);

    // A moved selection dropped by Undo: a press where it was starts a new band.
    e.Click(TTool::Select);
    e.Drag({{1, 1}, {1, 1}});
    e.Drag({{1, 1}, {8, 8}});
    e.E().Undo1Click();
    EXPECT_FALSE(e.E().Selection().Active());
    EXPECT_EQ(e.Work().pixel(1, 1), Black);
    QTest::mousePress(e.editorBox, Qt::LeftButton, {}, At({8, 8}));
    EXPECT_EQ(e.E().Tools().MouseState(), TMouseState::msDrawing);
    QTest::mouseMove(e.editorBox, At({20, 20}));
    QTest::mouseRelease(e.editorBox, Qt::LeftButton, {}, At({20, 20}));
    EXPECT_EQ(e.Work().pixel(1, 1), Black);
    EXPECT_EQ(e.Work().pixel(8, 8), White);

    // The step other commands call first does the same.
    e.E().EndEditing();
    EXPECT_FALSE(e.E().Selection().Active());
}

TEST(FrameEditor, TypedTextIsBlackAndWhiteWrapsAtEnterAndIsOneUndoStep) {
    Editor e;
    e.prompts.fontAnswers.push_back(std::nullopt);
    e.Click(TTool::Text);
    ASSERT_EQ(e.prompts.fontsOffered.size(), 1u);
    EXPECT_EQ(e.prompts.fontsOffered[0].pixelSize(), 9);
    e.Drag({{2, 12}});
    const int undos = e.Undos();
    e.document.MarkClean();
    e.E().FormKeyPress(QStringLiteral("ab"));
    EXPECT_TRUE(e.Modified());
    const auto [top, bottom] = InkRows(e.Work());
    // Letters without descenders stand on the clicked row's upper edge.
    EXPECT_EQ(bottom, 11);
    EXPECT_TRUE(OnlyBlackAndWhite(e.Work()));
    const QRect caretAfterAb = e.E().CaretRect();
    EXPECT_GT(caretAfterAb.left(), 2 * 8);

    e.E().FormKeyPress(QStringLiteral("\r"));
    e.E().FormKeyPress(QStringLiteral("cd"));
    const auto [top2, bottom2] = InkRows(e.Work());
    EXPECT_EQ(top2, top);
    EXPECT_GT(bottom2, bottom + 4); // a second line below
    EXPECT_GT(e.E().CaretRect().top(), caretAfterAb.top());
    // Backspace three times joins the lines again as "ab".
    const QImage twoLines = e.Work().copy();
    e.E().FormKeyPress(QStringLiteral("\b\b\b"));
    EXPECT_EQ(e.E().TypedText(), QStringLiteral("ab"));
    EXPECT_EQ(InkRows(e.Work()).second, 11);
    EXPECT_EQ(e.E().CaretRect(), caretAfterAb);
    e.E().FormKeyPress(QStringLiteral("\rcd"));
    EXPECT_EQ(e.Work(), twoLines);

    // The whole text is one step; the click that began it changed no dot.
    EXPECT_EQ(e.Undos(), undos + 1);
    e.E().Undo1Click();
    EXPECT_EQ(BlackCount(e.Work()), 0);
}

TEST(FrameEditor, ControlKeysDrawNothingWhileTypingAndEscapeEndsIt) {
    Editor e;
    e.prompts.fontAnswers.push_back(std::nullopt);
    e.Click(TTool::Text);
    e.Drag({{2, 12}});
    e.E().FormKeyPress(QStringLiteral("ab"));
    const QImage ab = e.Work().copy();
    e.document.MarkClean();
    // Tab, Delete, a C0 control and a C1 control: taken, and nothing drawn.
    for (const QString& key : {QStringLiteral("\t"), QStringLiteral("\x7f"), QStringLiteral("\x01"),
                               QString(QChar(0x85))}) {
        EXPECT_TRUE(e.E().FormKeyPress(key));
        EXPECT_EQ(e.E().TypedText(), QStringLiteral("ab"));
        EXPECT_EQ(e.Work(), ab);
        EXPECT_TRUE(e.E().TextMode());
    }
    EXPECT_FALSE(e.Modified());
    // Among letters they leave the letters as typed alone would.
    e.E().FormKeyPress(QStringLiteral("\tc\x7f"));
    EXPECT_EQ(e.E().TypedText(), QStringLiteral("abc"));
    e.E().FormKeyPress(QStringLiteral("\b"));
    EXPECT_EQ(e.Work(), ab);

    // Escape ends typing; what was typed before it stays, nothing after it.
    EXPECT_TRUE(e.E().FormKeyPress(QStringLiteral("\x1b")));
    EXPECT_FALSE(e.E().TextMode());
    EXPECT_FALSE(e.E().CaretShown());
    EXPECT_EQ(e.Work(), ab);
    EXPECT_FALSE(e.E().FormKeyPress(QStringLiteral("d")));
    EXPECT_EQ(e.Work(), ab);
    e.Drag({{2, 12}});
    EXPECT_TRUE(e.E().FormKeyPress(QStringLiteral("x\x1by")));
    EXPECT_EQ(e.E().TypedText(), QStringLiteral("x"));
    EXPECT_FALSE(e.E().TextMode());
}

// The picture after a click with the Text tool at pixel and typing text.
QImage Typed(QImage picture, QPoint pixel, const QString& text,
             Qt::MouseButton button = Qt::LeftButton) {
    Editor e;
    e.Work() = picture;
    e.document.Animation().StoreFrame(0, picture);
    e.document.ClearHistory();
    e.prompts.fontAnswers.push_back(std::nullopt);
    e.Click(TTool::Text);
    e.Drag({pixel}, button);
    EXPECT_TRUE(e.E().FormKeyPress(text));
    return e.Work().copy();
}

TEST(FrameEditor, RightButtonTextIsWhiteAndAClickAtTheRightEdgeStillTypes) {
    const QImage white = Picture({48, 32}, White);
    const QImage black = Picture({48, 32}, Black);
    // On black, the right button draws the very letters the left one draws on white.
    QImage expected = Typed(white, {2, 20}, QStringLiteral("H"));
    ASSERT_GT(BlackCount(expected), 3);
    expected.invertPixels();
    EXPECT_EQ(Typed(black, {2, 20}, QStringLiteral("H"), Qt::RightButton), expected);

    // Near the right edge, where not even one letter fits, a long word goes
    // down one letter a line, a line height apart, and the layout ends; what
    // falls outside the frame is clipped.
    const QFont font = Editor().E().TextFont();
    const TFontMeasure measure(font);
    ASSERT_GT(44 + measure.Width(QStringLiteral("M")), 48);
    const QImage one = Typed(white, {44, 12}, QStringLiteral("M"));
    ASSERT_GT(BlackCount(one), 0);
    QImage lines = white;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 48; ++x)
            for (int from = y; from >= 0; from -= measure.Height())
                if (one.pixel(x, from) == Black)
                    lines.setPixel(x, y, Black);
    EXPECT_EQ(Typed(white, {44, 12}, QString(200, QLatin1Char('M'))), lines);
}

QFont FontOfPoints(int points) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(points);
    return font;
}

QFont FontOfPixels(int pixels) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    return font;
}

TEST(FrameEditor, TheFontDialogTakesOnlySevenToTwelvePointsAndAsksAgainOtherwise) {
    const QString refused = QStringLiteral("Invalid font size - must be between 7 and 12 points.");
    struct Case {
        QFont chosen;
        bool taken;
        int offeredAgain; // the size the dialog asks again with
    };
    const Case cases[] = {
        {FontOfPoints(7), true, 0},
        {FontOfPoints(12), true, 0},
        {FontOfPoints(16), false, 12},
        {FontOfPoints(13), false, 12},
        {FontOfPoints(6), false, 7},
        {FontOfPoints(72), false, 12},
        // Given in pixels, as the first font is: 9 to 16 pixels are 7 to 12 points.
        {FontOfPixels(9), true, 0},
        {FontOfPixels(16), true, 0},
        {FontOfPixels(17), false, 12},
        {FontOfPixels(8), false, 7},
    };
    for (const Case& c : cases) {
        const std::string what = c.chosen.toString().toStdString();
        Editor e;
        const QFont first = e.E().TextFont();
        e.prompts.fontAnswers.push_back(c.chosen);
        e.Click(TTool::Text);
        EXPECT_EQ(e.E().Tools().CurrentTool(), TTool::Text) << what;
        if (c.taken) {
            EXPECT_EQ(e.E().TextFont(), c.chosen) << what;
            EXPECT_TRUE(e.prompts.messages.isEmpty()) << what;
            EXPECT_EQ(e.prompts.fontsOffered.size(), 1u) << what;
            continue;
        }
        // Refused, said why, and asked again with the chosen face at the
        // nearest size taken; cancelled then, the font before stays.
        EXPECT_EQ(e.prompts.messages, QStringList{refused}) << what;
        ASSERT_EQ(e.prompts.fontsOffered.size(), 2u) << what;
        EXPECT_EQ(e.prompts.fontsOffered[1].family(), c.chosen.family()) << what;
        EXPECT_EQ(e.prompts.fontsOffered[1].pointSize(), c.offeredAgain) << what;
        EXPECT_EQ(e.E().TextFont(), first) << what;
    }

    // Two refusals, then a size that is taken; the next time the dialog opens
    // with that choice.
    Editor e;
    e.prompts.fontAnswers = {FontOfPoints(20), FontOfPoints(16), FontOfPoints(10)};
    e.Click(TTool::Text);
    EXPECT_EQ(e.prompts.messages, QStringList({refused, refused}));
    EXPECT_EQ(e.E().TextFont(), FontOfPoints(10));
    e.prompts.fontAnswers.push_back(std::nullopt);
    e.Click(TTool::Text);
    ASSERT_EQ(e.prompts.fontsOffered.size(), 4u);
    EXPECT_EQ(e.prompts.fontsOffered[3], FontOfPoints(10));
    EXPECT_EQ(e.E().TextFont(), FontOfPoints(10));
}

TEST(FrameEditor, TheCaretIsDrawnInTheEditorPictureAndBlinks) {
    Editor e;
    e.prompts.fontAnswers.push_back(std::nullopt);
    e.Click(TTool::Text);
    e.Drag({{10, 20}});
    ASSERT_TRUE(e.E().CaretShown());
    const QRect caret = e.E().CaretRect();
    EXPECT_EQ(caret.left(), 80);
    EXPECT_EQ(caret.bottom() + 1, 160);
    // White cells under the caret show inverted: black bars.
    EXPECT_EQ(e.E().ComposeEditorPicture().pixel(81, 150), Black);
    EXPECT_EQ(e.E().ComposeEditorPicture().pixel(84, 161), Black);
    EXPECT_EQ(e.E().ComposeEditorPicture().pixel(84, 150), White);
    e.E().tmrTextCursorTimer();
    EXPECT_EQ(e.E().ComposeEditorPicture().pixel(81, 150), White);
    e.E().tmrTextCursorTimer();
    EXPECT_EQ(e.E().ComposeEditorPicture().pixel(81, 150), Black);
    // Another tool ends text mode; the caret is gone.
    e.Click(TTool::Pen);
    EXPECT_FALSE(e.E().TextMode());
    EXPECT_EQ(e.E().ComposeEditorPicture().pixel(81, 150), White);
}
