#include "pixelClipboard.h"

#include <QBuffer>
#include <QImageReader>

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
                                          QString& error) {
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
    const QSize size = reader.size();
    const auto tooLarge = [](QSize s) {
        return s.width() > MaxPastedSide || s.height() > MaxPastedSide;
    };
    if (size.isValid() && (size.isEmpty() || tooLarge(size))) {
        error = QStringLiteral("The picture on the clipboard is %1 x %2 pixels; at most "
                               "%3 x %3 can be pasted.")
                    .arg(size.width())
                    .arg(size.height())
                    .arg(MaxPastedSide);
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
