#include "animationExport.h"
#include "animationExportHost.h"
#include "formExportAnimation.h"
#include "scriptedPrompts.h"
#include "unitPreferences.h"
#include "windowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImageReader>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <numeric>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

// The window's side of the export: a real untitled document and preferences
// over a temporary INI file, questions answered by a script.
class FakeExportHost : public IAnimationExportHost {
public:
    TDocument document;
    TAnimation& animation = document.Animation();
    TScriptedPrompts prompts;

    FakeExportHost() : m_preferences(m_folder.filePath("VISTREL.INI"), QSize(640, 480)) {}

    const TAnimation& AnimationToExport() override { return animation; }
    TVMUPreferences& Preferences() override { return m_preferences; }
    TPrompts& Prompts() override { return prompts; }
    TDocument& Document() override { return document; }

private:
    QTemporaryDir m_folder;
    TVMUPreferences m_preferences;
};

struct ExportSideFixture {
    FakeExportHost host;
    QMainWindow window;
    TAnimationExportSide side{host, window.statusBar()};
    TempFolder folder;

    // The dialog answered with these choices.
    void Answer(TExportFormat format, int scale) {
        side.RunDialog = [=](TfrmExportAnimation& dialog) {
            dialog.findChild<QComboBox*>("cmbbxFormat")->setCurrentIndex(static_cast<int>(format));
            dialog.findChild<QSpinBox*>("spnScale")->setValue(scale);
            return true;
        };
    }
};

} // namespace

TEST(ExportAnimationDialog, ShowsTheLastChoicesAndGivesBackWhatTheUserSet) {
    TAnimation animation;
    FillAnimation(animation, {1, 2, 3, 4, 6});
    TExportChoices choices;
    choices.Format = TExportFormat::PngSheet;
    choices.Scale = 3;
    choices.Colours = LCDColours;
    choices.Columns = 2;
    choices.Folder = "/exports";
    TfrmExportAnimation dialog(choices, animation, 0, 12);
    auto* format = dialog.findChild<QComboBox*>("cmbbxFormat");
    auto* scale = dialog.findChild<QSpinBox*>("spnScale");
    auto* colours = dialog.findChild<QComboBox*>("cmbbxColours");
    auto* columns = dialog.findChild<QSpinBox*>("spnColumns");
    auto* lit = dialog.findChild<QPushButton*>("btnLitColour");
    auto* summary = dialog.findChild<QLabel*>("lblSummary");
    ASSERT_TRUE(format && scale && colours && columns && lit && summary);
    EXPECT_EQ(format->currentIndex(), static_cast<int>(TExportFormat::PngSheet));
    EXPECT_EQ(scale->value(), 3);
    EXPECT_EQ(colours->currentText(), "LCD");
    EXPECT_EQ(columns->value(), 2);
    EXPECT_TRUE(columns->isEnabled());
    // Five frames of 144 x 96 in rows of two: three rows.
    EXPECT_EQ(summary->text(), "One picture of 288 x 288 pixels: 5 frames in 3 row(s) of 2.");

    // Columns belong to sheets; a C header has neither scale nor colours.
    format->setCurrentIndex(static_cast<int>(TExportFormat::Gif));
    EXPECT_FALSE(columns->isEnabled());
    EXPECT_TRUE(scale->isEnabled());
    EXPECT_EQ(summary->text(),
              "5 frames of 144 x 96 pixels, 1.33 seconds at 12 ticks a second; plays once.");
    format->setCurrentIndex(static_cast<int>(TExportFormat::CHeader));
    EXPECT_FALSE(scale->isEnabled());
    EXPECT_FALSE(colours->isEnabled());
    format->setCurrentIndex(static_cast<int>(TExportFormat::PngFrames));

    // A preset sets both colours; a colour of one's own makes them custom.
    colours->setCurrentIndex(TfrmExportAnimation::PresetBlackOnWhite);
    dialog.cmbbxColoursChange();
    EXPECT_EQ(dialog.Choices().Colours, BlackOnWhite);
    dialog.ChooseColour = [](const QColor&, const QString&) { return QColor(Qt::red); };
    lit->click();
    EXPECT_EQ(colours->currentIndex(), TfrmExportAnimation::PresetCustom);
    dialog.ChooseColour = [](const QColor&, const QString&) { return std::nullopt; };
    dialog.btnUnlitColourClick(); // cancelled: nothing changes

    scale->setValue(16);
    const TExportChoices chosen = dialog.Choices();
    EXPECT_EQ(chosen.Format, TExportFormat::PngFrames);
    EXPECT_EQ(chosen.Scale, 16);
    EXPECT_EQ(chosen.Colours, (TExportColours{qRgb(255, 0, 0), BlackOnWhite.Unlit}));
    EXPECT_EQ(chosen.Columns, 2);
    EXPECT_EQ(chosen.Folder, "/exports");
}

// One frame is "1 frame" in every format's summary, never "1 frames".
TEST(ExportAnimationDialog, TheSummaryCountsOneFrameInTheSingular) {
    TAnimation animation;
    FillAnimation(animation, {2});
    TExportChoices choices;
    TfrmExportAnimation dialog(choices, animation, 0, 12);
    auto* format = dialog.findChild<QComboBox*>("cmbbxFormat");
    auto* summary = dialog.findChild<QLabel*>("lblSummary");
    ASSERT_TRUE(format && summary);
    const std::pair<TExportFormat, const char*> cases[] = {
        {TExportFormat::Gif, "1 frame of "},
        {TExportFormat::PngSheet, ": 1 frame in 1 row(s) of 1."},
        {TExportFormat::PngFrames, "1 picture of "},
        {TExportFormat::Binary, "1 frame of 192 bytes, 192 bytes"},
        {TExportFormat::CHeader, "1 frame of 192 bytes with"},
    };
    for (const auto& [kind, words] : cases) {
        format->setCurrentIndex(static_cast<int>(kind));
        EXPECT_TRUE(summary->text().contains(QLatin1String(words)))
            << summary->text().toStdString();
        EXPECT_FALSE(summary->text().contains(QLatin1String("1 frames"))) << words;
    }
}

TEST(AnimationExportSide, ExportsWithAProgressBarAndRemembersTheChoices) {
    ExportSideFixture f;
    FillAnimation(f.host.animation, 30);
    f.Answer(TExportFormat::Gif, 2);
    const QString target = f.folder.Path("walk.gif");
    f.host.prompts.fileAnswers = {target};
    std::vector<int> shown;
    QObject::connect(f.side.ProgressBar(), &QProgressBar::valueChanged, [&](int value) {
        if (f.side.ProgressBar()->isVisible())
            shown.push_back(value);
    });
    f.window.show();
    ASSERT_TRUE(f.side.ExportAnimation1Click());
    EXPECT_FALSE(f.side.ProgressBar()->isVisible());
    std::vector<int> expected(30);
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(shown, expected);
    ASSERT_EQ(f.host.prompts.saveRequests.size(), 1u);
    EXPECT_EQ(f.host.prompts.saveRequests[0].fileName, "Untitled1.gif"); // untitled: no folder yet
    QImageReader reader(target);
    EXPECT_EQ(reader.imageCount(), 30);
    EXPECT_EQ(reader.size(), QSize(96, 64));
    EXPECT_TRUE(f.host.prompts.messages.empty());

    // The next export starts from these choices, beside the last one.
    const TExportChoices kept = TExportChoices::Load(f.host.Preferences().IniFile());
    EXPECT_EQ(kept.Format, TExportFormat::Gif);
    EXPECT_EQ(kept.Scale, 2);
    EXPECT_EQ(kept.Folder, QFileInfo(target).absolutePath());
    TExportChoices offered;
    f.side.RunDialog = [&](TfrmExportAnimation& dialog) {
        offered = dialog.Choices();
        return false;
    };
    EXPECT_FALSE(f.side.ExportAnimation1Click());
    EXPECT_EQ(offered.Scale, 2);
    EXPECT_EQ(f.host.prompts.saveRequests.size(), 1u); // cancelled dialog: no file question
}

TEST(AnimationExportSide, CancelledOrFailedExportsWriteNothingAndSayWhy) {
    ExportSideFixture f;
    FillAnimation(f.host.animation, 3);
    f.Answer(TExportFormat::PngFrames, 1);
    // The file question cancelled.
    f.host.prompts.fileAnswers = {QString()};
    EXPECT_FALSE(f.side.ExportAnimation1Click());
    // The frames' question has a title of words, not a file name pattern.
    ASSERT_EQ(f.host.prompts.saveRequests.size(), 1u);
    EXPECT_EQ(f.host.prompts.saveRequests[0].title, "Export Animation as PNG Frames");

    // Frames that would replace files already there are asked about first.
    f.folder.Write("walk_001.png", "old");
    f.host.prompts.fileAnswers = {f.folder.Path("walk.png")};
    f.host.prompts.buttonAnswers = {PromptButton::No};
    EXPECT_FALSE(f.side.ExportAnimation1Click());
    ASSERT_EQ(f.host.prompts.messages.size(), 1u);
    EXPECT_EQ(f.host.prompts.messages[0].text, "walk_001.png already exists. Replace it?");
    EXPECT_EQ(QDir(f.folder.Path("")).entryList(QDir::Files), QStringList{"walk_001.png"});
    EXPECT_EQ(ReadFile(f.folder.Path("walk_001.png")), "old");

    // A folder that cannot be written: the reason in an error box.
    f.folder.Write("file", "not a folder");
    f.Answer(TExportFormat::CHeader, 1);
    f.host.prompts.fileAnswers = {f.folder.Path("file/walk.h")};
    f.host.prompts.ExpectError("Unable to write walk.h: ");
    EXPECT_FALSE(f.side.ExportAnimation1Click());
    ASSERT_EQ(f.host.prompts.messages.size(), 2u);
    EXPECT_TRUE(f.host.prompts.messages[1].text.startsWith("Unable to write walk.h: "));
    EXPECT_EQ(f.host.prompts.messages[1].caption, "Error");
    EXPECT_EQ(f.host.prompts.messages[1].icon, PromptIcon::Error);
    EXPECT_FALSE(f.side.ProgressBar()->isVisible());
}

TEST(ExportAnimationDialog, OffersRawFramesTurnedUpsideDownWithTheirDurations) {
    TAnimation animation;
    FillAnimation(animation, {1, 2});
    TExportChoices choices;
    choices.Format = TExportFormat::Gif;
    TfrmExportAnimation dialog(choices, animation, 1, 12);
    auto* format = dialog.findChild<QComboBox*>("cmbbxFormat");
    auto* rotate = dialog.findChild<QCheckBox*>("chkRotate180");
    auto* durations = dialog.findChild<QCheckBox*>("chkDurations");
    auto* preview = dialog.findChild<QLabel*>("lblPreview");
    ASSERT_TRUE(format && rotate && durations && preview);
    EXPECT_EQ(format->count(), static_cast<int>(TExportFormat::Binary) + 1);
    // The table goes with raw frames only; turning goes with every format.
    EXPECT_FALSE(durations->isEnabled());
    EXPECT_TRUE(rotate->isEnabled());
    format->setCurrentIndex(static_cast<int>(TExportFormat::Binary));
    EXPECT_TRUE(durations->isEnabled());
    EXPECT_FALSE(dialog.findChild<QSpinBox*>("spnScale")->isEnabled());
    durations->setChecked(true);
    EXPECT_EQ(dialog.findChild<QLabel*>("lblSummary")->text(),
              "2 frames of 192 bytes, 384 bytes and nothing else; their durations in ticks in "
              "NAME.txt, one a line.");

    // The preview turns with the box: frame 1's dot (1, 0) shows at (46, 31).
    const auto dotLit = [&](int x, int y) {
        const QImage shown = preview->pixmap().toImage();
        return shown.pixel(x * 4 + 1, y * 4 + 1) == qRgb(0, 0, 0);
    };
    EXPECT_TRUE(dotLit(1, 0));
    rotate->setChecked(true);
    EXPECT_TRUE(dotLit(46, 31));
    EXPECT_FALSE(dotLit(1, 0));

    const TExportChoices chosen = dialog.Choices();
    EXPECT_EQ(chosen.Format, TExportFormat::Binary);
    EXPECT_TRUE(chosen.Rotate180);
    EXPECT_TRUE(chosen.DurationTable);
    // And the next dialog starts with them.
    TfrmExportAnimation next(chosen, animation, 0, 12);
    EXPECT_TRUE(next.findChild<QCheckBox*>("chkRotate180")->isChecked());
    EXPECT_TRUE(next.findChild<QCheckBox*>("chkDurations")->isChecked());
}

TEST(AnimationExportSide, WritesTurnedRawFramesAndTheDurationsBesideThem) {
    ExportSideFixture f;
    FillAnimation(f.host.animation, {3, 0});
    const auto answer = [&](bool rotate, bool durations) {
        f.side.RunDialog = [=](TfrmExportAnimation& dialog) {
            dialog.findChild<QComboBox*>("cmbbxFormat")
                ->setCurrentIndex(static_cast<int>(TExportFormat::Binary));
            dialog.findChild<QCheckBox*>("chkRotate180")->setChecked(rotate);
            dialog.findChild<QCheckBox*>("chkDurations")->setChecked(durations);
            return true;
        };
    };
    answer(true, true);
    f.host.prompts.fileAnswers = {f.folder.Path("card")};
    ASSERT_TRUE(f.side.ExportAnimation1Click());
    ASSERT_EQ(f.host.prompts.saveRequests.size(), 1u);
    EXPECT_EQ(f.host.prompts.saveRequests[0].fileName, "Untitled1.bin");
    // Frame i has dot (i, 0) lit; turned, that is dot (47 - i, 31): bit i of its last byte.
    QByteArray expected(2 * 192, '\0');
    expected[191] = '\x01';
    expected[192 + 191] = '\x02';
    EXPECT_EQ(ReadFile(f.folder.Path("card.bin")).toHex(), expected.toHex());
    EXPECT_EQ(ReadFile(f.folder.Path("card.txt")), "3\n0\n");
    const TExportChoices kept = TExportChoices::Load(f.host.Preferences().IniFile());
    EXPECT_TRUE(kept.Rotate180);
    EXPECT_TRUE(kept.DurationTable);

    // A table already there is not replaced without asking.
    f.folder.Write("old.txt", "mine");
    f.host.prompts.fileAnswers = {f.folder.Path("old.bin")};
    f.host.prompts.buttonAnswers = {PromptButton::No};
    EXPECT_FALSE(f.side.ExportAnimation1Click());
    EXPECT_EQ(f.host.prompts.MessageTexts(),
              QStringList{"old.txt already exists.\nDo you want to replace it?"});
    EXPECT_EQ(ReadFile(f.folder.Path("old.txt")), "mine");
    EXPECT_FALSE(QFile::exists(f.folder.Path("old.bin")));

    // Without the boxes: the frames as they are, and no table.
    answer(false, false);
    f.host.prompts.fileAnswers = {f.folder.Path("plain.bin")};
    ASSERT_TRUE(f.side.ExportAnimation1Click());
    expected.fill('\0');
    expected[0] = '\x80';
    expected[192] = '\x40';
    EXPECT_EQ(ReadFile(f.folder.Path("plain.bin")).toHex(), expected.toHex());
    EXPECT_FALSE(QFile::exists(f.folder.Path("plain.txt")));
}

// The extension typed in the file dialog decides the format where it names one;
// any other name gets the extension of the format chosen in the dialog.
TEST(AnimationExportSide, TheTypedExtensionChoosesTheFormat) {
    struct Case {
        TExportFormat chosen;
        const char* typed;
        const char* written;
        QByteArray start; // the written file's first bytes
    };
    const QByteArray gif = "GIF89a";
    const QByteArray png = "\x89PNG";
    const Case cases[] = {
        {TExportFormat::Gif, "check.h", "check.h", "/*"},
        {TExportFormat::CHeader, "walk.GIF", "walk.GIF", gif},
        {TExportFormat::Gif, "sheet.png", "sheet.png", png},
        {TExportFormat::PngFrames, "frames.png", "frames_001.png", png},
        {TExportFormat::PngSheet, "walk.txt", "walk.txt.png", png},
        {TExportFormat::Gif, "walk", "walk.gif", gif},
        {TExportFormat::Gif, "card.BIN", "card.BIN", QByteArray(1, '\x80')},
        {TExportFormat::Binary, "card", "card.bin", QByteArray(1, '\x80')},
    };
    for (const Case& c : cases) {
        ExportSideFixture f;
        FillAnimation(f.host.animation, 2);
        f.Answer(c.chosen, 1);
        f.host.prompts.fileAnswers = {f.folder.Path(c.typed)};
        EXPECT_TRUE(f.side.ExportAnimation1Click()) << c.typed;
        EXPECT_TRUE(ReadFile(f.folder.Path(c.written)).startsWith(c.start))
            << c.typed << ": " << ReadFile(f.folder.Path(c.written)).left(8).toHex().toStdString();
        EXPECT_TRUE(f.host.prompts.messages.empty()) << c.typed;
    }
    // A sheet is one picture of both frames side by side.
    ExportSideFixture f;
    FillAnimation(f.host.animation, 2);
    f.Answer(TExportFormat::Gif, 1);
    f.host.prompts.fileAnswers = {f.folder.Path("sheet.png")};
    ASSERT_TRUE(f.side.ExportAnimation1Click());
    EXPECT_EQ(QImage(f.folder.Path("sheet.png")).size(), QSize(96, 32));

    // The name with the extension added is not replaced without asking.
    f.folder.Write("old.txt.gif", "old");
    f.host.prompts.fileAnswers = {f.folder.Path("old.txt")};
    f.host.prompts.buttonAnswers = {PromptButton::No};
    EXPECT_FALSE(f.side.ExportAnimation1Click());
    EXPECT_EQ(f.host.prompts.MessageTexts(),
              QStringList{"old.txt.gif already exists.\nDo you want to replace it?"});
    EXPECT_EQ(ReadFile(f.folder.Path("old.txt.gif")), "old");
}

TEST(ExportAnimationInWindow, TheFileMenuItemExportsTheFrameAsItIsBeingEdited) {
    WindowFixture f;
    f.Window().OpenDocument(f.LcdFile("walk.lcd", {1, 2, 3}));
    QAction* item = f.Action("ExportAnimation1");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "Expor&t Animation...");
    f.Window().File1Click();
    EXPECT_TRUE(item->isEnabled());
    // A stroke not yet stored into the frame.
    f.Window().Editor().WorkBitmap.setPixel(5, 7, qRgb(0, 0, 0));
    f.Window().AnimationExport().RunDialog = [](TfrmExportAnimation& dialog) {
        dialog.findChild<QComboBox*>("cmbbxFormat")
            ->setCurrentIndex(static_cast<int>(TExportFormat::PngFrames));
        dialog.findChild<QSpinBox*>("spnScale")->setValue(1);
        return true;
    };
    f.Prompts().fileAnswers = {f.Folder().Path("frame.png")};
    // What the status bar shows while the frames are prepared.
    auto* bar = f.Window().findChild<QProgressBar*>("prgbrExport");
    ASSERT_NE(bar, nullptr);
    std::vector<std::pair<int, int>> shown; // value, maximum
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
        if (bar->isVisible())
            shown.emplace_back(value, bar->maximum());
    });
    item->trigger();
    EXPECT_EQ(shown, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
    EXPECT_FALSE(bar->isVisible()); // gone once the export is over
    const QImage frame(f.Folder().Path("frame_000.png"));
    ASSERT_EQ(frame.size(), QSize(48, 32));
    EXPECT_EQ(frame.pixel(5, 7), qRgb(0, 0, 0));
    EXPECT_EQ(frame.pixel(6, 7), qRgb(255, 255, 255));
    EXPECT_TRUE(QFile::exists(f.Folder().Path("frame_002.png")));

    // The choices reach VISTREL.INI when the window closes (the stroke is a
    // change, left unsaved).
    f.Prompts().buttonAnswers = {PromptButton::No};
    EXPECT_TRUE(f.Window().close());
    const QString ini = QString::fromUtf8(ReadFile(f.IniPath()));
    EXPECT_TRUE(ini.contains("[ExportAnimation]\nFormat=2\nScale=1\n")) << ini.toStdString();
}
