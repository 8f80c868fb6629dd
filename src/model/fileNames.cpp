#include "fileNames.h"

#include <QFileInfo>

namespace vistrel {

qsizetype ExtensionLength(const QString& fileName) {
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot <= 0 ? 0 : name.size() - dot;
}

} // namespace vistrel
