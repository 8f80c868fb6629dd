#include "completeSave.h"

#include <QSaveFile>

namespace vistrel {

bool CommitCompleteSave(QSaveFile& file) {
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        file.commit(); // discards the temporary file
        return false;
    }
    return file.commit();
}

} // namespace vistrel
