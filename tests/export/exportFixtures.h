#pragma once

#include "unitAnimation.h"

#include <QImage>
#include <initializer_list>

namespace vistrel::testing {

// Adds frames of these durations with scattered dots, different in every
// frame, so that any mix-up of rows, columns, bits or frames shows.
void FillScattered(TAnimation& animation, std::initializer_list<int> durations);
void FillScattered(TAnimation& animation, int frameCount);

// True when the picture shows the frame at this scale with its top left at
// origin: every dot a block of the lit or the unlit colour.
bool ShowsFrame(const QImage& picture, QPoint origin, const TFrame& frame, int scale, QRgb lit,
                QRgb unlit);

// The frame turned by 180 degrees, worked out dot by dot: (x, y) goes to
// (47 - x, 31 - y).
TFrame TurnedFrame(const TFrame& frame);

// How many dots of the frame differ from the 192 packed bytes at offset, read
// as a device reads them: 6 bytes a row from the top, the leftmost dot in bit 7.
int PackedDotsWrong(const QByteArray& bytes, int offset, const TFrame& frame);

// Files of a folder, temporary ones included.
QStringList FolderEntries(const QString& folder);

} // namespace vistrel::testing
