#pragma once

#include <QIcon>

namespace vistrel {

// The Import page's button pictures, drawn in code: a picture with arrows drawn
// inward (scale) and a checkerboard fading from black to white (dither).
QIcon ScaleIcon();
QIcon DitherIcon();

} // namespace vistrel
