#include "textLayout.h"

#include <gtest/gtest.h>

using namespace vistrel;

namespace {

// Every character 4 pixels wide, lines 10 high: the layout's rules show
// without a real font.
class TFixedMeasure : public ITextMeasure {
public:
    int Width(const QString& text) const override { return 4 * static_cast<int>(text.size()); }
    int Height() const override { return 10; }
};

QStringList Lines(const TTextLayout& layout) {
    QStringList lines;
    for (const TTextLine& line : layout.Lines)
        lines << line.Text;
    return lines;
}

TTextLayout Layout(const QString& text, int x = 0) {
    return LayoutText(text, TFixedMeasure(), QPoint(x, 5), 48);
}

} // namespace

TEST(TextLayout, LinesBreakAtEnterAndWhereTheyWouldPassTheRightEdge) {
    struct Case {
        QString typed;
        int x;
        QStringList lines;
        QPoint caret;
    };
    const Case cases[] = {
        {"ab\rcd", 0, {"ab", "cd"}, {8, 10}},
        // Enter first: an empty line, then the text one line lower.
        {"\rab", 0, {"", "ab"}, {8, 10}},
        {"ab\r", 0, {"ab", ""}, {0, 10}},
        // Twelve characters fit between 0 and 48; the line keeps its last space.
        {"one two three", 0, {"one two ", "three"}, {20, 10}},
        {"one-two-three", 0, {"one-two-", "three"}, {20, 10}},
        {"abc.defghijklmn", 0, {"abc.", "defghijklmn"}, {44, 10}},
        // No break character from the third on: cut at the last that fits.
        {"abcdefghijklmnop", 0, {"abcdefghijkl", "mnop"}, {16, 10}},
        {"a bcdefghijklmnop", 0, {"a bcdefghijk", "lmnop"}, {20, 10}},
        // The next line begins with the character that did not fit, a space too.
        {"abcdefghijkl mn", 0, {"abcdefghijkl", " mn"}, {12, 10}},
        // Exactly up to the edge still fits.
        {"abcdefghijkl", 0, {"abcdefghijkl"}, {48, 0}},
        // A click in the last column: one character per line, and the layout ends.
        {"abc", 47, {"a", "b", "c"}, {4, 20}},
        {"a b", 47, {"a", " ", "b"}, {4, 20}},
        {"", 0, {""}, {0, 0}},
    };
    for (const Case& c : cases) {
        const TTextLayout layout = Layout(c.typed, c.x);
        EXPECT_EQ(Lines(layout), c.lines) << c.typed.toStdString();
        EXPECT_EQ(layout.CaretOffset, c.caret) << c.typed.toStdString();
        for (std::size_t i = 0; i < layout.Lines.size(); ++i)
            EXPECT_EQ(layout.Lines[i].At, QPoint(c.x, 5 + 10 * static_cast<int>(i)));
    }
}

TEST(TextLayout, BackspaceAcrossALineBreakJoinsTheLines) {
    QString typed = QStringLiteral("ab\r");
    EXPECT_EQ(Lines(Layout(typed)), QStringList({"ab", ""}));
    typed.chop(1);
    typed += QStringLiteral("cd");
    const TTextLayout joined = Layout(typed);
    EXPECT_EQ(Lines(joined), QStringList({"abcd"}));
    EXPECT_EQ(joined.CaretOffset, QPoint(16, 0));
}

TEST(TextLayout, LongTextAtTheEdgeAlwaysEnds) {
    // Hundreds of characters, most of which cannot fit anywhere: the layout
    // finishes with one character per line.
    const QString typed(300, QLatin1Char('w'));
    const TTextLayout layout = Layout(typed, 46);
    EXPECT_EQ(layout.Lines.size(), 300u);
}
