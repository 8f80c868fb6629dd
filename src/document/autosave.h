#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

namespace vistrel {

// Keeps a document's recovery file up to date. Told that the document changed,
// it takes the document's bytes on the GUI thread within Delay and writes them
// on a worker thread, so a slow disk never stops the editing. A burst of changes
// is one write; a change made while a write runs is written after it, so the
// file always ends with the last change. Writes run one at a time, in order.
class TAutosave : public QObject {
    Q_OBJECT
public:
    // The document's recovery file bytes; called on the GUI thread. Empty when
    // there is nothing to write (the document has nothing left to recover).
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
    bool Busy() const { return m_dirty || m_timer.isActive() || Queued() > 0; }

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
    // Emitted by the worker after each task; handled on the GUI thread.
    void jobFinishedOnWorker(QPrivateSignal);

private:
    void TimeIsUp();
    void StartWrite();
    void Queue(Task task);
    void JobDone();

    void Work();
    int Queued() const;

    Snapshot m_snapshot;
    Writer m_writer;
    QTimer m_timer;
    bool m_dirty = false;
    bool m_writeWhenIdle = false;

    // The worker: one thread, so the writes and tasks run one at a time, in
    // order. Everything it shares with the GUI thread passes under m_mutex, in
    // our own code, where ThreadSanitizer sees every hand-over.
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Task> m_tasks;
    // Tasks queued and not yet finished.
    int m_queued = 0;
    // Outcomes of finished writes, for writeFinished on the GUI thread.
    std::deque<std::pair<bool, QString>> m_outcomes;
    bool m_stopping = false;
    std::thread m_worker;
};

} // namespace vistrel
