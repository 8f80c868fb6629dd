#include "pictureLoader.h"

#include "boxResampler.h"
#include "jpegDecoder.h"
#include "localFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <cstdlib>

namespace vistrel {

namespace {

// Qt's own readers for the other picture kinds users bring; nothing else is read,
// so a stray plug-in never sees outside bytes through the importer.
const QByteArray QtFormats[] = {"bmp", "ico", "cur", "png", "gif"};

bool IsQtFormat(const QByteArray& format) {
    return std::find(std::begin(QtFormats), std::end(QtFormats), format) != std::end(QtFormats);
}

QString TooLarge(std::int64_t width, std::int64_t height, std::int64_t maxPixels) {
    return QStringLiteral("the picture is %1 x %2 pixels, more than the %3 megapixels "
                          "Vistrel imports")
        .arg(width)
        .arg(height)
        .arg(maxPixels / 1'000'000.0);
}

// Transparent parts show white, the colour of a dot that is off.
bool LayOnWhite(QImage& picture) {
    if (!picture.hasAlphaChannel()) {
        picture.convertTo(QImage::Format_RGB32);
        if (picture.isNull())
            return false;
        // A reader that runs out of data (a GIF cut short) leaves the rest of its
        // 32-bit picture as zero, which is no colour at all; like a hole, that
        // part shows white.
        for (int y = 0; y < picture.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x)
                if (qAlpha(row[x]) != 255)
                    row[x] = qRgb(255, 255, 255);
        }
        return true;
    }
    picture.convertTo(QImage::Format_ARGB32);
    if (picture.isNull())
        return false;
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = row[x];
            const int alpha = qAlpha(pixel);
            if (alpha == 255)
                continue;
            const auto over = [alpha](int channel) {
                return (channel * alpha + 255 * (255 - alpha) + 127) / 255;
            };
            row[x] = qRgb(over(qRed(pixel)), over(qGreen(pixel)), over(qBlue(pixel)));
        }
    }
    picture.convertTo(QImage::Format_RGB32);
    return !picture.isNull();
}

TPictureLoad ReadWithQt(QIODevice& device, const QByteArray& formatHint, std::int64_t maxPixels) {
    // Qt refuses allocations above its own limit (256 MB by default); pictures
    // up to the importer's limit must get through, the size check below stops
    // larger ones first.
    const int neededMegabytes = static_cast<int>(maxPixels * 4 / (1024 * 1024) + 64);
    if (QImageReader::allocationLimit() < neededMegabytes)
        QImageReader::setAllocationLimit(neededMegabytes);

    // The content decides where it can (a PNG named .bmp still loads); icons
    // carry no strong signature, so the extension is the fallback.
    QByteArray format = QImageReader::imageFormat(&device).toLower();
    if (!IsQtFormat(format))
        format = IsQtFormat(formatHint) ? formatHint : QByteArray();
    if (format.isEmpty())
        return {QImage(), QStringLiteral("it is not a JPEG, BMP, ICO, PNG or GIF picture")};
    QImageReader reader(&device, format);
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(true);
    // A BMP stored top-down gives its height as a negative number; a reader
    // that cannot tell the size gives -1 x -1.
    const QSize size = reader.size();
    const std::int64_t height = std::abs(std::int64_t{size.height()});
    if (size.width() >= 0 && size.width() * height > maxPixels)
        return {QImage(), TooLarge(size.width(), height, maxPixels)};

    QImage picture;
    if (!reader.read(&picture) || picture.isNull()) {
        const QString why = reader.errorString();
        return {QImage(), why.isEmpty() ? QStringLiteral("the picture data are damaged")
                                        : why.left(1).toLower() + why.mid(1)};
    }
    if (std::int64_t{picture.width()} * picture.height() > maxPixels)
        return {QImage(), TooLarge(picture.width(), picture.height(), maxPixels)};
    if (!LayOnWhite(picture))
        return {QImage(), QStringLiteral("there is not enough memory for the picture")};
    return {picture, QString()};
}

// The one dispatch between the two readers: a JPEG is known by its first bytes
// and scales itself as it decodes; anything else is read whole, then scaled.
TPictureLoad ReadAtSize(QIODevice& device, const QByteArray& formatHint, std::int64_t maxPixels,
                        const TTargetSize& targetSize) {
    if (LooksLikeJpeg(device.peek(3)))
        return DecodeJpeg(device, maxPixels, targetSize);
    TPictureLoad load = ReadWithQt(device, formatHint, maxPixels);
    if (load.Loaded() && targetSize) {
        const QSize wanted = targetSize(load.Picture.size());
        if (wanted != load.Picture.size()) {
            load.Picture = ResampleBox(load.Picture, wanted);
            if (load.Picture.isNull())
                load.Reason = QStringLiteral("there is not enough memory for the picture");
        }
    }
    return load;
}

} // namespace

TPictureLoad ReadPicture(QIODevice& device, const QByteArray& formatHint, std::int64_t maxPixels) {
    return ReadAtSize(device, formatHint, maxPixels, {});
}

TPictureLoad LoadPicture(const QString& fileName, std::int64_t maxPixels) {
    return LoadPictureAtSize(fileName, {}, maxPixels);
}

TPictureLoad LoadPictureAtSize(const QString& fileName, const TTargetSize& targetSize,
                               std::int64_t maxPixels) {
    QFile file;
    QString reason;
    if (!OpenLocalFile(file, fileName, &reason))
        return {QImage(), reason};
    if (file.size() == 0)
        return {QImage(), QStringLiteral("the file is empty")};
    return ReadAtSize(file, QFileInfo(fileName).suffix().toLower().toLatin1(), maxPixels,
                      targetSize);
}

} // namespace vistrel
