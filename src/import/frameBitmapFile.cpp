#include "frameBitmapFile.h"

#include "fileNames.h"
#include "localFiles.h"

#include <QBuffer>
#include <QtEndian>

namespace vistrel {

namespace {

constexpr int FileHeaderSize = 14;
constexpr int InfoHeaderSize = 40;
constexpr int PaletteSize = 16 * 4;
constexpr int PixelOffset = FileHeaderSize + InfoHeaderSize + PaletteSize; // 118
constexpr int RowBytes = FrameWidth / 2;                                   // 24, already 4-aligned
constexpr std::uint8_t LitIndex = 0;
constexpr std::uint8_t UnlitIndex = 15;

// The 16 colours of the system palette, as RGB, in palette order.
constexpr std::uint8_t Palette[16][3] = {
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {128, 128, 128}, {192, 192, 192}, {255, 0, 0},     {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

void Put16(QByteArray& bytes, int at, std::uint16_t value) {
    qToLittleEndian(value, bytes.data() + at);
}

void Put32(QByteArray& bytes, int at, std::uint32_t value) {
    qToLittleEndian(value, bytes.data() + at);
}

} // namespace

QByteArray FrameBitmapBytes(const FramePixels& pixels) {
    QByteArray bytes(FrameBitmapFileSize, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes, 2, FrameBitmapFileSize);
    Put32(bytes, 10, PixelOffset);
    Put32(bytes, 14, InfoHeaderSize);
    Put32(bytes, 18, FrameWidth);
    Put32(bytes, 22, FrameHeight); // positive: rows stored bottom-up
    Put16(bytes, 26, 1);           // planes
    Put16(bytes, 28, 4);           // bits per pixel
    Put32(bytes, 30, 0);           // no compression
    Put32(bytes, 34, RowBytes * FrameHeight);
    for (int i = 0; i < 16; ++i) {
        const int at = FileHeaderSize + InfoHeaderSize + 4 * i;
        bytes[at] = static_cast<char>(Palette[i][2]); // blue, green, red, reserved
        bytes[at + 1] = static_cast<char>(Palette[i][1]);
        bytes[at + 2] = static_cast<char>(Palette[i][0]);
    }
    for (int y = 0; y < FrameHeight; ++y) {
        const int row = PixelOffset + (FrameHeight - 1 - y) * RowBytes;
        for (int x = 0; x < FrameWidth; x += 2) {
            const auto index = [&](int column) {
                return pixels[static_cast<std::size_t>(PixelIndex(column, y))] == 1 ? LitIndex
                                                                                    : UnlitIndex;
            };
            // The left pixel of each pair is the high nibble.
            bytes[row + x / 2] = static_cast<char>(index(x) << 4 | index(x + 1));
        }
    }
    return bytes;
}

FramePixels FramePixelsOf(const QImage& frame) {
    const QImage picture = frame.convertToFormat(QImage::Format_RGB32);
    FramePixels pixels{};
    const int height = std::min(picture.height(), FrameHeight);
    const int width = std::min(picture.width(), FrameWidth);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < width; ++x)
            pixels[static_cast<std::size_t>(PixelIndex(x, y))] =
                (row[x] & 0xFFFFFF) == LitColour ? 1 : 0;
    }
    return pixels;
}

bool WriteFrameBitmap(const FramePixels& pixels, const QString& fileName, QString* reason) {
    return SaveLocalFile(fileName, FrameBitmapBytes(pixels), reason);
}

namespace {

QString Extension(const QString& fileName) {
    return fileName.right(ExtensionLength(fileName)).toLower();
}

bool NamesPng(const QString& fileName) {
    return Extension(fileName) == QLatin1String(".png");
}

} // namespace

QString FramePictureFileName(const QString& fileName) {
    if (NamesPng(fileName) || Extension(fileName) == QLatin1String(".bmp"))
        return fileName;
    return fileName + QStringLiteral(".bmp");
}

bool WriteFramePicture(const FramePixels& pixels, const QString& fileName, QString* reason) {
    if (!NamesPng(fileName))
        return WriteFrameBitmap(pixels, fileName, reason);
    QImage picture(FrameWidth, FrameHeight, QImage::Format_Indexed8);
    picture.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < FrameHeight; ++y) {
        uchar* row = picture.scanLine(y);
        for (int x = 0; x < FrameWidth; ++x)
            row[x] = pixels[static_cast<std::size_t>(PixelIndex(x, y))] == 1 ? 1 : 0;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG")) {
        if (reason)
            *reason = QStringLiteral("the PNG could not be encoded");
        return false;
    }
    return SaveLocalFile(fileName, bytes, reason);
}

} // namespace vistrel
