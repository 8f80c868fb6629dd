#pragma once

#include <QtGlobal>

namespace vistrel {

// The machine's total physical memory in bytes, counted in 64 bits; 0 when the
// system does not tell.
quint64 TotalPhysicalMemory();

} // namespace vistrel
