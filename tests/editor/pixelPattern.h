#pragma once

#include <QImage>
#include <QPoint>
#include <ostream>
#include <string>
#include <vector>

namespace vistrel::test {

inline constexpr QRgb Black = 0xFF000000;
inline constexpr QRgb White = 0xFFFFFFFF;
inline constexpr QRgb Grey = 0xFF808080;

// Pixels as text, one string per row: '#' black, '.' white, 'o' grey.
using TPicture = std::vector<std::string>;

// A white 48 x 32 frame with `picture` at its top-left corner.
QImage FrameWith(const TPicture& picture = {});

// The top-left corner of `image` in the size of `like`, one row per line, '?' for
// colours without a letter. When pixels outside the corner are not white, a last
// line says how many, so a comparison with Text(like) catches strays anywhere.
std::string Corner(const QImage& image, const TPicture& like);

// `picture` in the form Corner gives it.
std::string Text(const TPicture& picture);

// The pixels of `colour`, row by row.
std::vector<QPoint> PixelsOf(const QImage& image, QRgb colour);

} // namespace vistrel::test

// Lets GoogleTest print points in failure messages.
void PrintTo(const QPoint& point, std::ostream* out);
