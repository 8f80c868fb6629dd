#include "frameBitmapFile.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace vistrel;

namespace {

FramePixels CornersLit() {
    FramePixels pixels{};
    pixels[static_cast<std::size_t>(PixelIndex(0, 0))] = 1;
    pixels[static_cast<std::size_t>(PixelIndex(47, 31))] = 1;
    pixels[static_cast<std::size_t>(PixelIndex(3, 1))] = 1;
    return pixels;
}

quint32 U32(const QByteArray& bytes, int at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

} // namespace

TEST(FrameBitmap, IsThe886ByteFourBitBmpWithTheSystemPalette) {
    const QByteArray bytes = FrameBitmapBytes(CornersLit());
    ASSERT_EQ(bytes.size(), 886);
    EXPECT_EQ(bytes.left(2), "BM");
    EXPECT_EQ(U32(bytes, 2), 886u);
    EXPECT_EQ(U32(bytes, 10), 118u); // pixel data offset
    EXPECT_EQ(U32(bytes, 14), 40u);
    EXPECT_EQ(U32(bytes, 18), 48u);
    EXPECT_EQ(U32(bytes, 22), 32u); // positive height: bottom-up rows
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 28), 4);
    EXPECT_EQ(U32(bytes, 30), 0u);

    // Blue, green, red, 0 for each of the 16 colours in palette order.
    const QByteArray palette = QByteArray::fromHex("00000000"
                                                   "00008000"
                                                   "00800000"
                                                   "00808000"
                                                   "80000000"
                                                   "80008000"
                                                   "80800000"
                                                   "80808000"
                                                   "c0c0c000"
                                                   "0000ff00"
                                                   "00ff0000"
                                                   "00ffff00"
                                                   "ff000000"
                                                   "ff00ff00"
                                                   "ffff0000"
                                                   "ffffff00");
    EXPECT_EQ(bytes.mid(54, 64).toHex(), palette.toHex());

    // Row 0 of the frame is the last row of the file; the left pixel is the
    // high nibble; lit is colour 0, unlit colour 15.
    const QByteArray top = bytes.mid(118 + 31 * 24, 24);
    EXPECT_EQ(top.toHex(), QByteArray("0fffffffffffffffffffffffffffffffffffffffffffffff"));
    const QByteArray second = bytes.mid(118 + 30 * 24, 24);
    EXPECT_EQ(static_cast<std::uint8_t>(second[1]), 0xF0);
    const QByteArray bottom = bytes.mid(118, 24);
    EXPECT_EQ(static_cast<std::uint8_t>(bottom[23]), 0xF0);
}

TEST(FrameBitmap, ReadsBackAsBlackDotsOnWhite) {
    QImage picture;
    ASSERT_TRUE(picture.loadFromData(FrameBitmapBytes(CornersLit()), "BMP"));
    ASSERT_EQ(picture.size(), QSize(48, 32));
    EXPECT_EQ(FramePixelsOf(picture), CornersLit());
    EXPECT_EQ(picture.pixel(0, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(picture.pixel(1, 0) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(FrameBitmap, WritesThroughASaveFileAndAddsTheExtension) {
    QTemporaryDir folder;
    // A file never holds another format than its name says.
    for (const auto& [typed, written] : std::initializer_list<std::pair<const char*, const char*>>{
             {"frame", "frame.bmp"},
             {"frame.BMP", "frame.BMP"},
             {"frame.Png", "frame.Png"},
             {"frame.jpg", "frame.jpg.bmp"},
             {"check.h", "check.h.bmp"},
             {"v1.2/.bmp", "v1.2/.bmp.bmp"},
             {"v1.2/.png", "v1.2/.png.bmp"},
         })
        EXPECT_EQ(FramePictureFileName(folder.filePath(typed)), folder.filePath(written)) << typed;

    const QString name = folder.filePath("frame.bmp");
    ASSERT_TRUE(WriteFrameBitmap(CornersLit(), name));
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), FrameBitmapBytes(CornersLit()));

    QString reason;
    EXPECT_FALSE(
        WriteFrameBitmap(CornersLit(), folder.filePath("no-such-folder/frame.bmp"), &reason));
    EXPECT_FALSE(reason.isEmpty());
}

TEST(FrameBitmap, ANameEndingInPngGetsAPngOfTheSameDots) {
    QTemporaryDir folder;
    const QString name = folder.filePath("frame.PNG");
    QString reason;
    ASSERT_TRUE(WriteFramePicture(CornersLit(), name, &reason)) << qPrintable(reason);
    QImageReader reader(name);
    EXPECT_EQ(reader.format(), "png");
    const QImage picture = reader.read();
    ASSERT_EQ(picture.size(), QSize(48, 32));
    EXPECT_EQ(FramePixelsOf(picture), CornersLit());
    EXPECT_EQ(picture.pixel(1, 0) & 0xFFFFFF, 0xFFFFFFu);

    // Any other name gets the BMP's very bytes.
    const QString bmp = folder.filePath("frame.bmp");
    ASSERT_TRUE(WriteFramePicture(CornersLit(), bmp));
    QFile file(bmp);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), FrameBitmapBytes(CornersLit()));
}
