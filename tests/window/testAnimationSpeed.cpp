#include "windowFixture.h"

#include <QAction>
#include <QLineEdit>
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
        f.Window().SetMultipleSel(true); // the range does not limit the command
        f.Action(c.item)->trigger();
        EXPECT_EQ(Durations(f.Window().Animation()), c.expected) << c.item;
        EXPECT_TRUE(f.Window().Modified()) << c.item;
        // The strip shows the new durations.
        EXPECT_EQ(f.Window().findChild<QLineEdit*>("edtFrame1")->text().toInt(), c.expected[1])
            << c.item;
    }
}

TEST(AnimationSpeed, TheCustomItemAsksForAPercentage) {
    struct Case {
        std::optional<QString> answer;
        std::vector<int> expected;
        bool rangeMessage;
    };
    const std::vector<int> unchanged{2, 4, 6};
    for (const Case& c : {
             Case{"150%", {1, 3, 4}, false},
             Case{"150", {1, 3, 4}, false},
             Case{" +50%", {4, 8, 12}, false},
             Case{"150 %", unchanged, false}, // a blank after the number: no number
             Case{"fast", unchanged, false},
             Case{"100%", unchanged, false},
             Case{std::nullopt, unchanged, false},
             Case{"25500%", {1, 1, 1}, false},
             Case{"25501%", unchanged, true},
             Case{"0", unchanged, true},
             Case{"-200%", unchanged, true},
             // Too large for a 32-bit number: out of range, not wrapped into it.
             Case{"4294967346%", unchanged, true},
             Case{"99999999999999999999999", unchanged, true},
         }) {
        const QString what = c.answer.value_or("(cancelled)");
        WindowFixture f;
        f.Window().OpenDocument(f.LcdFile("anim.lcd", {2, 4, 6}));
        f.Prompts().inputAnswers.push_back(c.answer);
        f.Action("mnuitmRateCustom")->trigger();
        ASSERT_EQ(f.Prompts().inputs.size(), 1u);
        EXPECT_EQ(f.Prompts().inputs[0].caption, "Vistrel v1.0 beta");
        EXPECT_EQ(f.Prompts().inputs[0].prompt,
                  "Enter custom speed factor as percentage (i.e. 95%):");
        EXPECT_EQ(f.Prompts().inputs[0].value, "100%");
        EXPECT_EQ(Durations(f.Window().Animation()), c.expected) << what.toStdString();
        EXPECT_EQ(f.Window().Modified(), c.expected != unchanged) << what.toStdString();
        const QStringList messages =
            c.rangeMessage ? QStringList{"Invalid speed factor - must be between 1% and 25500%."}
                           : QStringList{};
        EXPECT_EQ(f.Prompts().MessageTexts(), messages) << what.toStdString();
    }
}
