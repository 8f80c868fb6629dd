#include "windowFixture.h"

#include <QAction>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

TEST(AnimationSpeed, EachItemRescalesEveryFrameAndMarksTheDocument) {
    struct Case {
        const char* item;
        std::initializer_list<int> durations;
        std::vector<int> expected;
    };
    for (const Case& c : {
             Case{"mnuitmRate200", {1, 2, 3, 5}, {1, 1, 2, 2}},
             Case{"mnuitmRate33", {1, 2, 3}, {3, 6, 9}},
             Case{"mnuitmRate300", {3, 6, 9}, {1, 2, 3}},
             Case{"mnuitmRate50", {200, 4}, {255, 8}},
             Case{"mnuitmRate10", {1, 30}, {10, 255}},
         }) {
        WindowFixture f;
        f.Window().OpenDocument(f.LcdFile("anim.lcd", c.durations));
        f.Window().SetCurFrame(1);
        f.Action(c.item)->trigger();
        EXPECT_EQ(Durations(f.Window().Animation()), c.expected) << c.item;
        EXPECT_TRUE(f.Window().Modified()) << c.item;
        // The strip shows the new durations.
        EXPECT_EQ(f.Window().findChild<QLineEdit*>("edtFrame1")->text().toInt(), c.expected[1])
            << c.item;
    }
}

// An answer that is no percentage in range is not dropped in silence: the
// range is said and the question comes again with the answer to correct.
TEST(AnimationSpeed, TheCustomItemAsksForAPercentage) {
    struct Case {
        std::optional<QString> answer;
        std::vector<int> expected; // empty: refused, then answered 200%
    };
    const std::vector<int> unchanged{2, 4, 6};
    const std::vector<int> refused{};
    for (const Case& c : {
             Case{"150%", {1, 3, 4}},
             Case{"150", {1, 3, 4}},
             Case{" +50%", {4, 8, 12}},
             Case{"100%", unchanged},
             Case{std::nullopt, unchanged},
             Case{"25500%", {1, 1, 1}},
             Case{"150 %", refused}, // a blank after the number: no number
             Case{"fast", refused},
             Case{"", refused},
             Case{"25501%", refused},
             Case{"0", refused},
             Case{"-200%", refused},
             // Too large for a 32-bit number: out of range, not wrapped into it.
             Case{"4294967346%", refused},
             Case{"99999999999999999999999", refused},
         }) {
        const QString what = c.answer.value_or("(cancelled)");
        const bool isRefused = c.expected.empty();
        WindowFixture f;
        f.Window().OpenDocument(f.LcdFile("anim.lcd", {2, 4, 6}));
        f.Prompts().inputAnswers.push_back(c.answer);
        if (isRefused) {
            f.Prompts().ExpectError("Invalid speed factor - must be between 1% and 25500%.");
            f.Prompts().inputAnswers.push_back("200%");
        }
        f.Action("mnuitmRateCustom")->trigger();
        ASSERT_EQ(f.Prompts().inputs.size(), isRefused ? 2u : 1u) << what.toStdString();
        EXPECT_EQ(f.Prompts().inputs[0].caption, "Vistrel v1.0 beta");
        EXPECT_EQ(f.Prompts().inputs[0].prompt,
                  "Enter custom speed factor as percentage (i.e. 95%):");
        EXPECT_EQ(f.Prompts().inputs[0].value, "100%");
        const std::vector<int> expected = isRefused ? std::vector<int>{1, 2, 3} : c.expected;
        EXPECT_EQ(Durations(f.Window().Animation()), expected) << what.toStdString();
        EXPECT_EQ(f.Window().Modified(), expected != unchanged) << what.toStdString();
        const QStringList messages =
            isRefused ? QStringList{"Invalid speed factor - must be between 1% and 25500%."}
                      : QStringList{};
        EXPECT_EQ(f.Prompts().MessageTexts(), messages) << what.toStdString();
        if (isRefused) {
            EXPECT_EQ(f.Prompts().inputs[1].value, what); // offered again to correct
            EXPECT_EQ(f.Prompts().messages[0].caption, "Error");
        }
    }
    // Cancel on the second question changes nothing.
    WindowFixture f;
    f.Window().OpenDocument(f.LcdFile("anim.lcd", {2, 4, 6}));
    f.Prompts().inputAnswers = {QString("fast"), std::nullopt};
    f.Prompts().ExpectError("Invalid speed factor - must be between 1% and 25500%.");
    f.Action("mnuitmRateCustom")->trigger();
    EXPECT_EQ(f.Prompts().inputs.size(), 2u);
    EXPECT_EQ(Durations(f.Window().Animation()), unchanged);
    EXPECT_FALSE(f.Window().Modified());
}

// With a range marked by Shift+click, the items say "(Selection)" and change
// only the range's frames; a plain click ends the range and they act on every
// frame again.
TEST(AnimationSpeed, WithARangeMarkedOnlyItsFramesChangeAndTheItemsSaySo) {
    struct Case {
        const char* item;
        std::optional<QString> answer; // for Custom
        std::vector<int> expected;
    };
    for (const Case& c : {
             Case{"mnuitmRate200", std::nullopt, {2, 2, 3, 4, 10}},
             Case{"mnuitmRate50", std::nullopt, {2, 8, 12, 16, 10}},
             Case{"mnuitmRateCustom", QString("25%"), {2, 16, 24, 32, 10}},
         }) {
        WindowFixture f;
        f.Window().OpenDocument(f.LcdFile("anim.lcd", {2, 4, 6, 8, 10}));
        const auto slot = [&f](int n) {
            return f.Window().findChild<QWidget*>(QStringLiteral("pntbxFrame%1").arg(n));
        };
        QAction* item = f.Action(c.item);
        const QString caption = item->text();
        QTest::mouseClick(slot(1), Qt::LeftButton);
        QTest::mouseClick(slot(3), Qt::LeftButton, Qt::ShiftModifier);
        ASSERT_TRUE(f.Window().MultipleSel()) << c.item;
        EXPECT_EQ(item->text(), caption + " (Selection)") << c.item;
        if (c.answer)
            f.Prompts().inputAnswers.push_back(c.answer);
        f.Run(c.item);
        EXPECT_EQ(Durations(f.Window().Animation()), c.expected) << c.item;
        EXPECT_TRUE(f.Window().Modified()) << c.item;
        EXPECT_EQ(f.Window().Document().UndoStack().count(), 1) << c.item;
        f.Window().Undo1Click();
        EXPECT_EQ(Durations(f.Window().Animation()), (std::vector<int>{2, 4, 6, 8, 10})) << c.item;
        EXPECT_FALSE(f.Window().Modified()) << c.item;

        QTest::mouseClick(slot(0), Qt::LeftButton);
        EXPECT_EQ(item->text(), caption) << c.item;
    }
}
