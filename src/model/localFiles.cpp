#include "localFiles.h"

#include "fileNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vistrel {

namespace {

QString SystemReason(int error) {
    return qt_error_string(error);
}

bool Fail(QString* reason, int error) {
    if (reason)
        *reason = SystemReason(error);
    return false;
}

bool StatBytes(const QByteArray& path, struct stat& info) {
    return ::stat(path.constData(), &info) == 0;
}

// Writes all of bytes to fd, resuming after a signal or a short write.
bool WriteAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<std::size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// A save writes beside its file, under the file's name followed by this and six
// random letters or digits, and renames that over the file when complete.
constexpr char TemporaryMark[] = ".vistrel-";
constexpr int TemporaryLetters = 6;
constexpr char TemporaryAlphabet[] = "0123456789abcdefghijklmnopqrstuvwxyz";

bool IsTemporaryName(const QByteArray& entry, const QByteArray& fileLeaf) {
    const QByteArray prefix = fileLeaf + TemporaryMark;
    if (entry.size() != prefix.size() + TemporaryLetters || !entry.startsWith(prefix))
        return false;
    for (qsizetype i = prefix.size(); i < entry.size(); ++i)
        if (std::strchr(TemporaryAlphabet, entry[i]) == nullptr || entry[i] == '\0')
            return false;
    return true;
}

// A save killed between writing its temporary file and renaming it leaves that
// file behind; the next save of the same name removes it. Only a regular file of
// ours, under exactly the name our saves make, is removed, and never one a save
// still running holds locked.
void RemoveStaleTemporaries(const QByteArray& target) {
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder =
        slash < 0 ? QByteArray(".") : target.left(std::max<qsizetype>(slash, 1));
    const QByteArray leaf = target.mid(slash + 1);
    DIR* dir = ::opendir(folder.constData());
    if (dir == nullptr)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (!IsTemporaryName(name, leaf))
            continue;
        const QByteArray path = folder + '/' + name;
        // Nothing but a regular file is even opened: opening a device can act.
        struct stat seen {};
        if (::lstat(path.constData(), &seen) != 0 || !S_ISREG(seen.st_mode) ||
            seen.st_uid != ::geteuid())
            continue;
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info {};
        if (::fstat(fd, &info) == 0 && info.st_dev == seen.st_dev && info.st_ino == seen.st_ino &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.constData());
        ::close(fd);
    }
    ::closedir(dir);
}

// The file a save of path writes: the end of its chain of symbolic links, also
// when that file does not exist yet.
QByteArray LinkTarget(const QByteArray& path) {
    if (char* real = ::realpath(path.constData(), nullptr)) {
        QByteArray target(real);
        std::free(real);
        return target;
    }
    QByteArray target = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (::lstat(target.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            break;
        QByteArray link(4096, '\0');
        const ssize_t size =
            ::readlink(target.constData(), link.data(), static_cast<std::size_t>(link.size()));
        if (size <= 0 || size >= link.size())
            break;
        link.truncate(size);
        const qsizetype slash = target.lastIndexOf('/');
        target = link.startsWith('/') || slash < 0 ? link : target.left(slash + 1) + link;
    }
    return target;
}

// Writes bytes beside the file and renames them over it only when complete.
bool SaveBytesAtomically(const QByteArray& path, const QByteArray& bytes, QString* reason) {
    const QByteArray target = LinkTarget(path);
    struct stat old {};
    const bool existed = StatBytes(target, old);
    if (existed && S_ISDIR(old.st_mode))
        return Fail(reason, EISDIR);
    // A device or a FIFO would be replaced by a plain file, and lost.
    if (existed && !S_ISREG(old.st_mode)) {
        if (reason)
            *reason = NotARegularFile();
        return false;
    }
    RemoveStaleTemporaries(target);
    const mode_t mode = existed ? (old.st_mode & 07777) : 0666;
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = target + TemporaryMark;
        for (int i = 0; i < TemporaryLetters; ++i)
            temporary += TemporaryAlphabet[QRandomGenerator::global()->bounded(
                static_cast<int>(sizeof TemporaryAlphabet) - 1)];
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST)
            return Fail(reason, errno);
    }
    if (fd < 0)
        return Fail(reason, EEXIST);
    // Held until the rename: another save of this name sees a save at work, not
    // a stale file.
    ::flock(fd, LOCK_EX);
    // The umask may have cleared permissions the old file had.
    bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0 && (!existed || ::fchmod(fd, mode) == 0);
    int error = written ? 0 : errno;
    if (written && ::rename(temporary.constData(), target.constData()) != 0) {
        written = false;
        error = errno;
    }
    if (!written)
        ::unlink(temporary.constData());
    // Synced before the rename, so closing can lose nothing any more.
    ::close(fd);
    return written || Fail(reason, error);
}

} // namespace

QString NotARegularFile() {
    return QStringLiteral("not a regular file");
}

QString UnableToOpenMessage(const QString& shortName, const QString& reason) {
    const QString message = QStringLiteral("Unable to open %1").arg(shortName);
    return reason.isEmpty() ? message : QStringLiteral("%1: %2").arg(message, reason);
}

namespace {

// A regular file opened for reading, or -1 with the reason.
int OpenRegularFile(const QString& fileName, QString* reason) {
    // Without O_NONBLOCK, opening a FIFO would wait for a writer that may never
    // come; the file is only read once it is known to be a regular file.
    const int fd =
        ::open(FileNameToBytes(fileName).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        Fail(reason, errno);
        return -1;
    }
    struct stat info {};
    int error = 0;
    if (::fstat(fd, &info) != 0)
        error = errno;
    else if (S_ISDIR(info.st_mode))
        error = EISDIR;
    else if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        if (reason)
            *reason = NotARegularFile();
        return -1;
    } else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        error = errno;
    if (error != 0) {
        ::close(fd);
        Fail(reason, error);
        return -1;
    }
    return fd;
}

} // namespace

bool OpenLocalFile(QFile& file, const QString& fileName, QString* reason) {
    const int fd = OpenRegularFile(fileName, reason);
    if (fd < 0)
        return false;
    if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return true;
    ::close(fd);
    if (reason)
        *reason = file.errorString();
    return false;
}

bool ReadLocalFile(const QString& fileName, qint64 maxSize, QByteArray& bytes, QString* reason) {
    // Read and closed here rather than through QFile: the autosave reads and
    // writes on its own thread, and a descriptor this code opens and closes
    // itself is one whose reuse the thread checker can follow.
    const int fd = OpenRegularFile(fileName, reason);
    if (fd < 0)
        return false;
    // No further than the bound, should the file grow meanwhile.
    bytes.clear();
    const qint64 limit = maxSize + 1;
    QByteArray buffer(static_cast<qsizetype>(std::min<qint64>(limit, 64 * 1024)),
                      Qt::Uninitialized);
    int error = 0;
    while (bytes.size() < limit) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<qint64>(buffer.size(), limit - bytes.size()));
        const ssize_t got = ::read(fd, buffer.data(), want);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = errno;
            break;
        }
        if (got == 0)
            break;
        bytes.append(buffer.constData(), static_cast<qsizetype>(got));
    }
    ::close(fd);
    if (error != 0) {
        bytes.clear();
        return Fail(reason, error);
    }
    if (bytes.size() > maxSize) {
        bytes.clear();
        if (reason)
            *reason =
                QStringLiteral("the file is larger than %1")
                    .arg(QLocale::c().formattedDataSize(maxSize, 0, QLocale::DataSizeIecFormat));
        return false;
    }
    return true;
}

bool SaveLocalFile(const QString& fileName, const QByteArray& bytes, QString* reason) {
    if (reason)
        reason->clear();
    return SaveBytesAtomically(FileNameToBytes(fileName), bytes, reason);
}

void IgnoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

bool LocalFileExists(const QString& fileName) {
    if (!HasForeignBytes(fileName))
        return QFileInfo::exists(fileName);
    struct stat info {};
    return StatBytes(FileNameToBytes(fileName), info);
}

bool IsLocalFolder(const QString& fileName) {
    if (!HasForeignBytes(fileName))
        return QFileInfo(fileName).isDir();
    struct stat info {};
    return StatBytes(FileNameToBytes(fileName), info) && S_ISDIR(info.st_mode);
}

QString AbsoluteFileName(const QString& fileName) {
    if (QDir::isAbsolutePath(fileName))
        return HasForeignBytes(fileName) ? QDir::cleanPath(fileName)
                                         : QFileInfo(fileName).absoluteFilePath();
    QByteArray folder(4096, '\0');
    while (::getcwd(folder.data(), static_cast<std::size_t>(folder.size())) == nullptr) {
        if (errno != ERANGE || folder.size() > (1 << 20))
            return QFileInfo(fileName).absoluteFilePath();
        folder.resize(folder.size() * 2);
    }
    folder.truncate(static_cast<qsizetype>(std::strlen(folder.constData())));
    return QDir::cleanPath(FileNameFromBytes(folder) + u'/' + fileName);
}

bool IsSameLocalFile(const QString& first, const QString& second) {
    struct stat a {};
    struct stat b {};
    const bool firstExists = StatBytes(FileNameToBytes(first), a);
    const bool secondExists = StatBytes(FileNameToBytes(second), b);
    if (firstExists && secondExists)
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    return AbsoluteFileName(first) == AbsoluteFileName(second);
}

bool MakeLocalFolder(const QString& path) {
    if (!HasForeignBytes(path))
        return QDir().mkpath(path);
    const QByteArray bytes = FileNameToBytes(QDir::cleanPath(path));
    for (qsizetype end = 1; end <= bytes.size(); ++end) {
        if (end < bytes.size() && bytes[end] != '/')
            continue;
        const QByteArray folder = bytes.left(end);
        struct stat info {};
        if (StatBytes(folder, info)) {
            if (!S_ISDIR(info.st_mode))
                return false;
            continue;
        }
        if (::mkdir(folder.constData(), 0777) != 0 && errno != EEXIST)
            return false;
    }
    return IsLocalFolder(path);
}

} // namespace vistrel
