#include "textLayout.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace vistrel {

namespace {

bool IsBreakCharacter(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('-') || c == QLatin1Char('.');
}

} // namespace

TTextLayout LayoutText(const QString& typed, const ITextMeasure& measure, QPoint origin,
                       int rightEdge) {
    TTextLayout layout;
    QString rest = typed;
    int y = 0;
    const auto overflows = [&](const QString& text) {
        return origin.x() + measure.Width(text) > rightEdge;
    };
    // A last character that does not fit is the last line, clipped at the edge.
    while (rest.contains(TextLineBreak) || (rest.size() > 1 && overflows(rest))) {
        // i: the 1-based position of the first line break or the first
        // character that passes the edge.
        qsizetype i = 1;
        while (i <= rest.size() && rest[i - 1] != TextLineBreak && !overflows(rest.left(i)))
            ++i;
        const bool lineBreak = rest[i - 1] == TextLineBreak;
        if (!lineBreak) {
            // Not even one character fits: it gets the line to itself.
            if (i == 1)
                i = 2;
            // The line keeps its last space, hyphen or period; the first two
            // characters are never break points.
            for (qsizetype j = i - 1; j >= 3; --j)
                if (IsBreakCharacter(rest[j - 1])) {
                    i = j + 1;
                    break;
                }
        }
        layout.Lines.push_back({rest.left(i - 1), QPoint(origin.x(), origin.y() + y)});
        y += measure.Height();
        rest.remove(0, lineBreak ? i : i - 1);
    }
    layout.Lines.push_back({rest, QPoint(origin.x(), origin.y() + y)});
    layout.CaretOffset = QPoint(measure.Width(rest), y);
    return layout;
}

QFont TextFont(const QFont& chosen) {
    QFont font = chosen;
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

TFontMeasure::TFontMeasure(const QFont& font)
    : m_font(TextFont(font)), m_device(1, 1, QImage::Format_RGB32) {}

int TFontMeasure::Width(const QString& text) const {
    return QFontMetrics(m_font, &m_device).horizontalAdvance(text);
}

int TFontMeasure::Height() const {
    return QFontMetrics(m_font, &m_device).height();
}

int TFontMeasure::Ascent() const {
    return QFontMetrics(m_font, &m_device).ascent();
}

int TFontMeasure::CapHeight() const {
    const QFontMetrics metrics(m_font, &m_device);
    return std::max(1, metrics.capHeight());
}

int TFontMeasure::AverageWidth() const {
    return std::max(1, QFontMetrics(m_font, &m_device).averageCharWidth());
}

void DrawTextLines(QImage& picture, const TTextLayout& layout, const QFont& font, QRgb colour) {
    const QFont textFont = TextFont(font);
    // Drawn as a mask first, so that only fully covered pixels take the colour:
    // a one-bit frame has no room for a grey edge.
    QImage mask(picture.size(), QImage::Format_ARGB32);
    mask.fill(Qt::transparent);
    {
        QPainter painter(&mask);
        painter.setFont(textFont);
        painter.setPen(Qt::black);
        const int ascent = QFontMetrics(textFont, &mask).ascent();
        for (const TTextLine& line : layout.Lines)
            painter.drawText(line.At + QPoint(0, ascent), line.Text);
    }
    for (int y = 0; y < picture.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(in[x]) >= 128)
                out[x] = colour;
    }
}

} // namespace vistrel
