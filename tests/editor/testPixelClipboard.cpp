#include "BinClipboard.h"
#include "pixelClipboard.h"

#include <QtEndian>
#include <gtest/gtest.h>

using namespace vistrel;

namespace {

QImage Picture(QSize size, QRgb colour) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

// A BMP file header and information header claiming a size, with no pixels.
QByteArray BmpHeader(qint32 width, qint32 height) {
    QByteArray bmp = PictureAsBmp(Picture({1, 1}, 0xFF000000));
    qToLittleEndian(width, bmp.data() + 18);
    qToLittleEndian(height, bmp.data() + 22);
    return bmp.left(54);
}

} // namespace

TEST(PixelClipboard, ASelectionGoesOutAsBmpAndPngAndComesBackTheSame) {
    QImage picture = Picture({5, 3}, 0xFFFFFFFF);
    picture.setPixel(0, 0, 0xFF000000);
    picture.setPixel(4, 2, 0xFF000000);
    for (const auto& [bytes, format] :
         {std::pair{PictureAsBmp(picture), "BMP"}, std::pair{PictureAsPng(picture), "PNG"}}) {
        QString error;
        const std::optional<QImage> back = DecodePastedPicture(bytes, format, error);
        ASSERT_TRUE(back) << format << ": " << error.toStdString();
        EXPECT_EQ(*back, picture) << format;
    }
    EXPECT_TRUE(PictureAsBmp(picture).startsWith("BM"));
}

TEST(PixelClipboard, GreysBecomeBlackOrWhiteByTheirBrightness) {
    QImage picture(4, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(127, 127, 127));
    picture.setPixel(1, 0, qRgb(128, 128, 128));
    picture.setPixel(2, 0, qRgb(0, 0, 200)); // dark blue
    picture.setPixel(3, 0, qRgb(255, 255, 0));
    QString error;
    const std::optional<QImage> back = DecodePastedPicture(PictureAsPng(picture), "PNG", error);
    ASSERT_TRUE(back);
    const QRgb expected[] = {0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(back->pixel(x, 0), expected[x]) << x;
}

TEST(PixelClipboard, BadPicturesAreRefusedWithAReason) {
    const QByteArray png = PictureAsPng(Picture({2, 2}, 0xFF000000));
    const std::pair<QByteArray, const char*> cases[] = {
        {QByteArray(), "BMP"},
        {QByteArray("not a picture at all"), "BMP"},
        // Decoded only as the format named, never by guessing from content.
        {png, "BMP"},
        {PictureAsBmp(Picture({2, 2}, 0xFF000000)), "PNG"},
        {PictureAsBmp(Picture({2, 2}, 0xFF000000)).left(40), "BMP"},
        {BmpHeader(0, 10), "BMP"},
        {BmpHeader(5000, 10), "BMP"},
        {BmpHeader(10, 4097), "BMP"},
        {BmpHeader(0x7FFFFFFF, 0x7FFFFFFF), "BMP"},
        {png.left(png.size() / 2), "PNG"},
    };
    int index = 0;
    for (const auto& [bytes, format] : cases) {
        QString error;
        EXPECT_FALSE(DecodePastedPicture(bytes, format, error)) << "case " << index;
        EXPECT_FALSE(error.isEmpty()) << "case " << index;
        ++index;
    }
    // The largest size accepted.
    QString error;
    EXPECT_TRUE(
        DecodePastedPicture(PictureAsBmp(Picture({MaxPastedSide, 1}, 0xFF000000)), "BMP", error))
        << error.toStdString();
}

// A BMP stored top-down gives a negative height: its size is still checked
// before a pixel is decoded, and a small one pastes the right way up.
TEST(PixelClipboard, TopDownBmpsAreMeasuredBeforeTheyAreDecoded) {
    QString error;
    EXPECT_FALSE(DecodePastedPicture(BmpHeader(1, -16777209), "BMP", error));
    EXPECT_EQ(error, QStringLiteral("The picture on the clipboard is 1 x 16777209 pixels; at "
                                    "most 4096 x 4096 can be pasted."));
    // Stored bottom row first; read as top-down, the black top row ends at the bottom.
    QImage upright = Picture({1, 2}, 0xFFFFFFFF);
    upright.setPixel(0, 0, 0xFF000000);
    QByteArray bmp = PictureAsBmp(upright);
    qToLittleEndian<qint32>(-2, bmp.data() + 22);
    const std::optional<QImage> pasted = DecodePastedPicture(bmp, "BMP", error);
    ASSERT_TRUE(pasted) << error.toStdString();
    EXPECT_EQ(pasted->size(), QSize(1, 2));
    EXPECT_EQ(pasted->pixel(0, 0), 0xFFFFFFFF);
    EXPECT_EQ(pasted->pixel(0, 1), 0xFF000000);
}

TEST(PixelClipboard, ALengthFieldBeyondTheBlockIsRefusedEvenNearFourGigabytes) {
    const QByteArray payload = PictureAsBmp(Picture({2, 2}, 0xFF000000));
    QByteArray block = TBinClipboard::EncodeBlock(payload);
    for (const quint32 length :
         {static_cast<quint32>(payload.size() + 1), 0xFFFFFFFFu, 0xFFFFFFFCu}) {
        qToLittleEndian(length, block.data());
        EXPECT_THROW(TBinClipboard::DecodeBlock(block), EBinClipboardError) << length;
    }
}
