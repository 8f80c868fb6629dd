#include "formAnimProperties.h"
#include "frameStrip.h"
#include "windowFixture.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

struct Dialog {
    TfrmAnimProperties dialog;
    QLineEdit* edit = dialog.findChild<QLineEdit*>("edtRepeat");
    QLabel* times = dialog.findChild<QLabel*>("lblRepeatTimes");
    TUpDown* upDown = dialog.findChild<TUpDown*>("updnRepeat");

    explicit Dialog(std::uint8_t count) {
        dialog.SetRepeatCount(count);
        dialog.show();
    }
    void Up() { QTest::mouseClick(upDown->UpButton(), Qt::LeftButton); }
    void Down() { QTest::mouseClick(upDown->DownButton(), Qt::LeftButton); }
    void Type(const char* keys) { QTest::keyClicks(edit, keys); }
    // Types over the whole field.
    void Replace(const char* keys) {
        edit->selectAll();
        Type(keys);
    }
    void Clear() {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
    }
    // What the user sees: the field, the word after it, the count OK would take.
    std::tuple<QString, QString, int> Shown() const {
        return {edit->text(), times->text(), dialog.Position()};
    }
};

const QString Infinity = TfrmAnimProperties::InfinitySign();

// Runs Animation > Properties; answer works the open dialog and closes it.
void RunProperties(WindowFixture& f, const std::function<void(TfrmAnimProperties&)>& answer) {
    bool answered = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TfrmAnimProperties*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answered = true;
        answer(*dialog);
    });
    f.Action("Properties1")->trigger();
    EXPECT_TRUE(answered);
}

} // namespace

TEST(AnimProperties, TheFieldTheWordAndTheCountFollowTheUser) {
    Dialog d(4);
    using Shown = std::tuple<QString, QString, int>;
    EXPECT_EQ(d.Shown(), (Shown{"4", "times", 4}));
    d.Replace("2");
    EXPECT_EQ(d.Shown(), (Shown{"2", "times", 2}));
    // Clearing the field puts 1 back at once.
    d.Clear();
    EXPECT_EQ(d.Shown(), (Shown{"1", "time", 1}));
    // Letters and signs never reach the field.
    d.Type("a-+ 7");
    EXPECT_EQ(d.Shown(), (Shown{"17", "times", 17}));
    // Out of range the count is the one the arrows or the document last gave.
    d.Type("00");
    EXPECT_EQ(d.Shown(), (Shown{"1700", "times", 4}));
    // The arrows step from the typed number.
    d.Replace("9");
    d.Up();
    EXPECT_EQ(d.Shown(), (Shown{"10", "times", 10}));
    d.Replace("255");
    EXPECT_EQ(d.Shown(), (Shown{Infinity, "forever", 255}));
    EXPECT_TRUE(QFontMetrics(d.edit->font()).inFontUcs4(0x221E));
}

TEST(AnimProperties, TheArrowsWrapThroughForever) {
    Dialog d(254);
    using Shown = std::tuple<QString, QString, int>;
    d.Up();
    EXPECT_EQ(d.Shown(), (Shown{Infinity, "forever", 255}));
    d.Up();
    EXPECT_EQ(d.Shown(), (Shown{"1", "time", 1}));
    d.Down();
    EXPECT_EQ(d.Shown(), (Shown{Infinity, "forever", 255}));
    d.Down();
    EXPECT_EQ(d.Shown(), (Shown{"254", "times", 254}));
    // The arrows leave no control with the keyboard, so Enter reaches OK.
    EXPECT_EQ(d.dialog.focusWidget(), nullptr);
}

TEST(AnimProperties, OnlyTheGeneralPageIsShown) {
    Dialog d(3);
    auto* pages = d.dialog.findChild<QTabWidget*>("pgcntlAnimProperties");
    EXPECT_EQ(d.dialog.windowTitle(), "Animation Properties");
    EXPECT_EQ(pages->currentWidget()->objectName(), "tbshtGeneral");
    EXPECT_FALSE(pages->isTabVisible(pages->indexOf(d.dialog.findChild<QWidget*>("tbshtVMIInfo"))));
}

TEST(AnimProperties, OkStoresAChangedCountAndCancelNothing) {
    struct Case {
        const char* what;
        int loaded;
        std::function<void(TfrmAnimProperties&)> answer;
        int repeat;
        bool modified;
    };
    const auto type = [](const char* text, bool ok) {
        return [text, ok](TfrmAnimProperties& dialog) {
            auto* edit = dialog.findChild<QLineEdit*>("edtRepeat");
            edit->selectAll();
            QTest::keyClicks(edit, text);
            if (ok)
                QTest::keyClick(edit, Qt::Key_Return);
            else
                dialog.findChild<QPushButton*>("btnCancel")->click();
        };
    };
    const auto okUntouched = [](TfrmAnimProperties& dialog) {
        dialog.findChild<QPushButton*>("btnOk")->click();
    };
    for (const Case& c : {
             Case{"OK without change", 1, okUntouched, 1, false},
             Case{"255 typed", 1, type("255", true), 255, true},
             Case{"7 typed", 1, type("7", true), 7, true},
             Case{"Cancel", 1, type("9", false), 1, false},
             // A loaded 0 plays for ever; OK without change keeps it.
             Case{"0 from a file", 0, okUntouched, 0, false},
         }) {
        WindowFixture f;
        f.Window().OpenDocument(f.Folder().Write("anim.lcd", LCDBytes({1}, c.loaded)));
        RunProperties(f, c.answer);
        EXPECT_EQ(f.Window().Animation().RepeatCount, c.repeat) << c.what;
        EXPECT_EQ(f.Window().Modified(), c.modified) << c.what;
    }
}

// A count out of range is not dropped in silence: OK says what is accepted and
// the dialog stays open with the count selected for the next try.
TEST(AnimProperties, OkOnACountOutOfRangeSaysTheRangeAndKeepsTheDialogOpen) {
    WindowFixture f;
    f.Window().OpenDocument(f.Folder().Write("anim.lcd", LCDBytes({1}, 4)));
    const QString message = "Invalid loop count - must be between 1 and 255 (255 loops forever).";
    RunProperties(f, [&](TfrmAnimProperties& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>("edtRepeat");
        for (const char* typed : {"300", "0", "000"}) {
            edit->selectAll();
            QTest::keyClicks(edit, typed);
            const auto before = f.Prompts().messages.size();
            f.Prompts().ExpectError(message);
            QTest::keyClick(edit, Qt::Key_Return);
            EXPECT_TRUE(dialog.isVisible()) << typed;
            ASSERT_EQ(f.Prompts().messages.size(), before + 1) << typed;
            EXPECT_EQ(f.Prompts().messages.back().text, message);
            EXPECT_EQ(f.Prompts().messages.back().caption, "Error");
            EXPECT_EQ(f.Prompts().messages.back().icon, PromptIcon::Error);
            EXPECT_EQ(edit->selectedText(), typed); // typing replaces it
        }
        QTest::keyClicks(edit, "12");
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(f.Window().Animation().RepeatCount, 12);
    EXPECT_TRUE(f.Window().Modified());
    EXPECT_EQ(f.Prompts().messages.size(), 3u);
}
