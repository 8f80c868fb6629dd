#include "unitAnimation.h"

#include <limits>
#include <map>

namespace vistrel {

namespace {

enum Opcode : std::uint8_t {
    OpDrawFrame = 0,
    OpClearScreen = 8,
    OpInvertScreen = 10,
    OpSlideRightWhite = 12,
    OpSlideRightBlack = 13,
    OpSlideLeftWhite = 14,
    OpSlideLeftBlack = 15,
    OpIfButtonsGoto = 16,
    OpUnlessButtonsGoto = 17,
    OpIfAButtonGoto = 18,
    OpUntilButtonsWait = 32,
    OpWhileButtonsWait = 33,
    OpUntilAButtonWait = 34,
    OpGoto = 64,
    OpPlaySound = 128,
    OpDelay = 208,
    OpRestart = 253,
    OpExit = 255,
};

std::uint8_t Byte(std::uint32_t value, int n) {
    return static_cast<std::uint8_t>(value >> (8 * n));
}

bool IsJump(std::uint8_t opcode) {
    return opcode == OpIfButtonsGoto || opcode == OpUnlessButtonsGoto ||
           opcode == OpIfAButtonGoto || opcode == OpGoto;
}

// Jump targets are stored big-endian: byte 2 high, byte 3 low.
int JumpTarget(std::uint32_t value) {
    return Byte(value, 2) << 8 | Byte(value, 3);
}

QString ButtonSet(std::uint8_t mask) {
    static constexpr std::pair<std::uint8_t, char> Buttons[] = {
        {0x10, 'A'}, {0x20, 'B'}, {0x01, 'U'}, {0x02, 'D'}, {0x04, 'L'}, {0x08, 'R'}};
    QString text;
    for (const auto& [bit, letter] : Buttons)
        if (mask & bit)
            text += QLatin1Char(letter);
    return text;
}

QString LabelKey(int target) {
    return QString::asprintf("%3.3d", target);
}

using LabelNumbers = std::map<int, int>; // target line -> label number

// Label numbers follow the targets' zero-padded keys sorted as text, so a
// four-digit target sorts before a higher three-digit one.
LabelNumbers NumberLabels(const std::vector<TCommand>& commands) {
    std::map<QString, int> targetsByKey;
    for (const TCommand& command : commands)
        if (IsJump(command.Opcode()))
            targetsByKey.emplace(LabelKey(JumpTarget(command.Value)), JumpTarget(command.Value));
    LabelNumbers labels;
    int number = 0;
    for (const auto& entry : targetsByKey)
        labels[entry.second] = ++number;
    return labels;
}

// Statement text for one command; an empty string for an opcode without a line.
QString Statement(std::uint32_t value, const LabelNumbers& labels) {
    const auto label = [&] { return labels.at(JumpTarget(value)); };
    const QString buttons = ButtonSet(Byte(value, 1));
    switch (Byte(value, 0)) {
    case OpDrawFrame:
        return QString::asprintf("draw_frame(%d);", static_cast<int>(value >> 8 & 0xFFFF));
    case OpClearScreen:
        return QStringLiteral("clear_screen;");
    case OpInvertScreen:
        return QStringLiteral("invert_screen;");
    case OpSlideRightWhite:
        return QStringLiteral("slide_right_white;");
    case OpSlideRightBlack:
        return QStringLiteral("slide_right_black;");
    case OpSlideLeftWhite:
        return QStringLiteral("slide_left_white;");
    case OpSlideLeftBlack:
        return QStringLiteral("slide_left_black;");
    case OpIfButtonsGoto:
        return QStringLiteral("if_buttons_goto(%1, LABEL%2);").arg(buttons).arg(label());
    case OpUnlessButtonsGoto:
        return QStringLiteral("unless_buttons_goto(%1, LABEL%2);").arg(buttons).arg(label());
    case OpIfAButtonGoto:
        return QStringLiteral("if_a_button_goto(%1, LABEL%2);").arg(buttons).arg(label());
    case OpUntilButtonsWait:
        return QStringLiteral("until_buttons_wait(%1);").arg(buttons);
    case OpWhileButtonsWait:
        return QStringLiteral("while_buttons_wait(%1);").arg(buttons);
    case OpUntilAButtonWait:
        return QStringLiteral("until_a_button_wait(%1);").arg(buttons);
    case OpGoto:
        return QStringLiteral("goto(LABEL%1);").arg(label());
    case OpPlaySound:
        return QString::asprintf("play_sound(%d, %d, %d);", Byte(value, 1), Byte(value, 2),
                                 Byte(value, 3));
    case OpDelay:
        return QString::asprintf("delay(%d);", Byte(value, 1));
    case OpRestart:
        return QStringLiteral("restart;");
    case OpExit:
        return QStringLiteral("exit;");
    default:
        return {};
    }
}

} // namespace

void TAnimation::BuildScript() {
    ScriptText.clear();
    const LabelNumbers labels = NumberLabels(m_commands);
    QStringList lines;
    for (const TCommand& command : m_commands) {
        const QString line = Statement(command.Value, labels);
        if (!line.isEmpty())
            lines.append(line);
    }
    // A label stands, after an empty line, before the line at its target position;
    // targets past the last line get their labels at the end, in ascending order.
    auto label = labels.begin();
    const auto emitLabelsUpTo = [&](qsizetype position) {
        for (; label != labels.end() && label->first <= position; ++label)
            ScriptText << QString() << QStringLiteral("LABEL%1:").arg(label->second);
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        emitLabelsUpTo(i);
        ScriptText.append(lines[i]);
    }
    emitLabelsUpTo(std::numeric_limits<int>::max());
}

} // namespace vistrel
