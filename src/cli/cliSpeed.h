#pragma once

#include <QString>
#include <iosfwd>

namespace vistrel {
class TAnimation;
}

namespace vistrel::cli {

// vistrel-cli speed IN PERCENT OUT: rescales every duration of the loaded
// animation as Animation > Adjust Animation Speed does for that percentage
// ("150%" or "150"), then saves it as convert does. A percentage that is no
// number or outside 1..25500 writes nothing.
int Speed(TAnimation& animation, const QString& percent, const QString& target, std::ostream& out,
          std::ostream& err);

} // namespace vistrel::cli
