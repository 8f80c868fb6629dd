#pragma once

#include <QString>

namespace vistrel {

// Length of a file name's extension: from the last dot of its last component on;
// 0 when there is none (a leading dot starts a name, not an extension).
qsizetype ExtensionLength(const QString& fileName);

} // namespace vistrel
