#pragma once

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <vector>

namespace vistrel {

// The line break the user types with Enter.
inline constexpr QChar TextLineBreak = QLatin1Char('\r');

// How wide and high text is in the text font, in frame pixels.
class ITextMeasure {
public:
    virtual ~ITextMeasure() = default;
    virtual int Width(const QString& text) const = 0;
    // The height of a line, also of an empty one.
    virtual int Height() const = 0;
};

struct TTextLine {
    QString Text;
    QPoint At; // top-left corner of the line's character cells
};

struct TTextLayout {
    std::vector<TTextLine> Lines;
    // From the origin to the end of the last line, in frame pixels.
    QPoint CaretOffset;
};

// Breaks typed text into lines from origin down, at the typed line breaks and
// where a line would pass rightEdge: after its last space, hyphen or period at
// the line's third character or later, else after the last character that fits.
// Every line takes at least one character, so the layout always ends.
TTextLayout LayoutText(const QString& typed, const ITextMeasure& measure, QPoint origin,
                       int rightEdge);

// A font's measures on a picture of the frame editor.
class TFontMeasure : public ITextMeasure {
public:
    explicit TFontMeasure(const QFont& font);
    int Width(const QString& text) const override;
    int Height() const override;
    int Ascent() const;
    // The height of a capital letter above the base line, without the space
    // the font keeps above it for accents.
    int CapHeight() const;
    int AverageWidth() const;

private:
    QFont m_font;
    QImage m_device; // measures as on the frame pictures, whatever the screen
};

// The font text is drawn in: the chosen face and size, never smoothed, so that
// every pixel of a letter is the stroke colour or untouched.
QFont TextFont(const QFont& chosen);

// Draws the lines onto picture in colour; lines below the picture are clipped.
void DrawTextLines(QImage& picture, const TTextLayout& layout, const QFont& font, QRgb colour);

} // namespace vistrel
