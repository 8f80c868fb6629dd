#pragma once

#include <QByteArray>
#include <QString>

class QFile;

namespace vistrel {

// Reading, writing and looking up files by names that may hold bytes that are not
// UTF-8 (see FileNameFromBytes). A name Qt can address goes through Qt's own file
// classes; any other reaches the system calls byte for byte, so a file called
// "caf\xe9.lcd" is that file and never "caf\uFFFD.lcd".

// The reason given for a FIFO, a device or a socket where a file was expected.
QString NotARegularFile();

// "Unable to open NAME", followed by the reason when there is one (a file that
// was read but holds no animation has none).
QString UnableToOpenMessage(const QString& shortName, const QString& reason);

// Opens fileName for reading into file, only when it is a regular file (a link
// to one counts): a FIFO or a device is refused at once, without waiting on it.
// On failure, reason (when given) receives the system's words or
// NotARegularFile().
bool OpenLocalFile(QFile& file, const QString& fileName, QString* reason = nullptr);

// Reads the whole of fileName, a regular file of at most maxSize bytes, into
// bytes. On failure, reason (when given) receives the system's words,
// NotARegularFile(), or that the file is larger than maxSize.
bool ReadLocalFile(const QString& fileName, qint64 maxSize, QByteArray& bytes,
                   QString* reason = nullptr);

// Replaces (or creates) fileName with bytes. They are written beside it (as
// "NAME.vistrel-" and six letters or digits) and renamed over it only when
// complete, so a failed save leaves the old file as it was; the old file's
// permissions are kept, and a symbolic link is followed to the file it names.
// Anything but a regular file (a FIFO, a device) is never replaced: the save is
// refused with NotARegularFile(). Such temporaries that an earlier save, killed
// before its rename, left beside the file are removed.
bool SaveLocalFile(const QString& fileName, const QByteArray& bytes, QString* reason = nullptr);

// A write past the process's file-size limit (ulimit -f) then fails with "File
// too large", as on a full disk, instead of the system ending the program and
// its unsaved work with SIGXFSZ. Both programs call it first thing.
void IgnoreFileSizeSignal();

bool LocalFileExists(const QString& fileName);
bool IsLocalFolder(const QString& fileName);
// Whether both names lead to one file (a link, another spelling of its path); two
// names of which one does not exist are the same file only when their absolute
// paths are.
bool IsSameLocalFile(const QString& first, const QString& second);
// The name as a full, clean path. QFileInfo::absoluteFilePath() goes through
// Qt's encoding for a relative name, which spoils bytes that are not UTF-8.
QString AbsoluteFileName(const QString& fileName);
// Creates a folder and every missing folder above it.
bool MakeLocalFolder(const QString& path);

} // namespace vistrel
