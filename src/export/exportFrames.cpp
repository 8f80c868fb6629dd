#include "exportFrames.h"

#include "unitAnimation.h"

#include <algorithm>
#include <cstring>

namespace vistrel {

namespace {

bool Lit(const FramePixels& pixels, int x, int y) {
    return pixels[static_cast<std::size_t>(PixelIndex(x, y))] == 1;
}

} // namespace

QByteArray PackFrame(const FramePixels& pixels) {
    QByteArray bytes(PackedFrameBytes, '\0');
    for (int y = 0; y < FrameHeight; ++y)
        for (int x = 0; x < FrameWidth; ++x)
            if (Lit(pixels, x, y))
                bytes[y * PackedRowBytes + x / 8] =
                    static_cast<char>(bytes[y * PackedRowBytes + x / 8] | (0x80 >> (x % 8)));
    return bytes;
}

FramePixels TurnedUpsideDown(const FramePixels& pixels) {
    // Rows are stored top to bottom and dots left to right, so the turn is the
    // dots in reverse order.
    FramePixels turned;
    std::reverse_copy(pixels.begin(), pixels.end(), turned.begin());
    return turned;
}

QByteArray DurationTable(const TAnimation& animation) {
    QByteArray text;
    for (int i = 0; i < animation.FrameCount(); ++i)
        text += QByteArray::number(animation.Frame(i).Duration()) + '\n';
    return text;
}

QImage RenderFrame(const FramePixels& pixels, int scale, const TExportColours& colours) {
    QImage image(FrameWidth * scale, FrameHeight * scale, QImage::Format_Mono);
    image.setColorTable({colours.Unlit, colours.Lit});
    // Format_Mono keeps the leftmost pixel in the most significant bit; one
    // scaled row is built bit by bit and copied to the scale rows it covers.
    const int rowBytes = FrameWidth * scale / 8;
    for (int y = 0; y < FrameHeight; ++y) {
        uchar* first = image.scanLine(y * scale);
        std::memset(first, 0, static_cast<std::size_t>(rowBytes));
        for (int x = 0; x < FrameWidth * scale; ++x)
            if (Lit(pixels, x / scale, y))
                first[x / 8] = static_cast<uchar>(first[x / 8] | (0x80 >> (x % 8)));
        for (int copy = 1; copy < scale; ++copy)
            std::memcpy(image.scanLine(y * scale + copy), first,
                        static_cast<std::size_t>(rowBytes));
    }
    return image;
}

void PlaceFrame(QImage& target, const QImage& frame, QPoint position) {
    const int rowBytes = frame.width() / 8;
    const int column = position.x() / 8;
    for (int y = 0; y < frame.height(); ++y)
        std::memcpy(target.scanLine(position.y() + y) + column, frame.constScanLine(y),
                    static_cast<std::size_t>(rowBytes));
}

std::vector<int> GifDelays(const TAnimation& animation, int fps) {
    const long long tickMs = 1000 / fps;
    std::vector<int> delays;
    long long endMs = 0;
    long long previousEnd = 0;
    for (int i = 0; i < animation.FrameCount(); ++i) {
        endMs += std::max<long long>(animation.Frame(i).Duration(), 1) * tickMs;
        // Rounded to the nearest hundredth, halves upwards.
        const long long end = (endMs + 5) / 10;
        delays.push_back(static_cast<int>(end - previousEnd));
        previousEnd = end;
    }
    return delays;
}

std::optional<int> GifLoopCount(int repeatCount) {
    if (repeatCount == 1)
        return std::nullopt;
    if (repeatCount <= 0 || repeatCount >= 255)
        return 0;
    return repeatCount - 1;
}

QString CIdentifier(const QString& baseName) {
    QString name;
    for (const QChar c : baseName)
        name += c.unicode() < 128 && (c.isLetterOrNumber() || c == u'_') ? c : QChar(u'_');
    if (name.isEmpty() || !(name[0].isLetter() || name[0] == u'_'))
        name.prepend(QStringLiteral("anim_"));
    return name;
}

} // namespace vistrel
