#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <functional>

namespace vistrel {

// Keeps a document's recovery file up to date. Told that the document changed,
// it takes the document's bytes on the GUI thread within Delay and writes them
// on a worker thread, so a slow disk never stops the editing. A burst of changes
// is one write; a change made while a write runs is written after it, so the
// file always ends with the last change. Writes run one at a time, in order.
class TAutosave : public QObject {
    Q_OBJECT
public:
    // The document's recovery file bytes; called on the GUI thread.
    using Snapshot = std::function<QByteArray()>;
    // Writes the bytes, whole or not at all; called on the worker thread.
    using Writer = std::function<bool(const QByteArray& bytes, QString* reason)>;
    // Runs on the worker thread after every write before it.
    using Task = std::function<void()>;

    // A change is on disk two seconds after it was made, one for the wait and
    // one for the write.
    static constexpr int DefaultDelayMs = 1000;

    TAutosave(Snapshot snapshot, Writer writer, QObject* parent = nullptr);
    // Waits for a write that runs; a change not yet written is dropped.
    ~TAutosave() override;

    void SetDelay(int milliseconds) { m_timer.setInterval(milliseconds); }
    // A change waits to be written, or a write runs.
    bool Busy() const { return m_dirty || m_timer.isActive() || m_queued > 0; }

    // Writes a change that waits at once, and waits until every write is done.
    void Flush();
    // Drops a change that waits, and runs task (removing the recovery file
    // after a save, say) once a write that runs is done, on the worker thread.
    // The next DocumentChanged() starts afresh.
    void Discard(Task task);

public slots:
    void DocumentChanged();

signals:
    // After each write, on the GUI thread; reason says why one failed.
    void writeFinished(bool written, const QString& reason);

private:
    void TimeIsUp();
    void StartWrite();
    void Queue(Task task);
    void JobDone();

    Snapshot m_snapshot;
    Writer m_writer;
    QTimer m_timer;
    // One thread, so the writes and tasks run one at a time, in order.
    QThreadPool m_pool;
    bool m_dirty = false;
    bool m_writeWhenIdle = false;
    // Writes and tasks not yet finished; counted down on the worker thread.
    std::atomic<int> m_queued = 0;
};

} // namespace vistrel
