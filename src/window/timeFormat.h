#pragma once

#include <QString>

namespace vistrel {

// A tick count as "h:mm:ss.hh" at the given ticks per second; the parts are
// truncated, never rounded up (13 ticks at 12 per second read 0:00:01.08).
QString FormatTime(qint64 ticks, int ticksPerSecond);

} // namespace vistrel
