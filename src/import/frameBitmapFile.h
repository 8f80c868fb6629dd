#pragma once

#include "unitFrame.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace vistrel {

// A frame as a standard uncompressed BMP of 48 x 32 pixels at 4 bits per pixel
// with the 16-colour table of the system palette; lit dots use colour 0
// (black), unlit ones colour 15 (white). Always 886 bytes.
inline constexpr int FrameBitmapFileSize = 886;

QByteArray FrameBitmapBytes(const FramePixels& pixels);
// The frame held by a 48 x 32 frame picture: only exact black is lit.
FramePixels FramePixelsOf(const QImage& frame);

// The name an exported frame is written under: ".bmp" added when the name has
// no extension of its own.
QString FrameBitmapFileName(const QString& fileName);
// Writes the BMP whole or not at all (SaveLocalFile), so a failed write leaves the
// old file; the reason says why on failure.
bool WriteFrameBitmap(const FramePixels& pixels, const QString& fileName,
                      QString* reason = nullptr);

} // namespace vistrel
