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

// Writes the BMP whole or not at all (SaveLocalFile), so a failed write leaves the
// old file; the reason says why on failure.
bool WriteFrameBitmap(const FramePixels& pixels, const QString& fileName,
                      QString* reason = nullptr);

// The name an exported frame picture is written under: a name ending in ".png"
// (any case) or ".bmp" as it is, ".bmp" added to one with no extension or an
// extension that names neither format ("frame.jpg" becomes "frame.jpg.bmp"), so
// that a file never holds another format than its name says.
QString FramePictureFileName(const QString& fileName);
// Writes the frame as the format its name ends in: a 48 x 32 PNG (lit dots black,
// the others white) for ".png", else the BMP; whole or not at all.
bool WriteFramePicture(const FramePixels& pixels, const QString& fileName,
                       QString* reason = nullptr);

} // namespace vistrel
