#pragma once

class QSaveFile;

namespace vistrel {

// Commits a QSaveFile only when every byte reached the disk. QSaveFile buffers
// writes, and Qt 6.4 commits even after flushing that buffer failed (a full disk,
// a file size limit), which would replace the old file with a cut one; flushing
// first and cancelling on failure keeps the old file.
bool CommitCompleteSave(QSaveFile& file);

} // namespace vistrel
