#pragma once

#include <QByteArray>
#include <QImage>
#include <array>
#include <cstdint>
#include <vector>

namespace vistrel::testing {

// A picture of one colour (a grey level g is the colour g, g, g).
QImage Filled(int width, int height, QRgb colour);
QImage Grey(int width, int height, int level);

// JPEG files written through libjpeg: from an RGB picture, and four-colour ones
// whose every pixel holds the given CMYK bytes (stored inverted, as Adobe's
// programs do, with the Adobe marker that says so).
QByteArray JpegBytes(const QImage& picture, int quality = 95, bool progressive = false);
QByteArray CmykJpegBytes(int width, int height, std::array<std::uint8_t, 4> invertedCmyk);
// The same JPEG with an EXIF block giving its orientation (1 to 8).
QByteArray WithExifOrientation(const QByteArray& jpeg, int orientation);
// The same JPEG with another size written into its frame header (the data no
// longer match it).
QByteArray WithJpegSize(const QByteArray& jpeg, int width, int height);

// The same PNG with another size written into its header (the data no longer
// match it).
QByteArray WithPngSize(const QByteArray& png, int width, int height);
// A GIF of width x height pixels of palette indexes 0 to 3 (row by row), with
// palette entry transparent (if not -1) see-through.
QByteArray GifBytes(int width, int height, const std::vector<std::uint8_t>& indexes,
                    const std::array<QRgb, 4>& palette, int transparent = -1);

// A 4 x 2 BMP coded by runs of 8-bit palette indexes (which Qt does not write):
// the top row black, black, white, white; the bottom row white.
QByteArray RunLengthBmpBytes();

// Other formats written by Qt.
QByteArray PictureBytes(const QImage& picture, const char* format);

// The colour is near the expected one (JPEG is lossy).
bool Near(QRgb actual, QRgb expected, int tolerance = 12);

} // namespace vistrel::testing
