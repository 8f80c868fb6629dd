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

// Files of a folder, temporary ones included.
QStringList FolderEntries(const QString& folder);

} // namespace vistrel::testing
