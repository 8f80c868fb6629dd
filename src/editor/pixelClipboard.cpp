#include "pixelClipboard.h"

#include <QBuffer>
#include <QImageReader>
#include <cstdint>
#include <cstdlib>

namespace vistrel {

namespace {

QByteArray Encode(const QImage& picture, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return bytes;
}

} // namespace

QByteArray PictureAsBmp(const QImage& picture) {
    return Encode(picture, "BMP");
}

QByteArray PictureAsPng(const QImage& picture) {
    return Encode(picture, "PNG");
}

QImage BlackAndWhite(const QImage& picture) {
    QImage result = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            row[x] = qGray(row[x]) < 128 ? 0xFF000000 : 0xFFFFFFFF;
    }
    return result;
}

std::optional<QImage> DecodePastedPicture(const QByteArray& bytes, const char* format,
                                          QString& error, int maxSide) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    // Only the named format: the bytes come from another program.
    reader.setDecideFormatFromContent(false);
    if (!reader.canRead()) {
        error = QStringLiteral("The clipboard holds no %1 picture.").arg(QLatin1String(format));
        return std::nullopt;
    }
    const auto tooLarge = [maxSide](QSize s) {
        return s.width() > maxSide || s.height() > maxSide;
    };
    // A BMP stored top-down gives its height as a negative number; the picture
    // is as tall as that number says. A reader that cannot tell gives -1 x -1.
    const QSize header = reader.size();
    const std::int64_t width = header.width();
    const std::int64_t height = std::abs(std::int64_t{header.height()});
    if (width >= 0 && (width == 0 || height == 0 || width > maxSide || height > maxSide)) {
        error = QStringLiteral("The picture on the clipboard is %1 x %2 pixels; at most "
                               "%3 x %3 can be pasted.")
                    .arg(width)
                    .arg(height)
                    .arg(maxSide);
        return std::nullopt;
    }
    const QImage picture = reader.read();
    if (picture.isNull() || picture.width() == 0 || picture.height() == 0 ||
        tooLarge(picture.size())) {
        error = QStringLiteral("The picture on the clipboard cannot be read: %1")
                    .arg(reader.errorString());
        return std::nullopt;
    }
    return BlackAndWhite(picture);
}

} // namespace vistrel
