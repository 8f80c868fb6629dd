#include "localFiles.h"

#include "fileNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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

// What QSaveFile does, for a path given as bytes.
bool SaveBytesAtomically(const QByteArray& path, const QByteArray& bytes, QString* reason) {
    QByteArray target = path;
    if (char* real = ::realpath(path.constData(), nullptr)) {
        target = real;
        std::free(real);
    }
    struct stat old {};
    const bool existed = StatBytes(target, old);
    if (existed && S_ISDIR(old.st_mode))
        return Fail(reason, EISDIR);
    const mode_t mode = existed ? (old.st_mode & 07777) : 0666;
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary =
            target + '.' + QByteArray::number(QRandomGenerator::global()->bounded(0x1000000), 36);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST)
            return Fail(reason, errno);
    }
    if (fd < 0)
        return Fail(reason, EEXIST);
    // The umask may have cleared permissions the old file had.
    bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0 && (!existed || ::fchmod(fd, mode) == 0);
    int error = written ? 0 : errno;
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && ::rename(temporary.constData(), target.constData()) != 0) {
        written = false;
        error = errno;
    }
    if (written)
        return true;
    ::unlink(temporary.constData());
    return Fail(reason, error);
}

// Drops what was written to the temporary file; the old file stays as it was.
bool Discard(QSaveFile& file, QString* reason) {
    if (reason)
        *reason = file.errorString();
    file.cancelWriting();
    file.commit(); // discards the temporary file
    return false;
}

bool SaveThroughQt(const QString& fileName, const QByteArray& bytes, QString* reason) {
    QSaveFile file(fileName);
    // Unbuffered, a write that fails (a full disk, a size limit) fails at once
    // with the system's reason, which a buffered flush would lose.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    // A write cut short by the system says nothing of why; the next one fails
    // with the reason.
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return Discard(file, reason);
        done += written;
    }
    // Qt 6.4 commits even after a failed flush, which would replace the old file
    // with a cut one.
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return Discard(file, reason);
    if (file.commit())
        return true;
    if (reason)
        *reason = file.errorString();
    return false;
}

} // namespace

bool OpenLocalFile(QFile& file, const QString& fileName, QString* reason) {
    if (!HasForeignBytes(fileName)) {
        file.setFileName(fileName);
        if (file.open(QIODevice::ReadOnly))
            return true;
        if (reason)
            *reason = file.errorString();
        return false;
    }
    const int fd = ::open(FileNameToBytes(fileName).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Fail(reason, errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
        ::close(fd);
        return Fail(reason, error);
    }
    if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return true;
    ::close(fd);
    if (reason)
        *reason = file.errorString();
    return false;
}

bool SaveLocalFile(const QString& fileName, const QByteArray& bytes, QString* reason) {
    if (reason)
        reason->clear();
    if (!HasForeignBytes(fileName))
        return SaveThroughQt(fileName, bytes, reason);
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
