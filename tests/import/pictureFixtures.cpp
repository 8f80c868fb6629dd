#include "pictureFixtures.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <vector>

namespace vistrel::testing {

namespace {

QByteArray Compress(int width, int height, int components, J_COLOR_SPACE space,
                    const std::vector<std::uint8_t>& samples, int quality, bool progressive) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto* row =
            const_cast<JSAMPLE*>(samples.data() + std::size_t{info.next_scanline} *
                                                      static_cast<std::size_t>(width * components));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return bytes;
}

} // namespace

QImage Filled(int width, int height, QRgb colour) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

QImage Grey(int width, int height, int level) {
    return Filled(width, height, qRgb(level, level, level));
}

QByteArray JpegBytes(const QImage& picture, int quality, bool progressive) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    std::vector<std::uint8_t> samples;
    for (int y = 0; y < rgb.height(); ++y)
        samples.insert(samples.end(), rgb.constScanLine(y), rgb.constScanLine(y) + rgb.width() * 3);
    return Compress(rgb.width(), rgb.height(), 3, JCS_RGB, samples, quality, progressive);
}

QByteArray CmykJpegBytes(int width, int height, std::array<std::uint8_t, 4> invertedCmyk) {
    std::vector<std::uint8_t> samples;
    for (int i = 0; i < width * height; ++i)
        samples.insert(samples.end(), invertedCmyk.begin(), invertedCmyk.end());
    return Compress(width, height, 4, JCS_CMYK, samples, 100, false);
}

QByteArray WithExifOrientation(const QByteArray& jpeg, int orientation) {
    // APP1: "Exif\0\0", a big-endian TIFF header, one directory with one entry.
    QByteArray tiff("MM\0\x2a\0\0\0\x08", 8);
    tiff += QByteArray("\0\x01", 2);                   // one entry
    tiff += QByteArray("\x01\x12\0\x03\0\0\0\x01", 8); // orientation, SHORT, count 1
    tiff +=
        QByteArray(1, '\0') + QByteArray(1, static_cast<char>(orientation)) + QByteArray(2, '\0');
    tiff += QByteArray(4, '\0'); // no next directory
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment("\xFF\xE1", 2);
    const auto length = static_cast<quint16>(payload.size() + 2);
    segment += static_cast<char>(length >> 8);
    segment += static_cast<char>(length & 0xFF);
    segment += payload;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

QByteArray WithJpegSize(const QByteArray& jpeg, int width, int height) {
    QByteArray bytes = jpeg;
    for (qsizetype i = 2; i + 9 < bytes.size(); ++i) {
        const auto marker = static_cast<std::uint8_t>(bytes[i + 1]);
        if (static_cast<std::uint8_t>(bytes[i]) == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
            qToBigEndian(static_cast<quint16>(height), bytes.data() + i + 5);
            qToBigEndian(static_cast<quint16>(width), bytes.data() + i + 7);
            break;
        }
    }
    return bytes;
}

QByteArray WithPngSize(const QByteArray& png, int width, int height) {
    // IHDR follows the 8-byte signature: length, "IHDR", width, height, ..., CRC.
    QByteArray bytes = png;
    qToBigEndian(static_cast<quint32>(width), bytes.data() + 16);
    qToBigEndian(static_cast<quint32>(height), bytes.data() + 20);
    quint32 crc = 0xFFFFFFFF;
    for (int i = 12; i < 12 + 4 + 13; ++i) {
        crc ^= static_cast<std::uint8_t>(bytes[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    qToBigEndian(crc ^ 0xFFFFFFFF, bytes.data() + 29);
    return bytes;
}

QByteArray GifBytes(int width, int height, const std::vector<std::uint8_t>& indexes,
                    const std::array<QRgb, 4>& palette, int transparent) {
    QByteArray bytes("GIF89a");
    const auto put16 = [&bytes](int value) {
        bytes += static_cast<char>(value & 0xFF);
        bytes += static_cast<char>(value >> 8);
    };
    put16(width);
    put16(height);
    bytes += '\x81'; // global palette of 4 entries
    bytes += QByteArray(2, '\0');
    for (const QRgb colour : palette) {
        bytes += static_cast<char>(qRed(colour));
        bytes += static_cast<char>(qGreen(colour));
        bytes += static_cast<char>(qBlue(colour));
    }
    if (transparent >= 0) {
        bytes += QByteArray("\x21\xF9\x04\x01\0\0", 6);
        bytes += static_cast<char>(transparent);
        bytes += '\0';
    }
    bytes += ',';
    put16(0);
    put16(0);
    put16(width);
    put16(height);
    bytes += '\0';
    // LZW with 3-bit codes kept from growing: a clear code before every two
    // pixels, so each pixel is its own code.
    constexpr int Clear = 4;
    constexpr int End = 5;
    std::vector<int> codes;
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        if (i % 2 == 0)
            codes.push_back(Clear);
        codes.push_back(indexes[i]);
    }
    codes.push_back(End);
    QByteArray packed;
    unsigned buffer = 0;
    int bits = 0;
    for (const int code : codes) {
        buffer |= static_cast<unsigned>(code) << bits;
        bits += 3;
        while (bits >= 8) {
            packed += static_cast<char>(buffer & 0xFF);
            buffer >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0)
        packed += static_cast<char>(buffer & 0xFF);
    bytes += '\x02'; // minimum code size
    for (qsizetype at = 0; at < packed.size(); at += 255) {
        const QByteArray block = packed.mid(at, 255);
        bytes += static_cast<char>(block.size());
        bytes += block;
    }
    bytes += '\0';
    bytes += ';';
    return bytes;
}

QByteArray RunLengthBmpBytes() {
    // Rows bottom up: four white; then two black, two white; then the end mark.
    const QByteArray data("\x04\x01\x00\x00\x02\x00\x02\x01\x00\x01", 10);
    constexpr int DataStart = 14 + 40 + 2 * 4;
    QByteArray bytes;
    const auto put = [&bytes](quint32 value, int size) {
        for (int i = 0; i < size; ++i)
            bytes += static_cast<char>(value >> (8 * i) & 0xFF);
    };
    bytes += "BM";
    put(DataStart + data.size(), 4);
    put(0, 4);
    put(DataStart, 4);
    put(40, 4); // the information header
    put(4, 4);  // width
    put(2, 4);  // height, bottom up
    put(1, 2);  // planes
    put(8, 2);  // bits per pixel
    put(1, 4);  // runs of 8-bit indexes
    put(static_cast<quint32>(data.size()), 4);
    put(0, 4);
    put(0, 4);
    put(2, 4); // palette entries
    put(0, 4);
    put(0x000000, 4); // black
    put(0xFFFFFF, 4); // white
    return bytes + data;
}

QByteArray PictureBytes(const QImage& picture, const char* format) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(picture))
        std::fprintf(stderr, "cannot write %s: %s\n", format, qPrintable(writer.errorString()));
    return buffer.data();
}

bool Near(QRgb actual, QRgb expected, int tolerance) {
    return std::abs(qRed(actual) - qRed(expected)) <= tolerance &&
           std::abs(qGreen(actual) - qGreen(expected)) <= tolerance &&
           std::abs(qBlue(actual) - qBlue(expected)) <= tolerance;
}

} // namespace vistrel::testing
