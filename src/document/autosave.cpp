#include "autosave.h"

namespace vistrel {

TAutosave::TAutosave(Snapshot snapshot, Writer writer, QObject* parent)
    : QObject(parent), m_snapshot(std::move(snapshot)), m_writer(std::move(writer)) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(DefaultDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &TAutosave::TimeIsUp);
    // Connected here, on the GUI thread, so that the worker only emits: the
    // call it queues is built from this connection, never from memory the
    // worker allocated and the GUI thread would then read.
    connect(this, &TAutosave::jobFinishedOnWorker, this, &TAutosave::JobDone, Qt::QueuedConnection);
    m_worker = std::thread([this] { Work(); });
}

TAutosave::~TAutosave() {
    m_timer.stop();
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    // Runs what was queued first: a write that started is finished.
    m_worker.join();
}

void TAutosave::Work() {
    for (;;) {
        Task task;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_tasks.empty(); });
            if (m_tasks.empty())
                return;
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
        }
        task();
        {
            const std::lock_guard lock(m_mutex);
            --m_queued;
        }
        m_idle.notify_all();
        emit jobFinishedOnWorker(QPrivateSignal());
    }
}

int TAutosave::Queued() const {
    const std::lock_guard lock(m_mutex);
    return m_queued;
}

void TAutosave::DocumentChanged() {
    m_dirty = true;
    // Not restarted by later changes: a burst that never pauses is still
    // written every Delay.
    if (!m_timer.isActive())
        m_timer.start();
}

void TAutosave::TimeIsUp() {
    if (!m_dirty)
        return;
    // The bytes are taken when the worker is free, so they are the newest.
    if (Queued() > 0)
        m_writeWhenIdle = true;
    else
        StartWrite();
}

void TAutosave::StartWrite() {
    m_writeWhenIdle = false;
    m_dirty = false;
    const QByteArray bytes = m_snapshot();
    if (bytes.isEmpty())
        return;
    Queue([this, bytes] {
        QString reason;
        const bool written = m_writer(bytes, &reason);
        const std::lock_guard lock(m_mutex);
        m_outcomes.emplace_back(written, reason);
    });
}

void TAutosave::Queue(Task task) {
    {
        const std::lock_guard lock(m_mutex);
        ++m_queued;
        m_tasks.push_back(std::move(task));
    }
    m_wake.notify_one();
}

void TAutosave::JobDone() {
    std::deque<std::pair<bool, QString>> outcomes;
    {
        const std::lock_guard lock(m_mutex);
        outcomes.swap(m_outcomes);
    }
    for (const auto& [written, reason] : outcomes)
        emit writeFinished(written, reason);
    if (Queued() == 0 && m_writeWhenIdle && m_dirty)
        StartWrite();
}

void TAutosave::Flush() {
    if (m_dirty) {
        m_timer.stop();
        StartWrite();
    }
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_queued == 0; });
}

void TAutosave::Discard(Task task) {
    m_timer.stop();
    m_dirty = false;
    m_writeWhenIdle = false;
    Queue(std::move(task));
}

} // namespace vistrel
