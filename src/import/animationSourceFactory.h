#pragma once

#include "animationSource.h"

#include <QString>
#include <memory>

namespace vistrel {

// The moving source a file holds: an animated GIF, WebP or PNG; with sequence
// set and a name that ends in a number, the numbered pictures beside it; a
// video clip; a still picture as a source of one frame. nullptr, with the reason, for
// anything else.
std::unique_ptr<IAnimationSource> OpenAnimationSource(const QString& fileName, bool sequence,
                                                      QString* reason);

} // namespace vistrel
