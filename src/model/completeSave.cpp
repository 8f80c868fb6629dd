#include "completeSave.h"

#include <QSaveFile>

namespace vistrel {

bool CommitCompleteSave(QSaveFile& file, QString* reason) {
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        if (reason)
            *reason = file.errorString();
        file.cancelWriting();
        file.commit(); // discards the temporary file
        return false;
    }
    if (file.commit())
        return true;
    if (reason)
        *reason = file.errorString();
    return false;
}

} // namespace vistrel
