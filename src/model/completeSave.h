#pragma once

class QSaveFile;
class QString;

namespace vistrel {

// Commits a QSaveFile only when every byte reached the disk. QSaveFile buffers
// writes, and Qt 6.4 commits even after flushing that buffer failed (a full disk,
// a file size limit), which would replace the old file with a cut one; flushing
// first and cancelling on failure keeps the old file. On failure, reason (when
// given) receives the system's words for what went wrong.
bool CommitCompleteSave(QSaveFile& file, QString* reason = nullptr);

} // namespace vistrel
