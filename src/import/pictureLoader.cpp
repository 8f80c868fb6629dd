#include "pictureLoader.h"

#include "boxResampler.h"
#include "gifPictureData.h"
#include "jpegDecoder.h"
#include "localFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <cstdlib>
#include <optional>
#include <vector>

namespace vistrel {

namespace {

// Qt's own readers for the other picture kinds users bring; nothing else is read,
// so a stray plug-in never sees outside bytes through the importer.
const QByteArray QtFormats[] = {"bmp", "ico", "cur", "png", "gif"};

bool IsQtFormat(const QByteArray& format) {
    return std::find(std::begin(QtFormats), std::end(QtFormats), format) != std::end(QtFormats);
}

const QString EndsEarly = QStringLiteral("the file ends before the picture does");
const QString Damaged = QStringLiteral("the picture data are damaged");
const QString DataEndEarly = QStringLiteral("the picture data end before the picture does");

qint64 LittleEndian(const QByteArray& bytes, int at, int size) {
    qint64 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

// Walks a run-length coded BMP's data to its end mark; false when the file ends
// first.
bool RunLengthDataComplete(QIODevice& device, qint64 start, qint64 rows, bool fourBits) {
    if (!device.seek(start))
        return false;
    qint64 row = 0;
    char pair[2];
    while (row < rows) {
        if (device.read(pair, 2) != 2)
            return false;
        const auto count = static_cast<std::uint8_t>(pair[0]);
        const auto value = static_cast<std::uint8_t>(pair[1]);
        if (count > 0)
            continue;     // a run of one colour
        if (value == 0) { // end of a row
            ++row;
        } else if (value == 1) { // end of the picture
            return true;
        } else if (value == 2) { // a jump right and down
            if (device.read(pair, 2) != 2)
                return false;
            row += static_cast<std::uint8_t>(pair[1]);
        } else { // that many pixels given one by one, padded to a whole word
            qint64 bytes = fourBits ? (value + 1) / 2 : value;
            bytes += bytes % 2;
            if (device.read(bytes).size() != bytes)
                return false;
        }
    }
    return true;
}

// Qt's BMP reader stops quietly where the file ends, leaving the rest of the
// picture blank: the header says how much data there must be.
QString CheckBmpData(QIODevice& device, qint64 origin) {
    if (!device.seek(origin))
        return {};
    const QByteArray header = device.peek(34);
    if (header.size() < 30 || !header.startsWith("BM"))
        return {};
    const qint64 infoSize = LittleEndian(header, 14, 4);
    const bool core = infoSize == 12;
    if (!core && header.size() < 34)
        return {};
    const qint64 width =
        core ? LittleEndian(header, 18, 2) : static_cast<qint32>(LittleEndian(header, 18, 4));
    const qint64 height =
        core ? LittleEndian(header, 20, 2) : static_cast<qint32>(LittleEndian(header, 22, 4));
    const qint64 bits = LittleEndian(header, core ? 24 : 28, 2);
    const qint64 compression = core ? 0 : LittleEndian(header, 30, 4);
    // The data start where the header says, and never inside the header.
    const qint64 start = std::max(LittleEndian(header, 10, 4), 14 + infoSize);
    const qint64 rows = std::abs(height);
    constexpr qint64 Uncompressed = 0, RunLength8 = 1, RunLength4 = 2, BitFields = 3,
                     AlphaBitFields = 6;
    if (compression == RunLength8 || compression == RunLength4)
        return RunLengthDataComplete(device, origin + start, rows, compression == RunLength4)
                   ? QString()
                   : EndsEarly;
    if (compression != Uncompressed && compression != BitFields && compression != AlphaBitFields)
        return {};
    const qint64 rowBytes = (std::abs(width) * bits + 31) / 32 * 4;
    return device.size() - origin < start + rowBytes * rows ? EndsEarly : QString();
}

// Qt's GIF reader shows what it decoded of a picture whose data end early: the
// first picture's data are counted out to its last pixel.
QString CheckGifData(QIODevice& device, qint64 origin) {
    if (!device.seek(origin))
        return {};
    const QByteArray screen = device.read(13);
    if (screen.size() < 13 || !screen.startsWith("GIF"))
        return {};
    const auto skip = [&device](qint64 count) { return device.read(count).size() == count; };
    const auto byte = [&device]() -> int {
        char c = 0;
        return device.getChar(&c) ? static_cast<std::uint8_t>(c) : -1;
    };
    const auto flags = static_cast<std::uint8_t>(screen[10]);
    if ((flags & 0x80) && !skip(3 << ((flags & 7) + 1)))
        return EndsEarly;
    while (true) {
        const int introducer = byte();
        if (introducer < 0)
            return EndsEarly;
        if (introducer == 0x21) { // an extension: its label, then its blocks
            if (byte() < 0 || !SkipGifSubBlocks(device))
                return EndsEarly;
            continue;
        }
        if (introducer != 0x2C)
            return {}; // no picture, or one Qt judges for itself
        break;
    }
    const QByteArray descriptor = device.read(9);
    if (descriptor.size() < 9)
        return EndsEarly;
    const qint64 pixels = LittleEndian(descriptor, 4, 2) * LittleEndian(descriptor, 6, 2);
    const auto local = static_cast<std::uint8_t>(descriptor[8]);
    if ((local & 0x80) && !skip(3 << ((local & 7) + 1)))
        return EndsEarly;
    switch (ReadGifPictureData(device, pixels)) {
    case TGifPictureData::Complete:
        return {};
    case TGifPictureData::FileEnds:
        return EndsEarly;
    case TGifPictureData::DataEnd:
        return DataEndEarly;
    case TGifPictureData::Damaged:
        break;
    }
    return Damaged;
}

// Readers that stop quietly where their data end would give part of a picture.
// origin: where the picture starts in device.
QString CheckComplete(QIODevice& device, qint64 origin, const QByteArray& format) {
    if (device.isSequential())
        return {};
    if (format == "bmp")
        return CheckBmpData(device, origin);
    if (format == "gif")
        return CheckGifData(device, origin);
    return {};
}

TPictureLoad ReadWithQt(QIODevice& device, const QByteArray& formatHint, std::int64_t maxPixels) {
    // Pictures up to the importer's limit must get through Qt's allocation
    // limit; the size check below stops larger ones first.
    const TRaisedAllocationLimit raised(maxPixels);

    // The content decides where it can (a PNG named .bmp still loads); icons
    // carry no strong signature, so the extension is the fallback.
    QByteArray format = QImageReader::imageFormat(&device).toLower();
    if (!IsQtFormat(format))
        format = IsQtFormat(formatHint) ? formatHint : QByteArray();
    if (format.isEmpty())
        return {QImage(), QStringLiteral("it is not a JPEG, BMP, ICO, PNG or GIF picture")};
    const qint64 origin = device.pos();
    QImageReader reader(&device, format);
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(true);
    // A BMP stored top-down gives its height as a negative number; a reader
    // that cannot tell the size gives -1 x -1.
    const QSize size = reader.size();
    const std::int64_t height = std::abs(std::int64_t{size.height()});
    if (size.width() >= 0 && size.width() * height > maxPixels)
        return {QImage(), PictureTooLarge(size.width(), height, maxPixels)};

    QImage picture;
    if (!reader.read(&picture) || picture.isNull()) {
        const QString why = reader.errorString();
        return {QImage(), why.isEmpty() ? Damaged : why.left(1).toLower() + why.mid(1)};
    }
    if (const QString cut = CheckComplete(device, origin, format); !cut.isEmpty())
        return {QImage(), cut};
    if (std::int64_t{picture.width()} * picture.height() > maxPixels)
        return {QImage(), PictureTooLarge(picture.width(), picture.height(), maxPixels)};
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

QString PictureTooLarge(std::int64_t width, std::int64_t height, std::int64_t maxPixels) {
    return QStringLiteral("the picture is %1 x %2 pixels, more than the %3 megapixels "
                          "Vistrel imports")
        .arg(width)
        .arg(height)
        .arg(maxPixels / 1'000'000.0);
}

TRaisedAllocationLimit::TRaisedAllocationLimit(std::int64_t maxPixels)
    : m_old(QImageReader::allocationLimit()) {
    // Four bytes a pixel, and room for the reader's own buffers.
    const auto megabytes = static_cast<int>(maxPixels * 4 / (1024 * 1024) + 64);
    if (m_old < megabytes)
        QImageReader::setAllocationLimit(megabytes);
}

TRaisedAllocationLimit::~TRaisedAllocationLimit() {
    QImageReader::setAllocationLimit(m_old);
}

bool LayOnWhite(QImage& picture) {
    if (!picture.hasAlphaChannel()) {
        picture.convertTo(QImage::Format_RGB32);
        if (picture.isNull())
            return false;
        // Pixels a reader left as zero are no colour at all; like holes, they
        // show white.
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

TPictureLoad ReadPicture(QIODevice& device, const QByteArray& formatHint, std::int64_t maxPixels) {
    return ReadAtSize(device, formatHint, maxPixels, {});
}

bool IsPictureFileName(const QString& fileName) {
    const QByteArray suffix = QFileInfo(fileName).suffix().toLower().toLatin1();
    return suffix == "jpg" || suffix == "jpeg" || IsQtFormat(suffix);
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
