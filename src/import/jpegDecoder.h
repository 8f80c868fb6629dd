#pragma once

#include "pictureLoader.h"

namespace vistrel {

// Decodes a JPEG from the device's current position straight into a
// Format_RGB32 picture, then turns it as its EXIF orientation says. With
// targetSize, the picture comes box-filtered to the size it gives for the
// upright picture's size. libjpeg's fatal errors come back as the reason, never
// as the end of the process.
TPictureLoad DecodeJpeg(QIODevice& device, std::int64_t maxPixels,
                        const TTargetSize& targetSize = {});

// True when the bytes start like a JPEG stream (SOI followed by a marker).
bool LooksLikeJpeg(const QByteArray& head);

} // namespace vistrel
