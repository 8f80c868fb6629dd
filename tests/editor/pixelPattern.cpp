#include "pixelPattern.h"

#include "unitFrame.h"

namespace vistrel::test {

namespace {

QRgb ColourOf(char letter) {
    switch (letter) {
    case '#':
        return Black;
    case 'o':
        return Grey;
    default:
        return White;
    }
}

char LetterOf(QRgb colour) {
    switch (colour) {
    case Black:
        return '#';
    case White:
        return '.';
    case Grey:
        return 'o';
    default:
        return '?';
    }
}

} // namespace

QImage FrameWith(const TPicture& picture) {
    QImage image(FrameWidth, FrameHeight, QImage::Format_RGB32);
    image.fill(White);
    for (int y = 0; y < static_cast<int>(picture.size()); ++y)
        for (int x = 0; x < static_cast<int>(picture[y].size()); ++x)
            image.setPixel(x, y, ColourOf(picture[y][x]));
    return image;
}

std::string Corner(const QImage& image, const TPicture& like) {
    const int rows = static_cast<int>(like.size());
    const int columns = like.empty() ? 0 : static_cast<int>(like.front().size());
    std::string text;
    int outside = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (x < columns && y < rows)
                text += LetterOf(image.pixel(x, y));
            else if (image.pixel(x, y) != White)
                ++outside;
        }
        if (y < rows)
            text += '\n';
    }
    if (outside > 0)
        text += "+" + std::to_string(outside) + " outside\n";
    return text;
}

std::string Text(const TPicture& picture) {
    std::string text;
    for (const std::string& row : picture)
        text += row + '\n';
    return text;
}

std::vector<QPoint> PixelsOf(const QImage& image, QRgb colour) {
    std::vector<QPoint> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                pixels.emplace_back(x, y);
    return pixels;
}

} // namespace vistrel::test

void PrintTo(const QPoint& point, std::ostream* out) {
    *out << '(' << point.x() << ", " << point.y() << ')';
}
