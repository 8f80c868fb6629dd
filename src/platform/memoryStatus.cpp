#include "memoryStatus.h"

#include <unistd.h>

namespace vistrel {

quint64 TotalPhysicalMemory() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return 0;
    // Both factors go to 64 bits before multiplying: the product passes 4 GiB.
    return static_cast<quint64>(pages) * static_cast<quint64>(pageSize);
}

} // namespace vistrel
