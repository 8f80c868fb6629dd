#include "fakeImportHost.h"
#include "importPage.h"
#include "paintBox.h"
#include "pictureFixtures.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

// The page over a fake window, shown at the size of the window's page, with a
// picture file in a temporary folder.
class ImportPage : public ::testing::Test {
protected:
    ImportPage() {
        page.resize(600, 300);
        page.show();
    }

    QString WritePicture(const char* name, const QImage& picture) {
        const QString path = folder.filePath(name);
        picture.save(path);
        return path;
    }

    QAction* Item(const char* name) { return page.findChild<QAction*>(name); }
    QString CheckedScale() {
        for (const char* name :
             {"mnuitmScale100", "mnuitmScale75", "mnuitmScale50", "mnuitmScale25", "mnuitmScale10",
              "mnuitmScaleToFit", "mnuitmScaleCustom"})
            if (Item(name)->isChecked())
                return name;
        return {};
    }
    bool Loads(const QImage& picture) {
        return page.ImportPicture(WritePicture("picture.png", picture));
    }

    QTemporaryDir folder;
    FakeImportHost host;
    TImportPage page{host};
};

// 192 x 128: black left half, white right half.
QImage Halves() {
    QImage picture = Filled(192, 128, qRgb(255, 255, 255));
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 96; ++x)
            picture.setPixel(x, y, qRgb(0, 0, 0));
    return picture;
}

} // namespace

TEST_F(ImportPage, CustomScaleAnswers) {
    struct Case {
        const char* before; // the item in force before Custom is chosen
        std::optional<QString> answer;
        const char* checked;
        QString caption;
        int scale;
        int importScale;
        bool error;
    };
    const QString invalid = QStringLiteral("Invalid scale factor - must be between 1% and 100%.");
    const Case cases[] = {
        {"mnuitmScale100", QStringLiteral("95%"), "mnuitmScaleCustom", "Custom (95%)", 95, 95,
         false},
        {"mnuitmScale100", QStringLiteral("95"), "mnuitmScaleCustom", "Custom (95%)", 95, 95,
         false},
        {"mnuitmScale100", QStringLiteral("50"), "mnuitmScale50", "Custom", 50, 50, false},
        {"mnuitmScale100", QStringLiteral("0"), "mnuitmScale100", "Custom", 100, 100, true},
        {"mnuitmScale75", QStringLiteral("150"), "mnuitmScale75", "Custom", 75, 100, true},
        // To Fit has no percentage to fall back on: nothing changes.
        {"mnuitmScaleToFit", QStringLiteral("abc"), "mnuitmScaleToFit", "Custom",
         TImportFrame::ScaleToFit, 100, true},
        {"mnuitmScaleToFit", std::nullopt, "mnuitmScaleToFit", "Custom", TImportFrame::ScaleToFit,
         100, false},
    };
    for (const Case& c : cases) {
        FakeImportHost fresh;
        TImportPage tested(fresh);
        ASSERT_TRUE(tested.ImportPicture(WritePicture("scale.png", Halves())));
        tested.findChild<QAction*>(c.before)->trigger();
        fresh.prompts.inputAnswers.push_back(c.answer);
        if (c.error)
            fresh.prompts.ExpectError(invalid);
        tested.findChild<QAction*>("mnuitmScaleCustom")->trigger();

        const std::string label = c.before + std::string(" then ") +
                                  c.answer.value_or(QStringLiteral("<cancel>")).toStdString();
        ASSERT_EQ(fresh.prompts.inputs.size(), 1u) << label;
        EXPECT_EQ(fresh.prompts.inputs[0].prompt,
                  "Enter custom scale factor as percentage (i.e. 95%):");
        EXPECT_EQ(fresh.prompts.inputs[0].value, "100%") << label;
        for (const char* name : {"mnuitmScale100", "mnuitmScale75", "mnuitmScale50",
                                 "mnuitmScaleToFit", "mnuitmScaleCustom"})
            EXPECT_EQ(tested.findChild<QAction*>(name)->isChecked(), name == std::string(c.checked))
                << label << ": " << name;
        EXPECT_EQ(tested.findChild<QAction*>("mnuitmScaleCustom")->text(), c.caption) << label;
        EXPECT_EQ(tested.Importer().Scale(), c.scale) << label;
        EXPECT_EQ(tested.ImportScale(), c.importScale) << label;
        EXPECT_EQ(fresh.prompts.MessageTexts(), c.error ? QStringList{invalid} : QStringList())
            << label;
    }
}

TEST_F(ImportPage, ACancelledCustomScaleKeepsTheCustomScaleInForce) {
    ASSERT_TRUE(Loads(Halves()));
    host.prompts.inputAnswers = {QStringLiteral("33"), std::nullopt};
    Item("mnuitmScaleCustom")->trigger();
    EXPECT_EQ(page.Importer().Scaled().size(), QSize(63, 42));
    Item("mnuitmScaleCustom")->trigger();
    EXPECT_EQ(host.prompts.inputs.back().value, "33%");
    EXPECT_EQ(CheckedScale(), "mnuitmScaleCustom");
    EXPECT_EQ(Item("mnuitmScaleCustom")->text(), "Custom (33%)");
    EXPECT_EQ(page.Importer().Scale(), 33);
}

TEST_F(ImportPage, ThresholdAnswers) {
    struct Case {
        std::optional<QString> answer;
        int threshold;
        QString caption;
        bool error;
    };
    const Case cases[] = {
        {QStringLiteral("200"), 200, "Set &Threshold (200)", false},
        {QStringLiteral("0"), 0, "Set &Threshold (0)", false},
        {QStringLiteral("256"), 128, "Set &Threshold (128)", true},
        {QStringLiteral("-1"), 128, "Set &Threshold (128)", true},
        {QStringLiteral("twelve"), 128, "Set &Threshold (128)", true},
        {std::nullopt, 128, "Set &Threshold (128)", false},
    };
    for (const Case& c : cases) {
        FakeImportHost fresh;
        TImportPage tested(fresh);
        fresh.prompts.inputAnswers.push_back(c.answer);
        if (c.error)
            fresh.prompts.ExpectError("Invalid threshold value - must be between 0 and 255.");
        tested.findChild<QAction*>("SetThreshold1")->trigger();
        const std::string label = c.answer.value_or(QStringLiteral("<cancel>")).toStdString();
        ASSERT_EQ(fresh.prompts.inputs.size(), 1u);
        EXPECT_EQ(fresh.prompts.inputs[0].prompt, "Enter dither threshold (0..255):");
        EXPECT_EQ(fresh.prompts.inputs[0].value, "128");
        EXPECT_EQ(tested.Importer().Threshold(), c.threshold) << label;
        EXPECT_EQ(tested.findChild<QAction*>("SetThreshold1")->text(), c.caption) << label;
        EXPECT_EQ(fresh.prompts.MessageTexts(),
                  c.error ? QStringList{"Invalid threshold value - must be between 0 and 255."}
                          : QStringList())
            << label;
    }
}

TEST_F(ImportPage, QuantizationAtThresholdZeroMakesAnAllWhiteFrame) {
    ASSERT_TRUE(Loads(Halves()));
    Item("Quantization1")->trigger();
    EXPECT_TRUE(Item("Quantization1")->isChecked());
    EXPECT_EQ(page.Importer().Method(), TImportFrame::Quantization);
    host.prompts.inputAnswers.push_back(QStringLiteral("0"));
    Item("SetThreshold1")->trigger();
    for (const std::uint8_t dot : page.Importer().OutputPixels())
        ASSERT_EQ(dot, 0);
}

TEST_F(ImportPage, TheRedWindowDragsFromAnywhereOnThePictureAndOnlyOverALargerPicture) {
    auto* box = page.findChild<TPaintBox*>("pntbxImportScaled");
    ASSERT_TRUE(Loads(Halves()));
    // 192 x 128 on a 256 x 170 preview: the window is 64 x 42 preview pixels.
    ASSERT_EQ(page.Importer().WindowRect(), QRect(0, 0, 64, 42));
    // Outside the window: it moves as far as the mouse does, from where it was.
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(box, QPoint(150, 100));
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(150, 100));
    EXPECT_EQ(page.Importer().WindowRect().topLeft(), QPoint(50, 0));
    EXPECT_EQ(page.Importer().GrabRect().topLeft(), QPoint(38, 0)); // 50 / (256 / 192), rounded

    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(60, 10));
    QTest::mouseMove(box, QPoint(90, 30));
    EXPECT_TRUE(page.Importer().Dragging());
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(90, 30));
    EXPECT_FALSE(page.Importer().Dragging());
    EXPECT_EQ(page.Importer().GrabRect(), QRect(60, 15, 48, 32));
    // 36 of the frame's columns lie on the black half.
    int lit = 0;
    for (const std::uint8_t dot : page.Importer().OutputPixels())
        lit += dot;
    EXPECT_EQ(lit, 36 * 32);

    // A picture no larger than the frame shows no window to drag.
    ASSERT_TRUE(Loads(Filled(40, 20, qRgb(0, 0, 0))));
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(page.Importer().Dragging());
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(5, 5));
}

// At 100 % a photograph's frame is a speck of the preview: the red window is
// shown at least 8 pixels a side, and the frame's position keeps its own rule.
TEST_F(ImportPage, TheRedWindowOfALargePictureStaysVisible) {
    auto* box = page.findChild<TPaintBox*>("pntbxImportScaled");
    ASSERT_TRUE(Loads(Filled(2560, 1280, qRgb(255, 255, 255))));
    // 256 x 128 preview: one preview pixel is 10 picture pixels.
    ASSERT_EQ(page.Importer().WindowRect(), QRect(0, 0, 4, 3));
    EXPECT_EQ(page.Importer().ShownWindowRect(), QRect(0, 0, 8, 8));
    const QImage shown = box->grab().toImage();
    for (const QPoint corner : {QPoint(7, 0), QPoint(0, 7), QPoint(7, 7)})
        EXPECT_EQ(shown.pixel(corner) & 0xFFFFFF, 0xFF0000u) << corner.x() << "," << corner.y();
    EXPECT_EQ(shown.pixel(12, 12) & 0xFFFFFF, 0xFFFFFFu);

    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(100, 60));
    QTest::mouseMove(box, QPoint(130, 80));
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(130, 80));
    EXPECT_EQ(page.Importer().GrabRect(), QRect(300, 200, 48, 32));
    // Grown about the window's middle, held inside the preview at its edges.
    EXPECT_EQ(page.Importer().ShownWindowRect(), QRect(28, 18, 8, 8));
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(box, QPoint(300, 300));
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(300, 300));
    EXPECT_EQ(page.Importer().GrabRect().topLeft(), QPoint(2560 - 48, 1280 - 32));
    EXPECT_EQ(page.Importer().ShownWindowRect(), QRect(248, 120, 8, 8));
}

// Each caption has room inside its button at the font in use.
TEST_F(ImportPage, TheButtonCaptionsFitTheirButtonsAndTheButtonsTheStrip) {
    auto* strip = page.findChild<QWidget*>("pnlImportTool");
    for (const char* name : {"btnImportInsert", "btnImportReplace", "btnImportDone"}) {
        auto* button = page.findChild<QPushButton*>(name);
        const int text = button->fontMetrics().horizontalAdvance(button->text().remove('&'));
        EXPECT_GE(button->width() - text, 2 * 8) << name;
        EXPECT_GE(button->x(), 4) << name;
        EXPECT_LE(button->geometry().right() + 1 + 4, strip->width()) << name;
    }
}

TEST_F(ImportPage, ThePreviewTakesTheScaledPicturesShapeAndTheFrameSitsBesideIt) {
    ASSERT_TRUE(Loads(Filled(480, 640, qRgb(0, 0, 0))));
    auto* scaled = page.findChild<QWidget*>("pnlImportScaled");
    EXPECT_EQ(scaled->geometry(), QRect(3 + (256 - 192) / 2, 3, 192, 256));
    auto* edit = page.findChild<QWidget*>("pnlImportEdit");
    auto* preview = page.findChild<QWidget*>("pnlImportPreview");
    const int right = scaled->x() + scaled->width();
    EXPECT_EQ(preview->geometry(), QRect(right + (edit->width() - right - 96) / 2, 99, 96, 64));
}

TEST_F(ImportPage, ALongRescaleShowsItsProgressAndIgnoresMenuCommandsUntilItEnds) {
    ASSERT_TRUE(Loads(Filled(1200, 900, qRgb(90, 90, 90))));
    auto* bar = page.findChild<QProgressBar*>("prgrsbrImport");
    auto* label = page.findChild<QLabel*>("lblImportProgress");
    EXPECT_FALSE(bar->isVisible());
    int shown = 0;
    const auto pageProgress = page.Importer().OnProgress;
    page.Importer().OnProgress = [&](int stage, int value) {
        pageProgress(stage, value);
        if (stage != 1)
            return;
        shown += bar->isVisible() && label->isVisible() && label->text() == "Working...";
        // Choices made meanwhile are not taken, and the menus keep showing what is.
        Item("mnuitmScale25")->trigger();
        Item("Bayer1")->trigger();
    };
    Item("mnuitmScale50")->trigger();
    EXPECT_GT(shown, 450);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(label->isVisible());
    EXPECT_EQ(page.Importer().Scaled().size(), QSize(600, 450));
    EXPECT_EQ(CheckedScale(), "mnuitmScale50");
    EXPECT_EQ(page.Importer().Method(), TImportFrame::FloydSteinberg);
    EXPECT_TRUE(Item("FloydSteinberg1")->isChecked());
}

TEST_F(ImportPage, InsertAndReplaceHandTheFrameToTheWindowWhenTheDocumentAllows) {
    ASSERT_TRUE(Loads(Halves()));
    auto* insert = page.findChild<QPushButton*>("btnImportInsert");
    auto* replace = page.findChild<QPushButton*>("btnImportReplace");
    QTest::mouseClick(replace, Qt::LeftButton);
    ASSERT_EQ(host.replaced.size(), 1u);
    EXPECT_EQ(host.replaced[0], page.Importer().Output());
    QTest::mouseClick(insert, Qt::LeftButton);
    EXPECT_EQ(host.inserts, 1);
    EXPECT_EQ(host.replaced.size(), 2u);

    host.insertSucceeds = false; // the animation is full
    QTest::mouseClick(insert, Qt::LeftButton);
    EXPECT_EQ(host.inserts, 2);
    EXPECT_EQ(host.replaced.size(), 2u);

    host.canInsert = false; // no document open
    host.canReplace = false;
    page.UpdateButtons();
    EXPECT_FALSE(insert->isEnabled());
    EXPECT_FALSE(replace->isEnabled());
    page.btnImportInsertClick();
    page.btnImportReplaceClick();
    EXPECT_EQ(host.inserts, 2);
    EXPECT_EQ(host.replaced.size(), 2u);

    QTest::mouseClick(page.findChild<QPushButton*>("btnImportDone"), Qt::LeftButton);
    EXPECT_EQ(host.importDone, 1);
}

TEST_F(ImportPage, AnUnreadablePictureIsReportedAndThePageKeepsItsPicture) {
    ASSERT_TRUE(Loads(Halves()));
    EXPECT_EQ(host.importPageShown, 1);
    const QString broken = folder.filePath("broken.jpg");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(JpegBytes(Halves()).left(100));
    file.close();
    host.prompts.fileAnswers.push_back(broken);
    host.prompts.ExpectError("Unable to open broken.jpg: ");
    page.Import1Click();
    ASSERT_EQ(host.prompts.messages.size(), 1u);
    EXPECT_TRUE(host.prompts.messages[0].text.startsWith("Unable to open broken.jpg: "))
        << host.prompts.messages[0].text.toStdString();
    EXPECT_EQ(host.prompts.messages[0].caption, "Error");
    EXPECT_EQ(host.importPageShown, 1);
    EXPECT_EQ(page.Importer().SourceImage().size(), QSize(192, 128));
}

TEST_F(ImportPage, ExportWritesTheEditorsFrameAsABmp) {
    host.workBitmap = Filled(48, 32, qRgb(255, 255, 255));
    host.workBitmap.setPixel(5, 6, qRgb(0, 0, 0));
    host.exportFrameName = folder.filePath("walk.bmp");
    host.prompts.fileAnswers.push_back(folder.filePath("frame"));
    page.Export1Click();
    ASSERT_EQ(host.prompts.saveRequests.size(), 1u);
    EXPECT_EQ(host.prompts.saveRequests[0].title, "Export Frame As");
    EXPECT_EQ(host.prompts.saveRequests[0].fileName, folder.filePath("walk.bmp"));
    EXPECT_EQ(host.exported, std::vector<QString>{folder.filePath("frame.bmp")});
    QImage written(folder.filePath("frame.bmp"));
    ASSERT_EQ(written.size(), QSize(48, 32));
    EXPECT_EQ(QFile(folder.filePath("frame.bmp")).size(), 886);
    EXPECT_EQ(written.pixel(5, 6) & 0xFFFFFF, 0u);
    EXPECT_EQ(written.pixel(6, 6) & 0xFFFFFF, 0xFFFFFFu);
}

// Import Frame of a file of many frames opens it as a moving source: its
// controls show, and Insert All hands the window the part taken with the
// page's choices. A still picture afterwards puts the page back as it was.
TEST_F(ImportPage, AMovingPictureShowsItsControlsAndInsertAllHandsOverThePartTaken) {
    auto* bar = page.findChild<QWidget*>("pnlImportAnimation");
    auto* insertAll = page.findChild<QPushButton*>("btnImportInsertAll");
    ASSERT_TRUE(bar && insertAll);
    const QString gif = QStringLiteral(VISTREL_TEST_DATA "/four-frames.gif");
    ASSERT_TRUE(page.ImportPicture(gif));
    EXPECT_EQ(host.importPageShown, 1);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(page.findChild<QLabel*>("lblImportLength")->text(), "4 frames, 0.5 s");
    auto* slider = page.findChild<QSlider*>("sldImportFrame");
    EXPECT_EQ(slider->maximum(), 3);
    slider->setValue(3);
    EXPECT_EQ(page.findChild<QLabel*>("lblImportPosition")->text(), "frame 4, 0.30 s");
    page.findChild<QPushButton*>("btnImportSetEnd")->click();
    slider->setValue(1);
    page.findChild<QPushButton*>("btnImportSetStart")->click();
    EXPECT_EQ(page.findChild<QLabel*>("lblImportRange")->text(),
              "Take frame 2, 0.10 s to frame 4, 0.30 s");
    page.Importer().SetMethod(TImportFrame::Quantization);
    page.Importer().SetThreshold(70);
    page.Importer().SetScale(50);

    host.importRunning = true; // one Insert All at a time
    page.UpdateButtons();
    EXPECT_FALSE(insertAll->isEnabled());
    host.importRunning = false;
    page.UpdateButtons();
    page.findChild<QAction*>("KeepStill1")->trigger();
    insertAll->click();
    ASSERT_EQ(host.insertedAll.size(), 1u);
    const auto& asked = host.insertedAll.front();
    EXPECT_EQ(asked.fileName, gif);
    EXPECT_FALSE(asked.sequence);
    EXPECT_EQ(asked.options.Start.Is, TRangeEnd::Frame);
    EXPECT_EQ(asked.options.Start.Value, 1);
    EXPECT_EQ(asked.options.End.Is, TRangeEnd::Open); // the last frame: to the end
    EXPECT_EQ(asked.options.Method, TImportFrame::Quantization);
    EXPECT_EQ(asked.options.Threshold, 70);
    EXPECT_EQ(asked.options.Scale, 50);
    EXPECT_TRUE(asked.options.KeepStill);

    ASSERT_TRUE(Loads(Halves()));
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(insertAll->isEnabled());
    EXPECT_EQ(page.Browser(), nullptr);
}
