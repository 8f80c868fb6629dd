#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>

namespace vistrel {

// The editor's own clipboard format: a whole BMP file of the floating pixels.
inline constexpr char PixelClipboardFormat[] = "VISTREL_IMAGE_DATA";
// Offered and accepted beside it, so that pictures move to and from other programs.
inline constexpr char StandardImageFormat[] = "image/png";
inline constexpr char StandardBmpFormat[] = "image/bmp";
// Larger pictures are refused before they are decoded.
inline constexpr int MaxPastedSide = 4096;

QByteArray PictureAsBmp(const QImage& picture);
QByteArray PictureAsPng(const QImage& picture);

// Decodes clipboard bytes as a picture of exactly the named format ("BMP" or
// "PNG") and turns it black and white: a pixel darker than mid-grey becomes a
// lit dot. Nothing, with the reason in error, for bytes that are no such
// picture, an empty one or one above maxSide pixels a side.
std::optional<QImage> DecodePastedPicture(const QByteArray& bytes, const char* format,
                                          QString& error, int maxSide = MaxPastedSide);

// Every pixel exact black or white, the rule of DecodePastedPicture.
QImage BlackAndWhite(const QImage& picture);

} // namespace vistrel
