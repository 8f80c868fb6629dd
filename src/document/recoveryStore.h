#pragma once

#include "recoveryFile.h"

#include <QMutex>
#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class QLockFile;

namespace vistrel {

class TRecoveryStore;

// A document found in the recovery folder whose owner is gone: a crash, a power
// cut or a kill left it behind.
struct TRecoveryEntry {
    QString Id;
    QString FilePath;
    // False for a damaged or foreign file; Reason then says why. Such a file is
    // only reported, never removed unless the user asks.
    bool Readable = false;
    QString Reason;
    TRecoveryInfo Info;
    int FrameCount = 0;
};

// The recovery file of one document, and the lock that tells every other
// instance its owner is alive. The store must outlive its slots.
class TRecoverySlot {
public:
    // Lets go of the lock and keeps the file: a document that was never saved
    // nor closed stays recoverable.
    ~TRecoverySlot();
    TRecoverySlot(const TRecoverySlot&) = delete;
    TRecoverySlot& operator=(const TRecoverySlot&) = delete;

    const QString& Id() const { return m_id; }
    const QString& FilePath() const { return m_filePath; }

    // Replaces the recovery file with bytes, whole or not at all. Safe to call
    // from a worker thread, one write at a time; a failure is also reported to
    // the store.
    bool Write(const QByteArray& bytes, QString* reason = nullptr);
    // The document was saved, or closed without saving: nothing is left to
    // recover. The lock stays held until the slot goes.
    bool Remove();

private:
    friend class TRecoveryStore;
    TRecoverySlot(TRecoveryStore& store, QString id, std::unique_ptr<QLockFile> lock);

    TRecoveryStore& m_store;
    QString m_id;
    QString m_filePath;
    std::unique_ptr<QLockFile> m_lock;
};

// The folder of recovery files ($XDG_STATE_HOME/vistrel/recovery): one file
// (ID.recovery) and one lock (ID.lock) for each document a running Vistrel has
// open. A folder that cannot be written costs the documents their recovery, and
// nothing else: the problem is reported once, through problemFound.
class TRecoveryStore : public QObject {
    Q_OBJECT
public:
    explicit TRecoveryStore(const QString& folder = DefaultFolder(), QObject* parent = nullptr);
    ~TRecoveryStore() override;

    // $XDG_STATE_HOME/vistrel/recovery, or ~/.local/state/vistrel/recovery when
    // XDG_STATE_HOME is unset or not an absolute path.
    static QString DefaultFolder();
    const QString& Folder() const { return m_folder; }

    // A slot under a fresh ID for a document this instance has open, its lock
    // held. Null when the folder cannot be written (Problem() says why).
    std::unique_ptr<TRecoverySlot> Create();
    // Takes over a document whose owner is gone, to recover or discard it. Null
    // with a reason when there is no such file or its owner is still running.
    std::unique_ptr<TRecoverySlot> Claim(const QString& id, QString* reason = nullptr);
    // The documents whose owner is gone (no lock, or a lock of a process that no
    // longer runs), newest change first, then the damaged and foreign files.
    // What such owners left with nothing to recover (a lock, a write cut short
    // before the first file was whole) is removed on the way.
    std::vector<TRecoveryEntry> List() const;

    // Why recovery files cannot be written; empty while they can.
    QString Problem() const;

signals:
    // When recovery files cannot be written, with the message to show: once for
    // each problem, until a write works again.
    void problemFound(const QString& message);

private:
    friend class TRecoverySlot;
    void NoteWrite(bool written, const QString& reason);
    QString PathOf(const QString& id, const char* extension) const;
    void RemoveOrphans() const;

    QString m_folder;
    mutable QMutex m_mutex;
    QString m_problem;
    bool m_reported = false;
};

} // namespace vistrel
