#include "timeFormat.h"

namespace vistrel {

QString FormatTime(qint64 ticks, int ticksPerSecond) {
    if (ticksPerSecond <= 0)
        ticksPerSecond = 1;
    // Whole hundredths in integers: a floating-point quotient such as 29 / 100
    // lands just below .29 and would read .28.
    const qint64 hundredths = ticks * 100 / ticksPerSecond;
    const qint64 hours = hundredths / 360000;
    const qint64 minutes = hundredths / 6000 % 60;
    const qint64 seconds = hundredths / 100 % 60;
    return QString::asprintf("%.1lld:%.2lld:%.2lld.%.2lld", hours, minutes, seconds,
                             hundredths % 100);
}

} // namespace vistrel
