#include "unitAnimation.h"

#include <gtest/gtest.h>

using namespace vistrel;

namespace {

std::uint32_t Cmd(int opcode, int byte1 = 0, int byte2 = 0, int byte3 = 0) {
    return static_cast<std::uint32_t>(opcode | byte1 << 8 | byte2 << 16) |
           static_cast<std::uint32_t>(byte3) << 24;
}
std::uint32_t Jump(int opcode, int target, int buttons = 0) {
    return Cmd(opcode, buttons, target >> 8, target & 0xFF);
}

QStringList Listing(std::initializer_list<std::uint32_t> values) {
    TAnimation animation;
    for (const std::uint32_t value : values)
        animation.AddCommand().Value = value;
    animation.BuildScript();
    return animation.ScriptText;
}

} // namespace

TEST(ScriptListing, EveryOpcodeHasItsLine) {
    const std::pair<std::uint32_t, const char*> cases[] = {
        {TCommand::DrawFrame(1), "draw_frame(1);"},
        {TCommand::DrawFrame(300), "draw_frame(300);"},
        {Cmd(8), "clear_screen;"},
        {Cmd(10), "invert_screen;"},
        {Cmd(12), "slide_right_white;"},
        {Cmd(13), "slide_right_black;"},
        {Cmd(14), "slide_left_white;"},
        {Cmd(15), "slide_left_black;"},
        {Cmd(32, 0x31), "until_buttons_wait(ABU);"},
        {Cmd(33, 0x0F), "while_buttons_wait(UDLR);"},
        {Cmd(34, 0xC0), "until_a_button_wait();"},
        {Cmd(34, 0x3F), "until_a_button_wait(ABUDLR);"},
        {Cmd(128, 10, 20, 30), "play_sound(10, 20, 30);"},
        {Cmd(128, 255, 128, 200), "play_sound(255, 128, 200);"},
        {Cmd(208, 250), "delay(250);"},
        {Cmd(253), "restart;"},
        {Cmd(255), "exit;"},
    };
    for (const auto& [value, line] : cases)
        EXPECT_EQ(Listing({value}), QStringList{QString::fromLatin1(line)}) << line;
    for (const int opcode : {1, 9, 11, 19, 35, 65, 129, 209, 254})
        EXPECT_TRUE(Listing({Cmd(opcode, 1, 2, 3)}).isEmpty()) << "opcode " << opcode;
    EXPECT_TRUE(Listing({}).isEmpty());
}

TEST(ScriptListing, JumpsGetLabelsBeforeTheirTargetLines) {
    EXPECT_EQ(Listing({Jump(64, 0), TCommand::DrawFrame(1)}),
              QStringList({"", "LABEL1:", "goto(LABEL1);", "draw_frame(1);"}));
    EXPECT_EQ(Listing({Jump(16, 2, 0x10), Jump(17, 2, 0x20), Jump(18, 1, 0x03), Cmd(255)}),
              QStringList({"if_buttons_goto(A, LABEL2);", "",
                           "LABEL1:", "unless_buttons_goto(B, LABEL2);", "",
                           "LABEL2:", "if_a_button_goto(UD, LABEL1);", "exit;"}));
}

TEST(ScriptListing, LabelNumbersFollowTargetsSortedAsText) {
    // Targets 12 and 5 become LABEL2 and LABEL1 whichever comes first.
    QStringList lines = Listing({Jump(64, 12), Jump(64, 5)});
    EXPECT_EQ(lines.mid(0, 2), QStringList({"goto(LABEL2);", "goto(LABEL1);"}));

    // A four-digit key sorts before a higher three-digit one.
    TAnimation animation;
    animation.AddCommand().Value = Jump(64, 999);
    animation.AddCommand().Value = Jump(64, 1000);
    while (animation.CommandCount() < 1002)
        animation.AddCommand().Value = Cmd(8);
    animation.BuildScript();
    EXPECT_EQ(animation.ScriptText[0], "goto(LABEL2);");
    EXPECT_EQ(animation.ScriptText[1], "goto(LABEL1);");
    EXPECT_EQ(animation.ScriptText.mid(999, 3), QStringList({"", "LABEL2:", "clear_screen;"}));
    EXPECT_EQ(animation.ScriptText.mid(1002, 3), QStringList({"", "LABEL1:", "clear_screen;"}));
    EXPECT_EQ(animation.ScriptText.size(), 1006);
}

TEST(ScriptListing, PositionsCountLinesNotCommands) {
    // The opcode-9 command makes no line, so target 1 is the draw_frame line.
    EXPECT_EQ(Listing({Cmd(9), TCommand::DrawFrame(1), Jump(64, 1)}),
              QStringList({"draw_frame(1);", "", "LABEL1:", "goto(LABEL1);"}));
}

TEST(ScriptListing, TargetsPastTheEndGetLabelsAtTheEndInOrder) {
    EXPECT_EQ(Listing({Jump(64, 60), Jump(64, 50), Jump(64, 2)}),
              QStringList({"goto(LABEL3);", "goto(LABEL2);", "", "LABEL1:", "goto(LABEL1);", "",
                           "LABEL2:", "", "LABEL3:"}));
    EXPECT_EQ(Listing({Jump(64, 65535)}), QStringList({"goto(LABEL1);", "", "LABEL1:"}));
}
