#include "recoveryStore.h"

#include "fileNames.h"
#include "localFiles.h"
#include "unitAnimation.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace vistrel {

namespace {

constexpr char FileExtension[] = ".recovery";
constexpr char LockExtension[] = ".lock";
constexpr int IdLength = 8;

bool IsId(const QString& id) {
    static const QRegularExpression Pattern(QStringLiteral("^[A-Za-z0-9_-]{1,64}$"));
    return Pattern.match(id).hasMatch();
}

// A lock is taken over only when its process no longer runs; QLockFile would
// otherwise also call any lock older than 30 seconds stale, and a second
// instance would take the files of a document open for a minute.
std::unique_ptr<QLockFile> MakeLock(const QString& path) {
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    return lock;
}

QString LockError(const QLockFile& lock) {
    switch (lock.error()) {
    case QLockFile::PermissionError:
        return QStringLiteral("permission denied");
    case QLockFile::LockFailedError:
        return QStringLiteral("it belongs to a Vistrel that is still running");
    default:
        return QStringLiteral("its lock cannot be made");
    }
}

// Why folder cannot be made: the nearest existing folder above it is a file, or
// it cannot be written.
QString FolderProblem(const QString& folder) {
    QString path = folder;
    while (path.size() > 1 && !LocalFileExists(path))
        path.truncate(std::max<qsizetype>(path.lastIndexOf(u'/'), 1));
    if (!IsLocalFolder(path))
        return QStringLiteral("%1 is not a folder").arg(path);
    if (::access(FileNameToBytes(path).constData(), W_OK) != 0)
        return qt_error_string(errno);
    return QStringLiteral("the folder cannot be made");
}

// Writes killed before their rename leave "ID.recovery.vistrel-" and six letters
// beside the file. Only the holder of the ID's lock removes them.
void RemoveTemporaries(const QString& folder, const QString& id) {
    const QStringList names = QDir(folder).entryList(
        {id + QLatin1String(FileExtension) + QStringLiteral(".vistrel-??????")},
        QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names)
        ::unlink(FileNameToBytes(folder + u'/' + name).constData());
}

} // namespace

TRecoverySlot::TRecoverySlot(TRecoveryStore& store, QString id, std::unique_ptr<QLockFile> lock)
    : m_store(store), m_id(std::move(id)), m_filePath(store.PathOf(m_id, FileExtension)),
      m_lock(std::move(lock)) {}

TRecoverySlot::~TRecoverySlot() {
    m_lock->unlock();
}

bool TRecoverySlot::Write(const QByteArray& bytes, QString* reason) {
    QString why;
    const bool written = SaveRecoveryFile(m_filePath, bytes, &why);
    m_store.NoteWrite(written, why);
    if (reason)
        *reason = why;
    return written;
}

bool TRecoverySlot::Remove() {
    RemoveTemporaries(m_store.Folder(), m_id);
    return ::unlink(FileNameToBytes(m_filePath).constData()) == 0 || errno == ENOENT;
}

TRecoveryStore::TRecoveryStore(const QString& folder, QObject* parent)
    : QObject(parent), m_folder(QDir::cleanPath(folder)) {}

TRecoveryStore::~TRecoveryStore() = default;

QString TRecoveryStore::DefaultFolder() {
    // Read as bytes: a home folder whose name is not UTF-8 is still that folder.
    const QString state = FileNameFromBytes(qgetenv("XDG_STATE_HOME"));
    QString base;
    // Desktops ignore a relative XDG folder, so Vistrel does too.
    if (QDir::isAbsolutePath(state)) {
        base = state;
    } else {
        QString home = FileNameFromBytes(qgetenv("HOME"));
        if (home.isEmpty())
            home = QDir::homePath();
        base = home + QStringLiteral("/.local/state");
    }
    return QDir::cleanPath(base + QStringLiteral("/vistrel/recovery"));
}

QString TRecoveryStore::PathOf(const QString& id, const char* extension) const {
    return m_folder + u'/' + id + QLatin1String(extension);
}

void TRecoveryStore::NoteWrite(bool written, const QString& reason) {
    QString message;
    {
        const QMutexLocker locker(&m_mutex);
        if (written) {
            // The problem is over; a new one later is told again.
            m_problem.clear();
            m_reported = false;
            return;
        }
        m_problem = QStringLiteral("Unable to keep recovery files in %1: %2").arg(m_folder, reason);
        if (m_reported)
            return;
        m_reported = true;
        message = m_problem;
    }
    emit problemFound(message);
}

QString TRecoveryStore::Problem() const {
    const QMutexLocker locker(&m_mutex);
    return m_problem;
}

std::unique_ptr<TRecoverySlot> TRecoveryStore::Create() {
    if (!IsLocalFolder(m_folder)) {
        if (!MakeLocalFolder(m_folder)) {
            NoteWrite(false, FolderProblem(m_folder));
            return nullptr;
        }
        // Unsaved work is nobody else's business.
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString id;
        for (int i = 0; i < IdLength; ++i)
            id += QLatin1Char("0123456789abcdef"[QRandomGenerator::global()->bounded(16)]);
        // An ID whose file is still there (a document left to recover) is never reused.
        if (LocalFileExists(PathOf(id, FileExtension)))
            continue;
        auto lock = MakeLock(PathOf(id, LockExtension));
        if (lock->tryLock(0))
            return std::unique_ptr<TRecoverySlot>(new TRecoverySlot(*this, id, std::move(lock)));
        if (lock->error() != QLockFile::LockFailedError) {
            NoteWrite(false, LockError(*lock));
            return nullptr;
        }
    }
    NoteWrite(false, QStringLiteral("no free name for a recovery file"));
    return nullptr;
}

std::unique_ptr<TRecoverySlot> TRecoveryStore::Claim(const QString& id, QString* reason) {
    const auto fail = [&](const QString& why) {
        if (reason)
            *reason = why;
        return nullptr;
    };
    if (!IsId(id) || !LocalFileExists(PathOf(id, FileExtension)))
        return fail(QStringLiteral("there is no recovery file of that ID"));
    auto lock = MakeLock(PathOf(id, LockExtension));
    if (!lock->tryLock(0))
        return fail(LockError(*lock));
    return std::unique_ptr<TRecoverySlot>(new TRecoverySlot(*this, id, std::move(lock)));
}

void TRecoveryStore::RemoveOrphans() const {
    // A Vistrel killed before its document's first write was whole leaves a lock,
    // perhaps a temporary, and nothing to recover.
    const QString temporaryMark = QLatin1String(FileExtension) + QStringLiteral(".vistrel-");
    const QStringList names =
        QDir(m_folder).entryList({QStringLiteral("*") + QLatin1String(LockExtension),
                                  QStringLiteral("*") + temporaryMark + "??????"},
                                 QDir::Files | QDir::Hidden);
    QStringList ids;
    for (const QString& name : names) {
        const QString id = name.endsWith(QLatin1String(LockExtension))
                               ? name.chopped(static_cast<qsizetype>(sizeof LockExtension - 1))
                               : name.left(name.indexOf(temporaryMark));
        if (IsId(id) && !ids.contains(id) && !LocalFileExists(PathOf(id, FileExtension)))
            ids << id;
    }
    for (const QString& id : ids) {
        auto lock = MakeLock(PathOf(id, LockExtension));
        if (lock->tryLock(0) && !LocalFileExists(PathOf(id, FileExtension)))
            RemoveTemporaries(m_folder, id);
    }
}

std::vector<TRecoveryEntry> TRecoveryStore::List() const {
    std::vector<TRecoveryEntry> entries;
    RemoveOrphans();
    const QStringList names =
        QDir(m_folder).entryList({QStringLiteral("*") + QLatin1String(FileExtension)},
                                 QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        TRecoveryEntry entry;
        entry.Id = name.chopped(static_cast<qsizetype>(sizeof FileExtension - 1));
        if (!IsId(entry.Id))
            continue;
        entry.FilePath = PathOf(entry.Id, FileExtension);
        // Taken and let go at once: only whether the owner still runs matters here.
        auto lock = MakeLock(PathOf(entry.Id, LockExtension));
        if (!lock->tryLock(0) && lock->error() == QLockFile::LockFailedError)
            continue;
        lock->unlock();
        TAnimation animation;
        entry.Readable = LoadRecoveryFile(entry.FilePath, animation, entry.Info, &entry.Reason);
        entry.FrameCount = animation.FrameCount();
        entries.push_back(std::move(entry));
    }
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        if (a.Readable != b.Readable)
            return a.Readable;
        return a.Readable && a.Info.LastChange > b.Info.LastChange;
    });
    return entries;
}

} // namespace vistrel
