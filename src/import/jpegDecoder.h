#pragma once

#include "pictureLoader.h"

namespace vistrel {

// Decodes a JPEG from the device's current position straight into a
// Format_RGB32 picture, then turns it as its EXIF orientation says. libjpeg's
// fatal errors come back as the reason, never as the end of the process.
TPictureLoad DecodeJpeg(QIODevice& device, std::int64_t maxPixels);

// True when the bytes start like a JPEG stream (SOI followed by a marker).
bool LooksLikeJpeg(const QByteArray& head);

} // namespace vistrel
